#include "speech/spqtaudiosink.h"
#include "speech/spvoice.h"
#include "tests/support/soundrecording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{
std::vector<SPEVENT> TakeEvents(CSpVoice& voice)
{
    std::vector<SPEVENT> events;
    SPEVENT event;
    while (voice.GetEvents(1, &event, nullptr))
        events.push_back(event);
    return events;
}

const QString g_strText = QStringLiteral("The quick brown fox jumps over the lazy dog, twice.");
} // namespace

// The playback path on a real sound server: a PulseAudio null sink of this
// test's own, so the device clock, the end of an utterance and pausing are
// those of QAudioSink.
class CSpQtAudioSinkTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    KbTest::CSoundServer m_server;

    // Samples of the text at the voice's current settings, from a WAV file.
    qint64 AudioMs(CSpVoice& voice, const QString& strText)
    {
        WAVEFORMATEX format;
        voice.GetFormat(&format);
        auto pStream = std::make_shared<CSpStream>();
        if (!pStream->BindToFile(m_dir.filePath(QStringLiteral("length.wav")), format) ||
            !voice.SetOutput(pStream, false))
            return -1;
        voice.Speak(strText, SPF_DEFAULT);
        voice.SetOutput(nullptr, true);
        TakeEvents(voice);
        return qint64(pStream->GetDataBytes() * 1000 / format.nAvgBytesPerSec);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_server.Start(m_dir), "pulseaudio is part of the test setup");
        qputenv("PULSE_SERVER", m_server.Address().toUtf8());
    }
    void cleanupTestCase() { m_server.Stop(); }

    // Written at most bytesFree() at a time, every sample is played and
    // counted by the device clock.
    void deviceClockCountsEverySample()
    {
        WAVEFORMATEX format;
        const QAudioDevice device = CSpQtAudioSink::FindDevice(format);
        QVERIFY(!device.isNull());
        CSpQtAudioSink sink(device);
        QVERIFY(sink.Start(format));
        const QByteArray second(int(format.nAvgBytesPerSec), '\0');
        qint64 nSent = 0;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000 &&
               (nSent < second.size() || sink.ProcessedUSecs() < 1000000 - 1000))
        {
            QCoreApplication::processEvents();
            const qint64 nFree = qMin(sink.BytesFree(), qint64(second.size()) - nSent);
            if (nFree > 0)
                nSent += sink.Write(second.constData() + nSent, nFree);
            QTest::qSleep(3);
        }
        QCOMPARE(nSent, qint64(second.size()));
        QVERIFY(qAbs(sink.ProcessedUSecs() - 1000000) <= 1000);
        // A busy machine delays the server's start of a stream by a second
        // or so; what matters is that it neither drops nor hangs.
        QVERIFY2(timer.elapsed() >= 900 && timer.elapsed() < 5000,
                 qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!sink.HasFailed());
        sink.Stop();
    }

    // An utterance lasts as long as its audio and ends as soon as the
    // device has played it; its words arrive spread over that time.
    void utteranceKeepsTime()
    {
        CSpVoice voice;
        const qint64 nAudioMs = AudioMs(voice, g_strText);
        QVERIFY(nAudioMs > 1500);
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(voice.Speak(g_strText, SPF_ASYNC));
        std::vector<qint64> wordTimes;
        while (!voice.WaitUntilDone(5))
        {
            for (const SPEVENT& event : TakeEvents(voice))
            {
                if (event.eEventId == SPEI_WORD_BOUNDARY)
                    wordTimes.push_back(timer.elapsed());
            }
            QVERIFY(timer.elapsed() < nAudioMs + 6000);
        }
        const qint64 nElapsed = timer.elapsed();
        QVERIFY2(
            nElapsed >= nAudioMs - 100 && nElapsed <= nAudioMs + 4000,
            qPrintable(QStringLiteral("%1 ms for %2 ms of audio").arg(nElapsed).arg(nAudioMs)));
        QVERIFY(wordTimes.size() >= 8);
        QVERIFY(wordTimes.back() - wordTimes.front() >= nAudioMs / 2);
    }

    // Pausing the device holds the reading; resuming finishes it.
    void pauseOnTheDevice()
    {
        CSpVoice voice;
        const qint64 nAudioMs = AudioMs(voice, g_strText);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(voice.Speak(g_strText, SPF_ASYNC));
        QTest::qWait(500);
        QVERIFY(voice.Pause());
        QVERIFY(!voice.WaitUntilDone(1500));
        QVERIFY(voice.Resume());
        QVERIFY(voice.WaitUntilDone(int(nAudioMs) + 3000));
        QVERIFY2(timer.elapsed() >= nAudioMs + 1400,
                 qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(CSpQtAudioSinkTest)
#include "tst_spqtaudiosink.moc"
