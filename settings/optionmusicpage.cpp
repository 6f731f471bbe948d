#include "settings/optionmusicpage.h"

#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/messageevent.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

bool g_bFirstMusicBrowse = true;

namespace
{
// The tabs are part of the text the dialog is given.
const char g_szMusicFilter[] = "All Files(*.mp3;*.wma;*.wav)|*.mp3;*.wma;*.wav|MP3 Files "
                               "(*.mp3)|*.mp3|\t\t\tWMA Files (*.wma)|*.wma|WAV Files "
                               "(*.wav)|*.wav||";

const QString g_strSection = QStringLiteral("Misc");
const QString g_strModeKey = QStringLiteral("MusicPlayMode");
const QString g_strFileKey = QStringLiteral("MusicFilePath");

template <typename T> T* MakeControl(QWidget* pParent, int nId)
{
    T* pControl = new T(pParent);
    pControl->setObjectName(QString::number(nId));
    return pControl;
}
} // namespace

COptionMusicPage::COptionMusicPage(CSpeechDlg* pMainWnd, QWidget* pParent)
    : CPropertyPage(IDD_PROPPAGE_MUSIC, pParent), m_pMainWnd(pMainWnd)
{
    m_staticInfo = MakeControl<QLabel>(this, IDC_STATIC_PAGE_INFO);
    m_radioNoMusic = MakeControl<QRadioButton>(this, IDC_RADIO_NO_MUSIC);
    m_radioPlayMusic = MakeControl<QRadioButton>(this, IDC_RADIO_PLAY_MUSIC);
    m_editMusicFile = MakeControl<QLineEdit>(this, IDC_EDIT_MUSIC_FILE);
    m_editMusicFile->setReadOnly(true);
    m_btnBrowse = MakeControl<QPushButton>(this, IDC_BTN_MUSIC_BROWSE);

    auto* pFileRow = new QHBoxLayout;
    pFileRow->addWidget(m_editMusicFile, 1);
    pFileRow->addWidget(m_btnBrowse);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_staticInfo);
    pLayout->addWidget(m_radioNoMusic);
    pLayout->addWidget(m_radioPlayMusic);
    pLayout->addLayout(pFileRow);
    pLayout->addStretch(1);

    connect(m_radioNoMusic, &QRadioButton::clicked, this, &COptionMusicPage::OnNoMusic);
    connect(m_radioPlayMusic, &QRadioButton::clicked, this, &COptionMusicPage::OnPlayMusic);
    connect(m_btnBrowse, &QPushButton::clicked, this, &COptionMusicPage::OnBrowse);
}

bool COptionMusicPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_staticInfo->setText(CStringTable::Get(IDS_MUSIC_PLAY));
    m_radioNoMusic->setText(CStringTable::Get(IDS_MUSIC_NONE));
    m_radioPlayMusic->setText(CStringTable::Get(IDS_MUSIC_FAVORITE));
    m_btnBrowse->setText(CStringTable::Get(IDS_MUSIC_BROWSE));

    const CSpeechApp* pApp = CSpeechApp::GetApp();
    m_nPlayMode = pApp->GetSetting(g_strSection, g_strModeKey, QStringLiteral("0")).toInt();
    m_strMusicFile = pApp->GetSetting(g_strSection, g_strFileKey, QString());
    m_editMusicFile->setText(m_strMusicFile);

    if (m_nPlayMode == 0)
    {
        m_radioNoMusic->setChecked(true);
        EnableFileControls(false);
    }
    else if (m_nPlayMode == 1)
    {
        m_radioPlayMusic->setChecked(true);
        EnableFileControls(true);
    }

    if (!m_strMusicFile.isEmpty() && !QFile(m_strMusicFile).open(QIODevice::ReadOnly))
    {
        // Told once the sheet is on screen, not while it is being built.
        QCoreApplication::postEvent(
            this, new CMessageEvent(WM_PAGE_MESSAGE, 0,
                                    CStringTable::Format(CStringTable::Get(IDS_MUSIC_MISSING),
                                                         {m_strMusicFile})));
        m_strMusicFile.clear();
        m_editMusicFile->setEnabled(false);
    }
    return true;
}

bool COptionMusicPage::event(QEvent* pEvent)
{
    if (CMessageEvent::MessageOf(pEvent) == WM_PAGE_MESSAGE)
    {
        OnPageMessage(static_cast<const CMessageEvent*>(pEvent)->GetPayload().toString());
        return true;
    }
    return CPropertyPage::event(pEvent);
}

void COptionMusicPage::OnPageMessage(const QString& strText)
{
    CMessageBox::Show(this, strText, CStringTable::Get(IDS_TITLE), CMessageBox::MB_ICONEXCLAMATION);
}

void COptionMusicPage::EnableFileControls(bool bEnable)
{
    m_editMusicFile->setEnabled(bEnable);
    m_btnBrowse->setEnabled(bEnable);
}

void COptionMusicPage::OnNoMusic()
{
    m_nPlayMode = 0;
    EnableFileControls(false);
    SetModified();
}

void COptionMusicPage::OnPlayMusic()
{
    // Only a chosen file is a change worth applying.
    m_nPlayMode = 1;
    EnableFileControls(true);
}

void COptionMusicPage::OnBrowse()
{
    const QString strStart =
        g_bFirstMusicBrowse ? CFileDialog::UserFolder(QStandardPaths::MusicLocation) : QString();
    const QString strPath =
        CFileDialog::GetOpenFileName(this, QString::fromUtf8(g_szMusicFilter), strStart);
    if (strPath.isEmpty())
        return;
    g_bFirstMusicBrowse = false;
    if (strPath.compare(m_editMusicFile->text(), Qt::CaseInsensitive) == 0)
        return;
    m_strMusicFile = strPath;
    m_editMusicFile->setText(strPath);
    m_bFileChanged = true;
    SetModified();
}

void COptionMusicPage::OnOK()
{
    CSpeechApp* pApp = CSpeechApp::GetApp();
    if (m_nPlayMode == 0)
    {
        pApp->SetSetting(g_strSection, g_strModeKey, QStringLiteral("0"));
        pApp->SetSetting(g_strSection, g_strFileKey, QString());
        m_editMusicFile->clear();
        m_strMusicFile.clear();
        if (m_pMainWnd)
            m_pMainWnd->CloseMusicWindow();
    }
    else if (m_nPlayMode == 1)
    {
        // No file (or only a missing one): the settings stay as they are.
        if (m_strMusicFile.isEmpty())
            return;
        if (m_bFileChanged)
        {
            pApp->SetSetting(g_strSection, g_strFileKey, m_strMusicFile);
            pApp->SetSetting(g_strSection, g_strModeKey, QStringLiteral("1"));
            if (m_pMainWnd)
            {
                const bool bWasPlaying = m_pMainWnd->CloseMusicWindow();
                if (m_pMainWnd->OpenMusicWindow(m_strMusicFile) && bWasPlaying)
                    m_pMainWnd->PlayMusic();
            }
        }
    }
    pApp->SaveSettings();
}
