#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/messageevent.h"
#include "res/resourceids.h"
#include "speech/languagecatalogue.h"
#include "speech/splanguagetags.h"
#include "tests/support/windowtest.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{
QByteArray Utf16(const QString& str)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar ch : str)
    {
        out.append(char(ch.unicode() & 0xFF));
        out.append(char(ch.unicode() >> 8));
    }
    return out;
}

// Holds the voice's notices back from the window, as a busy event loop
// would.
class CHeldNotices : public QObject
{
public:
    int m_nHeld = 0;

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (CMessageEvent::MessageOf(pEvent) != WM_SPEECH_EVENT)
            return false;
        ++m_nHeld;
        return true;
    }
};

QStringList Items(const QListWidget* pList)
{
    QStringList items;
    for (int i = 0; i < pList->count(); ++i)
        items.append(pList->item(i)->text());
    return items;
}
} // namespace

// The catalogue, the voice list and the window's handling of the voice and
// its events.
using KbTest::Item;

class CSpeechEventsTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KbTest::CTestHome> m_pTest;

    void StartApp(const QString& strMisc = QString())
    {
        if (!strMisc.isEmpty())
        {
            const QString strIni =
                m_pTest->m_pHome->path() + QStringLiteral("/.config/Kestrivane/Kestrivane Basic/");
            QDir().mkpath(strIni);
            QFile file(strIni + QStringLiteral("Application.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Utf16(QStringLiteral("[Misc]\r\n") + strMisc));
        }
        m_pTest->m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pTest->m_pApp->InitSettings();
    }
    static void ChooseLanguage(CSpeechDlg& dlg, const QString& strDisplayName)
    {
        QComboBox* pCombo = Item<QComboBox>(dlg, IDC_COMBO_LANGUAGE);
        const int nIndex = pCombo->findText(strDisplayName);
        QVERIFY(nIndex >= 0);
        pCombo->setCurrentIndex(nIndex);
        Q_EMIT pCombo->activated(nIndex);
    }
    // Speaks the text as the reading would and handles its events until the
    // end of the stream.
    static void SpeakAndWait(CSpeechDlg& dlg, const QString& strText)
    {
        dlg.m_bStreamEnded = false;
        QVERIFY(dlg.m_pVoice->Speak(strText, SPF_ASYNC));
        QTRY_VERIFY_WITH_TIMEOUT(dlg.m_bStreamEnded, 20000);
    }

private Q_SLOTS:
    void init() { m_pTest = std::make_unique<KbTest::CTestHome>(); }
    void cleanup() { m_pTest.reset(); }

    void parseRows_data()
    {
        QTest::addColumn<QString>("strRow");
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strName");
        QTest::addColumn<QString>("strDisplay");
        QTest::newRow("plain") << "0409#English (US)#English (US)"
                               << "0409"
                               << "English (US)"
                               << "English (US)";
        QTest::newRow("translated") << "0c0a#Spanish (Spain)#Espa\u00f1ol (Espa\u00f1a)"
                                    << "0c0a"
                                    << "Spanish (Spain)"
                                    << "Espa\u00f1ol (Espa\u00f1a)";
        QTest::newRow("hash-in-name") << "0401#A#B#C"
                                      << "0401"
                                      << "A#B"
                                      << "C";
        QTest::newRow("cut-to-capacity") << "0409#" + QString(60, 'n') + "#" + QString(60, 'd')
                                         << "0409" << QString(49, 'n') << QString(49, 'd');
    }
    void parseRows()
    {
        QFETCH(QString, strRow);
        QFETCH(QString, strCode);
        QFETCH(QString, strName);
        QFETCH(QString, strDisplay);
        LanguageRecord record;
        QVERIFY(CLanguageCatalogue::ParseRow(strRow, record));
        QCOMPARE(record.szCode, strCode);
        QCOMPARE(record.szName, strName);
        QCOMPARE(record.szDisplayName, strDisplay);
    }

    void catalogueIsSortedAndComplete()
    {
        const std::vector<LanguageRecord> records = CLanguageCatalogue::Build();
        QCOMPARE(int(records.size()), 62);
        for (size_t i = 1; i < records.size(); ++i)
            QVERIFY2(CLanguageCatalogue::DisplayNameLess(records[i - 1].szDisplayName,
                                                         records[i].szDisplayName),
                     qPrintable(records[i].szDisplayName));
        QCOMPARE(records.front().szDisplayName, QStringLiteral("Albanian"));
        QCOMPARE(records.back().szDisplayName, QStringLiteral("Welsh"));
        // Code units decide after the letters: a space sorts before ")".
        QVERIFY(CLanguageCatalogue::DisplayNameLess("Spanish (Spain Traditional Sort)",
                                                    "Spanish (Spain)"));
        QVERIFY(CLanguageCatalogue::DisplayNameLess("abc", "ABD"));
        QVERIFY(!CLanguageCatalogue::DisplayNameLess("ABC", "abc"));
        QCOMPARE(CLanguageCatalogue::FindCode(records, "english (us)"), QStringLiteral("409"));
        QCOMPARE(CLanguageCatalogue::FindCode(records, "Spanish (Spain)"), QStringLiteral("c0a"));
        QCOMPARE(CLanguageCatalogue::FindCode(records, "Spanish (Argentina)"),
                 QStringLiteral("2c0a"));
        QCOMPARE(CLanguageCatalogue::FindCode(records, "Klingon"), QString());
    }

    void prefixSearch()
    {
        const QStringList items{"Albanian", "Spanish (Spain)", "Spanish (Spain Traditional Sort)",
                                "Welsh"};
        QCOMPARE(CLanguageCatalogue::FindStringPrefix(items, "Spanish (Spain)", 0), 1);
        QCOMPARE(CLanguageCatalogue::FindStringPrefix(items, "albanian", 0), 0);
        QCOMPARE(CLanguageCatalogue::FindStringPrefix(items, "Welsh", 0), 3);
        QCOMPARE(CLanguageCatalogue::FindStringPrefix(items, QString(), 0), -1);
        QCOMPARE(CLanguageCatalogue::FindStringPrefix(items, "Zulu", 0), -1);
    }

    void startUpLanguage_data()
    {
        QTest::addColumn<QString>("strMisc");
        QTest::addColumn<QString>("strCombo");
        QTest::addColumn<QString>("strLangCode");
        QTest::newRow("default") << ""
                                 << "English (US)"
                                 << "0409";
        QTest::newRow("spain-not-traditional") << "LangInitType=1\r\nLangInitCode=0c0a\r\n"
                                               << "Spanish (Spain)"
                                               << "0c0a";
        QTest::newRow("argentina") << "LangInitType=1\r\nLangInitCode=2c0a\r\n"
                                   << "Spanish (Argentina)"
                                   << "2c0a";
        QTest::newRow("system") << "LangInitType=0\r\n"
                                << ""
                                << QString::asprintf("%04x",
                                                     unsigned(CSpLanguageTags::SystemLanguageId()));
        QTest::newRow("other-type") << "LangInitType=2\r\n"
                                    << ""
                                    << "";
        QTest::newRow("first-four") << "LangInitType=1\r\nLangInitCode=0809xyz\r\n"
                                    << "English (UK)"
                                    << "0809";
    }
    void startUpLanguage()
    {
        QFETCH(QString, strMisc);
        QFETCH(QString, strCombo);
        QFETCH(QString, strLangCode);
        StartApp(strMisc);
        CSpeechDlg dlg;
        QCOMPARE(dlg.m_szLangCode, strLangCode);
        QCOMPARE(int(dlg.m_languages.size()), 62);
        QComboBox* pCombo = Item<QComboBox>(dlg, IDC_COMBO_LANGUAGE);
        QCOMPARE(pCombo->count(), 62);
        if (!strCombo.isEmpty())
            QCOMPARE(pCombo->currentText(), strCombo);
        const QListWidget* pVoices = Item<QListWidget>(dlg, IDC_LIST_VOICES);
        if (strLangCode.isEmpty())
        {
            QCOMPARE(pCombo->currentIndex(), -1);
            QCOMPARE(Items(pVoices), QStringList{"No Text-To-Speech(TTS) voice"});
            return;
        }
        QStringList expected;
        QVERIFY(CLanguageCatalogue::ListVoices(CSpLanguageTags::WithoutLeadingZero(strLangCode),
                                               0x0409, expected));
        QVERIFY(expected.size() >= 2);
        expected.sort(Qt::CaseInsensitive);
        QStringList items = Items(pVoices);
        QCOMPARE(items.size(), expected.size());
        items.sort(Qt::CaseInsensitive);
        QCOMPARE(Items(pVoices), items);
        QCOMPARE(pVoices->currentRow(), 0);
        QVERIFY(pVoices->item(0)->isSelected());
    }

    // Choosing a language lists its voices and keeps the four-digit code.
    void languageChangeRefillsVoices()
    {
        StartApp();
        CSpeechDlg dlg;
        const QListWidget* pVoices = Item<QListWidget>(dlg, IDC_LIST_VOICES);
        ChooseLanguage(dlg, "Spanish (Mexico)");
        QCOMPARE(dlg.m_szLangCode, QStringLiteral("080a"));
        QVERIFY(pVoices->count() >= 2);
        for (const QString& strVoice : Items(pVoices))
            QVERIFY2(strVoice.contains("Spanish"), qPrintable(strVoice));
        ChooseLanguage(dlg, "Russian");
        QCOMPARE(dlg.m_szLangCode, QStringLiteral("0419"));
        for (const QString& strVoice : Items(pVoices))
            QVERIFY2(strVoice.contains("Russian"), qPrintable(strVoice));
        ChooseLanguage(dlg, "Faeroese");
        QCOMPARE(Items(pVoices), QStringList{"No Text-To-Speech(TTS) voice"});
        QVERIFY(pVoices->selectedItems().isEmpty());
        QVERIFY(!dlg.ApplySelectedVoice());
        QCOMPARE(m_pTest->m_messages,
                 QStringList{"No voice for the selected language installed on the computer."});
        ChooseLanguage(dlg, "English (US)");
        QCOMPARE(dlg.m_szLangCode, QStringLiteral("0409"));
    }

    // The voice chosen in the list becomes the voice's, and the output goes
    // back to the audio device after a file output.
    void applySelectedVoice()
    {
        StartApp();
        CSpeechDlg dlg;
        QListWidget* pVoices = Item<QListWidget>(dlg, IDC_LIST_VOICES);
        QVERIFY(pVoices->count() >= 2);
        pVoices->setCurrentRow(1);
        const QString strChosen = pVoices->item(1)->text();
        QTemporaryDir dir;
        WAVEFORMATEX format;
        dlg.m_pVoice->GetFormat(&format);
        auto pStream = std::make_shared<CSpStream>();
        QVERIFY(pStream->BindToFile(dir.filePath("a.wav"), format));
        QVERIFY(dlg.m_pVoice->SetOutput(pStream, true));
        QVERIFY(dlg.ApplySelectedVoice());
        QVERIFY(dlg.m_pVoiceToken);
        QCOMPARE(dlg.m_pVoiceToken->GetDescription(0x0409), strChosen);
        CSpObjectTokenPtr pVoiceToken;
        QVERIFY(dlg.m_pVoice->GetVoice(&pVoiceToken));
        QCOMPARE(pVoiceToken, dlg.m_pVoiceToken);
        QVERIFY(!dlg.m_pVoice->GetOutputStream());
        QVERIFY(m_pTest->m_messages.isEmpty());

        // A list text no voice has keeps the voice as it was.
        pVoices->addItem("Nobody");
        pVoices->setCurrentItem(pVoices->findItems("Nobody", Qt::MatchExactly).value(0));
        QCOMPARE(pVoices->selectedItems().value(0)->text(), QStringLiteral("Nobody"));
        QVERIFY(dlg.ApplySelectedVoice());
        QCOMPARE(dlg.m_pVoiceToken->GetDescription(0x0409), strChosen);
    }

    void slidersDriveTheVoice()
    {
        StartApp();
        CSpeechDlg dlg;
        quint16 nVolume = 0;
        long nRate = 5;
        QVERIFY(dlg.m_pVoice->GetVolume(&nVolume));
        QVERIFY(dlg.m_pVoice->GetRate(&nRate));
        QCOMPARE(nVolume, quint16(100));
        QCOMPARE(nRate, 0L);
        Item<QSlider>(dlg, IDC_SLIDER_VOLUME)->setValue(100);
        Item<QSlider>(dlg, IDC_SLIDER_RATE)->setValue(-10);
        dlg.m_pVoice->GetVolume(&nVolume);
        dlg.m_pVoice->GetRate(&nRate);
        QCOMPARE(nVolume, quint16(0));
        QCOMPARE(nRate, 10L);
        QCOMPARE(Item<QLabel>(dlg, IDC_STATIC_VOLUME)->text(), QStringLiteral("Volume: 0"));
        QCOMPARE(Item<QLabel>(dlg, IDC_STATIC_RATE)->text(), QStringLiteral("Speed: 10"));
        Item<QSlider>(dlg, IDC_SLIDER_RATE)->setValue(7);
        dlg.m_pVoice->GetRate(&nRate);
        QCOMPARE(nRate, -7L);
        QCOMPARE(Item<QLabel>(dlg, IDC_STATIC_RATE)->text(), QStringLiteral("Speed: -7"));
    }

    // Instant mode: each word is selected as it is heard and the last word,
    // ending at the last character, brings the progress to 100.
    void wordsMoveSelectionAndProgress()
    {
        StartApp();
        CSpeechDlg dlg;
        QPlainTextEdit* pEdit = Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT);
        const QString strText = QStringLiteral("Caf\u00e9 \U0001F600 one\ntwo three");
        pEdit->setPlainText(strText);
        dlg.m_nSpeakMode = 0;
        dlg.m_nTextLength = quint32(strText.size());
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->setChecked(true);
        QVERIFY(dlg.ApplySelectedVoice());
        dlg.m_pVoice->SetRate(10);
        QStringList selections;
        QObject::connect(pEdit, &QPlainTextEdit::selectionChanged, pEdit,
                         [&]() { selections.append(pEdit->textCursor().selectedText()); });
        // Stop is enabled while speaking: the end keeps the last word selected.
        Item<QWidget>(dlg, IDC_BTN_STOP)->setEnabled(true);
        SpeakAndWait(dlg, strText);
        QVERIFY(!dlg.m_bStreamStarted);
        QVERIFY(selections.contains(QStringLiteral("Caf\u00e9")));
        QVERIFY(selections.contains(QStringLiteral("one")));
        QCOMPARE(pEdit->textCursor().selectedText(), QStringLiteral("three"));
        QCOMPARE(Item<CTextProgressCtrl>(dlg, IDC_PROGRESS)->GetPos(), 100);

        // With Stop disabled (the reading was stopped), the end selects all.
        Item<QWidget>(dlg, IDC_BTN_STOP)->setEnabled(false);
        SpeakAndWait(dlg, QStringLiteral("one"));
        QCOMPARE(pEdit->textCursor().selectionStart(), 0);
        QCOMPARE(pEdit->textCursor().selectionEnd(), int(strText.size()));
    }

    // File mode: the spoken file name moves nothing; the start of a stream
    // during a reading disables Speak and enables Stop.
    void fileNameWordsMoveNothing()
    {
        StartApp();
        CSpeechDlg dlg;
        QPlainTextEdit* pEdit = Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT);
        pEdit->setPlainText(QStringLiteral("alpha beta"));
        dlg.m_bBusy = true;
        dlg.m_nSpeakMode = 1;
        dlg.m_bSpeakingText = 0;
        dlg.m_nTextLength = 10;
        Item<QWidget>(dlg, IDC_BTN_SPEAK)->setEnabled(true);
        Item<CTextProgressCtrl>(dlg, IDC_PROGRESS)->SetPos(7);
        dlg.m_pVoice->SetRate(10);
        QVERIFY(dlg.m_pVoice->Speak(QStringLiteral("report"), SPF_ASYNC));
        QTRY_VERIFY_WITH_TIMEOUT(dlg.m_bStreamStarted, 10000);
        QVERIFY(dlg.m_pVoice->WaitUntilDone(10000));
        QTest::qWait(100);
        QVERIFY(!Item<QWidget>(dlg, IDC_BTN_SPEAK)->isEnabled());
        QVERIFY(Item<QWidget>(dlg, IDC_BTN_STOP)->isEnabled());
        QVERIFY(!pEdit->textCursor().hasSelection());
        QCOMPARE(Item<CTextProgressCtrl>(dlg, IDC_PROGRESS)->GetPos(), 7);

        // Once the text is spoken, the next notice takes the rest.
        dlg.m_bSpeakingText = 1;
        SpeakAndWait(dlg, QStringLiteral("alpha beta"));
        QCOMPARE(pEdit->textCursor().selectedText(), QStringLiteral("beta"));
        QCOMPARE(Item<CTextProgressCtrl>(dlg, IDC_PROGRESS)->GetPos(), 100);
        dlg.m_bBusy = false;
    }

    // Closing the window in the middle of a reading silences and releases
    // the voice at once.
    void destroyWhileSpeaking()
    {
        StartApp();
        QElapsedTimer timer;
        {
            CSpeechDlg dlg;
            QVERIFY(dlg.m_pVoice->Speak(QStringLiteral("A long reading goes on. ").repeated(200),
                                        SPF_ASYNC));
            QTRY_VERIFY_WITH_TIMEOUT(dlg.m_bStreamStarted, 10000);
            timer.start();
        }
        QVERIFY(timer.elapsed() < 1000);
    }

    // The events of a reading that reach the window only after it has ended
    // leave the buttons as the end of the reading set them.
    void eventsAfterTheReading()
    {
        StartApp();
        CSpeechDlg dlg;
        const QString strPath = m_pTest->m_pHome->filePath(QStringLiteral("late.txt"));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Events come late.");
        file.close();
        dlg.AddSourceFiles({strPath});
        CHeldNotices held;
        dlg.installEventFilter(&held);
        Item<QAbstractButton>(dlg, IDC_BTN_SPEAK)->click();
        dlg.removeEventFilter(&held);
        QVERIFY(held.m_nHeld > 0);
        CMessageEvent late(WM_SPEECH_EVENT);
        QCoreApplication::sendEvent(&dlg, &late);
        QVERIFY(dlg.m_bStreamEnded);
        QVERIFY(Item<QAbstractButton>(dlg, IDC_BTN_SPEAK)->isEnabled());
        QVERIFY(!Item<QAbstractButton>(dlg, IDC_BTN_STOP)->isEnabled());
    }

    void emptyTextNeverDividesByZero()
    {
        StartApp();
        CSpeechDlg dlg;
        dlg.m_nSpeakMode = 0;
        dlg.m_nTextLength = 0;
        SpeakAndWait(dlg, QString());
        QCOMPARE(CSpeechDlg::ProgressPercent(5, 3, 0), 0);
    }

    // The progress of (pos + len) x 100 / length, past the 32-bit range.
    void progressPercent_data()
    {
        QTest::addColumn<quint32>("nPos");
        QTest::addColumn<quint32>("nLen");
        QTest::addColumn<quint32>("nLength");
        QTest::addColumn<int>("nPercent");
        QTest::newRow("start") << 0u << 3u << 100u << 3;
        QTest::newRow("truncated") << 10u << 9u << 40u << 47;
        QTest::newRow("end") << 95u << 5u << 100u << 100;
        QTest::newRow("past-42-million") << 50000000u << 5u << 100000000u << 50;
        QTest::newRow("near-4-billion") << 4000000000u << 10u << 4000000010u << 100;
    }
    void progressPercent()
    {
        QFETCH(quint32, nPos);
        QFETCH(quint32, nLen);
        QFETCH(quint32, nLength);
        QFETCH(int, nPercent);
        QCOMPARE(CSpeechDlg::ProgressPercent(nPos, nLen, nLength), nPercent);
    }

    void privateMessages()
    {
        StartApp();
        CSpeechDlg dlg;
        CMessageEvent error(WM_WORKER_ERROR, 0, QStringLiteral("Word failed"));
        QCoreApplication::sendEvent(&dlg, &error);
        CMessageEvent progress(WM_MP3_PROGRESS, 0, 42.5f);
        QCoreApplication::sendEvent(&dlg, &progress);
        QCOMPARE(Item<CPPHtmlStatic>(dlg, IDC_STATIC_STATUS)->GetWindowText(),
                 QStringLiteral("<font color=green size=14>MP3 generated: 42.5%</font>"));
        g_bConversionDone = false;
        CMessageEvent done(WM_MP3_DONE, 0, QStringLiteral("x"));
        QCoreApplication::sendEvent(&dlg, &done);
        QVERIFY(g_bConversionDone);

        dlg.m_pVoice.reset();
        CMessageEvent speech(WM_SPEECH_EVENT);
        QCoreApplication::sendEvent(&dlg, &speech);
        QCOMPARE(m_pTest->m_messages, (QStringList{"Word failed", "voice is null!"}));
    }
};

QTEST_MAIN(CSpeechEventsTest)
#include "tst_speechevents.moc"
