#include "audio/waveheader.h"
#include "audio/wavetomp3converter.h"
#include "res/messageevent.h"
#include "speech/spstream.h"
#include "speech/spvoice.h"

#include "tests/support/testfiles.h"
#include "tests/support/wavefiles.h"

#include "tests/support/mediaprobe.h"
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <memory>

using namespace KbTest;

namespace
{
// Collects the messages a converter posts, as the window would get them.
class CReceiver : public QObject
{
public:
    QList<QPair<int, QVariant>> m_messages;

    bool event(QEvent* pEvent) override
    {
        const int nMessage = CMessageEvent::MessageOf(pEvent);
        if (nMessage != WM_MP3_PROGRESS && nMessage != WM_MP3_DONE)
            return QObject::event(pEvent);
        m_messages.append({nMessage, static_cast<CMessageEvent*>(pEvent)->GetPayload()});
        return true;
    }
    int Count(int nMessage) const
    {
        return int(std::count_if(m_messages.begin(), m_messages.end(),
                                 [nMessage](const auto& m) { return m.first == nMessage; }));
    }
    QVariantMap Done() const
    {
        for (const auto& message : m_messages)
        {
            if (message.first == WM_MP3_DONE)
                return message.second.toMap();
        }
        return QVariantMap();
    }
    QList<double> Progress() const
    {
        QList<double> percents;
        for (const auto& message : m_messages)
        {
            if (message.first == WM_MP3_PROGRESS)
                percents.append(message.second.toDouble());
        }
        return percents;
    }
};

// The samples mpg123 decodes, channels interleaved; empty when it fails.
QVector<qint16> Decode(const QString& strPath, int* pnChannels)
{
    const QString strWav = strPath + QStringLiteral(".decoded.wav");
    const SToolRun run = RunTool(QStringLiteral("mpg123"),
                                 {QStringLiteral("-q"), QStringLiteral("-w"), strWav, strPath});
    CWaveHeader header;
    QFile file(strWav);
    if (run.nExit != 0 || !file.open(QIODevice::ReadOnly) || !header.Read(file) ||
        !file.seek(qint64(header.GetDataOffset())))
        return {};
    const QByteArray data = file.read(qint64(header.GetDataSize()));
    file.remove();
    *pnChannels = header.GetChannels();
    QVector<qint16> samples(data.size() / 2);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(data.constData() + 2 * i);
    return samples;
}

QVector<qint16> Samples(const QByteArray& pcm)
{
    QVector<qint16> samples(pcm.size() / 2);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(pcm.constData() + 2 * i);
    return samples;
}

// Normalised correlation of two equally long signals: near 1 when the MP3
// carries the sound it was given, in its place.
double Correlation(const QVector<qint16>& a, const QVector<qint16>& b)
{
    double dAb = 0, dAa = 0, dBb = 0;
    for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i)
    {
        dAb += double(a[i]) * b[i];
        dAa += double(a[i]) * a[i];
        dBb += double(b[i]) * b[i];
    }
    return dAa > 0 && dBb > 0 ? dAb / std::sqrt(dAa * dBb) : 0;
}

// An MPEG audio frame header as our own reader sees it.
struct SMp3Frame
{
    qint64 nOffset = 0;
    int nVersion = 0; // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    int nLayer = 0;
    bool bCrc = false;
    int nBitrateIndex = 0;
    int nBitrate = 0;
    int nRate = 0;
    int nMode = 0; // 0 stereo, 1 joint stereo, 2 dual, 3 mono
    bool bCopyright = false;
    bool bOriginal = false;
    int nSize = 0;
};

struct SMp3File
{
    int nTagSize = 0;
    QList<QPair<QByteArray, QByteArray>> tagFrames;
    bool bTagValid = false;
    QList<SMp3Frame> frames;
    QString strError;
};

quint32 Syncsafe(const char* p)
{
    return (quint32(quint8(p[0])) << 21) | (quint32(quint8(p[1])) << 14) |
           (quint32(quint8(p[2])) << 7) | quint32(quint8(p[3]));
}

// Reads an ID3v2.3 tag and then every frame up to the last byte; any gap or
// bad header is an error.
SMp3File ReadMp3(const QByteArray& bytes)
{
    SMp3File mp3;
    const char* p = bytes.constData();
    qint64 nPos = 0;
    if (bytes.startsWith("ID3") && bytes.size() >= 10)
    {
        mp3.nTagSize = 10 + int(Syncsafe(p + 6));
        qint64 nFrame = 10;
        mp3.bTagValid = p[3] == 3 && p[4] == 0 && p[5] == 0 && mp3.nTagSize <= bytes.size();
        while (mp3.bTagValid && nFrame + 10 <= mp3.nTagSize && p[nFrame] != 0)
        {
            const qint64 nSize = qFromBigEndian<quint32>(p + nFrame + 4);
            if (nFrame + 10 + nSize > mp3.nTagSize)
                mp3.bTagValid = false;
            else
                mp3.tagFrames.append({bytes.mid(nFrame, 4), bytes.mid(nFrame + 10, nSize)});
            nFrame += 10 + nSize;
        }
        for (qint64 i = nFrame; mp3.bTagValid && i < mp3.nTagSize; ++i)
            mp3.bTagValid = p[i] == 0;
        nPos = mp3.nTagSize;
    }
    static const int s_aBitrates[2][16] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
    static const int s_aRates[3] = {44100, 48000, 32000};
    while (nPos < bytes.size())
    {
        if (nPos + 4 > bytes.size())
        {
            mp3.strError = QStringLiteral("cut frame header at %1").arg(nPos);
            return mp3;
        }
        const quint8* h = reinterpret_cast<const quint8*>(p + nPos);
        SMp3Frame frame;
        frame.nOffset = nPos;
        const int nVersionBits = (h[1] >> 3) & 3;
        const int nRateIndex = (h[2] >> 2) & 3;
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || nVersionBits == 1 || nRateIndex == 3)
        {
            mp3.strError = QStringLiteral("no frame header at %1").arg(nPos);
            return mp3;
        }
        frame.nVersion = nVersionBits == 3 ? 10 : nVersionBits == 2 ? 20 : 25;
        frame.nLayer = 4 - ((h[1] >> 1) & 3);
        frame.bCrc = (h[1] & 1) == 0;
        frame.nBitrateIndex = h[2] >> 4;
        frame.nBitrate = s_aBitrates[frame.nVersion == 10 ? 0 : 1][frame.nBitrateIndex];
        frame.nRate = s_aRates[nRateIndex] / (frame.nVersion == 10   ? 1
                                              : frame.nVersion == 20 ? 2
                                                                     : 4);
        frame.nMode = h[3] >> 6;
        frame.bCopyright = h[3] & 0x08;
        frame.bOriginal = h[3] & 0x04;
        const int nPadding = (h[2] >> 1) & 1;
        frame.nSize =
            (frame.nVersion == 10 ? 144 : 72) * frame.nBitrate * 1000 / frame.nRate + nPadding;
        if (frame.nLayer != 3 || frame.nBitrate == 0 || nPos + frame.nSize > bytes.size())
        {
            mp3.strError = QStringLiteral("bad or cut frame at %1").arg(nPos);
            return mp3;
        }
        mp3.frames.append(frame);
        nPos += frame.nSize;
    }
    return mp3;
}

QByteArray Id3Frame(const char* pszId, const QByteArray& body)
{
    char size[4];
    qToBigEndian(quint32(body.size()), size);
    return QByteArray(pszId, 4) + QByteArray(size, 4) + QByteArray(2, '\0') + body;
}

// A synchronised-lyrics frame as the word timings give one: Latin-1 words,
// times in milliseconds.
QByteArray SyltFrame()
{
    QByteArray body("\x00"
                    "eng"
                    "\x02\x01",
                    6);
    body += '\0';
    const char* apszWords[] = {"Hello", "world"};
    for (int i = 0; i < 2; ++i)
    {
        char time[4];
        qToBigEndian(quint32(i * 500), time);
        body += QByteArray(apszWords[i]) + '\0' + QByteArray(time, 4);
    }
    return Id3Frame("SYLT", body);
}

QByteArray Id3Header(int nVersion, quint8 nFlags, quint32 nSize)
{
    QByteArray header("ID3", 3);
    header += char(nVersion);
    header += '\0';
    header += char(nFlags);
    for (int i = 3; i >= 0; --i)
        header += char((nSize >> (7 * i)) & 0x7F);
    return header;
}

// ffprobe counts whole frames, so its duration also holds the encoder's
// delay (576 + 529 samples) and the padding of the last frame.
bool ProbedDurationFits(double dProbed, double dSeconds, int nRate, int nSamplesPerFrame)
{
    return dProbed >= dSeconds && dProbed <= dSeconds + double(1105 + nSamplesPerFrame) / nRate;
}

bool FolderHasLeftovers(const QString& strFolder)
{
    return !QDir(strFolder)
                .entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden)
                .isEmpty();
}
} // namespace

class CWaveToMP3ConverterTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_strSpeechWav;
    QString m_strLongWav;
    QByteArray m_speechPcm;

    // Converts and waits for the completion message.
    QVariantMap Convert(CWaveToMP3Converter& converter, CReceiver& receiver, const QString& strWav,
                        int nBitrate = 64)
    {
        converter.Init(&receiver);
        if (converter.Start(strWav, nBitrate) != 0)
            return QVariantMap();
        for (int i = 0; i < 1200 && receiver.Count(WM_MP3_DONE) == 0; ++i)
            QTest::qWait(50);
        return receiver.Done();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Real speech, the sound the program converts.
        CSpVoice voice;
        WAVEFORMATEX format;
        QVERIFY(voice.GetFormat(&format));
        QCOMPARE(format.nSamplesPerSec, 22050u);
        QCOMPARE(format.nChannels, quint16(1));
        m_strSpeechWav = m_dir.filePath(QStringLiteral("speech.wav"));
        auto pStream = std::make_shared<CSpStream>();
        QVERIFY(pStream->BindToFile(m_strSpeechWav, format));
        QVERIFY(voice.SetOutput(pStream, false));
        QVERIFY(voice.Speak(QStringLiteral("Documents become audio books. Each one begins with "
                                           "a spoken heading, and then the text is read aloud."),
                            SPF_DEFAULT));
        QVERIFY(pStream->Close());
        voice.SetOutput(nullptr, true);
        const QByteArray wav = ReadFile(m_strSpeechWav);
        m_speechPcm = wav.mid(CSpStream::HEADER_BYTES);
        QVERIFY2(m_speechPcm.size() > 22050 * 2 * 3, "less than three seconds of speech");

        // Ten minutes: long enough to be stopped in the middle.
        m_strLongWav =
            WriteFileIn(m_dir, QStringLiteral("long.wav"), PcmWav(1, 22050, Tone(1, 22050, 600)));
    }

    void encodes_data()
    {
        QTest::addColumn<QString>("wav");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("monoBitrate");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("infoFrame");

        QTest::newRow("speech mono 22050 Hz")
            << QString() << 1 << 22050 << 64 << 64 << 3 << 20 << true;
        QTest::newRow("tone mono 22050 Hz 32 kbit/s")
            << QStringLiteral("mono22.wav") << 1 << 22050 << 32 << 32 << 3 << 20 << false;
        QTest::newRow("tone stereo 22050 Hz")
            << QStringLiteral("stereo22.wav") << 2 << 22050 << 64 << 128 << 1 << 20 << true;
        QTest::newRow("tone stereo 44100 Hz")
            << QStringLiteral("stereo44.wav") << 2 << 44100 << 64 << 128 << 1 << 10 << true;
        QTest::newRow("tone mono 16000 Hz")
            << QStringLiteral("mono16.wav") << 1 << 16000 << 48 << 48 << 3 << 20 << true;
        QTest::newRow("tone mono 44100 Hz")
            << QStringLiteral("mono44.wav") << 1 << 44100 << 96 << 96 << 3 << 10 << true;
    }
    // What a user gets: an MP3 that players read as the right kind, decoded
    // into the same sound, for as long as the WAV.
    void encodes()
    {
        QFETCH(QString, wav);
        QFETCH(int, channels);
        QFETCH(int, rate);
        QFETCH(int, monoBitrate);
        QFETCH(int, bitrate);
        QFETCH(int, mode);
        QFETCH(int, version);
        QFETCH(bool, infoFrame);

        QByteArray pcm = m_speechPcm;
        QString strWav = m_strSpeechWav;
        if (!wav.isEmpty())
        {
            pcm = Tone(quint16(channels), quint32(rate), 3.3);
            strWav = WriteFileIn(m_dir, wav, PcmWav(quint16(channels), quint32(rate), pcm));
        }
        const qint64 nFrames = pcm.size() / (2 * channels);
        const double dSeconds = double(nFrames) / rate;

        CWaveToMP3Converter converter;
        CReceiver receiver;
        const QVariantMap done = Convert(converter, receiver, strWav, monoBitrate);
        const QString strMp3 = converter.GetMp3Path();
        QCOMPARE(done.value(QStringLiteral("path")).toString(), strMp3);
        QVERIFY2(done.value(QStringLiteral("ok")).toBool(),
                 qPrintable(done.value(QStringLiteral("error")).toString()));
        QCOMPARE(done.value(QStringLiteral("error")).toString(), QString());
        QCOMPARE(converter.GetLastExitCode(), int(CWaveToMP3Converter::EXIT_DONE));
        QCOMPARE(int(converter.GetChannels()), channels);
        QCOMPARE(int(converter.GetSampleRate()), rate);
        QCOMPARE(qint64(converter.GetDataSize()), qint64(pcm.size()));
        QVERIFY(!FolderHasLeftovers(m_dir.path()));

        const QJsonObject probe = Ffprobe(strMp3);
        const QJsonObject stream = probe[QStringLiteral("streams")].toArray().at(0).toObject();
        QCOMPARE(stream[QStringLiteral("codec_name")].toString(), QStringLiteral("mp3"));
        QCOMPARE(stream[QStringLiteral("channels")].toInt(), channels);
        QCOMPARE(stream[QStringLiteral("sample_rate")].toString(), QString::number(rate));
        QCOMPARE(stream[QStringLiteral("bit_rate")].toString(), QString::number(bitrate * 1000));
        const double dProbed = probe[QStringLiteral("format")]
                                   .toObject()[QStringLiteral("duration")]
                                   .toString()
                                   .toDouble();
        const int nPerFrame = version == 10 ? 1152 : 576;
        QVERIFY2(ProbedDurationFits(dProbed, dSeconds, rate, nPerFrame),
                 qPrintable(QStringLiteral("%1 s for %2 s").arg(dProbed).arg(dSeconds)));

        // Every frame: layer III, constant bit rate, the mode for the
        // channels, copyright and original set, no CRC.
        const SMp3File mp3 = ReadMp3(ReadFile(strMp3));
        QVERIFY2(mp3.strError.isEmpty(), qPrintable(mp3.strError));
        QVERIFY(mp3.bTagValid);
        QVERIFY(mp3.frames.size() > 10);
        QCOMPARE(mp3.frames.first().nOffset, qint64(mp3.nTagSize));
        for (const SMp3Frame& frame : mp3.frames)
        {
            QCOMPARE(frame.nVersion, version);
            QCOMPARE(frame.nLayer, 3);
            QCOMPARE(frame.nBitrate, bitrate);
            QCOMPARE(frame.nRate, rate);
            QCOMPARE(frame.nMode, mode);
            QVERIFY(frame.bCopyright);
            QVERIFY(frame.bOriginal);
            QVERIFY(!frame.bCrc);
        }
        const QByteArray first = ReadFile(strMp3).mid(mp3.nTagSize, mp3.frames.first().nSize);
        QCOMPARE(first.contains("Info"), infoFrame);
        const qint64 nAudioFrames = mp3.frames.size() - (infoFrame ? 1 : 0);
        QVERIFY(nAudioFrames * nPerFrame >= nFrames);

        QByteArray errors;
        QVERIFY2(DecodesCleanly(strMp3, &errors), errors.constData());
        int nDecodedChannels = 0;
        const QVector<qint16> decoded = Decode(strMp3, &nDecodedChannels);
        QCOMPARE(nDecodedChannels, channels);
        // The info frame gives the encoder's delay and padding, so a player
        // gives back exactly the samples of the WAV, in their places. Where
        // the frames are too small for it, LAME writes none, and the sound
        // comes after the encoder's and decoder's delay.
        const qint64 nDelay = infoFrame ? 0 : 1105;
        QCOMPARE(qint64(decoded.size()),
                 (infoFrame ? nFrames : nAudioFrames * nPerFrame) * channels);
        const double dCorrelation = Correlation(Samples(pcm), decoded.mid(nDelay * channels));
        QVERIFY2(dCorrelation > 0.9, qPrintable(QString::number(dCorrelation)));
    }

    // The tag a player shows: LAME's frames with our fields, then the extra
    // frames, and still a tag every reader takes.
    void tagReadsBack()
    {
        const QString strWav =
            WriteFileIn(m_dir, QStringLiteral("tagged.wav"), PcmWav(1, 22050, Tone(1, 22050, 1.5)));
        CWaveToMP3Converter converter;
        const QByteArray szComment(50, 'c');
        converter.SetComment(szComment);
        converter.SetGenre("Speech");
        converter.SetYear("2024");
        converter.SetTitle("Chapter One");
        converter.SetArtist("Kestrivane Basic");
        converter.SetAlbum("Test Book");
        converter.SetTrack("7");
        const QByteArray txxx = Id3Frame("TXXX", QByteArray("\0KBTEST\0extra value", 19));
        const QByteArray sylt = SyltFrame();
        converter.SetExtraId3Frames(txxx + sylt);
        CReceiver receiver;
        const QVariantMap done = Convert(converter, receiver, strWav);
        QVERIFY(done.value(QStringLiteral("ok")).toBool());
        const QString strMp3 = converter.GetMp3Path();

        const QJsonObject tags =
            Ffprobe(strMp3)[QStringLiteral("format")].toObject()[QStringLiteral("tags")].toObject();
        QCOMPARE(tags[QStringLiteral("comment")].toString(), QString(szComment.left(39)));
        QCOMPARE(tags[QStringLiteral("genre")].toString(), QStringLiteral("Speech"));
        QCOMPARE(tags[QStringLiteral("date")].toString(), QStringLiteral("2024"));
        QCOMPARE(tags[QStringLiteral("title")].toString(), QStringLiteral("Chapter One"));
        QCOMPARE(tags[QStringLiteral("artist")].toString(), QStringLiteral("Kestrivane Basic"));
        QCOMPARE(tags[QStringLiteral("album")].toString(), QStringLiteral("Test Book"));
        QCOMPARE(tags[QStringLiteral("track")].toString(), QStringLiteral("7"));
        QCOMPARE(tags[QStringLiteral("KBTEST")].toString(), QStringLiteral("extra value"));
        QByteArray errors;
        QVERIFY2(DecodesCleanly(strMp3, &errors), errors.constData());

        const SMp3File mp3 = ReadMp3(ReadFile(strMp3));
        QVERIFY2(mp3.strError.isEmpty(), qPrintable(mp3.strError));
        QVERIFY(mp3.bTagValid);
        QStringList ids;
        for (const auto& frame : mp3.tagFrames)
            ids.append(QString::fromLatin1(frame.first));
        QVERIFY2(ids.size() >= 4, qPrintable(ids.join(u',')));
        QCOMPARE(ids.mid(ids.size() - 2), QStringList({"TXXX", "SYLT"}));
        QVERIFY(ids.contains(QStringLiteral("TSSE")));
        QCOMPARE(mp3.tagFrames.last().second, sylt.mid(10));
        QCOMPARE(mp3.frames.first().nOffset, qint64(mp3.nTagSize));
        QVERIFY(ReadFile(strMp3).mid(mp3.nTagSize, mp3.frames.first().nSize).contains("Info"));
    }

    void noTagFieldsStillTagged()
    {
        const QString strWav =
            WriteFileIn(m_dir, QStringLiteral("plain.wav"), PcmWav(1, 22050, Tone(1, 22050, 1)));
        CWaveToMP3Converter converter;
        CReceiver receiver;
        QVERIFY(Convert(converter, receiver, strWav).value(QStringLiteral("ok")).toBool());
        const SMp3File mp3 = ReadMp3(ReadFile(converter.GetMp3Path()));
        QVERIFY2(mp3.strError.isEmpty(), qPrintable(mp3.strError));
        QVERIFY(mp3.bTagValid);
        for (const auto& frame : mp3.tagFrames)
            QVERIFY2(frame.first == "TSSE", frame.first.constData());
    }

    // Bytes after the data chunk (a LIST chunk here, loud noise if encoded)
    // never reach the MP3.
    void onlyTheDataIsEncoded()
    {
        const QByteArray pcm = Tone(1, 22050, 2);
        QByteArray noise(44100, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) & 0xFF);
        const QString strWav = WriteFileIn(m_dir, QStringLiteral("list.wav"),
                                           PcmWav(1, 22050, pcm, Chunk("LIST", noise)));
        CWaveToMP3Converter converter;
        CReceiver receiver;
        QVERIFY(Convert(converter, receiver, strWav).value(QStringLiteral("ok")).toBool());
        int nChannels = 0;
        const QVector<qint16> decoded = Decode(converter.GetMp3Path(), &nChannels);
        QCOMPARE(decoded.size(), pcm.size() / 2);
        QVERIFY(Correlation(Samples(pcm), decoded) > 0.9);
    }

    void progressRises()
    {
        const QString strWav = WriteFileIn(m_dir, QStringLiteral("progress.wav"),
                                           PcmWav(2, 22050, Tone(2, 22050, 20)));
        CWaveToMP3Converter converter;
        CReceiver receiver;
        QVERIFY(Convert(converter, receiver, strWav).value(QStringLiteral("ok")).toBool());
        const QList<double> percents = receiver.Progress();
        QVERIFY(percents.size() >= 10);
        double dLast = 0;
        for (double dPercent : percents)
        {
            QVERIFY2(dPercent > dLast + 0.1,
                     qPrintable(QStringLiteral("%1 after %2").arg(dPercent).arg(dLast)));
            dLast = dPercent;
        }
        QVERIFY(dLast <= 100.0);
        QVERIFY(dLast > 99.9);
        QCOMPARE(receiver.m_messages.last().first, WM_MP3_DONE);
        QCOMPARE(receiver.Count(WM_MP3_DONE), 1);
    }

    // A stopped conversion is a shorter MP3, still whole and playable.
    void stopKeepsAPlayableFile()
    {
        CWaveToMP3Converter converter;
        CReceiver receiver;
        converter.SetGenre("Speech");
        converter.Init(&receiver);
        QCOMPARE(converter.Start(m_strLongWav, 64), 0);
        QTRY_VERIFY_WITH_TIMEOUT(receiver.Count(WM_MP3_PROGRESS) >= 3, 30000);
        QVERIFY(converter.IsWorking());
        // Only one conversion at a time.
        QVERIFY(converter.Start(m_strSpeechWav, 64) != 0);
        converter.Stop();
        QVERIFY(!converter.IsWorking());
        QCOMPARE(converter.GetLastExitCode(), int(CWaveToMP3Converter::EXIT_DONE));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Count(WM_MP3_DONE), 1, 10000);
        const QVariantMap done = receiver.Done();
        QVERIFY(done.value(QStringLiteral("ok")).toBool());
        QCOMPARE(done.value(QStringLiteral("path")).toString(), converter.GetMp3Path());
        // Chunks of a long file move less than the step: only steps are told.
        const QList<double> percents = receiver.Progress();
        for (qsizetype i = 1; i < percents.size(); ++i)
            QVERIFY(percents[i] > percents[i - 1] + 0.1);
        QVERIFY(percents.last() < 100.0);
        QVERIFY(!FolderHasLeftovers(m_dir.path()));

        const QString strMp3 = converter.GetMp3Path();
        QByteArray errors;
        QVERIFY2(DecodesCleanly(strMp3, &errors), errors.constData());
        const SMp3File mp3 = ReadMp3(ReadFile(strMp3));
        QVERIFY2(mp3.strError.isEmpty(), qPrintable(mp3.strError));
        QVERIFY(mp3.bTagValid);
        QVERIFY(!mp3.tagFrames.isEmpty());
        const double dProbed = Ffprobe(strMp3)[QStringLiteral("format")]
                                   .toObject()[QStringLiteral("duration")]
                                   .toString()
                                   .toDouble();
        QVERIFY2(dProbed > 0.3 && dProbed < 590, qPrintable(QString::number(dProbed)));
        int nChannels = 0;
        const QVector<qint16> decoded = Decode(strMp3, &nChannels);
        QVERIFY2(
            ProbedDurationFits(dProbed, double(decoded.size()) / 22050, 22050, 576),
            qPrintable(QStringLiteral("%1 s for %2 samples").arg(dProbed).arg(decoded.size())));

        // The next conversion starts afresh, not stopped before it begins.
        receiver.m_messages.clear();
        const QString strWav = WriteFileIn(m_dir, QStringLiteral("after-stop.wav"),
                                           PcmWav(1, 22050, Tone(1, 22050, 2)));
        QCOMPARE(converter.Start(strWav, 64), 0);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Count(WM_MP3_DONE), 1, 60000);
        QVERIFY(receiver.Done().value(QStringLiteral("ok")).toBool());
        QCOMPARE(Decode(converter.GetMp3Path(), &nChannels).size(), 2 * 22050);
    }

    // Encoding a WAV while it is written gives, byte for byte, the MP3 that
    // converting the finished file gives, the frames known only at the end
    // included, however the writes fall.
    void followingMatchesTheFinishedFile_data()
    {
        QTest::addColumn<int>("nPiece");
        QTest::addColumn<int>("nPauseEvery");
        QTest::addColumn<int>("nTrim");
        QTest::addColumn<QByteArray>("extraFrames");
        QTest::newRow("odd pieces, often waited for") << 1001 << 8 << 0 << SyltFrame();
        QTest::newRow("a chunk and a half at a time") << 27648 << 1 << 0 << QByteArray();
        QTest::newRow("all at once, a short last chunk") << 0 << 0 << 4410 << SyltFrame();
    }
    void followingMatchesTheFinishedFile()
    {
        QFETCH(int, nPiece);
        QFETCH(int, nPauseEvery);
        QFETCH(int, nTrim);
        QFETCH(QByteArray, extraFrames);
        const QByteArray pcm = m_speechPcm.left(m_speechPcm.size() - nTrim);
        const QString strName = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
        const QString strWav = m_dir.filePath(strName + QStringLiteral(".wav"));
        const QString strFollowedMp3 = m_dir.filePath(strName + QStringLiteral("-followed.mp3"));
        auto setUp = [](CWaveToMP3Converter& converter)
        {
            converter.SetComment("example.com/");
            converter.SetYear("2025");
            converter.SetGenre("Speech");
        };

        WAVEFORMATEX format;
        CSpVoice().GetFormat(&format);
        CSpStream stream;
        QVERIFY(stream.BindToFile(CWaveToMP3Converter::PartPathFor(strWav), format, strWav));
        CWaveToMP3Converter follower;
        setUp(follower);
        QCOMPARE(follower.StartFollowing(stream.GetPath(), strFollowedMp3, 64), 0);
        const int nStep = nPiece > 0 ? nPiece : int(pcm.size());
        for (int nAt = 0, nCount = 1; nAt < pcm.size(); nAt += nStep, ++nCount)
        {
            QVERIFY(stream.Write(pcm.constData() + nAt, qMin<qint64>(nStep, pcm.size() - nAt)));
            if (nPauseEvery > 0 && nCount % nPauseEvery == 0)
                QThread::msleep(5);
        }
        // The frames set before the end are the ones the tag gets.
        follower.SetExtraId3Frames(extraFrames);
        QVERIFY(stream.Close());
        QVERIFY(!QFileInfo::exists(stream.GetPath()));
        follower.EndInput(stream.GetDataBytes());
        QTRY_VERIFY_WITH_TIMEOUT(!follower.IsWorking(), 60000);
        QVERIFY2(follower.GetLastExitCode() == CWaveToMP3Converter::EXIT_DONE,
                 qPrintable(follower.GetLastError()));
        QCOMPARE(follower.GetBytesEncoded(), quint64(pcm.size()));

        CWaveToMP3Converter converter;
        setUp(converter);
        converter.SetExtraId3Frames(extraFrames);
        CReceiver receiver;
        QVERIFY(Convert(converter, receiver, strWav).value(QStringLiteral("ok")).toBool());
        const QByteArray followed = ReadFile(strFollowedMp3);
        const QByteArray converted = ReadFile(converter.GetMp3Path());
        QVERIFY(converted.size() > 10000);
        QVERIFY2(followed == converted, qPrintable(QStringLiteral("%1 bytes, %2 converted")
                                                       .arg(followed.size())
                                                       .arg(converted.size())));
        QVERIFY(!FolderHasLeftovers(m_dir.path()));
    }

    // Stopped before its input ends, a follower leaves no MP3, not even a
    // cut one.
    void stoppedFollowerLeavesNothing()
    {
        const QString strWav = m_dir.filePath(QStringLiteral("stopped-follow.wav"));
        const QString strMp3 = m_dir.filePath(QStringLiteral("stopped-follow.mp3"));
        WAVEFORMATEX format;
        CSpVoice().GetFormat(&format);
        {
            CSpStream stream;
            QVERIFY(stream.BindToFile(CWaveToMP3Converter::PartPathFor(strWav), format, strWav));
            CWaveToMP3Converter follower;
            QCOMPARE(follower.StartFollowing(stream.GetPath(), strMp3, 64), 0);
            QVERIFY(stream.Write(m_speechPcm.constData(), m_speechPcm.size()));
            QTRY_VERIFY_WITH_TIMEOUT(follower.GetBytesEncoded() > 0, 30000);
            follower.Stop();
            QVERIFY(!follower.IsWorking());
            QCOMPARE(follower.GetLastExitCode(), int(CWaveToMP3Converter::EXIT_STOPPED));
        }
        QVERIFY(!QFileInfo::exists(strMp3));
        QVERIFY(!QFileInfo::exists(strWav));
        QVERIFY(!FolderHasLeftovers(m_dir.path()));
    }

    void stopWithoutWorkIsHarmless()
    {
        CWaveToMP3Converter converter;
        converter.Stop();
        converter.Stop();
        QVERIFY(!converter.IsWorking());
        QCOMPARE(converter.GetLastExitCode(), int(CWaveToMP3Converter::EXIT_RUNNING));
    }

    // Destroyed mid-way, as when the program closes: the conversion ends as
    // a stopped one and still says so.
    void destroyedWhileEncoding()
    {
        CReceiver receiver;
        auto pConverter = std::make_unique<CWaveToMP3Converter>();
        pConverter->Init(&receiver);
        QCOMPARE(pConverter->Start(m_strLongWav, 64), 0);
        const QString strMp3 = pConverter->GetMp3Path();
        QTRY_VERIFY_WITH_TIMEOUT(receiver.Count(WM_MP3_PROGRESS) >= 1, 30000);
        pConverter.reset();
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Count(WM_MP3_DONE), 1, 10000);
        QVERIFY(receiver.Done().value(QStringLiteral("ok")).toBool());
        QVERIFY(DecodesCleanly(strMp3));
    }

    // A window closed during the conversion gets nothing and breaks nothing.
    void windowGoneBeforeTheEnd()
    {
        const QString strWav =
            WriteFileIn(m_dir, QStringLiteral("gone.wav"), PcmWav(1, 22050, Tone(1, 22050, 30)));
        CWaveToMP3Converter converter;
        auto pReceiver = std::make_unique<CReceiver>();
        converter.Init(pReceiver.get());
        QCOMPARE(converter.Start(strWav, 64), 0);
        pReceiver.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!converter.IsWorking(), 60000);
        QCoreApplication::processEvents();
        QCOMPARE(converter.GetLastExitCode(), int(CWaveToMP3Converter::EXIT_DONE));
        QVERIFY(DecodesCleanly(converter.GetMp3Path()));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");

        const QByteArray pcm = Tone(1, 22050, 0.5);
        QTest::newRow("8-bit") << QStringLiteral("eight.wav")
                               << Riff(Chunk("fmt ", FmtBody(1, 1, 22050, 8)) + Chunk("data", pcm))
                               << 8
                               << QStringLiteral("not a 16-bit PCM WAV file (8 bits per sample)");
        QTest::newRow("float") << QStringLiteral("float.wav")
                               << Riff(Chunk("fmt ", FmtBody(3, 1, 22050, 32)) + Chunk("data", pcm))
                               << 8 << QStringLiteral("not a 16-bit PCM WAV file (format 3)");
        QTest::newRow("zero channels")
            << QStringLiteral("nochannels.wav")
            << Riff(Chunk("fmt ", FmtBody(1, 0, 22050, 16)) + Chunk("data", pcm)) << 8
            << QStringLiteral("damaged WAV header (no channels)");
        QTest::newRow("text named .wav")
            << QStringLiteral("text.wav") << QByteArray("Just some words.") << 8
            << QStringLiteral("not a WAV file");
        QTest::newRow("missing file") << QStringLiteral("missing.wav") << QByteArray() << 8
                                      << QStringLiteral("cannot open the WAV file: ");
        QTest::newRow("MP3 name taken by a folder")
            << QStringLiteral("folder.wav") << PcmWav(1, 22050, pcm) << 1
            << QStringLiteral("cannot put the MP3 file in place: ");
    }
    // Every ending is told, failures with a reason, and nothing half-made
    // is left behind.
    void failures()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        QFETCH(QString, error);

        QTemporaryDir dir;
        const QString strWav = dir.filePath(name);
        if (!bytes.isEmpty())
            WriteFileIn(dir, name, bytes);
        const QString strMp3 = CWaveToMP3Converter::Mp3PathFor(strWav);
        const bool bFolder = code == CWaveToMP3Converter::EXIT_MP3_NOT_WRITTEN;
        if (bFolder)
            QVERIFY(QDir().mkpath(strMp3));

        CWaveToMP3Converter converter;
        CReceiver receiver;
        const QVariantMap done = Convert(converter, receiver, strWav);
        QCOMPARE(receiver.Count(WM_MP3_DONE), 1);
        QCOMPARE(done.value(QStringLiteral("ok")).toBool(), false);
        QCOMPARE(done.value(QStringLiteral("path")).toString(), strMp3);
        const QString strError = done.value(QStringLiteral("error")).toString();
        QVERIFY2(strError.startsWith(error), qPrintable(strError));
        QCOMPARE(converter.GetLastExitCode(), code);
        QCOMPARE(QFileInfo(strMp3).isFile(), false);
        QCOMPARE(QFileInfo(strMp3).isDir(), bFolder);
        QVERIFY(!FolderHasLeftovers(dir.path()));
        if (!bFolder)
            QCOMPARE(receiver.Count(WM_MP3_PROGRESS), 0);
    }

    // An MP3 left by an earlier conversion is replaced, not refused.
    void replacesAnEarlierMp3()
    {
        const QString strWav =
            WriteFileIn(m_dir, QStringLiteral("again.wav"), PcmWav(1, 22050, Tone(1, 22050, 1)));
        WriteFileIn(m_dir, QStringLiteral("again.mp3"), "old");
        CWaveToMP3Converter converter;
        CReceiver receiver;
        QVERIFY(Convert(converter, receiver, strWav).value(QStringLiteral("ok")).toBool());
        QVERIFY(DecodesCleanly(converter.GetMp3Path()));
    }

    void mp3Path_data()
    {
        QTest::addColumn<QString>("wav");
        QTest::addColumn<QString>("mp3");
        QTest::newRow("file with extension")
            << QStringLiteral("/a/b/x.wav") << QStringLiteral("/a/b/x.mp3");
        QTest::newRow("dot in folder and file")
            << QStringLiteral("/a.b/x.wav") << QStringLiteral("/a.b/x.mp3");
        QTest::newRow("dot in folder only")
            << QStringLiteral("/a.b/x") << QStringLiteral("/a.b/x.mp3");
        QTest::newRow("no dot") << QStringLiteral("/a/x") << QStringLiteral("/a/x.mp3");
        QTest::newRow("two dots") << QStringLiteral("/a/x.tar.wav")
                                  << QStringLiteral("/a/x.tar.mp3");
        QTest::newRow("upper case") << QStringLiteral("/a/X.WAV") << QStringLiteral("/a/X.mp3");
        QTest::newRow("trailing dot") << QStringLiteral("/a/x.") << QStringLiteral("/a/x.mp3");
        QTest::newRow("relative") << QStringLiteral("x.wav") << QStringLiteral("x.mp3");
        QTest::newRow("relative without dot") << QStringLiteral("x") << QStringLiteral("x.mp3");
        QTest::newRow("dot folder relative") << QStringLiteral("./x") << QStringLiteral("./x.mp3");
    }
    void mp3Path()
    {
        QFETCH(QString, wav);
        QFETCH(QString, mp3);
        QCOMPARE(CWaveToMP3Converter::Mp3PathFor(wav), mp3);
        CWaveToMP3Converter converter;
        QCOMPARE(converter.GetMp3Path(), QStringLiteral(".mp3"));
        converter.Start(wav, 64);
        QCOMPARE(converter.GetMp3Path(), mp3);
        converter.Stop();
    }

    void setters_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("kept");
        const QByteArray szLong(100, 'x');
        QTest::newRow("comment 39 kept")
            << QStringLiteral("comment") << szLong.left(39) << szLong.left(39);
        QTest::newRow("comment 40 cut")
            << QStringLiteral("comment") << szLong.left(40) << szLong.left(39);
        QTest::newRow("comment 100 cut") << QStringLiteral("comment") << szLong << szLong.left(39);
        QTest::newRow("comment empty unchanged")
            << QStringLiteral("comment") << QByteArray() << QByteArray("old");
        QTest::newRow("comment nul ends it")
            << QStringLiteral("comment") << QByteArray("ab\0cd", 5) << QByteArray("ab");
        QTest::newRow("comment 8-bit kept")
            << QStringLiteral("comment") << QByteArray("caf\xE9") << QByteArray("caf\xE9");
        QTest::newRow("genre 39") << QStringLiteral("genre") << szLong.left(39) << szLong.left(39);
        QTest::newRow("genre 45 cut")
            << QStringLiteral("genre") << szLong.left(45) << szLong.left(39);
        QTest::newRow("genre empty unchanged")
            << QStringLiteral("genre") << QByteArray() << QByteArray("old");
        QTest::newRow("year 4") << QStringLiteral("year") << QByteArray("2024")
                                << QByteArray("2024");
        QTest::newRow("year 10 cut") << QStringLiteral("year") << szLong.left(10) << szLong.left(9);
        QTest::newRow("year empty unchanged")
            << QStringLiteral("year") << QByteArray() << QByteArray("old");
        QTest::newRow("title 70 cut")
            << QStringLiteral("title") << szLong.left(70) << szLong.left(59);
        QTest::newRow("artist 59")
            << QStringLiteral("artist") << szLong.left(59) << szLong.left(59);
        QTest::newRow("album 60 cut")
            << QStringLiteral("album") << szLong.left(60) << szLong.left(59);
        QTest::newRow("track 12 cut")
            << QStringLiteral("track") << szLong.left(12) << szLong.left(9);
    }
    void setters()
    {
        QFETCH(QString, field);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, kept);
        CWaveToMP3Converter converter;
        using Setter = void (CWaveToMP3Converter::*)(const QByteArray&);
        using Getter = QByteArray (CWaveToMP3Converter::*)() const;
        const QMap<QString, QPair<Setter, Getter>> fields = {
            {"artist", {&CWaveToMP3Converter::SetArtist, &CWaveToMP3Converter::GetArtist}},
            {"album", {&CWaveToMP3Converter::SetAlbum, &CWaveToMP3Converter::GetAlbum}},
            {"title", {&CWaveToMP3Converter::SetTitle, &CWaveToMP3Converter::GetTitle}},
            {"comment", {&CWaveToMP3Converter::SetComment, &CWaveToMP3Converter::GetComment}},
            {"genre", {&CWaveToMP3Converter::SetGenre, &CWaveToMP3Converter::GetGenre}},
            {"year", {&CWaveToMP3Converter::SetYear, &CWaveToMP3Converter::GetYear}},
            {"track", {&CWaveToMP3Converter::SetTrack, &CWaveToMP3Converter::GetTrack}},
        };
        const auto accessors = fields.value(field);
        QVERIFY((converter.*accessors.second)().isEmpty());
        (converter.*accessors.first)("old");
        (converter.*accessors.first)(text);
        QCOMPARE((converter.*accessors.second)(), kept);
    }

    void addId3Frames_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArray>("frames");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray tsse = Id3Frame("TSSE", QByteArray("\0LAME", 5));
        const QByteArray extra = Id3Frame("TXXX", QByteArray("\0a\0b", 4));
        const QByteArray big = Id3Frame("PRIV", QByteArray(200, 'p'));
        const int nExtra = int(extra.size());
        QTest::newRow("no padding")
            << Id3Header(3, 0, quint32(tsse.size())) + tsse << extra
            << Id3Header(3, 0, quint32(tsse.size() + nExtra)) + tsse + extra;
        QTest::newRow("padding kept after the frames")
            << Id3Header(3, 0, quint32(tsse.size() + 64)) + tsse + QByteArray(64, '\0') << extra
            << Id3Header(3, 0, quint32(tsse.size() + nExtra + 64)) + tsse + extra +
                   QByteArray(64, '\0');
        QTest::newRow("size past 127 made syncsafe")
            << Id3Header(3, 0, quint32(big.size())) + big << big
            << Id3Header(3, 0, quint32(2 * big.size())) + big + big;
        QByteArray v4 = big;
        v4.replace(4, 4, QByteArray("\x00\x00\x01\x48", 4));
        QTest::newRow("v2.4 syncsafe frame sizes")
            << Id3Header(4, 0, quint32(v4.size() + 10)) + v4 + QByteArray(10, '\0') << extra
            << Id3Header(4, 0, quint32(v4.size() + nExtra + 10)) + v4 + extra +
                   QByteArray(10, '\0');
        const QByteArray audio("\xFF\xF3\x80\xCC", 4);
        QTest::newRow("audio after the tag untouched")
            << Id3Header(3, 0, quint32(tsse.size())) + tsse + audio << extra
            << Id3Header(3, 0, quint32(tsse.size() + nExtra)) + tsse + extra + audio;
        const QByteArray plain = Id3Header(3, 0, quint32(tsse.size())) + tsse;
        QTest::newRow("no frames to add") << plain << QByteArray() << plain;
        QTest::newRow("not a tag")
            << QByteArray("TAG nothing") << extra << QByteArray("TAG nothing");
        QTest::newRow("empty tag") << QByteArray() << extra << QByteArray();
        const QByteArray unsync = Id3Header(3, 0x80, quint32(tsse.size())) + tsse;
        QTest::newRow("unsynchronised left alone") << unsync << extra << unsync;
        QByteArray broken = Id3Header(3, 0, quint32(tsse.size())) + tsse;
        broken[10 + 7] = char(0x7F);
        QTest::newRow("frame past the tag left alone") << broken << extra << broken;
        const QByteArray v22 = QByteArray("ID3\x02\x00\x00\x00\x00\x00\x06TT2\x00\x00\x00", 16);
        QTest::newRow("v2.2 left alone") << v22 << extra << v22;
    }
    void addId3Frames()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QByteArray, frames);
        QFETCH(QByteArray, expected);
        QCOMPARE(CWaveToMP3Converter::AddId3Frames(tag, frames).toHex(' '), expected.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(CWaveToMP3ConverterTest)
#include "tst_wavetomp3converter.moc"
