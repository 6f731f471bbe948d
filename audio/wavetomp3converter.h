#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>

// Encodes a 16-bit PCM WAV file into an MP3 file beside it, with an ID3v2
// tag at its start, on a thread of its own. The window is told through
// posted CMessageEvents: WM_MP3_PROGRESS (payload: percent, double) and, at
// every ending, WM_MP3_DONE (payload: QVariantMap "path", "ok", "error").
class CWaveToMP3Converter
{
public:
    // How the last worker ended.
    enum EExitCode
    {
        EXIT_RUNNING = -1,
        EXIT_DONE = 0,
        EXIT_MP3_NOT_WRITTEN = 1,
        EXIT_ENCODER_INIT = 2,
        EXIT_NO_BUFFERS = 3,
        EXIT_ENCODE = 4,
        EXIT_SHORT_WRITE = 5,
        EXIT_ENCODER_FINISH = 6,
        // Kept for its number; a progress value is no longer allocated.
        EXIT_NO_PROGRESS_VALUE = 7,
        EXIT_BAD_WAV = 8,
        // A conversion that followed its input was stopped before the input
        // ended; it leaves no MP3.
        EXIT_STOPPED = 9
    };

    // What one worker owns: copies of its inputs, and how it ended.
    struct SJob;

    CWaveToMP3Converter();
    virtual ~CWaveToMP3Converter();
    CWaveToMP3Converter(const CWaveToMP3Converter&) = delete;
    CWaveToMP3Converter& operator=(const CWaveToMP3Converter&) = delete;

    // The window that gets the messages. It lives on the application's
    // main thread, as windows do; messages for a window that is gone are
    // dropped.
    void Init(QObject* pWindow);

    // ID3 fields as 8-bit text in the locale's encoding, cut to fit their
    // fields; empty text leaves a field as it was.
    void SetArtist(const QByteArray& szArtist);
    void SetAlbum(const QByteArray& szAlbum);
    void SetTitle(const QByteArray& szTitle);
    void SetComment(const QByteArray& szComment);
    void SetGenre(const QByteArray& szGenre);
    void SetYear(const QByteArray& szYear);
    void SetTrack(const QByteArray& szTrack);
    QByteArray GetArtist() const { return m_szArtist; }
    QByteArray GetAlbum() const { return m_szAlbum; }
    QByteArray GetTitle() const { return m_szTitle; }
    QByteArray GetComment() const { return m_szComment; }
    QByteArray GetGenre() const { return m_szGenre; }
    QByteArray GetYear() const { return m_szYear; }
    QByteArray GetTrack() const { return m_szTrack; }

    // Whole ID3v2.3 frames (LAME writes version 2.3.0: frame sizes are
    // plain big-endian, not syncsafe; no unsynchronisation), put into the
    // tag after LAME's own frames. Empty for none.
    void SetExtraId3Frames(const QByteArray& frames);

    // Reads the WAV header and starts encoding; 0 when the worker started
    // (a WAV it cannot encode then ends with a failed WM_MP3_DONE). Non-zero,
    // and nothing is posted, while a conversion runs or when no thread can
    // be started.
    int Start(const QString& strWavPath, int nMonoBitrate);
    // As Start, for a WAV file still being written (its header in place),
    // into the MP3 file given: the worker encodes the sound as the writer
    // adds it and waits for more until EndInput. The MP3 is the one Start
    // makes of the finished file.
    int StartFollowing(const QString& strWavPath, const QString& strMp3Path, int nMonoBitrate);
    // The writer has closed the followed file with that much sound; the
    // extra ID3 frames set by now go into the tag.
    void EndInput(quint64 nDataBytes);
    // The bytes of sound encoded so far by the last worker.
    quint64 GetBytesEncoded() const;
    // Why the last worker failed; empty while it runs or when it did not.
    QString GetLastError() const;

    // Asks the worker to end and waits for it up to a second; one that takes
    // longer finishes on its own with what it owns.
    void Stop();
    bool IsWorking() const;
    // EXIT_RUNNING while a worker runs or before the first one.
    int GetLastExitCode() const;

    QString GetMp3Path() const { return m_strMp3Path; }
    // The path with its extension, if its file name has one, made ".mp3".
    static QString Mp3PathFor(const QString& strWavPath);
    // The hidden name a file is made under beside its final one, until it
    // is complete: "dir/.name.part" for "dir/name".
    static QString PartPathFor(const QString& strPath);
    // An ID3v2 tag with frames added after its last frame, before its
    // padding, its size mended; the tag as it was when it is not one.
    static QByteArray AddId3Frames(const QByteArray& tag, const QByteArray& frames);

    quint32 GetFmtChunkSize() const { return m_nFmtChunkSize; }
    quint16 GetChannels() const { return m_nChannels; }
    quint32 GetSampleRate() const { return m_nSampleRate; }
    quint64 GetDataSize() const { return m_nDataSize; }

private:
    int StartJob(const QString& strWavPath, const QString& strMp3Path, int nMonoBitrate,
                 bool bFollow);
    static void Run(std::shared_ptr<SJob> pJob);

    QString m_strWavPath;
    QString m_strMp3Path;
    quint32 m_nFmtChunkSize;
    quint16 m_nChannels;
    quint32 m_nSampleRate;
    quint64 m_nDataSize;
    int m_nMonoBitrate;
    QPointer<QObject> m_pWindow;
    std::thread m_thread;
    // One flag per conversion, so a worker left finishing on its own keeps
    // seeing its own.
    std::shared_ptr<std::atomic<bool>> m_pStop;
    std::shared_ptr<SJob> m_pJob;
    QByteArray m_szArtist;
    QByteArray m_szAlbum;
    QByteArray m_szTitle;
    QByteArray m_szComment;
    QByteArray m_szGenre;
    QByteArray m_szYear;
    QByteArray m_szTrack;
    QByteArray m_extraId3Frames;
};
