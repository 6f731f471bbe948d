#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "settings/mytreepropsheet.h"
#include "tests/support/windowtest.h"
#include "widgets/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <map>

namespace
{
// Every text the window shows, by where it shows: controls by id, menu
// entries by position, the language box's rows by index.
using CTexts = std::map<QString, QString>;

CTexts VisibleTexts(const CSpeechDlg& dlg)
{
    CTexts texts;
    for (const QAbstractButton* pButton : dlg.findChildren<QAbstractButton*>())
        if (pButton->isVisible() && !pButton->text().isEmpty())
            texts[QStringLiteral("control ") + pButton->objectName()] = pButton->text();
    for (const QLabel* pLabel : dlg.findChildren<QLabel*>())
        if (pLabel->isVisible() && !pLabel->text().isEmpty())
            texts[QStringLiteral("control ") + pLabel->objectName()] = pLabel->text();
    const QMenuBar* pMenuBar = dlg.findChild<QMenuBar*>(QString::number(IDR_MAINMENU));
    int nTop = 0;
    for (const QAction* pTop : pMenuBar->actions())
    {
        texts[QStringLiteral("menu %1").arg(nTop)] = pTop->text();
        int nItem = 0;
        for (const QAction* pItem : pTop->menu()->actions())
            if (!pItem->isSeparator())
                texts[QStringLiteral("menu %1.%2").arg(nTop).arg(nItem++)] = pItem->text();
        ++nTop;
    }
    const auto* pLanguages = KbTest::Item<QComboBox>(dlg, IDC_COMBO_LANGUAGE);
    for (int i = 0; i < pLanguages->count(); ++i)
        texts[QStringLiteral("language %1").arg(i)] = pLanguages->itemText(i);
    return texts;
}

// Texts that read the same in every language: numbers of the scales and
// the clock.
bool IsLanguageNeutral(const QString& strText)
{
    static const QRegularExpression numbers(QStringLiteral("^[-0-9: ]*$"));
    return numbers.match(strText).hasMatch();
}
} // namespace

class CUILanguageTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KbTest::CTestHome> m_pTest;

private Q_SLOTS:
    void init()
    {
        m_pTest = std::make_unique<KbTest::CTestHome>();
        m_pTest->m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        QVERIFY(m_pTest->m_pApp->InitSettings());
    }
    void cleanup() { m_pTest.reset(); }

    void liveSwitchAndBack_data()
    {
        QTest::addColumn<QString>("code");
        // Words a language shares with English.
        QTest::addColumn<QStringList>("same");
        QTest::newRow("spanish") << "0c0a" << QStringList();
        QTest::newRow("chinese") << "0804" << QStringList();
        QTest::newRow("portuguese") << "0416" << QStringList{QStringLiteral("Volume: 100")};
    }
    void liveSwitchAndBack()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, same);
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const CTexts english = VisibleTexts(dlg);
        const QUrl englishPage = KbTest::Item<QTextBrowser>(dlg, IDC_BROWSER)->source();

        dlg.ApplyUILanguage(code);
        const CTexts translated = VisibleTexts(dlg);
        QCOMPARE(translated.size(), english.size());
        for (const auto& [strWhere, strText] : english)
        {
            if (IsLanguageNeutral(strText) || strText == QLatin1String("Kestrivane Basic") ||
                same.contains(strText))
                continue;
            QVERIFY2(translated.at(strWhere) != strText,
                     qPrintable(strWhere + QStringLiteral(" still reads ") + strText));
        }
        // Nothing cut: each label and button holds its whole text.
        for (const QLabel* pLabel : dlg.findChildren<QLabel*>())
            if (pLabel->isVisible() && !pLabel->text().isEmpty())
                QVERIFY2(QFontMetrics(pLabel->font()).horizontalAdvance(pLabel->text()) <=
                             pLabel->contentsRect().width(),
                         qPrintable(pLabel->text()));
        QVERIFY(KbTest::Item<QTextBrowser>(dlg, IDC_BROWSER)->source() != englishPage);

        dlg.ApplyUILanguage(QStringLiteral("0409"));
        QCOMPARE(VisibleTexts(dlg), english);
        QCOMPARE(KbTest::Item<QTextBrowser>(dlg, IDC_BROWSER)->source(), englishPage);
        QVERIFY(m_pTest->m_messages.isEmpty());
    }

    void missingLibraryChangesNothing()
    {
        // A program folder without language libraries.
        QTemporaryDir appDir;
        QVERIFY(QFile::copy(KB_BIN_DIR "imagelib.rcc", appDir.filePath("imagelib.rcc")));
        KbTest::EndApp(m_pTest->m_pApp);
        m_pTest->m_pApp = std::make_unique<CSpeechApp>(appDir.path() + QLatin1Char('/'));
        QVERIFY(m_pTest->m_pApp->InitSettings());
        CSpeechDlg dlg;
        dlg.show();
        const CTexts before = VisibleTexts(dlg);
        dlg.ApplyUILanguage(QStringLiteral("0c0a"));
        QCOMPARE(VisibleTexts(dlg), before);
    }

    void menuCommandsSurviveSwitch()
    {
        CSpeechDlg dlg;
        dlg.ApplyUILanguage(QStringLiteral("0c0a"));
        dlg.ApplyUILanguage(QStringLiteral("0409"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(dlg.findChildren<QAction*>(QString::number(ID_HELP_ABOUT)).size(), 1);
        auto* pAbout = dlg.findChild<QAction*>(QString::number(ID_HELP_ABOUT));
        QVERIFY(pAbout);
        bool bOpened = false;
        QTimer::singleShot(0,
                           [&bOpened]()
                           {
                               if (QWidget* pModal = QApplication::activeModalWidget())
                               {
                                   bOpened = pModal->objectName() == QString::number(IDD_ABOUTBOX);
                                   pModal->close();
                               }
                           });
        pAbout->trigger();
        QVERIFY(bOpened);
    }

    // A language applied from the settings sheet renames the menu the sheet
    // was opened from, and the sheet's loop runs on before it closes: the
    // menu whose call opened the sheet must still be there.
    void switchFromSheetOpenedByMenu()
    {
        CSpeechDlg dlg;
        dlg.show();
        QAction* pSettings = dlg.findChild<QAction*>(QString::number(ID_OPTION_SETTINGS));
        const QString strEnglish = pSettings->text();
        bool bApplied = false;
        QTimer::singleShot(
            0,
            [&bApplied]()
            {
                auto* pSheet = qobject_cast<CMyTreePropSheet*>(QApplication::activeModalWidget());
                if (!pSheet)
                    return;
                auto* pTree = pSheet->findChild<QTreeWidget*>(QString::number(IDC_PAGE_TREE));
                QTreeWidgetItem* pRoot = pTree->topLevelItem(0);
                pTree->setCurrentItem(pRoot->child(pRoot->childCount() - 1));
                auto* pCombo =
                    pSheet->findChild<QComboBox*>(QString::number(IDC_COMBO_UI_LANGUAGE));
                const int nSpanish = pCombo->findText(QStringLiteral("Spanish (Spain)"));
                pCombo->setCurrentIndex(nSpanish);
                Q_EMIT pCombo->activated(nSpanish);
                pSheet->findChild<QPushButton*>(QString::number(ID_APPLY_NOW))->click();
                bApplied = true;
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                pSheet->reject();
            });
        pSettings->trigger();
        QVERIFY(bApplied);
        QCOMPARE(dlg.findChildren<QAction*>(QString::number(ID_OPTION_SETTINGS)).size(), 1);
        QVERIFY(pSettings->text() != strEnglish);
        dlg.ApplyUILanguage(QStringLiteral("0409"));
        QCOMPARE(pSettings->text(), strEnglish);
    }
};

QTEST_MAIN(CUILanguageTest)
#include "tst_uilanguage.moc"
