#pragma once

// What the audio benchmarks share: prose documents, the command-line
// pipeline they are set against (espeak-ng into a WAV, then lame into a
// mono 64 kbit/s CBR MP3) run as child processes under kb_runpeak, whose
// wait4 tells their peaks, and the memory of a process tree read from /proc
// while it runs.
#include "bench/app/readingbench.h"
#include "speech/languagecatalogue.h"
#include "speech/splanguagetags.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace KbAudioBench
{
constexpr int g_nDefaultKb = 200;

inline int KbArgument(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--kb") == 0)
            return qMax(1, QByteArray(argv[i + 1]).toInt());
    return g_nDefaultKb;
}

inline double Mb(qint64 nBytes)
{
    return double(nBytes) / (1024.0 * 1024.0);
}

inline double KbToMb(long nKb)
{
    return double(nKb) / 1024.0;
}

// Documents of at least nKb kilobytes each, cut from one text at paragraph
// ends, so that no two of them are the same.
inline QStringList WriteDocuments(const QString& strFolder, const QStringList& names, int nKb)
{
    const qsizetype nChars = qsizetype(nKb) * 1024;
    const QString strAll = KbBench::MakeProse(0, nChars * (names.size() + 1));
    QStringList paths;
    qsizetype nStart = 0;
    for (const QString& strName : names)
    {
        qsizetype nEnd = strAll.indexOf(QStringLiteral("\n\n"), nStart + nChars);
        if (nEnd < 0)
            nEnd = strAll.size();
        const QByteArray bytes = strAll.mid(nStart, nEnd - nStart).toUtf8();
        const QString strPath = strFolder + QLatin1Char('/') + strName;
        QFile file(strPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        paths.append(strPath);
        nStart = nEnd + 2;
    }
    return paths;
}

// The name espeak-ng's command line knows the window's voice by: the
// library takes an identifier's last path part, in any case, as the voice.
inline QString EspeakName(const QByteArray& engineVoice)
{
    const qsizetype nPlus = engineVoice.indexOf('+');
    const QByteArray base = nPlus < 0 ? engineVoice : engineVoice.left(nPlus);
    const QByteArray variant = nPlus < 0 ? QByteArray() : engineVoice.mid(nPlus);
    return QString::fromLatin1(base.mid(base.lastIndexOf('/') + 1).toLower() + variant);
}

// The voice the command line takes for a language when none is named: the
// first one listed. The window sorts its list, so its first may differ.
// Empty when there is none.
inline QByteArray FirstVoiceOf(const QString& strCode, QString* pstrDescription = nullptr)
{
    QStringList descriptions;
    const LANGID nUi = CSpLanguageTags::UserUiLanguageId();
    CSpObjectTokenPtr pToken;
    if (!CLanguageCatalogue::ListVoices(strCode, nUi, descriptions))
        return QByteArray();
    // The window and the verbs both start on the first voice in sorted order.
    std::sort(descriptions.begin(), descriptions.end());
    if (descriptions.isEmpty() ||
        !CLanguageCatalogue::FindVoice(strCode, descriptions.first(), nUi, pToken) || !pToken)
        return QByteArray();
    if (pstrDescription)
        *pstrDescription = descriptions.first();
    return pToken->GetEngineVoice();
}

// Starts a program with its standard output thrown away and its standard
// error into strErrPath (thrown away when empty). Each "NAME=value" in env
// replaces that variable. -1 when it cannot start.
inline pid_t Spawn(const QStringList& args, const QString& strErrPath = QString(),
                   const QStringList& env = {})
{
    std::vector<QByteArray> argBytes;
    for (const QString& strArg : args)
        argBytes.push_back(strArg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : argBytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envBytes;
    for (char** p = environ; p && *p; ++p)
    {
        const QByteArray entry(*p);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        const bool bReplaced =
            std::any_of(env.begin(), env.end(),
                        [&name](const QString& str) { return str.toLocal8Bit().startsWith(name); });
        if (!bReplaced)
            envBytes.push_back(entry);
    }
    for (const QString& strEntry : env)
        envBytes.push_back(strEntry.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& entry : envBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const QByteArray errPath =
        strErrPath.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(strErrPath);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Starts the program under kb_runpeak, which writes its peak into
// strPeakPath; read it with ReadPeak once it has ended.
inline pid_t SpawnMeasured(const QString& strPeakPath, const QStringList& args,
                           const QString& strErrPath = QString(), const QStringList& env = {})
{
    return Spawn(QStringList{QStringLiteral(KB_RUNPEAK), strPeakPath} + args, strErrPath, env);
}

// In kB; -1 when unknown.
inline long ReadPeak(const QString& strPeakPath)
{
    QFile file(strPeakPath);
    bool bOk = false;
    const long nKb = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLong(&bOk) : 0;
    return bOk ? nKb : -1;
}

inline bool ExitedOk(int nStatus)
{
    return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

struct SPipelineRun
{
    double dSeconds = 0;
    long nEspeakPeakKb = 0;
    long nLamePeakKb = 0;
    // The largest sum of the peaks of the documents of one group: what the
    // pipelines side by side held at once, at most.
    long nGroupPeakKb = 0;
    qint64 nLargestWav = 0;
    qint64 nTotalWav = 0;
    QString strError;
};

// Each document through espeak-ng into a WAV, then lame; nAtOnce documents
// side by side, the next group once the whole group is done.
inline SPipelineRun RunPipelines(const QStringList& docs, const QString& strOut,
                                 const QString& strVoice, int nWordsPerMinute, int nAtOnce)
{
    SPipelineRun run;
    QElapsedTimer timer;
    timer.start();
    for (int nFirst = 0; nFirst < int(docs.size()) && run.strError.isEmpty(); nFirst += nAtOnce)
    {
        struct SStage
        {
            int nDoc;
            bool bLame;
            QString strPeakPath;
        };
        std::map<pid_t, SStage> running;
        std::map<int, long> docPeaks;
        auto start = [&](int nDoc, bool bLame)
        {
            const QString strBase =
                strOut + QLatin1Char('/') + QFileInfo(docs[nDoc]).completeBaseName();
            const QStringList args = bLame ? QStringList{QStringLiteral("lame"),
                                                         QStringLiteral("-m"),
                                                         QStringLiteral("m"),
                                                         QStringLiteral("-b"),
                                                         QStringLiteral("64"),
                                                         QStringLiteral("--cbr"),
                                                         strBase + QStringLiteral(".wav"),
                                                         strBase + QStringLiteral(".mp3")}
                                           : QStringList{QStringLiteral("espeak-ng"),
                                                         QStringLiteral("-v"),
                                                         strVoice,
                                                         QStringLiteral("-s"),
                                                         QString::number(nWordsPerMinute),
                                                         QStringLiteral("-w"),
                                                         strBase + QStringLiteral(".wav"),
                                                         QStringLiteral("-f"),
                                                         docs[nDoc]};
            const QString strPeakPath =
                strOut + QStringLiteral("/.peak-%1-%2").arg(nDoc).arg(bLame ? "lame" : "espeak");
            const pid_t pid = SpawnMeasured(strPeakPath, args);
            if (pid < 0)
                run.strError = QStringLiteral("cannot start ") + args.first();
            else
                running[pid] = {nDoc, bLame, strPeakPath};
        };
        const int nEnd = qMin(int(docs.size()), nFirst + nAtOnce);
        for (int n = nFirst; n < nEnd && run.strError.isEmpty(); ++n)
            start(n, false);
        while (!running.empty())
        {
            int nStatus = 0;
            const pid_t pid = waitpid(-1, &nStatus, 0);
            if (pid < 0)
                break;
            const auto it = running.find(pid);
            if (it == running.end())
                continue;
            const SStage stage = it->second;
            running.erase(it);
            const long nPeak = ReadPeak(stage.strPeakPath);
            QFile::remove(stage.strPeakPath);
            long& nToolPeak = stage.bLame ? run.nLamePeakKb : run.nEspeakPeakKb;
            nToolPeak = std::max(nToolPeak, nPeak);
            docPeaks[stage.nDoc] = std::max(docPeaks[stage.nDoc], nPeak);
            const char* pszTool = stage.bLame ? "lame" : "espeak-ng";
            if (!ExitedOk(nStatus))
            {
                run.strError = QStringLiteral("%1 failed on %2").arg(pszTool, docs[stage.nDoc]);
                continue;
            }
            const QString strBase =
                strOut + QLatin1Char('/') + QFileInfo(docs[stage.nDoc]).completeBaseName();
            if (stage.bLame)
            {
                if (QFileInfo(strBase + QStringLiteral(".mp3")).size() <= 0)
                    run.strError = QStringLiteral("lame wrote no MP3 for ") + docs[stage.nDoc];
            }
            else
            {
                const qint64 nWav = QFileInfo(strBase + QStringLiteral(".wav")).size();
                run.nLargestWav = qMax(run.nLargestWav, nWav);
                run.nTotalWav += nWav;
                if (run.strError.isEmpty())
                    start(stage.nDoc, true);
            }
        }
        long nGroup = 0;
        for (const auto& peak : docPeaks)
            nGroup += peak.second;
        run.nGroupPeakKb = std::max(run.nGroupPeakKb, nGroup);
    }
    run.dSeconds = double(timer.nsecsElapsed()) / 1e9;
    return run;
}

// A "Name:   123 kB" line of /proc/PID/status, in kB; -1 when missing.
inline long StatusKb(const QString& strPid, const char* pszName)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(strPid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(pszName) + ':';
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    return -1;
}

// Makes the process's own VmHWM start again from what it holds now, so that
// it tells the peak of what follows; false where the kernel cannot.
inline bool ResetOwnPeak()
{
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}

// The memory of the descendants of a process (the launcher), from /proc
// samples taken while they run: each one's own peak as last seen with its
// parent, and the largest sum of what they held at one sample.
class CTreeMemory
{
public:
    struct SProcess
    {
        pid_t parent = 0;
        long nPeakKb = 0;
    };

    explicit CTreeMemory(pid_t root) : m_root(root) {}

    void Sample()
    {
        std::multimap<pid_t, pid_t> children;
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& strEntry : entries)
        {
            bool bNumber = false;
            const pid_t pid = pid_t(strEntry.toInt(&bNumber));
            if (!bNumber)
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // The command name may hold spaces and parentheses; the fields
            // after its last ')' are plain.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1)
                children.emplace(pid_t(fields[1].toInt()), pid);
        }
        long nTogether = 0;
        std::vector<std::pair<pid_t, pid_t>> queue;
        for (auto [it, end] = children.equal_range(m_root); it != end; ++it)
            queue.emplace_back(it->second, m_root);
        for (size_t i = 0; i < queue.size(); ++i)
        {
            const auto [pid, parent] = queue[i];
            const QString strPid = QString::number(pid);
            const long nRss = StatusKb(strPid, "VmRSS");
            const long nHwm = StatusKb(strPid, "VmHWM");
            if (nRss > 0)
                nTogether += nRss;
            SProcess& process = m_processes[pid];
            process.parent = parent;
            process.nPeakKb = std::max(process.nPeakKb, nHwm);
            for (auto [it, end] = children.equal_range(pid); it != end; ++it)
                queue.emplace_back(it->second, pid);
        }
        m_nTogetherPeakKb = std::max(m_nTogetherPeakKb, nTogether);
    }

    const std::map<pid_t, SProcess>& Processes() const { return m_processes; }
    long TogetherPeakKb() const { return m_nTogetherPeakKb; }

private:
    pid_t m_root;
    std::map<pid_t, SProcess> m_processes;
    long m_nTogetherPeakKb = 0;
};
} // namespace KbAudioBench
