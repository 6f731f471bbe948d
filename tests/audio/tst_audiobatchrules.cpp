#include "audio/audiobatchrules.h"
#include "res/resourceids.h"

#include <QSet>
#include <QTest>

// Names, folder repairs, headings and the end of a batch, without a window.
class CAudioBatchRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void names_data()
    {
        QTest::addColumn<QString>("strPath");
        QTest::addColumn<QString>("strBase");
        QTest::addColumn<QString>("strWav");
        QTest::newRow("two-dots") << "/docs/report.final.txt"
                                  << "report"
                                  << "/out/report.wav";
        QTest::newRow("dot-in-folder") << "/a.b/notes.rtf"
                                       << "notes"
                                       << "/out/notes.wav";
        QTest::newRow("no-dot") << "/docs/README"
                                << "README"
                                << "/out/README.wav";
        QTest::newRow("hidden") << "/docs/.notes.txt"
                                << "notes"
                                << "/out/notes.wav";
        QTest::newRow("ampersand") << "/docs/Tom & Jerry.txt"
                                   << "Tom & Jerry"
                                   << "/out/Tom & Jerry.wav";
    }
    void names()
    {
        QFETCH(QString, strPath);
        QFETCH(QString, strBase);
        QFETCH(QString, strWav);
        QCOMPARE(CAudioBatchRules::BaseName(strPath), strBase);
        QCOMPARE(CAudioBatchRules::WavPath(QStringLiteral("/out/"), strBase), strWav);
    }

    void savePathRepairs_data()
    {
        QTest::addColumn<QString>("strValue");
        QTest::addColumn<QString>("strFolder");
        QTest::addColumn<bool>("bStore");
        QTest::addColumn<bool>("bCreate");
        QTest::newRow("kept") << "/audio/"
                              << "/audio/" << false << false;
        QTest::newRow("final-slash-added") << "/audio"
                                           << "/audio/" << true << false;
        QTest::newRow("empty-gives-default") << ""
                                             << "/home/u/Documents/KB/" << true << false;
        QTest::newRow("missing-gives-default") << "/gone/"
                                               << "/home/u/Documents/KB/" << true << true;
        QTest::newRow("missing-without-slash") << "/gone"
                                               << "/home/u/Documents/KB/" << true << true;
    }
    void savePathRepairs()
    {
        QFETCH(QString, strValue);
        QFETCH(QString, strFolder);
        QFETCH(bool, bStore);
        QFETCH(bool, bCreate);
        const QSet<QString> folders = {"/audio/", "/home/u/Documents/KB/"};
        QStringList asked;
        const CAudioBatchRules::SFolder folder =
            CAudioBatchRules::RepairSavePath(strValue, QStringLiteral("/home/u/Documents/KB/"),
                                             [&](const QString& strPath)
                                             {
                                                 asked.append(strPath);
                                                 return folders.contains(strPath);
                                             });
        QCOMPARE(folder.strFolder, strFolder);
        QCOMPARE(folder.bStore, bStore);
        QCOMPARE(folder.bCreate, bCreate);
        // The user's own folder is only looked at, never made.
        QVERIFY(!asked.isEmpty());
    }

    void headingIsMarkup_data()
    {
        QTest::addColumn<QString>("strPrelude");
        QTest::addColumn<QString>("strBase");
        QTest::addColumn<QString>("strHeading");
        QTest::newRow("plain") << "Document<silence msec=\"300\"/>"
                               << "report"
                               << "Document<silence msec=\"300\"/>report";
        QTest::newRow("no-prelude") << ""
                                    << "report"
                                    << "report";
        QTest::newRow("ampersand") << ""
                                   << "Tom & Jerry"
                                   << "Tom &amp; Jerry";
        QTest::newRow("brackets") << "P "
                                  << "a<b>\"c\""
                                  << "P a&lt;b&gt;&quot;c&quot;";
    }
    void headingIsMarkup()
    {
        QFETCH(QString, strPrelude);
        QFETCH(QString, strBase);
        QFETCH(QString, strHeading);
        QCOMPARE(CAudioBatchRules::Heading(strPrelude, strBase), strHeading);
    }

    void stopEffects()
    {
        using R = CAudioBatchRules;
        const R::SStopEffect heading = R::StopEffect(R::SpeakingHeading);
        QVERIFY(!heading.bTextSpoken && !heading.bMp3Started);
        const R::SStopEffect text = R::StopEffect(R::SpeakingText);
        QVERIFY(text.bTextSpoken && !text.bMp3Started);
        const R::SStopEffect encoding = R::StopEffect(R::Encoding);
        QVERIFY(encoding.bMp3Started && encoding.bMp3Cancelled);
    }

    void endStatus()
    {
        QCOMPARE(CAudioBatchRules::EndStatusId(3, 3, {}), IDS_AUDIO_FINISHED);
        QCOMPARE(CAudioBatchRules::EndStatusId(1, 3, {}), IDS_AUDIO_INTERRUPTED);
        QCOMPARE(CAudioBatchRules::EndStatusId(3, 3, {"b.mp3"}), IDS_AUDIO_INTERRUPTED);
        QVERIFY(CAudioBatchRules::FailureMessage({}).isEmpty());
        QVERIFY(CAudioBatchRules::FailureMessage({"/x/b.mp3"}).contains("/x/b.mp3"));
    }
};

QTEST_GUILESS_MAIN(CAudioBatchRulesTest)
#include "tst_audiobatchrules.moc"
