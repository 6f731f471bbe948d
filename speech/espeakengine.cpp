#include "speech/espeakengine.h"

#include <espeak-ng/speak_lib.h>

#include <QMutexLocker>
#include <cstring>

namespace
{
CSpEngine* g_pOverride = nullptr;

// The synthesis in progress; only touched while the engine's lock is held.
struct SActiveSynthesis
{
    const CSpEngine::SRequest* pRequest = nullptr;
    const CSpEngine::BlockHandler* pHandler = nullptr;
    int* pnCurrentRate = nullptr;
    bool bStopped = false;
    std::vector<CSpEngine::SEvent> events;
};
SActiveSynthesis* g_pActive = nullptr;

int SynthCallback(short* pWave, int nSamples, espeak_EVENT* pEventsRaw);
} // namespace

CSpEngine* CSpEngine::Get()
{
    if (g_pOverride)
        return g_pOverride;
    return CEspeakEngine::Instance();
}

void CSpEngine::SetOverride(CSpEngine* pEngine)
{
    g_pOverride = pEngine;
}

CEspeakEngine* CEspeakEngine::Instance()
{
    static CEspeakEngine engine;
    return &engine;
}

bool CEspeakEngine::InitializeLocked()
{
    if (!m_bTried)
    {
        m_bTried = true;
        const int nRate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 60, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (nRate > 0)
        {
            espeak_SetSynthCallback(&SynthCallback);
            ListVoicesLocked();
            m_nSampleRate = nRate;
        }
    }
    return m_nSampleRate > 0;
}

bool CEspeakEngine::EnsureInitialized()
{
    // Once initialised, the answers below never wait for a synthesis in
    // progress (a paused reading holds the synthesis lock).
    if (m_nInitialized.loadAcquire() != 0)
        return m_nSampleRate > 0;
    QMutexLocker lock(&m_mutex);
    const bool bOk = InitializeLocked();
    m_nInitialized.storeRelease(1);
    return bOk;
}

bool CEspeakEngine::IsAvailable()
{
    return EnsureInitialized();
}

int CEspeakEngine::GetSampleRate()
{
    return EnsureInitialized() ? m_nSampleRate : 0;
}

std::vector<CSpEngine::SVoice> CEspeakEngine::ListVoices()
{
    if (!EnsureInitialized())
        return {};
    return m_voices;
}

void CEspeakEngine::ListVoicesLocked()
{
    {
        // The array is the library's own and overwritten by the next call.
        const espeak_VOICE** ppVoices = espeak_ListVoices(nullptr);
        for (; ppVoices && *ppVoices; ++ppVoices)
        {
            const espeak_VOICE* pVoice = *ppVoices;
            if (!pVoice->identifier || std::strncmp(pVoice->identifier, "mb/", 3) == 0)
                continue;
            SVoice voice;
            voice.strName = QString::fromUtf8(pVoice->name).trimmed();
            voice.identifier = QByteArray(pVoice->identifier);
            const char* p = pVoice->languages;
            while (p && *p)
            {
                const char* pszName = p + 1;
                const size_t nLength = std::strlen(pszName);
                voice.languages.append(QByteArray(pszName, int(nLength)).toLower());
                p = pszName + nLength + 1;
            }
            m_voices.push_back(voice);
            // The library finds a voice by its name, its identifier or the
            // identifier's trailing path parts, ignoring ASCII case.
            m_voiceKeys.insert(QByteArray(pVoice->name).toLower());
            const QByteArray identifier = voice.identifier.toLower();
            m_voiceKeys.insert(identifier);
            for (qsizetype i = identifier.indexOf('/'); i >= 0; i = identifier.indexOf('/', i + 1))
                m_voiceKeys.insert(identifier.mid(i + 1));
        }
    }
}

bool CEspeakEngine::CanLoadVoice(const QByteArray& voice)
{
    if (!EnsureInitialized())
        return false;
    QMutexLocker lock(&m_answersMutex);
    const auto it = m_answers.constFind(voice);
    if (it != m_answers.constEnd())
        return it.value();
    // The library ignores a variant it cannot find; only the voice matters.
    // Unlisted voices (MBROLA ones, variants on their own) are not offered.
    const qsizetype nPlus = voice.indexOf('+');
    const QByteArray base = (nPlus < 0 ? voice : voice.left(nPlus)).toLower();
    const bool bCan = !base.isEmpty() && m_voiceKeys.contains(base);
    m_answers.insert(voice, bCan);
    return bCan;
}

namespace
{
int SynthCallback(short* pWave, int nSamples, espeak_EVENT* pEventsRaw)
{
    SActiveSynthesis* pActive = g_pActive;
    if (!pActive)
        return 1;
    if (pActive->bStopped)
        return 1;
    pActive->events.clear();
    for (const espeak_EVENT* pEvent = pEventsRaw;
         pEvent && pEvent->type != espeakEVENT_LIST_TERMINATED; ++pEvent)
    {
        CSpEngine::SEvent event;
        switch (pEvent->type)
        {
        case espeakEVENT_WORD:
            event.eType = CSpEngine::SEvent::Word;
            break;
        case espeakEVENT_SENTENCE:
            event.eType = CSpEngine::SEvent::Sentence;
            break;
        case espeakEVENT_END:
            event.eType = CSpEngine::SEvent::ClauseEnd;
            break;
        case espeakEVENT_MARK:
            event.eType = CSpEngine::SEvent::Mark;
            if (pEvent->id.name)
                event.name = QByteArray(pEvent->id.name);
            break;
        default:
            continue;
        }
        event.nTextPosition = pEvent->text_position;
        event.nLength = pEvent->length;
        event.nSample = pEvent->sample;
        pActive->events.push_back(event);
    }
    if (pActive->pRequest->fnRate)
    {
        // Takes effect at the engine's next clause.
        const int nRate = pActive->pRequest->fnRate();
        if (nRate != *pActive->pnCurrentRate)
        {
            espeak_SetParameter(espeakRATE, nRate, 0);
            *pActive->pnCurrentRate = nRate;
        }
    }
    if (nSamples > 0 || !pActive->events.empty())
    {
        if (!(*pActive->pHandler)(pWave, pWave ? nSamples : 0, pActive->events))
        {
            pActive->bStopped = true;
            return 1;
        }
    }
    return 0;
}
} // namespace

bool CEspeakEngine::Synthesize(const SRequest& request, const BlockHandler& handler)
{
    QMutexLocker lock(&m_mutex);
    if (!InitializeLocked())
        return false;
    m_nInitialized.storeRelease(1);
    if (request.voice != m_currentVoice)
    {
        if (espeak_SetVoiceByName(request.voice.constData()) != EE_OK)
        {
            // A voice that failed half-way (MBROLA) may have changed the
            // library's language: set the next voice afresh.
            m_currentVoice.clear();
            return false;
        }
        m_currentVoice = request.voice;
        m_nCurrentRate = -1;
    }
    if (request.fnRate)
    {
        const int nRate = request.fnRate();
        if (nRate != m_nCurrentRate)
        {
            espeak_SetParameter(espeakRATE, nRate, 0);
            m_nCurrentRate = nRate;
        }
    }
    SActiveSynthesis active;
    active.pRequest = &request;
    active.pHandler = &handler;
    active.pnCurrentRate = &m_nCurrentRate;
    g_pActive = &active;
    unsigned int nFlags = espeakCHARS_UTF8;
    if (request.bSsml)
        nFlags |= espeakSSML;
    const espeak_ERROR eResult =
        espeak_Synth(request.input.constData(), size_t(request.input.size()) + 1, 0, POS_CHARACTER,
                     0, nFlags, nullptr, nullptr);
    g_pActive = nullptr;
    if (request.bSsml)
    {
        // Markup may have switched the voice inside the call.
        m_currentVoice.clear();
        m_nCurrentRate = -1;
    }
    return eResult == EE_OK || active.bStopped;
}
