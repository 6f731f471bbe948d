#include "app/speechapp.h"

#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"
#include "speech/splanguagetags.h"
#include "widgets/messagebox.h"
#include "widgets/urlopener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace
{
CSpeechApp* g_pApp = nullptr;

struct SDefaultKey
{
    const char* pszSection;
    const char* pszKey;
    const char* pszDefault; // null = the default save folder
};

// Every key the program knows, in the order the repair adds them.
const SDefaultKey g_defaultKeys[] = {
    {"Audio", "SavePath", nullptr},   {"Audio", "SaveType", "0"},
    {"Button", "ColorBKIN", ""},      {"Misc", "LangInitCode", "0409"},
    {"Misc", "LangInitType", "1"},    {"Misc", "MusicPlayMode", "0"},
    {"Misc", "MusicFilePath", ""},    {"Misc", "UILangID", "0409"},
    {"ProgressBar", "BarColor", ""},  {"ProgressBar", "BarBkColor", ""},
    {"ProgressBar", "TextColor", ""}, {"ProgressBar", "TextBkColor", ""},
    {"Timer", "Color", ""},
};

struct SLanguageLibrary
{
    const char* pszCode;
    const char* pszLibrary;
};

const SLanguageLibrary g_languageLibraries[] = {
    {"0804", "LangCHS.qm"},
    {"0416", "LangPOR.qm"},
    {"0c0a", "LangESP.qm"},
};

bool IsBlankValue(const QString& str)
{
    for (QChar ch : str)
    {
        if (!ch.isSpace())
            return false;
    }
    return true;
}

QByteArray DefaultFileBytes(const QString& strSaveFolder)
{
    const QString strText = QStringLiteral("[Audio]\r\n"
                                           "SavePath=%1\r\n"
                                           "SaveType=0\r\n"
                                           "\r\n"
                                           "[Button]\r\n"
                                           "ColorBKIN=\r\n"
                                           "[Misc]\r\n"
                                           "LangInitCode=0409\r\n"
                                           "LangInitType=1\r\n"
                                           "MusicPlayMode=0\r\n"
                                           "MusicFilePath=\r\n"
                                           "UILangID=0409\r\n"
                                           "\r\n"
                                           "[ProgressBar]\r\n"
                                           "BarColor=\r\n"
                                           "BarBkColor=\r\n"
                                           "TextColor=\r\n"
                                           "TextBkColor=\r\n"
                                           "\r\n"
                                           "[Timer]\r\n"
                                           "Color=\r\n"
                                           "\r\n")
                                .arg(strSaveFolder);
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar ch : strText)
    {
        bytes.append(char(ch.unicode() & 0xFF));
        bytes.append(char(ch.unicode() >> 8));
    }
    return bytes;
}
} // namespace

CSpeechApp::CSpeechApp(const QString& strAppDir) : m_strAppDirOverride(strAppDir)
{
    g_pApp = this;
}

CSpeechApp::~CSpeechApp()
{
    if (CResourceModule::GetCurrent() == m_hLangDll.get())
        CResourceModule::SetCurrent(m_hDefaultResource);
    if (g_pApp == this)
        g_pApp = nullptr;
}

CSpeechApp* CSpeechApp::GetApp()
{
    return g_pApp;
}

QString CSpeechApp::FindProgramFolder()
{
    return FindProgramFolder(QCoreApplication::applicationDirPath());
}

QString CSpeechApp::FindProgramFolder(const QString& strExecutableDir)
{
    const QString strExeDir = strExecutableDir + QLatin1Char('/');
    const QString strInstalled =
        QDir::cleanPath(strExeDir + QStringLiteral("../share/kestrivane-basic")) + QLatin1Char('/');
    if (!QFileInfo::exists(strExeDir + QStringLiteral("imagelib.rcc")) &&
        QFileInfo::exists(strInstalled + QStringLiteral("imagelib.rcc")))
        return strInstalled;
    return strExeDir;
}

QString CSpeechApp::GetSetting(const QString& strSection, const QString& strKey,
                               const QString& strDefault) const
{
    const CSettingsSection* pSection = m_settings.FindSection(strSection);
    const CSettingsEntry* pEntry = pSection ? pSection->FindKey(strKey) : nullptr;
    if (!pEntry || IsBlankValue(pEntry->GetValue()))
        return strDefault;
    return pEntry->GetValue();
}

void CSpeechApp::SetSetting(const QString& strSection, const QString& strKey,
                            const QString& strValue)
{
    CSettingsSection* pSection = m_settings.FindSection(strSection);
    CSettingsEntry* pEntry = pSection ? pSection->FindKey(strKey) : nullptr;
    if (pEntry)
        pEntry->SetValue(strValue);
}

QString CSpeechApp::GetDefaultSaveFolder() const
{
    QString strFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!strFolder.endsWith(QLatin1Char('/')))
        strFolder += QLatin1Char('/');
    strFolder += CStringTable::Get(IDS_TITLE);
    // A fresh home may not have its documents folder yet.
    QDir().mkpath(strFolder);
    return strFolder + QLatin1Char('/');
}

bool CSpeechApp::SaveSettings() const
{
    if (m_settings.Save(m_strIniPath))
        return true;
    CMessageBox::Show(nullptr, SaveFailedMessage(m_strIniPath), CStringTable::Get(IDS_TITLE),
                      CMessageBox::MB_ICONEXCLAMATION);
    return false;
}

QString CSpeechApp::SaveFailedMessage(const QString& strIniPath)
{
    return QStringLiteral("The settings could not be saved in %1.").arg(strIniPath);
}

QString CSpeechApp::GetStartupLanguageCode() const
{
    const int nLangInitType =
        GetSetting(QStringLiteral("Misc"), QStringLiteral("LangInitType"), QStringLiteral("1"))
            .toInt();
    QString strCode;
    if (nLangInitType == 0)
        strCode = QString::asprintf("%04x", unsigned(CSpLanguageTags::SystemLanguageId()));
    else if (nLangInitType == 1)
        strCode = GetSetting(QStringLiteral("Misc"), QStringLiteral("LangInitCode"),
                             QStringLiteral("0409"));
    return strCode.left(4);
}

QString CSpeechApp::GetSettingsFolder() const
{
    return m_strIniPath.left(m_strIniPath.lastIndexOf(QLatin1Char('/')) + 1);
}

void CSpeechApp::EnsureSettingsFile()
{
    m_strAppDir = m_strAppDirOverride.isEmpty() ? FindProgramFolder() : m_strAppDirOverride;
    if (!m_strAppDir.endsWith(QLatin1Char('/')))
        m_strAppDir += QLatin1Char('/');

    QString strPath = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!strPath.endsWith(QLatin1Char('/')))
        strPath += QLatin1Char('/');
    strPath += QStringLiteral("Kestrivane/");
    QDir dir;
    if (!QFileInfo::exists(strPath))
        dir.mkpath(strPath);

    const QString strTitleFolder = strPath + CStringTable::Get(IDS_TITLE);
    if (QFileInfo(strPath).isDir() && !QFileInfo::exists(strTitleFolder))
    {
        if (dir.mkdir(strTitleFolder))
            dir.mkdir(strTitleFolder + QStringLiteral("/Temp"));
    }
    m_strIniPath = strTitleFolder + QStringLiteral("/Application.ini");

    const QString strSaveFolder = GetDefaultSaveFolder();

    QFile probe(m_strIniPath);
    if (probe.open(QIODevice::ReadOnly))
    {
        probe.close();
        CSettingsStore repaired;
        if (!repaired.Load(m_strIniPath))
            return;
        for (const SDefaultKey& key : g_defaultKeys)
        {
            CSettingsSection* pSection = repaired.GetOrAddSection(QLatin1String(key.pszSection));
            const QString strKey = QLatin1String(key.pszKey);
            if (!pSection->FindKey(strKey))
            {
                pSection->GetOrAddKey(strKey)->SetValue(
                    key.pszDefault ? QLatin1String(key.pszDefault) : strSaveFolder);
            }
        }
        repaired.Save(m_strIniPath);
        return;
    }

    QSaveFile file(m_strIniPath);
    const QByteArray bytes = DefaultFileBytes(strSaveFolder);
    // Without its settings file the program cannot start: the user is told
    // why.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        ::fsync(file.handle()) != 0 || !file.commit())
        CMessageBox::Show(nullptr, SaveFailedMessage(m_strIniPath), CStringTable::Get(IDS_TITLE),
                          CMessageBox::MB_ICONEXCLAMATION);
}

QString CSpeechApp::LanguageLibraryName(const QString& strCode)
{
    for (const SLanguageLibrary& lib : g_languageLibraries)
    {
        if (strCode.compare(QLatin1String(lib.pszCode), Qt::CaseInsensitive) == 0)
            return QLatin1String(lib.pszLibrary);
    }
    return QString();
}

bool CSpeechApp::LoadLanguageResources()
{
    const QString strCode =
        GetSetting(QStringLiteral("Misc"), QStringLiteral("UILangID"), QStringLiteral("0409"));
    if (strCode.compare(QLatin1String("0409"), Qt::CaseInsensitive) == 0)
        return true;
    const QString strLibrary = LanguageLibraryName(strCode);
    if (strLibrary.isEmpty())
    {
        SetSetting(QStringLiteral("Misc"), QStringLiteral("UILangID"), QStringLiteral("0409"));
        return true;
    }
    auto pModule = std::make_unique<CResourceModule>();
    if (!pModule->Load(m_strAppDir + QStringLiteral("Languages/") + strLibrary))
        return false;
    m_hLangDll = std::move(pModule);
    CResourceModule::SetCurrent(m_hLangDll.get());
    m_bLangDllLoaded = true;
    return true;
}

bool CSpeechApp::InitSettings()
{
    EnsureSettingsFile();
    if (!m_settings.Load(m_strIniPath))
        return false;
    m_hDefaultResource = CResourceModule::GetCurrent();
    if (!LoadLanguageResources())
        SetSetting(QStringLiteral("Misc"), QStringLiteral("UILangID"), QStringLiteral("0409"));
    CUrlOpener::SetBaseFolder(m_strAppDir);
    return true;
}

bool CSpeechApp::InitInstance()
{
    if (!InitSettings())
        return false;
    CSpeechDlg dlg;
    if (!m_startFiles.isEmpty())
    {
        // Listed once the loop runs, so the window shows while the first
        // document is read.
        const QStringList files = m_startFiles;
        QMetaObject::invokeMethod(
            &dlg, [&dlg, files]() { dlg.AddSourceFiles(files); }, Qt::QueuedConnection);
    }
    dlg.exec();
    return false;
}

int CSpeechApp::ExitInstance()
{
    if (m_hLangDll)
    {
        if (CResourceModule::GetCurrent() == m_hLangDll.get())
            CResourceModule::SetCurrent(m_hDefaultResource);
        m_hLangDll.reset();
    }
    return 0;
}
