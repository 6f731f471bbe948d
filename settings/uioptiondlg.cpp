#include "settings/uioptiondlg.h"

#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "widgets/colorbutton.h"
#include "widgets/digistatic.h"
#include "widgets/syscolor.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace
{
// The languages the program has interface texts for.
const char* const g_uiLanguages[] = {"0409", "0c0a", "0804", "0416"};

bool IsUILanguage(const QString& strCode)
{
    for (const char* pszCode : g_uiLanguages)
    {
        if (strCode.compare(QLatin1String(pszCode), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Colour values go to the settings file as "%d" writes them.
QString ColourText(COLORREF cr)
{
    return QString::number(qint32(cr));
}
} // namespace

struct CUIOptionDLG::SColourItem
{
    int nButtonId;
    const char* pszSection;
    const char* pszKey;
    CColorButton* CUIOptionDLG::*pButton;
    COLORREF CUIOptionDLG::*pColour;
    bool CUIOptionDLG::*pChanged;
    COLORREF (*fnDefault)();
    void (*fnApply)(CSpeechDlg& dlg, COLORREF cr);
};

// In the order OK applies them.
const CUIOptionDLG::SColourItem CUIOptionDLG::s_colourItems[] = {
    {IDC_BTN_BUTTON_COLOR, "Button", "ColorBKIN", &CUIOptionDLG::m_btnButtonHighlight,
     &CUIOptionDLG::m_crButtonHighlight, &CUIOptionDLG::m_bButtonHighlightChanged,
     [] { return COLORREF(0xFFFFFF); },
     [](CSpeechDlg& dlg, COLORREF cr) { dlg.SetButtonHoverColor(cr); }},
    {IDC_BTN_TIMER_COLOR, "Timer", "Color", &CUIOptionDLG::m_btnTimer, &CUIOptionDLG::m_crTimer,
     &CUIOptionDLG::m_bTimerChanged, [] { return COLORREF(0x32FF00); },
     [](CSpeechDlg& dlg, COLORREF cr)
     { dlg.GetTimeDisplay()->SetColor(GetSysColor(COLOR_BTNFACE), cr); }},
    {IDC_BTN_BAR_COLOR, "ProgressBar", "BarColor", &CUIOptionDLG::m_btnBar, &CUIOptionDLG::m_crBar,
     &CUIOptionDLG::m_bBarChanged, [] { return COLORREF(0x32FF00); },
     [](CSpeechDlg& dlg, COLORREF cr) { dlg.GetProgressBar()->SetBarColor(cr); }},
    {IDC_BTN_BAR_BK_COLOR, "ProgressBar", "BarBkColor", &CUIOptionDLG::m_btnBarBack,
     &CUIOptionDLG::m_crBarBack, &CUIOptionDLG::m_bBarBackChanged,
     [] { return GetSysColor(COLOR_BTNFACE); },
     [](CSpeechDlg& dlg, COLORREF cr) { dlg.GetProgressBar()->SetBkColor(cr); }},
    {IDC_BTN_TEXT_COLOR, "ProgressBar", "TextColor", &CUIOptionDLG::m_btnTextOnBar,
     &CUIOptionDLG::m_crTextOnBar, &CUIOptionDLG::m_bTextOnBarChanged, [] { return COLORREF(0); },
     [](CSpeechDlg& dlg, COLORREF cr) { dlg.GetProgressBar()->SetTextColor(cr); }},
    {IDC_BTN_TEXT_BK_COLOR, "ProgressBar", "TextBkColor", &CUIOptionDLG::m_btnTextOnBack,
     &CUIOptionDLG::m_crTextOnBack, &CUIOptionDLG::m_bTextOnBackChanged, [] { return COLORREF(0); },
     [](CSpeechDlg& dlg, COLORREF cr) { dlg.GetProgressBar()->SetTextBkColor(cr); }},
};

CUIOptionDLG::CUIOptionDLG(QWidget* pParent) : CPropertyPage(IDD_PROPPAGE_UI, pParent)
{
    auto label = [this](int nId)
    {
        auto* pLabel = new QLabel(this);
        pLabel->setObjectName(QString::number(nId));
        return pLabel;
    };
    m_staticUILanguage = label(IDC_STATIC_UI_LANGUAGE);
    m_staticButtonHighlight = label(IDC_STATIC_BUTTON_COLOR);
    m_staticTimer = label(IDC_STATIC_TIMER_COLOR);
    m_staticBar = label(IDC_STATIC_BAR_COLOR);
    m_staticBarBack = label(IDC_STATIC_BAR_BK_COLOR);
    m_staticTextOnBar = label(IDC_STATIC_TEXT_COLOR);
    m_staticTextOnBack = label(IDC_STATIC_TEXT_BK_COLOR);
    m_groupProgressBar = new QGroupBox(this);
    m_groupProgressBar->setObjectName(QString::number(IDC_GROUP_PROGRESS_BAR));
    m_cmbUILanguage = new QComboBox(this);
    m_cmbUILanguage->setObjectName(QString::number(IDC_COMBO_UI_LANGUAGE));
    for (const SColourItem& item : s_colourItems)
    {
        auto* pButton = new CColorButton(this);
        pButton->setObjectName(QString::number(item.nButtonId));
        pButton->setMinimumSize(60, 24);
        this->*item.pButton = pButton;
    }

    auto* pTop = new QGridLayout;
    pTop->addWidget(m_staticUILanguage, 0, 0);
    pTop->addWidget(m_cmbUILanguage, 0, 1);
    pTop->addWidget(m_staticButtonHighlight, 1, 0);
    pTop->addWidget(m_btnButtonHighlight, 1, 1, Qt::AlignLeft);
    pTop->addWidget(m_staticTimer, 2, 0);
    pTop->addWidget(m_btnTimer, 2, 1, Qt::AlignLeft);
    auto* pBarGrid = new QGridLayout(m_groupProgressBar);
    pBarGrid->addWidget(m_staticBar, 0, 0);
    pBarGrid->addWidget(m_btnBar, 0, 1, Qt::AlignLeft);
    pBarGrid->addWidget(m_staticBarBack, 1, 0);
    pBarGrid->addWidget(m_btnBarBack, 1, 1, Qt::AlignLeft);
    pBarGrid->addWidget(m_staticTextOnBar, 2, 0);
    pBarGrid->addWidget(m_btnTextOnBar, 2, 1, Qt::AlignLeft);
    pBarGrid->addWidget(m_staticTextOnBack, 3, 0);
    pBarGrid->addWidget(m_btnTextOnBack, 3, 1, Qt::AlignLeft);
    auto* pPage = new QVBoxLayout(this);
    pPage->addLayout(pTop);
    pPage->addWidget(m_groupProgressBar);
    pPage->addStretch(1);

    // The page's message map.
    connect(m_cmbUILanguage, &QComboBox::activated, this, &CUIOptionDLG::OnUILanguageSelected);
    for (const SColourItem& item : s_colourItems)
        connect(this->*item.pButton, &CColorButton::PickerChosen, this,
                &CUIOptionDLG::OnColourChosen);
}

CSpeechDlg* CUIOptionDLG::MainWindow()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
    {
        if (auto* pDlg = qobject_cast<CSpeechDlg*>(pWidget))
            return pDlg;
    }
    return nullptr;
}

bool CUIOptionDLG::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CSpeechApp* pApp = CSpeechApp::GetApp();
    if (!pApp)
        return false;
    m_staticUILanguage->setText(CStringTable::Get(IDS_UI_LANGUAGE));
    m_staticButtonHighlight->setText(CStringTable::Get(IDS_BUTTON_COLOR));
    m_staticTimer->setText(CStringTable::Get(IDS_TIMER_COLOR));
    m_groupProgressBar->setTitle(CStringTable::Get(IDS_PROGRESS_BAR));
    m_staticBar->setText(CStringTable::Get(IDS_BAR_COLOR));
    m_staticBarBack->setText(CStringTable::Get(IDS_BAR_BK_COLOR));
    m_staticTextOnBar->setText(CStringTable::Get(IDS_TEXT_COLOR));
    m_staticTextOnBack->setText(CStringTable::Get(IDS_TEXT_BK_COLOR));

    const QString strCode = pApp->GetSetting(QStringLiteral("Misc"), QStringLiteral("UILangID"),
                                             QStringLiteral("0409"));
    m_cmbUILanguage->clear();
    int nSelected = -1;
    if (const CSpeechDlg* pMain = MainWindow())
    {
        // The catalogue is in name order already, the order a sorted list
        // keeps.
        for (const LanguageRecord& record : pMain->m_languages)
        {
            if (!IsUILanguage(record.szCode))
                continue;
            if (record.szCode.compare(strCode, Qt::CaseInsensitive) == 0)
                nSelected = m_cmbUILanguage->count();
            m_cmbUILanguage->addItem(record.szDisplayName);
        }
    }
    m_cmbUILanguage->setCurrentIndex(nSelected);

    for (const SColourItem& item : s_colourItems)
    {
        const QString strSection = QLatin1String(item.pszSection);
        const QString strKey = QLatin1String(item.pszKey);
        const COLORREF crDefault = item.fnDefault();
        const QString strValue = pApp->GetSetting(strSection, strKey, QString());
        COLORREF cr = crDefault;
        if (strValue.isEmpty())
            pApp->SetSetting(strSection, strKey, ColourText(crDefault));
        else
            cr = COLORREF(strValue.toLongLong());
        CColorButton* pButton = this->*item.pButton;
        pButton->SetColor(cr);
        pButton->SetFallbackColour(crDefault);
        pButton->SetHoverPreview(true);
        pButton->SetFallbackBoxText(CStringTable::Get(IDS_DEFAULT_COLOR));
        pButton->SetCustomBoxText(CStringTable::Get(IDS_MORE_COLORS));
    }
    pApp->SaveSettings();
    return true;
}

void CUIOptionDLG::OnUILanguageSelected()
{
    const QString strName = m_cmbUILanguage->currentText();
    if (const CSpeechDlg* pMain = MainWindow())
    {
        for (const LanguageRecord& record : pMain->m_languages)
        {
            if (record.szDisplayName.compare(strName, Qt::CaseInsensitive) == 0)
            {
                m_strUILangID = record.szCode;
                break;
            }
        }
    }
    m_bUILangChanged = true;
    SetModified();
}

void CUIOptionDLG::OnColourChosen(COLORREF /*cr*/, int nId)
{
    for (const SColourItem& item : s_colourItems)
    {
        if (item.nButtonId != nId)
            continue;
        this->*item.pColour = (this->*item.pButton)->GetColor();
        this->*item.pChanged = true;
    }
    SetModified();
}

void CUIOptionDLG::OnOK()
{
    CSpeechApp* pApp = CSpeechApp::GetApp();
    if (!pApp)
        return;
    CSpeechDlg* pMain = MainWindow();
    if (m_bUILangChanged)
    {
        pApp->SetSetting(QStringLiteral("Misc"), QStringLiteral("UILangID"), m_strUILangID);
        if (pMain)
            pMain->ApplyUILanguage(m_strUILangID);
    }
    for (const SColourItem& item : s_colourItems)
    {
        if (!(this->*item.pChanged))
            continue;
        const COLORREF cr = this->*item.pColour;
        pApp->SetSetting(QLatin1String(item.pszSection), QLatin1String(item.pszKey),
                         ColourText(cr));
        if (pMain)
            item.fnApply(*pMain, cr);
    }
    pApp->SaveSettings();
}
