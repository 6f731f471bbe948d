#pragma once

#include "speech/spaudiosink.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <memory>

class QAudioSink;
class QIODevice;

// The default audio device through QAudioSink in push mode. Lives in the
// thread that created it.
class CSpQtAudioSink : public CSpAudioSink
{
public:
    explicit CSpQtAudioSink(const QAudioDevice& device);
    ~CSpQtAudioSink() override;

    bool Start(const WAVEFORMATEX& format) override;
    qint64 BytesFree() override;
    qint64 Write(const char* pData, qint64 nBytes) override;
    qint64 ProcessedUSecs() override;
    void Suspend() override;
    void Resume() override;
    void Stop() override;
    bool HasFailed() override;

    // The default device when it plays the format; a null device otherwise.
    static QAudioDevice FindDevice(const WAVEFORMATEX& format);

private:
    QAudioDevice m_device;
    std::unique_ptr<QAudioSink> m_pSink;
    QIODevice* m_pIo = nullptr;
    bool m_bFailed = false;
};
