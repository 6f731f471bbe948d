#include "audio/waveheader.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace
{
// A format chunk is read no further than the extensible layout reaches;
// whatever a writer adds after it means nothing to us.
constexpr quint32 g_nExtensibleFmtSize = 40;
constexpr quint32 g_nDs64Size = 28;
constexpr quint32 g_nNoSize = 0xFFFFFFFF;
// Real files have a handful of chunks before the data; a file of empty
// chunks is not walked for ever.
constexpr int g_nMaxChunks = 4096;
// KSDATAFORMAT_SUBTYPE_PCM as stored in the file.
const char g_achPcmSubformat[16] = {'\x01', '\x00', '\x00', '\x00', '\x00', '\x00', '\x10', '\x00',
                                    '\x80', '\x00', '\x00', '\xAA', '\x00', '\x38', '\x9B', '\x71'};

const QString g_strDamaged = QStringLiteral("damaged WAV header");
const QString g_strNotPcm16 = QStringLiteral("not a 16-bit PCM WAV file");

bool ReadAt(QIODevice& device, quint64 nPos, char* pBuffer, qint64 nBytes)
{
    return device.seek(qint64(nPos)) && device.read(pBuffer, nBytes) == nBytes;
}

quint16 U16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 U32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

quint64 U64(const char* p)
{
    return qFromLittleEndian<quint64>(p);
}
} // namespace

bool CWaveHeader::Read(QIODevice& device, QString* pstrError)
{
    *this = CWaveHeader();
    const QString strError = Parse(device);
    if (!strError.isEmpty())
        *this = CWaveHeader();
    if (pstrError)
        *pstrError = strError;
    return strError.isEmpty();
}

bool CWaveHeader::Read(const QString& strPath, QString* pstrError)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
    {
        *this = CWaveHeader();
        if (pstrError)
            *pstrError = QStringLiteral("cannot open the WAV file: ") + file.errorString();
        return false;
    }
    return Read(file, pstrError);
}

QString CWaveHeader::Parse(QIODevice& device)
{
    if (!device.isOpen() || !device.isReadable() || device.isSequential())
        return QStringLiteral("cannot read the WAV file");
    const qint64 nSigned = device.size();
    const quint64 nFileSize = nSigned > 0 ? quint64(nSigned) : 0;
    char achRiff[12];
    const qint64 nRiff = qMin<qint64>(qint64(nFileSize), sizeof achRiff);
    if (nRiff < 4 || !ReadAt(device, 0, achRiff, nRiff))
        return QStringLiteral("not a WAV file");
    m_bRf64 = std::memcmp(achRiff, "RF64", 4) == 0;
    if (!m_bRf64 && std::memcmp(achRiff, "RIFF", 4) != 0)
        return QStringLiteral("not a WAV file");
    if (nRiff < qint64(sizeof achRiff))
        return g_strDamaged;
    if (std::memcmp(achRiff + 8, "WAVE", 4) != 0)
        return QStringLiteral("not a WAV file");

    // The RIFF size is not trusted: streaming writers leave it 0 or at its
    // largest, so the chunks are walked up to the end of the file instead.
    bool bFormat = false;
    bool bDs64 = false;
    quint64 nDs64DataSize = 0;
    quint64 nPos = sizeof achRiff;
    for (int nChunk = 0; nPos + 8 <= nFileSize; ++nChunk)
    {
        if (nChunk == g_nMaxChunks)
            return g_strDamaged + QStringLiteral(" (too many chunks before the data)");
        char achChunk[8];
        if (!ReadAt(device, nPos, achChunk, sizeof achChunk))
            return g_strDamaged;
        const quint32 nChunkSize = U32(achChunk + 4);
        const quint64 nBody = nPos + 8;
        if (std::memcmp(achChunk, "ds64", 4) == 0 && m_bRf64 && nPos == sizeof achRiff)
        {
            char achDs64[g_nDs64Size];
            if (nChunkSize < g_nDs64Size || nBody + g_nDs64Size > nFileSize ||
                !ReadAt(device, nBody, achDs64, g_nDs64Size))
                return g_strDamaged + QStringLiteral(" (short ds64 chunk)");
            nDs64DataSize = U64(achDs64 + 8);
            bDs64 = true;
        }
        else if (std::memcmp(achChunk, "fmt ", 4) == 0)
        {
            char achFormat[g_nExtensibleFmtSize];
            const quint32 nRead = qMin(nChunkSize, g_nExtensibleFmtSize);
            if (nChunkSize < 16 || nBody + nRead > nFileSize ||
                !ReadAt(device, nBody, achFormat, nRead))
                return g_strDamaged + QStringLiteral(" (short format chunk)");
            const QString strError = ParseFormat(achFormat, nChunkSize);
            if (!strError.isEmpty())
                return strError;
            bFormat = true;
        }
        else if (std::memcmp(achChunk, "data", 4) == 0)
        {
            if (!bFormat)
                return g_strDamaged + QStringLiteral(" (no format chunk before the data)");
            quint64 nDataSize = nChunkSize;
            if (m_bRf64 && nChunkSize == g_nNoSize)
            {
                if (!bDs64)
                    return g_strDamaged + QStringLiteral(" (RF64 without a ds64 chunk)");
                nDataSize = nDs64DataSize;
            }
            // Cut rather than rejected: a WAV still being written, or cut
            // off by a full disk, gives the sound it has.
            m_nDataOffset = nBody;
            m_nDataSize = qMin(nDataSize, nFileSize - nBody);
            return QString();
        }
        nPos = nBody + nChunkSize + (nChunkSize & 1);
    }
    return g_strDamaged +
           (bFormat ? QStringLiteral(" (no data chunk)") : QStringLiteral(" (no format chunk)"));
}

QString CWaveHeader::ParseFormat(const char* pFormat, quint32 nChunkSize)
{
    m_nFmtChunkSize = nChunkSize;
    m_nFormatTag = U16(pFormat);
    m_nChannels = U16(pFormat + 2);
    m_nSampleRate = U32(pFormat + 4);
    m_nBlockAlign = U16(pFormat + 12);
    m_nBitsPerSample = U16(pFormat + 14);
    if (m_nFormatTag == FORMAT_EXTENSIBLE)
    {
        if (nChunkSize < g_nExtensibleFmtSize || U16(pFormat + 16) < 22)
            return g_strDamaged + QStringLiteral(" (short extensible format)");
        if (std::memcmp(pFormat + 24, g_achPcmSubformat, sizeof g_achPcmSubformat) != 0)
            return g_strNotPcm16 + QStringLiteral(" (extensible format, not PCM)");
        if (U16(pFormat + 18) > m_nBitsPerSample)
            return g_strDamaged + QStringLiteral(" (more valid bits than bits per sample)");
    }
    else if (m_nFormatTag != FORMAT_PCM)
        return g_strNotPcm16 + QStringLiteral(" (format %1)").arg(m_nFormatTag);
    if (m_nBitsPerSample != 16)
        return g_strNotPcm16 + QStringLiteral(" (%1 bits per sample)").arg(m_nBitsPerSample);
    if (m_nChannels == 0)
        return g_strDamaged + QStringLiteral(" (no channels)");
    if (m_nChannels > 2)
        return QStringLiteral("not a mono or stereo WAV file (%1 channels)").arg(m_nChannels);
    if (m_nSampleRate == 0)
        return g_strDamaged + QStringLiteral(" (sample rate 0)");
    if (m_nSampleRate > MAX_SAMPLE_RATE)
        return QStringLiteral("sample rate too high for MP3 (%1 Hz)").arg(m_nSampleRate);
    if (m_nBlockAlign != m_nChannels * 2)
        return g_strDamaged + QStringLiteral(" (block size %1 for %2 channels)")
                                  .arg(m_nBlockAlign)
                                  .arg(m_nChannels);
    return QString();
}
