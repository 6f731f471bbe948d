#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "speech/spaudiosink.h"
#include "speech/spqtaudiosink.h"
#include "tests/support/soundrecording.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "widgets/buttonst.h"
#include "widgets/messagebox.h"
#include "widgets/textprogressctrl.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <memory>
#include <vector>

using KbTest::FirstLoudSample;
using KbTest::Item;
using KbTest::LastLoudSample;
using KbTest::MsOfSamples;
using KbTest::ReadWhile;
using KbTest::SamplesOfMs;

namespace
{
// Said a few times it outlasts any Pause or Stop; "middle" comes a second
// or so into it.
const QString g_strSentence = QStringLiteral("Pause me in the middle of this sentence please. ");

struct SSilence
{
    qint64 nFrom = 0;
    qint64 nLength = 0;
};

// The quiet stretches of at least the given length between the first and
// the last loud sample.
std::vector<SSilence> Silences(const QByteArray& pcm, qint64 nMinSamples)
{
    std::vector<SSilence> silences;
    const auto* pSamples = reinterpret_cast<const qint16*>(pcm.constData());
    const qint64 nLast = LastLoudSample(pcm);
    qint64 nRun = 0;
    for (qint64 i = FirstLoudSample(pcm); i >= 0 && i <= nLast; ++i)
    {
        if (qAbs(int(pSamples[i])) <= KbTest::LOUD)
        {
            ++nRun;
            continue;
        }
        if (nRun >= nMinSamples)
            silences.push_back({i - nRun, nRun});
        nRun = 0;
    }
    return silences;
}

qint64 Distance(const SSilence& silence, qint64 nAt)
{
    if (nAt < silence.nFrom)
        return silence.nFrom - nAt;
    return qMax<qint64>(0, nAt - (silence.nFrom + silence.nLength));
}

// What the recording holds, for a failure's message.
QString Shape(const QByteArray& pcm)
{
    QString strShape = QStringLiteral("sound from %1 ms to %2 ms, silences (ms):")
                           .arg(MsOfSamples(FirstLoudSample(pcm)))
                           .arg(MsOfSamples(LastLoudSample(pcm)));
    const std::vector<SSilence> silences = Silences(pcm, SamplesOfMs(10));
    for (size_t i = 0; i < qMin<size_t>(silences.size(), 12); ++i)
        strShape += QStringLiteral(" %1+%2")
                        .arg(MsOfSamples(silences[i].nFrom))
                        .arg(MsOfSamples(silences[i].nLength));
    if (silences.size() > 12)
        strShape += QStringLiteral(" ...");
    return strShape;
}
} // namespace

// Readings of the window driven through its buttons, played where the
// program itself chooses to play (the Qt audio sink on a PulseAudio null
// sink) and recorded from that sink's monitor, with a clock of 100 ms ticks.
class CReadingPlaybackTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_serverDir;
    KbTest::CSoundServer m_server;
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<QTemporaryDir> m_pDocs;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<CSpeechDlg> m_pDlg;
    std::unique_ptr<KbTest::CSinkRecorder> m_pRecorder;
    QStringList m_messages;

    CSpeechDlg& Dlg() { return *m_pDlg; }
    KbTest::CSinkRecorder& Recorder() { return *m_pRecorder; }
    QString Selected()
    {
        return Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT)->textCursor().selectedText();
    }
    bool Enabled(int nId) { return Dlg().GetDlgItem(nId)->isEnabled(); }
    int Progress() { return Item<CTextProgressCtrl>(Dlg(), IDC_PROGRESS)->GetPos(); }

    QString Doc(const QString& strName, const QString& strText)
    {
        return KbTest::WriteFileIn(*m_pDocs, strName, strText.toUtf8());
    }

    // Typed into the pane in Instant Speak mode, or as the one listed file.
    void ChooseText(bool bInstant, const QString& strText)
    {
        if (!bInstant)
        {
            Dlg().AddSourceFiles({Doc(QStringLiteral("story.txt"), strText)});
            return;
        }
        Item<QRadioButton>(Dlg(), IDC_RADIO_INSTANT)->click();
        Item<QPlainTextEdit>(Dlg(), IDC_EDIT_TEXT)->setPlainText(strText);
    }

    // The reading is over: Speak is offered again, Pause and Stop are not.
    bool Idle()
    {
        return !Dlg().m_bBusy && Enabled(IDC_BTN_SPEAK) && !Enabled(IDC_BTN_PAUSE) &&
               !Enabled(IDC_BTN_STOP) &&
               Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->text() == QStringLiteral("Speak");
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_server.Start(m_serverDir))
            QSKIP("no PulseAudio server to play on");
        QVERIFY2(!m_server.Address().isEmpty(), "the sound server opens its socket");
        // Set before anything asks Qt for audio devices: the voice finds
        // this server's null sink, where the only sound is the window's.
        qputenv("PULSE_SERVER", m_server.Address().toUtf8());
        QVERIFY(!CSpQtAudioSink::FindDevice(WAVEFORMATEX()).isNull());
    }
    void cleanupTestCase() { m_server.Stop(); }

    void init()
    {
        qputenv("KB_CLOCK_MS", "100");
        m_pHome = KbTest::UseFreshHome();
        m_pDocs = std::make_unique<QTemporaryDir>();
        m_messages.clear();
        CMessageBox::SetHook([this](const QString& strText, const QString&, unsigned)
                             { m_messages.append(strText); });
        CSpAudioSink::SetFactory(nullptr);
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
        m_pDlg = std::make_unique<CSpeechDlg>();
        m_pRecorder = std::make_unique<KbTest::CSinkRecorder>();
        QVERIFY(m_pRecorder->Start(m_server.Address()));
        QVERIFY(m_pRecorder->RecordFor(200));
    }
    void cleanup()
    {
        m_pRecorder.reset();
        m_pDlg.reset();
        KbTest::EndApp(m_pApp);
        CMessageBox::SetHook(nullptr);
        m_pDocs.reset();
        m_pHome.reset();
        qunsetenv("KB_CLOCK_MS");
    }

    // One file: its name is heard, a short silence, then its text; the
    // reading ends idle with the bar full.
    void oneFile()
    {
        Dlg().AddSourceFiles({Doc(QStringLiteral("report.txt"), "The weather is fine today.")});
        qint64 nTextAt = -1;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              Recorder().Take();
                              if (nTextAt < 0 && Dlg().m_bSpeakingText)
                                  nTextAt = Recorder().SampleNow();
                          }));
        QVERIFY(Recorder().RecordFor(500));
        QVERIFY(nTextAt > 0);
        const QByteArray& pcm = Recorder().Pcm();
        const QString strShape =
            Shape(pcm) + QStringLiteral("; text from %1 ms").arg(MsOfSamples(nTextAt));
        // The silence where the window turned from the name to the text.
        SSilence gap;
        qint64 nGapDistance = std::numeric_limits<qint64>::max();
        for (const SSilence& silence : Silences(pcm, SamplesOfMs(10)))
        {
            if (Distance(silence, nTextAt) < nGapDistance)
            {
                gap = silence;
                nGapDistance = Distance(silence, nTextAt);
            }
        }
        QVERIFY2(nGapDistance <= SamplesOfMs(150), qPrintable(strShape));
        const qint64 nName = gap.nFrom - FirstLoudSample(pcm);
        const qint64 nText = LastLoudSample(pcm) - (gap.nFrom + gap.nLength);
        // "report" takes about 0.4 s; a name left out would leave only the
        // start of the text before the silence.
        QVERIFY2(nName >= SamplesOfMs(200), qPrintable(strShape));
        QVERIFY2(nText > nName, qPrintable(strShape));
        // Short: not the pause of four ticks that parts two files.
        QVERIFY2(gap.nLength < SamplesOfMs(300), qPrintable(strShape));

        QVERIFY(Idle());
        QCOMPARE(Progress(), 100);
        QVERIFY(m_messages.isEmpty());
    }

    // Pause mid-text holds the device silent until Resume; then the text
    // goes on to its end.
    void pauseAndResume_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::newRow("file") << false;
        QTest::newRow("instant") << true;
    }
    void pauseAndResume()
    {
        QFETCH(bool, bInstant);
        ChooseText(bInstant, g_strSentence.repeated(2));
        QElapsedTimer paused;
        qint64 nPausedAt = -1;
        qint64 nResumedAt = -1;
        qint64 nArrivedAtResume = -1;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              Recorder().Take();
                              if (nPausedAt < 0 && Selected() == QStringLiteral("middle"))
                              {
                                  nPausedAt = Recorder().SampleNow();
                                  Item<CButtonST>(Dlg(), IDC_BTN_PAUSE)->click();
                                  paused.start();
                              }
                              else if (nPausedAt >= 0 && nResumedAt < 0 && paused.elapsed() > 1500)
                              {
                                  nResumedAt = Recorder().SampleNow();
                                  nArrivedAtResume = Recorder().Samples();
                                  Item<CButtonST>(Dlg(), IDC_BTN_SPEAK)->click();
                              }
                          }));
        QVERIFY(Recorder().RecordFor(500));
        QVERIFY(nResumedAt > 0);
        const QByteArray& pcm = Recorder().Pcm();
        const QString strShape = Shape(pcm) + QStringLiteral("; paused at %1 ms, resumed at %2 ms")
                                                  .arg(MsOfSamples(nPausedAt))
                                                  .arg(MsOfSamples(nResumedAt));
        QVERIFY2(LastLoudSample(pcm, nPausedAt) >= nPausedAt - SamplesOfMs(500),
                 qPrintable(strShape));
        // What had arrived by the Resume click was played before it, so
        // all of it falls in the pause.
        const qint64 nQuietFrom = nPausedAt + SamplesOfMs(300);
        QVERIFY2(nArrivedAtResume - nQuietFrom >= SamplesOfMs(500), qPrintable(strShape));
        const qint64 nLoudAgain = FirstLoudSample(pcm, nQuietFrom);
        QVERIFY2(nLoudAgain >= nArrivedAtResume, qPrintable(strShape));
        QVERIFY2(nLoudAgain < nResumedAt + SamplesOfMs(1000), qPrintable(strShape));
        QVERIFY2(LastLoudSample(pcm) - nLoudAgain >= SamplesOfMs(1000), qPrintable(strShape));

        QVERIFY(Idle());
        QCOMPARE(Selected(), QStringLiteral("please"));
        QCOMPARE(Progress(), 100);
        QVERIFY(m_messages.isEmpty());
    }

    // Stop mid-text: nothing is heard from half a second after the click.
    void stopMidText_data()
    {
        QTest::addColumn<bool>("bInstant");
        QTest::newRow("file") << false;
        QTest::newRow("instant") << true;
    }
    void stopMidText()
    {
        QFETCH(bool, bInstant);
        ChooseText(bInstant, g_strSentence.repeated(20));
        qint64 nStoppedAt = -1;
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              Recorder().Take();
                              if (nStoppedAt < 0 && Selected() == QStringLiteral("middle"))
                              {
                                  nStoppedAt = Recorder().SampleNow();
                                  Item<CButtonST>(Dlg(), IDC_BTN_STOP)->click();
                              }
                          }));
        QVERIFY(nStoppedAt > 0);
        QVERIFY(Recorder().RecordFor(1500));
        const QByteArray& pcm = Recorder().Pcm();
        const QString strShape =
            Shape(pcm) + QStringLiteral("; stopped at %1 ms").arg(MsOfSamples(nStoppedAt));
        QVERIFY2(LastLoudSample(pcm, nStoppedAt) >= nStoppedAt - SamplesOfMs(500),
                 qPrintable(strShape));
        QVERIFY(Recorder().Samples() >= nStoppedAt + SamplesOfMs(1500));
        QVERIFY2(FirstLoudSample(pcm, nStoppedAt + SamplesOfMs(500)) < 0, qPrintable(strShape));

        QVERIFY(Idle());
        QVERIFY(Progress() < 100);
        QVERIFY(m_messages.isEmpty());
    }

    // The selection keeps pace with what is heard: as the sound ends, the
    // last word is the one selected.
    void lastWordAsSoundEnds()
    {
        ChooseText(true, QStringLiteral("Seven words make up this little text"));
        QString strAtSound;
        qint64 nChecked = 0;
        const auto listen = [&]()
        {
            if (FirstLoudSample(Recorder().Pcm(), nChecked) >= 0)
                strAtSound = Selected();
            nChecked = Recorder().Samples();
        };
        QVERIFY(ReadWhile(Dlg(),
                          [&]()
                          {
                              Recorder().Take();
                              listen();
                          }));
        // Sound played at the very end may still be on its way.
        QVERIFY(Recorder().RecordFor(1000));
        listen();
        QCOMPARE(strAtSound, QStringLiteral("text"));
        QVERIFY(Idle());
    }
};

QTEST_MAIN(CReadingPlaybackTest)
#include "tst_readingplayback.moc"
