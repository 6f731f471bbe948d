#include "settings/audiosavingconfpage.h"

#include "app/speechapp.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "settings/fileaccess.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <fcntl.h>
#include <unistd.h>

namespace
{
const QString g_strSection = QStringLiteral("Audio");

bool OpensAsFolder(const QString& strPath)
{
    const int nFd =
        ::open(QFile::encodeName(strPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd < 0)
        return false;
    ::close(nFd);
    return true;
}

QString WithFinalSlash(const QString& strFolder)
{
    return strFolder.endsWith(QLatin1Char('/')) ? strFolder : strFolder + QLatin1Char('/');
}
} // namespace

CAudioSavingConfPage::CAudioSavingConfPage(QWidget* pParent)
    : CPropertyPage(IDD_PROPPAGE_AUDIO, pParent)
{
    auto named = [this](auto* pWidget, int nId)
    {
        pWidget->setObjectName(QString::number(nId));
        pWidget->setParent(this);
        return pWidget;
    };
    m_staticInfo = named(new QLabel, IDC_STATIC_PAGE_INFO);
    m_staticInfo->setWordWrap(true);
    m_radioAskEachTime = named(new QRadioButton, IDC_RADIO_ASK_EACH_TIME);
    m_radioUseFolder = named(new QRadioButton, IDC_RADIO_USE_FOLDER);
    m_editFolder = named(new QLineEdit, IDC_EDIT_SAVE_FOLDER);
    m_btnBrowse = named(new QPushButton, IDC_BTN_FOLDER_BROWSE);
    m_checkWordTiming = named(new QCheckBox, IDC_CHECK_WORD_TIMING);

    auto* pFolderRow = new QHBoxLayout;
    pFolderRow->addSpacing(20);
    pFolderRow->addWidget(m_editFolder, 1);
    pFolderRow->addWidget(m_btnBrowse);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_staticInfo);
    pLayout->addWidget(m_radioAskEachTime);
    pLayout->addWidget(m_radioUseFolder);
    pLayout->addLayout(pFolderRow);
    pLayout->addSpacing(12);
    pLayout->addWidget(m_checkWordTiming);
    pLayout->addStretch(1);

    // The window's message map.
    connect(m_radioAskEachTime, &QRadioButton::clicked, this, &CAudioSavingConfPage::OnAskEachTime);
    connect(m_radioUseFolder, &QRadioButton::clicked, this, &CAudioSavingConfPage::OnUseFolder);
    connect(m_editFolder, &QLineEdit::textChanged, this, &CAudioSavingConfPage::OnFolderChanged);
    connect(m_btnBrowse, &QPushButton::clicked, this, &CAudioSavingConfPage::OnBrowse);
    connect(m_checkWordTiming, &QCheckBox::clicked, this,
            &CAudioSavingConfPage::OnWordTimingChanged);
}

bool CAudioSavingConfPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_staticInfo->setText(CStringTable::Get(IDS_SAVE_TYPE));
    m_radioAskEachTime->setText(CStringTable::Get(IDS_SAVE_TYPE0));
    m_radioUseFolder->setText(CStringTable::Get(IDS_SAVE_TYPE1));
    m_btnBrowse->setText(CStringTable::Get(IDS_AUDIO_BROWSE));
    m_checkWordTiming->setText(CStringTable::Get(IDS_WORD_TIMING));

    CSpeechApp* pApp = CSpeechApp::GetApp();
    const QString strKeyPath = QStringLiteral("SavePath");
    m_nSaveType =
        pApp->GetSetting(g_strSection, QStringLiteral("SaveType"), QStringLiteral("0")).toInt();
    m_radioAskEachTime->setChecked(m_nSaveType == 0);
    m_radioUseFolder->setChecked(m_nSaveType == 1);

    // A blank value reads as missing; it is stored repaired as well.
    QString strFolder = pApp->GetSetting(g_strSection, strKeyPath, QString());
    if (strFolder.isEmpty())
    {
        strFolder = pApp->GetDefaultSaveFolder();
        pApp->SetSetting(g_strSection, strKeyPath, strFolder);
    }
    if (!strFolder.endsWith(QLatin1Char('/')))
    {
        strFolder += QLatin1Char('/');
        pApp->SetSetting(g_strSection, strKeyPath, strFolder);
    }
    if (!OpensAsFolder(strFolder) || !CanWriteFolder(strFolder))
    {
        strFolder = pApp->GetDefaultSaveFolder();
        pApp->SetSetting(g_strSection, strKeyPath, strFolder);
    }
    pApp->SaveSettings();

    m_bWordTiming = pApp->GetSetting(g_strSection, QStringLiteral("WordTiming"), QString()) ==
                    QStringLiteral("1");
    m_checkWordTiming->setChecked(m_bWordTiming);
    {
        const QSignalBlocker blocker(m_editFolder);
        m_editFolder->setText(strFolder);
    }
    if (m_nSaveType == 0)
        EnableFolderControls(false);
    else if (m_nSaveType == 1)
        EnableFolderControls(true);
    return true;
}

void CAudioSavingConfPage::EnableFolderControls(bool bEnable)
{
    m_editFolder->setEnabled(bEnable);
    m_btnBrowse->setEnabled(bEnable);
}

void CAudioSavingConfPage::OnAskEachTime()
{
    m_nSaveType = 0;
    EnableFolderControls(false);
    SetModified();
}

void CAudioSavingConfPage::OnUseFolder()
{
    m_nSaveType = 1;
    EnableFolderControls(true);
    SetModified();
}

void CAudioSavingConfPage::OnFolderChanged()
{
    SetModified();
}

void CAudioSavingConfPage::OnWordTimingChanged()
{
    SetModified();
}

void CAudioSavingConfPage::OnBrowse()
{
    const QString strChosen = CFileDialog::GetExistingDirectory(
        this, CStringTable::Get(IDS_BROWSE_FOLDER), m_editFolder->text());
    if (strChosen.isEmpty())
        return;
    const QString strFolder = WithFinalSlash(strChosen);
    if (CanWriteFolder(strFolder))
        m_editFolder->setText(strFolder);
    else
        CMessageBox::Show(this, CStringTable::Get(IDS_NO_PERMISSION), CStringTable::Get(IDS_TITLE),
                          CMessageBox::MB_ICONEXCLAMATION);
}

void CAudioSavingConfPage::OnOK()
{
    CSpeechApp* pApp = CSpeechApp::GetApp();
    pApp->SetSetting(g_strSection, QStringLiteral("SaveType"), QString::number(m_nSaveType));
    if (m_nSaveType == 1)
    {
        // Stored as typed: Save as Audio and the next opening repair it.
        QString strFolder = m_editFolder->text();
        if (strFolder.isEmpty())
            strFolder = pApp->GetDefaultSaveFolder();
        pApp->SetSetting(g_strSection, QStringLiteral("SavePath"), strFolder);
    }
    const bool bWordTiming = m_checkWordTiming->isChecked();
    if (bWordTiming != m_bWordTiming)
    {
        // The key is new to most settings files, and SetSetting only
        // changes keys that exist.
        pApp->m_settings.SetValue(g_strSection, QStringLiteral("WordTiming"),
                                  bWordTiming ? QStringLiteral("1") : QStringLiteral("0"));
        m_bWordTiming = bWordTiming;
    }
    pApp->SaveSettings();
}
