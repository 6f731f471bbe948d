#include "speech/spqtaudiosink.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QMediaDevices>

#include <deque>

namespace
{
// Qt 6.4's PulseAudio sink can still be called back by the sound server
// shortly after stop() (a late state change lands in the deleted object and
// crashes the server's thread). A stopped sink is therefore kept for a grace
// period and deleted later, on the thread that made it.
constexpr qint64 g_nGraceMs = 3000;

struct SRetiredSink
{
    QElapsedTimer age;
    std::unique_ptr<QAudioSink> pSink;
};

class CRetiredSinks
{
public:
    ~CRetiredSinks()
    {
        // At thread exit a sink still in its grace period is left to the
        // process: a few stopped streams cost less than a crash.
        for (SRetiredSink& retired : m_sinks)
        {
            if (!retired.age.hasExpired(g_nGraceMs))
                static_cast<void>(retired.pSink.release());
        }
    }

    void Retire(std::unique_ptr<QAudioSink> pSink)
    {
        while (!m_sinks.empty() && m_sinks.front().age.hasExpired(g_nGraceMs))
            m_sinks.pop_front();
        SRetiredSink retired;
        retired.age.start();
        retired.pSink = std::move(pSink);
        m_sinks.push_back(std::move(retired));
    }

private:
    std::deque<SRetiredSink> m_sinks;
};

thread_local CRetiredSinks t_retiredSinks;

QAudioFormat ToQt(const WAVEFORMATEX& format)
{
    QAudioFormat qtFormat;
    qtFormat.setSampleRate(int(format.nSamplesPerSec));
    qtFormat.setChannelCount(format.nChannels);
    qtFormat.setSampleFormat(format.wBitsPerSample == 8 ? QAudioFormat::UInt8
                                                        : QAudioFormat::Int16);
    return qtFormat;
}
} // namespace

CSpQtAudioSink::CSpQtAudioSink(const QAudioDevice& device) : m_device(device) {}

CSpQtAudioSink::~CSpQtAudioSink()
{
    Stop();
}

QAudioDevice CSpQtAudioSink::FindDevice(const WAVEFORMATEX& format)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(ToQt(format)))
        return QAudioDevice();
    return device;
}

bool CSpQtAudioSink::Start(const WAVEFORMATEX& format)
{
    Stop();
    m_bFailed = false;
    m_pSink = std::make_unique<QAudioSink>(m_device, ToQt(format));
    m_pIo = m_pSink->start();
    if (!m_pIo)
    {
        m_pSink.reset();
        m_bFailed = true;
        return false;
    }
    return true;
}

qint64 CSpQtAudioSink::BytesFree()
{
    if (!m_pSink || HasFailed())
        return 0;
    return m_pSink->bytesFree();
}

qint64 CSpQtAudioSink::Write(const char* pData, qint64 nBytes)
{
    if (!m_pIo || HasFailed())
        return 0;
    const qint64 nWritten = m_pIo->write(pData, nBytes);
    return nWritten < 0 ? 0 : nWritten;
}

qint64 CSpQtAudioSink::ProcessedUSecs()
{
    return m_pSink ? m_pSink->processedUSecs() : 0;
}

void CSpQtAudioSink::Suspend()
{
    if (m_pSink)
        m_pSink->suspend();
}

void CSpQtAudioSink::Resume()
{
    if (m_pSink)
        m_pSink->resume();
}

void CSpQtAudioSink::Stop()
{
    if (m_pSink)
    {
        m_pSink->stop();
        t_retiredSinks.Retire(std::move(m_pSink));
    }
    m_pIo = nullptr;
}

bool CSpQtAudioSink::HasFailed()
{
    if (m_bFailed)
        return true;
    if (!m_pSink)
        return false;
    const QAudio::Error eError = m_pSink->error();
    if (eError == QAudio::OpenError || eError == QAudio::IOError || eError == QAudio::FatalError)
        m_bFailed = true;
    return m_bFailed;
}
