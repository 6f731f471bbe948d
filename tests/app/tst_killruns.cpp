#include "app/settingsstore.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/spstream.h"
#include "tests/support/testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <map>
#include <unistd.h>

using KbTest::ReadFile;

namespace
{
using FileMap = std::map<QString, QByteArray>;

const QString g_strProgram = QStringLiteral(KB_BIN_DIR "kestrivane-basic");
const QString g_strTarget = QStringLiteral(KB_TEST_BUILD_DIR "kb_killtarget");
constexpr int g_nSettingsKeys = 2000;
constexpr int g_nDefaultRuns = 4;

QByteArray SettingsBytes(char cLetter)
{
    CSettingsStore store;
    for (int i = 0; i < g_nSettingsKeys; ++i)
        store.SetValue(QStringLiteral("Misc"), QStringLiteral("Key%1").arg(i),
                       QString(40, QLatin1Char(cLetter)));
    return store.ToBytes();
}

FileMap FolderFiles(const QString& strFolder)
{
    FileMap files;
    const QStringList names =
        QDir(strFolder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& strName : names)
        files[strName] = ReadFile(strFolder + QLatin1Char('/') + strName);
    return files;
}

// The names a write leaves while it is under way: a hidden ".NAME.part",
// or a save file's "NAME.XXXXXX" beside the file it replaces.
bool IsTemporaryName(const QString& strName, const FileMap& results)
{
    static const QRegularExpression part(QStringLiteral("^\\..+\\.part$"));
    static const QRegularExpression save(QStringLiteral("^(.+)\\.[A-Za-z0-9]{6}$"));
    if (part.match(strName).hasMatch())
        return true;
    const QRegularExpressionMatch match = save.match(strName);
    return match.hasMatch() && results.count(match.captured(1));
}

// The names and sizes in a folder, to see when a run begins to write.
QStringList FolderState(const QString& strFolder)
{
    QStringList state;
    const QFileInfoList entries =
        QDir(strFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& info : entries)
        state.append(info.fileName() + QLatin1Char(' ') + QString::number(info.size()));
    return state;
}

// Waits for the process to end, or for the folder to change from what it
// was; false when the process ended first.
bool WaitForWrites(QProcess& process, const QString& strFolder, const QStringList& before)
{
    while (FolderState(strFolder) == before)
    {
        if (process.waitForFinished(1) || process.state() == QProcess::NotRunning)
            return false;
    }
    return true;
}

// The program started in a process group of its own, so that the kill
// takes its helper processes too, as a crash of the machine would.
void StartGroup(QProcess& process, const QString& strProgram, const QStringList& args,
                const QProcessEnvironment& env)
{
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([]() { setpgid(0, 0); });
    process.start(strProgram, args);
}

// Only a group that still runs: the id of one that ended may be another's.
void KillGroup(QProcess& process)
{
    const pid_t nPid = pid_t(process.processId());
    if (nPid > 0 && process.state() != QProcess::NotRunning)
        ::kill(-nPid, SIGKILL);
    process.waitForFinished(30000);
}
} // namespace

// kill -9 at random moments of the program's writes: a settings save, Save
// as Audio in the window, and --save-audio. Afterwards every file under its
// own name is whole, the old one or the new one, and whatever else is left
// is a temporary file that no one takes for a result. KB_KILL_RUNS sets the
// runs of each (the full check: KB_KILL_RUNS=100 ctest -L kill), and
// KB_KILL_SEED the moments.
class CKillRunsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QRandomGenerator m_random;
    int m_nRuns = g_nDefaultRuns;

    QString Path(const QString& strName) const { return m_dir.filePath(strName); }

    QProcessEnvironment Environment(const QString& strHome) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), strHome);
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        return env;
    }

    static QString IniPath(const QString& strHome)
    {
        return strHome + QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini");
    }

    // The engine's noise for some sounds is random, so two whole renderings
    // of a document differ in their samples; a whole file still has the
    // uninterrupted run's length and the same header or tag.
    static bool IsWholeResult(const QString& strName, const QByteArray& bytes,
                              const QByteArray& whole)
    {
        if (bytes == whole)
            return true;
        if (bytes.size() != whole.size())
            return false;
        if (strName.endsWith(QLatin1String(".wav")))
            return bytes.left(CSpStream::HEADER_BYTES) == whole.left(CSpStream::HEADER_BYTES);
        if (strName.endsWith(QLatin1String(".mp3")) && whole.startsWith("ID3") &&
            whole.size() >= 10)
        {
            const int nTag = 10 + ((whole[6] & 0x7F) << 21 | (whole[7] & 0x7F) << 14 |
                                   (whole[8] & 0x7F) << 7 | (whole[9] & 0x7F));
            return bytes.left(nTag) == whole.left(nTag);
        }
        return false;
    }

    // Every file of the folder is the result made by an uninterrupted run,
    // the file that was there before, or a temporary one; the temporary
    // ones are counted.
    static bool CheckFolder(const QString& strFolder, const FileMap& results, const FileMap& olds,
                            int& nTemporary, QString& strProblem)
    {
        for (const auto& [strName, bytes] : FolderFiles(strFolder))
        {
            const auto result = results.find(strName);
            if (result != results.end())
            {
                const auto old = olds.find(strName);
                if (!IsWholeResult(strName, bytes, result->second) &&
                    (old == olds.end() || bytes != old->second))
                {
                    strProblem = QStringLiteral("%1 is cut or mixed (%2 bytes, whole %3)")
                                     .arg(strName)
                                     .arg(bytes.size())
                                     .arg(result->second.size());
                    return false;
                }
            }
            else if (IsTemporaryName(strName, results))
            {
                ++nTemporary;
            }
            else
            {
                strProblem = strName + QStringLiteral(" is no file of the run");
                return false;
            }
        }
        return true;
    }

    // A run of the program to its end, which the kills are timed against:
    // how long it writes into the folder.
    bool RunWhole(const QString& strProgram, const QStringList& args,
                  const QProcessEnvironment& env, const QString& strOut, qint64& nMs,
                  QByteArray& output)
    {
        QProcess process;
        StartGroup(process, strProgram, args, env);
        if (!WaitForWrites(process, strOut, FolderState(strOut)))
            return false;
        QElapsedTimer timer;
        timer.start();
        if (!process.waitForFinished(180000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return false;
        nMs = timer.elapsed();
        output = process.readAllStandardOutput();
        qInfo("a whole run writes for %lld ms", nMs);
        return true;
    }

    // Kills each run at a random moment from its first write to a little
    // past the whole run's end, and checks the folder and the settings file
    // after it.
    void KillRuns(const QString& strProgram, const QStringList& args,
                  const QProcessEnvironment& env, qint64 nWholeMs, const QString& strOut,
                  const FileMap& results, const FileMap& olds, const QString& strIni,
                  const QByteArray& iniBytes)
    {
        int nTemporary = 0;
        int nCut = 0;
        for (int nRun = 0; nRun < m_nRuns; ++nRun)
        {
            QVERIFY(QDir(strOut).removeRecursively() && QDir().mkpath(strOut));
            for (const auto& [strName, bytes] : olds)
                QVERIFY(KbTest::WriteFile(strOut + QLatin1Char('/') + strName, bytes));
            const int nKillMs = int(m_random.bounded(nWholeMs * 6 / 5 + 1));
            const QStringList before = FolderState(strOut);
            QProcess process;
            StartGroup(process, strProgram, args, env);
            QVERIFY(process.waitForStarted(30000));
            QVERIFY2(WaitForWrites(process, strOut, before), "the run writes");
            process.waitForFinished(nKillMs);
            const bool bEnded = process.state() == QProcess::NotRunning;
            KillGroup(process);
            QString strProblem;
            int nLeft = 0;
            QVERIFY2(CheckFolder(strOut, results, olds, nLeft, strProblem),
                     qPrintable(QStringLiteral("run %1, killed at %2 ms: %3")
                                    .arg(nRun)
                                    .arg(nKillMs)
                                    .arg(strProblem)));
            nTemporary += nLeft;
            nCut += !bEnded && FolderFiles(strOut) != results;
            QVERIFY2(!QFileInfo::exists(strIni) || ReadFile(strIni) == iniBytes,
                     qPrintable(QStringLiteral("run %1: the settings file is cut").arg(nRun)));
        }
        qInfo("%d runs killed, %d of them before all files were made; %d temporary files left",
              m_nRuns, nCut, nTemporary);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (qEnvironmentVariableIsSet("KB_KILL_RUNS"))
            m_nRuns = qMax(1, qEnvironmentVariableIntValue("KB_KILL_RUNS"));
        const quint32 nSeed = qEnvironmentVariableIsSet("KB_KILL_SEED")
                                  ? quint32(qEnvironmentVariableIntValue("KB_KILL_SEED"))
                                  : QRandomGenerator::global()->generate();
        m_random.seed(nSeed);
        qInfo("%d runs each, KB_KILL_SEED=%u", m_nRuns, nSeed);
        KbTest::WriteFileIn(m_dir, QStringLiteral("docs/a.txt"),
                            QByteArray("Hello there. This is the first document. ").repeated(30));
        KbTest::WriteFileIn(m_dir, QStringLiteral("docs/Second one.txt"),
                            QByteArray("A cat and a mouse. They never rest. ").repeated(30));
    }

    // The settings saved again and again, each time with other values:
    // killed at any moment, the file holds one save whole.
    void settingsSave()
    {
        const QString strFolder = Path(QStringLiteral("settings"));
        const QString strIni = strFolder + QStringLiteral("/Application.ini");
        const QByteArray a = SettingsBytes('A');
        const QByteArray b = SettingsBytes('B');
        int nTemporary = 0;
        int nB = 0;
        for (int nRun = 0; nRun < m_nRuns; ++nRun)
        {
            QVERIFY(KbTest::WriteFile(strIni, a));
            QProcess process;
            StartGroup(process, g_strTarget,
                       {QStringLiteral("settings"), strIni, QString::number(g_nSettingsKeys)},
                       QProcessEnvironment::systemEnvironment());
            QVERIFY(process.waitForStarted(30000));
            // Past the start-up, into the saves.
            const QDeadlineTimer deadline(30000);
            while (ReadFile(strIni) == a && !deadline.hasExpired() &&
                   process.state() == QProcess::Running)
                QThread::msleep(1);
            QVERIFY2(process.state() == QProcess::Running, "the target saves until killed");
            QThread::msleep(m_random.bounded(200));
            KillGroup(process);
            const QByteArray bytes = ReadFile(strIni);
            QVERIFY2(bytes == a || bytes == b,
                     qPrintable(QStringLiteral("run %1: %2 bytes").arg(nRun).arg(bytes.size())));
            nB += bytes == b;
            for (const QString& strName : QDir(strFolder).entryList(QDir::Files | QDir::Hidden))
            {
                if (strName == QLatin1String("Application.ini"))
                    continue;
                QVERIFY2(IsTemporaryName(strName, {{QStringLiteral("Application.ini"), {}}}),
                         qPrintable(strName));
                QVERIFY(QFile::remove(strFolder + QLatin1Char('/') + strName));
                ++nTemporary;
            }
        }
        qInfo("%d saves killed: %d left the first values, %d the second; %d temporary files "
              "left",
              m_nRuns, m_nRuns - nB, nB, nTemporary);
    }

    // Save as Audio in the window started with two documents, as from the
    // command line, under the folder rule with word timings.
    void windowBatch()
    {
        const QString strHome = Path(QStringLiteral("home-window"));
        const QString strOut = Path(QStringLiteral("window-out"));
        const QString strIni = IniPath(strHome);
        const QByteArray startIni = KbTest::Utf16(
            QStringLiteral("[Audio]\r\nSaveType=1\r\nSavePath=%1/\r\nWordTiming=1\r\n")
                .arg(strOut));
        QVERIFY(KbTest::WriteFile(strIni, startIni));
        QVERIFY(QDir().mkpath(strOut));
        const QStringList args{QStringLiteral("window"), Path(QStringLiteral("docs/a.txt")),
                               Path(QStringLiteral("docs/Second one.txt"))};
        qint64 nWholeMs = 0;
        QByteArray output;
        QVERIFY(RunWhole(g_strTarget, args, Environment(strHome), strOut, nWholeMs, output));
        QCOMPARE(QString::fromUtf8(output).trimmed(), CStringTable::Get(IDS_AUDIO_FINISHED));
        const FileMap results = FolderFiles(strOut);
        QCOMPARE(int(results.size()), 8);
        // The settings as the window leaves them; it saves them at its start.
        const QByteArray iniBytes = ReadFile(strIni);
        FileMap olds;
        for (const QString strSuffix : {"wav", "mp3", "srt", "lrc"})
            olds[QStringLiteral("a.") + strSuffix] = "old " + strSuffix.toLatin1();
        KillRuns(g_strTarget, args, Environment(strHome), nWholeMs, strOut, results, olds, strIni,
                 iniBytes);
    }

    // --save-audio with two documents side by side, each by a helper
    // process; the kill takes the helpers too.
    void saveAudioCommand()
    {
        const QString strHome = Path(QStringLiteral("home-command"));
        const QString strOut = Path(QStringLiteral("command-out"));
        QProcessEnvironment env = Environment(strHome);
        // Nothing is played.
        env.insert(QStringLiteral("PULSE_SERVER"),
                   QStringLiteral("unix:") + Path(QStringLiteral("no-server")));
        const QStringList args{QStringLiteral("--save-audio"),
                               QStringLiteral("--jobs"),
                               QStringLiteral("2"),
                               QStringLiteral("--out"),
                               strOut,
                               Path(QStringLiteral("docs/a.txt")),
                               Path(QStringLiteral("docs/Second one.txt"))};
        qint64 nWholeMs = 0;
        QByteArray output;
        QVERIFY(QDir().mkpath(strOut));
        QVERIFY(RunWhole(g_strProgram, args, env, strOut, nWholeMs, output));
        const FileMap results = FolderFiles(strOut);
        QCOMPARE(int(results.size()), 8);
        FileMap olds;
        for (const QString strSuffix : {"wav", "mp3", "srt", "lrc"})
            olds[QStringLiteral("Second one.") + strSuffix] = "old " + strSuffix.toLatin1();
        KillRuns(g_strProgram, args, env, nWholeMs, strOut, results, olds, IniPath(strHome),
                 ReadFile(IniPath(strHome)));
    }
};

QTEST_GUILESS_MAIN(CKillRunsTest)
#include "tst_killruns.moc"
