#include "app/commandline.h"

#include <QCoreApplication>

namespace
{
const char g_szProgram[] = "kestrivane-basic";

void UsageError(QTextStream& err, const QString& strMessage)
{
    err << g_szProgram << ": " << strMessage << "\n"
        << "Try '" << g_szProgram << " --help' for more information.\n";
    err.flush();
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
    parser.addOption(helpOption);
    parser.addOption(versionOption);

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
    if (!parser.positionalArguments().isEmpty())
    {
        UsageError(err, QStringLiteral("unexpected argument '%1'")
                            .arg(parser.positionalArguments().constFirst()));
        return EXIT_USAGE;
    }
    UsageError(err, QStringLiteral("nothing to do"));
    return EXIT_USAGE;
}
