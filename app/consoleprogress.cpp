#include "app/consoleprogress.h"

#include <atomic>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
constexpr int g_nBarWidth = 20;

std::atomic<bool> g_bLineBroken{false};
QtMessageHandler g_previousMessageHandler = nullptr;

void OnLibraryMessage(QtMsgType eType, const QMessageLogContext& context, const QString& strMessage)
{
    fputs("\r\x1b[K", stderr);
    g_bLineBroken = true;
    if (g_previousMessageHandler)
        g_previousMessageHandler(eType, context, strMessage);
    else
        fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(eType, context, strMessage)));
}

struct winsize TerminalSize()
{
    struct winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0)
        size = {};
    return size;
}
} // namespace

bool CConsoleProgress::IsTerminal()
{
    return isatty(STDERR_FILENO);
}

int CConsoleProgress::Columns()
{
    const int nColumns = TerminalSize().ws_col;
    return nColumns > 0 ? nColumns : 80;
}

int CConsoleProgress::Rows()
{
    const int nRows = TerminalSize().ws_row;
    return nRows > 0 ? nRows : 24;
}

int CConsoleProgress::Percent(quint32 nPos, quint32 nLen, quint32 nTextLength)
{
    if (nTextLength == 0)
        return 0;
    return int(qMin<quint64>(100, (quint64(nPos) + quint64(nLen)) * 100 / quint64(nTextLength)));
}

QString CConsoleProgress::Line(int nIndex, int nCount, const QString& strName, int nPercent,
                               int nColumns)
{
    const int nPercentShown = qBound(0, nPercent, 100);
    const int nFilled = nPercentShown * g_nBarWidth / 100;
    const QString strPrefix = QStringLiteral("[%1/%2] ").arg(nIndex).arg(nCount);
    const QString strBar = QStringLiteral(" [") + QString(nFilled, QLatin1Char('#')) +
                           QString(g_nBarWidth - nFilled, QLatin1Char('-')) +
                           QStringLiteral("] %1%").arg(nPercentShown, 3);
    // The last column stays free: a line that fills it wraps on some
    // terminals and \r then redraws only its second half.
    const int nRoom = nColumns - 1 - int(strPrefix.size() + strBar.size());
    QString strShown = strName;
    if (nRoom <= 3)
        strShown.clear();
    else if (strShown.size() > nRoom)
        strShown = QStringLiteral("...") + strShown.right(nRoom - 3);
    return strPrefix + strShown + strBar;
}

void CConsoleProgress::GuardLibraryMessages()
{
    g_previousMessageHandler = qInstallMessageHandler(OnLibraryMessage);
}

void CConsoleProgress::UnguardLibraryMessages()
{
    qInstallMessageHandler(g_previousMessageHandler);
}

bool CConsoleProgress::IsLineBroken()
{
    return g_bLineBroken.load();
}

bool CConsoleProgress::TakeLineBroken()
{
    return g_bLineBroken.exchange(false);
}
