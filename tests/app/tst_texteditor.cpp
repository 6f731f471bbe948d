#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/diskfault.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "text/introlib/prelude.h"
#include "text/preludetext.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <deque>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
using KbTest::Item;

QPlainTextEdit* Pane(const CSpeechDlg& dlg)
{
    return Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT);
}

void Click(const CSpeechDlg& dlg, int nId)
{
    Item<QAbstractButton>(dlg, nId)->click();
}

bool Enabled(const CSpeechDlg& dlg, int nId)
{
    return dlg.GetDlgItem(nId)->isEnabled();
}

void SetClipboard(const std::function<void(QMimeData&)>& fnFill)
{
    auto* pData = new QMimeData;
    fnFill(*pData);
    QApplication::clipboard()->setMimeData(pData);
}

// One entry of the open right-click menu: its command id ("-" for a
// separator), its text and whether it can be chosen.
struct SMenuEntry
{
    QString strId;
    QString strText;
    bool bEnabled;
};

// Right-clicks the pane and reads the menu while it is open; an optional
// command is chosen before the menu closes.
std::vector<SMenuEntry> RightClickPane(CSpeechDlg& dlg, int nChoose = 0)
{
    std::vector<SMenuEntry> entries;
    bool bSeen = false;
    QTimer::singleShot(0, &dlg,
                       [&]()
                       {
                           QMenu* pMenu = dlg.GetOpenTextMenu();
                           bSeen = pMenu != nullptr;
                           if (!pMenu)
                               return;
                           for (QAction* pAction : pMenu->actions())
                               entries.push_back({pAction->isSeparator() ? QStringLiteral("-")
                                                                         : pAction->objectName(),
                                                  pAction->text(), pAction->isEnabled()});
                           if (nChoose)
                               if (auto* pAction =
                                       pMenu->findChild<QAction*>(QString::number(nChoose)))
                                   pAction->trigger();
                           pMenu->close();
                       });
    QWidget* pViewport = Pane(dlg)->viewport();
    const QPoint point(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, pViewport->mapToGlobal(point));
    QApplication::sendEvent(pViewport, &event);
    if (!bSeen)
        qWarning("the text menu did not open");
    return entries;
}

// Writes to files stop past this many bytes while it lives; root cannot
// write past it either.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_pOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = nBytes;
        m_bActive = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_pOldHandler);
    }
    bool IsActive() const { return m_bActive; }

private:
    rlimit m_old{};
    void (*m_pOldHandler)(int) = nullptr;
    bool m_bActive = false;
};
} // namespace

class CTextEditorTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<QTemporaryDir> m_pFiles;
    KbTest::CDialogHooks m_hooks;
    // Runs while the dialog is up, before it answers.

    QString TextFile(const QString& strName, const QString& strText)
    {
        return KbTest::WriteFileIn(*m_pFiles, strName, strText.toUtf8());
    }
    void ShowFile(CSpeechDlg& dlg, const QString& strText)
    {
        m_hooks.m_answers.push_back(TextFile(QStringLiteral("shown.txt"), strText));
        Click(dlg, IDC_BTN_OPEN);
        QCOMPARE(Pane(dlg)->toPlainText(), strText);
    }
    void SaveAs(CSpeechDlg& dlg, const QString& strAnswer)
    {
        m_hooks.m_answers.push_back(strAnswer);
        Click(dlg, IDC_BTN_SAVETEXT);
    }
    static QString MenuText(const std::vector<SMenuEntry>& entries)
    {
        QStringList texts;
        for (const SMenuEntry& entry : entries)
            texts << entry.strText;
        return texts.join(QLatin1Char('|'));
    }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        m_pFiles = std::make_unique<QTemporaryDir>();
        g_bFirstOpenDialog = true;
        g_bFirstTextSaveDialog = true;
        QApplication::clipboard()->clear();
        m_hooks.Install();
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
    }
    void cleanup()
    {
        KbTest::EndApp(m_pApp);
        m_hooks.Remove();
        m_pFiles.reset();
        m_pHome.reset();
    }

    // Save as.

    void saveAsWritesUtf16WithCrLf_data()
    {
        QTest::addColumn<bool>("bTyped");
        QTest::newRow("typed") << true;
        QTest::newRow("set") << false;
    }
    void saveAsWritesUtf16WithCrLf()
    {
        QFETCH(bool, bTyped);
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        QPlainTextEdit* pPane = Pane(dlg);
        if (bTyped)
        {
            QTest::keyClicks(pPane, QStringLiteral("Line one"));
            QTest::keyClick(pPane, Qt::Key_Return);
            QTest::keyClicks(pPane, QStringLiteral("Line two "));
            // Past ASCII a key carries its text alone, as an input method sends it.
            for (const char* pszText : {"\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"})
                QTest::sendKeyEvent(QTest::Click, pPane, Qt::Key_unknown,
                                    QString::fromUtf8(pszText), Qt::NoModifier);
        }
        else
        {
            pPane->setPlainText(QString::fromUtf8("Line one\nLine two \xC3\xA4\xE2\x82\xAC"
                                                  "\xF0\x9F\x98\x80"));
        }
        QVERIFY(Enabled(dlg, IDC_BTN_SAVETEXT));
        const QString strPath = m_pFiles->filePath(QStringLiteral("saved.txt"));
        SaveAs(dlg, strPath);
        const QByteArray expected =
            QByteArray("\xFF\xFE", 2) +
            QByteArray("L\0i\0n\0e\0 \0o\0n\0e\0\r\0\n\0L\0i\0n\0e\0 \0t\0w\0o\0 \0"
                       "\xE4\0\xAC\x20\x3D\xD8\x00\xDE",
                       46);
        QCOMPARE(KbTest::ReadFile(strPath), expected);
        QVERIFY(m_hooks.m_messages.empty());
    }

    void saveDialogRequest_data()
    {
        QTest::addColumn<QList<bool>>("confirms");
        QTest::addColumn<QList<bool>>("inSaveFolder");
        QTest::newRow("confirmed-first") << QList<bool>{true, true} << QList<bool>{true, false};
        QTest::newRow("cancelled-first")
            << QList<bool>{false, true, true} << QList<bool>{true, true, false};
    }
    void saveDialogRequest()
    {
        QFETCH(QList<bool>, confirms);
        QFETCH(QList<bool>, inSaveFolder);
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        Pane(dlg)->setPlainText(QStringLiteral("Some words"));
        const QString strPath = m_pFiles->filePath(QStringLiteral("saved.txt"));
        for (bool bConfirm : confirms)
            SaveAs(dlg, bConfirm ? strPath : QString());
        QCOMPARE(int(m_hooks.m_requests.size()), int(confirms.size()));
        for (int i = 0; i < confirms.size(); ++i)
        {
            const CFileDialog::SRequest& request = m_hooks.m_requests[i];
            QVERIFY(request.bSave);
            QCOMPARE(request.strDirectory,
                     inSaveFolder[i] ? m_pApp->GetDefaultSaveFolder() : QString());
            QCOMPARE(request.strDefaultSuffix, QStringLiteral("txt"));
            QCOMPARE(request.strInitialName, QStringLiteral("New file"));
            QCOMPARE(request.strFilter, QStringLiteral("Text File (*.txt)"));
        }
        QVERIFY(!m_pApp->GetDefaultSaveFolder().isEmpty());
        QCOMPARE(KbTest::ReadFile(strPath), KbTest::Utf16(QStringLiteral("Some words")));
    }

    void failedSaveIsReported_data()
    {
        QTest::addColumn<QString>("strCase");
        // The tests run as root, which writes read-only files and folders
        // alike; these fail for root too.
        QTest::newRow("folder-removed-after-dialog") << "removed";
        QTest::newRow("file-in-proc") << "proc";
        QTest::newRow("over-file-size-limit") << "limit";
        QTest::newRow("read-only-file") << "readonly";
        QTest::newRow("full-disk") << "full";
        QTest::newRow("disk-full-when-synced") << "sync";
        QTest::newRow("read-only-folder") << "rofolder";
    }
    void failedSaveIsReported()
    {
        QFETCH(QString, strCase);
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        Pane(dlg)->setPlainText(QStringLiteral("New text that must not land"));
        const QByteArray original = KbTest::Utf16(QStringLiteral("Kept as it was\r\n"));
        QString strPath;
        std::unique_ptr<CFileSizeLimit> pLimit;
        if (strCase == QLatin1String("removed"))
        {
            const QString strFolder = m_pFiles->filePath(QStringLiteral("gone"));
            QVERIFY(QDir().mkpath(strFolder));
            strPath = strFolder + QStringLiteral("/saved.txt");
            m_hooks.m_fnWhileOpen = [strFolder]() { QDir(strFolder).removeRecursively(); };
        }
        else if (strCase == QLatin1String("proc"))
        {
            strPath = QStringLiteral("/proc/version");
        }
        else
        {
            strPath = KbTest::WriteFileIn(*m_pFiles, QStringLiteral("existing.txt"), original);
            if (strCase == QLatin1String("readonly"))
            {
                if (geteuid() == 0)
                    QSKIP("root may write a read-only file");
                QVERIFY(QFile::setPermissions(strPath, QFile::ReadOwner | QFile::ReadGroup |
                                                           QFile::ReadOther));
            }
        }
        const QByteArray before = KbTest::ReadFile(strPath);
        if (strCase == QLatin1String("limit"))
        {
            pLimit = std::make_unique<CFileSizeLimit>(8);
            QVERIFY(pLimit->IsActive());
        }
        std::unique_ptr<KbTest::CFullDisk> pFull;
        if (strCase == QLatin1String("full") || strCase == QLatin1String("sync"))
        {
            QVERIFY2(KbTest::CFullDisk::IsLoaded(), "run by ctest, with the fault shim");
            pFull = std::make_unique<KbTest::CFullDisk>(m_pFiles->path(), 0,
                                                        strCase == QLatin1String("sync"));
        }
        std::unique_ptr<KbTest::CReadOnlyFolder> pReadOnly;
        if (strCase == QLatin1String("rofolder"))
        {
            pReadOnly = std::make_unique<KbTest::CReadOnlyFolder>(m_pFiles->path());
            QVERIFY(pReadOnly->IsActive());
        }
        SaveAs(dlg, strPath);
        pLimit.reset();
        pFull.reset();
        pReadOnly.reset();

        QCOMPARE(int(m_hooks.m_messages.size()), 1);
        QCOMPARE(m_hooks.m_messages[0].strText, QStringLiteral("Failed to save as text file."));
        QCOMPARE(m_hooks.m_messages[0].strCaption, QStringLiteral("Kestrivane Basic"));
        QCOMPARE(m_hooks.m_messages[0].nFlags, 0x10u);
        QCOMPARE(KbTest::ReadFile(strPath), before);
        if (strCase != QLatin1String("proc"))
            QCOMPARE(QDir(QFileInfo(strPath).absolutePath())
                         .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QFileInfo::exists(strPath) ? QStringList{QFileInfo(strPath).fileName()}
                                                : QStringList());
        if (strCase != QLatin1String("removed") && strCase != QLatin1String("proc"))
            QCOMPARE(before, original);
    }

    // Paste.

    void pasteTakesOnlyPlainText_data()
    {
        QTest::addColumn<bool>("bImageOnly");
        QTest::addColumn<QString>("strAfter");
        QTest::newRow("image-only") << true << "Typed ";
        QTest::newRow("html-and-text") << false << "Typed Bold words";
    }
    void pasteTakesOnlyPlainText()
    {
        QFETCH(bool, bImageOnly);
        QFETCH(QString, strAfter);
        QApplication::clipboard()->setText(QStringLiteral("earlier"));
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        QTest::keyClicks(Pane(dlg), QStringLiteral("Typed "));
        QVERIFY(Pane(dlg)->document()->isUndoAvailable());
        SetClipboard(
            [bImageOnly](QMimeData& data)
            {
                if (bImageOnly)
                {
                    QImage image(4, 4, QImage::Format_RGB32);
                    image.fill(Qt::red);
                    data.setImageData(image);
                    return;
                }
                data.setHtml(QStringLiteral("<p><b>Bold</b> <i>html</i></p>"));
                data.setText(QStringLiteral("Bold words"));
            });
        // The button stays as it was when the clipboard loses its text.
        QVERIFY(Enabled(dlg, IDC_BTN_PASTE));
        Click(dlg, IDC_BTN_PASTE);
        QCOMPARE(Pane(dlg)->toPlainText(), strAfter);
        if (!bImageOnly)
            QVERIFY(!Pane(dlg)->document()->isUndoAvailable());
    }

    void pasteDoesNothingInFileMode()
    {
        CSpeechDlg dlg;
        ShowFile(dlg, QStringLiteral("From the file."));
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QVERIFY(Pane(dlg)->isReadOnly());
        QVERIFY(!Enabled(dlg, IDC_BTN_PASTE));
        QVERIFY(QMetaObject::invokeMethod(&dlg, "OnPasteText"));
        QTest::keyClick(Pane(dlg), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Pane(dlg)->toPlainText(), QStringLiteral("From the file."));
    }

    void pasteButtonFollowsClipboard_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::newRow("instant-speak") << true;
        QTest::newRow("speak-from-file") << false;
    }
    void pasteButtonFollowsClipboard()
    {
        QFETCH(bool, bInstant);
        CSpeechDlg dlg;
        if (bInstant)
            Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        QVERIFY(!Enabled(dlg, IDC_BTN_PASTE));
        QApplication::clipboard()->setText(QStringLiteral("copied elsewhere"));
        QCOMPARE(Enabled(dlg, IDC_BTN_PASTE), bInstant);
    }

    // Buttons of the pane.

    void instantButtonsFollowText_data()
    {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<bool>("bSaveAndEmpty");
        QTest::addColumn<bool>("bSpeak");
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("spaces-and-breaks") << "  \n \n\t " << true << false;
        QTest::newRow("one-line-break") << "\n" << true << false;
        QTest::newRow("words") << "Hello there" << true << true;
        QTest::newRow("word-between-breaks") << "\n x \n" << true << true;
    }
    void instantButtonsFollowText()
    {
        QFETCH(QString, strText);
        QFETCH(bool, bSaveAndEmpty);
        QFETCH(bool, bSpeak);
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        // From the opposite state, so that each button has to change.
        Pane(dlg)->setPlainText(strText.isEmpty() ? QStringLiteral("seed") : QString());
        Pane(dlg)->setPlainText(strText);
        QCOMPARE(Enabled(dlg, IDC_BTN_SAVETEXT), bSaveAndEmpty);
        QCOMPARE(Enabled(dlg, IDC_BTN_EMPTY), bSaveAndEmpty);
        QCOMPARE(Enabled(dlg, IDC_BTN_SPEAK), bSpeak);
        QVERIFY(!Enabled(dlg, IDC_BTN_SAVEAUDIO));
    }

    void copyFollowsSelection_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::newRow("instant-speak") << true;
        QTest::newRow("speak-from-file") << false;
    }
    void copyFollowsSelection()
    {
        QFETCH(bool, bInstant);
        CSpeechDlg dlg;
        if (bInstant)
        {
            Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
            Pane(dlg)->setPlainText(QStringLiteral("Some text to copy"));
        }
        else
        {
            ShowFile(dlg, QStringLiteral("Some text to copy"));
        }
        QVERIFY(!Enabled(dlg, IDC_BTN_COPY));
        QTextCursor cursor = Pane(dlg)->textCursor();
        cursor.setPosition(5);
        cursor.setPosition(9, QTextCursor::KeepAnchor);
        Pane(dlg)->setTextCursor(cursor);
        QVERIFY(Enabled(dlg, IDC_BTN_COPY));
        Click(dlg, IDC_BTN_COPY);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("text"));
        cursor.clearSelection();
        Pane(dlg)->setTextCursor(cursor);
        QVERIFY(!Enabled(dlg, IDC_BTN_COPY));
    }

    void emptyClearsPane()
    {
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        QTest::keyClicks(Pane(dlg), QStringLiteral("Hello"));
        QVERIFY(Enabled(dlg, IDC_BTN_SPEAK));
        Click(dlg, IDC_BTN_EMPTY);
        QVERIFY(Pane(dlg)->toPlainText().isEmpty());
        QVERIFY(!Enabled(dlg, IDC_BTN_SPEAK));
        QVERIFY(!Enabled(dlg, IDC_BTN_SAVEAUDIO));
        QVERIFY(!Enabled(dlg, IDC_BTN_EMPTY));
        QVERIFY(!Enabled(dlg, IDC_BTN_SAVETEXT));
    }

    // The right-click menu.

    void menuItemsInOrder()
    {
        CSpeechDlg dlg;
        const std::vector<SMenuEntry> entries = RightClickPane(dlg);
        QStringList ids;
        for (const SMenuEntry& entry : entries)
            ids << entry.strId;
        QCOMPARE(ids, QStringList({"32784", "-", "32783", "32777", "32778", "32782", "32780",
                                   "32779", "-", "32781"}));
        QCOMPARE(MenuText(entries),
                 QStringLiteral("Undo||Cut|Copy|Paste|Select All|Save As...|Empty||FAQ Online"));
        QVERIFY(!dlg.GetOpenTextMenu());
    }

    void menuItemsEnabled_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::addColumn<QString>("strText");
        QTest::addColumn<bool>("bTyped");
        QTest::addColumn<bool>("bSelectAll");
        QTest::addColumn<bool>("bClipboardText");
        QTest::addColumn<QStringList>("enabled");
        QTest::newRow("instant-only-spaces")
            << true << "    " << false << false << false << QStringList{"32781"};
        QTest::newRow("instant-only-spaces-selected")
            << true << "    " << false << true << false << QStringList({"32783", "32777", "32781"});
        QTest::newRow("file-with-selection") << false << "From a file" << false << true << true
                                             << QStringList({"32777", "32782", "32781"});
        QTest::newRow("file-without-selection")
            << false << "From a file" << false << false << true << QStringList({"32782", "32781"});
        QTest::newRow("instant-selection-and-clipboard")
            << true << "Hello world" << false << true << true
            << QStringList({"32783", "32777", "32778", "32782", "32780", "32779", "32781"});
        QTest::newRow("instant-typed-no-clipboard")
            << true << "Hello" << true << false << false
            << QStringList({"32784", "32782", "32780", "32779", "32781"});
    }
    void menuItemsEnabled()
    {
        QFETCH(bool, bInstant);
        QFETCH(QString, strText);
        QFETCH(bool, bTyped);
        QFETCH(bool, bSelectAll);
        QFETCH(bool, bClipboardText);
        QFETCH(QStringList, enabled);
        CSpeechDlg dlg;
        if (bInstant)
        {
            Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
            if (bTyped)
                QTest::keyClicks(Pane(dlg), strText);
            else
                Pane(dlg)->setPlainText(strText);
        }
        else
        {
            ShowFile(dlg, strText);
        }
        if (bSelectAll)
            Pane(dlg)->selectAll();
        if (bClipboardText)
            QApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
        QStringList actual;
        for (const SMenuEntry& entry : RightClickPane(dlg))
            if (entry.bEnabled && entry.strId != QLatin1String("-"))
                actual << entry.strId;
        QCOMPARE(actual, enabled);
    }

    void menuCommandsAct_data()
    {
        QTest::addColumn<int>("nCommand");
        QTest::addColumn<QString>("strPane");
        QTest::addColumn<QString>("strClipboard");
        QTest::addColumn<QString>("strSelected");
        QTest::newRow("cut") << ID_EDIT_CUT << "one  three"
                             << "two"
                             << "";
        QTest::newRow("copy") << ID_EDIT_COPY << "one two three"
                              << "two"
                              << "two";
        QTest::newRow("paste") << ID_EDIT_PASTE << "one clip three"
                               << "clip"
                               << "";
        QTest::newRow("select-all") << ID_EDIT_SELECTALL << "one two three"
                                    << "clip"
                                    << "one two three";
        QTest::newRow("empty") << ID_EDIT_EMPTY << ""
                               << "clip"
                               << "";
    }
    void menuCommandsAct()
    {
        QFETCH(int, nCommand);
        QFETCH(QString, strPane);
        QFETCH(QString, strClipboard);
        QFETCH(QString, strSelected);
        QApplication::clipboard()->setText(QStringLiteral("clip"));
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        Pane(dlg)->setPlainText(QStringLiteral("one two three"));
        QTextCursor cursor = Pane(dlg)->textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        Pane(dlg)->setTextCursor(cursor);
        RightClickPane(dlg, nCommand);
        QCOMPARE(Pane(dlg)->toPlainText(), strPane);
        QCOMPARE(QApplication::clipboard()->text(), strClipboard);
        QCOMPARE(Pane(dlg)->textCursor().selectedText(), strSelected);
    }

    void menuSaveAsSavesPane()
    {
        CSpeechDlg dlg;
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        Pane(dlg)->setPlainText(QStringLiteral("a\nb"));
        const QString strPath = m_pFiles->filePath(QStringLiteral("menu.txt"));
        m_hooks.m_answers.push_back(strPath);
        RightClickPane(dlg, ID_EDIT_SAVEAS);
        QCOMPARE(int(m_hooks.m_requests.size()), 1);
        QCOMPARE(KbTest::ReadFile(strPath), KbTest::Utf16(QStringLiteral("a\r\nb")));
    }

    // The prelude of the chosen language.

    void preludeOfChosenLanguage()
    {
        CSpeechDlg dlg;
        auto* pCombo = Item<QComboBox>(dlg, IDC_COMBO_LANGUAGE);
        const int nIndex = pCombo->findText(QStringLiteral("English (US)"));
        QVERIFY(nIndex >= 0);
        pCombo->setCurrentIndex(nIndex);
        Q_EMIT pCombo->activated(nIndex);
        QString strText;
        dlg.GetPreludeText(strText);
        CPrelude prelude;
        QCOMPARE(strText, CPreludeText::Get(prelude, QStringLiteral("0409")));
        QVERIFY(!strText.isEmpty());
    }
};

QTEST_MAIN(CTextEditorTest)
#include "tst_texteditor.moc"
