#include "speech/spsilentaudiosink.h"

bool CSpSilentAudioSink::Start(const WAVEFORMATEX& format)
{
    m_nBytesPerSec = qMax<qint64>(1, format.nAvgBytesPerSec);
    m_nWritten = m_nPlayed = 0;
    m_dPlayedFraction = 0;
    m_bSuspended = false;
    m_bStarted = true;
    m_clock.start();
    m_nLastNs = 0;
    return true;
}

void CSpSilentAudioSink::Advance()
{
    if (!m_bStarted)
        return;
    const qint64 nNow = m_clock.nsecsElapsed();
    const qint64 nDelta = nNow - m_nLastNs;
    m_nLastNs = nNow;
    if (m_bSuspended || m_nPlayed >= m_nWritten)
    {
        m_dPlayedFraction = 0;
        return;
    }
    m_dPlayedFraction += double(nDelta) * double(m_nBytesPerSec) / 1e9;
    const qint64 nWhole = qint64(m_dPlayedFraction);
    m_dPlayedFraction -= double(nWhole);
    m_nPlayed = qMin(m_nWritten, m_nPlayed + nWhole);
}

qint64 CSpSilentAudioSink::BytesFree()
{
    Advance();
    const qint64 nCapacity = m_nBytesPerSec * m_nBufferMs / 1000;
    return qMax<qint64>(0, nCapacity - (m_nWritten - m_nPlayed));
}

qint64 CSpSilentAudioSink::Write(const char* /*pData*/, qint64 nBytes)
{
    const qint64 nTaken = qMin(nBytes, BytesFree());
    m_nWritten += nTaken;
    return nTaken;
}

qint64 CSpSilentAudioSink::ProcessedUSecs()
{
    Advance();
    return m_nPlayed * 1000000 / m_nBytesPerSec;
}

void CSpSilentAudioSink::Suspend()
{
    Advance();
    m_bSuspended = true;
}

void CSpSilentAudioSink::Resume()
{
    Advance();
    m_bSuspended = false;
}

void CSpSilentAudioSink::Stop()
{
    m_bStarted = false;
    m_nWritten = m_nPlayed = 0;
}
