#include "app/commandline.h"
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/digistatic.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/textprogressctrl.h"

#include <QAbstractButton>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <deque>
#include <memory>

namespace
{
using KbTest::DropOnList;
using KbTest::Item;
using KbTest::SDropResult;

QStringList ListItems(const CSpeechDlg& dlg)
{
    QStringList items;
    const QListWidget* pList = Item<QListWidget>(dlg, IDC_LIST_FILES);
    for (int i = 0; i < pList->count(); ++i)
        items << pList->item(i)->text();
    return items;
}

QString PaneText(const CSpeechDlg& dlg)
{
    return Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT)->toPlainText();
}

int CurrentRow(const CSpeechDlg& dlg)
{
    return Item<QListWidget>(dlg, IDC_LIST_FILES)->currentRow();
}

// Delete, Reset, Speak and Save as Audio go together with the list.
bool ListButtonsEnabled(const CSpeechDlg& dlg, bool bEnabled)
{
    for (int nId : {IDC_BTN_DELETE, IDC_BTN_RESET, IDC_BTN_SPEAK, IDC_BTN_SAVEAUDIO})
        if (dlg.GetDlgItem(nId)->isEnabled() != bEnabled)
            return false;
    return true;
}

} // namespace

class CSourceListTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<QTemporaryDir> m_pFiles;
    KbTest::CDialogHooks m_hooks;

    QString Documents() const { return m_pHome->path() + QStringLiteral("/Documents"); }

    // A text document whose text names it, so that the pane shows which
    // one is loaded.
    QString TextFile(const QString& strName)
    {
        return KbTest::WriteFileIn(*m_pFiles, strName + QStringLiteral(".txt"),
                                   TextOf(strName).toUtf8());
    }
    static QString TextOf(const QString& strName)
    {
        return QStringLiteral("The text of %1.").arg(strName);
    }

    void Open(CSpeechDlg& dlg, const QString& strAnswer)
    {
        m_hooks.m_answers.push_back(strAnswer);
        Item<QAbstractButton>(dlg, IDC_BTN_OPEN)->click();
    }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        QVERIFY(QDir().mkpath(Documents()));
        m_pFiles = std::make_unique<QTemporaryDir>();
        g_bFirstOpenDialog = true;
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

    // The "Open ..." dialog.

    void openStartsInDocumentsUntilConfirmed_data()
    {
        QTest::addColumn<QList<bool>>("confirms");
        QTest::addColumn<QList<bool>>("inDocuments");
        QTest::newRow("confirmed-first") << QList<bool>{true, true} << QList<bool>{true, false};
        QTest::newRow("cancelled-first")
            << QList<bool>{false, true, true} << QList<bool>{true, true, false};
        QTest::newRow("cancelled-twice")
            << QList<bool>{false, false, true} << QList<bool>{true, true, true};
    }
    void openStartsInDocumentsUntilConfirmed()
    {
        QFETCH(QList<bool>, confirms);
        QFETCH(QList<bool>, inDocuments);
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), Documents());
        const QString strFile = TextFile(QStringLiteral("a"));
        CSpeechDlg dlg;
        for (bool bConfirm : confirms)
            Open(dlg, bConfirm ? strFile : QString());
        QCOMPARE(int(m_hooks.m_requests.size()), int(confirms.size()));
        for (int i = 0; i < confirms.size(); ++i)
        {
            QVERIFY(!m_hooks.m_requests[i].bSave);
            QCOMPARE(m_hooks.m_requests[i].strDirectory, inDocuments[i] ? Documents() : QString());
        }
    }

    // Open while a reading still reads its first document from the file
    // adds nothing: it would enable Speak and Save as Audio under the
    // reading.
    void openWhileReadingExtracts()
    {
        const QString strBig = KbTest::WriteFileIn(
            *m_pFiles, QStringLiteral("big.rtf"),
            "{\\rtf1\\ansi " + QByteArray("Words to read. ").repeated(100000) + "}");
        CSpeechDlg dlg;
        dlg.AddSourceFiles({strBig});
        bool bTried = false;
        bool bButtonsKept = false;
        QVERIFY(KbTest::ReadWhile(dlg,
                                  [&]()
                                  {
                                      if (!bTried && dlg.m_bWorking)
                                      {
                                          bTried = true;
                                          Open(dlg, TextFile(QStringLiteral("late")));
                                          bButtonsKept =
                                              !dlg.GetDlgItem(IDC_BTN_SPEAK)->isEnabled() &&
                                              !dlg.GetDlgItem(IDC_BTN_SAVEAUDIO)->isEnabled();
                                      }
                                      else if (dlg.m_bBusy && !dlg.m_bWorking)
                                      {
                                          Item<QAbstractButton>(dlg, IDC_BTN_STOP)->click();
                                      }
                                  }));
        QVERIFY(bTried);
        QVERIFY(bButtonsKept);
        QCOMPARE(dlg.GetSourceFiles(), QStringList{strBig});
    }

    void openOffersTheDocumentTypes()
    {
        CSpeechDlg dlg;
        Open(dlg, QString());
        QCOMPARE(int(m_hooks.m_requests.size()), 1);
        const QStringList filters = m_hooks.m_requests[0].strFilter.split(QStringLiteral(";;"));
        QStringList patterns;
        for (const QString& strFilter : filters)
        {
            QVERIFY2(strFilter.endsWith(QLatin1Char(')')), qPrintable(strFilter));
            const int nOpen = strFilter.lastIndexOf(QLatin1Char('('));
            patterns << strFilter.mid(nOpen + 1, strFilter.size() - nOpen - 2);
        }
        QCOMPARE(patterns,
                 QStringList({"*.txt *.rtf *.doc *.htm *.html *.mht", "*.txt", "*.rtf", "*.doc",
                              "*.htm *html", "*.mht", "*.docx", "*.odt", "*.epub", "*.pdf"}));
    }

    void cancelledOpenOnlyResetsDisplay()
    {
        const QString strFile = TextFile(QStringLiteral("a"));
        CSpeechDlg dlg;
        Open(dlg, strFile);
        auto* pProgress = Item<CTextProgressCtrl>(dlg, IDC_PROGRESS);
        auto* pClock = Item<CDigiStatic>(dlg, IDC_TIME_DISPLAY);
        pProgress->show();
        pClock->show();
        pClock->SetText(QStringLiteral("00:01:02"));

        Open(dlg, QString());
        QCOMPARE(ListItems(dlg), QStringList{strFile});
        QCOMPARE(dlg.GetSourceFiles(), QStringList{strFile});
        QCOMPARE(PaneText(dlg), TextOf("a"));
        QCOMPARE(g_nCurrentFileIndex, 0);
        QVERIFY(ListButtonsEnabled(dlg, true));
        QVERIFY(pProgress->isHidden());
        QVERIFY(pClock->isHidden());
        QCOMPARE(pClock->GetText(), QStringLiteral("00:00:00"));
        QVERIFY(m_hooks.m_messages.empty());
    }

    // Adding files.

    void sameFileTwiceIsListedTwice_data()
    {
        QTest::addColumn<int>("nDeleteRow");
        QTest::newRow("delete-first") << 0;
        QTest::newRow("delete-second") << 1;
    }
    void sameFileTwiceIsListedTwice()
    {
        QFETCH(int, nDeleteRow);
        const QString strFile = TextFile(QStringLiteral("a"));
        CSpeechDlg dlg;
        Open(dlg, strFile);
        Open(dlg, strFile);
        QCOMPARE(ListItems(dlg), QStringList({strFile, strFile}));
        QCOMPARE(dlg.GetSourceFiles(), QStringList({strFile, strFile}));

        Item<QListWidget>(dlg, IDC_LIST_FILES)->setCurrentRow(nDeleteRow);
        Item<QAbstractButton>(dlg, IDC_BTN_DELETE)->click();
        QCOMPARE(ListItems(dlg), QStringList{strFile});
        QCOMPARE(dlg.GetSourceFiles(), QStringList{strFile});
        QCOMPARE(CurrentRow(dlg), 0);
        QCOMPARE(PaneText(dlg), TextOf("a"));
    }

    void secondFileLeavesFirstShown()
    {
        const QString strFirst = TextFile(QStringLiteral("a"));
        const QString strSecond = TextFile(QStringLiteral("b"));
        CSpeechDlg dlg;
        Open(dlg, strFirst);
        Open(dlg, strSecond);
        QCOMPARE(ListItems(dlg), QStringList({strFirst, strSecond}));
        QCOMPARE(CurrentRow(dlg), 0);
        QCOMPARE(g_nCurrentFileIndex, 0);
        QCOMPARE(PaneText(dlg), TextOf("a"));
    }

    void listButtonsFollowTheList_data()
    {
        QTest::addColumn<int>("nAdded");
        QTest::addColumn<int>("nDeleted");
        QTest::addColumn<bool>("bEnabled");
        QTest::newRow("no-files") << 0 << 0 << false;
        QTest::newRow("one-file") << 1 << 0 << true;
        QTest::newRow("two-files") << 2 << 0 << true;
        QTest::newRow("one-of-two-deleted") << 2 << 1 << true;
        QTest::newRow("only-file-deleted") << 1 << 1 << false;
        QTest::newRow("both-deleted") << 2 << 2 << false;
    }
    void listButtonsFollowTheList()
    {
        QFETCH(int, nAdded);
        QFETCH(int, nDeleted);
        QFETCH(bool, bEnabled);
        CSpeechDlg dlg;
        for (int i = 0; i < nAdded; ++i)
            Open(dlg, TextFile(QString::number(i)));
        for (int i = 0; i < nDeleted; ++i)
            Item<QAbstractButton>(dlg, IDC_BTN_DELETE)->click();
        QCOMPARE(ListItems(dlg).size(), nAdded - nDeleted);
        QVERIFY(ListButtonsEnabled(dlg, bEnabled));
    }

    // Delete.

    void deleteKeepsListAndPaneTogether_data()
    {
        QTest::addColumn<bool>("bKey");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("nDeleteRow");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<int>("nShownRow");
        const QStringList abc = {"a", "b", "c"};
        const QStringList aba = {"a", "b", "a"};
        for (bool bKey : {false, true})
        {
            const QString strHow = bKey ? QStringLiteral("key") : QStringLiteral("button");
            auto row = [&](const char* pszName) -> QTestData&
            { return QTest::newRow(qPrintable(strHow + QLatin1Char('-') + pszName)); };
            row("last-of-three") << bKey << abc << 2 << QStringList({"a", "b"}) << 1;
            row("middle-of-three") << bKey << abc << 1 << QStringList({"a", "c"}) << 1;
            row("first-of-three") << bKey << abc << 0 << QStringList({"b", "c"}) << 0;
            row("only-one") << bKey << QStringList{"a"} << 0 << QStringList() << -1;
            // The same document listed twice: the row deleted is the one the
            // user chose, not the first with that name.
            row("repeat-of-earlier") << bKey << aba << 2 << QStringList({"a", "b"}) << 1;
            row("original-of-repeat") << bKey << aba << 0 << QStringList({"b", "a"}) << 0;
        }
    }
    void deleteKeepsListAndPaneTogether()
    {
        QFETCH(bool, bKey);
        QFETCH(QStringList, files);
        QFETCH(int, nDeleteRow);
        QFETCH(QStringList, remaining);
        QFETCH(int, nShownRow);
        CSpeechDlg dlg;
        for (const QString& strName : files)
            Open(dlg, TextFile(strName));
        auto* pList = Item<QListWidget>(dlg, IDC_LIST_FILES);
        pList->setCurrentRow(nDeleteRow);
        QCOMPARE(PaneText(dlg), TextOf(files[nDeleteRow]));
        if (bKey)
            QTest::keyClick(pList, Qt::Key_Delete);
        else
            Item<QAbstractButton>(dlg, IDC_BTN_DELETE)->click();

        QStringList expected;
        for (const QString& strName : remaining)
            expected << m_pFiles->filePath(strName + QStringLiteral(".txt"));
        QCOMPARE(ListItems(dlg), expected);
        QCOMPARE(CurrentRow(dlg), nShownRow);
        QCOMPARE(g_nCurrentFileIndex, nShownRow);
        QCOMPARE(PaneText(dlg), nShownRow < 0 ? QString() : TextOf(remaining[nShownRow]));
        QCOMPARE(dlg.GetSourceFiles(), expected);
        QVERIFY(ListButtonsEnabled(dlg, !remaining.isEmpty()));
    }

    // Choosing a row.

    void selectingRowShowsItsFile()
    {
        CSpeechDlg dlg;
        for (const char* pszName : {"a", "b", "c"})
            Open(dlg, TextFile(pszName));
        auto* pList = Item<QListWidget>(dlg, IDC_LIST_FILES);
        pList->setCurrentRow(2);
        QCOMPARE(PaneText(dlg), TextOf("c"));
        QCOMPARE(g_nCurrentFileIndex, 2);
        pList->setCurrentRow(1);
        QCOMPARE(PaneText(dlg), TextOf("b"));
        QCOMPARE(g_nCurrentFileIndex, 1);
        QVERIFY(pList->isEnabled());
    }

    void reselectingShownRowDoesNotReread()
    {
        const QString strFirst = TextFile(QStringLiteral("a"));
        CSpeechDlg dlg;
        Open(dlg, strFirst);
        Open(dlg, TextFile(QStringLiteral("b")));
        QCOMPARE(PaneText(dlg), TextOf("a"));
        QVERIFY(KbTest::WriteFile(strFirst, "Changed on disk."));

        auto* pList = Item<QListWidget>(dlg, IDC_LIST_FILES);
        pList->setCurrentRow(-1);
        pList->setCurrentRow(0);
        QCOMPARE(PaneText(dlg), TextOf("a"));

        // Another row in between: coming back reads the file afresh.
        pList->setCurrentRow(1);
        pList->setCurrentRow(0);
        QCOMPARE(PaneText(dlg), QStringLiteral("Changed on disk."));
    }

    // Reset.

    void resetEmptiesEverything()
    {
        CSpeechDlg dlg;
        Open(dlg, TextFile(QStringLiteral("a")));
        Open(dlg, TextFile(QStringLiteral("b")));
        auto* pProgress = Item<CTextProgressCtrl>(dlg, IDC_PROGRESS);
        auto* pClock = Item<CDigiStatic>(dlg, IDC_TIME_DISPLAY);
        pProgress->show();
        pClock->show();
        pClock->SetText(QStringLiteral("00:00:42"));

        Item<QAbstractButton>(dlg, IDC_BTN_RESET)->click();
        QVERIFY(ListItems(dlg).isEmpty());
        QVERIFY(dlg.GetSourceFiles().isEmpty());
        QVERIFY(PaneText(dlg).isEmpty());
        QCOMPARE(g_nCurrentFileIndex, -1);
        QVERIFY(ListButtonsEnabled(dlg, false));
        QVERIFY(pProgress->isHidden());
        QVERIFY(pClock->isHidden());
        QCOMPARE(pClock->GetText(), QStringLiteral("00:00:00"));

        // The list takes files again as before.
        Open(dlg, TextFile(QStringLiteral("c")));
        QCOMPARE(PaneText(dlg), TextOf("c"));
        QCOMPARE(g_nCurrentFileIndex, 0);
    }

    // Drops from a file manager.

    void dropAddsFilesInOrder_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("strShown");
        QTest::newRow("into-empty-list")
            << QStringList() << QStringList({"c", "a", "b"}) << QStringList({"c", "a", "b"}) << "c";
        QTest::newRow("folder-left-out")
            << QStringList() << QStringList({"a", "/", "b"}) << QStringList({"a", "b"}) << "a";
        QTest::newRow("onto-listed-files")
            << QStringList{"x"} << QStringList({"b", "a"}) << QStringList({"x", "b", "a"}) << "x";
    }
    void dropAddsFilesInOrder()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, after);
        QFETCH(QString, strShown);
        QVERIFY(QDir(m_pFiles->path()).mkdir(QStringLiteral("folder")));
        CSpeechDlg dlg;
        for (const QString& strName : before)
            Open(dlg, TextFile(strName));
        QStringList paths;
        for (const QString& strName : dropped)
            paths << (strName == QLatin1String("/") ? m_pFiles->filePath(QStringLiteral("folder"))
                                                    : TextFile(strName));
        const SDropResult result = DropOnList(dlg, paths);
        QVERIFY(result.bEnterAccepted);
        QVERIFY(result.bDropAccepted);

        QStringList expected;
        for (const QString& strName : after)
            expected << m_pFiles->filePath(strName + QStringLiteral(".txt"));
        QCOMPARE(ListItems(dlg), expected);
        QCOMPARE(dlg.GetSourceFiles(), expected);
        QCOMPARE(CurrentRow(dlg), 0);
        QCOMPARE(PaneText(dlg), TextOf(strShown));
        QVERIFY(ListButtonsEnabled(dlg, true));
    }

    void dropRefused_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::addColumn<bool>("bFolderOnly");
        QTest::newRow("instant-speak-mode") << true << false;
        QTest::newRow("only-a-folder") << false << true;
    }
    void dropRefused()
    {
        QFETCH(bool, bInstant);
        QFETCH(bool, bFolderOnly);
        CSpeechDlg dlg;
        if (bInstant)
            Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->click();
        const QStringList paths = bFolderOnly ? QStringList{m_pFiles->path()}
                                              : QStringList{TextFile(QStringLiteral("a"))};
        const SDropResult result = DropOnList(dlg, paths);
        QVERIFY(!result.bEnterAccepted);
        QVERIFY(!result.bDropAccepted);
        QVERIFY(ListItems(dlg).isEmpty());
        QVERIFY(dlg.GetSourceFiles().isEmpty());
        QVERIFY(PaneText(dlg).isEmpty());
    }

    // Files named on the command line.

    void commandLineFiles()
    {
        const QString strFirst = TextFile(QStringLiteral("a"));
        const QString strSecond = TextFile(QStringLiteral("b"));
        const QString strOld = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_pFiles->path()));
        QString strErrors;
        QTextStream err(&strErrors);
        const QStringList files = CCommandLine::WindowFiles(
            {QStringLiteral("kestrivane-basic"), QStringLiteral("b.txt"),
             QStringLiteral("missing.txt"), strFirst, QStringLiteral("."), QStringLiteral("b.txt")},
            err);
        QVERIFY(QDir::setCurrent(strOld));
        QCOMPARE(files, QStringList({strSecond, strFirst, strSecond}));
        // The missing name and the folder, one line each.
        QCOMPARE(strErrors.count(QLatin1Char('\n')), 2);
        QVERIFY2(strErrors.contains(QStringLiteral("missing.txt")), qPrintable(strErrors));
        QVERIFY(!strErrors.contains(QStringLiteral("b.txt")));
        QVERIFY(!strErrors.contains(strFirst));

        CSpeechDlg dlg;
        dlg.AddSourceFiles(files);
        QCOMPARE(ListItems(dlg), files);
        QCOMPARE(dlg.GetSourceFiles(), files);
        QCOMPARE(CurrentRow(dlg), 0);
        QCOMPARE(g_nCurrentFileIndex, 0);
        QCOMPARE(PaneText(dlg), TextOf("b"));
        QVERIFY(ListButtonsEnabled(dlg, true));
        QVERIFY(m_hooks.m_requests.empty());
    }

    // A document that cannot be read.

    void unreadableDocumentIsListedAndReported()
    {
        const QString strBroken =
            KbTest::WriteFileIn(*m_pFiles, QStringLiteral("broken.doc"), QByteArray(600, '\x5A'));
        CSpeechDlg dlg;
        Open(dlg, strBroken);
        QCOMPARE(ListItems(dlg), QStringList{strBroken});
        QCOMPARE(dlg.GetSourceFiles(), QStringList{strBroken});
        QVERIFY(PaneText(dlg).isEmpty());
        QVERIFY(ListButtonsEnabled(dlg, true));
        QCOMPARE(int(m_hooks.m_messages.size()), 1);
        QVERIFY(!m_hooks.m_messages[0].strText.isEmpty());
        QCOMPARE(m_hooks.m_messages[0].strCaption, QStringLiteral("Kestrivane Basic"));

        // A readable one after it is still shown when chosen.
        Open(dlg, TextFile(QStringLiteral("a")));
        Item<QListWidget>(dlg, IDC_LIST_FILES)->setCurrentRow(1);
        QCOMPARE(PaneText(dlg), TextOf("a"));
    }
};

QTEST_MAIN(CSourceListTest)
#include "tst_sourcelist.moc"
