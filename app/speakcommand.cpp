#include "app/speakcommand.h"

#include "app/commandline.h"
#include "app/speechapp.h"
#include "speech/languagecatalogue.h"
#include "speech/readingrules.h"
#include "speech/splanguagetags.h"
#include "speech/spvoice.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
const char g_szProgram[] = "kestrivane-basic";
const char g_szFallbackCode[] = "0409";
// How often the waits look at the stop flag and the word events.
constexpr int g_nPollMs = 50;
// How long a purge may take to silence the device before the program ends
// regardless.
constexpr int g_nPurgeWaitMs = 2000;
constexpr int g_nBarWidth = 20;

std::atomic<int> g_nStopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");
// Set when a library message has broken the progress line, which must then
// be drawn again in full.
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

extern "C" void OnStopSignal(int nSignal)
{
    g_nStopSignal.store(nSignal);
}

const int g_stopSignals[] = {SIGINT, SIGTERM};
struct sigaction g_previousActions[std::size(g_stopSignals)];

void InstallStopHandlers()
{
    g_nStopSignal = 0;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(g_stopSignals); ++i)
        sigaction(g_stopSignals[i], &action, &g_previousActions[i]);
}

void RestoreStopHandlers()
{
    for (size_t i = 0; i < std::size(g_stopSignals); ++i)
        sigaction(g_stopSignals[i], &g_previousActions[i], nullptr);
}

bool StopRequested()
{
    return g_nStopSignal.load() != 0;
}

int TerminalColumns()
{
    struct winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// "409" and "0409" name the same catalogue row.
QString FourDigitCode(const QString& strCode)
{
    return strCode.rightJustified(4, QLatin1Char('0')).toLower();
}

bool IsCatalogueCode(const QString& strCode)
{
    for (const LanguageRecord& record : CLanguageCatalogue::Build())
    {
        if (record.szCode.compare(strCode, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
} // namespace

CSpeakCommand::CSpeakCommand(QTextStream& err) : m_err(err), m_bTerminal(isatty(STDERR_FILENO)) {}

CSpeakCommand::~CSpeakCommand() = default;

int CSpeakCommand::ProgressPercent(quint32 nPos, quint32 nLen, quint32 nTextLength)
{
    if (nTextLength == 0)
        return 0;
    return int(qMin<quint64>(100, (quint64(nPos) + quint64(nLen)) * 100 / quint64(nTextLength)));
}

QString CSpeakCommand::ProgressLine(int nIndex, int nCount, const QString& strName, int nPercent,
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

int CSpeakCommand::Run(const QStringList& files)
{
    CSpeechApp app;
    QTemporaryDir fallback;
    const bool bSettings = app.InitSettings();
    // The RTF round trip uses the settings' "Temp" folder, as the window does.
    const QString strTemp = bSettings ? app.GetSettingsFolder() + QStringLiteral("Temp/")
                                      : fallback.path() + QLatin1Char('/');
    QString strCode = m_strLanguage;
    if (strCode.isEmpty() && bSettings)
        strCode = app.GetStartupLanguageCode();
    if (strCode.isEmpty())
        strCode = QString::fromLatin1(g_szFallbackCode);

    CSpObjectTokenPtr pToken;
    int nExit = ChooseVoice(FourDigitCode(strCode), pToken);
    if (nExit != CCommandLine::EXIT_OK)
    {
        app.ExitInstance();
        return nExit;
    }
    m_pVoice = CSpVoice::Create();
    if (!m_pVoice)
    {
        m_err << g_szProgram << ": the speech engine cannot be loaded\n";
        m_err.flush();
        app.ExitInstance();
        return CCommandLine::EXIT_FAILED;
    }
    m_pVoice->SetVoice(pToken);
    m_pVoice->SetOutput(nullptr, true);
    m_pVoice->SetRate(m_nRate);
    m_pVoice->SetVolume(quint16(m_nVolume));
    m_pVoice->SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY));

    InstallStopHandlers();
    if (m_bTerminal)
        g_previousMessageHandler = qInstallMessageHandler(OnLibraryMessage);
    m_nCount = int(files.size());
    bool bAnyRead = false;
    for (int i = 0; i < m_nCount && !StopRequested() && !m_bVoiceFailed; ++i)
    {
        const QString& strPath = files.at(i);
        m_nIndex = i + 1;
        QString strText;
        if (!ReadDocument(strPath, strTemp, strText))
        {
            nExit = CCommandLine::EXIT_FAILED;
            continue;
        }
        if (bAnyRead && !WaitGap())
            break;
        bAnyRead = true;
        ShowDocument(strPath);
        if (!SpeakAndWait(CReadingRules::BaseName(strPath), false) || !SpeakAndWait(strText, true))
            break;
        FinishLine();
    }
    if (StopRequested())
    {
        Stop();
        nExit = EXIT_STOPPED;
    }
    else if (m_bVoiceFailed)
    {
        FinishLine();
        m_err << g_szProgram << ": the voice cannot speak\n";
        m_err.flush();
        nExit = CCommandLine::EXIT_FAILED;
    }
    m_pVoice.reset();
    if (m_bTerminal)
        qInstallMessageHandler(g_previousMessageHandler);
    RestoreStopHandlers();
    app.ExitInstance();
    return nExit;
}

int CSpeakCommand::ChooseVoice(const QString& strCode, CSpObjectTokenPtr& pToken)
{
    if (!m_strLanguage.isEmpty() && !IsCatalogueCode(strCode))
    {
        CCommandLine::UsageError(
            m_err,
            QStringLiteral("'%1' is not a language code of --list-languages").arg(m_strLanguage));
        return CCommandLine::EXIT_USAGE;
    }
    const QString strAttribute = CSpLanguageTags::WithoutLeadingZero(strCode);
    const LANGID nUiLanguage = CSpLanguageTags::UserUiLanguageId();
    QStringList descriptions;
    if (!CLanguageCatalogue::ListVoices(strAttribute, nUiLanguage, descriptions))
    {
        m_err << g_szProgram << ": the installed voices cannot be read\n";
        m_err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    if (descriptions.isEmpty())
    {
        m_err << g_szProgram << ": no voice for language " << strCode << "\n";
        m_err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    const QString strVoice = m_strVoiceName.isEmpty() ? descriptions.constFirst() : m_strVoiceName;
    if (!CLanguageCatalogue::FindVoice(strAttribute, strVoice, nUiLanguage, pToken))
    {
        m_err << g_szProgram << ": the installed voices cannot be read\n";
        m_err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    if (!pToken)
    {
        CCommandLine::UsageError(m_err,
                                 QStringLiteral("no voice '%1' for language %2 (see --list-voices "
                                                "%2)")
                                     .arg(m_strVoiceName, strCode));
        return CCommandLine::EXIT_USAGE;
    }
    return CCommandLine::EXIT_OK;
}

bool CSpeakCommand::ReadDocument(const QString& strPath, const QString& strTempFolder,
                                 QString& strText)
{
    if (!CCommandLine::ReadDocument(strPath, strTempFolder, strText, m_err))
        return false;
    // Paragraphs end in "\r" in the text pane's form; "\n" lets the voice
    // pause between them, and keeps every position where it was.
    strText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (strText.isEmpty())
    {
        m_err << g_szProgram << ": " << strPath << ": the document holds no text\n";
        m_err.flush();
    }
    return !strText.isEmpty();
}

bool CSpeakCommand::SpeakAndWait(const QString& strText, bool bShowProgress)
{
    ULONG nStream = 0;
    if (!m_pVoice->Speak(strText, SPF_ASYNC, &nStream))
    {
        m_bVoiceFailed = true;
        return false;
    }
    const quint32 nLength = quint32(strText.size());
    bool bDone = false;
    while (!bDone)
    {
        bDone = m_pVoice->WaitUntilDone(g_nPollMs);
        SPEVENT event;
        int nPercent = -1;
        while (m_pVoice->GetEvents(1, &event, nullptr))
        {
            if (event.eEventId == SPEI_WORD_BOUNDARY && event.ulStreamNum == nStream)
                nPercent = ProgressPercent(quint32(event.lParam), quint32(event.wParam), nLength);
        }
        if (StopRequested())
            return false;
        if (bShowProgress && nPercent >= 0)
            DrawProgress(nPercent);
        else if (g_bLineBroken && m_bLineOpen)
            DrawProgress(m_nPercent);
    }
    if (bShowProgress)
        DrawProgress(100);
    return true;
}

bool CSpeakCommand::WaitGap()
{
    const qint64 nGapMs = qint64(CReadingRules::GAP_TICKS) * CReadingRules::ClockPeriodMs();
    QElapsedTimer timer;
    timer.start();
    while (!StopRequested())
    {
        const qint64 nLeft = nGapMs - timer.elapsed();
        if (nLeft <= 0)
            return true;
        QThread::msleep(ulong(qMin<qint64>(nLeft, g_nPollMs)));
    }
    return false;
}

void CSpeakCommand::ShowDocument(const QString& strPath)
{
    m_strName = strPath;
    m_nPercent = -1;
    if (m_bTerminal)
    {
        DrawProgress(0);
        return;
    }
    m_err << "[" << m_nIndex << "/" << m_nCount << "] " << strPath << "\n";
    m_err.flush();
}

void CSpeakCommand::DrawProgress(int nPercent)
{
    if (!m_bTerminal || (nPercent == m_nPercent && !g_bLineBroken.exchange(false)))
        return;
    m_nPercent = nPercent;
    m_err << "\r" << ProgressLine(m_nIndex, m_nCount, m_strName, nPercent, TerminalColumns())
          << "\x1b[K";
    m_err.flush();
    m_bLineOpen = true;
}

void CSpeakCommand::FinishLine()
{
    if (!m_bLineOpen)
        return;
    m_err << "\n";
    m_err.flush();
    m_bLineOpen = false;
}

void CSpeakCommand::Stop()
{
    m_pVoice->Speak(QString(), SPF_PURGEBEFORESPEAK);
    m_pVoice->WaitUntilDone(g_nPurgeWaitMs);
    FinishLine();
    m_err << g_szProgram << ": stopped\n";
    m_err.flush();
}
