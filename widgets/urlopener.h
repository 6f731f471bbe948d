#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Opens web addresses and the program's own pages in the user's browser.
class CUrlOpener
{
public:
    // Folder against which addresses without a scheme (the pages the
    // program ships) are resolved; ends with "/".
    static void SetBaseFolder(const QString& strFolder);
    static QString GetBaseFolder();

    // Asks the desktop to open the address; when that fails, runs the
    // default HTML handler's command with the address. True when a program
    // was started.
    static bool Open(const QString& strAddress);

    // Tests install a hook to see which address would be opened without
    // starting a browser; the hook's result is Open's result.
    using Hook = std::function<bool(const QString& strAddress)>;
    static void SetHook(Hook hook);

    // An address the desktop can open: a relative one becomes a file URL
    // inside the base folder, anything with a scheme stays as it is.
    static QString ResolveAddress(const QString& strAddress, const QString& strBaseFolder);

    // The address without its scheme prefix ("https://a.b/" gives "a.b/").
    static QString StripScheme(const QString& strAddress);

    // The handler's command line with its placeholder cut: at the first
    // placeholder standing between double quotes (quotes included), else at
    // the first bare placeholder, else whole; then a space and the address.
    static QString BuildHandlerCommand(const QString& strCommand, const QString& strAddress);

    // Splits a desktop-entry command line into an argument vector (double
    // quotes group, backslash escapes inside quotes), never through a shell.
    static QStringList SplitCommandLine(const QString& strCommand);

    // The Exec line of the desktop entry that handles text/html, or empty.
    static QString FindHtmlHandlerCommand();
};
