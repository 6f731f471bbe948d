#pragma once

#include "speech/spaudiosink.h"

#include <QElapsedTimer>

// A device that plays nothing but consumes the audio at the real-time rate,
// so that readings, events and the clock behave as with a sound card.
class CSpSilentAudioSink : public CSpAudioSink
{
public:
    explicit CSpSilentAudioSink(int nBufferMs = 200) : m_nBufferMs(nBufferMs) {}

    bool Start(const WAVEFORMATEX& format) override;
    qint64 BytesFree() override;
    qint64 Write(const char* pData, qint64 nBytes) override;
    qint64 ProcessedUSecs() override;
    void Suspend() override;
    void Resume() override;
    void Stop() override;
    bool HasFailed() override { return false; }

private:
    void Advance();

    int m_nBufferMs;
    qint64 m_nBytesPerSec = 44100;
    qint64 m_nWritten = 0;
    qint64 m_nPlayed = 0;
    double m_dPlayedFraction = 0;
    bool m_bSuspended = false;
    bool m_bStarted = false;
    QElapsedTimer m_clock;
    qint64 m_nLastNs = 0;
};
