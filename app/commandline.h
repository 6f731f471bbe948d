#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <optional>

// The command-line entry: without arguments the program opens its window;
// with arguments it does the same work without one, for scripts and tests.
class CSpeechApp;

class CCommandLine
{
public:
    enum
    {
        EXIT_OK = 0,
        EXIT_FAILED = 1,
        EXIT_USAGE = 2
    };

    // True when the arguments ask for the window: none, or file names only.
    static bool WantsWindow(int argc, char** argv);
    // The files named for the window, as absolute paths; names that are
    // not files are reported and left out.
    static QStringList WindowFiles(const QStringList& args, QTextStream& err);

    // Parses and runs a verb; a QCoreApplication must exist. Writes results
    // to out and diagnostics to err; returns the exit status.
    static int Run(const QStringList& args, QTextStream& out, QTextStream& err);

    // The message of an exit with EXIT_USAGE, with a pointer to --help.
    static void UsageError(QTextStream& err, const QString& strMessage);
    // One to four hexadecimal digits, as a language code is written.
    static bool IsLanguageCode(const QString& strCode);
    // A whole number within the bounds, or false.
    static bool ParseBounded(const QString& strValue, int nMin, int nMax, int& nValue);
    // Where a verb's document reading keeps its scratch files: the
    // settings' "Temp" folder, as the window's, or, without settings, a
    // private folder made in fallback.
    static QString ScratchFolder(const CSpeechApp* pApp, std::optional<QTemporaryDir>& fallback);
    // The document's text as the window gets it; false, with each reason
    // named on err, when the document cannot be read. An empty document is
    // read, unless the caller needs text to speak: then it is named too.
    static bool ReadDocument(const QString& strPath, const QString& strTempFolder, QString& strText,
                             QTextStream& err, bool bNeedText = false);
};
