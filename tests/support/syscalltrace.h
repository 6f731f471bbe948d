#pragma once

// A program run under strace, and what its file and network system calls
// show: the tests' witness of every path a run touched, including the ones
// no file listing or access time would reveal.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <sys/stat.h>
#include <vector>

namespace KbTest
{
struct SSyscall
{
    QString strName;
    // As strace wrote them, between the parentheses.
    QString strArgs;
    QStringList paths;
    bool bFailed = false;

    bool IsCreate() const
    {
        return (strName == u"open" || strName == u"openat" || strName == u"creat") &&
               (strName == u"creat" || strArgs.contains(QLatin1String("O_CREAT")) ||
                strArgs.contains(QLatin1String("O_TMPFILE")));
    }
    bool IsModeChange() const
    {
        return strName == u"chmod" || strName == u"fchmod" || strName == u"fchmodat";
    }
    // The octal mode that ends the arguments of a create, mkdir or chmod;
    // -1 when there is none.
    int Mode() const
    {
        const QString strLast = strArgs.section(QLatin1Char(','), -1).trimmed();
        bool bOk = false;
        const int nMode = strLast.toInt(&bOk, 8);
        return strLast.startsWith(QLatin1Char('0')) && bOk ? nMode : -1;
    }
    // Whether the call, when it succeeded, changed what lies in the file
    // system.
    bool Writes() const
    {
        static const QStringList names{"mkdir",   "mkdirat",   "rmdir",     "unlink",   "unlinkat",
                                       "rename",  "renameat",  "renameat2", "link",     "linkat",
                                       "symlink", "symlinkat", "chmod",     "fchmodat", "truncate",
                                       "chown",   "fchownat",  "utimensat", "mknod",    "mknodat"};
        if (bFailed)
            return false;
        if (strName == u"open" || strName == u"openat")
            return IsCreate() || strArgs.contains(QLatin1String("O_WRONLY")) ||
                   strArgs.contains(QLatin1String("O_RDWR")) ||
                   strArgs.contains(QLatin1String("O_TRUNC"));
        return strName == u"creat" || names.contains(strName);
    }
};

class CSyscallTrace
{
public:
    // Runs the program under strace with the environment given and, when
    // nUmask is not -1, that umask. False when it did not run to its end.
    bool Run(const QString& strProgram, const QStringList& args, const QProcessEnvironment& env,
             int nUmask = -1)
    {
        m_calls.clear();
        const QString strStrace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strStrace.isEmpty() || !m_dir.isValid())
            return false;
        const QString strLog = m_dir.filePath(QStringLiteral("trace.log"));
        QProcess process;
        process.setProcessEnvironment(env);
        if (nUmask >= 0)
            process.setChildProcessModifier([nUmask]() { ::umask(mode_t(nUmask)); });
        process.start(strStrace, QStringList{"-f", "-qq", "--seccomp-bpf", "-s", "4096", "-e",
                                             "signal=none", "-e", "trace=%file,%network,fchmod",
                                             "-o", strLog, "--", strProgram} +
                                     args);
        if (!process.waitForFinished(120000))
        {
            process.kill();
            process.waitForFinished();
            return false;
        }
        m_nExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        m_output = process.readAllStandardOutput();
        m_errors = process.readAllStandardError();
        QFile log(strLog);
        if (!log.open(QIODevice::ReadOnly))
            return false;
        Parse(QString::fromUtf8(log.readAll()));
        return !m_calls.empty();
    }

    static const char* NeedsMessage()
    {
        return "the run needs strace (tools/install-deps.sh) and the right to trace its children";
    }
    int ExitCode() const { return m_nExitCode; }
    const QByteArray& Output() const { return m_output; }
    const QByteArray& Errors() const { return m_errors; }
    const std::vector<SSyscall>& Calls() const { return m_calls; }

    // The paths of the calls that changed the file system; descriptors
    // named through /proc stand for files named elsewhere in the call.
    QStringList WrittenPaths() const
    {
        QStringList paths;
        for (const SSyscall& call : m_calls)
        {
            if (!call.Writes())
                continue;
            for (const QString& strPath : call.paths)
            {
                if (!strPath.startsWith(QLatin1String("/proc/self/fd/")))
                    paths << strPath;
            }
        }
        return paths;
    }

private:
    // Lines are "PID name(args) = result"; a call another thread
    // interrupted comes in two lines, "<unfinished ...>" and
    // "<... name resumed>".
    void Parse(const QString& strLog)
    {
        std::map<QString, QString> pending;
        for (const QString& strLine : strLog.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        {
            const QString strPid = strLine.section(QLatin1Char(' '), 0, 0);
            QString strCall = strLine.section(QLatin1Char(' '), 1).trimmed();
            static const QString strUnfinished = QStringLiteral(" <unfinished ...>");
            if (strCall.endsWith(strUnfinished))
            {
                pending[strPid] = strCall.chopped(strUnfinished.size());
                continue;
            }
            if (strCall.startsWith(QLatin1String("<... ")))
            {
                const qsizetype nResumed = strCall.indexOf(QLatin1String("resumed>"));
                if (nResumed < 0)
                    continue;
                strCall = pending[strPid] + strCall.mid(nResumed + 8);
                pending.erase(strPid);
            }
            // strace pads short calls with spaces before the " = ".
            static const QRegularExpression callRx(QStringLiteral("^(\\w+)\\((.*)\\) += (.*)$"));
            const QRegularExpressionMatch match = callRx.match(strCall);
            if (!match.hasMatch())
                continue;
            SSyscall call;
            call.strName = match.captured(1);
            call.strArgs = match.captured(2);
            call.bFailed = match.captured(3).startsWith(QLatin1Char('-'));
            call.paths = QuotedStrings(call.strArgs);
            m_calls.push_back(call);
        }
    }

    static QStringList QuotedStrings(const QString& strArgs)
    {
        QStringList strings;
        qsizetype i = 0;
        while ((i = strArgs.indexOf(QLatin1Char('"'), i)) >= 0)
        {
            QString strValue;
            for (++i; i < strArgs.size() && strArgs.at(i) != u'"'; ++i)
            {
                if (strArgs.at(i) == u'\\' && i + 1 < strArgs.size())
                    ++i;
                strValue += strArgs.at(i);
            }
            strings << strValue;
            ++i;
        }
        return strings;
    }

    QTemporaryDir m_dir;
    std::vector<SSyscall> m_calls;
    int m_nExitCode = -1;
    QByteArray m_output;
    QByteArray m_errors;
};
} // namespace KbTest
