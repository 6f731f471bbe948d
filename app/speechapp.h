#pragma once

#include "app/settingsstore.h"

#include <QString>
#include <QStringList>
#include <memory>

class CResourceModule;

// The application object: the per-user folders, the settings file and its
// in-memory copy, and the user-interface language. It runs the main window
// and cleans up after it. There is one instance per run.
class CSpeechApp
{
public:
    // An empty program folder means the folder the program file lives in
    // (or its installed data folder).
    explicit CSpeechApp(const QString& strAppDir = QString());
    ~CSpeechApp();
    CSpeechApp(const CSpeechApp&) = delete;
    CSpeechApp& operator=(const CSpeechApp&) = delete;

    static CSpeechApp* GetApp();

    // Start-up, the main window and exit; false once the window has closed
    // or when start-up failed.
    bool InitInstance();
    // Documents named on the command line, listed once the window is up.
    void SetStartFiles(const QStringList& files) { m_startFiles = files; }
    int ExitInstance();

    // Start-up without a window, for the command-line verbs: folders,
    // settings and language.
    bool InitSettings();

    QString GetSetting(const QString& strSection, const QString& strKey,
                       const QString& strDefault) const;
    void SetSetting(const QString& strSection, const QString& strKey, const QString& strValue);
    // A settings file that cannot be written is told to the user, who would
    // otherwise find the changes gone at the next start.
    bool SaveSettings() const;
    static QString SaveFailedMessage(const QString& strIniPath);

    // The content language the program starts with (Misc/LangInitType:
    // 0 the system's, 1 Misc/LangInitCode, otherwise none): a four-digit
    // code, or empty for none.
    QString GetStartupLanguageCode() const;

    QString GetDefaultSaveFolder() const;
    QString GetSettingsFolder() const;
    void EnsureSettingsFile();
    bool LoadLanguageResources();

    // The language library for a UILangID code, or empty for English and
    // for codes the program does not know.
    static QString LanguageLibraryName(const QString& strCode);
    // The folder the program's resource files are found in.
    static QString FindProgramFolder();
    // The build folder when the image library sits beside the executable,
    // else the installed data folder beside bin/ when it holds one.
    static QString FindProgramFolder(const QString& strExecutableDir);

    bool m_bLangDllLoaded = false;
    CResourceModule* m_hDefaultResource = nullptr;
    std::unique_ptr<CResourceModule> m_hLangDll;
    CSettingsStore m_settings;
    QString m_strAppDir;
    QString m_strIniPath;

private:
    QString m_strAppDirOverride;
    QStringList m_startFiles;
};
