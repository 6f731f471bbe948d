#include "app/speakcommand.h"

#include "app/commandline.h"
#include "app/consoleprogress.h"
#include "app/speechapp.h"
#include "app/stopsignals.h"
#include "speech/readingrules.h"
#include "speech/spvoice.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

namespace
{
const char g_szProgram[] = "kestrivane-basic";
// How often the waits look at the stop flag and the word events.
constexpr int g_nPollMs = 50;
// How long a purge may take to silence the device before the program ends
// regardless.
constexpr int g_nPurgeWaitMs = 2000;
} // namespace

CSpeakCommand::CSpeakCommand(QTextStream& err)
    : m_err(err), m_bTerminal(CConsoleProgress::IsTerminal())
{
}

CSpeakCommand::~CSpeakCommand() = default;

int CSpeakCommand::Run(const QStringList& files)
{
    CSpeechApp app;
    std::optional<QTemporaryDir> fallback;
    const bool bSettings = app.InitSettings();
    const QString strTemp = CCommandLine::ScratchFolder(bSettings ? &app : nullptr, fallback);
    const QString strCode = m_voiceOptions.LanguageCode(bSettings ? &app : nullptr);
    CSpObjectTokenPtr pToken;
    int nExit = m_voiceOptions.ChooseVoice(strCode, pToken, m_err);
    if (nExit == CCommandLine::EXIT_OK)
    {
        m_pVoice = m_voiceOptions.CreateVoice(pToken, m_err);
        if (!m_pVoice)
            nExit = CCommandLine::EXIT_FAILED;
    }
    if (nExit != CCommandLine::EXIT_OK)
    {
        app.ExitInstance();
        return nExit;
    }

    CStopSignals::Install();
    if (m_bTerminal)
        CConsoleProgress::GuardLibraryMessages();
    m_nCount = int(files.size());
    bool bAnyRead = false;
    for (int i = 0; i < m_nCount && !CStopSignals::IsRequested() && !m_bVoiceFailed; ++i)
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
    if (CStopSignals::IsRequested())
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
        CConsoleProgress::UnguardLibraryMessages();
    CStopSignals::Restore();
    app.ExitInstance();
    return nExit;
}

bool CSpeakCommand::ReadDocument(const QString& strPath, const QString& strTempFolder,
                                 QString& strText)
{
    if (!CCommandLine::ReadDocument(strPath, strTempFolder, strText, m_err, true))
        return false;
    // Paragraphs end in "\r" in the text pane's form; "\n" lets the voice
    // pause between them, and keeps every position where it was.
    strText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
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
                nPercent = CConsoleProgress::Percent(quint32(event.lParam), quint32(event.wParam),
                                                     nLength);
        }
        if (CStopSignals::IsRequested())
            return false;
        if (bShowProgress && nPercent >= 0)
            DrawProgress(nPercent);
        else if (CConsoleProgress::IsLineBroken() && m_bLineOpen)
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
    while (!CStopSignals::IsRequested())
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
    if (!m_bTerminal || (nPercent == m_nPercent && !CConsoleProgress::TakeLineBroken()))
        return;
    m_nPercent = nPercent;
    m_err << "\r"
          << CConsoleProgress::Line(m_nIndex, m_nCount, m_strName, nPercent,
                                    CConsoleProgress::Columns())
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
