#include "app/audiosavesettings.h"
#include "app/settingsstore.h"
#include "audio/wavetomp3converter.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "widgets/urlopener.h"

#include "tests/support/diskfault.h"
#include "tests/support/mediaprobe.h"
#include "tests/support/testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>
#include <map>
#include <memory>
#include <sys/types.h>

using KbTest::FirstStream;
using KbTest::ReadFile;

namespace
{
// About three seconds of work, long enough to be stopped in the middle.
constexpr int g_nLongSentences = 400;

QString ProgramPath()
{
    return QStringLiteral(KB_BIN_DIR "kestrivane-basic");
}

// The frames of an MP3's ID3v2.3 tag, each whole (header included), by id;
// empty when the file does not begin with such a tag.
std::map<QByteArray, QByteArray> Id3Frames(const QByteArray& mp3)
{
    std::map<QByteArray, QByteArray> frames;
    if (!mp3.startsWith("ID3\x03") || mp3.size() < 10)
        return frames;
    const char* p = mp3.constData();
    qint64 nEnd = 10;
    for (int i = 6; i < 10; ++i)
        nEnd += qint64(quint8(p[i]) & 0x7F) << (7 * (9 - i));
    nEnd = qMin<qint64>(nEnd, mp3.size());
    for (qint64 nAt = 10; nAt + 10 <= nEnd && p[nAt] != 0;)
    {
        const qint64 nSize = 10 + qint64(qFromBigEndian<quint32>(p + nAt + 4));
        if (nAt + nSize > nEnd)
            return {};
        frames[mp3.mid(nAt, 4)] = mp3.mid(nAt, nSize);
        nAt += nSize;
    }
    return frames;
}

// Every file of the folder, hidden ones too, with its bytes.
std::map<QString, QByteArray> FolderFiles(const QString& strFolder)
{
    std::map<QString, QByteArray> files;
    const QStringList names = QDir(strFolder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& strName : names)
        files[strName] = ReadFile(strFolder + QLatin1Char('/') + strName);
    return files;
}

QStringList Names(const std::map<QString, QByteArray>& files)
{
    QStringList names;
    for (const auto& [strName, bytes] : files)
        names.append(strName);
    return names;
}
} // namespace

// The --save-audio verb as a user runs it: the built program in a process
// of its own, its exit status, what it says and the files it leaves.
class CSaveAudioCommandTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;

    QString Path(const QString& strName) const { return m_home.filePath(strName); }

    // No sound server: nothing here is played.
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("PULSE_SERVER"),
                   QStringLiteral("unix:") + Path(QStringLiteral("no-server")));
        return env;
    }

    // "@name" stands for the file of that name in the test's folder.
    void Start(QProcess& program, const QStringList& args) const
    {
        QStringList arguments;
        for (const QString& strArg : args)
            arguments.append(strArg.startsWith(QLatin1Char('@')) ? Path(strArg.mid(1)) : strArg);
        program.setProcessEnvironment(Environment());
        program.start(ProgramPath(), arguments);
    }

    int Run(const QStringList& args, QString& strErr) const
    {
        QProcess program;
        Start(program, args);
        if (!program.waitForFinished(180000) || program.exitStatus() != QProcess::NormalExit)
            return -1;
        strErr = QString::fromUtf8(program.readAllStandardError());
        return program.readAllStandardOutput().isEmpty() ? program.exitCode() : -2;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        KbTest::WriteFileIn(m_home, QStringLiteral("a.txt"),
                            "Hello there. This is the first document.\nIt has two paragraphs.\n");
        KbTest::WriteFileIn(m_home, QStringLiteral("Tom & Jerry.txt"),
                            "A cat and a mouse. They never rest.\n");
        KbTest::WriteFileIn(m_home, QStringLiteral("Morning.rtf"),
                            "{\\rtf1\\ansi Good {\\b morning}.\\par Rise and shine.\\par}");
        KbTest::WriteFileIn(m_home, QStringLiteral("more/a.rtf"),
                            "{\\rtf1\\ansi Another document of the same name.\\par}");
        KbTest::WriteFileIn(m_home, QStringLiteral("empty.html"), "<p> </p>");
        QByteArray text;
        for (int i = 0; i < g_nLongSentences; ++i)
            text += "The quick brown fox jumps over the lazy dog. ";
        KbTest::WriteFileIn(m_home, QStringLiteral("Long.txt"), text);
    }

    // Each document gives a WAV and a tagged MP3 of the same sound, and
    // with word timings subtitles, lyrics and a SYLT frame; nothing else
    // is left in the folder, which is made when it does not exist.
    void renders_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("bTimings");
        QTest::newRow("word timings, three at a time") << QStringList{"--jobs", "3"} << true;
        QTest::newRow("no timing, one at a time")
            << QStringList{"--jobs", "1", "--no-timing"} << false;
    }
    void renders()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, bTimings);
        const QString strOut = Path(QString::fromLatin1(QTest::currentDataTag()));
        QString strErr;
        QCOMPARE(Run(QStringList{"--save-audio", "--out", strOut} + options +
                         QStringList{"@a.txt", "@Tom & Jerry.txt", "@Morning.rtf"},
                     strErr),
                 0);
        QCOMPARE(strErr, QStringLiteral("[1/3] %1\n[2/3] %2\n[3/3] %3\n")
                             .arg(Path("a.txt"), Path("Tom & Jerry.txt"), Path("Morning.rtf")));

        const QStringList bases{"a", "Tom & Jerry", "Morning"};
        QStringList expected;
        for (const QString& strBase : bases)
        {
            expected << strBase + ".mp3" << strBase + ".wav";
            if (bTimings)
                expected << strBase + ".lrc" << strBase + ".srt";
        }
        expected.sort();
        QCOMPARE(Names(FolderFiles(strOut)), expected);

        const QString strYear = QString::number(CAudioSaveSettings::CurrentYear());
        for (const QString& strBase : bases)
        {
            const QString strWav = strOut + "/" + strBase + ".wav";
            const QString strMp3 = strOut + "/" + strBase + ".mp3";
            const QJsonObject wave = FirstStream(KbTest::Ffprobe(strWav));
            QCOMPARE(wave["codec_name"].toString(), QStringLiteral("pcm_s16le"));
            QCOMPARE(wave["channels"].toInt(), 1);
            const QJsonObject probe = KbTest::Ffprobe(strMp3);
            const QJsonObject stream = FirstStream(probe);
            QCOMPARE(stream["codec_name"].toString(), QStringLiteral("mp3"));
            QCOMPARE(stream["channels"].toInt(), 1);
            QCOMPARE(stream["bit_rate"].toString(), QStringLiteral("64000"));
            const QJsonObject format = probe["format"].toObject();
            QVERIFY2(format["duration"].toString().toDouble() > 1.5, qPrintable(strBase));
            const QJsonObject tags = format["tags"].toObject();
            QCOMPARE(tags["comment"].toString(),
                     CUrlOpener::StripScheme(CStringTable::Get(IDS_HOME_URL)));
            QCOMPARE(tags["genre"].toString(), QStringLiteral("Speech"));
            QCOMPARE(tags["date"].toString(), strYear);
            QByteArray errors;
            QVERIFY2(KbTest::DecodesCleanly(strMp3, &errors), errors.constData());

            const QByteArray mp3 = ReadFile(strMp3);
            const std::map<QByteArray, QByteArray> frames = Id3Frames(mp3);
            QVERIFY(frames.count("TYER"));
            QCOMPARE(frames.count("SYLT"), size_t(bTimings));
            if (bTimings)
            {
                // The heading's name is heard as written, ampersand and all.
                const QString strSrt = QString::fromUtf8(ReadFile(strOut + "/" + strBase + ".srt"));
                QVERIFY2(strSrt.startsWith("1\r\n00:00:00,"), qPrintable(strSrt));
                QVERIFY2(strSrt.section("\r\n\r\n", 0, 0).endsWith(strBase), qPrintable(strSrt));
                QVERIFY(ReadFile(strOut + "/" + strBase + ".lrc").startsWith("[00:00.00]"));
            }

            // The MP3 made while the speech was made is the one converting
            // the finished WAV gives.
            const QString strCopy = Path(QStringLiteral("converted.wav"));
            QFile::remove(strCopy);
            QVERIFY(QFile::copy(strWav, strCopy));
            CWaveToMP3Converter converter;
            CAudioSaveSettings::ApplyTag(converter, strYear.toInt());
            converter.SetExtraId3Frames(bTimings ? frames.at("SYLT") : QByteArray());
            QCOMPARE(converter.Start(strCopy, 64), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!converter.IsWorking(), 60000);
            QCOMPARE(converter.GetLastExitCode(), int(CWaveToMP3Converter::EXIT_DONE));
            QVERIFY2(ReadFile(converter.GetMp3Path()) == mp3, qPrintable(strBase));
        }
    }

    // Documents rendered side by side give the files, byte for byte, of a
    // run that renders one at a time; two documents of one name take turns,
    // so the later one's files stay.
    void parallelMatchesSequential()
    {
        const QStringList documents{"@a.txt", "@more/a.rtf", "@Tom & Jerry.txt", "@Morning.rtf"};
        QString strErr;
        QCOMPARE(Run(QStringList{"--save-audio", "--jobs", "1", "--out", Path("one")} + documents,
                     strErr),
                 0);
        QCOMPARE(Run(QStringList{"--save-audio", "--jobs", "3", "--out", Path("three")} + documents,
                     strErr),
                 0);
        const std::map<QString, QByteArray> one = FolderFiles(Path("one"));
        const std::map<QString, QByteArray> three = FolderFiles(Path("three"));
        QCOMPARE(Names(three), Names(one));
        QCOMPARE(one.size(), size_t(12));
        for (const auto& [strName, bytes] : one)
            QVERIFY2(three.at(strName) == bytes, qPrintable(strName));
        QVERIFY(QString::fromUtf8(one.at("a.srt")).contains("same name"));
    }

    // A document that cannot be rendered is named with its reason; the
    // others are still made, and the exit status tells.
    void failedDocuments()
    {
        const QString strOut = Path(QStringLiteral("failed"));
        QString strErr;
        QCOMPARE(Run({"--save-audio", "--out", strOut, "--jobs", "2", "@missing.txt", "@a.txt",
                      "@empty.html", "@Morning.rtf"},
                     strErr),
                 1);
        QVERIFY2(strErr.contains(Path("missing.txt") + ": Failed to get text file"),
                 qPrintable(strErr));
        QVERIFY2(strErr.contains(Path("empty.html") + ": the document holds no text"),
                 qPrintable(strErr));
        QCOMPARE(Names(FolderFiles(strOut)),
                 QStringList({"Morning.lrc", "Morning.mp3", "Morning.srt", "Morning.wav", "a.lrc",
                              "a.mp3", "a.srt", "a.wav"}));
    }

    // Ctrl+C ends the run: the document being rendered leaves no file, not
    // under its name and not under a hidden one, and the program says so.
    void stopSignal()
    {
        const QString strOut = Path(QStringLiteral("stopped"));
        QProcess program;
        Start(program, {"--save-audio", "--jobs", "2", "--out", strOut, "@a.txt", "@Long.txt"});
        QVERIFY(program.waitForStarted(30000));
        // The short document is done, the long one under way.
        const QDeadlineTimer deadline(120000);
        while (!(QFileInfo::exists(strOut + "/.Long.wav.part") &&
                 QFileInfo::exists(strOut + "/a.lrc")) &&
               !deadline.hasExpired() && program.state() == QProcess::Running)
            QTest::qWait(10);
        QVERIFY2(program.state() == QProcess::Running, "the long document is still being made");
        ::kill(pid_t(program.processId()), SIGINT);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 130);
        const QString strErr = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(strErr.endsWith("kestrivane-basic: removed the unfinished files of " +
                                 Path("Long.txt") + "\nkestrivane-basic: stopped\n"),
                 qPrintable(strErr));
        QCOMPARE(Names(FolderFiles(strOut)), QStringList({"a.lrc", "a.mp3", "a.srt", "a.wav"}));
    }

    // A file the disk refuses part-way or when synced, a read-only folder,
    // or the folder taken away while a document is made: the run names the
    // file and fails, an earlier file of that name stays as it was, the
    // files completed before it are whole, and nothing half-made is left,
    // not even under a hidden name.
    void faultsAreNamed_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<QString>("strFailed");
        QTest::addColumn<QString>("strError");
        QTest::addColumn<QStringList>("kept");
        const QStringList all{"wav", "mp3", "srt", "lrc"};
        QTest::newRow("wav cut") << "cut"
                                 << "wav"
                                 << "cannot write the WAV file @/a.wav" << all;
        QTest::newRow("wav refused at sync") << "sync"
                                             << "wav"
                                             << "cannot write the WAV file @/a.wav" << all;
        QTest::newRow("mp3 cut") << "cut"
                                 << "mp3"
                                 << "@/a.mp3: cannot write the MP3 file: "
                                 << QStringList{"mp3", "srt", "lrc"};
        QTest::newRow("mp3 refused at sync")
            << "sync"
            << "mp3"
            << "@/a.mp3: cannot write the MP3 file: No space left on device"
            << QStringList{"mp3", "srt", "lrc"};
        QTest::newRow("srt cut") << "cut"
                                 << "srt"
                                 << "cannot write the word timings beside @/a.mp3"
                                 << QStringList{"srt"};
        QTest::newRow("lrc refused at sync")
            << "sync"
            << "lrc"
            << "cannot write the word timings beside @/a.mp3" << QStringList{"lrc"};
        QTest::newRow("read-only folder")
            << "read-only" << QString() << "cannot write the WAV file @/a.wav" << all;
        QTest::newRow("folder removed")
            << "removed" << QString() << "cannot write the WAV file @/Long.wav" << QStringList();
    }
    void faultsAreNamed()
    {
        QFETCH(QString, strFault);
        QFETCH(QString, strFailed);
        QFETCH(QString, strError);
        QFETCH(QStringList, kept);
        const QString strOut = Path(QStringLiteral("fault-") + QTest::currentDataTag());
        strError.replace(QLatin1Char('@'), strOut);
        const QStringList suffixes{"wav", "mp3", "srt", "lrc"};
        for (const QString& strSuffix : suffixes)
            QVERIFY(KbTest::WriteFile(strOut + "/a." + strSuffix, "old " + strSuffix.toLatin1()));
        QProcess program;
        std::unique_ptr<KbTest::CFullDisk> pFull;
        std::unique_ptr<KbTest::CReadOnlyFolder> pReadOnly;
        if (strFault == QLatin1String("read-only"))
        {
            QVERIFY(QFile::setPermissions(strOut, QFile::ReadOwner | QFile::ExeOwner));
            KbTest::CReadOnlyFolder::DropOverrideIn(program);
        }
        else if (strFault != QLatin1String("removed"))
        {
            QVERIFY2(KbTest::CFullDisk::IsLoaded(), "run by ctest, with the fault shim");
            const bool bSync = strFault == QLatin1String("sync");
            pFull = std::make_unique<KbTest::CFullDisk>(strOut, bSync ? 0 : 100, bSync,
                                                        "." + strFailed);
        }
        const QString strDocument = strFault == QLatin1String("removed") ? "@Long.txt" : "@a.txt";
        Start(program, {"--save-audio", "--out", strOut, strDocument});
        pFull.reset();
        bool bRemoved = false;
        while (program.state() != QProcess::NotRunning && !program.waitForFinished(10))
        {
            if (strFault == QLatin1String("removed") && !bRemoved &&
                QFileInfo::exists(strOut + "/.Long.wav.part"))
                bRemoved = QDir(strOut).removeRecursively();
        }
        QVERIFY(
            QFile::setPermissions(strOut, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
            bRemoved);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString strErr = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(strErr.contains(strError), qPrintable(strErr));
        if (strFault == QLatin1String("removed"))
        {
            QVERIFY(bRemoved);
            QVERIFY(!QFileInfo::exists(strOut));
            return;
        }
        QCOMPARE(Names(FolderFiles(strOut)), QStringList({"a.lrc", "a.mp3", "a.srt", "a.wav"}));
        for (const QString& strSuffix : suffixes)
        {
            const QByteArray bytes = ReadFile(strOut + "/a." + strSuffix);
            QVERIFY2((bytes == "old " + strSuffix.toLatin1()) == kept.contains(strSuffix),
                     qPrintable(strSuffix));
        }
        if (!kept.contains("wav"))
            QVERIFY(KbTest::DecodesCleanly(strOut + "/a.wav"));
        if (!kept.contains("mp3"))
            QVERIFY(KbTest::DecodesCleanly(strOut + "/a.mp3"));
    }

    // Without --out the files go to the configured folder, repaired as the
    // window repairs it: a value without its final "/" gains it.
    void configuredFolder()
    {
        const QString strBooks = Path(QStringLiteral("books"));
        QVERIFY(QDir().mkpath(strBooks));
        const QString strIni = Path(".config/Kestrivane/Kestrivane Basic/Application.ini");
        QVERIFY(KbTest::WriteFile(
            strIni, KbTest::Utf16("[Audio]\r\nSavePath=" + strBooks + "\r\nSaveType=1\r\n")));
        QString strErr;
        QCOMPARE(Run({"--save-audio", "--no-timing", "@Morning.rtf"}, strErr), 0);
        QCOMPARE(Names(FolderFiles(strBooks)), QStringList({"Morning.mp3", "Morning.wav"}));
        CSettingsStore settings;
        QVERIFY(settings.Load(strIni));
        QCOMPARE(settings.GetValue("Audio", "SavePath"), strBooks + "/");
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("strError");
        QTest::newRow("no file") << QStringList{"--save-audio"} << "--save-audio needs a FILE";
        QTest::newRow("no jobs") << QStringList{"--save-audio", "--jobs", "0", "@a.txt"}
                                 << "--jobs '0' is not a whole number";
        QTest::newRow("folder without the verb")
            << QStringList{"--out", "x", "@a.txt"} << "go with --save-audio";
        QTest::newRow("two verbs")
            << QStringList{"--save-audio", "--speak", "@a.txt"} << "no other verb";
    }
    void badUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, strError);
        QString strErr;
        QCOMPARE(Run(args, strErr), 2);
        QVERIFY2(strErr.contains(strError), qPrintable(strErr));
    }
};

QTEST_GUILESS_MAIN(CSaveAudioCommandTest)
#include "tst_saveaudiocommand.moc"
