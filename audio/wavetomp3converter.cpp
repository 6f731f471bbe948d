#include "audio/wavetomp3converter.h"

#include "audio/lamelibrary.h"
#include "audio/waveheader.h"
#include "res/messageevent.h"

#include <QCoreApplication>
#include <QFile>
#include <QVariantMap>
#include <QtEndian>
#include <lame/lame.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <unistd.h>

struct CWaveToMP3Converter::SJob
{
    QString strWavPath;
    QString strMp3Path;
    CWaveHeader header;
    QString strHeaderError;
    int nMonoBitrate = 0;
    QByteArray szArtist;
    QByteArray szAlbum;
    QByteArray szTitle;
    QByteArray szComment;
    QByteArray szGenre;
    QByteArray szYear;
    QByteArray szTrack;
    QByteArray extraId3Frames;
    QPointer<QObject> pWindow;
    std::shared_ptr<std::atomic<bool>> pStop;
    bool bFollow = false;
    std::unique_ptr<QFile> pFollowedWav;

    std::atomic<int> nExitCode{EXIT_RUNNING};
    std::atomic<quint64> nBytesEncoded{0};
    std::mutex mutex;
    std::condition_variable ended;
    bool bEnded = false;
    QString strError;
    // A followed file's end, and the frames that then go into the tag.
    std::condition_variable inputChanged;
    bool bInputEnded = false;
    quint64 nInputBytes = 0;
    QByteArray endExtraId3Frames;
};

namespace
{
constexpr int g_nNameFieldSize = 60;
constexpr int g_nCommentFieldSize = 40;
constexpr int g_nNumberFieldSize = 10;
// Samples per channel read and encoded at a time: whole frames at every
// MPEG version, and short enough (0.4 s of sound at 22 kHz) that a stop is
// noticed at once.
constexpr int g_nChunkFrames = 1152 * 8;
constexpr int g_nStereoBitrate = 128;
constexpr double g_dProgressStep = 0.1;
constexpr int g_nStopWaitMs = 1000;
constexpr int g_nId3HeaderSize = 10;
constexpr int g_nMaxSyncsafe = (1 << 28) - 1;
// How long a follower sleeps when the writer has not yet caught up, unless
// the input's end or a stop wakes it.
constexpr int g_nFollowWaitMs = 10;
constexpr qint64 g_nShiftBlock = 1 << 20;

void CopyField(QByteArray& szField, const QByteArray& szText, int nFieldSize)
{
    const qsizetype nEnd = szText.indexOf('\0');
    const QByteArray szCut = szText.first(nEnd < 0 ? szText.size() : nEnd).left(nFieldSize - 1);
    if (!szCut.isEmpty())
        szField = szCut;
}

quint32 Syncsafe(const char* p)
{
    quint32 n = 0;
    for (int i = 0; i < 4; ++i)
        n = (n << 7) | (quint8(p[i]) & 0x7F);
    return n;
}

bool IsSyncsafe(const char* p)
{
    return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0;
}

void PutSyncsafe(char* p, quint32 n)
{
    for (int i = 3; i >= 0; --i, n >>= 7)
        p[i] = char(n & 0x7F);
}

// The entry points used, each resolved at run time; the program links
// nothing of the library.
struct SLameApi
{
    decltype(&lame_init) m_pfnInit = nullptr;
    decltype(&lame_close) m_pfnClose = nullptr;
    decltype(&lame_set_in_samplerate) m_pfnSetInSamplerate = nullptr;
    decltype(&lame_set_num_channels) m_pfnSetNumChannels = nullptr;
    decltype(&lame_set_out_samplerate) m_pfnSetOutSamplerate = nullptr;
    decltype(&lame_set_mode) m_pfnSetMode = nullptr;
    decltype(&lame_set_VBR) m_pfnSetVbr = nullptr;
    decltype(&lame_set_brate) m_pfnSetBrate = nullptr;
    decltype(&lame_set_copyright) m_pfnSetCopyright = nullptr;
    decltype(&lame_set_original) m_pfnSetOriginal = nullptr;
    decltype(&lame_set_error_protection) m_pfnSetErrorProtection = nullptr;
    decltype(&lame_set_extension) m_pfnSetExtension = nullptr;
    decltype(&lame_set_strict_ISO) m_pfnSetStrictIso = nullptr;
    decltype(&lame_set_disable_reservoir) m_pfnSetDisableReservoir = nullptr;
    decltype(&lame_set_bWriteVbrTag) m_pfnSetWriteVbrTag = nullptr;
    decltype(&lame_set_write_id3tag_automatic) m_pfnSetWriteId3TagAutomatic = nullptr;
    decltype(&lame_init_params) m_pfnInitParams = nullptr;
    decltype(&id3tag_init) m_pfnId3Init = nullptr;
    decltype(&id3tag_add_v2) m_pfnId3AddV2 = nullptr;
    decltype(&id3tag_set_artist) m_pfnId3SetArtist = nullptr;
    decltype(&id3tag_set_album) m_pfnId3SetAlbum = nullptr;
    decltype(&id3tag_set_title) m_pfnId3SetTitle = nullptr;
    decltype(&id3tag_set_comment) m_pfnId3SetComment = nullptr;
    decltype(&id3tag_set_genre) m_pfnId3SetGenre = nullptr;
    decltype(&id3tag_set_year) m_pfnId3SetYear = nullptr;
    decltype(&id3tag_set_track) m_pfnId3SetTrack = nullptr;
    decltype(&lame_get_id3v2_tag) m_pfnGetId3v2Tag = nullptr;
    decltype(&lame_encode_buffer) m_pfnEncodeBuffer = nullptr;
    decltype(&lame_encode_buffer_interleaved) m_pfnEncodeBufferInterleaved = nullptr;
    decltype(&lame_encode_flush) m_pfnEncodeFlush = nullptr;
    decltype(&lame_get_lametag_frame) m_pfnGetLametagFrame = nullptr;

    bool Resolve(CLameLibrary& library)
    {
        return library.Resolve("lame_init", m_pfnInit) &&
               library.Resolve("lame_close", m_pfnClose) &&
               library.Resolve("lame_set_in_samplerate", m_pfnSetInSamplerate) &&
               library.Resolve("lame_set_num_channels", m_pfnSetNumChannels) &&
               library.Resolve("lame_set_out_samplerate", m_pfnSetOutSamplerate) &&
               library.Resolve("lame_set_mode", m_pfnSetMode) &&
               library.Resolve("lame_set_VBR", m_pfnSetVbr) &&
               library.Resolve("lame_set_brate", m_pfnSetBrate) &&
               library.Resolve("lame_set_copyright", m_pfnSetCopyright) &&
               library.Resolve("lame_set_original", m_pfnSetOriginal) &&
               library.Resolve("lame_set_error_protection", m_pfnSetErrorProtection) &&
               library.Resolve("lame_set_extension", m_pfnSetExtension) &&
               library.Resolve("lame_set_strict_ISO", m_pfnSetStrictIso) &&
               library.Resolve("lame_set_disable_reservoir", m_pfnSetDisableReservoir) &&
               library.Resolve("lame_set_bWriteVbrTag", m_pfnSetWriteVbrTag) &&
               library.Resolve("lame_set_write_id3tag_automatic", m_pfnSetWriteId3TagAutomatic) &&
               library.Resolve("lame_init_params", m_pfnInitParams) &&
               library.Resolve("id3tag_init", m_pfnId3Init) &&
               library.Resolve("id3tag_add_v2", m_pfnId3AddV2) &&
               library.Resolve("id3tag_set_artist", m_pfnId3SetArtist) &&
               library.Resolve("id3tag_set_album", m_pfnId3SetAlbum) &&
               library.Resolve("id3tag_set_title", m_pfnId3SetTitle) &&
               library.Resolve("id3tag_set_comment", m_pfnId3SetComment) &&
               library.Resolve("id3tag_set_genre", m_pfnId3SetGenre) &&
               library.Resolve("id3tag_set_year", m_pfnId3SetYear) &&
               library.Resolve("id3tag_set_track", m_pfnId3SetTrack) &&
               library.Resolve("lame_get_id3v2_tag", m_pfnGetId3v2Tag) &&
               library.Resolve("lame_encode_buffer", m_pfnEncodeBuffer) &&
               library.Resolve("lame_encode_buffer_interleaved", m_pfnEncodeBufferInterleaved) &&
               library.Resolve("lame_encode_flush", m_pfnEncodeFlush) &&
               library.Resolve("lame_get_lametag_frame", m_pfnGetLametagFrame);
    }
};

struct SLameSession
{
    const SLameApi& lame;
    lame_t pGfp;
    ~SLameSession()
    {
        if (pGfp)
            lame.m_pfnClose(pGfp);
    }
};

// The MP3 is written under a hidden name beside its final one and renamed
// over it only when complete, so a cut MP3 never stands under that name.
struct STempMp3
{
    QString strFinalPath;
    QFile file;
    bool bCommitted = false;

    explicit STempMp3(const QString& strMp3Path)
        : strFinalPath(strMp3Path), file(CWaveToMP3Converter::PartPathFor(strMp3Path))
    {
    }
    ~STempMp3()
    {
        if (bCommitted)
            return;
        // QFile::remove keeps a file whose buffered bytes the disk refused
        // as it closes it.
        file.close();
        QFile::remove(file.fileName());
    }
    bool Commit(QString& strError)
    {
        // A full disk may only say so when the data is synced.
        if (!file.flush() || ::fsync(file.handle()) != 0)
        {
            strError = QStringLiteral("cannot write the MP3 file: ") +
                       (file.error() != QFileDevice::NoError
                            ? file.errorString()
                            : QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        file.close();
        // rename(2) replaces an earlier MP3 in one step; QFile::rename would
        // refuse to.
        if (std::rename(QFile::encodeName(file.fileName()).constData(),
                        QFile::encodeName(strFinalPath).constData()) != 0)
        {
            strError = QStringLiteral("cannot put the MP3 file in place: ") +
                       QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        bCommitted = true;
        return true;
    }
};

bool WriteAll(QFile& file, const void* pData, qint64 nBytes)
{
    return file.write(static_cast<const char*>(pData), nBytes) == nBytes;
}

// Puts the bytes before what the file holds, moving it back block by block
// from its end.
bool Prepend(QFile& file, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return true;
    if (!file.flush())
        return false;
    QByteArray block;
    for (qint64 nEnd = file.size(); nEnd > 0;)
    {
        const qint64 nCount = qMin(nEnd, g_nShiftBlock);
        nEnd -= nCount;
        if (!file.seek(nEnd))
            return false;
        block = file.read(nCount);
        if (block.size() != nCount || !file.seek(nEnd + bytes.size()) ||
            !WriteAll(file, block.constData(), nCount))
            return false;
    }
    return file.seek(0) && WriteAll(file, bytes.constData(), bytes.size());
}

// The end of the sound: known from the header, or, while a followed file is
// still being written, the largest size there is.
quint64 SoundEnd(CWaveToMP3Converter::SJob& job)
{
    if (!job.bFollow)
        return job.header.GetDataSize();
    std::lock_guard<std::mutex> lock(job.mutex);
    return job.bInputEnded ? job.nInputBytes : std::numeric_limits<quint64>::max();
}

// Reads up to nWant bytes of sound that start nDone bytes into it. A
// followed file is read until there are nWant bytes or its input has ended,
// so its chunks are the ones its finished file would give; -2 when stopped
// while waiting for the writer.
qint64 ReadSound(CWaveToMP3Converter::SJob& job, QFile& wav, char* pBuffer, qint64 nWant,
                 quint64 nDone)
{
    if (!job.bFollow)
        return wav.read(pBuffer, nWant);
    qint64 nGot = 0;
    // Everything is in the file once its input has ended: a read that comes
    // after that and finds nothing means the file is shorter than it said.
    bool bReadAfterEnd = false;
    while (nGot < nWant)
    {
        const qint64 nRead = wav.read(pBuffer + nGot, nWant - nGot);
        if (nRead < 0)
            return -1;
        nGot += nRead;
        if (nGot == nWant)
            break;
        std::unique_lock<std::mutex> lock(job.mutex);
        if (job.bInputEnded)
        {
            // A pad byte after odd-sized sound is no sound.
            if (nDone + quint64(nGot) >= job.nInputBytes)
                return qint64(job.nInputBytes > nDone ? job.nInputBytes - nDone : 0);
            if (bReadAfterEnd && nRead == 0)
                break;
            bReadAfterEnd = true;
            continue;
        }
        if (job.pStop->load())
            return -2;
        if (nRead == 0)
            job.inputChanged.wait_for(lock, std::chrono::milliseconds(g_nFollowWaitMs));
    }
    return nGot;
}

void Post(const QPointer<QObject>& pWindow, int nMessage, const QVariant& payload)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (!pApp)
        return;
    // Whether the window still lives is asked on its own thread, where it
    // cannot be deleted between the question and the posting.
    QMetaObject::invokeMethod(
        pApp,
        [pWindow, nMessage, payload]()
        {
            if (pWindow)
                QCoreApplication::postEvent(pWindow, new CMessageEvent(nMessage, 0, payload));
        },
        Qt::QueuedConnection);
}

bool SetUpEncoder(const SLameApi& lame, lame_t gfp, const CWaveToMP3Converter::SJob& job)
{
    const int nChannels = job.header.GetChannels();
    const MPEG_mode eMode = nChannels == 1 ? MONO : nChannels == 2 ? JOINT_STEREO : STEREO;
    const int aResults[] = {
        lame.m_pfnSetInSamplerate(gfp, int(job.header.GetSampleRate())),
        lame.m_pfnSetNumChannels(gfp, nChannels),
        lame.m_pfnSetOutSamplerate(gfp, 0),
        lame.m_pfnSetMode(gfp, eMode),
        lame.m_pfnSetVbr(gfp, vbr_off),
        lame.m_pfnSetBrate(gfp, nChannels == 1 ? job.nMonoBitrate : g_nStereoBitrate),
        lame.m_pfnSetCopyright(gfp, 1),
        lame.m_pfnSetOriginal(gfp, 1),
        lame.m_pfnSetErrorProtection(gfp, 0),
        lame.m_pfnSetExtension(gfp, 0),
        lame.m_pfnSetStrictIso(gfp, 0),
        lame.m_pfnSetDisableReservoir(gfp, 1),
        lame.m_pfnSetWriteVbrTag(gfp, 1),
    };
    for (int nResult : aResults)
    {
        if (nResult < 0)
            return false;
    }
    // The tag is written by us rather than put into the encoder's output, so
    // that the extra frames can join it; LAME takes that choice only before
    // its parameters are fixed.
    lame.m_pfnSetWriteId3TagAutomatic(gfp, 0);
    lame.m_pfnId3Init(gfp);
    lame.m_pfnId3AddV2(gfp);
    if (!job.szArtist.isEmpty())
        lame.m_pfnId3SetArtist(gfp, job.szArtist.constData());
    if (!job.szAlbum.isEmpty())
        lame.m_pfnId3SetAlbum(gfp, job.szAlbum.constData());
    if (!job.szTitle.isEmpty())
        lame.m_pfnId3SetTitle(gfp, job.szTitle.constData());
    if (!job.szComment.isEmpty())
        lame.m_pfnId3SetComment(gfp, job.szComment.constData());
    // A genre outside the ID3v1 list is still kept as text in the v2 tag.
    if (!job.szGenre.isEmpty())
        lame.m_pfnId3SetGenre(gfp, job.szGenre.constData());
    if (!job.szYear.isEmpty())
        lame.m_pfnId3SetYear(gfp, job.szYear.constData());
    if (!job.szTrack.isEmpty())
        lame.m_pfnId3SetTrack(gfp, job.szTrack.constData());
    return lame.m_pfnInitParams(gfp) >= 0;
}

// Without memory for it the MP3 goes without a tag rather than not at all.
QByteArray MakeTag(const SLameApi& lame, lame_t gfp, const QByteArray& extraFrames)
{
    const size_t nSize = lame.m_pfnGetId3v2Tag(gfp, nullptr, 0);
    if (nSize == 0 || nSize > size_t(g_nMaxSyncsafe))
        return QByteArray();
    std::unique_ptr<unsigned char[]> pTag(new (std::nothrow) unsigned char[nSize]);
    if (!pTag || lame.m_pfnGetId3v2Tag(gfp, pTag.get(), nSize) != nSize)
        return QByteArray();
    try
    {
        return CWaveToMP3Converter::AddId3Frames(
            QByteArray(reinterpret_cast<const char*>(pTag.get()), qsizetype(nSize)), extraFrames);
    }
    catch (const std::bad_alloc&)
    {
        return QByteArray();
    }
}

int Encode(CWaveToMP3Converter::SJob& job, QString& strError)
{
    if (!job.strHeaderError.isEmpty())
    {
        strError = job.strHeaderError;
        return CWaveToMP3Converter::EXIT_BAD_WAV;
    }
    const CWaveHeader& wave = job.header;
    const int nChannels = wave.GetChannels();

    CLameLibrary library;
    SLameApi lame;
    if (!library.Load() || !lame.Resolve(library))
    {
        strError = QStringLiteral("the MP3 encoder library (libmp3lame) cannot be loaded");
        return CWaveToMP3Converter::EXIT_ENCODER_INIT;
    }
    SLameSession session{lame, lame.m_pfnInit()};
    if (!session.pGfp || !SetUpEncoder(lame, session.pGfp, job))
    {
        strError = QStringLiteral("the MP3 encoder cannot encode this sound (%1 Hz, %2 channels)")
                       .arg(wave.GetSampleRate())
                       .arg(nChannels);
        return CWaveToMP3Converter::EXIT_ENCODER_INIT;
    }

    const qint64 nBlock = qint64(nChannels) * 2;
    const qint64 nChunkBytes = g_nChunkFrames * nBlock;
    // LAME's own worst case for the MP3 bytes of that many samples.
    const int nMp3Size = int(1.25 * double(g_nChunkFrames * nChannels)) + 7200;
    std::unique_ptr<qint16[]> pPcm(new (std::nothrow) qint16[size_t(g_nChunkFrames * nChannels)]);
    std::unique_ptr<unsigned char[]> pMp3(new (std::nothrow) unsigned char[size_t(nMp3Size)]);
    if (!pPcm || !pMp3)
    {
        strError = QStringLiteral("not enough memory to encode MP3");
        return CWaveToMP3Converter::EXIT_NO_BUFFERS;
    }

    QFile ownWav(job.strWavPath);
    QFile& wav = job.pFollowedWav ? *job.pFollowedWav : ownWav;
    if ((!wav.isOpen() && !wav.open(QIODevice::ReadOnly)) ||
        !wav.seek(qint64(wave.GetDataOffset())))
    {
        strError = QStringLiteral("cannot read the WAV file: ") + wav.errorString();
        return CWaveToMP3Converter::EXIT_BAD_WAV;
    }
    STempMp3 mp3(job.strMp3Path);
    if (!mp3.file.open(QIODevice::ReadWrite | QIODevice::Truncate))
    {
        strError = QStringLiteral("cannot create the MP3 file: ") + mp3.file.errorString();
        return CWaveToMP3Converter::EXIT_MP3_NOT_WRITTEN;
    }
    auto shortWrite = [&]()
    {
        strError = QStringLiteral("cannot write the MP3 file: ") + mp3.file.errorString();
        return CWaveToMP3Converter::EXIT_SHORT_WRITE;
    };

    // A followed file's word timings are known only at its end: its tag is
    // put before the sound then.
    const QByteArray tag =
        job.bFollow ? QByteArray() : MakeTag(lame, session.pGfp, job.extraId3Frames);
    if (!WriteAll(mp3.file, tag.constData(), tag.size()))
        return shortWrite();

    char* const pBytes = reinterpret_cast<char*>(pPcm.get());
    quint64 nDone = 0;
    qint64 nCarry = 0;
    double dPosted = 0;
    while (!job.pStop->load())
    {
        const quint64 nDataSize = SoundEnd(job);
        if (nDone >= nDataSize)
            break;
        const qint64 nWant =
            qint64(qMin<quint64>(nDataSize - nDone, quint64(nChunkBytes - nCarry)));
        const qint64 nRead = ReadSound(job, wav, pBytes + nCarry, nWant, nDone);
        if (nRead == -2)
            break;
        if (nRead < 0)
        {
            strError = QStringLiteral("cannot read the WAV file: ") + wav.errorString();
            return CWaveToMP3Converter::EXIT_BAD_WAV;
        }
        // The file got shorter since its header was read.
        if (nRead == 0)
            break;
        nDone += quint64(nRead);
        const qint64 nHave = nCarry + nRead;
        const int nFrames = int(nHave / nBlock);
        nCarry = nHave % nBlock;
        qFromLittleEndian<qint16>(pPcm.get(), nFrames * nChannels, pPcm.get());
        const int nEncoded = nChannels == 1
                                 ? lame.m_pfnEncodeBuffer(session.pGfp, pPcm.get(), pPcm.get(),
                                                          nFrames, pMp3.get(), nMp3Size)
                                 : lame.m_pfnEncodeBufferInterleaved(session.pGfp, pPcm.get(),
                                                                     nFrames, pMp3.get(), nMp3Size);
        if (nEncoded < 0)
        {
            strError = QStringLiteral("MP3 encoding failed (LAME error %1)").arg(nEncoded);
            return CWaveToMP3Converter::EXIT_ENCODE;
        }
        if (!WriteAll(mp3.file, pMp3.get(), nEncoded))
            return shortWrite();
        if (nCarry)
            std::memmove(pBytes, pBytes + nFrames * nBlock, size_t(nCarry));
        job.nBytesEncoded = nDone;
        if (job.bFollow)
            continue;
        const double dPercent = double(nDone) * 100.0 / double(nDataSize);
        if (dPercent - dPosted > g_dProgressStep)
        {
            Post(job.pWindow, WM_MP3_PROGRESS, dPercent);
            dPosted = dPercent;
        }
    }

    // A followed file stopped before its end would be a cut MP3: none is
    // made.
    if (job.bFollow && job.pStop->load())
    {
        strError = QStringLiteral("stopped before the sound ended");
        return CWaveToMP3Converter::EXIT_STOPPED;
    }
    const int nFlushed = lame.m_pfnEncodeFlush(session.pGfp, pMp3.get(), nMp3Size);
    if (nFlushed < 0)
    {
        strError = QStringLiteral("MP3 encoding failed at the end (LAME error %1)").arg(nFlushed);
        return CWaveToMP3Converter::EXIT_ENCODER_FINISH;
    }
    if (!WriteAll(mp3.file, pMp3.get(), nFlushed))
        return shortWrite();
    // The info frame goes into the frame LAME left empty at the start of
    // its output, so players show the right duration.
    const size_t nInfo = lame.m_pfnGetLametagFrame(session.pGfp, pMp3.get(), size_t(nMp3Size));
    if (nInfo > 0 && nInfo <= size_t(nMp3Size) &&
        (!mp3.file.seek(tag.size()) || !WriteAll(mp3.file, pMp3.get(), qint64(nInfo))))
        return shortWrite();
    if (job.bFollow)
    {
        QByteArray extraFrames;
        {
            std::lock_guard<std::mutex> lock(job.mutex);
            extraFrames = job.endExtraId3Frames;
        }
        if (!Prepend(mp3.file, MakeTag(lame, session.pGfp, extraFrames)))
            return shortWrite();
    }
    wav.close();
    if (!mp3.Commit(strError))
        return CWaveToMP3Converter::EXIT_MP3_NOT_WRITTEN;
    return CWaveToMP3Converter::EXIT_DONE;
}
} // namespace

CWaveToMP3Converter::CWaveToMP3Converter()
    : m_strMp3Path(Mp3PathFor(QString())), m_nFmtChunkSize(0), m_nChannels(0), m_nSampleRate(0),
      m_nDataSize(0), m_nMonoBitrate(0), m_pStop(std::make_shared<std::atomic<bool>>(false))
{
}

CWaveToMP3Converter::~CWaveToMP3Converter()
{
    Stop();
}

void CWaveToMP3Converter::Init(QObject* pWindow)
{
    m_pWindow = pWindow;
}

void CWaveToMP3Converter::SetArtist(const QByteArray& szArtist)
{
    CopyField(m_szArtist, szArtist, g_nNameFieldSize);
}

void CWaveToMP3Converter::SetAlbum(const QByteArray& szAlbum)
{
    CopyField(m_szAlbum, szAlbum, g_nNameFieldSize);
}

void CWaveToMP3Converter::SetTitle(const QByteArray& szTitle)
{
    CopyField(m_szTitle, szTitle, g_nNameFieldSize);
}

void CWaveToMP3Converter::SetComment(const QByteArray& szComment)
{
    CopyField(m_szComment, szComment, g_nCommentFieldSize);
}

void CWaveToMP3Converter::SetGenre(const QByteArray& szGenre)
{
    CopyField(m_szGenre, szGenre, g_nCommentFieldSize);
}

void CWaveToMP3Converter::SetYear(const QByteArray& szYear)
{
    CopyField(m_szYear, szYear, g_nNumberFieldSize);
}

void CWaveToMP3Converter::SetTrack(const QByteArray& szTrack)
{
    CopyField(m_szTrack, szTrack, g_nNumberFieldSize);
}

void CWaveToMP3Converter::SetExtraId3Frames(const QByteArray& frames)
{
    m_extraId3Frames = frames;
}

int CWaveToMP3Converter::Start(const QString& strWavPath, int nMonoBitrate)
{
    return StartJob(strWavPath, Mp3PathFor(strWavPath), nMonoBitrate, false);
}

int CWaveToMP3Converter::StartFollowing(const QString& strWavPath, const QString& strMp3Path,
                                        int nMonoBitrate)
{
    return StartJob(strWavPath, strMp3Path, nMonoBitrate, true);
}

void CWaveToMP3Converter::EndInput(quint64 nDataBytes)
{
    if (!m_pJob || !m_pJob->bFollow)
        return;
    {
        std::lock_guard<std::mutex> lock(m_pJob->mutex);
        m_pJob->bInputEnded = true;
        m_pJob->nInputBytes = nDataBytes;
        m_pJob->endExtraId3Frames = m_extraId3Frames;
    }
    m_pJob->inputChanged.notify_all();
}

quint64 CWaveToMP3Converter::GetBytesEncoded() const
{
    return m_pJob ? m_pJob->nBytesEncoded.load() : 0;
}

QString CWaveToMP3Converter::GetLastError() const
{
    if (!m_pJob)
        return QString();
    std::lock_guard<std::mutex> lock(m_pJob->mutex);
    return m_pJob->strError;
}

int CWaveToMP3Converter::StartJob(const QString& strWavPath, const QString& strMp3Path,
                                  int nMonoBitrate, bool bFollow)
{
    if (IsWorking())
        return 1;
    if (m_thread.joinable())
        m_thread.join();
    m_strWavPath = strWavPath;
    m_strMp3Path = strMp3Path;
    m_nMonoBitrate = nMonoBitrate;

    auto pJob = std::make_shared<SJob>();
    if (bFollow)
    {
        // Opened here, as the writer may finish and rename its file before
        // the worker runs. Read unbuffered: every read asks the file itself,
        // whose end moves on.
        pJob->pFollowedWav = std::make_unique<QFile>(strWavPath);
        if (pJob->pFollowedWav->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            pJob->header.Read(*pJob->pFollowedWav, &pJob->strHeaderError);
        else
            pJob->strHeaderError =
                QStringLiteral("cannot read the WAV file: ") + pJob->pFollowedWav->errorString();
    }
    else
    {
        pJob->header.Read(strWavPath, &pJob->strHeaderError);
    }
    m_nFmtChunkSize = pJob->header.GetFmtChunkSize();
    m_nChannels = pJob->header.GetChannels();
    m_nSampleRate = pJob->header.GetSampleRate();
    m_nDataSize = pJob->header.GetDataSize();
    pJob->strWavPath = strWavPath;
    pJob->strMp3Path = strMp3Path;
    pJob->nMonoBitrate = nMonoBitrate;
    pJob->szArtist = m_szArtist;
    pJob->szAlbum = m_szAlbum;
    pJob->szTitle = m_szTitle;
    pJob->szComment = m_szComment;
    pJob->szGenre = m_szGenre;
    pJob->szYear = m_szYear;
    pJob->szTrack = m_szTrack;
    pJob->extraId3Frames = m_extraId3Frames;
    pJob->pWindow = m_pWindow;
    pJob->pStop = m_pStop;
    pJob->bFollow = bFollow;
    try
    {
        m_thread = std::thread(&CWaveToMP3Converter::Run, pJob);
    }
    catch (const std::system_error&)
    {
        return 2;
    }
    m_pJob = pJob;
    return 0;
}

void CWaveToMP3Converter::Run(std::shared_ptr<SJob> pJob)
{
    QString strError;
    const int nCode = Encode(*pJob, strError);
    pJob->nExitCode = nCode;
    Post(pJob->pWindow, WM_MP3_DONE,
         QVariantMap{{QStringLiteral("path"), pJob->strMp3Path},
                     {QStringLiteral("ok"), nCode == EXIT_DONE},
                     {QStringLiteral("error"), strError}});
    {
        std::lock_guard<std::mutex> lock(pJob->mutex);
        pJob->strError = strError;
        pJob->bEnded = true;
    }
    pJob->ended.notify_all();
}

void CWaveToMP3Converter::Stop()
{
    m_pStop->store(true);
    if (m_pJob)
        m_pJob->inputChanged.notify_all();
    if (m_thread.joinable())
    {
        bool bEnded = false;
        {
            std::unique_lock<std::mutex> lock(m_pJob->mutex);
            bEnded = m_pJob->ended.wait_for(lock, std::chrono::milliseconds(g_nStopWaitMs),
                                            [this]() { return m_pJob->bEnded; });
        }
        // A thread cannot be ended safely from outside: one that takes
        // longer sees its flag at its next chunk and ends with what it owns.
        if (bEnded)
            m_thread.join();
        else
            m_thread.detach();
    }
    m_pStop = std::make_shared<std::atomic<bool>>(false);
}

bool CWaveToMP3Converter::IsWorking() const
{
    if (!m_thread.joinable())
        return false;
    std::lock_guard<std::mutex> lock(m_pJob->mutex);
    return !m_pJob->bEnded;
}

int CWaveToMP3Converter::GetLastExitCode() const
{
    return m_pJob ? m_pJob->nExitCode.load() : int(EXIT_RUNNING);
}

QString CWaveToMP3Converter::PartPathFor(const QString& strPath)
{
    const qsizetype nName = strPath.lastIndexOf(u'/') + 1;
    return strPath.left(nName) + u'.' + strPath.mid(nName) + QStringLiteral(".part");
}

QString CWaveToMP3Converter::Mp3PathFor(const QString& strWavPath)
{
    const qsizetype nDot = strWavPath.lastIndexOf(u'.');
    if (nDot > strWavPath.lastIndexOf(u'/'))
        return strWavPath.left(nDot) + QStringLiteral(".mp3");
    return strWavPath + QStringLiteral(".mp3");
}

QByteArray CWaveToMP3Converter::AddId3Frames(const QByteArray& tag, const QByteArray& frames)
{
    if (frames.isEmpty() || tag.size() < g_nId3HeaderSize || !tag.startsWith("ID3"))
        return tag;
    const char* p = tag.constData();
    const int nVersion = p[3];
    const quint8 nFlags = quint8(p[5]);
    // Unsynchronised tags and v2.4 footers would need the frames rewritten;
    // LAME writes neither.
    if ((nVersion != 3 && nVersion != 4) || (nFlags & 0x80) || (nFlags & 0x10) ||
        !IsSyncsafe(p + 6))
        return tag;
    const quint32 nSize = Syncsafe(p + 6);
    const qsizetype nEnd = qMin<qsizetype>(g_nId3HeaderSize + qsizetype(nSize), tag.size());
    qsizetype nPos = g_nId3HeaderSize;
    if (nFlags & 0x40)
    {
        if (nPos + 4 > nEnd)
            return tag;
        const quint32 nExtended =
            nVersion == 3 ? qFromBigEndian<quint32>(p + nPos) + 4 : Syncsafe(p + nPos);
        nPos += qsizetype(nExtended);
    }
    // Padding, zero bytes, follows the last frame; a frame id never starts
    // with one.
    while (nPos + g_nId3HeaderSize <= nEnd && p[nPos] != 0)
    {
        const quint32 nFrame =
            nVersion == 3 ? qFromBigEndian<quint32>(p + nPos + 4) : Syncsafe(p + nPos + 4);
        if (nFrame > quint32(nEnd - nPos - g_nId3HeaderSize))
            return tag;
        nPos += g_nId3HeaderSize + qsizetype(nFrame);
    }
    if (nPos > nEnd || quint64(nSize) + quint64(frames.size()) > quint64(g_nMaxSyncsafe))
        return tag;
    QByteArray result = tag;
    result.insert(nPos, frames);
    PutSyncsafe(result.data() + 6, nSize + quint32(frames.size()));
    return result;
}
