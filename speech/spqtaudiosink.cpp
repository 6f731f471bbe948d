#include "speech/spqtaudiosink.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace
{
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
        m_pSink.reset();
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
