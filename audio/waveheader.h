#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

// Where the samples of a WAV file are and what they are, for the MP3
// converter: only 16-bit PCM in one or two channels is accepted, so nothing
// else is ever encoded as if it were sound.
class CWaveHeader
{
public:
    static constexpr quint16 FORMAT_PCM = 1;
    static constexpr quint16 FORMAT_EXTENSIBLE = 0xFFFE;
    static constexpr quint32 MAX_SAMPLE_RATE = 192000;

    // Reads a RIFF or RF64 WAVE header from a random-access device open for
    // reading. On failure every field is zero and pstrError tells why.
    bool Read(QIODevice& device, QString* pstrError = nullptr);
    bool Read(const QString& strPath, QString* pstrError = nullptr);

    quint32 GetFmtChunkSize() const { return m_nFmtChunkSize; }
    // As the file gives it: FORMAT_PCM or FORMAT_EXTENSIBLE.
    quint16 GetFormatTag() const { return m_nFormatTag; }
    quint16 GetChannels() const { return m_nChannels; }
    quint32 GetSampleRate() const { return m_nSampleRate; }
    quint16 GetBitsPerSample() const { return m_nBitsPerSample; }
    quint16 GetBlockAlign() const { return m_nBlockAlign; }
    quint64 GetDataOffset() const { return m_nDataOffset; }
    // Never more than the file holds after the data offset.
    quint64 GetDataSize() const { return m_nDataSize; }
    bool IsRf64() const { return m_bRf64; }

private:
    QString Parse(QIODevice& device);
    QString ParseFormat(const char* pFormat, quint32 nChunkSize);

    quint32 m_nFmtChunkSize = 0;
    quint16 m_nFormatTag = 0;
    quint16 m_nChannels = 0;
    quint32 m_nSampleRate = 0;
    quint16 m_nBitsPerSample = 0;
    quint16 m_nBlockAlign = 0;
    quint64 m_nDataOffset = 0;
    quint64 m_nDataSize = 0;
    bool m_bRf64 = false;
};
