#include "app/settingsstore.h"
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "settings/audiosavingconfpage.h"
#include "settings/mytreepropsheet.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/languagepacks.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/proppageframe.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace
{
template <typename T> T* Control(const QWidget& parent, int nId)
{
    return parent.findChild<T*>(QString::number(nId));
}

// The Audio Output page alone in the program's sheet, shown at once.
struct SAudioSheet
{
    CAudioSavingConfPage m_page;
    CMyTreePropSheet m_sheet{QStringLiteral("Settings")};

    SAudioSheet()
    {
        m_sheet.AddPage(&m_page);
        m_sheet.show();
    }
    template <typename T> T* Item(int nId) const { return Control<T>(m_sheet, nId); }
};
} // namespace

// The settings sheet opened from the window's menu, and its pages, read
// back from Application.ini on disk.
class CSettingsPagesTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<QTemporaryDir> m_pFolders;
    std::unique_ptr<CSpeechApp> m_pApp;
    KbTest::CDialogHooks m_hooks;

    QString IniPath() const
    {
        return m_pHome->path() +
               QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini");
    }
    // "%1" in the text stands for a writable scratch folder without its
    // final "/".
    QString Folder(QString strText) const { return strText.replace("%1", m_pFolders->path()); }
    void StartApp(const QString& strIni)
    {
        QVERIFY(KbTest::WriteFile(IniPath(), KbTest::Utf16(Folder(strIni))));
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        QVERIFY(m_pApp->InitSettings());
    }
    // The value in the file, or "<no key>".
    QString Stored(const QString& strSection, const QString& strKey) const
    {
        CSettingsStore store;
        if (!store.Load(IniPath()))
            return QStringLiteral("<no file>");
        const CSettingsSection* pSection = store.FindSection(strSection);
        const CSettingsEntry* pEntry = pSection ? pSection->FindKey(strKey) : nullptr;
        return pEntry ? pEntry->GetValue() : QStringLiteral("<no key>");
    }
    // Opens the sheet from the menu and runs the steps on it while it is
    // modal; a sheet the steps leave open is cancelled.
    void WithSheet(CSpeechDlg& dlg, const std::function<void(CMyTreePropSheet&)>& fnSteps)
    {
        bool bOpened = false;
        QTimer::singleShot(0, &dlg,
                           [&]()
                           {
                               auto* pSheet = qobject_cast<CMyTreePropSheet*>(
                                   QApplication::activeModalWidget());
                               if (!pSheet)
                                   return;
                               bOpened = true;
                               fnSteps(*pSheet);
                               if (pSheet->isVisible())
                                   pSheet->reject();
                           });
        QAction* pAction = dlg.findChild<QAction*>(QString::number(ID_OPTION_SETTINGS));
        QVERIFY(pAction);
        pAction->trigger();
        QVERIFY(bOpened);
    }
    static QString SelectedCode(const CSpeechDlg& dlg, const QListWidget& list)
    {
        const QList<QListWidgetItem*> selected = list.selectedItems();
        if (selected.isEmpty())
            return QString();
        for (const LanguageRecord& record : dlg.m_languages)
        {
            if (record.szDisplayName == selected.first()->text())
                return record.szCode;
        }
        return QStringLiteral("<not in the catalogue>");
    }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        m_pFolders = std::make_unique<QTemporaryDir>();
        m_hooks.Install();
    }
    void cleanup()
    {
        KbTest::EndApp(m_pApp);
        m_hooks.Remove();
        m_pFolders.reset();
        m_pHome.reset();
    }

    // The sheet opens on the Language page under one "Preferences" node;
    // the node shows the program's description; the Audio Output page, never
    // opened, leaves its broken folder alone.
    void sheetFromMenu()
    {
        StartApp("[Audio]\r\nSavePath=%1/gone/\r\nSaveType=1\r\n");
        CSpeechDlg dlg;
        WithSheet(
            dlg,
            [&](CMyTreePropSheet& sheet)
            {
                QCOMPARE(sheet.windowTitle(), QStringLiteral("Settings"));
                QCOMPARE(Control<QPushButton>(sheet, IDOK)->text(), QStringLiteral("OK"));
                QCOMPARE(Control<QPushButton>(sheet, IDCANCEL)->text(), QStringLiteral("Cancel"));
                QCOMPARE(Control<QPushButton>(sheet, ID_APPLY_NOW)->text(),
                         QStringLiteral("Apply"));
                QTreeWidget* pTree = Control<QTreeWidget>(sheet, IDC_PAGE_TREE);
                QCOMPARE(pTree->width(), 180);
                QCOMPARE(pTree->topLevelItemCount(), 1);
                QTreeWidgetItem* pRoot = pTree->topLevelItem(0);
                QCOMPARE(pRoot->text(0), QStringLiteral("Preferences"));
                QStringList children;
                for (int i = 0; i < pRoot->childCount(); ++i)
                    children << pRoot->child(i)->text(0);
                QCOMPARE(children,
                         QStringList({"Language", "Audio Output", "Music", "User Interface"}));
                QVERIFY(!pRoot->child(0)->icon(0).isNull());

                TreePropSheet::CPropPageFrame* pFrame = sheet.GetFrameControl();
                QCOMPARE(sheet.GetActiveIndex(), 0);
                QVERIFY(pFrame->GetShowCaption());
                QCOMPARE(pFrame->GetCaption(), QStringLiteral("Language"));
                pTree->setCurrentItem(pRoot);
                QVERIFY(!pFrame->GetShownPage());
                QCOMPARE(pFrame->GetMsgText(), CStringTable::Get(IDS_DESCRIPTION));
                QVERIFY(!sheet.GetPage(1)->IsInitialized());
                Control<QPushButton>(sheet, IDOK)->click();
            });
        QCOMPARE(Stored("Audio", "SavePath"), Folder("%1/gone/"));
        QCOMPARE(Stored("Misc", "LangInitCode"), QStringLiteral("0409"));
    }

    // In every interface language each page shows its texts whole, and
    // the tree its page names.
    void pagesWholeInEachLanguage_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strPack");
        for (const KbTest::SInterfaceLanguage& language : KbTest::InterfaceLanguages())
            QTest::newRow(qPrintable(language.strRow)) << language.strCode << language.strPack;
    }
    void pagesWholeInEachLanguage()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strPack);
        QTemporaryDir appDir;
        QVERIFY(KbTest::MakeProgramFolder(appDir, {QString(), strCode, strPack}));
        QVERIFY(KbTest::WriteFile(
            IniPath(), KbTest::Utf16(QStringLiteral("[Misc]\r\nUILangID=%1\r\n").arg(strCode))));
        m_pApp = std::make_unique<CSpeechApp>(appDir.path() + QLatin1Char('/'));
        QVERIFY(m_pApp->InitSettings());
        CSpeechDlg dlg;
        WithSheet(
            dlg,
            [&](CMyTreePropSheet& sheet)
            {
                QTreeWidget* pTree = Control<QTreeWidget>(sheet, IDC_PAGE_TREE);
                QVERIFY(pTree->width() >= 180);
                for (int nPage = 0; nPage < sheet.GetPageCount(); ++nPage)
                {
                    sheet.SetActivePage(nPage);
                    QApplication::processEvents();
                    QTreeWidgetItem* pItem = pTree->currentItem();
                    const QRect itemRect = pTree->visualItemRect(pItem);
                    QVERIFY2(
                        itemRect.left() +
                                QFontMetrics(pTree->font()).horizontalAdvance(pItem->text(0)) <=
                            pTree->viewport()->width(),
                        qPrintable(pItem->text(0)));
                    QWidget* pPage = sheet.GetPage(nPage);
                    for (const QWidget* pControl : pPage->findChildren<QWidget*>())
                    {
                        if (!pControl->isVisible())
                            continue;
                        QString strText;
                        bool bWhole = true;
                        if (const auto* pButton = qobject_cast<const QAbstractButton*>(pControl))
                        {
                            strText = pButton->text();
                            bWhole = pButton->width() >= pButton->sizeHint().width();
                        }
                        else if (const auto* pLabel = qobject_cast<const QLabel*>(pControl))
                        {
                            strText = pLabel->text();
                            bWhole = pLabel->wordWrap() ||
                                     QFontMetrics(pLabel->font()).horizontalAdvance(strText) <=
                                         pLabel->contentsRect().width();
                        }
                        QVERIFY2(bWhole, qPrintable(strText));
                        QVERIFY2(pControl->mapTo(pPage, QPoint(pControl->width(), 0)).x() <=
                                     pPage->width(),
                                 qPrintable(pControl->objectName() + QLatin1Char(' ') + strText));
                    }
                }
            });
    }

    // Opening the page repairs the folder and writes the file before the
    // user does anything; Cancel keeps the repair.
    void audioRepairs_data()
    {
        QTest::addColumn<QString>("strSavePath");
        QTest::addColumn<QString>("strRepaired"); // empty: the default save folder
        QTest::newRow("deleted folder") << "%1/gone/" << QString();
        QTest::newRow("no final slash") << "%1"
                                        << "%1/";
        QTest::newRow("not writable") << "/proc/sys/" << QString();
        QTest::newRow("blank") << " " << QString();
    }
    void audioRepairs()
    {
        QFETCH(QString, strSavePath);
        QFETCH(QString, strRepaired);
        StartApp(QStringLiteral("[Audio]\r\nSavePath=%1\r\nSaveType=1\r\n").arg(strSavePath));
        const QString strExpected =
            strRepaired.isEmpty() ? m_pApp->GetDefaultSaveFolder() : Folder(strRepaired);
        SAudioSheet sheet;
        QCOMPARE(Stored("Audio", "SavePath"), strExpected);
        QCOMPARE(sheet.Item<QLineEdit>(IDC_EDIT_SAVE_FOLDER)->text(), strExpected);
        QVERIFY(!sheet.Item<QPushButton>(ID_APPLY_NOW)->isEnabled());
        sheet.Item<QPushButton>(IDCANCEL)->click();
        QCOMPARE(Stored("Audio", "SavePath"), strExpected);
    }

    void audioStoredOnOK_data()
    {
        QTest::addColumn<int>("nSaveType");
        QTest::addColumn<int>("nRadio"); // 0: none clicked
        QTest::addColumn<QString>("strTyped");
        QTest::addColumn<QString>("strSaveType");
        QTest::addColumn<QString>("strSavePath"); // empty: the default save folder
        QTest::newRow("hand-typed folder kept without final slash") << 1 << 0 << "%1/typed"
                                                                    << "1"
                                                                    << "%1/typed";
        QTest::newRow("first radio keeps the folder")
            << 1 << int(IDC_RADIO_ASK_EACH_TIME) << QString() << "0"
            << "%1/";
        QTest::newRow("second radio with an empty field") << 0 << int(IDC_RADIO_USE_FOLDER) << ""
                                                          << "1" << QString();
    }
    void audioStoredOnOK()
    {
        QFETCH(int, nSaveType);
        QFETCH(int, nRadio);
        QFETCH(QString, strTyped);
        QFETCH(QString, strSaveType);
        QFETCH(QString, strSavePath);
        StartApp("[Audio]\r\nSavePath=%1/\r\nSaveType=" + QString::number(nSaveType) + "\r\n");
        SAudioSheet sheet;
        if (nRadio)
            sheet.Item<QRadioButton>(nRadio)->click();
        QLineEdit* pEdit = sheet.Item<QLineEdit>(IDC_EDIT_SAVE_FOLDER);
        QCOMPARE(pEdit->isEnabled(), nRadio ? nRadio == IDC_RADIO_USE_FOLDER : nSaveType == 1);
        if (!strTyped.isNull())
        {
            pEdit->selectAll();
            QTest::keyClick(pEdit, Qt::Key_Delete);
            QTest::keyClicks(pEdit, Folder(strTyped));
        }
        QVERIFY(sheet.Item<QPushButton>(ID_APPLY_NOW)->isEnabled());
        sheet.Item<QPushButton>(IDOK)->click();
        QCOMPARE(Stored("Audio", "SaveType"), strSaveType);
        QCOMPARE(Stored("Audio", "SavePath"),
                 strSavePath.isEmpty() ? m_pApp->GetDefaultSaveFolder() : Folder(strSavePath));
    }

    void audioBrowse_data()
    {
        QTest::addColumn<QString>("strChosen");
        QTest::addColumn<QString>("strField"); // empty: refused, the field unchanged
        QTest::newRow("not writable") << "/proc/sys" << QString();
        QTest::newRow("writable") << "%1/picked"
                                  << "%1/picked/";
    }
    void audioBrowse()
    {
        QFETCH(QString, strChosen);
        QFETCH(QString, strField);
        QVERIFY(QDir().mkpath(Folder("%1/picked")));
        StartApp("[Audio]\r\nSavePath=%1/\r\nSaveType=1\r\n");
        SAudioSheet sheet;
        m_hooks.m_answers.push_back(Folder(strChosen));
        sheet.Item<QPushButton>(IDC_BTN_FOLDER_BROWSE)->click();
        QCOMPARE(m_hooks.m_requests.size(), size_t(1));
        QVERIFY(m_hooks.m_requests[0].bFolder);
        QCOMPARE(m_hooks.m_requests[0].strTitle, QStringLiteral("Browse For Folder"));
        const bool bRefused = strField.isEmpty();
        QCOMPARE(sheet.Item<QLineEdit>(IDC_EDIT_SAVE_FOLDER)->text(),
                 Folder(bRefused ? "%1/" : strField));
        QCOMPARE(sheet.Item<QPushButton>(ID_APPLY_NOW)->isEnabled(), !bRefused);
        QCOMPARE(m_hooks.m_messages.size(), size_t(bRefused ? 1 : 0));
        if (bRefused)
        {
            QCOMPARE(m_hooks.m_messages[0].strText, CStringTable::Get(IDS_NO_PERMISSION));
            QCOMPARE(m_hooks.m_messages[0].strCaption, QStringLiteral("Kestrivane Basic"));
            QCOMPARE(m_hooks.m_messages[0].nFlags, unsigned(CMessageBox::MB_ICONEXCLAMATION));
        }
    }

    // WordTiming is written only when the user changes the box; most files
    // have no such key.
    void wordTiming_data()
    {
        QTest::addColumn<QString>("strLine");
        QTest::addColumn<bool>("bClick");
        QTest::addColumn<QString>("strStored");
        QTest::newRow("untouched, no key") << "" << false << "<no key>";
        QTest::newRow("turned on") << "" << true << "1";
        QTest::newRow("turned off") << "WordTiming=1\r\n" << true << "0";
    }
    void wordTiming()
    {
        QFETCH(QString, strLine);
        QFETCH(bool, bClick);
        QFETCH(QString, strStored);
        StartApp("[Audio]\r\nSavePath=%1/\r\nSaveType=0\r\n" + strLine);
        SAudioSheet sheet;
        QCheckBox* pCheck = sheet.Item<QCheckBox>(IDC_CHECK_WORD_TIMING);
        QCOMPARE(pCheck->text(), CStringTable::Get(IDS_WORD_TIMING));
        QCOMPARE(pCheck->isChecked(), !strLine.isEmpty());
        if (bClick)
            pCheck->click();
        sheet.Item<QPushButton>(IDOK)->click();
        QCOMPARE(Stored("Audio", "SaveType"), QStringLiteral("0"));
        QCOMPARE(Stored("Audio", "WordTiming"), strStored);
    }

    // The list shows and selects the stored code whatever the type; OK
    // without a pick stores both back as they were.
    void languageList_data()
    {
        QTest::addColumn<QString>("strType");
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strSelected");
        QTest::newRow("system language: list disabled, still selected") << "0"
                                                                        << "0409"
                                                                        << "0409";
        QTest::newRow("code in capitals") << "1"
                                          << "0C0A"
                                          << "0c0a";
        QTest::newRow("unknown code") << "1"
                                      << "7777" << QString();
    }
    void languageList()
    {
        QFETCH(QString, strType);
        QFETCH(QString, strCode);
        QFETCH(QString, strSelected);
        StartApp(QStringLiteral("[Misc]\r\nLangInitType=%1\r\nLangInitCode=%2\r\n")
                     .arg(strType, strCode));
        CSpeechDlg dlg;
        WithSheet(dlg,
                  [&](CMyTreePropSheet& sheet)
                  {
                      const QListWidget* pList = Control<QListWidget>(sheet, IDC_LIST_LANGUAGES);
                      QCOMPARE(pList->count(), int(dlg.m_languages.size()));
                      QCOMPARE(pList->isEnabled(), strType == "1");
                      QCOMPARE(Control<QRadioButton>(sheet, IDC_RADIO_SYSTEM_LANGUAGE)->isChecked(),
                               strType == "0");
                      QCOMPARE(SelectedCode(dlg, *pList), strSelected);
                      Control<QPushButton>(sheet, IDOK)->click();
                  });
        QCOMPARE(Stored("Misc", "LangInitType"), strType);
        QCOMPARE(Stored("Misc", "LangInitCode"), strCode);
    }

    void systemLanguageKeepsPickedCode()
    {
        StartApp("[Misc]\r\nLangInitType=1\r\nLangInitCode=0409\r\n");
        CSpeechDlg dlg;
        WithSheet(dlg,
                  [&](CMyTreePropSheet& sheet)
                  {
                      QListWidget* pList = Control<QListWidget>(sheet, IDC_LIST_LANGUAGES);
                      const QList<QListWidgetItem*> spanish =
                          pList->findItems(QStringLiteral("Spanish (Spain)"), Qt::MatchExactly);
                      QCOMPARE(spanish.size(), 1);
                      pList->scrollToItem(spanish.first());
                      QTest::mouseClick(pList->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                                        pList->visualItemRect(spanish.first()).center());
                      QCOMPARE(SelectedCode(dlg, *pList), QStringLiteral("0c0a"));
                      Control<QRadioButton>(sheet, IDC_RADIO_SYSTEM_LANGUAGE)->click();
                      QVERIFY(!pList->isEnabled());
                      Control<QPushButton>(sheet, IDOK)->click();
                  });
        QCOMPARE(Stored("Misc", "LangInitType"), QStringLiteral("0"));
        QCOMPARE(Stored("Misc", "LangInitCode"), QStringLiteral("0c0a"));
    }
};

QTEST_MAIN(CSettingsPagesTest)
#include "tst_settingspages.moc"
