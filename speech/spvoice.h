#pragma once

#include "speech/sapidefs.h"
#include "speech/spobjecttoken.h"
#include "speech/spstream.h"

#include <QMutex>
#include <QPointer>
#include <QWaitCondition>
#include <atomic>
#include <deque>
#include <memory>

class QObject;
class QThread;

// The voice: speaks texts one after another on a thread of its own, plays
// them on the default audio device (or writes them into a WAV stream) and
// queues its events at the moment their audio is heard (or written). All
// operations may be called from any thread; they never wait for the audio,
// except WaitUntilDone and a Speak without SPF_ASYNC.
class CSpVoice
{
public:
    // The voice, or null when the engine cannot be loaded.
    static std::unique_ptr<CSpVoice> Create();
    CSpVoice();
    ~CSpVoice();
    CSpVoice(const CSpVoice&) = delete;
    CSpVoice& operator=(const CSpVoice&) = delete;

    // Queues the text (SPF_ASYNC returns at once; otherwise returns when it
    // is spoken). SPF_PURGEBEFORESPEAK first drops everything queued,
    // silences the text being spoken and ends a pause; with no text that is
    // all it does. SPF_IS_XML reads the text as speech markup. False, with
    // nothing queued, when the engine or the voice (the default one when
    // none is set) cannot be loaded or the output stream is closed or has
    // failed.
    bool Speak(const QString& strText, quint32 dwFlags, ULONG* pulStreamNumber = nullptr);
    bool Pause();
    bool Resume();
    // True once everything queued has been spoken (or purged); false when
    // the time ran out first. A negative time-out waits for ever.
    bool WaitUntilDone(int nTimeoutMs);
    bool GetStatus(SPVOICESTATUS* pStatus, QString* pstrLastBookmark = nullptr) const;

    // -10 to 10: each step is 3^(1/10) times as fast; heard within about a
    // second, also in the middle of a text.
    bool SetRate(long nRate);
    bool GetRate(long* pnRate) const;
    // 0 to 100, heard at once.
    bool SetVolume(quint16 nVolume);
    bool GetVolume(quint16* pnVolume) const;
    // Voice and output take effect at the next Speak.
    bool SetVoice(const CSpObjectTokenPtr& pToken);
    bool GetVoice(CSpObjectTokenPtr* ppToken) const;
    // A null stream is the default audio device.
    bool SetOutput(const CSpStreamPtr& pStream, bool bAllowFormatChanges);
    CSpStreamPtr GetOutputStream() const;
    // The format of the audio the voice produces.
    bool GetFormat(WAVEFORMATEX* pFormat) const;

    // Events whose bit (SPFEI) is in the queued mask are kept for GetEvents.
    bool SetInterest(quint64 ullEventInterest, quint64 ullQueuedInterest);
    // Takes up to ulCount queued events; true when it took that many.
    bool GetEvents(ULONG ulCount, SPEVENT* pEventArray, ULONG* pulFetched);
    // Posts a CMessageEvent of that number to the object when events are
    // queued; one notice covers every event queued until the next
    // GetEvents.
    bool SetNotifyWindowMessage(QObject* pWindow, int nMessage, qint64 wParam, qint64 lParam);

    // The speaking rate in words per minute for a SAPI rate.
    static double WordsPerMinute(long nRate);
    // The rate the engine is asked for; stretching the audio by the wanted
    // rate over it makes up the difference below the engine's minimum.
    static int EngineRate(double dWordsPerMinute, int nMinimumRate);

private:
    struct SUtterance
    {
        ULONG nStream = 0;
        QString strText;
        bool bXml = false;
        CSpObjectTokenPtr pToken;
        CSpStreamPtr pOutput;
    };
    class CRun;
    friend class CRun;

    // Resolves the default voice into pToken.
    bool CanSpeak(CSpObjectTokenPtr& pToken, const CSpStreamPtr& pOutput) const;
    void Run();
    void SpeakOne(const SUtterance& utterance, quint64 nGeneration);
    void QueueEvent(const SPEVENT& event);
    bool IsAborted(quint64 nGeneration) const;
    CSpObjectTokenPtr DefaultToken() const;

    QThread* m_pThread = nullptr;
    mutable QMutex m_mutex;
    QWaitCondition m_wakeWorker;
    QWaitCondition m_wakeWaiters;
    std::deque<SUtterance> m_queue;
    bool m_bQuit = false;
    bool m_bSpeaking = false;
    ULONG m_nLastStream = 0;
    ULONG m_nCurrentStream = 0;
    std::atomic<quint64> m_nGeneration{0};
    std::atomic<bool> m_bPaused{false};
    std::atomic<int> m_nRate{0};
    std::atomic<int> m_nVolume{100};
    CSpObjectTokenPtr m_pToken;
    CSpStreamPtr m_pOutput;
    int m_nSampleRate = 22050;

    // Status and events, under m_mutex.
    SPVOICESTATUS m_status;
    QString m_strLastBookmark;
    quint64 m_ullInterest = 0;
    quint64 m_ullQueued = 0;
    std::deque<SPEVENT> m_events;
    QPointer<QObject> m_pNotifyWindow;
    int m_nNotifyMessage = 0;
    qint64 m_nNotifyWParam = 0;
    bool m_bNotifyPending = false;
};
