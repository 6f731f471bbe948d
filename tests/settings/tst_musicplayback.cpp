#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "speech/spsilentaudiosink.h"
#include "tests/support/soundrecording.h"
#include "tests/support/testfiles.h"
#include "tests/support/wavefiles.h"
#include "tests/support/windowtest.h"
#include "widgets/messagebox.h"

#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using KbTest::FirstLoudSample;
using KbTest::Item;
using KbTest::LastLoudSample;
using KbTest::MsOfSamples;
using KbTest::ReadWhile;
using KbTest::SamplesOfMs;

namespace
{
// The pitch of the recorded tone from its rising zero crossings between the
// first and the last loud sample.
double Pitch(const QByteArray& pcm)
{
    const auto* pSamples = reinterpret_cast<const qint16*>(pcm.constData());
    const qint64 nFirst = FirstLoudSample(pcm);
    const qint64 nLast = LastLoudSample(pcm);
    qint64 nRises = 0;
    for (qint64 i = qMax<qint64>(nFirst, 1); i <= nLast; ++i)
        nRises += pSamples[i - 1] < 0 && pSamples[i] >= 0;
    return nLast > nFirst ? nRises * double(KbTest::RECORD_RATE) / double(nLast - nFirst) : 0;
}

QString Shape(const QByteArray& pcm)
{
    return QStringLiteral("sound from %1 ms to %2 ms, longest inner silence %3 ms, %4 Hz")
        .arg(MsOfSamples(FirstLoudSample(pcm)))
        .arg(MsOfSamples(LastLoudSample(pcm)))
        .arg(MsOfSamples(KbTest::LongestInnerSilence(pcm)))
        .arg(Pitch(pcm), 0, 'f', 1);
}
} // namespace

// The window's music as heard on a PulseAudio null sink of the test's own,
// recorded from its monitor. The voice goes to the silent device, so the
// music is the only sound there; the clock ticks every 100 ms.
class CMusicPlaybackTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_serverDir;
    KbTest::CSoundServer m_server;
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<CSpeechDlg> m_pDlg;
    std::unique_ptr<KbTest::CSinkRecorder> m_pRecorder;
    QStringList m_messages;

    CSpeechDlg& Dlg() { return *m_pDlg; }
    KbTest::CSinkRecorder& Recorder() { return *m_pRecorder; }
    bool MusicPlays() { return Dlg().m_hMusicWnd->playbackState() == QMediaPlayer::PlayingState; }

    // The window starts with a 440 Hz tone of that length as its music,
    // and the recording runs.
    bool StartWithMusic(double dSeconds)
    {
        const QString strTone = KbTest::WriteFileIn(
            *m_pHome, "tone.wav", KbTest::PcmWav(1, 22050, KbTest::Tone(1, 22050, dSeconds)));
        m_pApp->SetSetting("Misc", "MusicPlayMode", "1");
        m_pApp->SetSetting("Misc", "MusicFilePath", strTone);
        m_pDlg = std::make_unique<CSpeechDlg>();
        return Dlg().m_hMusicWnd && Recorder().Start(m_server.Address()) &&
               Recorder().RecordFor(200);
    }
    void ChooseText(bool bInstant, const QString& strText)
    {
        if (!bInstant)
        {
            Dlg().AddSourceFiles(
                {KbTest::WriteFileIn(*m_pHome, QStringLiteral("story.txt"), strText.toUtf8())});
            return;
        }
        Item<QRadioButton>(Dlg(), IDC_RADIO_INSTANT)->click();
        Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT)->setPlainText(strText);
    }
    // What the recording holds by now; all of it was played before.
    qint64 Arrived()
    {
        Recorder().Take();
        return Recorder().Samples();
    }
    QString PlayerState()
    {
        const QMediaPlayer* pPlayer = Dlg().m_hMusicWnd;
        return QStringLiteral("player: state %1, status %2, at %3 ms, error \"%4\"")
            .arg(pPlayer->playbackState())
            .arg(pPlayer->mediaStatus())
            .arg(pPlayer->position())
            .arg(pPlayer->errorString());
    }
    // Takes what has arrived; true once music is heard after the sample.
    bool HeardFrom(qint64 nSample)
    {
        Recorder().Take();
        return FirstLoudSample(Recorder().Pcm(), nSample) >= 0;
    }

    bool PlayedToTheEnd()
    {
        Recorder().Take();
        return Dlg().m_hMusicWnd->mediaStatus() == QMediaPlayer::EndOfMedia;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_server.Start(m_serverDir), "a PulseAudio server of the test's own starts");
        qputenv("PULSE_SERVER", m_server.Address().toUtf8());
    }
    void cleanupTestCase() { m_server.Stop(); }

    void init()
    {
        qputenv("KB_CLOCK_MS", "100");
        m_pHome = KbTest::UseFreshHome();
        m_messages.clear();
        CMessageBox::SetHook([this](const QString& strText, const QString&, unsigned)
                             { m_messages.append(strText); });
        CSpAudioSink::SetFactory([]() { return std::make_unique<CSpSilentAudioSink>(); });
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
        m_pRecorder = std::make_unique<KbTest::CSinkRecorder>();
    }
    void cleanup()
    {
        m_pRecorder.reset();
        m_pDlg.reset();
        KbTest::EndApp(m_pApp);
        CSpAudioSink::SetFactory(nullptr);
        CMessageBox::SetHook(nullptr);
        m_pHome.reset();
        qunsetenv("KB_CLOCK_MS");
    }

    // Nothing during the reading; when it ends, the whole tone, unbroken.
    void readingEndPlaysTheMusicToItsEnd()
    {
        QVERIFY(StartWithMusic(0.8));
        ChooseText(true, QStringLiteral("One two."));
        bool bPlayedEarly = false;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              Recorder().Take();
                              bPlayedEarly = bPlayedEarly || MusicPlays();
                          }));
        const qint64 nEnd = Arrived();
        QVERIFY(!bPlayedEarly);
        QVERIFY(MusicPlays());
        QTRY_VERIFY2_WITH_TIMEOUT(PlayedToTheEnd(), qPrintable(PlayerState()), 10000);
        QVERIFY(Recorder().RecordFor(300));

        const QByteArray& pcm = Recorder().Pcm();
        const QString strShape =
            Shape(pcm) + QStringLiteral("; reading ended at %1 ms").arg(MsOfSamples(nEnd));
        QVERIFY2(FirstLoudSample(pcm) >= nEnd, qPrintable(strShape));
        QVERIFY2(qAbs(LastLoudSample(pcm) - FirstLoudSample(pcm) - SamplesOfMs(800)) <=
                     SamplesOfMs(50),
                 qPrintable(strShape));
        QVERIFY2(KbTest::LongestInnerSilence(pcm) < SamplesOfMs(10), qPrintable(strShape));
        QVERIFY2(qAbs(Pitch(pcm) - 440) < 5, qPrintable(strShape));
        QVERIFY(m_messages.isEmpty());
    }

    // The next reading silences the music from its start; its own end
    // plays the music again.
    void nextReadingStopsTheMusic_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::newRow("file") << false;
        QTest::newRow("instant") << true;
    }
    void nextReadingStopsTheMusic()
    {
        QFETCH(bool, bInstant);
        QVERIFY(StartWithMusic(10.0));
        ChooseText(bInstant, QStringLiteral("One two three four five six."));
        QVERIFY(ReadWhile(Dlg(), [&]() { Recorder().Take(); }));
        const qint64 nFirstEnd = Arrived();
        QTRY_VERIFY2_WITH_TIMEOUT(HeardFrom(nFirstEnd), qPrintable(PlayerState()), 5000);
        QVERIFY(MusicPlays());

        QElapsedTimer sinceStart;
        qint64 nQuietFrom = -1;
        bool bPlayedDuring = false;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              Recorder().Take();
                              if (!sinceStart.isValid())
                                  sinceStart.start();
                              if (nQuietFrom < 0 && sinceStart.elapsed() >= 300)
                                  nQuietFrom = Recorder().Samples();
                              bPlayedDuring = bPlayedDuring || MusicPlays();
                          }));
        const qint64 nEnd = Arrived();
        QVERIFY(!bPlayedDuring);
        QVERIFY(MusicPlays());
        QTRY_VERIFY2_WITH_TIMEOUT(HeardFrom(nEnd), qPrintable(PlayerState()), 5000);

        // What arrived from 300 ms into the second reading to its end was
        // played while it read.
        const QByteArray& pcm = Recorder().Pcm();
        const QString strShape = Shape(pcm) + QStringLiteral("; quiet from %1 ms to %2 ms")
                                                  .arg(MsOfSamples(nQuietFrom))
                                                  .arg(MsOfSamples(nEnd));
        QVERIFY2(nQuietFrom > 0 && nEnd - nQuietFrom > SamplesOfMs(300), qPrintable(strShape));
        QVERIFY2(FirstLoudSample(pcm, nQuietFrom) >= nEnd, qPrintable(strShape));
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_MAIN(CMusicPlaybackTest)
#include "tst_musicplayback.moc"
