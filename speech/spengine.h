#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

// The synthesis engine behind the voice. The real one is the embedded
// eSpeak NG library; unit tests may put a fake in its place.
class CSpEngine
{
public:
    struct SVoice
    {
        QString strName;             // "English (America)"
        QByteArray identifier;       // "gmw/en-US"
        QList<QByteArray> languages; // "en-us", "en", in the engine's order
    };

    struct SEvent
    {
        enum EType
        {
            Word,
            Sentence,
            ClauseEnd, // the engine applies a new rate after it
            Mark
        };
        EType eType = Word;
        int nTextPosition = 0; // 1-based, in code points of the input
        int nLength = 0;
        qint64 nSample = 0; // samples since the start of this synthesis
        QByteArray name;    // of a mark
    };

    struct SRequest
    {
        QByteArray input; // UTF-8
        bool bSsml = false;
        QByteArray voice; // engine voice name, may carry a "+variant"
        // Polled before each block: the speaking rate in words per minute.
        std::function<int()> fnRate;
    };

    // Receives each block of samples with the events inside it; returning
    // false stops the synthesis at once.
    typedef std::function<bool(const short* pSamples, int nSamples,
                               const std::vector<SEvent>& events)>
        BlockHandler;

    virtual ~CSpEngine() = default;
    virtual bool IsAvailable() = 0;
    virtual int GetSampleRate() = 0;
    virtual std::vector<SVoice> ListVoices() = 0;
    // Whether Synthesize would find that voice (a "+variant" suffix
    // allowed). Answers at once, also while a synthesis runs.
    virtual bool CanLoadVoice(const QByteArray& voice) = 0;
    // Synthesises the request, handing every block to the handler; false when
    // the engine failed (not when the handler stopped it).
    virtual bool Synthesize(const SRequest& request, const BlockHandler& handler) = 0;
    // The lowest rate the engine speaks at by itself.
    virtual int GetMinimumRate() const = 0;

    // The process-wide engine: the test's fake when one is set, otherwise
    // the embedded library.
    static CSpEngine* Get();
    static void SetOverride(CSpEngine* pEngine);
};
