#pragma once

#include "speech/sapidefs.h"

#include <functional>
#include <memory>

// Where the voice's audio is heard. Written in push mode, never more than
// BytesFree() at a time; ProcessedUSecs() is the clock of what the listener
// has heard, which the voice ties its events to.
class CSpAudioSink
{
public:
    virtual ~CSpAudioSink() = default;

    virtual bool Start(const WAVEFORMATEX& format) = 0;
    virtual qint64 BytesFree() = 0;
    virtual qint64 Write(const char* pData, qint64 nBytes) = 0;
    virtual qint64 ProcessedUSecs() = 0;
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    // True once the device has failed and will play nothing more.
    virtual bool HasFailed() = 0;

    typedef std::function<std::unique_ptr<CSpAudioSink>()> Factory;
    // The default device through Qt, or the silent real-time sink when there
    // is no device that plays the format.
    static std::unique_ptr<CSpAudioSink> Create(const WAVEFORMATEX& format);
    // Replaces the choice above (the tests' failing device).
    static void SetFactory(Factory factory);
};
