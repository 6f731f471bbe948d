#include "app/saveaudiocommand.h"

#include "app/audiorenderer.h"
#include "app/audiosavesettings.h"
#include "app/commandline.h"
#include "app/consoleprogress.h"
#include "app/speakcommand.h"
#include "app/speechapp.h"
#include "app/stopsignals.h"
#include "audio/audiobatchrules.h"
#include "speech/spvoice.h"
#include "text/introlib/prelude.h"
#include "text/preludetext.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <sys/prctl.h>

namespace
{
const char g_szProgram[] = "kestrivane-basic";
// How often the run looks at the stop flag.
constexpr int g_nPollMs = 50;
// How long stopped helpers get to remove their files before they are
// killed.
constexpr int g_nKillAfterMs = 10000;

const char g_szProgress[] = "progress ";
const char g_szResult[] = "result ";
const char g_szDone[] = "done";
const char g_szFailed[] = "failed";
const char g_szStopped[] = "stopped";

QString HowItEnded(const QProcess& process)
{
    if (process.error() == QProcess::FailedToStart)
        return QStringLiteral("cannot be started: ") + process.errorString();
    if (process.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("was ended by a signal");
    return QStringLiteral("ended with exit status %1").arg(process.exitCode());
}
} // namespace

struct CSaveAudioCommand::SDocument
{
    enum EState
    {
        Waiting,
        Running,
        Finished
    };
    enum EResult
    {
        Done,
        Failed,
        Stopped,
        NotStarted
    };

    QString strPath;
    QString strWavPath;
    EState eState = Waiting;
    EResult eResult = NotStarted;
    int nPercent = 0;
    QByteArray output;
    QByteArray messages;
    QString strReported; // the helper's "result" line
    bool bShown = false;
    std::unique_ptr<QProcess> pProcess;
};

CSaveAudioCommand::CSaveAudioCommand(QTextStream& out, QTextStream& err)
    : m_out(out), m_err(err), m_bTerminal(CConsoleProgress::IsTerminal())
{
}

CSaveAudioCommand::~CSaveAudioCommand() = default;

QString CSaveAudioCommand::PrepareFolder(CSpeechApp& app)
{
    if (m_strFolder.isEmpty())
        return CAudioSaveSettings::SaveFolder(app);
    // A folder named on the command line was asked for: it is made.
    QString strFolder = QFileInfo(m_strFolder).absoluteFilePath();
    if (!QDir().mkpath(strFolder) || !QFileInfo(strFolder).isDir())
    {
        m_err << g_szProgram << ": " << m_strFolder << ": the folder cannot be made\n";
        m_err.flush();
        return QString();
    }
    if (!strFolder.endsWith(QLatin1Char('/')))
        strFolder += QLatin1Char('/');
    return strFolder;
}

QStringList CSaveAudioCommand::HelperArguments(const QString& strCode, int nYear,
                                               const QString& strFolder) const
{
    QStringList args{QStringLiteral("--render-one"),
                     QStringLiteral("--out"),
                     strFolder,
                     QStringLiteral("--tag-year"),
                     QString::number(nYear),
                     QStringLiteral("--lang"),
                     strCode,
                     QStringLiteral("--rate"),
                     QString::number(m_voiceOptions.m_nRate),
                     QStringLiteral("--volume"),
                     QString::number(m_voiceOptions.m_nVolume)};
    if (!m_voiceOptions.m_strVoiceName.isEmpty())
        args << QStringLiteral("--voice") << m_voiceOptions.m_strVoiceName;
    if (!m_bWordTimings)
        args << QStringLiteral("--no-timing");
    // A document's name may begin with "-".
    args << QStringLiteral("--");
    return args;
}

int CSaveAudioCommand::Run(const QStringList& files)
{
    CSpeechApp app;
    const bool bSettings = app.InitSettings();
    const QString strCode = m_voiceOptions.LanguageCode(bSettings ? &app : nullptr);
    CSpObjectTokenPtr pToken;
    const int nExit = m_voiceOptions.ChooseVoice(strCode, pToken, m_err);
    const QString strFolder = nExit == CCommandLine::EXIT_OK ? PrepareFolder(app) : QString();
    app.ExitInstance();
    if (nExit != CCommandLine::EXIT_OK)
        return nExit;
    if (strFolder.isEmpty())
        return CCommandLine::EXIT_FAILED;

    m_baseArgs = HelperArguments(strCode, m_nYear > 0 ? m_nYear : CAudioSaveSettings::CurrentYear(),
                                 strFolder);
    m_documents.clear();
    for (const QString& strPath : files)
    {
        auto pDocument = std::make_unique<SDocument>();
        pDocument->strPath = strPath;
        pDocument->strWavPath =
            CAudioBatchRules::WavPath(strFolder, CAudioBatchRules::BaseName(strPath));
        m_documents.push_back(std::move(pDocument));
    }
    const int nJobs = m_nJobs > 0 ? m_nJobs : qMax(1, QThread::idealThreadCount());
    m_nMaxRunning = qMin(nJobs, int(files.size()));
    m_nRunning = 0;
    m_bStopping = false;
    m_nHead = 0;
    m_nLiveLines = 0;
    m_liveLines.clear();

    CStopSignals::Install();
    if (m_bTerminal)
        CConsoleProgress::GuardLibraryMessages();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this, &loop]() { Poll(loop); });
    poll.start(g_nPollMs);
    StartMore();
    Report();
    if (AnyRunning() || AnyWaiting())
        loop.exec();
    poll.stop();

    bool bFailed = false;
    for (const auto& pDocument : m_documents)
    {
        if (pDocument->eState != SDocument::Finished)
        {
            pDocument->eState = SDocument::Finished;
            pDocument->eResult = SDocument::NotStarted;
        }
        bFailed = bFailed || pDocument->eResult == SDocument::Failed;
    }
    Report();
    if (m_bTerminal)
        CConsoleProgress::UnguardLibraryMessages();
    CStopSignals::Restore();
    if (m_bStopping)
    {
        m_err << g_szProgram << ": stopped\n";
        m_err.flush();
        return CSpeakCommand::EXIT_STOPPED;
    }
    return bFailed ? CCommandLine::EXIT_FAILED : CCommandLine::EXIT_OK;
}

void CSaveAudioCommand::Poll(QEventLoop& loop)
{
    if (CStopSignals::IsRequested() && !m_bStopping)
    {
        StopAll();
        QTimer::singleShot(g_nKillAfterMs, &loop, [this]() { KillAll(); });
    }
    if (!AnyRunning() && (m_bStopping || !AnyWaiting()))
        loop.quit();
    else if (m_bTerminal && CConsoleProgress::IsLineBroken())
        Report();
}

bool CSaveAudioCommand::CanStart(size_t nIndex) const
{
    // Documents of one name write the same files: one after another, so
    // the last one's stay, as in a run of one document at a time.
    for (size_t i = 0; i < nIndex; ++i)
    {
        const SDocument& earlier = *m_documents[i];
        if (earlier.eState != SDocument::Finished &&
            earlier.strWavPath == m_documents[nIndex]->strWavPath)
            return false;
    }
    return true;
}

void CSaveAudioCommand::StartMore()
{
    if (m_bStopping || CStopSignals::IsRequested())
        return;
    for (size_t i = 0; i < m_documents.size() && m_nRunning < m_nMaxRunning; ++i)
    {
        if (m_documents[i]->eState == SDocument::Waiting && CanStart(i))
            Start(i);
    }
}

void CSaveAudioCommand::Start(size_t nIndex)
{
    SDocument& document = *m_documents[nIndex];
    document.eState = SDocument::Running;
    ++m_nRunning;
    document.pProcess = std::make_unique<QProcess>();
    QProcess* pProcess = document.pProcess.get();
    pProcess->setStandardInputFile(QProcess::nullDevice());
    // A helper whose run is killed outright ends with it, removing its
    // files.
    pProcess->setChildProcessModifier([]() { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    QObject::connect(pProcess, &QProcess::readyReadStandardOutput,
                     [this, &document]() { ReadOutput(document); });
    QObject::connect(pProcess, &QProcess::readyReadStandardError,
                     [&document]()
                     { document.messages += document.pProcess->readAllStandardError(); });
    QObject::connect(pProcess, &QProcess::finished, [this, &document]() { OnFinished(document); });
    QObject::connect(pProcess, &QProcess::errorOccurred,
                     [this, &document](QProcess::ProcessError eError)
                     {
                         if (eError == QProcess::FailedToStart)
                             OnFinished(document);
                     });
    pProcess->start(QCoreApplication::applicationFilePath(),
                    m_baseArgs + QStringList{document.strPath});
}

void CSaveAudioCommand::ReadOutput(SDocument& document)
{
    document.output += document.pProcess->readAllStandardOutput();
    bool bChanged = false;
    qsizetype nEnd = 0;
    while ((nEnd = document.output.indexOf('\n')) >= 0)
    {
        const QString strLine = QString::fromUtf8(document.output.left(nEnd));
        document.output.remove(0, nEnd + 1);
        if (strLine.startsWith(QLatin1String(g_szProgress)))
        {
            bool bOk = false;
            const int nPercent = strLine.mid(int(strlen(g_szProgress))).toInt(&bOk);
            if (bOk && nPercent != document.nPercent)
            {
                document.nPercent = qBound(0, nPercent, 100);
                bChanged = true;
            }
        }
        else if (strLine.startsWith(QLatin1String(g_szResult)))
        {
            document.strReported = strLine.mid(int(strlen(g_szResult)));
        }
    }
    if (bChanged && m_bTerminal)
        Report();
}

void CSaveAudioCommand::OnFinished(SDocument& document)
{
    if (document.eState != SDocument::Running)
        return;
    ReadOutput(document);
    document.messages += document.pProcess->readAllStandardError();
    document.eState = SDocument::Finished;
    --m_nRunning;
    // A helper that said it was done is, even when a stop signal ended it
    // on its way out.
    if (document.strReported == QLatin1String(g_szDone))
    {
        document.eResult = SDocument::Done;
    }
    else if (m_bStopping || CStopSignals::IsRequested())
    {
        document.eResult = SDocument::Stopped;
    }
    else
    {
        document.eResult = SDocument::Failed;
        if (document.strReported != QLatin1String(g_szFailed))
            document.messages += QStringLiteral("%1: %2: the rendering process %3\n")
                                     .arg(QLatin1String(g_szProgram), document.strPath,
                                          HowItEnded(*document.pProcess))
                                     .toLocal8Bit();
    }
    if (document.eResult != SDocument::Done)
    {
        for (const QString& strPart : CAudioRenderer::PartPaths(document.strWavPath))
            QFile::remove(strPart);
    }
    StartMore();
    Report();
}

void CSaveAudioCommand::StopAll()
{
    m_bStopping = true;
    for (const auto& pDocument : m_documents)
    {
        if (pDocument->eState == SDocument::Running)
            pDocument->pProcess->terminate();
    }
}

void CSaveAudioCommand::KillAll()
{
    for (const auto& pDocument : m_documents)
    {
        if (pDocument->eState == SDocument::Running)
            pDocument->pProcess->kill();
    }
}

bool CSaveAudioCommand::AnyRunning() const
{
    return m_nRunning > 0;
}

bool CSaveAudioCommand::AnyWaiting() const
{
    for (const auto& pDocument : m_documents)
    {
        if (pDocument->eState == SDocument::Waiting)
            return true;
    }
    return false;
}

QString CSaveAudioCommand::FinishedText(size_t nIndex)
{
    SDocument& document = *m_documents[nIndex];
    if (document.eResult == SDocument::NotStarted)
        return QString();
    QString strText;
    const int nCount = int(m_documents.size());
    if (m_bTerminal)
        strText =
            CConsoleProgress::Line(int(nIndex) + 1, nCount, document.strPath,
                                   document.eResult == SDocument::Done ? 100 : document.nPercent,
                                   CConsoleProgress::Columns()) +
            QLatin1Char('\n');
    else if (!document.bShown)
        strText = QStringLiteral("[%1/%2] %3\n").arg(nIndex + 1).arg(nCount).arg(document.strPath);
    document.bShown = true;
    strText += QString::fromLocal8Bit(document.messages);
    if (document.eResult == SDocument::Stopped)
        strText += QStringLiteral("%1: removed the unfinished files of %2\n")
                       .arg(QLatin1String(g_szProgram), document.strPath);
    return strText;
}

void CSaveAudioCommand::Report()
{
    QString strOut;
    const bool bBroken = m_bTerminal && CConsoleProgress::TakeLineBroken();
    size_t nHead = m_nHead;
    while (nHead < m_documents.size() && m_documents[nHead]->eState == SDocument::Finished)
        ++nHead;
    QStringList lines;
    if (m_bTerminal)
    {
        // The bars of the documents begun and not yet written out for good,
        // as many as the terminal shows.
        const int nMaxLines = qMax(1, CConsoleProgress::Rows() - 1);
        const int nColumns = CConsoleProgress::Columns();
        for (size_t i = nHead; i < m_documents.size() && lines.size() < nMaxLines; ++i)
        {
            const SDocument& document = *m_documents[i];
            if (document.eState != SDocument::Waiting)
                lines.append(CConsoleProgress::Line(
                    int(i) + 1, int(m_documents.size()), document.strPath,
                    document.eResult == SDocument::Done ? 100 : document.nPercent, nColumns));
        }
        if (nHead == m_nHead && lines == m_liveLines && !bBroken)
            return;
        if (m_nLiveLines > 0)
        {
            strOut += QLatin1Char('\r');
            // After a library message the bars are below it, and the
            // cursor is where they begin.
            if (m_nLiveLines > 1 && !bBroken)
                strOut += QStringLiteral("\x1b[%1A").arg(m_nLiveLines - 1);
            strOut += QStringLiteral("\x1b[J");
        }
    }
    for (; m_nHead < nHead; ++m_nHead)
        strOut += FinishedText(m_nHead);
    if (m_bTerminal)
    {
        strOut += lines.join(QLatin1Char('\n'));
        m_nLiveLines = int(lines.size());
        m_liveLines = lines;
    }
    else if (m_nHead < m_documents.size() && m_documents[m_nHead]->eState == SDocument::Running &&
             !m_documents[m_nHead]->bShown)
    {
        m_documents[m_nHead]->bShown = true;
        strOut += QStringLiteral("[%1/%2] %3\n")
                      .arg(m_nHead + 1)
                      .arg(m_documents.size())
                      .arg(m_documents[m_nHead]->strPath);
    }
    if (strOut.isEmpty())
        return;
    m_err << strOut;
    m_err.flush();
}

int CSaveAudioCommand::RenderOne(const QString& strPath)
{
    CStopSignals::Install();
    CSpeechApp app;
    std::optional<QTemporaryDir> fallback;
    const bool bSettings = app.InitSettings();
    const QString strTemp = CCommandLine::ScratchFolder(bSettings ? &app : nullptr, fallback);
    const QString strCode = m_voiceOptions.LanguageCode(bSettings ? &app : nullptr);
    QString strFolder = m_strFolder;
    if (!strFolder.endsWith(QLatin1Char('/')))
        strFolder += QLatin1Char('/');

    CAudioRenderer::EResult eResult = CAudioRenderer::Failed;
    CSpObjectTokenPtr pToken;
    std::unique_ptr<CSpVoice> pVoice;
    QString strText;
    if (m_voiceOptions.ChooseVoice(strCode, pToken, m_err) == CCommandLine::EXIT_OK &&
        (pVoice = m_voiceOptions.CreateVoice(pToken, m_err)) &&
        CCommandLine::ReadDocument(strPath, strTemp, strText, m_err, true))
    {
        const QString strBaseName = CAudioBatchRules::BaseName(strPath);
        CPrelude prelude;
        const QString strHeading =
            CAudioBatchRules::Heading(CPreludeText::Get(prelude, strCode), strBaseName);
        CAudioRenderer renderer(*pVoice);
        CAudioSaveSettings::ApplyTag(renderer.Converter(),
                                     m_nYear > 0 ? m_nYear : CAudioSaveSettings::CurrentYear());
        renderer.SetWordTimings(m_bWordTimings);
        renderer.SetStopCheck([]() { return CStopSignals::IsRequested(); });
        renderer.SetProgressSink(
            [this](int nPercent)
            {
                m_out << g_szProgress << nPercent << "\n";
                m_out.flush();
            });
        QStringList errors;
        eResult = renderer.Render(strHeading, strText,
                                  CAudioBatchRules::WavPath(strFolder, strBaseName), errors);
        for (const QString& strError : qAsConst(errors))
            m_err << g_szProgram << ": " << strPath << ": " << strError << "\n";
        m_err.flush();
    }
    if (eResult != CAudioRenderer::Done && CStopSignals::IsRequested())
        eResult = CAudioRenderer::Stopped;
    m_out << g_szResult
          << (eResult == CAudioRenderer::Done      ? g_szDone
              : eResult == CAudioRenderer::Stopped ? g_szStopped
                                                   : g_szFailed)
          << "\n";
    m_out.flush();
    pVoice.reset();
    app.ExitInstance();
    CStopSignals::Restore();
    return eResult == CAudioRenderer::Done      ? CCommandLine::EXIT_OK
           : eResult == CAudioRenderer::Stopped ? CSpeakCommand::EXIT_STOPPED
                                                : CCommandLine::EXIT_FAILED;
}
