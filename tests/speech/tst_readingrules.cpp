#include "speech/readingrules.h"

#include <QTest>

// The reading's state table, the announcement of a document and the clock,
// without a window.
class CReadingRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stateTable_data()
    {
        QTest::addColumn<bool>("bBusy");
        QTest::addColumn<bool>("bWorking");
        QTest::addColumn<bool>("bPaused");
        QTest::addColumn<bool>("bItemFinished");
        QTest::addColumn<bool>("bCanSpeak");
        QTest::addColumn<int>("nState");
        QTest::addColumn<QString>("strButtons"); // Speak, Pause, Stop, Resume text
        QTest::newRow("idle-nothing-to-read")
            << false << false << false << false << false << int(CReadingRules::Idle) << "----";
        QTest::newRow("idle-with-text")
            << false << false << false << true << true << int(CReadingRules::Idle) << "S---";
        QTest::newRow("extracting-first-file")
            << false << true << false << true << true << int(CReadingRules::Extracting) << "-PS-";
        QTest::newRow("extracting-wins-over-busy")
            << true << true << false << false << true << int(CReadingRules::Extracting) << "-PS-";
        QTest::newRow("speaking") << true << false << false << false << true
                                  << int(CReadingRules::Speaking) << "-PS-";
        QTest::newRow("between-files")
            << true << false << false << true << true << int(CReadingRules::BetweenFiles) << "-PS-";
        QTest::newRow("paused") << true << false << true << false << false
                                << int(CReadingRules::Paused) << "S--R";
        QTest::newRow("paused-as-file-ended")
            << true << false << true << true << true << int(CReadingRules::Paused) << "S--R";
    }
    void stateTable()
    {
        QFETCH(bool, bBusy);
        QFETCH(bool, bWorking);
        QFETCH(bool, bPaused);
        QFETCH(bool, bItemFinished);
        QFETCH(bool, bCanSpeak);
        QFETCH(int, nState);
        QFETCH(QString, strButtons);
        const CReadingRules::EState eState =
            CReadingRules::StateOf(bBusy, bWorking, bPaused, bItemFinished);
        QCOMPARE(int(eState), nState);
        const CReadingRules::SButtons buttons = CReadingRules::ButtonsFor(eState, bCanSpeak);
        const QString strGot = QString(buttons.bSpeak ? "S" : "-") + (buttons.bPause ? "P" : "-") +
                               (buttons.bStop ? "S" : "-") + (buttons.bResumeText ? "R" : "-");
        QCOMPARE(strGot, strButtons);
    }

    void baseName_data()
    {
        QTest::addColumn<QString>("strPath");
        QTest::addColumn<QString>("strBase");
        QTest::newRow("plain") << "/home/a/report.txt"
                               << "report";
        QTest::newRow("two-dots") << "/home/a/report.final.txt"
                                  << "report";
        QTest::newRow("no-dot") << "/home/a/README"
                                << "";
        QTest::newRow("dot-in-folder-only") << "/home/a.b/README"
                                            << "";
        QTest::newRow("hidden-file") << "/home/a/.notes.txt"
                                     << "";
        QTest::newRow("no-folder") << "Tom & Jerry.rtf"
                                   << "Tom & Jerry";
        QTest::newRow("cyrillic") << QString::fromUtf8("/tmp/Отчёт.doc")
                                  << QString::fromUtf8("Отчёт");
        QTest::newRow("backslash-is-a-name-character") << "/tmp/a\\b.txt"
                                                       << "a\\b";
    }
    void baseName()
    {
        QFETCH(QString, strPath);
        QFETCH(QString, strBase);
        QCOMPARE(CReadingRules::BaseName(strPath), strBase);
    }

    void elapsed_data()
    {
        QTest::addColumn<int>("nSeconds");
        QTest::addColumn<QString>("strText");
        QTest::newRow("zero") << 0 << "00:00:00";
        QTest::newRow("one-minute") << 60 << "00:01:00";
        QTest::newRow("3661") << 3661 << "01:01:01";
        QTest::newRow("last-of-a-day") << 86399 << "23:59:59";
        QTest::newRow("past-99-hours") << 360000 << "100:00:00";
        QTest::newRow("negative-clamped") << -5 << "00:00:00";
    }
    void elapsed()
    {
        QFETCH(int, nSeconds);
        QFETCH(QString, strText);
        QCOMPARE(CReadingRules::FormatElapsed(nSeconds), strText);
    }

    void clockCounting_data()
    {
        QTest::addColumn<bool>("bBusy");
        QTest::addColumn<bool>("bStarted");
        QTest::addColumn<bool>("bPaused");
        QTest::addColumn<bool>("bEnded");
        QTest::addColumn<bool>("bCounts");
        QTest::newRow("inside-utterance") << true << true << false << false << true;
        QTest::newRow("idle") << false << true << false << false << false;
        QTest::newRow("before-first-stream") << true << false << false << false << false;
        QTest::newRow("paused") << true << true << true << false << false;
        QTest::newRow("between-name-and-text") << true << false << false << true << false;
    }
    void clockCounting()
    {
        QFETCH(bool, bBusy);
        QFETCH(bool, bStarted);
        QFETCH(bool, bPaused);
        QFETCH(bool, bEnded);
        QFETCH(bool, bCounts);
        QCOMPARE(CReadingRules::ClockCounts(bBusy, bStarted, bPaused, bEnded), bCounts);
    }

    void gapCounting()
    {
        QVERIFY(CReadingRules::GapCounts(1, true));
        QVERIFY(!CReadingRules::GapCounts(1, false));
        QVERIFY(!CReadingRules::GapCounts(0, true));
    }

    void clockPeriod()
    {
        qunsetenv("KB_CLOCK_MS");
        QCOMPARE(CReadingRules::ClockPeriodMs(), 1000);
        qputenv("KB_CLOCK_MS", "50");
        QCOMPARE(CReadingRules::ClockPeriodMs(), 50);
        qputenv("KB_CLOCK_MS", "fast");
        QCOMPARE(CReadingRules::ClockPeriodMs(), 1000);
        qunsetenv("KB_CLOCK_MS");
    }
};

QTEST_GUILESS_MAIN(CReadingRulesTest)
#include "tst_readingrules.moc"
