#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/readingrules.h"
#include "speech/spsilentaudiosink.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/buttonst.h"
#include "widgets/digistatic.h"
#include "widgets/exlistbox.h"
#include "widgets/messagebox.h"
#include "widgets/textprogressctrl.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QMutex>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{
// One utterance as the listener got it: when its audio began and ended on
// the test's clock, how many samples were played and how loud the loudest
// was.
struct SHeard
{
    qint64 nStartMs = 0;
    qint64 nEndMs = -1;
    qint64 nSamples = 0;
    int nPeak = 0;
};

QMutex g_heardMutex;
std::vector<SHeard> g_heard;
QElapsedTimer g_clock;

// The real silent sink, with an ear on what passes through it.
class CListeningSink : public CSpSilentAudioSink
{
public:
    bool Start(const WAVEFORMATEX& format) override
    {
        QMutexLocker lock(&g_heardMutex);
        m_nIndex = g_heard.size();
        g_heard.push_back({g_clock.elapsed()});
        return CSpSilentAudioSink::Start(format);
    }
    qint64 Write(const char* pData, qint64 nBytes) override
    {
        const qint64 nWritten = CSpSilentAudioSink::Write(pData, nBytes);
        QMutexLocker lock(&g_heardMutex);
        SHeard& heard = g_heard[m_nIndex];
        const auto* pSamples = reinterpret_cast<const qint16*>(pData);
        for (qint64 i = 0; i < nWritten / 2; ++i)
            heard.nPeak = qMax(heard.nPeak, qAbs(int(pSamples[i])));
        heard.nSamples += nWritten / 2;
        return nWritten;
    }
    void Stop() override
    {
        CSpSilentAudioSink::Stop();
        QMutexLocker lock(&g_heardMutex);
        g_heard[m_nIndex].nEndMs = g_clock.elapsed();
    }

private:
    size_t m_nIndex = 0;
};

std::vector<SHeard> Heard()
{
    QMutexLocker lock(&g_heardMutex);
    return g_heard;
}
} // namespace

using KbTest::Item;
using KbTest::ReadWhile;

// Readings of the window driven through its buttons, with the real engine
// heard through the silent sink and a clock of 100 ms ticks.
class CReadingTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<QTemporaryDir> m_pDocs;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<CSpeechDlg> m_pDlg;
    QStringList m_messages;

    CSpeechDlg& Dlg() { return *m_pDlg; }
    QString Doc(const QString& strName, const QString& strText)
    {
        const QString strPath = m_pDocs->filePath(strName);
        KbTest::WriteFile(strPath, strText.toUtf8());
        return strPath;
    }
    QString Selected()
    {
        return Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT)->textCursor().selectedText();
    }
    bool Enabled(int nId) { return Dlg().GetDlgItem(nId)->isEnabled(); }

    // The buttons show what the reading's flags say.
    bool ButtonsMatchState(bool bCanSpeakWhenIdle)
    {
        CSpeechDlg& dlg = Dlg();
        const CReadingRules::SButtons want = CReadingRules::ButtonsFor(
            CReadingRules::StateOf(dlg.m_bBusy, dlg.m_bWorking, dlg.m_bPaused, dlg.m_bItemFinished),
            bCanSpeakWhenIdle);
        const QString strSpeak = Item<CButtonST>(dlg, IDC_BTN_SPEAK)->text();
        return Enabled(IDC_BTN_SPEAK) == want.bSpeak && Enabled(IDC_BTN_PAUSE) == want.bPause &&
               Enabled(IDC_BTN_STOP) == want.bStop &&
               (strSpeak == QStringLiteral("Resume")) == want.bResumeText;
    }
    void ChooseInstant(const QString& strText)
    {
        Item<QRadioButton>(Dlg(), IDC_RADIO_INSTANT)->click();
        Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT)->setPlainText(strText);
    }

private Q_SLOTS:
    void init()
    {
        qputenv("KB_CLOCK_MS", "100");
        m_pHome = KbTest::UseFreshHome();
        m_pDocs = std::make_unique<QTemporaryDir>();
        m_messages.clear();
        CMessageBox::SetHook([this](const QString& strText, const QString&, unsigned)
                             { m_messages.append(strText); });
        {
            QMutexLocker lock(&g_heardMutex);
            g_heard.clear();
        }
        g_clock.start();
        CSpAudioSink::SetFactory([]() { return std::make_unique<CListeningSink>(); });
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
        m_pDlg = std::make_unique<CSpeechDlg>();
    }
    void cleanup()
    {
        m_pDlg.reset();
        KbTest::EndApp(m_pApp);
        CSpAudioSink::SetFactory(nullptr);
        CMessageBox::SetHook(nullptr);
        m_pDocs.reset();
        m_pHome.reset();
        qunsetenv("KB_CLOCK_MS");
    }

    // One file: its name, then its text, no pause before it; the selection
    // follows the text only, and the buttons follow the state table.
    void oneFile()
    {
        Dlg().AddSourceFiles({Doc("report.final.txt", "One two three.")});
        QStringList selections;
        bool bButtonsRight = true;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              bButtonsRight = bButtonsRight && ButtonsMatchState(true);
                              const QString strSel = Selected();
                              if (!strSel.isEmpty() &&
                                  (selections.isEmpty() || selections.last() != strSel))
                                  selections.append(strSel);
                          }));
        QVERIFY(bButtonsRight);
        QCOMPARE(selections, (QStringList{"One", "two", "three"}));
        const std::vector<SHeard> heard = Heard();
        QCOMPARE(int(heard.size()), 2);
        QVERIFY(heard[0].nPeak > 1000); // "report" is heard
        QVERIFY(heard[1].nSamples > heard[0].nSamples);
        QCOMPARE(Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos(), 100);
        QVERIFY(!Dlg().m_bBusy);
        QVERIFY(!Dlg().m_pVoiceToken);
        for (int nId : {IDC_BTN_OPEN, IDC_BTN_DELETE, IDC_BTN_RESET, IDC_BTN_SPEAK,
                        IDC_RADIO_INSTANT, IDC_BTN_SAVEAUDIO})
            QVERIFY2(Enabled(nId), qPrintable(QString::number(nId)));
        QVERIFY(!Enabled(IDC_BTN_PAUSE));
        QVERIFY(!Enabled(IDC_BTN_STOP));
        QVERIFY(m_messages.isEmpty());
    }

    // Three files: silence of four ticks before the second and the third;
    // the list, the pane and the clock follow each file.
    void threeFiles()
    {
        const QStringList texts = {"Alpha one.", "Beta two.", "Gamma three."};
        Dlg().AddSourceFiles(
            {Doc("a.txt", texts[0]), Doc("b.txt", texts[1]), Doc("c.txt", texts[2])});
        CExListBox* pList = Item<CExListBox>(Dlg(), IDC_LIST_FILES);
        QPlainTextEdit* pPane = Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT);
        bool bInStep = true;
        bool bButtonsRight = true;
        QStringList clockAtStart;
        int nLastIndex = -1;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              bButtonsRight = bButtonsRight && ButtonsMatchState(true);
                              if (Dlg().m_bWorking)
                                  return;
                              const int nIndex = g_nCurrentFileIndex;
                              bInStep = bInStep && pList->currentRow() == nIndex &&
                                        pPane->toPlainText() == texts.value(nIndex);
                              if (nIndex != nLastIndex && !Dlg().m_bItemFinished)
                              {
                                  clockAtStart.append(
                                      Item<CDigiStatic>(Dlg(), IDC_TIME_DISPLAY)->GetText());
                                  nLastIndex = nIndex;
                              }
                          }));
        QVERIFY(bInStep);
        QVERIFY(bButtonsRight);
        QCOMPARE(clockAtStart, (QStringList{"00:00:00", "00:00:00", "00:00:00"}));
        const std::vector<SHeard> heard = Heard();
        QCOMPARE(int(heard.size()), 6);
        for (const SHeard& one : heard)
            QVERIFY(one.nPeak > 1000);
        // The gap is counted in ticks of the test's 100 ms clock; three are
        // the least it can be.
        QVERIFY2(heard[2].nStartMs - heard[1].nEndMs >= 300,
                 qPrintable(QString::number(heard[2].nStartMs - heard[1].nEndMs)));
        QVERIFY(heard[4].nStartMs - heard[3].nEndMs >= 300);
        // The text follows its name without that pause.
        QVERIFY(heard[1].nStartMs - heard[0].nEndMs < heard[2].nStartMs - heard[1].nEndMs);
    }

    // A name that is all extension announces nothing; the text is still read.
    void nameWithoutBase()
    {
        Dlg().AddSourceFiles({Doc(".notes.txt", "Something to read.")});
        QVERIFY(ReadWhile(Dlg(), []() {}));
        const std::vector<SHeard> heard = Heard();
        QCOMPARE(int(heard.size()), 2);
        QVERIFY(heard[0].nPeak == 0);
        QVERIFY(heard[1].nPeak > 1000);
    }

    // Stop in the middle of a file: silence at once, no jump to 100.
    void stopMidFile()
    {
        Dlg().AddSourceFiles({Doc("long.txt", QString("Words follow words here. ").repeated(40))});
        qint64 nStoppedAt = -1;
        int nPosAtStop = -1;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (nStoppedAt < 0 && Dlg().m_bSpeakingText &&
                                  Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos() >= 2)
                              {
                                  nStoppedAt = g_clock.elapsed();
                                  nPosAtStop =
                                      Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos();
                                  Item<CButtonST>(Dlg(), IDC_BTN_STOP)->click();
                              }
                          }));
        QVERIFY(nStoppedAt > 0);
        const std::vector<SHeard> heard = Heard();
        QCOMPARE(int(heard.size()), 2);
        // Less than a tenth of the text was heard.
        QVERIFY(heard[1].nSamples < 22050 * 20);
        QVERIFY(Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos() < 100);
        QVERIFY(Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos() >= nPosAtStop);
        QVERIFY(!Dlg().m_bBusy);
        QVERIFY(!Dlg().m_pVoiceToken);
        QVERIFY(Enabled(IDC_BTN_SPEAK));
    }

    // Stop between files: the pause runs out, then the reading ends; a
    // Speak pressed meanwhile starts nothing inside the ending reading.
    void stopBetweenFiles()
    {
        Dlg().AddSourceFiles({Doc("a.txt", "First."), Doc("b.txt", "Second.")});
        bool bStopped = false;
        bool bSpokeAgain = false;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (!bStopped && Dlg().m_bItemFinished && Dlg().m_bBusy &&
                                  g_nCurrentFileIndex == 1)
                              {
                                  bStopped = true;
                                  Item<CButtonST>(Dlg(), IDC_BTN_STOP)->click();
                                  QVERIFY(ButtonsMatchState(true));
                              }
                              else if (bStopped && !bSpokeAgain)
                              {
                                  bSpokeAgain = true;
                                  Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->click();
                              }
                          }));
        QVERIFY(bStopped);
        QCOMPARE(int(Heard().size()), 2);
        QVERIFY(!Dlg().m_bBusy);
        QVERIFY(ButtonsMatchState(true));
    }

    // Pause and Resume: the voice holds, the clock stands, the button
    // reads Resume; then the text goes on to its end.
    void pauseAndResume()
    {
        ChooseInstant(QString("Pause me in the middle of this sentence please. ").repeated(3));
        int nPhase = 0;
        qint64 nSamplesAtPause = 0;
        int nSecondsAtPause = 0;
        qint64 nPausedSince = 0;
        bool bHeld = true;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (nPhase == 0 && Selected() == QStringLiteral("middle"))
                              {
                                  Item<CButtonST>(Dlg(), IDC_BTN_PAUSE)->click();
                                  QVERIFY(ButtonsMatchState(true));
                                  nPhase = 1;
                                  nPausedSince = g_clock.elapsed();
                                  nSecondsAtPause = Dlg().m_nElapsedSeconds;
                              }
                              else if (nPhase == 1 && g_clock.elapsed() - nPausedSince > 150)
                              {
                                  // The device drained what it had; nothing new comes.
                                  nSamplesAtPause = Heard().back().nSamples;
                                  nPhase = 2;
                              }
                              else if (nPhase == 2 && g_clock.elapsed() - nPausedSince > 700)
                              {
                                  bHeld = Heard().back().nSamples == nSamplesAtPause &&
                                          Dlg().m_nElapsedSeconds == nSecondsAtPause;
                                  QCOMPARE(Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->text(),
                                           QStringLiteral("Resume"));
                                  Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->click();
                                  QCOMPARE(Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->text(),
                                           QStringLiteral("Speak"));
                                  QVERIFY(ButtonsMatchState(true));
                                  nPhase = 3;
                              }
                          }));
        QCOMPARE(nPhase, 3);
        QVERIFY(bHeld);
        QCOMPARE(Selected(), QStringLiteral("please"));
        QCOMPARE(Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos(), 100);
        QVERIFY(!Dlg().m_bPaused);
    }

    // A language switch while paused: Speak reads Resume in each language
    // and still resumes.
    void languageSwitchWhilePaused()
    {
        ChooseInstant(QString("Pause me and switch the language. ").repeated(3));
        bool bPaused = false;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (bPaused || Selected().isEmpty())
                                  return;
                              bPaused = true;
                              Item<CButtonST>(Dlg(), IDC_BTN_PAUSE)->click();
                              CButtonST* pSpeak = Item<CButtonST>(Dlg(), IDC_BTN_SPEAK);
                              Dlg().ApplyUILanguage(QStringLiteral("0c0a"));
                              QCOMPARE(pSpeak->text(), CStringTable::Get(IDS_RESUME));
                              QVERIFY(pSpeak->text() != QStringLiteral("Resume"));
                              Dlg().ApplyUILanguage(QStringLiteral("0409"));
                              QVERIFY(ButtonsMatchState(true));
                              pSpeak->click();
                          }));
        QVERIFY(bPaused);
        QVERIFY(!Dlg().m_bPaused);
        QCOMPARE(Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos(), 100);
    }

    // The pane stays editable during an instant reading: Speak stays the
    // reading's meanwhile, and afterwards follows what the pane holds.
    void editingDuringInstantReading_data()
    {
        QTest::addColumn<bool>("bErase");
        QTest::addColumn<bool>("bStop");
        QTest::newRow("typed") << false << false;
        QTest::newRow("erased-then-stopped") << true << true;
        QTest::newRow("erased-to-the-end") << true << false;
    }
    void editingDuringInstantReading()
    {
        QFETCH(bool, bErase);
        QFETCH(bool, bStop);
        ChooseInstant("Edit me while I am being read aloud.");
        QPlainTextEdit* pPane = Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT);
        bool bEdited = false;
        bool bButtonsRight = true;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (!bEdited && !Selected().isEmpty())
                              {
                                  bEdited = true;
                                  pPane->setFocus();
                                  if (bErase)
                                  {
                                      QTest::keyClick(pPane, Qt::Key_A, Qt::ControlModifier);
                                      QTest::keyClick(pPane, Qt::Key_Backspace);
                                  }
                                  else
                                  {
                                      QTest::keyClicks(pPane, "more ");
                                  }
                                  if (bStop)
                                      Item<CButtonST>(Dlg(), IDC_BTN_STOP)->click();
                              }
                              bButtonsRight = bButtonsRight && ButtonsMatchState(!bErase);
                          }));
        QVERIFY(bEdited);
        QVERIFY(bButtonsRight);
        QVERIFY(ButtonsMatchState(!bErase));
    }

    // A pause that lands as a file ends, or between files: the next file
    // starts unpaused and the buttons show the speaking state.
    void pauseAsFileEnds_data()
    {
        QTest::addColumn<bool>("bInGap");
        QTest::newRow("as-text-ends") << false;
        QTest::newRow("between-files") << true;
    }
    void pauseAsFileEnds()
    {
        QFETCH(bool, bInGap);
        Dlg().AddSourceFiles({Doc("a.txt", "First file."), Doc("b.txt", "Second file.")});
        bool bPaused = false;
        bool bSecondUnpaused = false;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              const bool bGap = Dlg().m_bItemFinished && Dlg().m_bBusy &&
                                                g_nCurrentFileIndex == 1;
                              // The instant between the text's end and the
                              // loop seeing it is short; a busy machine may
                              // let it pass, and the gap is next.
                              const bool bMoment =
                                  bGap || (!bInGap && Dlg().m_bSpeakingText &&
                                           g_nCurrentFileIndex == 0 && Dlg().m_bStreamEnded);
                              if (!bPaused && bMoment)
                              {
                                  bPaused = true;
                                  Item<CButtonST>(Dlg(), IDC_BTN_PAUSE)->click();
                              }
                              if (bPaused && g_nCurrentFileIndex == 1 && !Dlg().m_bItemFinished &&
                                  Dlg().m_bSpeakingText && !bSecondUnpaused)
                              {
                                  bSecondUnpaused = !Dlg().m_bPaused && ButtonsMatchState(true) &&
                                                    Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->text() ==
                                                        QStringLiteral("Speak");
                              }
                          }));
        QVERIFY(bPaused);
        QVERIFY(bSecondUnpaused);
        const std::vector<SHeard> heard = Heard();
        QCOMPARE(int(heard.size()), 4);
        QVERIFY(heard[3].nPeak > 1000);
    }

    // Closing is refused with a message during a reading, Escape does
    // nothing, and both work again afterwards.
    void closeGuards()
    {
        Dlg().show();
        Dlg().AddSourceFiles({Doc("a.txt", "A short text to read aloud now.")});
        bool bTried = false;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (bTried || !Dlg().m_bBusy)
                                  return;
                              bTried = true;
                              QVERIFY(!Dlg().close());
                              QTest::keyClick(&Dlg(), Qt::Key_Escape);
                              QVERIFY(Dlg().isVisible());
                          }));
        QVERIFY(bTried);
        QCOMPARE(m_messages, QStringList{"Please stop the speaking first!"});
        QVERIFY(Dlg().isVisible());
        QTest::keyClick(&Dlg(), Qt::Key_Escape);
        QVERIFY(!Dlg().isVisible());
        QCOMPARE(Dlg().result(), int(QDialog::Rejected));
    }

    // Line ends are spoken as one character each, so the selection stays on
    // the spoken word across lines.
    void multiLineInstantText()
    {
        const QString strText = "first second\nthird fourth\n\nfifth sixth";
        ChooseInstant(strText);
        const QStringList words = strText.split(QRegularExpression("\\s+"));
        QStringList selections;
        bool bOnWords = true;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              if (!Dlg().m_bBusy)
                                  return;
                              const QString strSel = Selected();
                              if (strSel.isEmpty() ||
                                  (!selections.isEmpty() && selections.last() == strSel))
                                  return;
                              bOnWords = bOnWords && words.contains(strSel);
                              selections.append(strSel);
                          }));
        QVERIFY2(bOnWords, qPrintable(selections.join('|')));
        QCOMPARE(selections, words);
        // After the reading the instant mode's controls are back.
        QVERIFY(Enabled(IDC_BTN_SPEAK));
        QVERIFY(Enabled(IDC_RADIO_FILE));
        QVERIFY(!Enabled(IDC_BTN_SAVEAUDIO));
    }

    // The clock counts only while an utterance is heard and shows hours.
    void clockShowsHours()
    {
        Dlg().m_bBusy = true;
        Dlg().m_bStreamStarted = true;
        Dlg().m_nElapsedSeconds = 3660;
        QTRY_COMPARE(Item<CDigiStatic>(Dlg(), IDC_TIME_DISPLAY)->GetText(),
                     QStringLiteral("01:01:01"));
        Dlg().m_bPaused = true;
        const int nSeconds = Dlg().m_nElapsedSeconds;
        QTest::qWait(350);
        QCOMPARE(Dlg().m_nElapsedSeconds, nSeconds);
        Dlg().m_bBusy = false;
        Dlg().m_bPaused = false;
    }

    // No voice for the chosen language: the user is told, nothing is heard
    // and the buttons are as before.
    void noVoiceForLanguage()
    {
        Dlg().AddSourceFiles({Doc("a.txt", "Nothing will be heard.")});
        QComboBox* pCombo = Item<QComboBox>(Dlg(), IDC_COMBO_LANGUAGE);
        const int nIndex = pCombo->findText(QStringLiteral("Faeroese"));
        QVERIFY(nIndex >= 0);
        pCombo->setCurrentIndex(nIndex);
        Q_EMIT pCombo->activated(nIndex);
        QVERIFY(ReadWhile(Dlg(), []() {}));
        QCOMPARE(m_messages,
                 QStringList{"No voice for the selected language installed on the computer."});
        QCOMPARE(int(Heard().size()), 0);
        QVERIFY(!Dlg().m_bBusy);
        for (int nId : {IDC_BTN_SPEAK, IDC_RADIO_INSTANT, IDC_BTN_SAVEAUDIO})
            QVERIFY(Enabled(nId));
        QVERIFY(!Enabled(IDC_BTN_PAUSE));
        QVERIFY(!Enabled(IDC_BTN_STOP));
    }
};

QTEST_MAIN(CReadingTest)
#include "tst_reading.moc"
