#include "app/commandline.h"

#include "app/speakcommand.h"
#include "app/speechapp.h"
#include "speech/languagecatalogue.h"
#include "speech/splanguagetags.h"
#include "speech/spobjecttokencategory.h"
#include "text/documentformat.h"
#include "text/textextractor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{
const char g_szProgram[] = "kestrivane-basic";

// One to four hexadecimal digits, as a language code is written.
bool IsLanguageCode(const QString& strCode)
{
    static const QRegularExpression code(QStringLiteral("^[0-9A-Fa-f]{1,4}$"));
    return code.match(strCode).hasMatch();
}

// A whole number within the bounds, or false.
bool ParseBounded(const QString& strValue, int nMin, int nMax, int& nValue)
{
    bool bOk = false;
    nValue = strValue.trimmed().toInt(&bOk);
    return bOk && nValue >= nMin && nValue <= nMax;
}

// The catalogue in its sorted order: code, a tab, the display name.
int ListLanguages(QTextStream& out)
{
    for (const LanguageRecord& record : CLanguageCatalogue::Build())
        out << record.szCode << '\t' << record.szDisplayName << '\n';
    out.flush();
    return CCommandLine::EXIT_OK;
}

// The voices for a language code (all voices without one): description,
// language ids and gender, tab-separated, in the registry's order.
int ListVoices(const QString& strCode, QTextStream& out, QTextStream& err)
{
    CSpObjectTokenCategory category;
    category.SetId(QStringLiteral(SPCAT_VOICES), false);
    const QString strRequired =
        strCode.isEmpty()
            ? QString()
            : QStringLiteral("Language=") + CSpLanguageTags::WithoutLeadingZero(strCode);
    const std::unique_ptr<CSpEnumTokens> pTokens = category.EnumTokens(strRequired, QString());
    ULONG nCount = 0;
    if (!pTokens || !pTokens->GetCount(&nCount) || nCount == 0)
    {
        err << g_szProgram << ": no voice for language " << strCode << "\n";
        err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    const LANGID nUiLanguage = CSpLanguageTags::UserUiLanguageId();
    while (const CSpObjectTokenPtr pToken = pTokens->Next())
        out << pToken->GetDescription(nUiLanguage) << '\t'
            << pToken->GetAttribute(QStringLiteral("Language")) << '\t'
            << pToken->GetAttribute(QStringLiteral("Gender")) << '\n';
    out.flush();
    return CCommandLine::EXIT_OK;
}

// The document's text, one line per paragraph; exit status 1 with the
// reason when the document could not be read.
int ExtractText(const QString& strPath, QTextStream& out, QTextStream& err)
{
    // The RTF round trip uses the settings' "Temp" folder, as the window does.
    CSpeechApp app;
    QTemporaryDir fallback;
    const QString strTemp = app.InitSettings() ? app.GetSettingsFolder() + QStringLiteral("Temp/")
                                               : fallback.path() + QLatin1Char('/');
    QString strText;
    if (!CCommandLine::ReadDocument(strPath, strTemp, strText, err))
        return CCommandLine::EXIT_FAILED;
    strText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!strText.isEmpty())
        out << strText << "\n";
    out.flush();
    return CCommandLine::EXIT_OK;
}
} // namespace

void CCommandLine::UsageError(QTextStream& err, const QString& strMessage)
{
    err << g_szProgram << ": " << strMessage << "\n"
        << "Try '" << g_szProgram << " --help' for more information.\n";
    err.flush();
}

bool CCommandLine::ReadDocument(const QString& strPath, const QString& strTempFolder,
                                QString& strText, QTextStream& err)
{
    QStringList reasons;
    CTextExtractor extractor(strTempFolder, [&reasons](const QString& strMessage, unsigned)
                             { reasons.append(strMessage); });
    extractor.GetTextFromFile(strPath, strText);
    const bool bKnownType = CDocumentFormats::ForPath(strPath) != nullptr;
    if (!bKnownType)
        reasons.append(QStringLiteral("not a document type the program reads"));
    for (const QString& strReason : qAsConst(reasons))
        err << g_szProgram << ": " << strPath << ": " << strReason << "\n";
    err.flush();
    // An empty document is read; it just has no text.
    return !strText.isEmpty() || reasons.isEmpty();
}

bool CCommandLine::WantsWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-')
            return false;
    return true;
}

QStringList CCommandLine::WindowFiles(const QStringList& args, QTextStream& err)
{
    QStringList files;
    for (int i = 1; i < args.size(); ++i)
    {
        const QFileInfo info(args[i]);
        if (info.isFile())
            files.append(info.absoluteFilePath());
        else
            err << g_szProgram << ": " << args[i] << ": no such file\n";
    }
    err.flush();
    return files;
}

int CCommandLine::Run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads documents and typed text aloud and renders documents into WAV "
                       "and MP3 audio books.\nWithout arguments the program opens its window.\n"
                       "\n"
                       "--speak reads each FILE aloud: its name up to the first dot, then its "
                       "text, with a pause between files. Progress goes to standard error: a "
                       "bar on a terminal, one line per file otherwise. Ctrl+C stops at once.\n"
                       "\n"
                       "Exit status: 0 success; 1 when a document could not be read (each is "
                       "named on standard error) or no voice can speak; 2 for bad usage; 130 "
                       "when stopped by Ctrl+C or SIGTERM."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption listLanguagesOption(QStringLiteral("list-languages"),
                                                 QStringLiteral("List the content languages."));
    const QCommandLineOption listVoicesOption(
        QStringLiteral("list-voices"),
        QStringLiteral("List the installed voices, for a language code such as 0409 when "
                       "one follows."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(listLanguagesOption);
    parser.addOption(listVoicesOption);
    parser.addPositionalArgument(QStringLiteral("CODE"),
                                 QStringLiteral("Language code for --list-voices."),
                                 QStringLiteral("[CODE]"));
    const QCommandLineOption extractOption(
        QStringLiteral("extract-text"),
        QStringLiteral("Print the text of a document as UTF-8, one line per paragraph."),
        QStringLiteral("FILE"));
    parser.addOption(extractOption);
    const QCommandLineOption speakOption(
        QStringLiteral("speak"),
        QStringLiteral("Read the documents FILE... aloud (.txt, .rtf, .doc, .htm, .html, .mht, "
                       ".docx, .odt, .epub)."));
    const QCommandLineOption langOption(
        QStringLiteral("lang"),
        QStringLiteral("Content language of --speak, a code of --list-languages such as 0409 "
                       "(default: the window's start-up language)."),
        QStringLiteral("CODE"));
    const QCommandLineOption voiceOption(
        QStringLiteral("voice"),
        QStringLiteral("Voice of --speak, a description as --list-voices prints it (default: "
                       "the first voice of the language)."),
        QStringLiteral("NAME"));
    const QCommandLineOption rateOption(QStringLiteral("rate"),
                                        QStringLiteral("Speaking rate of --speak, -10 to 10 "
                                                       "(default 0)."),
                                        QStringLiteral("N"));
    const QCommandLineOption volumeOption(QStringLiteral("volume"),
                                          QStringLiteral("Volume of --speak, 0 to 100 (default "
                                                         "100)."),
                                          QStringLiteral("N"));
    parser.addOption(speakOption);
    parser.addOption(langOption);
    parser.addOption(voiceOption);
    parser.addOption(rateOption);
    parser.addOption(volumeOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Documents for --speak."),
                                 QStringLiteral("[FILE...]"));

    if (!parser.parse(args))
    {
        UsageError(err, parser.errorText());
        return EXIT_USAGE;
    }
    if (parser.isSet(helpOption))
    {
        out << parser.helpText();
        out.flush();
        return EXIT_OK;
    }
    if (parser.isSet(versionOption))
    {
        out << QCoreApplication::applicationName() << " " << QCoreApplication::applicationVersion()
            << "\n";
        out.flush();
        return EXIT_OK;
    }
    const bool bVoiceOptions = parser.isSet(langOption) || parser.isSet(voiceOption) ||
                               parser.isSet(rateOption) || parser.isSet(volumeOption);
    if (parser.isSet(speakOption))
    {
        if (parser.isSet(listLanguagesOption) || parser.isSet(listVoicesOption) ||
            parser.isSet(extractOption))
        {
            UsageError(err, QStringLiteral("--speak goes with no other verb"));
            return EXIT_USAGE;
        }
        const QStringList files = parser.positionalArguments();
        if (files.isEmpty())
        {
            UsageError(err, QStringLiteral("--speak needs a FILE"));
            return EXIT_USAGE;
        }
        const QString strLang = parser.value(langOption);
        if (parser.isSet(langOption) && !IsLanguageCode(strLang))
        {
            UsageError(err,
                       QStringLiteral("'%1' is not a language code such as 0409").arg(strLang));
            return EXIT_USAGE;
        }
        if (parser.isSet(voiceOption) && parser.value(voiceOption).trimmed().isEmpty())
        {
            UsageError(err, QStringLiteral("--voice needs a voice description"));
            return EXIT_USAGE;
        }
        int nRate = 0;
        if (parser.isSet(rateOption) && !ParseBounded(parser.value(rateOption), -10, 10, nRate))
        {
            UsageError(err, QStringLiteral("--rate '%1' is not a whole number from -10 to 10")
                                .arg(parser.value(rateOption)));
            return EXIT_USAGE;
        }
        int nVolume = 100;
        if (parser.isSet(volumeOption) &&
            !ParseBounded(parser.value(volumeOption), 0, 100, nVolume))
        {
            UsageError(err, QStringLiteral("--volume '%1' is not a whole number from 0 to 100")
                                .arg(parser.value(volumeOption)));
            return EXIT_USAGE;
        }
        CSpeakCommand speak(err);
        speak.SetLanguage(strLang);
        speak.SetVoiceName(parser.value(voiceOption));
        speak.SetRate(nRate);
        speak.SetVolume(nVolume);
        return speak.Run(files);
    }
    if (bVoiceOptions)
    {
        UsageError(err, QStringLiteral("--lang, --voice, --rate and --volume go with --speak"));
        return EXIT_USAGE;
    }
    if (parser.isSet(listLanguagesOption) || parser.isSet(listVoicesOption))
    {
        const QStringList positional = parser.positionalArguments();
        QString strCode;
        if (parser.isSet(listVoicesOption) && !parser.isSet(listLanguagesOption) &&
            positional.size() <= 1)
            strCode = positional.value(0);
        else if (!positional.isEmpty() || parser.isSet(listVoicesOption))
        {
            UsageError(err,
                       positional.isEmpty()
                           ? QStringLiteral("choose one of --list-languages and --list-voices")
                           : QStringLiteral("unexpected argument '%1'")
                                 .arg(positional.value(parser.isSet(listVoicesOption) ? 1 : 0)));
            return EXIT_USAGE;
        }
        if (!strCode.isEmpty() && !IsLanguageCode(strCode))
        {
            UsageError(err,
                       QStringLiteral("'%1' is not a language code such as 0409").arg(strCode));
            return EXIT_USAGE;
        }
        // The catalogue comes from the interface language the settings chose.
        CSpeechApp app;
        app.InitSettings();
        const int nExit = parser.isSet(listLanguagesOption)
                              ? ListLanguages(out)
                              : ListVoices(strCode.toLower(), out, err);
        app.ExitInstance();
        return nExit;
    }
    if (parser.isSet(extractOption))
    {
        if (!parser.positionalArguments().isEmpty())
        {
            UsageError(err, QStringLiteral("unexpected argument '%1'")
                                .arg(parser.positionalArguments().constFirst()));
            return EXIT_USAGE;
        }
        return ExtractText(parser.value(extractOption), out, err);
    }
    if (!parser.positionalArguments().isEmpty())
    {
        UsageError(err, QStringLiteral("unexpected argument '%1'")
                            .arg(parser.positionalArguments().constFirst()));
        return EXIT_USAGE;
    }
    UsageError(err, QStringLiteral("nothing to do"));
    return EXIT_USAGE;
}
