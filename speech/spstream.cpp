#include "speech/spstream.h"

#include <QMutexLocker>
#include <QtEndian>
#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace
{
std::atomic<quint64> g_nMaxRiffSize{CSpStream::MAX_RIFF_SIZE};

void PutU64(QByteArray& out, quint64 n)
{
    char buffer[8];
    qToLittleEndian(n, buffer);
    out.append(buffer, 8);
}

void PutU32(QByteArray& out, quint32 n)
{
    char buffer[4];
    qToLittleEndian(n, buffer);
    out.append(buffer, 4);
}

void PutU16(QByteArray& out, quint16 n)
{
    char buffer[2];
    qToLittleEndian(n, buffer);
    out.append(buffer, 2);
}
} // namespace

CSpStream::~CSpStream()
{
    bool bTemporary = false;
    {
        QMutexLocker lock(&m_mutex);
        bTemporary = m_file.isOpen() && !m_strFinalPath.isEmpty();
    }
    if (bTemporary)
        Discard();
    else
        Close();
}

void CSpStream::SetMaxRiffSizeForTests(quint64 nMaxRiffSize)
{
    g_nMaxRiffSize = nMaxRiffSize == 0 ? MAX_RIFF_SIZE : qMin(nMaxRiffSize, MAX_RIFF_SIZE);
}

QByteArray CSpStream::MakeHeader(const WAVEFORMATEX& format, quint64 nDataBytes,
                                 quint64 nMaxRiffSize)
{
    // A data chunk of odd size is followed by a pad byte, which the RIFF
    // size counts.
    const quint64 nRiffSize = quint64(HEADER_BYTES - 8) + nDataBytes + (nDataBytes & 1);
    const bool bRf64 = nRiffSize > qMin(nMaxRiffSize, MAX_RIFF_SIZE);
    QByteArray header;
    header.reserve(HEADER_BYTES);
    header.append(bRf64 ? "RF64" : "RIFF", 4);
    PutU32(header, bRf64 ? 0xFFFFFFFFu : quint32(nRiffSize));
    header.append("WAVE", 4);
    header.append(bRf64 ? "ds64" : "JUNK", 4);
    PutU32(header, 28);
    if (bRf64)
    {
        PutU64(header, nRiffSize);
        PutU64(header, nDataBytes);
        PutU64(header, format.nBlockAlign ? nDataBytes / format.nBlockAlign : 0);
        PutU32(header, 0);
    }
    else
    {
        header.append(28, '\0');
    }
    header.append("fmt ", 4);
    PutU32(header, 16);
    PutU16(header, format.wFormatTag);
    PutU16(header, format.nChannels);
    PutU32(header, format.nSamplesPerSec);
    PutU32(header, format.nAvgBytesPerSec);
    PutU16(header, format.nBlockAlign);
    PutU16(header, format.wBitsPerSample);
    header.append("data", 4);
    PutU32(header, bRf64 ? 0xFFFFFFFFu : quint32(nDataBytes));
    return header;
}

bool CSpStream::BindToFile(const QString& strPath, const WAVEFORMATEX& format,
                           const QString& strFinalPath)
{
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(strPath);
    m_strPath = strPath;
    m_strFinalPath = strFinalPath;
    m_format = format;
    m_nDataBytes = 0;
    m_bFailed = false;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Flushed at once: a reader that follows the file starts with it.
    const QByteArray header = MakeHeader(format, 0);
    if (m_file.write(header) != header.size() || !m_file.flush())
    {
        m_file.close();
        if (!m_strFinalPath.isEmpty())
            m_file.remove();
        m_bFailed = true;
        return false;
    }
    return true;
}

bool CSpStream::Write(const char* pData, qint64 nBytes)
{
    QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen() || m_bFailed)
        return false;
    if (m_file.write(pData, nBytes) != nBytes)
    {
        m_bFailed = true;
        return false;
    }
    m_nDataBytes += quint64(nBytes);
    return true;
}

bool CSpStream::Close()
{
    QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen())
        return !m_bFailed;
    bool bOk = !m_bFailed;
    if (bOk && (m_nDataBytes & 1))
        bOk = m_file.write("\0", 1) == 1;
    if (bOk)
    {
        const QByteArray header = MakeHeader(m_format, m_nDataBytes, g_nMaxRiffSize.load());
        bOk = m_file.seek(0) && m_file.write(header) == header.size() && m_file.flush();
    }
    // A file that takes its name is on the disk first: a full disk may only
    // say so when the data is synced.
    if (bOk && !m_strFinalPath.isEmpty())
        bOk = ::fsync(m_file.handle()) == 0;
    m_file.close();
    if (!m_strFinalPath.isEmpty())
    {
        // rename(2) replaces an earlier file in one step; QFile::rename
        // would refuse to.
        if (bOk)
            bOk = std::rename(QFile::encodeName(m_strPath).constData(),
                              QFile::encodeName(m_strFinalPath).constData()) == 0;
        if (!bOk)
            m_file.remove();
    }
    if (!bOk)
        m_bFailed = true;
    return bOk;
}

void CSpStream::Discard()
{
    QMutexLocker lock(&m_mutex);
    if (m_file.isOpen())
        m_file.close();
    m_file.remove();
}

QString CSpStream::GetFinalPath() const
{
    QMutexLocker lock(&m_mutex);
    return m_strFinalPath.isEmpty() ? m_strPath : m_strFinalPath;
}

bool CSpStream::IsOpen() const
{
    QMutexLocker lock(&m_mutex);
    return m_file.isOpen();
}

bool CSpStream::HasFailed() const
{
    QMutexLocker lock(&m_mutex);
    return m_bFailed;
}

bool CSpStream::GetFormat(WAVEFORMATEX* pFormat) const
{
    QMutexLocker lock(&m_mutex);
    if (!pFormat)
        return false;
    *pFormat = m_format;
    return true;
}

quint64 CSpStream::GetDataBytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_nDataBytes;
}
