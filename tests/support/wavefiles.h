#pragma once

// WAV files built byte for byte, so tests control every field a reader sees.
#include <QByteArray>
#include <QtEndian>
#include <QtGlobal>
#include <cmath>

namespace KbTest
{
inline QByteArray Le16(quint16 n)
{
    char buffer[2];
    qToLittleEndian(n, buffer);
    return QByteArray(buffer, 2);
}

inline QByteArray Le32(quint32 n)
{
    char buffer[4];
    qToLittleEndian(n, buffer);
    return QByteArray(buffer, 4);
}

inline QByteArray Le64(quint64 n)
{
    char buffer[8];
    qToLittleEndian(n, buffer);
    return QByteArray(buffer, 8);
}

// A chunk with its pad byte when its size is odd; nSize overrides the size
// field.
inline QByteArray Chunk(const char* pszId, const QByteArray& body, qint64 nSize = -1)
{
    QByteArray chunk(pszId, 4);
    chunk += Le32(nSize < 0 ? quint32(body.size()) : quint32(nSize));
    chunk += body;
    if (body.size() % 2)
        chunk += '\0';
    return chunk;
}

inline QByteArray FmtBody(quint16 nTag, quint16 nChannels, quint32 nRate, quint16 nBits)
{
    const quint16 nBlock = quint16(nChannels * (nBits / 8));
    return Le16(nTag) + Le16(nChannels) + Le32(nRate) + Le32(nRate * nBlock) + Le16(nBlock) +
           Le16(nBits);
}

inline QByteArray ExtensibleFmtBody(quint16 nChannels, quint32 nRate, quint16 nBits,
                                    quint16 nSubformat)
{
    const QByteArray guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return FmtBody(0xFFFE, nChannels, nRate, nBits) + Le16(22) + Le16(nBits) +
           Le32(nChannels == 1 ? 0x4 : 0x3) + Le16(nSubformat) + guidTail;
}

inline QByteArray Riff(const QByteArray& chunks, const char* pszMagic = "RIFF")
{
    return QByteArray(pszMagic, 4) + Le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

// A canonical 16-bit PCM WAV file; "after" follows the data chunk.
inline QByteArray PcmWav(quint16 nChannels, quint32 nRate, const QByteArray& pcm,
                         const QByteArray& after = QByteArray())
{
    return Riff(Chunk("fmt ", FmtBody(1, nChannels, nRate, 16)) + Chunk("data", pcm) + after);
}

// Sine tones, a different one in each channel, at half of full scale.
inline QByteArray Tone(quint16 nChannels, quint32 nRate, double dSeconds)
{
    const qint64 nFrames = qint64(dSeconds * nRate);
    QByteArray pcm(nFrames * nChannels * 2, Qt::Uninitialized);
    char* p = pcm.data();
    for (qint64 i = 0; i < nFrames; ++i)
    {
        for (int c = 0; c < nChannels; ++c, p += 2)
        {
            const double dHz = 440.0 * (c + 1);
            qToLittleEndian(qint16(16000 * std::sin(2 * M_PI * dHz * double(i) / nRate)), p);
        }
    }
    return pcm;
}
} // namespace KbTest
