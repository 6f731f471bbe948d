#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/diskfault.h"
#include "tests/support/mediaprobe.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/pphtmlstatic.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using KbTest::Item;

namespace
{
// Clicks Save as Audio and calls the observer every few milliseconds while
// the batch runs its own loop.
void SaveWhile(CSpeechDlg& dlg, const std::function<void()>& fnObserve)
{
    QTimer observer;
    observer.setInterval(5);
    QObject::connect(&observer, &QTimer::timeout, fnObserve);
    observer.start();
    Item<CButtonST>(dlg, IDC_BTN_SAVEAUDIO)->click();
    observer.stop();
}

QString Status(const CSpeechDlg& dlg)
{
    return Item<CPPHtmlStatic>(dlg, IDC_STATIC_STATUS)->GetWindowText();
}
} // namespace

// Save as Audio through the window: real speech into WAV files, converted by
// the real encoder, read back by ffprobe and mpg123.
class CSaveAudioTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<QTemporaryDir> m_pDocs;
    std::unique_ptr<CSpeechApp> m_pApp;
    KbTest::CDialogHooks m_hooks;

    QString Out() const { return m_pDocs->path() + QStringLiteral("/out/"); }
    QString Doc(const QString& strName, const QString& strText)
    {
        return KbTest::WriteFileIn(*m_pDocs, strName, strText.toUtf8());
    }
    void StartApp(const QString& strAudio)
    {
        KbTest::WriteFile(
            m_pHome->path() +
                QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini"),
            KbTest::Utf16(QStringLiteral("[Audio]\r\n") + strAudio));
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
    }
    QString Finished() const { return CStringTable::Get(IDS_AUDIO_FINISHED); }
    QString Interrupted() const { return CStringTable::Get(IDS_AUDIO_INTERRUPTED); }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        m_pDocs = std::make_unique<QTemporaryDir>();
        m_hooks.Install();
        g_bFirstAudioSaveDialog = true;
    }
    void cleanup()
    {
        KbTest::EndApp(m_pApp);
        m_hooks.Remove();
        m_pDocs.reset();
        m_pHome.reset();
    }

    // Three documents under the folder rule: a WAV and an MP3 each, named
    // by the base name, mono 64 kbit/s with the comment, genre and year.
    void folderRule()
    {
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\nWordTiming=1\r\n").arg(Out()));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("report.final.txt", "The first report."),
                            Doc("Tom & Jerry.txt", "A cat and a mouse."),
                            Doc("c.txt", "Third one.")});
        // An older file of the same name is replaced without a question.
        QVERIFY(KbTest::WriteFile(Out() + "report.wav", "old"));
        SaveWhile(dlg, []() {});
        QCOMPARE(Status(dlg), Finished());
        QVERIFY(m_hooks.m_messages.empty());
        for (const QString strBase : {"report", "Tom & Jerry", "c"})
        {
            const QString strMp3 = Out() + strBase + ".mp3";
            QVERIFY2(QFileInfo(Out() + strBase + ".wav").size() > 10000, qPrintable(strBase));
            const QJsonObject probe = KbTest::Ffprobe(strMp3);
            const QJsonObject stream = KbTest::FirstStream(probe);
            QCOMPARE(stream.value("codec_name").toString(), QStringLiteral("mp3"));
            QCOMPARE(stream.value("channels").toInt(), 1);
            QCOMPARE(stream.value("bit_rate").toString(), QStringLiteral("64000"));
            const QJsonObject tags = probe.value("format").toObject().value("tags").toObject();
            QCOMPARE(tags.value("genre").toString(), QStringLiteral("Speech"));
            QCOMPARE(tags.value("comment").toString(), QStringLiteral("kestrivane.example/basic/"));
            QCOMPARE(tags.value("date").toString(), QString::number(QDate::currentDate().year()));
            QVERIFY(KbTest::DecodesCleanly(strMp3));
            // The timings begin with the heading, the document's name spoken.
            const QString strSrt = QString::fromUtf8(KbTest::ReadFile(Out() + strBase + ".srt"));
            QVERIFY2(strSrt.contains(QStringLiteral("Document ") + strBase), qPrintable(strSrt));
        }
        QVERIFY(Item<CButtonST>(dlg, IDC_BTN_SPEAK)->isEnabled());
        QVERIFY(Item<CButtonST>(dlg, IDC_BTN_SAVEAUDIO)->isEnabled());
        QVERIFY(!Item<CButtonST>(dlg, IDC_BTN_STOP)->isEnabled());
        QVERIFY(!dlg.m_pVoice->GetOutputStream());
        QVERIFY(!dlg.m_bBusy && !dlg.m_bAudioBatch);
    }

    // Instant mode cannot be chosen during a batch: the radios go on
    // showing the file mode, and the list stays.
    void modeKeptDuringBatch()
    {
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\n").arg(Out()));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("a.txt", "Short.")});
        bool bClicked = false;
        SaveWhile(dlg,
                  [&]()
                  {
                      if (bClicked || !dlg.m_bAudioBatch)
                          return;
                      bClicked = true;
                      Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
                  });
        QVERIFY(bClicked);
        QVERIFY(Item<QRadioButton>(dlg, IDC_RADIO_FILE)->isChecked());
        QVERIFY(!Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->isChecked());
        QCOMPARE(dlg.m_nSpeakMode, 1);
        QCOMPARE(dlg.GetSourceFiles().size(), 1);
    }

    // A Stop ends the batch while it still unwinds, and the user empties the
    // list or leaves the file mode meanwhile: Speak and Save as Audio have
    // nothing left to work on afterwards.
    void listGoneAfterStop_data()
    {
        QTest::addColumn<int>("nControl");
        QTest::newRow("reset") << int(IDC_BTN_RESET);
        QTest::newRow("instant-mode") << int(IDC_RADIO_INSTANT);
    }
    void listGoneAfterStop()
    {
        QFETCH(int, nControl);
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\n").arg(Out()));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("a.txt", QStringLiteral("Words to render. ").repeated(20))});
        bool bChanged = false;
        SaveWhile(dlg,
                  [&]()
                  {
                      if (bChanged || !dlg.m_bAudioBatch || dlg.m_bWorking)
                          return;
                      bChanged = true;
                      Item<QAbstractButton>(dlg, IDC_BTN_STOP)->click();
                      Item<QAbstractButton>(dlg, nControl)->click();
                  });
        QVERIFY(bChanged);
        QVERIFY(dlg.GetSourceFiles().isEmpty());
        QVERIFY(!Item<CButtonST>(dlg, IDC_BTN_SPEAK)->isEnabled());
        QVERIFY(!Item<CButtonST>(dlg, IDC_BTN_SAVEAUDIO)->isEnabled());
    }

    // The configured folder is repaired and stored; the user's own missing
    // folder is never made.
    void savePathRepairs_data()
    {
        QTest::addColumn<QString>("strSavePath");
        QTest::addColumn<bool>("bDefault");
        QTest::newRow("without-final-slash") << "out" << false;
        QTest::newRow("missing-folder") << "gone/" << true;
        QTest::newRow("empty") << "" << true;
    }
    void savePathRepairs()
    {
        QFETCH(QString, strSavePath);
        QFETCH(bool, bDefault);
        QVERIFY(QDir().mkpath(Out()));
        const QString strValue =
            strSavePath.isEmpty() ? QString() : m_pDocs->path() + "/" + strSavePath;
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\n").arg(strValue));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("a.txt", "Short.")});
        SaveWhile(dlg, []() {});
        const QString strFolder = bDefault ? m_pApp->GetDefaultSaveFolder() : Out();
        QVERIFY(QFileInfo::exists(strFolder + "a.mp3"));
        QCOMPARE(m_pApp->GetSetting("Audio", "SavePath", QString()), strFolder);
        QVERIFY(!QFileInfo::exists(m_pDocs->path() + "/gone"));
        // What the window stored is what the settings file holds.
        CSpeechApp reread(QStringLiteral(KB_BIN_DIR));
        QVERIFY(reread.InitSettings());
        QCOMPARE(reread.GetSetting("Audio", "SavePath", QString()), strFolder);
    }

    // One dialog a document, proposing its base name; only the first starts
    // in the default folder. Cancelled documents count as done.
    void dialogs()
    {
        StartApp(QStringLiteral("SaveType=0\r\n"));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("a.txt", "One."), Doc("b.txt", "Two."), Doc("c.txt", "Three.")});
        m_hooks.m_answers = {QString(), m_pDocs->filePath("chosen.wav"), QString()};
        SaveWhile(dlg, []() {});
        QCOMPARE(int(m_hooks.m_requests.size()), 3);
        const QStringList names = {"a", "b", "c"};
        for (int i = 0; i < 3; ++i)
        {
            QVERIFY(m_hooks.m_requests[i].bSave);
            QCOMPARE(m_hooks.m_requests[i].strInitialName, names[i]);
            QCOMPARE(m_hooks.m_requests[i].strDefaultSuffix, QStringLiteral("wav"));
        }
        QCOMPARE(m_hooks.m_requests[0].strDirectory, m_pApp->GetDefaultSaveFolder());
        QCOMPARE(m_hooks.m_requests[1].strDirectory, m_pApp->GetDefaultSaveFolder());
        QCOMPARE(m_hooks.m_requests[2].strDirectory, QString());
        QVERIFY(QFileInfo::exists(m_pDocs->filePath("chosen.mp3")));
        QCOMPARE(Status(dlg), Finished());

        m_hooks.m_requests.clear();
        m_hooks.m_answers.clear();
        SaveWhile(dlg, []() {});
        QCOMPARE(int(m_hooks.m_requests.size()), 3);
        QCOMPARE(Status(dlg), Finished());
    }

    // Stop while the text is rendered leaves the WAV cut and no MP3; Stop
    // while encoding leaves a shorter MP3 that plays. Either ends the batch.
    void stopAtStage_data()
    {
        QTest::addColumn<bool>("bEncoding");
        QTest::newRow("speaking-text") << false;
        QTest::newRow("encoding") << true;
    }
    void stopAtStage()
    {
        QFETCH(bool, bEncoding);
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\n").arg(Out()));
        CSpeechDlg dlg;
        const QString strLong = QString("A long document is rendered here, sentence by sentence. ")
                                    .repeated(bEncoding ? 250 : 1500);
        dlg.AddSourceFiles({Doc("long.txt", strLong), Doc("next.txt", "Never made.")});
        const QString strWave = CStringTable::Get(IDS_CREATING_WAVE);
        const QString strMp3Prefix = QStringLiteral("<font color=green size=14>MP3 generated");
        bool bStopped = false;
        SaveWhile(dlg,
                  [&]()
                  {
                      const bool bNow =
                          bEncoding ? Status(dlg).startsWith(strMp3Prefix)
                                    : Status(dlg) == strWave &&
                                          QFileInfo(Out() + ".long.wav.part").size() > 1000000;
                      if (!bStopped && bNow)
                      {
                          bStopped = true;
                          Item<CButtonST>(dlg, IDC_BTN_STOP)->click();
                      }
                  });
        QVERIFY(bStopped);
        QCOMPARE(Status(dlg), Interrupted());
        QVERIFY(!QFileInfo::exists(Out() + "next.wav"));
        QVERIFY(QFileInfo::exists(Out() + "long.wav"));
        if (!bEncoding)
        {
            QVERIFY(!QFileInfo::exists(Out() + "long.mp3"));
            return;
        }
        QTRY_VERIFY(QFileInfo::exists(Out() + "long.mp3"));
        QVERIFY(KbTest::DecodesCleanly(Out() + "long.mp3"));
        const double dMp3 = KbTest::Ffprobe(Out() + "long.mp3")
                                .value("format")
                                .toObject()
                                .value("duration")
                                .toString()
                                .toDouble();
        const double dWav = KbTest::Ffprobe(Out() + "long.wav")
                                .value("format")
                                .toObject()
                                .value("duration")
                                .toString()
                                .toDouble();
        QVERIFY2(dMp3 > 0 && dMp3 < dWav, qPrintable(QString("%1 %2").arg(dMp3).arg(dWav)));
    }

    // Stop in the pause after a document ends the batch there.
    void stopBetweenDocuments()
    {
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\n").arg(Out()));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("a.txt", "First."), Doc("b.txt", "Second.")});
        bool bStopped = false;
        QElapsedTimer done;
        SaveWhile(dlg,
                  [&]()
                  {
                      if (!done.isValid() && g_bConversionDone && g_nCurrentFileIndex == 0)
                          done.start();
                      // The wait for the conversion ends within a few ms of
                      // its completion; the pause after it lasts 500.
                      if (!bStopped && done.isValid() && done.elapsed() > 150 &&
                          g_nCurrentFileIndex == 0)
                      {
                          bStopped = true;
                          Item<CButtonST>(dlg, IDC_BTN_STOP)->click();
                      }
                  });
        QVERIFY(bStopped);
        QCOMPARE(Status(dlg), Interrupted());
        QVERIFY(!QFileInfo::exists(Out() + "b.wav"));
    }

    // A WAV that cannot be made is named when the batch ends, which then
    // does not call itself finished; no MP3 is made of it.
    void failureIsNamed()
    {
        StartApp(QStringLiteral("SaveType=0\r\n"));
        CSpeechDlg dlg;
        dlg.AddSourceFiles({Doc("a.txt", "One.")});
        // A folder that does not exist: the WAV cannot be made.
        m_hooks.m_answers = {m_pDocs->filePath("missing/a.wav")};
        SaveWhile(dlg, []() {});
        QCOMPARE(Status(dlg), Interrupted());
        QCOMPARE(int(m_hooks.m_messages.size()), 2);
        QCOMPARE(m_hooks.m_messages[0].strText, CStringTable::Get(IDS_CLOSE_PLAYER));
        QCOMPARE(m_hooks.m_messages[1].strText,
                 QStringLiteral("These audio files could not be made:\n") +
                     m_pDocs->filePath("missing/a.wav"));
    }

    // A file of the batch that the disk refuses, part-way or when synced,
    // or a read-only folder: the file is named at the end, the batch is not
    // called finished, the earlier file of that name stays as it was, the
    // files made before it are whole, and nothing half-made is left, not
    // even under a hidden name.
    void faultsAreNamed_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<QString>("strFailed");
        QTest::addColumn<QStringList>("kept");
        const QStringList all{"wav", "mp3", "srt", "lrc"};
        for (const char* pszMode : {"cut", "sync"})
        {
            QTest::addRow("wav %s", pszMode) << pszMode << "wav" << all;
            QTest::addRow("mp3 %s", pszMode)
                << pszMode << "mp3" << QStringList{"mp3", "srt", "lrc"};
            QTest::addRow("srt %s", pszMode) << pszMode << "srt" << QStringList{"srt"};
            QTest::addRow("lrc %s", pszMode) << pszMode << "lrc" << QStringList{"lrc"};
        }
        QTest::newRow("read-only folder") << "read-only"
                                          << "wav" << all;
    }
    void faultsAreNamed()
    {
        QFETCH(QString, strFault);
        QFETCH(QString, strFailed);
        QFETCH(QStringList, kept);
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\nWordTiming=1\r\n").arg(Out()));
        const QStringList suffixes{"wav", "mp3", "srt", "lrc"};
        for (const QString& strSuffix : suffixes)
            QVERIFY(KbTest::WriteFile(Out() + "a." + strSuffix, "old " + strSuffix.toLatin1()));
        std::unique_ptr<KbTest::CReadOnlyFolder> pReadOnly;
        std::unique_ptr<KbTest::CFullDisk> pFull;
        if (strFault == QLatin1String("read-only"))
        {
            // Before the window, whose speech thread then inherits it.
            pReadOnly = std::make_unique<KbTest::CReadOnlyFolder>(Out());
            QVERIFY(pReadOnly->IsActive());
        }
        else
        {
            QVERIFY2(KbTest::CFullDisk::IsLoaded(), "run by ctest, with the fault shim");
            const bool bSync = strFault == QLatin1String("sync");
            pFull =
                std::make_unique<KbTest::CFullDisk>(Out(), bSync ? 0 : 100, bSync, "." + strFailed);
        }
        {
            CSpeechDlg dlg;
            dlg.AddSourceFiles({Doc("a.txt", "The only document of the batch.")});
            SaveWhile(dlg, []() {});
            pFull.reset();
            pReadOnly.reset();
            QCOMPARE(Status(dlg), Interrupted());
        }
        QVERIFY(!m_hooks.m_messages.empty());
        const QString strLast = m_hooks.m_messages.back().strText;
        QVERIFY2(
            strLast.startsWith("These audio files could not be made:\n" + Out() + "a." + strFailed),
            qPrintable(strLast));
        QCOMPARE(QDir(Out()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({"a.lrc", "a.mp3", "a.srt", "a.wav"}));
        for (const QString& strSuffix : suffixes)
        {
            const QByteArray bytes = KbTest::ReadFile(Out() + "a." + strSuffix);
            QVERIFY2((bytes == "old " + strSuffix.toLatin1()) == kept.contains(strSuffix),
                     qPrintable(strSuffix));
        }
        if (!kept.contains("wav"))
            QVERIFY(KbTest::DecodesCleanly(Out() + "a.wav"));
        if (!kept.contains("mp3"))
            QVERIFY(KbTest::DecodesCleanly(Out() + "a.mp3"));
    }

    // The folder taken away while a document is being made: that document
    // is named and the batch is not called finished; the next one goes to
    // the default folder, as for any configured folder that is not there.
    void folderRemovedMidBatch()
    {
        QVERIFY(QDir().mkpath(Out()));
        StartApp(QStringLiteral("SaveType=1\r\nSavePath=%1\r\n").arg(Out()));
        CSpeechDlg dlg;
        dlg.AddSourceFiles(
            {Doc("a.txt", "First."), Doc("b.txt", "Second."), Doc("c.txt", "Third.")});
        bool bRemoved = false;
        SaveWhile(dlg,
                  [&]()
                  {
                      if (!bRemoved && QFileInfo::exists(Out() + ".b.wav.part"))
                          bRemoved = QDir(Out()).removeRecursively();
                  });
        QVERIFY(bRemoved);
        QCOMPARE(Status(dlg), Interrupted());
        QCOMPARE(m_hooks.m_messages.back().strText,
                 QStringLiteral("These audio files could not be made:\n") + Out() + "b.wav");
        QVERIFY(!QFileInfo::exists(Out()));
        QVERIFY(QFileInfo::exists(m_pApp->GetDefaultSaveFolder() + "c.mp3"));
    }
};

QTEST_MAIN(CSaveAudioTest)
#include "tst_saveaudio.moc"
