#include "app/audiorenderer.h"

#include "app/audiosavesettings.h"
#include "app/consoleprogress.h"
#include "audio/wordtimings.h"
#include "speech/spvoice.h"

#include <QFile>
#include <QThread>
#include <algorithm>

namespace
{
// How often the waits look at the stop check, the events and the encoder.
constexpr int g_nPollMs = 50;
constexpr int g_nPurgeWaitMs = 2000;
} // namespace

CAudioRenderer::CAudioRenderer(CSpVoice& voice) : m_voice(voice) {}

QStringList CAudioRenderer::PartPaths(const QString& strWavPath)
{
    return {CWaveToMP3Converter::PartPathFor(strWavPath),
            CWaveToMP3Converter::PartPathFor(CWaveToMP3Converter::Mp3PathFor(strWavPath))};
}

bool CAudioRenderer::IsStopRequested()
{
    if (!m_bStopped && m_fnStop && m_fnStop())
        m_bStopped = true;
    return m_bStopped;
}

CAudioRenderer::EResult CAudioRenderer::Render(const QString& strHeading, const QString& strText,
                                               const QString& strWavPath, QStringList& errors)
{
    m_bStopped = false;
    m_nPercent = -1;
    m_wordMarks.clear();
    const QString strMp3Path = CWaveToMP3Converter::Mp3PathFor(strWavPath);
    WAVEFORMATEX format;
    m_voice.GetFormat(&format);
    auto pStream = std::make_shared<CSpStream>();
    if (!pStream->BindToFile(CWaveToMP3Converter::PartPathFor(strWavPath), format, strWavPath))
    {
        errors.append(QStringLiteral("cannot write the WAV file %1").arg(strWavPath));
        return Failed;
    }
    if (m_converter.StartFollowing(pStream->GetPath(), strMp3Path,
                                   CAudioSaveSettings::MONO_BITRATE) != 0)
    {
        pStream->Discard();
        errors.append(QStringLiteral("%1: the MP3 encoder cannot be started").arg(strMp3Path));
        return Failed;
    }
    CWordTimings timings(format.nAvgBytesPerSec);
    m_voice.SetOutput(pStream, true);
    const bool bSpoken = Speak(strHeading, strText, timings, errors);
    m_voice.SetOutput(nullptr, true);
    const quint64 nDataBytes = pStream->GetDataBytes();
    if (!bSpoken)
    {
        pStream->Discard();
        m_converter.Stop();
        return m_bStopped ? Stopped : Failed;
    }
    if (!pStream->Close())
    {
        m_converter.Stop();
        errors.append(QStringLiteral("cannot write the WAV file %1").arg(strWavPath));
        return Failed;
    }
    m_converter.SetExtraId3Frames(m_bWordTimings ? timings.SyltFrame(3) : QByteArray());
    m_converter.EndInput(nDataBytes);
    if (!WaitForMp3())
    {
        // What this rendering completed goes too: the document is not done.
        if (m_converter.GetLastExitCode() == CWaveToMP3Converter::EXIT_DONE)
            QFile::remove(strMp3Path);
        QFile::remove(strWavPath);
        return Stopped;
    }
    if (m_converter.GetLastExitCode() != CWaveToMP3Converter::EXIT_DONE)
    {
        errors.append(strMp3Path + QStringLiteral(": ") + m_converter.GetLastError());
        return Failed;
    }
    const quint32 nTotalMs =
        format.nAvgBytesPerSec ? quint32(nDataBytes * 1000 / format.nAvgBytesPerSec) : 0;
    if (m_bWordTimings && !timings.WriteBeside(strMp3Path, nTotalMs))
    {
        errors.append(QStringLiteral("cannot write the word timings beside %1").arg(strMp3Path));
        return Failed;
    }
    ReportProgress(100);
    return Done;
}

bool CAudioRenderer::Speak(const QString& strHeading, const QString& strText, CWordTimings& timings,
                           QStringList& errors)
{
    m_voice.SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY));
    // Events of an earlier utterance are no words of this one.
    while (m_voice.GetEvents(1, nullptr, nullptr))
    {
    }
    ULONG nHeadingStream = 0;
    ULONG nTextStream = 0;
    if (!m_voice.Speak(strHeading, SPF_ASYNC | SPF_IS_XML, &nHeadingStream) ||
        !m_voice.Speak(strText, SPF_ASYNC, &nTextStream))
    {
        m_voice.Speak(QString(), SPF_PURGEBEFORESPEAK);
        m_voice.WaitUntilDone(g_nPurgeWaitMs);
        // A voice stops at a stream the disk refused: the file is the cause.
        const CSpStreamPtr pStream = m_voice.GetOutputStream();
        errors.append(
            pStream && pStream->HasFailed()
                ? QStringLiteral("cannot write the WAV file %1").arg(pStream->GetFinalPath())
                : QStringLiteral("the voice cannot speak"));
        return false;
    }
    timings.AddUtterance(nHeadingStream, strHeading, true);
    timings.AddUtterance(nTextStream, strText, false);
    bool bDone = false;
    while (!bDone)
    {
        bDone = m_voice.WaitUntilDone(g_nPollMs);
        TakeEvents(timings, nTextStream, int(strText.size()));
        if (IsStopRequested())
        {
            m_voice.Speak(QString(), SPF_PURGEBEFORESPEAK);
            m_voice.WaitUntilDone(g_nPurgeWaitMs);
            return false;
        }
        ReportProgress();
    }
    return true;
}

bool CAudioRenderer::WaitForMp3()
{
    while (m_converter.IsWorking())
    {
        if (IsStopRequested())
        {
            m_converter.Stop();
            return false;
        }
        ReportProgress();
        QThread::msleep(g_nPollMs);
    }
    return true;
}

void CAudioRenderer::TakeEvents(CWordTimings& timings, ULONG nTextStream, int nTextLength)
{
    SPEVENT event;
    while (m_voice.GetEvents(1, &event, nullptr))
    {
        if (event.eEventId != SPEI_WORD_BOUNDARY)
            continue;
        timings.AddEvent(event);
        if (event.ulStreamNum == nTextStream)
            m_wordMarks.emplace_back(event.ullAudioStreamOffset,
                                     CConsoleProgress::Percent(quint32(event.lParam),
                                                               quint32(event.wParam),
                                                               quint32(nTextLength)));
    }
}

void CAudioRenderer::ReportProgress(int nPercent)
{
    if (nPercent < 0)
    {
        // The text is as far as its last word whose sound is encoded.
        const quint64 nEncoded = m_converter.GetBytesEncoded();
        const auto it = std::upper_bound(m_wordMarks.begin(), m_wordMarks.end(), nEncoded,
                                         [](quint64 nBytes, const std::pair<quint64, int>& mark)
                                         { return nBytes < mark.first; });
        nPercent = it == m_wordMarks.begin() ? 0 : std::prev(it)->second;
    }
    if (nPercent == m_nPercent)
        return;
    m_nPercent = nPercent;
    if (m_fnProgress)
        m_fnProgress(nPercent);
}
