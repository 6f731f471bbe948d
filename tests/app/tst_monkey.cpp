#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "settings/mytreepropsheet.h"
#include "speech/readingrules.h"
#include "speech/spsilentaudiosink.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/sequencewatch.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using KbTest::Item;

namespace
{
// The user's commands. Wait is a long look at the window.
enum ECommand
{
    Open,
    Drop,
    DeleteButton,
    DeleteKey,
    Reset,
    ClickRow,
    ArrowKey,
    FileMode,
    InstantMode,
    Type,
    Erase,
    SelectText,
    Speak,
    Pause,
    Stop,
    SaveAudio,
    Copy,
    Paste,
    Empty,
    SaveText,
    Settings,
    UiLanguage,
    Close,
    Escape,
    Wait
};

struct SCommand
{
    ECommand eCommand;
    const char* pszName;
    // How often it is drawn: the reading's commands most, the ones that
    // end the run least.
    int nWeight;
};

constexpr SCommand g_commands[] = {
    {Open, "Open", 16},
    {Drop, "Drop", 8},
    {DeleteButton, "Delete", 6},
    {DeleteKey, "Delete key on the list", 4},
    {Reset, "Reset", 4},
    {ClickRow, "Click a row", 12},
    {ArrowKey, "Arrow key on the list", 6},
    {FileMode, "File mode", 8},
    {InstantMode, "Instant mode", 6},
    {Type, "Type", 12},
    {Erase, "Erase", 6},
    {SelectText, "Select text", 6},
    {Speak, "Speak", 24},
    {Pause, "Pause", 18},
    {Stop, "Stop", 12},
    {SaveAudio, "Save as Audio", 6},
    {Copy, "Copy", 4},
    {Paste, "Paste", 4},
    {Empty, "Empty", 4},
    {SaveText, "Save as", 4},
    {Settings, "Settings", 6},
    {UiLanguage, "Interface language", 4},
    {Close, "Close", 1},
    {Escape, "Escape", 1},
    {Wait, "Wait", 10},
};

struct SStep
{
    ECommand eCommand;
    quint32 nArg;
    // The pause before the step.
    int nDelayMs;
};

// The same seed gives the same steps: each step takes the same number of
// draws whatever it is.
std::vector<SStep> MakePlan(quint32 nSeed, int nSteps)
{
    QRandomGenerator rng(nSeed);
    int nTotal = 0;
    for (const SCommand& command : g_commands)
        nTotal += command.nWeight;
    std::vector<SStep> plan;
    for (int i = 0; i < nSteps; ++i)
    {
        int nPick = int(rng.bounded(nTotal));
        ECommand eCommand = Wait;
        for (const SCommand& command : g_commands)
        {
            if (nPick < command.nWeight)
            {
                eCommand = command.eCommand;
                break;
            }
            nPick -= command.nWeight;
        }
        const quint32 nArg = rng.generate();
        const int nRoll = int(rng.bounded(100));
        const int nFine = int(rng.bounded(1000));
        // Mostly quick clicks, some waits for the reading to move on.
        int nDelay = nRoll < 70 ? nFine % 20 : nRoll < 92 ? 20 + nFine % 130 : 150 + nFine % 550;
        if (eCommand == Wait)
            nDelay = 300 + nFine;
        plan.push_back({eCommand, nArg, nDelay});
    }
    return plan;
}

QString CommandName(ECommand eCommand)
{
    for (const SCommand& command : g_commands)
        if (command.eCommand == eCommand)
            return QLatin1String(command.pszName);
    return QString();
}

const char* const g_uiLanguages[] = {"0409", "0c0a", "0804", "0416"};
const char* const g_typed[] = {"Read this. ", "one two ", "  ", "\n", "Hello again, world. "};

constexpr int g_nDefaultSequences = 8;
constexpr int g_nDefaultSteps = 60;
constexpr int g_nWindDownTickMs = 20;
// Time the window gets to come back to idle once the steps are through.
constexpr qint64 g_nWindDownMs = 20000;
constexpr std::chrono::seconds g_sequenceDeadline(240);

int EnvInt(const char* pszName, int nDefault)
{
    bool bOk = false;
    const int nValue = qEnvironmentVariableIntValue(pszName, &bOk);
    return bOk && nValue > 0 ? nValue : nDefault;
}
} // namespace

// Seeded random sequences of the user's commands on the real window, with
// the real engine into the silent sink and a fast clock. Commands that run
// their own loops (Speak, Save as Audio, the settings sheet, documents read
// in the background) get the next steps from inside those loops. After
// every step the window must agree with itself: the reading's buttons with
// the state table, its flags with each other and with what is under way,
// the list with the source files. KB_MONKEY_SEQUENCES sets how many
// sequences run from seed KB_MONKEY_FIRST on (so a long run can be split
// over processes), KB_MONKEY_SEED replays one, KB_MONKEY_STEPS their length.
class CMonkeyTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KbTest::CSequenceWatch> m_pWatch;
    std::unique_ptr<QTemporaryDir> m_pDocs;
    QStringList m_documents;
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<QTemporaryDir> m_pOut;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<CSpeechDlg> m_pDlg;
    KbTest::CDialogHooks m_hooks;

    std::vector<SStep> m_plan;
    size_t m_nNext = 0;
    // The commands under way, the innermost last.
    std::vector<ECommand> m_stack;
    QString m_strFailure;
    bool m_bClosed = false;
    bool m_bForced = false;
    QElapsedTimer m_windDown;
    size_t m_nMessages = 0;
    QEventLoop* m_pLoop = nullptr;
    int m_nSequences = 0;
    qint64 m_nSteps = 0;
    QElapsedTimer m_runTime;

    CSpeechDlg& Dlg() { return *m_pDlg; }
    QAbstractButton* Button(int nId) { return Item<QAbstractButton>(Dlg(), nId); }
    QListWidget* List() { return Item<QListWidget>(Dlg(), IDC_LIST_FILES); }
    QPlainTextEdit* Pane() { return Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT); }

    void Log(const QString& strLine) { m_pWatch->Add(strLine); }

    bool OnStack(std::initializer_list<ECommand> commands) const
    {
        for (ECommand eCommand : m_stack)
            for (ECommand eWanted : commands)
                if (eCommand == eWanted)
                    return true;
        return false;
    }
    // Whether the document being read now is read for a reading or a
    // batch, rather than for the list: the innermost command that reads
    // documents tells.
    bool ReadingExtracts() const
    {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
        {
            switch (*it)
            {
            case Speak:
            case SaveAudio:
                return true;
            case Open:
            case Drop:
            case DeleteButton:
            case DeleteKey:
            case ClickRow:
            case ArrowKey:
                return false;
            default:
                break;
            }
        }
        return false;
    }
    // "inside Speak > Settings", empty at the top.
    QString Where() const
    {
        QStringList names;
        for (ECommand eCommand : m_stack)
            names << CommandName(eCommand);
        return names.isEmpty() ? QString()
                               : QStringLiteral("inside ") + names.join(QStringLiteral(" > "));
    }
    QStringList Rows()
    {
        QStringList rows;
        for (int i = 0; i < List()->count(); ++i)
            rows << List()->item(i)->text();
        return rows;
    }
    bool CanSpeakWhenIdle()
    {
        return Dlg().m_nSpeakMode == 1 ? !Dlg().GetSourceFiles().isEmpty()
                                       : !Pane()->toPlainText().trimmed().isEmpty();
    }

    // Empty when the window agrees with itself.
    QString Inconsistency()
    {
        CSpeechDlg& dlg = Dlg();
        if (dlg.m_bPaused && !dlg.m_bBusy)
            return QStringLiteral("paused while not busy");
        if (dlg.m_bBusy && !OnStack({Speak, SaveAudio}))
            return QStringLiteral("busy with no reading or Save as Audio under way");
        if (dlg.m_bWorking &&
            !OnStack({Open, Drop, DeleteButton, DeleteKey, ClickRow, ArrowKey, Speak, SaveAudio}))
            return QStringLiteral("working with no document being read");
        if (dlg.m_bAudioBatch && (!dlg.m_bBusy || dlg.m_bPaused))
            return QStringLiteral("a Save as Audio batch that is not busy or is paused");
        if (m_bClosed && (dlg.m_bBusy || dlg.m_bWorking))
            return QStringLiteral("the window closed during a reading");
        // With nothing under way nothing is heard, and the next reading is
        // heard rather than written into a file.
        if (m_stack.empty() && !dlg.m_pVoice->WaitUntilDone(0))
            return QStringLiteral("the voice speaks with nothing under way");
        if (m_stack.empty() && dlg.m_pVoice->GetOutputStream())
            return QStringLiteral("the voice writes into a file with nothing under way");

        const QStringList rows = Rows();
        if (rows != dlg.GetSourceFiles())
            return QStringLiteral("the list rows differ from the source files");
        if (g_nCurrentFileIndex < -1 || g_nCurrentFileIndex >= rows.size())
            return QStringLiteral("the current file index is out of range");
        const bool bFileChecked = Item<QRadioButton>(dlg, IDC_RADIO_FILE)->isChecked();
        if (bFileChecked != (dlg.m_nSpeakMode == 1) ||
            Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->isChecked() == bFileChecked)
            return QStringLiteral("the mode radios do not show the mode: file %1, instant %2")
                .arg(bFileChecked ? "checked" : "not checked",
                     Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->isChecked() ? "checked"
                                                                             : "not checked");

        // A document read for the list leaves the reading idle.
        const CReadingRules::EState eState = CReadingRules::StateOf(
            dlg.m_bBusy, dlg.m_bWorking && ReadingExtracts(), dlg.m_bPaused, dlg.m_bItemFinished);
        CReadingRules::SButtons want = CReadingRules::ButtonsFor(eState, CanSpeakWhenIdle());
        // A batch renders into files and is never paused.
        if (dlg.m_bAudioBatch)
            want.bPause = false;
        const CReadingRules::SButtons got = {
            Button(IDC_BTN_SPEAK)->isEnabled(), Button(IDC_BTN_PAUSE)->isEnabled(),
            Button(IDC_BTN_STOP)->isEnabled(),
            Button(IDC_BTN_SPEAK)->text() == CStringTable::Get(IDS_RESUME)};
        if (got.bSpeak != want.bSpeak || got.bPause != want.bPause || got.bStop != want.bStop ||
            got.bResumeText != want.bResumeText)
        {
            static const char* const s_states[] = {"idle", "extracting", "speaking",
                                                   "between files", "paused"};
            return QStringLiteral("the buttons break the state table when %1: want %2, got %3")
                .arg(QLatin1String(s_states[eState]), ButtonsText(want), ButtonsText(got));
        }
        if (!want.bResumeText && Button(IDC_BTN_SPEAK)->text() != CStringTable::Get(IDS_SPEAK))
            return QStringLiteral("Speak reads %1").arg(Button(IDC_BTN_SPEAK)->text());
        return QString();
    }
    // Speak, Pause, Stop and the Resume text, as "SPSR" with "-" for off.
    static QString ButtonsText(const CReadingRules::SButtons& buttons)
    {
        return QString(buttons.bSpeak ? QLatin1Char('S') : QLatin1Char('-')) +
               (buttons.bPause ? QLatin1Char('P') : QLatin1Char('-')) +
               (buttons.bStop ? QLatin1Char('S') : QLatin1Char('-')) +
               (buttons.bResumeText ? QLatin1Char('R') : QLatin1Char('-'));
    }
    QString StateText()
    {
        CSpeechDlg& dlg = Dlg();
        QStringList names;
        for (const QString& strPath : dlg.GetSourceFiles())
            names << QFileInfo(strPath).fileName();
        return QStringLiteral("  busy %1, working %2, paused %3, item finished %4, batch %5, mode "
                              "%6, Speak reads \"%7\"\n  files [%8], current %9, pane \"%10\"")
            .arg(dlg.m_bBusy)
            .arg(dlg.m_bWorking)
            .arg(dlg.m_bPaused)
            .arg(dlg.m_bItemFinished)
            .arg(dlg.m_bAudioBatch)
            .arg(dlg.m_nSpeakMode)
            .arg(Button(IDC_BTN_SPEAK)->text(), names.join(QStringLiteral(", ")))
            .arg(g_nCurrentFileIndex)
            .arg(Pane()->toPlainText().left(40).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }

    void Fail(const QString& strWhat)
    {
        if (!m_strFailure.isEmpty())
            return;
        m_strFailure = strWhat + QLatin1Char('\n') + StateText();
        Log(QStringLiteral("FAILED: ") + m_strFailure);
    }
    void Verify(const QString& strWhen)
    {
        // What the user is told comes with the steps; only asking to stop
        // first, when closing during a reading, is expected.
        for (; m_nMessages < m_hooks.m_messages.size(); ++m_nMessages)
        {
            const QString strText = m_hooks.m_messages[m_nMessages].strText;
            Log(QStringLiteral("      message: ") + strText);
            if (strText != CStringTable::Get(IDS_STOP_FIRST))
                Fail(strWhen + QStringLiteral(": unexpected message ") + strText);
        }
        if (!m_strFailure.isEmpty())
            return;
        const QString strProblem = Inconsistency();
        if (!strProblem.isEmpty())
            Fail(strWhen + QStringLiteral(": ") + strProblem);
    }

    void Click(int nId, const QString& strWhat, const std::function<void(const QString&)>& say)
    {
        QAbstractButton* pButton = Button(nId);
        say(strWhat + (pButton->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
        pButton->click();
    }
    QString Document(quint32 nArg) const { return m_documents[int(nArg % m_documents.size())]; }
    static QString Name(const QString& strPath) { return QFileInfo(strPath).fileName(); }

    // What the menu bar holds now, as the user finds it.
    QAction* MenuAction(int nCommand)
    {
        auto* pMenuBar = Dlg().findChild<QMenuBar*>(QString::number(IDR_MAINMENU));
        for (QAction* pTop : pMenuBar->actions())
            if (pTop->menu())
                for (QAction* pItem : pTop->menu()->actions())
                    if (pItem->objectName() == QString::number(nCommand))
                        return pItem;
        return nullptr;
    }

    void Execute(const SStep& step, const std::function<void(const QString&)>& say)
    {
        if (QWidget* pModal = QApplication::activeModalWidget())
        {
            if (auto* pSheet = qobject_cast<CMyTreePropSheet*>(pModal))
                ExecuteOnSheet(*pSheet, step, say);
            else
            {
                say(QStringLiteral("closes the dialog ") + pModal->objectName());
                pModal->close();
            }
            return;
        }
        const quint32 nArg = step.nArg;
        switch (step.eCommand)
        {
        case Open:
        {
            const bool bCancel = nArg % 8 == 0;
            const QString strDoc = Document(nArg / 8);
            m_hooks.m_answers = {bCancel ? QString() : strDoc};
            Click(IDC_BTN_OPEN,
                  bCancel ? QStringLiteral("Open, cancelled")
                          : QStringLiteral("Open ") + Name(strDoc),
                  say);
            m_hooks.m_answers.clear();
            break;
        }
        case Drop:
        {
            QStringList paths;
            for (quint32 i = 0, n = 1 + nArg % 3; i < n; ++i)
                paths << Document(nArg / 3 + i * 5);
            QStringList names;
            for (const QString& strPath : paths)
                names << Name(strPath);
            const bool bEnabled = List()->viewport()->isEnabled();
            say(QStringLiteral("Drop ") + names.join(QStringLiteral(", ")) +
                (bEnabled ? QString() : QStringLiteral(" (list disabled)")));
            if (bEnabled)
                KbTest::DropOnList(Dlg(), paths);
            break;
        }
        case DeleteButton:
            Click(IDC_BTN_DELETE, CommandName(DeleteButton), say);
            break;
        case DeleteKey:
        case ArrowKey:
        {
            const bool bEnabled = List()->isEnabled();
            const Qt::Key key = step.eCommand == DeleteKey ? Qt::Key_Delete
                                : nArg % 2                 ? Qt::Key_Down
                                                           : Qt::Key_Up;
            say(CommandName(step.eCommand) +
                (step.eCommand == ArrowKey
                     ? (key == Qt::Key_Down ? QStringLiteral(" (down)") : QStringLiteral(" (up)"))
                     : QString()) +
                (bEnabled ? QString() : QStringLiteral(" (list disabled)")));
            if (bEnabled)
            {
                List()->setFocus();
                QTest::keyClick(List(), key);
            }
            break;
        }
        case Reset:
            Click(IDC_BTN_RESET, CommandName(Reset), say);
            break;
        case ClickRow:
        {
            QListWidget* pList = List();
            if (!pList->isEnabled() || pList->count() == 0)
            {
                say(QStringLiteral("Click a row (none to click)"));
                break;
            }
            const int nRow = int(nArg % quint32(pList->count()));
            say(QStringLiteral("Click row %1, %2").arg(nRow).arg(Name(pList->item(nRow)->text())));
            pList->scrollToItem(pList->item(nRow));
            QTest::mouseClick(pList->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                              pList->visualItemRect(pList->item(nRow)).center());
            break;
        }
        case FileMode:
            Click(IDC_RADIO_FILE, CommandName(FileMode), say);
            break;
        case InstantMode:
            Click(IDC_RADIO_INSTANT, CommandName(InstantMode), say);
            break;
        case Type:
        {
            const QString strText = QLatin1String(g_typed[nArg % std::size(g_typed)]);
            say(QStringLiteral("Type \"%1\"%2")
                    .arg(QString(strText).replace(QLatin1Char('\n'), QStringLiteral("\\n")),
                         Pane()->isReadOnly() ? QStringLiteral(" (read-only)") : QString()));
            Pane()->setFocus();
            // Key clicks take printable characters only.
            if (strText == QLatin1String("\n"))
                QTest::keyClick(Pane(), Qt::Key_Return);
            else
                QTest::keyClicks(Pane(), strText);
            break;
        }
        case Erase:
            Pane()->setFocus();
            if (nArg % 2)
            {
                say(QStringLiteral("Erase all"));
                QTest::keyClick(Pane(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(Pane(), Qt::Key_Backspace);
            }
            else
            {
                say(QStringLiteral("Erase three characters"));
                QTest::keyClick(Pane(), Qt::Key_End, Qt::ControlModifier);
                for (int i = 0; i < 3; ++i)
                    QTest::keyClick(Pane(), Qt::Key_Backspace);
            }
            break;
        case SelectText:
            Pane()->setFocus();
            if (nArg % 2)
            {
                say(QStringLiteral("Select all text"));
                QTest::keyClick(Pane(), Qt::Key_A, Qt::ControlModifier);
            }
            else
            {
                say(QStringLiteral("Select the last four characters"));
                QTest::keyClick(Pane(), Qt::Key_End, Qt::ControlModifier);
                for (int i = 0; i < 4; ++i)
                    QTest::keyClick(Pane(), Qt::Key_Left, Qt::ShiftModifier);
            }
            break;
        case Speak:
            Click(IDC_BTN_SPEAK,
                  QStringLiteral("Speak, reading \"%1\"").arg(Button(IDC_BTN_SPEAK)->text()), say);
            break;
        case Pause:
            Click(IDC_BTN_PAUSE, CommandName(Pause), say);
            break;
        case Stop:
            Click(IDC_BTN_STOP, CommandName(Stop), say);
            break;
        case SaveAudio:
            Click(IDC_BTN_SAVEAUDIO, CommandName(SaveAudio), say);
            break;
        case Copy:
            Click(IDC_BTN_COPY, CommandName(Copy), say);
            break;
        case Paste:
            Click(IDC_BTN_PASTE, CommandName(Paste), say);
            break;
        case Empty:
            Click(IDC_BTN_EMPTY, CommandName(Empty), say);
            break;
        case SaveText:
        {
            const bool bCancel = nArg % 4 == 0;
            m_hooks.m_answers = {
                bCancel ? QString()
                        : m_pOut->filePath(QStringLiteral("saved-%1.txt").arg(nArg % 3))};
            Click(IDC_BTN_SAVETEXT,
                  bCancel ? QStringLiteral("Save as, cancelled") : CommandName(SaveText), say);
            m_hooks.m_answers.clear();
            break;
        }
        case Settings:
        {
            QAction* pAction = MenuAction(ID_OPTION_SETTINGS);
            say(CommandName(Settings));
            if (pAction)
                pAction->trigger();
            else
                Fail(QStringLiteral("no Settings command in the menu"));
            break;
        }
        case UiLanguage:
        {
            const QString strCode = QLatin1String(g_uiLanguages[nArg % std::size(g_uiLanguages)]);
            say(QStringLiteral("Interface language ") + strCode);
            Dlg().ApplyUILanguage(strCode);
            break;
        }
        case Close:
        case Escape:
        {
            say(CommandName(step.eCommand));
            if (step.eCommand == Close)
                Dlg().close();
            else
            {
                QWidget* pFocus = QApplication::focusWidget();
                QTest::keyClick(pFocus && pFocus->window() == &Dlg() ? pFocus : &Dlg(),
                                Qt::Key_Escape);
            }
            if (!Dlg().isVisible())
            {
                m_bClosed = true;
                Log(QStringLiteral("      the window closed"));
            }
            break;
        }
        case Wait:
            say(CommandName(Wait));
            break;
        }
    }

    // While the sheet is modal, the user's clicks land on it.
    void ExecuteOnSheet(CMyTreePropSheet& sheet, const SStep& step,
                        const std::function<void(const QString&)>& say)
    {
        auto control = [&sheet](int nId)
        { return sheet.findChild<QWidget*>(QString::number(nId)); };
        auto click = [&](int nId, const QString& strName)
        {
            auto* pButton = qobject_cast<QAbstractButton*>(control(nId));
            say(QStringLiteral("on the sheet: ") + strName +
                (pButton->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
            pButton->click();
        };
        auto* pTree = qobject_cast<QTreeWidget*>(control(IDC_PAGE_TREE));
        QTreeWidgetItem* pRoot = pTree->topLevelItem(0);
        const quint32 nArg = step.nArg / 10;
        switch (step.nArg % 10)
        {
        case 0:
        case 1:
            click(IDOK, QStringLiteral("OK"));
            break;
        case 2:
            click(ID_APPLY_NOW, QStringLiteral("Apply"));
            break;
        case 3:
        case 4:
            click(IDCANCEL, QStringLiteral("Cancel"));
            break;
        case 5:
        case 6:
        {
            QTreeWidgetItem* pPage = pRoot->child(int(nArg % quint32(pRoot->childCount())));
            say(QStringLiteral("on the sheet: page ") + pPage->text(0));
            pTree->setCurrentItem(pPage);
            break;
        }
        case 7:
        case 8:
        {
            // The User Interface page, last in the tree.
            pTree->setCurrentItem(pRoot->child(pRoot->childCount() - 1));
            auto* pCombo = qobject_cast<QComboBox*>(control(IDC_COMBO_UI_LANGUAGE));
            pCombo->setFocus();
            QTest::keyClick(pCombo, nArg % 2 ? Qt::Key_Down : Qt::Key_Up);
            say(QStringLiteral("on the sheet: interface language ") + pCombo->currentText());
            break;
        }
        default:
            say(QStringLiteral("on the sheet: looks"));
            break;
        }
    }

    // The steps come one after another from single-shot timers, each set
    // before its step runs, so that a step which stays in a loop of the
    // window gets the next ones from inside that loop.
    void NextStep()
    {
        if (m_nNext < m_plan.size() && m_strFailure.isEmpty() && !m_bClosed)
        {
            const size_t nIndex = m_nNext++;
            const SStep step = m_plan[nIndex];
            QTimer::singleShot(m_nNext < m_plan.size() ? m_plan[m_nNext].nDelayMs
                                                       : g_nWindDownTickMs,
                               this, &CMonkeyTest::NextStep);
            ++m_nSteps;
            const QString strPrefix =
                QStringLiteral("%1. +%2 ms  %3")
                    .arg(nIndex + 1)
                    .arg(step.nDelayMs)
                    .arg(m_stack.empty() ? QString() : Where() + QStringLiteral(": "));
            m_stack.push_back(step.eCommand);
            Execute(step, [&](const QString& strWhat) { Log(strPrefix + strWhat); });
            m_stack.pop_back();
            if (m_nNext > nIndex + 1)
                Log(QStringLiteral("   (%1. %2 returned)")
                        .arg(nIndex + 1)
                        .arg(CommandName(step.eCommand)));
            Verify(QStringLiteral("after step %1").arg(nIndex + 1));
            return;
        }
        WindDown();
    }

    // Once the steps are through, the user stops whatever runs and waits
    // for the window to come back to idle.
    void WindDown()
    {
        if (m_stack.empty())
        {
            m_pLoop->quit();
            return;
        }
        QTimer::singleShot(g_nWindDownTickMs, this, &CMonkeyTest::NextStep);
        if (!m_windDown.isValid())
        {
            m_windDown.start();
            Log(QStringLiteral("   wind-down, ") + Where());
        }
        if (m_bForced)
            return;
        if (m_windDown.elapsed() > g_nWindDownMs)
        {
            Fail(QStringLiteral("the window did not come back to idle: hung ") + Where());
            ForceIdle();
            return;
        }
        auto* pSheet = qobject_cast<CMyTreePropSheet*>(QApplication::activeModalWidget());
        if (pSheet)
        {
            Log(QStringLiteral("   wind-down: Cancel on the sheet"));
            pSheet->findChild<QAbstractButton*>(QString::number(IDCANCEL))->click();
        }
        else if (Dlg().m_bPaused && Button(IDC_BTN_SPEAK)->isEnabled())
        {
            Log(QStringLiteral("   wind-down: Resume"));
            Button(IDC_BTN_SPEAK)->click();
        }
        else if (Button(IDC_BTN_STOP)->isEnabled())
        {
            Log(QStringLiteral("   wind-down: Stop"));
            Button(IDC_BTN_STOP)->click();
        }
        Verify(QStringLiteral("in the wind-down"));
    }

    // Ends a hung reading by force, so that the run can go on to report.
    void ForceIdle()
    {
        m_bForced = true;
        if (QWidget* pModal = QApplication::activeModalWidget())
            pModal->close();
        CSpeechDlg& dlg = Dlg();
        dlg.m_bBusy = false;
        dlg.m_bPaused = false;
        dlg.m_bAudioBatch = false;
        dlg.m_nGapTicks = CReadingRules::GAP_TICKS;
        g_bConversionDone = true;
        dlg.m_pVoice->Resume();
        dlg.m_pVoice->Speak(QString(), SPF_PURGEBEFORESPEAK);
    }

    void StartWindow()
    {
        m_pHome = KbTest::UseFreshHome();
        m_pOut = std::make_unique<QTemporaryDir>();
        QVERIFY(KbTest::WriteFile(
            m_pHome->path() +
                QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini"),
            KbTest::Utf16(
                QStringLiteral("[Audio]\r\nSaveType=1\r\nSavePath=%1/\r\n").arg(m_pOut->path()))));
        m_hooks.Install();
        g_bFirstOpenDialog = true;
        g_bFirstTextSaveDialog = true;
        g_bFirstAudioSaveDialog = true;
        g_bConversionDone = false;
        QApplication::clipboard()->clear();
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        QVERIFY(m_pApp->InitSettings());
        m_pDlg = std::make_unique<CSpeechDlg>();
        // The fastest speech: more readings reach their end.
        Item<QSlider>(Dlg(), IDC_SLIDER_RATE)->setValue(-10);
        Dlg().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Dlg()));
    }
    void EndWindow()
    {
        m_pDlg.reset();
        KbTest::EndApp(m_pApp);
        m_hooks.Remove();
        m_pOut.reset();
        m_pHome.reset();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("KB_CLOCK_MS", "20");
        CSpAudioSink::SetFactory([]() { return std::make_unique<CSpSilentAudioSink>(); });
        m_pWatch = std::make_unique<KbTest::CSequenceWatch>();
        m_pDocs = std::make_unique<QTemporaryDir>();
        const std::pair<const char*, QByteArray> made[] = {
            {"alpha.txt", "Alpha one two."},
            {"beta.rtf", "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Beta three four.\\par}"},
            {"gamma.html", "<html><body><p>Gamma five six.</p></body></html>"},
            {"delta notes.txt", "Delta seven."},
            {".hidden.txt", "Hidden eight."},
            {"empty.txt", ""},
        };
        for (const auto& [pszName, bytes] : made)
            m_documents << KbTest::WriteFileIn(*m_pDocs, QLatin1String(pszName), bytes);
        m_documents << QStringLiteral(KB_TEST_DATA_DIR "text/lo-sample.rtf")
                    << QStringLiteral(KB_TEST_DATA_DIR "text/lo-sample.html");
        m_runTime.start();
    }
    void cleanupTestCase()
    {
        qInfo("%d sequences, %lld steps in %.1f s", m_nSequences, m_nSteps,
              m_runTime.elapsed() / 1000.0);
        m_pWatch.reset();
        CSpAudioSink::SetFactory(nullptr);
        qunsetenv("KB_CLOCK_MS");
    }

    void sequences_data()
    {
        QTest::addColumn<quint32>("nSeed");
        const int nReplay = EnvInt("KB_MONKEY_SEED", 0);
        if (nReplay > 0)
        {
            QTest::addRow("seed-%d", nReplay) << quint32(nReplay);
            return;
        }
        const int nFirst = qMax(1, EnvInt("KB_MONKEY_FIRST", 1));
        const int nCount = EnvInt("KB_MONKEY_SEQUENCES", g_nDefaultSequences);
        for (int i = nFirst; i < nFirst + nCount; ++i)
            QTest::addRow("seed-%d", i) << quint32(i);
    }
    void sequences()
    {
        QFETCH(quint32, nSeed);
        StartWindow();
        if (QTest::currentTestFailed())
            return;
        m_plan = MakePlan(nSeed, EnvInt("KB_MONKEY_STEPS", g_nDefaultSteps));
        m_nNext = 0;
        m_stack.clear();
        m_strFailure.clear();
        m_bClosed = false;
        m_bForced = false;
        m_windDown.invalidate();
        m_nMessages = 0;
        m_pWatch->Begin(
            QStringLiteral("Steps of seed %1 (KB_MONKEY_SEED=%1 replays them):").arg(nSeed),
            g_sequenceDeadline);
        QEventLoop loop;
        m_pLoop = &loop;
        QTimer::singleShot(0, this, &CMonkeyTest::NextStep);
        loop.exec();
        m_pLoop = nullptr;
        Verify(QStringLiteral("at the end"));
        ++m_nSequences;
        const QString strSteps = m_pWatch->Text();
        EndWindow();
        m_pWatch->End();
        // The test log cuts long messages; the steps go to the error stream whole.
        if (!m_strFailure.isEmpty())
            std::fprintf(stderr, "%s", qPrintable(strSteps));
        QVERIFY2(m_strFailure.isEmpty(), qPrintable(m_strFailure));
    }
};

QTEST_MAIN(CMonkeyTest)
#include "tst_monkey.moc"
