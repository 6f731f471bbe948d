#include "audio/waveheader.h"

#include "tests/support/testfiles.h"
#include "tests/support/wavefiles.h"

#include <QBuffer>
#include <QTest>

using namespace KbTest;

namespace
{
const QByteArray g_pcm = Tone(1, 22050, 0.01);
const QByteArray g_fmtMono = Chunk("fmt ", FmtBody(1, 1, 22050, 16));

// An RF64 file whose 32-bit sizes say "see ds64", as the speech layer writes
// past 4 GiB, with the real sizes in its ds64 chunk.
QByteArray Rf64(const QByteArray& pcm, quint64 nDs64Data, bool bWithDs64 = true)
{
    const QByteArray ds64 = Chunk("ds64", Le64(36 + 8 + quint64(pcm.size())) + Le64(nDs64Data) +
                                              Le64(nDs64Data / 2) + Le32(0));
    const QByteArray chunks =
        (bWithDs64 ? ds64 : QByteArray()) + g_fmtMono + Chunk("data", pcm, 0xFFFFFFFF);
    return QByteArray("RF64") + Le32(0xFFFFFFFF) + "WAVE" + chunks;
}
} // namespace

class CWaveHeaderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        QTest::addColumn<qint64>("dataOffset");
        QTest::addColumn<qint64>("dataSize");

        const qint64 nPcm = g_pcm.size();
        QTest::newRow("mono 22050")
            << PcmWav(1, 22050, g_pcm) << true << QString() << 1 << 22050 << qint64(44) << nPcm;
        QTest::newRow("stereo 44100")
            << PcmWav(2, 44100, g_pcm) << true << QString() << 2 << 44100 << qint64(44) << nPcm;
        QTest::newRow("rate 192000")
            << PcmWav(1, 192000, g_pcm) << true << QString() << 1 << 192000 << qint64(44) << nPcm;
        QTest::newRow("extensible PCM")
            << Riff(Chunk("fmt ", ExtensibleFmtBody(2, 48000, 16, 1)) + Chunk("data", g_pcm))
            << true << QString() << 2 << 48000 << qint64(12 + 48 + 8) << nPcm;
        QTest::newRow("LIST after data")
            << PcmWav(1, 22050, g_pcm, Chunk("LIST", QByteArray(300, 'x'))) << true << QString()
            << 1 << 22050 << qint64(44) << nPcm;
        QTest::newRow("odd unknown chunk before data")
            << Riff(g_fmtMono + Chunk("junk", "odd") + Chunk("data", g_pcm)) << true << QString()
            << 1 << 22050 << qint64(36 + 12 + 8) << nPcm;
        QTest::newRow("unknown chunk before fmt")
            << Riff(Chunk("bext", QByteArray(602, '\0')) + g_fmtMono + Chunk("data", g_pcm)) << true
            << QString() << 1 << 22050 << qint64(12 + 610 + 24 + 8) << nPcm;
        QTest::newRow("long fmt chunk")
            << Riff(Chunk("fmt ", FmtBody(1, 1, 22050, 16) + Le16(0)) + Chunk("data", g_pcm))
            << true << QString() << 1 << 22050 << qint64(46) << nPcm;
        QTest::newRow("RIFF size wrong")
            << QByteArray("RIFF") + Le32(0) + "WAVE" + g_fmtMono + Chunk("data", g_pcm) << true
            << QString() << 1 << 22050 << qint64(44) << nPcm;
        QTest::newRow("data size past the end (cut)")
            << Riff(g_fmtMono + Chunk("data", g_pcm, 10 * nPcm)) << true << QString() << 1 << 22050
            << qint64(44) << nPcm;
        QTest::newRow("data size 0xFFFFFFFF in RIFF (cut)")
            << Riff(g_fmtMono + Chunk("data", g_pcm, 0xFFFFFFFF)) << true << QString() << 1 << 22050
            << qint64(44) << nPcm;
        QTest::newRow("empty data") << PcmWav(1, 22050, QByteArray()) << true << QString() << 1
                                    << 22050 << qint64(44) << qint64(0);
        QTest::newRow("RF64 with ds64") << Rf64(g_pcm, quint64(nPcm)) << true << QString() << 1
                                        << 22050 << qint64(12 + 36 + 24 + 8) << nPcm;
        QTest::newRow("RF64 ds64 size past the end (cut)")
            << Rf64(g_pcm, 0x200000000ull) << true << QString() << 1 << 22050
            << qint64(12 + 36 + 24 + 8) << nPcm;
        QTest::newRow("RF64 ds64 smaller than the file")
            << Rf64(g_pcm, 100) << true << QString() << 1 << 22050 << qint64(12 + 36 + 24 + 8)
            << qint64(100);

        auto bad = [](const char* pszRow, const QByteArray& bytes, const char* pszError)
        {
            QTest::newRow(pszRow) << bytes << false << QString::fromLatin1(pszError) << 0 << 0
                                  << qint64(0) << qint64(0);
        };
        bad("zero channels", Riff(Chunk("fmt ", FmtBody(1, 0, 22050, 16)) + Chunk("data", g_pcm)),
            "damaged WAV header (no channels)");
        bad("three channels", Riff(Chunk("fmt ", FmtBody(1, 3, 22050, 16)) + Chunk("data", g_pcm)),
            "not a mono or stereo WAV file (3 channels)");
        bad("zero rate", Riff(Chunk("fmt ", FmtBody(1, 1, 0, 16)) + Chunk("data", g_pcm)),
            "damaged WAV header (sample rate 0)");
        bad("rate 192001", Riff(Chunk("fmt ", FmtBody(1, 1, 192001, 16)) + Chunk("data", g_pcm)),
            "sample rate too high for MP3 (192001 Hz)");
        bad("8-bit", Riff(Chunk("fmt ", FmtBody(1, 1, 22050, 8)) + Chunk("data", g_pcm)),
            "not a 16-bit PCM WAV file (8 bits per sample)");
        bad("24-bit", Riff(Chunk("fmt ", FmtBody(1, 1, 22050, 24)) + Chunk("data", g_pcm)),
            "not a 16-bit PCM WAV file (24 bits per sample)");
        bad("float", Riff(Chunk("fmt ", FmtBody(3, 1, 22050, 32)) + Chunk("data", g_pcm)),
            "not a 16-bit PCM WAV file (format 3)");
        bad("extensible float",
            Riff(Chunk("fmt ", ExtensibleFmtBody(1, 22050, 32, 3)) + Chunk("data", g_pcm)),
            "not a 16-bit PCM WAV file (extensible format, not PCM)");
        bad("extensible cut short",
            Riff(Chunk("fmt ", ExtensibleFmtBody(1, 22050, 16, 1).left(18)) + Chunk("data", g_pcm)),
            "damaged WAV header (short extensible format)");
        bad("block size wrong",
            Riff(Chunk("fmt ", FmtBody(1, 2, 22050, 16).replace(12, 2, Le16(2))) +
                 Chunk("data", g_pcm)),
            "damaged WAV header (block size 2 for 2 channels)");
        bad("missing fmt", Riff(Chunk("data", g_pcm)),
            "damaged WAV header (no format chunk before the data)");
        bad("fmt after data", Riff(Chunk("data", g_pcm) + g_fmtMono),
            "damaged WAV header (no format chunk before the data)");
        bad("no data", Riff(g_fmtMono + Chunk("LIST", "abcd")),
            "damaged WAV header (no data chunk)");
        bad("fmt chunk short", Riff(Chunk("fmt ", FmtBody(1, 1, 22050, 16).left(14))),
            "damaged WAV header (short format chunk)");
        bad("fmt chunk cut by the end of file", Riff(g_fmtMono).left(12 + 8 + 10),
            "damaged WAV header (short format chunk)");
        bad("chunk size past the end", Riff(Chunk("LIST", "ab", 0x7FFFFFF0) + g_fmtMono),
            "damaged WAV header (no format chunk)");
        bad("RIFX", PcmWav(1, 22050, g_pcm).replace(0, 4, "RIFX"), "not a WAV file");
        bad("not WAVE", PcmWav(1, 22050, g_pcm).replace(8, 4, "AVI "), "not a WAV file");
        bad("truncated header", PcmWav(1, 22050, g_pcm).left(30),
            "damaged WAV header (short format chunk)");
        bad("only RIFF", QByteArray("RIFF\x10\x00", 6), "damaged WAV header");
        bad("empty file", QByteArray(), "not a WAV file");
        bad("text file", QByteArray("Hello, this is not sound at all."), "not a WAV file");
        bad("RF64 without ds64", Rf64(g_pcm, 0, false),
            "damaged WAV header (RF64 without a ds64 chunk)");
        bad("RF64 ds64 cut short",
            QByteArray("RF64") + Le32(0xFFFFFFFF) + "WAVE" + Chunk("ds64", QByteArray(12, '\0')) +
                g_fmtMono + Chunk("data", g_pcm, 0xFFFFFFFF),
            "damaged WAV header (short ds64 chunk)");
        QByteArray manyChunks;
        for (int i = 0; i < 5000; ++i)
            manyChunks += Chunk("junk", QByteArray());
        bad("thousands of empty chunks", Riff(manyChunks + g_fmtMono + Chunk("data", g_pcm)),
            "damaged WAV header (too many chunks before the data)");
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(QString, error);
        QFETCH(int, channels);
        QFETCH(int, rate);
        QFETCH(qint64, dataOffset);
        QFETCH(qint64, dataSize);

        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        CWaveHeader header;
        QString strError = QStringLiteral("left over");
        QCOMPARE(header.Read(buffer, &strError), ok);
        QCOMPARE(strError, error);
        QCOMPARE(int(header.GetChannels()), channels);
        QCOMPARE(int(header.GetSampleRate()), rate);
        QCOMPARE(qint64(header.GetDataOffset()), dataOffset);
        QCOMPARE(qint64(header.GetDataSize()), dataSize);
        QCOMPARE(header.GetBitsPerSample(), quint16(ok ? 16 : 0));
        QVERIFY(qint64(header.GetDataOffset() + header.GetDataSize()) <= bytes.size());
        if (ok)
        {
            QCOMPARE(header.IsRf64(), bytes.startsWith("RF64"));
            // The samples are where the header says they are.
            if (dataSize >= 16)
                QCOMPARE(bytes.mid(dataOffset, 16), g_pcm.left(16));
        }
    }

    void readsAFile()
    {
        QTemporaryDir dir;
        const QString strPath =
            WriteFileIn(dir, QStringLiteral("a.wav"), PcmWav(2, 16000, Tone(2, 16000, 0.5)));
        CWaveHeader header;
        QString strError;
        QVERIFY(header.Read(strPath, &strError));
        QVERIFY(strError.isEmpty());
        QCOMPARE(header.GetFmtChunkSize(), 16u);
        QCOMPARE(header.GetFormatTag(), CWaveHeader::FORMAT_PCM);
        QCOMPARE(header.GetBlockAlign(), quint16(4));
        QCOMPARE(header.GetDataSize(), quint64(16000 * 4 / 2));

        QVERIFY(!header.Read(dir.filePath(QStringLiteral("missing.wav")), &strError));
        QVERIFY2(strError.startsWith(QStringLiteral("cannot open the WAV file: ")),
                 qPrintable(strError));
        QCOMPARE(header.GetChannels(), quint16(0));
    }

    // A device that is not open, or cannot seek, is refused, not read blind.
    void refusesDevicesItCannotWalk()
    {
        QByteArray bytes = PcmWav(1, 22050, g_pcm);
        QBuffer closed(&bytes);
        CWaveHeader header;
        QString strError;
        QVERIFY(!header.Read(closed, &strError));
        QCOMPARE(strError, QStringLiteral("cannot read the WAV file"));
    }
};

QTEST_GUILESS_MAIN(CWaveHeaderTest)
#include "tst_waveheader.moc"
