#include "speech/spvoice.h"

#include "res/messageevent.h"
#include "speech/spaudiosink.h"
#include "speech/spengine.h"
#include "speech/splanguagetags.h"
#include "speech/spobjecttokencategory.h"
#include "speech/sptextchunker.h"
#include "speech/sptimestretch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QThread>
#include <cmath>
#include <limits>

namespace
{
// Audio made ahead of what is heard: short, so that a rate change reaches
// the listener promptly and a long text needs little memory.
constexpr int g_nLookAheadMs = 250;
// How often the playing side looks at the device clock.
constexpr int g_nPollMs = 3;
// A device whose clock stands still this long while it has audio to play
// has failed.
constexpr int g_nStallMs = 3000;
// Events nobody takes are dropped beyond this many.
constexpr size_t g_nMaxQueuedEvents = 100000;
constexpr double g_dNormalWordsPerMinute = 175.0;

quint64 EventBit(SPEVENTENUM eId)
{
    return quint64(1) << int(eId);
}
} // namespace

// One utterance on its way to the listener: the engine's audio, stretched
// to the wanted rate, goes to the device (or the file); its events wait
// until the samples before them have been played (or written).
class CSpVoice::CRun
{
public:
    CRun(CSpVoice& voice, const SUtterance& utterance, quint64 nGeneration)
        : m_voice(voice), m_utterance(utterance), m_nGeneration(nGeneration),
          m_stretch(voice.m_nSampleRate)
    {
        m_format.nSamplesPerSec = quint32(voice.m_nSampleRate);
        m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * 2;
    }

    bool Open()
    {
        if (m_utterance.pOutput)
        {
            // Utterances spoken one after another into a file count their
            // events from the file's start, so each word's offset is its
            // place in the audio.
            m_nStreamBytesBefore = m_utterance.pOutput->GetDataBytes();
            return m_utterance.pOutput->IsOpen() && !m_utterance.pOutput->HasFailed();
        }
        m_pSink = CSpAudioSink::Create(m_format);
        return m_pSink != nullptr;
    }

    // Takes one block of the engine; false stops the synthesis.
    bool OnBlock(const short* pSamples, int nSamples, const std::vector<CSpEngine::SEvent>& events,
                 const CSpTextChunker::SChunk& chunk)
    {
        if (Stopped())
            return false;
        const double dWanted = WordsPerMinute(m_voice.m_nRate.load());
        const double dFactor = dWanted / double(m_nEngineRateActive);
        const qint64 nOutBefore = m_nProduced + qint64(m_out.size());
        bool bClauseEnd = false;
        for (const CSpEngine::SEvent& event : events)
        {
            const qint64 nInBlock =
                qBound<qint64>(0, event.nSample - m_nChunkSamples, qint64(qMax(0, nSamples)));
            const qint64 nAt = nOutBefore + qint64(double(nInBlock) / dFactor);
            if (event.eType == CSpEngine::SEvent::ClauseEnd ||
                event.eType == CSpEngine::SEvent::Sentence)
                bClauseEnd = true;
            if (event.eType == CSpEngine::SEvent::Word)
                AddWord(event, chunk, nAt);
            else if (event.eType == CSpEngine::SEvent::Mark)
                AddBookmark(event, nAt);
        }
        if (nSamples > 0)
        {
            m_stretch.Process(pSamples, nSamples, dFactor, m_out);
            m_nChunkSamples += nSamples;
        }
        if (bClauseEnd)
            m_nEngineRateActive = m_nEngineRatePending;
        return Deliver(false);
    }

    int PollEngineRate(int nMinimumRate)
    {
        m_nEngineRatePending = EngineRate(WordsPerMinute(m_voice.m_nRate.load()), nMinimumRate);
        return m_nEngineRatePending;
    }

    void StartChunk(int nEngineRate)
    {
        m_nChunkSamples = 0;
        m_nEngineRateActive = m_nEngineRatePending = nEngineRate;
    }

    // Plays (or writes) what is left and waits until it has been heard.
    void Finish()
    {
        if (!Stopped())
        {
            m_stretch.Flush(m_out);
            // Stretching may end a little short of where the events were
            // placed: the last of them belong to the end of the audio.
            if (Deliver(true))
                Release(std::numeric_limits<qint64>::max());
        }
        if (m_pSink)
            m_pSink->Stop();
    }

    bool Stopped() const { return m_bFailed || m_voice.IsAborted(m_nGeneration); }

private:
    void AddWord(const CSpEngine::SEvent& event, const CSpTextChunker::SChunk& chunk, qint64 nAt)
    {
        // The engine repeats words, reports some at the space before them
        // and sends stray zero-length events: keep the first event of each
        // word of the text, in order.
        if (event.nLength <= 0)
            return;
        const int nWord = chunk.WordAt(event.nTextPosition);
        if (nWord < 0)
            return;
        const CSpTextChunker::SWord& word = chunk.words[size_t(nWord)];
        if (word.nPos <= m_nLastWordPos)
            return;
        m_nLastWordPos = word.nPos;
        SPEVENT spEvent;
        spEvent.eEventId = SPEI_WORD_BOUNDARY;
        spEvent.lParam = word.nPos;
        spEvent.wParam = word.nLen;
        m_pending.push_back({nAt, spEvent});
    }

    void AddBookmark(const CSpEngine::SEvent& event, qint64 nAt)
    {
        SPEVENT spEvent;
        spEvent.eEventId = SPEI_TTS_BOOKMARK;
        spEvent.strBookmark = QString::fromUtf8(event.name);
        spEvent.lParam = spEvent.strBookmark.toLong();
        m_pending.push_back({nAt, spEvent});
    }

    void Release(qint64 nHeardSamples)
    {
        while (!m_pending.empty() && m_pending.front().first <= nHeardSamples)
        {
            SPEVENT event = m_pending.front().second;
            event.ulStreamNum = m_utterance.nStream;
            const qint64 nDone = m_nProduced + qint64(m_nOutSent);
            event.ullAudioStreamOffset =
                m_nStreamBytesBefore +
                quint64(qBound<qint64>(0, m_pending.front().first, nDone)) * 2;
            m_pending.pop_front();
            m_voice.QueueEvent(event);
        }
    }

    void ApplyVolume(std::vector<short>& samples, size_t nFrom, size_t nCount) const
    {
        const int nVolume = m_voice.m_nVolume.load();
        if (nVolume >= 100)
            return;
        for (size_t i = nFrom; i < nFrom + nCount; ++i)
            samples[i] = short(int(samples[i]) * nVolume / 100);
    }

    // Hands the made audio on. To a file: all of it at once. To the device:
    // until no more than the look-ahead is waiting (all of it when bAll),
    // releasing events as their audio is played.
    bool Deliver(bool bAll)
    {
        if (m_utterance.pOutput)
        {
            if (!m_out.empty())
            {
                ApplyVolume(m_out, 0, m_out.size());
                if (!m_utterance.pOutput->Write(reinterpret_cast<const char*>(m_out.data()),
                                                qint64(m_out.size()) * 2))
                    m_bFailed = true;
                m_nProduced += qint64(m_out.size());
                m_out.clear();
            }
            Release(m_bFailed ? -1 : m_nProduced);
            return !Stopped();
        }
        const size_t nLookAhead = size_t(m_voice.m_nSampleRate) * g_nLookAheadMs / 1000;
        while (!Stopped())
        {
            Pump();
            const size_t nWaiting = m_out.size() - m_nOutSent;
            if (bAll ? (nWaiting == 0 && m_nHeard >= m_nProduced + qint64(m_nOutSent))
                     : nWaiting <= nLookAhead)
                break;
            QThread::msleep(m_voice.m_bPaused.load() ? 5 * g_nPollMs : g_nPollMs);
        }
        if (m_nOutSent > 0)
        {
            m_out.erase(m_out.begin(), m_out.begin() + qint64(m_nOutSent));
            m_nProduced += qint64(m_nOutSent);
            m_nScaled -= qMin(m_nScaled, m_nOutSent);
            m_nOutSent = 0;
        }
        return !Stopped();
    }

    void Pump()
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const bool bPaused = m_voice.m_bPaused.load();
        // A purge ends the pause after it aborts the run: the purged audio
        // stays unheard.
        if (!bPaused && m_bSinkSuspended && Stopped())
            return;
        if (bPaused != m_bSinkSuspended)
        {
            if (bPaused)
                m_pSink->Suspend();
            else
                m_pSink->Resume();
            m_bSinkSuspended = bPaused;
            m_stall.invalidate();
        }
        if (m_pSink->HasFailed())
        {
            m_bFailed = true;
            return;
        }
        qint64 nFree = m_pSink->BytesFree() / 2;
        while (nFree > 0 && m_nOutSent < m_out.size())
        {
            const size_t nCount = size_t(qMin<qint64>(nFree, qint64(m_out.size() - m_nOutSent)));
            // A sample the device refused keeps the volume it was given.
            if (m_nOutSent + nCount > m_nScaled)
            {
                const size_t nFrom = qMax(m_nScaled, m_nOutSent);
                ApplyVolume(m_out, nFrom, m_nOutSent + nCount - nFrom);
                m_nScaled = m_nOutSent + nCount;
            }
            const qint64 nWritten =
                m_pSink->Write(reinterpret_cast<const char*>(m_out.data() + m_nOutSent),
                               qint64(nCount) * 2) /
                2;
            if (nWritten <= 0)
                break;
            m_nOutSent += size_t(nWritten);
            nFree -= nWritten;
        }
        const qint64 nWritten = m_nProduced + qint64(m_nOutSent);
        // The device counts in its own units: within a millisecond of the
        // end is the end.
        const qint64 nRate = m_voice.m_nSampleRate;
        qint64 nHeard = qMin(nWritten, (m_pSink->ProcessedUSecs() * nRate + 500000) / 1000000);
        if (nHeard + nRate / 1000 >= nWritten)
            nHeard = nWritten;
        if (nHeard != m_nHeard || bPaused || nHeard >= nWritten)
        {
            m_stall.invalidate();
        }
        else if (!m_stall.isValid())
        {
            m_stall.start();
        }
        else if (m_stall.elapsed() > g_nStallMs)
        {
            m_bFailed = true;
            return;
        }
        m_nHeard = nHeard;
        Release(m_nHeard);
    }

    CSpVoice& m_voice;
    const SUtterance& m_utterance;
    quint64 m_nGeneration;
    WAVEFORMATEX m_format;
    std::unique_ptr<CSpAudioSink> m_pSink;
    CSpTimeStretch m_stretch;
    // Stretched audio not yet handed on; its first m_nOutSent samples are
    // with the device already.
    std::vector<short> m_out;
    size_t m_nOutSent = 0;
    size_t m_nScaled = 0;   // samples of m_out that have their volume
    qint64 m_nProduced = 0; // samples handed on before m_out
    qint64 m_nHeard = 0;
    quint64 m_nStreamBytesBefore = 0;
    qint64 m_nChunkSamples = 0;
    int m_nEngineRateActive = 175;
    int m_nEngineRatePending = 175;
    int m_nLastWordPos = -1;
    bool m_bFailed = false;
    bool m_bSinkSuspended = false;
    QElapsedTimer m_stall;
    std::deque<std::pair<qint64, SPEVENT>> m_pending;
};

std::unique_ptr<CSpVoice> CSpVoice::Create()
{
    if (!CSpEngine::Get()->IsAvailable())
        return nullptr;
    return std::make_unique<CSpVoice>();
}

CSpVoice::CSpVoice()
{
    CSpEngine* pEngine = CSpEngine::Get();
    if (pEngine->IsAvailable())
        m_nSampleRate = pEngine->GetSampleRate();
    m_pThread = QThread::create([this]() { Run(); });
    m_pThread->start();
}

CSpVoice::~CSpVoice()
{
    {
        QMutexLocker lock(&m_mutex);
        m_queue.clear();
        m_bQuit = true;
        ++m_nGeneration;
        m_wakeWorker.wakeAll();
    }
    m_pThread->wait();
    delete m_pThread;
}

double CSpVoice::WordsPerMinute(long nRate)
{
    return g_dNormalWordsPerMinute * std::pow(3.0, double(qBound(-10L, nRate, 10L)) / 10.0);
}

int CSpVoice::EngineRate(double dWordsPerMinute, int nMinimumRate)
{
    return qMax(nMinimumRate, int(std::lround(dWordsPerMinute)));
}

bool CSpVoice::IsAborted(quint64 nGeneration) const
{
    return m_nGeneration.load() != nGeneration;
}

CSpObjectTokenPtr CSpVoice::DefaultToken() const
{
    CSpObjectTokenCategory category;
    category.SetId(QStringLiteral(SPCAT_VOICES), false);
    const QString strLanguage =
        QStringLiteral("Language=") + QString::number(CSpLanguageTags::SystemLanguageId(), 16);
    CSpObjectTokenPtr pToken =
        category.FindBestToken(strLanguage, QStringLiteral("VendorPreferred"));
    if (!pToken)
        pToken = category.FindBestToken(QString(), QStringLiteral("VendorPreferred"));
    return pToken;
}

bool CSpVoice::CanSpeak(CSpObjectTokenPtr& pToken, const CSpStreamPtr& pOutput) const
{
    if (pOutput && (!pOutput->IsOpen() || pOutput->HasFailed()))
        return false;
    CSpEngine* pEngine = CSpEngine::Get();
    if (!pEngine->IsAvailable())
        return false;
    if (!pToken)
        pToken = DefaultToken();
    return pToken && pEngine->CanLoadVoice(pToken->GetEngineVoice());
}

bool CSpVoice::Speak(const QString& strText, quint32 dwFlags, ULONG* pulStreamNumber)
{
    const bool bPurge = (dwFlags & SPF_PURGEBEFORESPEAK) != 0;
    CSpObjectTokenPtr pToken;
    CSpStreamPtr pOutput;
    if (!bPurge || !strText.isEmpty())
    {
        {
            QMutexLocker lock(&m_mutex);
            pToken = m_pToken;
            pOutput = m_pOutput;
        }
        // Outside the lock: the engine's first answer may wait for a
        // synthesis whose events need it.
        if (!CanSpeak(pToken, pOutput))
            return false;
    }
    QMutexLocker lock(&m_mutex);
    if (bPurge)
    {
        m_queue.clear();
        ++m_nGeneration;
        // A pause belongs to what was purged; the next text must be heard.
        m_bPaused = false;
        m_wakeWorker.wakeAll();
        if (!m_bSpeaking)
            m_wakeWaiters.wakeAll();
        if (strText.isEmpty())
            return true;
    }
    SUtterance utterance;
    utterance.nStream = ++m_nLastStream;
    utterance.strText = strText;
    utterance.bXml = (dwFlags & SPF_IS_XML) != 0;
    utterance.pToken = pToken;
    utterance.pOutput = pOutput;
    m_queue.push_back(utterance);
    m_wakeWorker.wakeAll();
    if (pulStreamNumber)
        *pulStreamNumber = utterance.nStream;
    if (dwFlags & SPF_ASYNC)
        return true;
    const ULONG nStream = utterance.nStream;
    while ((m_bSpeaking && m_nCurrentStream <= nStream) ||
           (!m_queue.empty() && m_queue.front().nStream <= nStream))
        m_wakeWaiters.wait(&m_mutex);
    return true;
}

bool CSpVoice::Pause()
{
    m_bPaused = true;
    return true;
}

bool CSpVoice::Resume()
{
    m_bPaused = false;
    return true;
}

bool CSpVoice::WaitUntilDone(int nTimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QMutexLocker lock(&m_mutex);
    while (m_bSpeaking || !m_queue.empty())
    {
        if (nTimeoutMs < 0)
        {
            m_wakeWaiters.wait(&m_mutex);
            continue;
        }
        const qint64 nLeft = nTimeoutMs - timer.elapsed();
        if (nLeft <= 0)
            return false;
        m_wakeWaiters.wait(&m_mutex, QDeadlineTimer(nLeft));
    }
    return true;
}

bool CSpVoice::GetStatus(SPVOICESTATUS* pStatus, QString* pstrLastBookmark) const
{
    if (!pStatus)
        return false;
    QMutexLocker lock(&m_mutex);
    *pStatus = m_status;
    pStatus->ulCurrentStream = m_nCurrentStream;
    pStatus->ulLastStreamQueued = m_nLastStream;
    pStatus->dwRunningState = m_bSpeaking ? SPRS_IS_SPEAKING : (m_queue.empty() ? SPRS_DONE : 0);
    if (pstrLastBookmark)
        *pstrLastBookmark = m_strLastBookmark;
    return true;
}

bool CSpVoice::SetRate(long nRate)
{
    if (nRate < -10 || nRate > 10)
        return false;
    m_nRate = int(nRate);
    return true;
}

bool CSpVoice::GetRate(long* pnRate) const
{
    if (!pnRate)
        return false;
    *pnRate = m_nRate.load();
    return true;
}

bool CSpVoice::SetVolume(quint16 nVolume)
{
    if (nVolume > 100)
        return false;
    m_nVolume = nVolume;
    return true;
}

bool CSpVoice::GetVolume(quint16* pnVolume) const
{
    if (!pnVolume)
        return false;
    *pnVolume = quint16(m_nVolume.load());
    return true;
}

bool CSpVoice::SetVoice(const CSpObjectTokenPtr& pToken)
{
    QMutexLocker lock(&m_mutex);
    m_pToken = pToken;
    return true;
}

bool CSpVoice::GetVoice(CSpObjectTokenPtr* ppToken) const
{
    if (!ppToken)
        return false;
    QMutexLocker lock(&m_mutex);
    *ppToken = m_pToken ? m_pToken : DefaultToken();
    return *ppToken != nullptr;
}

bool CSpVoice::SetOutput(const CSpStreamPtr& pStream, bool bAllowFormatChanges)
{
    if (pStream)
    {
        WAVEFORMATEX format;
        WAVEFORMATEX own;
        GetFormat(&own);
        // A stream in another format would need converting; the voice only
        // writes its own.
        if (!pStream->GetFormat(&format) ||
            (!bAllowFormatChanges &&
             (format.nSamplesPerSec != own.nSamplesPerSec ||
              format.wBitsPerSample != own.wBitsPerSample || format.nChannels != own.nChannels)))
            return false;
    }
    QMutexLocker lock(&m_mutex);
    m_pOutput = pStream;
    return true;
}

CSpStreamPtr CSpVoice::GetOutputStream() const
{
    QMutexLocker lock(&m_mutex);
    return m_pOutput;
}

bool CSpVoice::GetFormat(WAVEFORMATEX* pFormat) const
{
    if (!pFormat)
        return false;
    *pFormat = WAVEFORMATEX();
    pFormat->nSamplesPerSec = quint32(m_nSampleRate);
    pFormat->nAvgBytesPerSec = quint32(m_nSampleRate) * 2;
    return true;
}

bool CSpVoice::SetInterest(quint64 ullEventInterest, quint64 ullQueuedInterest)
{
    QMutexLocker lock(&m_mutex);
    m_ullInterest = ullEventInterest;
    m_ullQueued = ullQueuedInterest & ullEventInterest;
    return true;
}

bool CSpVoice::GetEvents(ULONG ulCount, SPEVENT* pEventArray, ULONG* pulFetched)
{
    QMutexLocker lock(&m_mutex);
    ULONG nFetched = 0;
    while (nFetched < ulCount && !m_events.empty())
    {
        if (pEventArray)
            pEventArray[nFetched] = m_events.front();
        m_events.pop_front();
        ++nFetched;
    }
    // The next event posts a new notice, also when the reader left some
    // events in the queue for later.
    m_bNotifyPending = false;
    if (pulFetched)
        *pulFetched = nFetched;
    return nFetched == ulCount;
}

bool CSpVoice::SetNotifyWindowMessage(QObject* pWindow, int nMessage, qint64 wParam,
                                      qint64 /*lParam*/)
{
    QMutexLocker lock(&m_mutex);
    m_pNotifyWindow = pWindow;
    m_nNotifyMessage = nMessage;
    m_nNotifyWParam = wParam;
    m_bNotifyPending = false;
    if (pWindow && !m_events.empty())
    {
        m_bNotifyPending = true;
        QCoreApplication::postEvent(pWindow, new CMessageEvent(nMessage, wParam));
    }
    return true;
}

void CSpVoice::QueueEvent(const SPEVENT& event)
{
    QMutexLocker lock(&m_mutex);
    if (event.eEventId == SPEI_WORD_BOUNDARY)
    {
        m_status.ulInputWordPos = ULONG(event.lParam);
        m_status.ulInputWordLen = ULONG(event.wParam);
    }
    else if (event.eEventId == SPEI_TTS_BOOKMARK)
    {
        m_status.lBookmarkId = event.lParam;
        m_strLastBookmark = event.strBookmark;
    }
    if (!(m_ullQueued & EventBit(event.eEventId)))
        return;
    if (m_events.size() >= g_nMaxQueuedEvents)
        m_events.pop_front();
    m_events.push_back(event);
    if (!m_bNotifyPending && m_pNotifyWindow)
    {
        m_bNotifyPending = true;
        QCoreApplication::postEvent(m_pNotifyWindow.data(),
                                    new CMessageEvent(m_nNotifyMessage, m_nNotifyWParam));
    }
}

void CSpVoice::Run()
{
    while (true)
    {
        SUtterance utterance;
        quint64 nGeneration = 0;
        {
            QMutexLocker lock(&m_mutex);
            while (m_queue.empty() && !m_bQuit)
                m_wakeWorker.wait(&m_mutex);
            if (m_bQuit)
                break;
            utterance = m_queue.front();
            m_queue.pop_front();
            m_bSpeaking = true;
            m_nCurrentStream = utterance.nStream;
            m_status.ulInputWordPos = 0;
            m_status.ulInputWordLen = 0;
            nGeneration = m_nGeneration.load();
        }
        SpeakOne(utterance, nGeneration);
        {
            QMutexLocker lock(&m_mutex);
            m_bSpeaking = false;
            m_wakeWaiters.wakeAll();
        }
    }
    QMutexLocker lock(&m_mutex);
    m_bSpeaking = false;
    m_wakeWaiters.wakeAll();
}

void CSpVoice::SpeakOne(const SUtterance& utterance, quint64 nGeneration)
{
    SPEVENT start;
    start.eEventId = SPEI_START_INPUT_STREAM;
    start.ulStreamNum = utterance.nStream;
    QueueEvent(start);

    CRun run(*this, utterance, nGeneration);
    CSpEngine* pEngine = CSpEngine::Get();
    const CSpObjectTokenPtr& pToken = utterance.pToken;
    if (run.Open() && pToken && pEngine->IsAvailable())
    {
        const int nMinimumRate = pEngine->GetMinimumRate();
        CSpTextChunker chunker(utterance.strText, utterance.bXml);
        CSpTextChunker::SChunk chunk;
        while (!run.Stopped() && chunker.Next(chunk))
        {
            CSpEngine::SRequest request;
            request.input = chunk.input;
            request.bSsml = chunk.bSsml;
            request.voice = pToken->GetEngineVoice();
            request.fnRate = [&run, nMinimumRate]() { return run.PollEngineRate(nMinimumRate); };
            run.StartChunk(run.PollEngineRate(nMinimumRate));
            const bool bOk = pEngine->Synthesize(
                request, [&run, &chunk](const short* pSamples, int nSamples,
                                        const std::vector<CSpEngine::SEvent>& events)
                { return run.OnBlock(pSamples, nSamples, events, chunk); });
            if (!bOk)
                break;
        }
        run.Finish();
    }

    SPEVENT end;
    end.eEventId = SPEI_END_INPUT_STREAM;
    end.ulStreamNum = utterance.nStream;
    QueueEvent(end);
}
