#include "widgets/urlopener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace
{
QString g_strBaseFolder;
CUrlOpener::Hook g_hook;

// Placeholders a handler's command line may carry for the address.
const char* const g_placeholders[] = {"%1", "%u", "%U", "%f", "%F"};

int FindPlaceholder(const QString& strCommand, int nFrom, bool bQuoted, int& nLength)
{
    int nBest = -1;
    for (const char* pszCode : g_placeholders)
    {
        const QString strCode = bQuoted ? QStringLiteral("\"%1\"").arg(QLatin1String(pszCode))
                                        : QString::fromLatin1(pszCode);
        const int nAt = strCommand.indexOf(strCode, nFrom);
        if (nAt >= 0 && (nBest < 0 || nAt < nBest))
        {
            nBest = nAt;
            nLength = strCode.size();
        }
    }
    return nBest;
}
} // namespace

void CUrlOpener::SetBaseFolder(const QString& strFolder)
{
    g_strBaseFolder = strFolder;
}

QString CUrlOpener::GetBaseFolder()
{
    return g_strBaseFolder;
}

QString CUrlOpener::ResolveAddress(const QString& strAddress, const QString& strBaseFolder)
{
    static const QRegularExpression schemeRx(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (strAddress.isEmpty() || schemeRx.match(strAddress).hasMatch() ||
        strAddress.startsWith(QLatin1Char('/')))
    {
        return strAddress.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(strAddress).toString()
                                                       : strAddress;
    }
    return QUrl::fromLocalFile(strBaseFolder + strAddress).toString();
}

QString CUrlOpener::StripScheme(const QString& strAddress)
{
    const int nAt = strAddress.indexOf(QStringLiteral("://"));
    return nAt < 0 ? strAddress : strAddress.mid(nAt + 3);
}

QString CUrlOpener::BuildHandlerCommand(const QString& strCommand, const QString& strAddress)
{
    QString strResult = strCommand;
    int nLength = 0;
    int nAt = FindPlaceholder(strCommand, 0, true, nLength);
    if (nAt < 0)
        nAt = FindPlaceholder(strCommand, 0, false, nLength);
    if (nAt >= 0)
        strResult = strCommand.left(nAt);
    return strResult + QLatin1Char(' ') + strAddress;
}

QStringList CUrlOpener::SplitCommandLine(const QString& strCommand)
{
    QStringList args;
    QString strCurrent;
    bool bInQuotes = false;
    bool bHaveArg = false;
    for (int i = 0; i < strCommand.size(); ++i)
    {
        const QChar ch = strCommand.at(i);
        if (bInQuotes)
        {
            if (ch == QLatin1Char('\\') && i + 1 < strCommand.size())
                strCurrent += strCommand.at(++i);
            else if (ch == QLatin1Char('"'))
                bInQuotes = false;
            else
                strCurrent += ch;
        }
        else if (ch == QLatin1Char('"'))
        {
            bInQuotes = true;
            bHaveArg = true;
        }
        else if (ch == QLatin1Char(' ') || ch == QLatin1Char('\t'))
        {
            if (bHaveArg)
                args << strCurrent;
            strCurrent.clear();
            bHaveArg = false;
        }
        else
        {
            strCurrent += ch;
            bHaveArg = true;
        }
    }
    if (bHaveArg)
        args << strCurrent;
    // Field codes a desktop entry may still carry have no value here.
    static const QRegularExpression fieldRx(QStringLiteral("^%[a-zA-Z]$"));
    QStringList result;
    for (const QString& strArg : args)
    {
        if (!fieldRx.match(strArg).hasMatch())
            result << strArg;
    }
    return result;
}

QString CUrlOpener::FindHtmlHandlerCommand()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForFinished(3000))
        return QString();
    const QString strEntry = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (strEntry.isEmpty())
        return QString();
    const QString strPath = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, strEntry);
    QFile file(strPath);
    if (strPath.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool bInEntry = false;
    while (!in.atEnd())
    {
        const QString strLine = in.readLine().trimmed();
        if (strLine.startsWith(QLatin1Char('[')))
            bInEntry = strLine == QLatin1String("[Desktop Entry]");
        else if (bInEntry && strLine.startsWith(QLatin1String("Exec=")))
            return strLine.mid(5);
    }
    return QString();
}

void CUrlOpener::SetHook(Hook hook)
{
    g_hook = std::move(hook);
}

bool CUrlOpener::Open(const QString& strAddress)
{
    const QString strResolved = ResolveAddress(strAddress, g_strBaseFolder);
    if (g_hook)
        return g_hook(strResolved);
    if (QDesktopServices::openUrl(QUrl(strResolved)))
        return true;
    const QString strCommand = FindHtmlHandlerCommand();
    if (strCommand.isEmpty())
        return false;
    // The address joins as one argument after splitting, so its spaces and
    // shell characters can never become words of the command.
    QStringList args = SplitCommandLine(BuildHandlerCommand(strCommand, QString()));
    if (args.isEmpty())
        return false;
    args << strResolved;
    const QString strProgram = args.takeFirst();
    return QProcess::startDetached(strProgram, args);
}
