#include "app/settingsstore.h"
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "settings/uioptiondlg.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/buttonst.h"
#include "widgets/colorbutton.h"
#include "widgets/colourpopup.h"
#include "widgets/digistatic.h"
#include "widgets/syscolor.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using KbTest::Item;

namespace
{
constexpr int OUTSIDE = -100;

// Moves the mouse onto a box of the button's open popup and releases it
// there; OUTSIDE releases it beyond the popup.
void ReleaseOn(CColorButton* pButton, int nBox)
{
    CColourPopup* pPopup = pButton->GetPopup();
    const QPoint point =
        nBox == OUTSIDE ? QPoint(-5, pPopup->height() + 5) : pPopup->GetBoxRect(nBox).center();
    QMouseEvent move(QEvent::MouseMove, point, pPopup->mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pPopup, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, point, pPopup->mapToGlobal(point),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pPopup, &release);
}

// The colour the main window shows for a colour button of the page.
COLORREF Applied(const CSpeechDlg& dlg, int nButtonId)
{
    switch (nButtonId)
    {
    case IDC_BTN_BUTTON_COLOR:
        return Item<CButtonST>(dlg, IDC_BTN_SPEAK)->GetStateColour(CButtonST::BTNST_COLOR_BK_IN);
    case IDC_BTN_TIMER_COLOR:
        return dlg.GetTimeDisplay()->GetOnColor();
    case IDC_BTN_BAR_COLOR:
        return dlg.GetProgressBar()->GetBarColor();
    case IDC_BTN_BAR_BK_COLOR:
        return dlg.GetProgressBar()->GetBkColor();
    case IDC_BTN_TEXT_COLOR:
        return dlg.GetProgressBar()->GetTextColor();
    default:
        return dlg.GetProgressBar()->GetTextBkColor();
    }
}

const int g_colourButtons[] = {IDC_BTN_BUTTON_COLOR, IDC_BTN_TIMER_COLOR, IDC_BTN_BAR_COLOR,
                               IDC_BTN_BAR_BK_COLOR, IDC_BTN_TEXT_COLOR,  IDC_BTN_TEXT_BK_COLOR};
} // namespace

class CUIOptionDlgTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    KbTest::CDialogHooks m_hooks;

    QString IniPath() const
    {
        return m_pHome->path() +
               QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini");
    }
    void WriteSettings(const QString& strText)
    {
        QDir().mkpath(QFileInfo(IniPath()).absolutePath());
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(KbTest::Utf16(strText));
    }
    // What the settings file on disk holds.
    QString Saved(const QString& strSection, const QString& strKey) const
    {
        CSettingsStore store;
        return store.Load(IniPath()) ? store.GetValue(strSection, strKey) : QStringLiteral("?");
    }
    void StartApp(const QString& strAppDir = QStringLiteral(KB_BIN_DIR))
    {
        m_pApp = std::make_unique<CSpeechApp>(strAppDir);
        m_pApp->InitSettings();
    }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        m_hooks.Install();
    }
    void cleanup()
    {
        KbTest::EndApp(m_pApp);
        m_hooks.Remove();
        m_pHome.reset();
    }

    void emptyKeysGetDefaultsOnOpening_data()
    {
        QTest::addColumn<int>("nButton");
        QTest::addColumn<QString>("strSection");
        QTest::addColumn<QString>("strKey");
        QTest::addColumn<QString>("strPreset");
        QTest::addColumn<COLORREF>("crExpected");
        QTest::addColumn<COLORREF>("crFallback");
        const COLORREF crFace = GetSysColor(COLOR_BTNFACE);
        QTest::newRow("button highlight") << IDC_BTN_BUTTON_COLOR << "Button"
                                          << "ColorBKIN"
                                          << "" << COLORREF(16777215) << COLORREF(16777215);
        QTest::newRow("timer") << IDC_BTN_TIMER_COLOR << "Timer"
                               << "Color"
                               << "" << COLORREF(3342080) << COLORREF(3342080);
        QTest::newRow("bar") << IDC_BTN_BAR_COLOR << "ProgressBar"
                             << "BarColor"
                             << "" << COLORREF(3342080) << COLORREF(3342080);
        QTest::newRow("bar back") << IDC_BTN_BAR_BK_COLOR << "ProgressBar"
                                  << "BarBkColor"
                                  << "" << crFace << crFace;
        QTest::newRow("text on bar") << IDC_BTN_TEXT_COLOR << "ProgressBar"
                                     << "TextColor"
                                     << "" << COLORREF(0) << COLORREF(0);
        QTest::newRow("text on back") << IDC_BTN_TEXT_BK_COLOR << "ProgressBar"
                                      << "TextBkColor"
                                      << "" << COLORREF(0) << COLORREF(0);
        QTest::newRow("a set value is kept") << IDC_BTN_TIMER_COLOR << "Timer"
                                             << "Color"
                                             << "12345" << COLORREF(12345) << COLORREF(3342080);
    }
    void emptyKeysGetDefaultsOnOpening()
    {
        QFETCH(int, nButton);
        QFETCH(QString, strSection);
        QFETCH(QString, strKey);
        QFETCH(QString, strPreset);
        QFETCH(COLORREF, crExpected);
        QFETCH(COLORREF, crFallback);
        StartApp();
        CSpeechDlg dlg;
        // The window fills empty keys at start-up too; the page must not
        // rely on it.
        m_pApp->SetSetting(strSection, strKey, strPreset);
        m_pApp->SaveSettings();
        QCOMPARE(Saved(strSection, strKey), strPreset);

        CUIOptionDLG page;
        QVERIFY(page.InitPage());
        QCOMPARE(Saved(strSection, strKey), QString::number(crExpected));
        auto* pButton = page.findChild<CColorButton*>(QString::number(nButton));
        QCOMPARE(pButton->GetColor(), crExpected);
        QCOMPARE(pButton->GetFallbackColour(), crFallback);
        QVERIFY(pButton->GetHoverPreview());
        QCOMPARE(pButton->GetFallbackBoxText(), QStringLiteral("Default color"));
        QCOMPARE(pButton->GetCustomBoxText(), QStringLiteral("More colors..."));
        QVERIFY(!page.IsModified());
    }

    void defaultColourBox_data()
    {
        QTest::addColumn<int>("nButton");
        QTest::addColumn<QString>("strSection");
        QTest::addColumn<QString>("strKey");
        QTest::addColumn<COLORREF>("crDefault");
        QTest::newRow("timer") << IDC_BTN_TIMER_COLOR << "Timer"
                               << "Color" << COLORREF(3342080);
        QTest::newRow("button highlight") << IDC_BTN_BUTTON_COLOR << "Button"
                                          << "ColorBKIN" << COLORREF(16777215);
    }
    void defaultColourBox()
    {
        QFETCH(int, nButton);
        QFETCH(QString, strSection);
        QFETCH(QString, strKey);
        QFETCH(COLORREF, crDefault);
        WriteSettings("[Timer]\r\nColor=255\r\n[Button]\r\nColorBKIN=255\r\n");
        StartApp();
        CSpeechDlg dlg;
        CUIOptionDLG page;
        page.show();
        QVERIFY(page.InitPage());
        auto* pButton = page.findChild<CColorButton*>(QString::number(nButton));
        pButton->click();
        ReleaseOn(pButton, CColourPopup::BOX_FALLBACK);
        QCOMPARE(pButton->GetColor(), crDefault);
        QVERIFY(page.IsModified());
        page.OnOK();
        QCOMPARE(Saved(strSection, strKey), QString::number(crDefault));
        QCOMPARE(Applied(dlg, nButton), crDefault);
    }

    void cancelledPopupChangesNothing()
    {
        WriteSettings("[Timer]\r\nColor=255\r\n");
        StartApp();
        CSpeechDlg dlg;
        CUIOptionDLG page;
        page.show();
        QVERIFY(page.InitPage());
        auto* pButton = page.findChild<CColorButton*>(QString::number(IDC_BTN_TIMER_COLOR));
        pButton->click();
        // The hover preview shows blue, then the release outside undoes it.
        const QPoint onBlue = pButton->GetPopup()->GetBoxRect(13).center();
        QMouseEvent move(QEvent::MouseMove, onBlue, pButton->GetPopup()->mapToGlobal(onBlue),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pButton->GetPopup(), &move);
        QCOMPARE(pButton->GetColor(), COLORREF(0xFF0000));
        ReleaseOn(pButton, OUTSIDE);
        QCOMPARE(pButton->GetColor(), COLORREF(255));
        QVERIFY(!page.IsModified());
        QVERIFY(!page.m_bTimerChanged);
        page.OnOK();
        QCOMPARE(Saved("Timer", "Color"), QStringLiteral("255"));
        QCOMPARE(dlg.GetTimeDisplay()->GetOnColor(), COLORREF(255));
    }

    void comboListsInterfaceLanguages_data()
    {
        QTest::addColumn<QString>("strUILangID");
        QTest::addColumn<QString>("strSelected");
        QTest::newRow("Spanish") << "0c0a"
                                 << "Spanish (Spain)";
        QTest::newRow("code in capitals") << "0C0A"
                                          << "Spanish (Spain)";
        QTest::newRow("none set") << ""
                                  << "English (US)";
        QTest::newRow("a language without interface texts") << "0407"
                                                            << "";
    }
    void comboListsInterfaceLanguages()
    {
        QFETCH(QString, strUILangID);
        QFETCH(QString, strSelected);
        StartApp();
        CSpeechDlg dlg;
        // Set after start-up, which puts back "0409" when it cannot load the
        // language's library.
        m_pApp->SetSetting("Misc", "UILangID", strUILangID);
        CUIOptionDLG page;
        QVERIFY(page.InitPage());
        auto* pCombo = page.findChild<QComboBox*>(QString::number(IDC_COMBO_UI_LANGUAGE));
        QStringList items;
        for (int i = 0; i < pCombo->count(); ++i)
            items.append(pCombo->itemText(i));
        QVERIFY(dlg.m_languages.size() > 4);
        QCOMPARE(items, (QStringList{"Chinese (Simplified)", "English (US)", "Portuguese (Brazil)",
                                     "Spanish (Spain)"}));
        QCOMPARE(pCombo->currentText(), strSelected);
        QCOMPARE(page.findChild<QLabel*>(QString::number(IDC_STATIC_UI_LANGUAGE))->text(),
                 QStringLiteral("User interface language:"));
        QCOMPARE(page.GetCaption(), QStringLiteral("Preferences::User Interface"));
    }

    void okAppliesOnlyTheChangedColour_data()
    {
        QTest::addColumn<int>("nButton");
        QTest::addColumn<QString>("strSection");
        QTest::addColumn<QString>("strKey");
        QTest::addColumn<int>("nCell");
        QTest::addColumn<QString>("strStored");
        QTest::newRow("button highlight") << IDC_BTN_BUTTON_COLOR << "Button"
                                          << "ColorBKIN" << 24 << "13353215";
        QTest::newRow("timer") << IDC_BTN_TIMER_COLOR << "Timer"
                               << "Color" << 16 << "255";
        QTest::newRow("bar") << IDC_BTN_BAR_COLOR << "ProgressBar"
                             << "BarColor" << 13 << "16711680";
        QTest::newRow("bar back") << IDC_BTN_BAR_BK_COLOR << "ProgressBar"
                                  << "BarBkColor" << 34 << "14745599";
        QTest::newRow("text on bar") << IDC_BTN_TEXT_COLOR << "ProgressBar"
                                     << "TextColor" << 39 << "16777215";
        QTest::newRow("text on back") << IDC_BTN_TEXT_BK_COLOR << "ProgressBar"
                                      << "TextBkColor" << 9 << "2124031";
    }
    void okAppliesOnlyTheChangedColour()
    {
        QFETCH(int, nButton);
        QFETCH(QString, strSection);
        QFETCH(QString, strKey);
        QFETCH(int, nCell);
        QFETCH(QString, strStored);
        StartApp();
        CSpeechDlg dlg;
        std::map<int, COLORREF> before;
        for (int nId : g_colourButtons)
            before[nId] = Applied(dlg, nId);
        const COLORREF crZoom = Item<CButtonST>(dlg, IDC_BTN_ZOOMIN)->GetStateColour(0);
        CUIOptionDLG page;
        page.show();
        QVERIFY(page.InitPage());
        auto* pButton = page.findChild<CColorButton*>(QString::number(nButton));
        pButton->click();
        ReleaseOn(pButton, nCell);
        const COLORREF crChosen = CColourPopup::GetColour(nCell);
        QCOMPARE(pButton->GetColor(), crChosen);

        page.OnOK();
        QCOMPARE(Saved(strSection, strKey), strStored);
        for (int nId : g_colourButtons)
            QCOMPARE(Applied(dlg, nId), nId == nButton ? crChosen : before[nId]);
        if (nButton == IDC_BTN_TIMER_COLOR)
            QCOMPARE(dlg.GetTimeDisplay()->GetOffColor(), GetSysColor(COLOR_BTNFACE));
        if (nButton == IDC_BTN_BUTTON_COLOR)
        {
            for (int nId : {1001, 1002, 1003, 1056, 1054, 1036, 1042, 1007, 1008, 1010, 1043, 1040})
                QCOMPARE(Item<CButtonST>(dlg, nId)->GetStateColour(0), crChosen);
            for (int nId : {IDC_BTN_ZOOMIN, IDC_BTN_ZOOMOUT})
                QCOMPARE(Item<CButtonST>(dlg, nId)->GetStateColour(0), crZoom);
        }
        // The changed flag stays: a second Apply stores the choice again.
        m_pApp->SetSetting(strSection, strKey, QStringLiteral("1"));
        page.OnOK();
        QCOMPARE(Saved(strSection, strKey), strStored);
    }

    void okSwitchesTheInterfaceLanguage()
    {
        QTemporaryDir appDir;
        QVERIFY(QFile::copy(KB_BIN_DIR "imagelib.rcc", appDir.filePath("imagelib.rcc")));
        QVERIFY(QDir(appDir.path()).mkdir("Languages"));
        QVERIFY(QFile::copy(KB_TEST_BUILD_DIR "Languages/LangESP.qm",
                            appDir.filePath("Languages/LangESP.qm")));
        StartApp(appDir.path() + "/");
        CSpeechDlg dlg;
        CUIOptionDLG page;
        page.show();
        QVERIFY(page.InitPage());
        auto* pCombo = page.findChild<QComboBox*>(QString::number(IDC_COMBO_UI_LANGUAGE));
        QCOMPARE(pCombo->currentText(), QStringLiteral("English (US)"));
        QTest::keyClick(pCombo, Qt::Key_Down);
        QTest::keyClick(pCombo, Qt::Key_Down);
        QCOMPARE(page.m_strUILangID, QStringLiteral("0c0a"));
        QVERIFY(page.IsModified());
        page.OnOK();
        QCOMPARE(Saved("Misc", "UILangID"), QStringLiteral("0c0a"));
        QCOMPARE(Item<QAbstractButton>(dlg, IDC_BTN_SPEAK)->text(), QStringLiteral("Hablar"));
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Kestrivane Básico"));
    }
};

QTEST_MAIN(CUIOptionDlgTest)
#include "tst_uioptiondlg.moc"
