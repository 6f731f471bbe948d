#pragma once

// The interface languages a window test runs in: English, the test pack
// built beside the tests, and each real pack the build put in Languages/.
#include "app/speechapp.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace KbTest
{
struct SInterfaceLanguage
{
    QString strRow;
    QString strCode;
    // The .qm file; empty for the built-in English.
    QString strPack;
};

inline std::vector<SInterfaceLanguage> InterfaceLanguages()
{
    std::vector<SInterfaceLanguage> languages = {
        {QStringLiteral("0409"), QStringLiteral("0409"), QString()},
        {QStringLiteral("test pack 0c0a"), QStringLiteral("0c0a"),
         QStringLiteral(KB_TEST_BUILD_DIR "Languages/LangESP.qm")},
    };
    for (const char* pszCode : {"0c0a", "0804", "0416"})
    {
        const QString strCode = QLatin1String(pszCode);
        const QString strPack =
            QStringLiteral(KB_BIN_DIR "Languages/") + CSpeechApp::LanguageLibraryName(strCode);
        if (QFile::exists(strPack))
            languages.push_back({strCode, strCode, strPack});
    }
    return languages;
}

// A program folder holding the image library and the language's pack under
// the name the program looks for.
inline bool MakeProgramFolder(const QTemporaryDir& dir, const SInterfaceLanguage& language)
{
    if (!QFile::copy(QStringLiteral(KB_BIN_DIR "imagelib.rcc"), dir.filePath("imagelib.rcc")))
        return false;
    if (language.strPack.isEmpty())
        return true;
    return QDir(dir.path()).mkdir(QStringLiteral("Languages")) &&
           QFile::copy(language.strPack,
                       dir.filePath(QStringLiteral("Languages/") +
                                    CSpeechApp::LanguageLibraryName(language.strCode)));
}
} // namespace KbTest
