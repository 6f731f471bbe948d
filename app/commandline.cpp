#include "app/commandline.h"

#include "app/speechapp.h"
#include "text/documentformat.h"
#include "text/textextractor.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace
{
const char g_szProgram[] = "kestrivane-basic";

void UsageError(QTextStream& err, const QString& strMessage)
{
    err << g_szProgram << ": " << strMessage << "\n"
        << "Try '" << g_szProgram << " --help' for more information.\n";
    err.flush();
}
// The document's text, one line per paragraph; exit status 1 with the
// reason when nothing could be read.
int ExtractText(const QString& strPath, QTextStream& out, QTextStream& err)
{
    // The RTF round trip uses the settings' "Temp" folder, as the window does.
    CSpeechApp app;
    QTemporaryDir fallback;
    const QString strTemp = app.InitSettings() ? app.GetSettingsFolder() + QStringLiteral("Temp/")
                                               : fallback.path() + QLatin1Char('/');
    QStringList reasons;
    CTextExtractor extractor(strTemp, [&reasons](const QString& strMessage, unsigned)
                             { reasons.append(strMessage); });
    QString strText;
    extractor.GetTextFromFile(strPath, strText);
    if (strText.isEmpty())
    {
        if (reasons.isEmpty())
            reasons.append(CDocumentFormats::ForPath(strPath)
                               ? QStringLiteral("the document holds no text")
                               : QStringLiteral("not a document type the program reads"));
        for (const QString& strReason : qAsConst(reasons))
            err << g_szProgram << ": " << strPath << ": " << strReason << "\n";
        err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    strText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    out << strText << "\n";
    out.flush();
    for (const QString& strReason : qAsConst(reasons))
        err << g_szProgram << ": " << strPath << ": " << strReason << "\n";
    err.flush();
    return CCommandLine::EXIT_OK;
}
} // namespace

bool CCommandLine::WantsWindow(int argc, char** /*argv*/)
{
    return argc <= 1;
}

int CCommandLine::Run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads documents and typed text aloud and renders documents into WAV "
                       "and MP3 audio books.\nWithout arguments the program opens its window."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    const QCommandLineOption extractOption(
        QStringLiteral("extract-text"),
        QStringLiteral("Print the text of a document as UTF-8, one line per paragraph."),
        QStringLiteral("FILE"));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(extractOption);

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
