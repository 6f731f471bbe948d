#pragma once

#include "speech/sapidefs.h"

#include <QFile>
#include <QMutex>
#include <QString>
#include <memory>

// A RIFF WAVE file bound as the output of a voice: the canonical 44-byte
// header ("fmt " at offset 12, the data chunk right after it), the sizes
// filled in when the stream is closed.
class CSpStream
{
public:
    CSpStream() = default;
    ~CSpStream();
    CSpStream(const CSpStream&) = delete;
    CSpStream& operator=(const CSpStream&) = delete;

    // Creates (or truncates) the file; false when it cannot be written.
    bool BindToFile(const QString& strPath, const WAVEFORMATEX& format);
    bool Write(const char* pData, qint64 nBytes);
    // Fills in the sizes and closes the file; false when that failed.
    bool Close();
    bool IsOpen() const;
    bool HasFailed() const;
    bool GetFormat(WAVEFORMATEX* pFormat) const;
    QString GetPath() const { return m_strPath; }
    quint64 GetDataBytes() const;

    // The header for a data chunk of that size; sizes beyond what the
    // 32-bit fields hold are written as their largest value.
    static QByteArray MakeHeader(const WAVEFORMATEX& format, quint64 nDataBytes);

private:
    mutable QMutex m_mutex;
    QFile m_file;
    QString m_strPath;
    WAVEFORMATEX m_format;
    quint64 m_nDataBytes = 0;
    bool m_bFailed = false;
};

typedef std::shared_ptr<CSpStream> CSpStreamPtr;
