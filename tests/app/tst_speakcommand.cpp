#include "app/consoleprogress.h"
#include "speech/readingrules.h"
#include "tests/support/soundrecording.h"
#include "tests/support/testfiles.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/types.h>

using KbTest::FirstLoudSample;
using KbTest::LastLoudSample;
using KbTest::LongestInnerSilence;
using KbTest::RECORD_RATE;

namespace
{
// A text far longer than any stop takes: about four minutes of speech.
constexpr int g_nLongSentences = 100;

QString ProgramPath()
{
    return QStringLiteral(KB_BIN_DIR "kestrivane-basic");
}
} // namespace

// The --speak verb as a user runs it: the built program in a process of its
// own, its exit status, what it writes and, on a sound server's null sink,
// what it plays.
class CSpeakCommandTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;
    KbTest::CSoundServer m_server;

    QString Write(const QString& strName, const QByteArray& bytes)
    {
        return KbTest::WriteFileIn(m_home, strName, bytes);
    }

    // Without a sound server the voice plays into a silent sink at the
    // pace of the speech.
    QProcessEnvironment Environment(bool bSound, int nClockMs = 50) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("KB_CLOCK_MS"), QString::number(nClockMs));
        env.insert(QStringLiteral("PULSE_SERVER"),
                   bSound ? m_server.Address()
                          : QStringLiteral("unix:") + m_home.filePath(QStringLiteral("no-server")));
        return env;
    }

    // "@name" stands for the file of that name in the test's folder.
    QStringList Arguments(const QStringList& args) const
    {
        QStringList result;
        for (const QString& strArg : args)
            result.append(strArg.startsWith(QLatin1Char('@')) ? m_home.filePath(strArg.mid(1))
                                                              : strArg);
        return result;
    }

    bool Start(QProcess& program, const QStringList& args, const QProcessEnvironment& env)
    {
        program.setProcessEnvironment(env);
        program.start(ProgramPath(), Arguments(args));
        return program.waitForStarted(30000);
    }

    // Waits until the error output holds the text; false when the program
    // ended first or the time ran out.
    static bool WaitForError(QProcess& program, QByteArray& err, const QByteArray& text)
    {
        const QDeadlineTimer deadline(60000);
        while (!err.contains(text))
        {
            if (program.state() != QProcess::Running || deadline.hasExpired())
                return false;
            program.waitForReadyRead(100);
            err += program.readAllStandardError();
        }
        return true;
    }

    // Records while the program runs and a second beyond its end.
    QByteArray RecordRun(const QStringList& args, int nClockMs, int& nExit)
    {
        KbTest::CSinkRecorder recorder;
        if (!recorder.Start(m_server.Address()))
            return QByteArray();
        QProcess program;
        Start(program, args, Environment(true, nClockMs));
        const QDeadlineTimer deadline(120000);
        while (program.state() != QProcess::NotRunning && !deadline.hasExpired())
        {
            recorder.Take(100);
            program.waitForFinished(0);
        }
        nExit =
            program.state() == QProcess::NotRunning && program.exitStatus() == QProcess::NormalExit
                ? program.exitCode()
                : -1;
        recorder.RecordFor(1000);
        return recorder.Pcm();
    }

private Q_SLOTS:
    void initTestCase()
    {
        Write(QStringLiteral("Hello.txt"), "Hello there.\n");
        Write(QStringLiteral("Morning.rtf"), "{\\rtf1\\ansi Good morning.\\par}");
        Write(QStringLiteral("empty.html"), "<p> </p>");
        Write(QStringLiteral("Readme"), "Hello there.\n");
        QByteArray text;
        for (int i = 0; i < g_nLongSentences; ++i)
            text += "The quick brown fox jumps over the lazy dog. ";
        Write(QStringLiteral("Long.txt"), text);

        if (m_server.Start(m_home))
            QVERIFY2(!m_server.Address().isEmpty(), "the sound server opens its socket");
    }
    void cleanupTestCase() { m_server.Stop(); }

    // Exit status and, in order, what standard error names.
    void speak_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("one file") << QStringList{"--speak", "@Hello.txt"} << 0
                                  << QStringList{"[1/1] " + m_home.filePath("Hello.txt")};
        QTest::newRow("text and rtf") << QStringList{"--speak", "@Hello.txt", "@Morning.rtf"} << 0
                                      << QStringList{"[1/2] " + m_home.filePath("Hello.txt"),
                                                     "[2/2] " + m_home.filePath("Morning.rtf")};
        QTest::newRow("missing among good")
            << QStringList{"--speak", "@Hello.txt", "@missing.txt", "@Morning.rtf"} << 1
            << QStringList{"[1/3] " + m_home.filePath("Hello.txt"),
                           m_home.filePath("missing.txt") + ": Failed to get text file",
                           "[3/3] " + m_home.filePath("Morning.rtf")};
        QTest::newRow("no text") << QStringList{"--speak", "@empty.html", "@Hello.txt"} << 1
                                 << QStringList{"empty.html: the document holds no text",
                                                "[2/2] " + m_home.filePath("Hello.txt")};
        QTest::newRow("not a document")
            << QStringList{"--speak", "@Readme"} << 1
            << QStringList{"Readme: not a document type the program reads"};
        QTest::newRow("all settings") << QStringList{"--speak",
                                                     "--lang",
                                                     "809",
                                                     "--voice",
                                                     "espeak ng english (great britain) female",
                                                     "--rate",
                                                     "-10",
                                                     "--volume",
                                                     "0",
                                                     "@Hello.txt"}
                                      << 0 << QStringList{"[1/1] "};
        QTest::newRow("fast rate")
            << QStringList{"--speak", "--rate=10", "@Hello.txt"} << 0 << QStringList{"[1/1] "};
        QTest::newRow("no voice for the language")
            << QStringList{"--speak", "--lang", "0438", "@Hello.txt"} << 1
            << QStringList{"no voice for language 0438"};
        QTest::newRow("rate too high") << QStringList{"--speak", "--rate", "11", "@Hello.txt"} << 2
                                       << QStringList{"--rate '11'", "--help"};
        QTest::newRow("rate not a number") << QStringList{"--speak", "--rate", "fast", "@Hello.txt"}
                                           << 2 << QStringList{"--rate 'fast'"};
        QTest::newRow("volume too high") << QStringList{"--speak", "--volume", "101", "@Hello.txt"}
                                         << 2 << QStringList{"--volume '101'"};
        QTest::newRow("volume below zero") << QStringList{"--speak", "--volume=-1", "@Hello.txt"}
                                           << 2 << QStringList{"--volume '-1'"};
        QTest::newRow("language not a code")
            << QStringList{"--speak", "--lang", "english", "@Hello.txt"} << 2
            << QStringList{"'english' is not a language code"};
        QTest::newRow("language not in the catalogue")
            << QStringList{"--speak", "--lang", "0001", "@Hello.txt"} << 2
            << QStringList{"'0001' is not a language code"};
        QTest::newRow("voice of another language")
            << QStringList{"--speak", "--voice", "eSpeak NG Russian Male", "@Hello.txt"} << 2
            << QStringList{"no voice 'eSpeak NG Russian Male' for language 0409"};
        QTest::newRow("no file") << QStringList{"--speak"} << 2
                                 << QStringList{"--speak needs a FILE"};
        QTest::newRow("voice options alone")
            << QStringList{"--rate", "3", "@Hello.txt"} << 2 << QStringList{"go with --speak"};
        QTest::newRow("two verbs")
            << QStringList{"--speak", "--extract-text", "@Hello.txt", "@Morning.rtf"} << 2
            << QStringList{"no other verb"};
    }
    void speak()
    {
        QFETCH(QStringList, args);
        QFETCH(int, nExit);
        QFETCH(QStringList, errors);
        QProcess program;
        QVERIFY(Start(program, args, Environment(false)));
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        const QString strErr = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitCode(), nExit);
        QVERIFY(program.readAllStandardOutput().isEmpty());
        qsizetype nAt = 0;
        for (const QString& strError : qAsConst(errors))
        {
            nAt = strErr.indexOf(strError, nAt);
            QVERIFY2(nAt >= 0,
                     qPrintable(strError + QStringLiteral(" not in order in:\n") + strErr));
        }
        // Every document has one line, not a bar redrawn in place.
        QVERIFY(!strErr.contains(QLatin1Char('\r')));
        if (nExit == 0)
            QVERIFY2(!strErr.contains(QStringLiteral("kestrivane-basic:")), qPrintable(strErr));
    }

    // The terminal's line: never wider than the terminal less one column,
    // the name shortened from its start so its end stays readable.
    void progressLine_data()
    {
        QTest::addColumn<int>("nPercent");
        QTest::addColumn<QString>("strName");
        QTest::addColumn<int>("nColumns");
        QTest::addColumn<QString>("strLine");
        QTest::newRow("start") << 0 << "a.txt" << 80 << "[2/3] a.txt [--------------------]   0%";
        QTest::newRow("half") << 50 << "a.txt" << 80 << "[2/3] a.txt [##########----------]  50%";
        QTest::newRow("done") << 100 << "a.txt" << 80 << "[2/3] a.txt [####################] 100%";
        QTest::newRow("beyond the end")
            << 140 << "a.txt" << 80 << "[2/3] a.txt [####################] 100%";
        QTest::newRow("long name") << 5 << "/home/user/books/chapter-one.txt" << 50
                                   << "[2/3] ...pter-one.txt [#-------------------]   5%";
        QTest::newRow("narrow terminal")
            << 5 << "chapter-one.txt" << 40 << "[2/3] ...xt [#-------------------]   5%";
        QTest::newRow("no room for the name")
            << 5 << "chapter-one.txt" << 36 << "[2/3]  [#-------------------]   5%";
    }
    void progressLine()
    {
        QFETCH(int, nPercent);
        QFETCH(QString, strName);
        QFETCH(int, nColumns);
        QFETCH(QString, strLine);
        const QString strGot = CConsoleProgress::Line(2, 3, strName, nPercent, nColumns);
        QCOMPARE(strGot, strLine);
        QVERIFY(strGot.size() < nColumns);
    }

    // The bar follows the end of the spoken word through the text.
    void progressPercent_data()
    {
        QTest::addColumn<int>("nPos");
        QTest::addColumn<int>("nLen");
        QTest::addColumn<int>("nTextLength");
        QTest::addColumn<int>("nPercent");
        QTest::newRow("first word") << 0 << 5 << 100 << 5;
        QTest::newRow("last word") << 95 << 5 << 100 << 100;
        QTest::newRow("rounds down") << 10 << 9 << 200 << 9;
        QTest::newRow("empty text") << 0 << 0 << 0 << 0;
        QTest::newRow("past the end") << 98 << 5 << 100 << 100;
        QTest::newRow("long text") << 3000000 << 10 << 4000000 << 75;
    }
    void progressPercent()
    {
        QFETCH(int, nPos);
        QFETCH(int, nLen);
        QFETCH(int, nTextLength);
        QFETCH(int, nPercent);
        QCOMPARE(CConsoleProgress::Percent(quint32(nPos), quint32(nLen), quint32(nTextLength)),
                 nPercent);
    }

    // A voice as --list-voices names it is a voice --speak takes.
    void voiceFromTheList()
    {
        QProcess list;
        QVERIFY(Start(list, {"--list-voices", "0c0a"}, Environment(false)));
        QVERIFY(list.waitForFinished(60000));
        const QStringList lines =
            QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 2);
        QProcess program;
        Start(program,
              {"--speak", "--lang", "0c0a", "--voice", lines[1].section('\t', 0, 0), "@Hello.txt"},
              Environment(false));
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
    }

    // A stop signal in the middle of a long text ends the program long
    // before the text would have, and says so.
    void stopSignal_data()
    {
        QTest::addColumn<int>("nSignal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void stopSignal()
    {
        QFETCH(int, nSignal);
        QProcess program;
        QVERIFY(Start(program, {"--speak", "@Hello.txt", "@Long.txt"}, Environment(false)));
        QByteArray err;
        QVERIFY2(WaitForError(program, err, "[2/2]"), err.constData());
        QTest::qWait(500);
        QCOMPARE(program.state(), QProcess::Running);
        ::kill(pid_t(program.processId()), nSignal);
        // The text lasts minutes; a stop takes well under a second.
        QVERIFY(program.waitForFinished(30000));
        err += program.readAllStandardError();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 130);
        QVERIFY2(err.endsWith("kestrivane-basic: stopped\n"), err.constData());
    }

    // On a sound server: the speech is heard, and within half a second of
    // Ctrl+C it is not.
    void stopSilencesTheDevice()
    {
        if (m_server.Address().isEmpty())
            QSKIP("no PulseAudio server to play on");
        KbTest::CSinkRecorder recorder;
        QVERIFY(recorder.Start(m_server.Address()));
        QProcess program;
        QVERIFY(Start(program, {"--speak", "@Long.txt"}, Environment(true)));
        const QDeadlineTimer deadline(60000);
        while (FirstLoudSample(recorder.Pcm()) < 0 && !deadline.hasExpired() &&
               program.state() == QProcess::Running)
            recorder.Take(100);
        QVERIFY2(FirstLoudSample(recorder.Pcm()) >= 0, "the speech is heard");
        // Past the announcement, into the text, and in the middle of a word.
        const qint64 nTextSamples = recorder.Samples() + 3 * qint64(RECORD_RATE);
        while ((recorder.Samples() < nTextSamples ||
                LastLoudSample(recorder.Pcm()) < recorder.Samples() - RECORD_RATE / 20) &&
               !deadline.hasExpired())
            recorder.Take(100);
        QCOMPARE(program.state(), QProcess::Running);
        ::kill(pid_t(program.processId()), SIGINT);
        // Whatever has arrived was played before the signal.
        const qint64 nSignalAt = recorder.Samples();
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 130);
        QVERIFY(recorder.RecordFor(2000));
        recorder.Stop();
        const qint64 nLoudAfter = FirstLoudSample(recorder.Pcm(), nSignalAt + RECORD_RATE / 2);
        QVERIFY2(nLoudAfter < 0,
                 qPrintable(QStringLiteral("sound %1 ms after the signal")
                                .arg((nLoudAfter - nSignalAt) * 1000 / RECORD_RATE)));
    }

    // Between two documents the clock's pause is heard as silence.
    void pauseBetweenDocumentsIsHeard()
    {
        if (m_server.Address().isEmpty())
            QSKIP("no PulseAudio server to play on");
        const int nClockMs = 500;
        int nExit = -1;
        const QByteArray pcm =
            RecordRun({"--speak", "@Hello.txt", "@Morning.rtf"}, nClockMs, nExit);
        QCOMPARE(nExit, 0);
        // Three quarters of the pause: a recorder that drops a block on a
        // busy machine must not fail the test; without the pause the
        // longest silence is a few tens of milliseconds.
        const qint64 nGapSamples =
            qint64(CReadingRules::GAP_TICKS) * nClockMs * RECORD_RATE * 3 / 4 / 1000;
        QVERIFY2(LongestInnerSilence(pcm) >= nGapSamples,
                 qPrintable(QString::number(LongestInnerSilence(pcm) * 1000 / RECORD_RATE)));
    }

    // The document's name up to its first dot is spoken before its text:
    // a long name takes longer to hear than a one-letter one.
    void nameIsAnnounced()
    {
        if (m_server.Address().isEmpty())
            QSKIP("no PulseAudio server to play on");
        Write(QStringLiteral("A.b.txt"), "Hello there.\n");
        Write(QStringLiteral("Internationalisation Correspondence Documentation.txt"),
              "Hello there.\n");
        int nExit = -1;
        const QByteArray shortName = RecordRun({"--speak", "@A.b.txt"}, 50, nExit);
        QCOMPARE(nExit, 0);
        const QByteArray longName = RecordRun(
            {"--speak", "@Internationalisation Correspondence Documentation.txt"}, 50, nExit);
        QCOMPARE(nExit, 0);
        const qint64 nShort = LastLoudSample(shortName) - FirstLoudSample(shortName);
        const qint64 nLong = LastLoudSample(longName) - FirstLoudSample(longName);
        QVERIFY(FirstLoudSample(shortName) >= 0);
        QVERIFY2(nLong - nShort > RECORD_RATE, qPrintable(QStringLiteral("%1 ms and %2 ms")
                                                              .arg(nShort * 1000 / RECORD_RATE)
                                                              .arg(nLong * 1000 / RECORD_RATE)));
    }
};

QTEST_GUILESS_MAIN(CSpeakCommandTest)
#include "tst_speakcommand.moc"
