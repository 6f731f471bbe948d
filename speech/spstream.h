#pragma once

#include "speech/sapidefs.h"

#include <QFile>
#include <QMutex>
#include <QString>
#include <memory>

// A WAVE file bound as the output of a voice. Its 80-byte header holds a
// 28-byte "JUNK" chunk right after "WAVE", then "fmt " and "data"; when the
// stream is closed the sizes are filled in, and a file whose sizes pass the
// 32-bit fields becomes RF64 (EBU Tech 3306): the JUNK chunk turns into the
// "ds64" chunk in place, so the audio never moves. Readers must walk the
// chunks: the audio starts at offset 80, not 44.
class CSpStream
{
public:
    static constexpr int HEADER_BYTES = 80;
    static constexpr quint64 MAX_RIFF_SIZE = 0xFFFFFFFFull;

    CSpStream() = default;
    ~CSpStream();
    CSpStream(const CSpStream&) = delete;
    CSpStream& operator=(const CSpStream&) = delete;

    // Creates (or truncates) the file; false when it cannot be written.
    // With a final path, the file is a temporary one that Close renames to
    // it once complete, so a cut file never stands under the final name;
    // Discard, a failed Close or destroying the stream unclosed removes it.
    bool BindToFile(const QString& strPath, const WAVEFORMATEX& format,
                    const QString& strFinalPath = QString());
    bool Write(const char* pData, qint64 nBytes);
    // Fills in the sizes and closes the file (and renames it to its final
    // path); false when that failed.
    bool Close();
    // Closes and removes the file.
    void Discard();
    bool IsOpen() const;
    bool HasFailed() const;
    bool GetFormat(WAVEFORMATEX* pFormat) const;
    // The path the file is written at, and the one it has once closed.
    QString GetPath() const { return m_strPath; }
    QString GetFinalPath() const;
    quint64 GetDataBytes() const;

    // The header for a data chunk of that size: RIFF while the RIFF size
    // (the file's size less 8) is at most nMaxRiffSize, RF64 beyond.
    static QByteArray MakeHeader(const WAVEFORMATEX& format, quint64 nDataBytes,
                                 quint64 nMaxRiffSize = MAX_RIFF_SIZE);
    // The RIFF size beyond which Close writes RF64; tests lower it to reach
    // RF64 with a small file. 0 restores MAX_RIFF_SIZE.
    static void SetMaxRiffSizeForTests(quint64 nMaxRiffSize);

private:
    mutable QMutex m_mutex;
    QFile m_file;
    QString m_strPath;
    QString m_strFinalPath;
    WAVEFORMATEX m_format;
    quint64 m_nDataBytes = 0;
    bool m_bFailed = false;
};

typedef std::shared_ptr<CSpStream> CSpStreamPtr;
