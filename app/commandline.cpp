#include "app/commandline.h"

#include "app/saveaudiocommand.h"
#include "app/speakcommand.h"
#include "app/speechapp.h"
#include "app/voiceoptions.h"
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
    CSpeechApp app;
    std::optional<QTemporaryDir> fallback;
    const QString strTemp =
        CCommandLine::ScratchFolder(app.InitSettings() ? &app : nullptr, fallback);
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

bool CCommandLine::IsLanguageCode(const QString& strCode)
{
    static const QRegularExpression code(QStringLiteral("^[0-9A-Fa-f]{1,4}$"));
    return code.match(strCode).hasMatch();
}

bool CCommandLine::ParseBounded(const QString& strValue, int nMin, int nMax, int& nValue)
{
    bool bOk = false;
    nValue = strValue.trimmed().toInt(&bOk);
    return bOk && nValue >= nMin && nValue <= nMax;
}

void CCommandLine::UsageError(QTextStream& err, const QString& strMessage)
{
    err << g_szProgram << ": " << strMessage << "\n"
        << "Try '" << g_szProgram << " --help' for more information.\n";
    err.flush();
}

QString CCommandLine::ScratchFolder(const CSpeechApp* pApp, std::optional<QTemporaryDir>& fallback)
{
    // The RTF round trip uses the settings' "Temp" folder, as the window does.
    if (pApp)
        return pApp->GetSettingsFolder() + QStringLiteral("Temp/");
    // Made only when needed: reading a document writes nowhere else.
    fallback.emplace();
    return fallback->path() + QLatin1Char('/');
}

bool CCommandLine::ReadDocument(const QString& strPath, const QString& strTempFolder,
                                QString& strText, QTextStream& err, bool bNeedText)
{
    QStringList reasons;
    CTextExtractor extractor(strTempFolder, [&reasons](const QString& strMessage, unsigned)
                             { reasons.append(strMessage); });
    extractor.GetTextFromFile(strPath, strText);
    const bool bKnownType = CDocumentFormats::ForPath(strPath) != nullptr;
    if (!bKnownType)
        reasons.append(QStringLiteral("not a document type the program reads"));
    else if (bNeedText && strText.isEmpty() && reasons.isEmpty())
        reasons.append(QStringLiteral("the document holds no text"));
    for (const QString& strReason : qAsConst(reasons))
        err << g_szProgram << ": " << strPath << ": " << strReason << "\n";
    err.flush();
    // An empty document is read; it just has no text.
    return !strText.isEmpty() || (reasons.isEmpty() && !bNeedText);
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
                       "--save-audio makes NAME.wav and NAME.mp3 of each FILE (NAME: its name up "
                       "to the first dot) as the window's Save as Audio does, in DIR or else in "
                       "the window's audio folder, with NAME.srt and NAME.lrc subtitles and the "
                       "words' times in the MP3 unless --no-timing. Documents are rendered "
                       "several at a time, each by a process of its own; a file appears under "
                       "its name only when complete. Ctrl+C stops, and removes the unfinished "
                       "documents' files.\n"
                       "\n"
                       "Exit status: 0 success; 1 when a document could not be read or its "
                       "audio not written (each is named on standard error) or no voice can "
                       "speak; 2 for bad usage; 130 when stopped by Ctrl+C or SIGTERM."));
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
                       ".docx, .odt, .epub, .pdf)."));
    const QCommandLineOption saveAudioOption(
        QStringLiteral("save-audio"),
        QStringLiteral("Render the documents FILE... into WAV and MP3 audio books."));
    const QCommandLineOption outOption(
        QStringLiteral("out"),
        QStringLiteral("Folder of --save-audio, made when it does not exist (default: the "
                       "window's audio folder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption noTimingOption(
        QStringLiteral("no-timing"),
        QStringLiteral("--save-audio without the words' times (no .srt, .lrc or SYLT frame)."));
    const QCommandLineOption jobsOption(
        QStringLiteral("jobs"),
        QStringLiteral("Documents --save-audio renders at a time (default: one per core)."),
        QStringLiteral("N"));
    QCommandLineOption renderOneOption(QStringLiteral("render-one"));
    renderOneOption.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption tagYearOption(QStringLiteral("tag-year"), QString(), QStringLiteral("YEAR"));
    tagYearOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(speakOption);
    parser.addOption(saveAudioOption);
    parser.addOptions(CVoiceOptions::Options());
    parser.addOption(outOption);
    parser.addOption(noTimingOption);
    parser.addOption(jobsOption);
    parser.addOption(renderOneOption);
    parser.addOption(tagYearOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Documents for --speak and --save-audio."),
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
    const bool bSaveAudio = parser.isSet(saveAudioOption) || parser.isSet(renderOneOption);
    if (!bSaveAudio && (parser.isSet(outOption) || parser.isSet(noTimingOption) ||
                        parser.isSet(jobsOption) || parser.isSet(tagYearOption)))
    {
        UsageError(err, QStringLiteral("--out, --no-timing and --jobs go with --save-audio"));
        return EXIT_USAGE;
    }
    if (parser.isSet(speakOption) || bSaveAudio)
    {
        const QString strVerb =
            parser.isSet(speakOption) ? QStringLiteral("--speak") : QStringLiteral("--save-audio");
        if ((parser.isSet(speakOption) && bSaveAudio) || parser.isSet(listLanguagesOption) ||
            parser.isSet(listVoicesOption) || parser.isSet(extractOption))
        {
            UsageError(err, strVerb + QStringLiteral(" goes with no other verb"));
            return EXIT_USAGE;
        }
        const QStringList files = parser.positionalArguments();
        if (files.isEmpty())
        {
            UsageError(err, strVerb + QStringLiteral(" needs a FILE"));
            return EXIT_USAGE;
        }
        CVoiceOptions voiceOptions;
        if (!voiceOptions.Read(parser, err))
            return EXIT_USAGE;
        if (parser.isSet(speakOption))
        {
            CSpeakCommand speak(err);
            speak.SetVoiceOptions(voiceOptions);
            return speak.Run(files);
        }
        CSaveAudioCommand save(out, err);
        save.SetVoiceOptions(voiceOptions);
        save.SetWordTimings(!parser.isSet(noTimingOption));
        if (parser.isSet(outOption))
        {
            if (parser.value(outOption).isEmpty())
            {
                UsageError(err, QStringLiteral("--out needs a folder"));
                return EXIT_USAGE;
            }
            save.SetFolder(parser.value(outOption));
        }
        int nJobs = 0;
        if (parser.isSet(jobsOption) &&
            !ParseBounded(parser.value(jobsOption), 1, CSaveAudioCommand::MAX_JOBS, nJobs))
        {
            UsageError(err, QStringLiteral("--jobs '%1' is not a whole number from 1 to %2")
                                .arg(parser.value(jobsOption))
                                .arg(CSaveAudioCommand::MAX_JOBS));
            return EXIT_USAGE;
        }
        save.SetJobs(nJobs);
        int nYear = 0;
        if (parser.isSet(tagYearOption) &&
            !ParseBounded(parser.value(tagYearOption), 1, 9999, nYear))
        {
            UsageError(
                err,
                QStringLiteral("--tag-year '%1' is not a year").arg(parser.value(tagYearOption)));
            return EXIT_USAGE;
        }
        save.SetYear(nYear);
        if (parser.isSet(renderOneOption))
        {
            if (files.size() != 1 || !parser.isSet(outOption))
            {
                UsageError(err, QStringLiteral("--render-one takes one FILE and --out"));
                return EXIT_USAGE;
            }
            return save.RenderOne(files.constFirst());
        }
        return save.Run(files);
    }
    if (CVoiceOptions::AnySet(parser))
    {
        UsageError(
            err,
            QStringLiteral("--lang, --voice, --rate and --volume go with --speak or --save-audio"));
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
