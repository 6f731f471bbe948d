#include "settings/langprefer.h"

#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/languagecatalogue.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>

namespace
{
const QString g_strSection = QStringLiteral("Misc");
} // namespace

CLangPrefer::CLangPrefer(const CSpeechDlg* pMainWnd, QWidget* pParent)
    : CPropertyPage(IDD_PROPPAGE_LANGUAGE, pParent), m_pMainWnd(pMainWnd)
{
    auto named = [this](auto* pWidget, int nId)
    {
        pWidget->setObjectName(QString::number(nId));
        pWidget->setParent(this);
        return pWidget;
    };
    m_staticInfo = named(new QLabel, IDC_STATIC_PAGE_INFO);
    m_staticInfo->setWordWrap(true);
    m_radioSystemLanguage = named(new QRadioButton, IDC_RADIO_SYSTEM_LANGUAGE);
    m_radioMoreLanguages = named(new QRadioButton, IDC_RADIO_MORE_LANGUAGES);
    m_listLanguages = named(new QListWidget, IDC_LIST_LANGUAGES);
    m_listLanguages->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* pListRow = new QHBoxLayout;
    pListRow->addSpacing(20);
    pListRow->addWidget(m_listLanguages, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_staticInfo);
    pLayout->addWidget(m_radioSystemLanguage);
    pLayout->addWidget(m_radioMoreLanguages);
    pLayout->addLayout(pListRow, 1);

    // The window's message map.
    connect(m_radioSystemLanguage, &QRadioButton::clicked, this, &CLangPrefer::OnSystemLanguage);
    connect(m_radioMoreLanguages, &QRadioButton::clicked, this, &CLangPrefer::OnMoreLanguages);
    connect(m_listLanguages, &QListWidget::itemSelectionChanged, this,
            &CLangPrefer::OnLanguageSelected);
}

bool CLangPrefer::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_staticInfo->setText(CStringTable::Get(IDS_LANG_INIT));
    m_radioSystemLanguage->setText(CStringTable::Get(IDS_LANG_SYSTEM));
    m_radioMoreLanguages->setText(CStringTable::Get(IDS_LANG_MORE));

    const CSpeechApp* pApp = CSpeechApp::GetApp();
    m_nInitType =
        pApp->GetSetting(g_strSection, QStringLiteral("LangInitType"), QStringLiteral("1")).toInt();
    m_strLangCode =
        pApp->GetSetting(g_strSection, QStringLiteral("LangInitCode"), QStringLiteral("0409"));
    FillLanguageList(m_strLangCode);

    if (m_nInitType == 0)
    {
        m_radioSystemLanguage->setChecked(true);
        m_listLanguages->setEnabled(false);
    }
    else if (m_nInitType == 1)
    {
        m_radioMoreLanguages->setChecked(true);
        m_listLanguages->setEnabled(true);
    }
    return true;
}

void CLangPrefer::FillLanguageList(const QString& strCode)
{
    const QSignalBlocker blocker(m_listLanguages);
    m_listLanguages->clear();
    if (!m_pMainWnd)
        return;
    QListWidgetItem* pSelected = nullptr;
    for (const LanguageRecord& record : m_pMainWnd->m_languages)
    {
        // A sorted list: each name goes after the last one not above it.
        int nRow = m_listLanguages->count();
        while (nRow > 0 && CLanguageCatalogue::DisplayNameLess(
                               record.szDisplayName, m_listLanguages->item(nRow - 1)->text()))
            --nRow;
        auto* pItem = new QListWidgetItem(record.szDisplayName);
        m_listLanguages->insertItem(nRow, pItem);
        if (record.szCode.compare(strCode, Qt::CaseInsensitive) == 0)
            pSelected = pItem;
    }
    m_listLanguages->setCurrentItem(pSelected);
    if (!pSelected)
        m_listLanguages->clearSelection();
}

void CLangPrefer::OnSystemLanguage()
{
    m_nInitType = 0;
    m_listLanguages->setEnabled(false);
    SetModified();
}

void CLangPrefer::OnMoreLanguages()
{
    m_nInitType = 1;
    m_listLanguages->setEnabled(true);
    SetModified();
}

void CLangPrefer::OnLanguageSelected()
{
    const QList<QListWidgetItem*> selected = m_listLanguages->selectedItems();
    if (!selected.isEmpty() && m_pMainWnd)
    {
        const QString strName = selected.first()->text();
        for (const LanguageRecord& record : m_pMainWnd->m_languages)
        {
            if (record.szDisplayName.compare(strName, Qt::CaseInsensitive) == 0)
            {
                m_strLangCode = record.szCode;
                break;
            }
        }
    }
    SetModified();
}

void CLangPrefer::OnOK()
{
    CSpeechApp* pApp = CSpeechApp::GetApp();
    pApp->SetSetting(g_strSection, QStringLiteral("LangInitType"), QString::number(m_nInitType));
    pApp->SetSetting(g_strSection, QStringLiteral("LangInitCode"), m_strLangCode);
    pApp->SaveSettings();
}
