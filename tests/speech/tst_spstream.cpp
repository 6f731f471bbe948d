#include "speech/spstream.h"
#include "tests/support/mediaprobe.h"
#include "tests/support/wavefile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace
{
WAVEFORMATEX VoiceFormat()
{
    WAVEFORMATEX format;
    format.nSamplesPerSec = 22050;
    format.nAvgBytesPerSec = 44100;
    return format;
}

// Samples no two neighbours of which are alike, so an audio start that is
// off by a sample shows.
QByteArray Ramp(qint64 nSamples, int nSeed = 0)
{
    QByteArray bytes(nSamples * 2, Qt::Uninitialized);
    for (qint64 i = 0; i < nSamples; ++i)
        qToLittleEndian<qint16>(qint16((i * 37 + nSeed) % 20011 - 10005), bytes.data() + 2 * i);
    return bytes;
}

QByteArray SamplesAsBytes(const std::vector<qint16>& samples)
{
    QByteArray bytes(qsizetype(samples.size() * 2), Qt::Uninitialized);
    for (size_t i = 0; i < samples.size(); ++i)
        qToLittleEndian<qint16>(samples[i], bytes.data() + 2 * i);
    return bytes;
}
} // namespace

// The WAVE file a voice writes into: RIFF while its sizes fit 32 bits,
// RF64 beyond, readable by a chunk-walking reader either way.
class CSpStreamTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { CSpStream::SetMaxRiffSizeForTests(0); }

    void makeHeader_data()
    {
        QTest::addColumn<quint64>("nDataBytes");
        QTest::addColumn<quint64>("nMaxRiffSize");
        QTest::addColumn<bool>("bRf64");
        const quint64 nMax = CSpStream::MAX_RIFF_SIZE;
        QTest::newRow("empty") << quint64(0) << nMax << false;
        QTest::newRow("one-second") << quint64(44100) << nMax << false;
        QTest::newRow("odd-size") << quint64(45) << nMax << false;
        QTest::newRow("largest-riff") << quint64(0xFFFFFFFFu - 73) << nMax << false;
        // Its pad byte takes the RIFF size one past 32 bits.
        QTest::newRow("odd-pad-passes-32-bits") << quint64(0xFFFFFFFFu - 72) << nMax << true;
        QTest::newRow("one-past-32-bits") << quint64(0xFFFFFFFFu - 71) << nMax << true;
        QTest::newRow("over-4-gib") << quint64(5000000000ull) << nMax << true;
        QTest::newRow("lowered-limit-met") << quint64(1000) << quint64(1072) << false;
        QTest::newRow("lowered-limit-passed") << quint64(1002) << quint64(1072) << true;
        QTest::newRow("limit-beyond-32-bits-capped")
            << quint64(0xFFFFFFFFu) << (quint64(1) << 40) << true;
    }
    void makeHeader()
    {
        QFETCH(quint64, nDataBytes);
        QFETCH(quint64, nMaxRiffSize);
        QFETCH(bool, bRf64);
        const WAVEFORMATEX format = VoiceFormat();
        const QByteArray header = CSpStream::MakeHeader(format, nDataBytes, nMaxRiffSize);
        QCOMPARE(int(header.size()), CSpStream::HEADER_BYTES);
        const quint64 nRiffSize = 72 + nDataBytes + (nDataBytes & 1);
        auto u32 = [&](int nAt) { return qFromLittleEndian<quint32>(header.constData() + nAt); };
        auto u64 = [&](int nAt) { return qFromLittleEndian<quint64>(header.constData() + nAt); };
        QCOMPARE(header.left(4), bRf64 ? QByteArray("RF64") : QByteArray("RIFF"));
        QCOMPARE(header.mid(8, 4), QByteArray("WAVE"));
        QCOMPARE(header.mid(12, 4), bRf64 ? QByteArray("ds64") : QByteArray("JUNK"));
        QCOMPARE(u32(16), 28u);
        if (bRf64)
        {
            QCOMPARE(u32(4), 0xFFFFFFFFu);
            QCOMPARE(u64(20), nRiffSize);
            QCOMPARE(u64(28), nDataBytes);
            QCOMPARE(u64(36), nDataBytes / 2);
            QCOMPARE(u32(44), 0u);
            QCOMPARE(u32(76), 0xFFFFFFFFu);
        }
        else
        {
            QCOMPARE(u32(4), quint32(nRiffSize));
            QCOMPARE(header.mid(20, 28), QByteArray(28, '\0'));
            QCOMPARE(u32(76), quint32(nDataBytes));
        }

        // A reader that walks the chunks finds the format and the audio.
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("h.wav"));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(header), qint64(header.size()));
        file.close();
        const KbTest::SWaveInfo info = KbTest::ReadWaveInfo(strPath);
        QVERIFY(info.bValid);
        QCOMPARE(info.bRf64, bRf64);
        QCOMPARE(info.chunkIds, QList<QByteArray>({bRf64 ? "ds64" : "JUNK", "fmt ", "data"}));
        QCOMPARE(info.nRiffSize, nRiffSize);
        QCOMPARE(info.nDataBytes, nDataBytes);
        QCOMPARE(info.nDataOffset, qint64(CSpStream::HEADER_BYTES));
        QCOMPARE(info.wFormatTag, quint16(1));
        QCOMPARE(info.nChannels, quint16(1));
        QCOMPARE(info.nSamplesPerSec, 22050u);
        QCOMPARE(info.nAvgBytesPerSec, 44100u);
        QCOMPARE(info.nBlockAlign, quint16(2));
        QCOMPARE(info.wBitsPerSample, quint16(16));
    }

    // Written through the stream and closed: the sizes match the file, and
    // ffmpeg, a reader of its own, finds the same length and the same
    // samples.
    void closeWritesTheSizes_data()
    {
        QTest::addColumn<qint64>("nSamples");
        QTest::addColumn<quint64>("nMaxRiffSize"); // 0: the real limit
        QTest::addColumn<bool>("bRf64");
        QTest::newRow("riff") << qint64(22050 * 3 / 2) << quint64(0) << false;
        QTest::newRow("riff-at-lowered-limit") << qint64(500) << quint64(1072) << false;
        QTest::newRow("rf64-past-lowered-limit") << qint64(501) << quint64(1072) << true;
        QTest::newRow("rf64-long") << qint64(22050 * 7 / 3) << quint64(100000) << true;
    }
    void closeWritesTheSizes()
    {
        QFETCH(qint64, nSamples);
        QFETCH(quint64, nMaxRiffSize);
        QFETCH(bool, bRf64);
        if (!KbTest::HasFfprobe())
            QFAIL("ffprobe (package ffmpeg) is part of the test setup");
        CSpStream::SetMaxRiffSizeForTests(nMaxRiffSize);
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("c.wav"));
        const QByteArray audio = Ramp(nSamples);
        {
            CSpStream stream;
            QVERIFY(stream.BindToFile(strPath, VoiceFormat()));
            // In pieces, as the voice writes.
            for (qint64 nAt = 0; nAt < audio.size(); nAt += 4410)
                QVERIFY(
                    stream.Write(audio.constData() + nAt, qMin<qint64>(4410, audio.size() - nAt)));
            QCOMPARE(stream.GetDataBytes(), quint64(audio.size()));
            QVERIFY(stream.Close());
            QVERIFY(!stream.HasFailed());
        }
        const qint64 nFileSize = QFileInfo(strPath).size();
        QCOMPARE(nFileSize, CSpStream::HEADER_BYTES + audio.size());
        const KbTest::SWaveInfo info = KbTest::ReadWaveInfo(strPath);
        QVERIFY(info.bValid);
        QCOMPARE(info.bRf64, bRf64);
        QCOMPARE(info.nRiffSize, quint64(nFileSize - 8));
        QCOMPARE(info.nDataBytes, quint64(audio.size()));
        if (bRf64)
            QCOMPARE(info.nSampleCount, quint64(nSamples));
        QCOMPARE(SamplesAsBytes(KbTest::ReadWaveSamples(strPath)), audio);

        const QJsonObject probe = KbTest::Ffprobe(strPath);
        const QJsonObject stream = KbTest::FirstStream(probe);
        QCOMPARE(probe.value("format").toObject().value("format_name").toString(),
                 QStringLiteral("wav"));
        QCOMPARE(stream.value("codec_name").toString(), QStringLiteral("pcm_s16le"));
        QCOMPARE(stream.value("sample_rate").toString(), QStringLiteral("22050"));
        QCOMPARE(stream.value("channels").toInt(), 1);
        const double dSeconds =
            probe.value("format").toObject().value("duration").toString().toDouble();
        QVERIFY2(qAbs(dSeconds - double(nSamples) / 22050.0) < 0.001,
                 qPrintable(QString::number(dSeconds)));
        QCOMPARE(KbTest::FfmpegPcm(strPath), audio);
    }

    // An odd byte count gets its pad byte, which the RIFF size counts but
    // the data size does not.
    void oddByteCountIsPadded()
    {
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("odd.wav"));
        CSpStream stream;
        QVERIFY(stream.BindToFile(strPath, VoiceFormat()));
        QVERIFY(stream.Write("\x01\x02\x03", 3));
        QVERIFY(stream.Close());
        QCOMPARE(QFileInfo(strPath).size(), qint64(CSpStream::HEADER_BYTES + 4));
        const KbTest::SWaveInfo info = KbTest::ReadWaveInfo(strPath);
        QVERIFY(info.bValid);
        QCOMPARE(info.nDataBytes, quint64(3));
        QCOMPARE(info.nRiffSize, quint64(CSpStream::HEADER_BYTES + 4 - 8));
    }

    // A file whose audio passes 4 GiB, made sparse by seeking: the header
    // of that size makes it RF64, ffprobe gives its full length, and ffmpeg
    // finds the last second's samples past the 32-bit mark.
    void sparseFileBeyondFourGiB()
    {
        if (!KbTest::HasFfprobe())
            QFAIL("ffprobe (package ffmpeg) is part of the test setup");
        const WAVEFORMATEX format = VoiceFormat();
        const qint64 nTailSamples = 22050;
        const quint64 nDataBytes = (quint64(1) << 32) + 3 * 44100;
        const QByteArray tail = Ramp(nTailSamples, 7);
        QTemporaryDir dir;
        const QString strPath = dir.filePath(QStringLiteral("big.wav"));
        {
            QFile file(strPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray header = CSpStream::MakeHeader(format, nDataBytes);
            QCOMPARE(file.write(header), qint64(header.size()));
            const qint64 nEnd = CSpStream::HEADER_BYTES + qint64(nDataBytes);
            if (!file.resize(nEnd - tail.size()))
                QSKIP("this file system takes no sparse file of 4 GiB");
            QVERIFY(file.seek(nEnd - tail.size()));
            QCOMPARE(file.write(tail), qint64(tail.size()));
            QVERIFY(file.flush());
        }
        const KbTest::SWaveInfo info = KbTest::ReadWaveInfo(strPath);
        QVERIFY(info.bValid);
        QVERIFY(info.bRf64);
        QCOMPARE(info.nRiffField, 0xFFFFFFFFu);
        QCOMPARE(info.nDataField, 0xFFFFFFFFu);
        QCOMPARE(info.nDataBytes, nDataBytes);
        QCOMPARE(info.nRiffSize, quint64(QFileInfo(strPath).size() - 8));
        QCOMPARE(info.nSampleCount, nDataBytes / 2);

        const QJsonObject probe = KbTest::Ffprobe(strPath);
        const double dSeconds =
            probe.value("format").toObject().value("duration").toString().toDouble();
        const double dExpected = double(nDataBytes) / 44100.0;
        QVERIFY2(qAbs(dSeconds - dExpected) < 0.001, qPrintable(QStringLiteral("%1 s, not %2 s")
                                                                    .arg(dSeconds, 0, 'f', 3)
                                                                    .arg(dExpected, 0, 'f', 3)));
        const QByteArray pcm = KbTest::FfmpegPcm(strPath, dExpected - 1.5);
        QVERIFY(pcm.size() >= tail.size());
        QCOMPARE(pcm.right(tail.size()), tail);
        QCOMPARE(pcm.left(pcm.size() - tail.size()), QByteArray(pcm.size() - tail.size(), '\0'));
    }
};

QTEST_GUILESS_MAIN(CSpStreamTest)
#include "tst_spstream.moc"
