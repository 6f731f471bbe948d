#include "res/messageevent.h"
#include "speech/spaudiosink.h"
#include "speech/spengine.h"
#include "speech/spobjecttokencategory.h"
#include "speech/spvoice.h"
#include "speech/spvoiceregistry.h"
#include "tests/support/wavefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace
{
CSpObjectTokenPtr TokenFor(const QString& strLanguage, const QString& strOptional = QString())
{
    CSpObjectTokenCategory category;
    category.SetId(QStringLiteral(SPCAT_VOICES), false);
    return category.FindBestToken(QStringLiteral("Language=") + strLanguage, strOptional);
}

std::vector<SPEVENT> TakeEvents(CSpVoice& voice)
{
    std::vector<SPEVENT> events;
    SPEVENT event;
    while (voice.GetEvents(1, &event, nullptr))
        events.push_back(event);
    return events;
}

int Count(const std::vector<SPEVENT>& events, SPEVENTENUM eId)
{
    return int(std::count_if(events.begin(), events.end(),
                             [eId](const SPEVENT& e) { return e.eEventId == eId; }));
}

// The words of a text as a reader sees them, worked out here without the
// speech layer: white-space separated, punctuation around them left out,
// each CJK ideograph a word.
QList<QPair<int, int>> ExpectedWords(const QString& strText)
{
    QList<QPair<int, int>> words;
    const QRegularExpression word(QStringLiteral("[\\p{Han}]|[^\\s\\p{Han}]+"),
                                  QRegularExpression::UseUnicodePropertiesOption);
    auto it = word.globalMatch(strText);
    while (it.hasNext())
    {
        const QRegularExpressionMatch match = it.next();
        int nFrom = int(match.capturedStart());
        int nTo = int(match.capturedEnd());
        const QString strWord = match.captured();
        if (strWord.contains(QRegularExpression(QStringLiteral("[\\p{L}\\p{N}]"))))
        {
            auto isEdge = [&](int i)
            {
                const QChar c = strText.at(i);
                return c.isPunct() || c.isSymbol() ||
                       (c.isSurrogate() && !strText.mid(i, 2).contains(QRegularExpression(
                                               QStringLiteral("[\\p{L}\\p{N}]"))));
            };
            while (nFrom < nTo - 1 && isEdge(nFrom))
                ++nFrom;
            while (nTo - 1 > nFrom && isEdge(nTo - 1))
                --nTo;
            if (nTo < int(strText.size()) && QChar::isLowSurrogate(strText.at(nTo).unicode()))
                ++nTo;
            if (QChar::isLowSurrogate(strText.at(nTo - 1).unicode()) && nTo - 2 < nFrom)
                nFrom = nTo - 2;
        }
        words.append({nFrom, nTo - nFrom});
    }
    return words;
}

// A device that plays for a while and then breaks, or stops its clock.
class CBreakingSink : public CSpAudioSink
{
public:
    enum EMode
    {
        Fails,
        Stalls
    };
    explicit CBreakingSink(EMode eMode) : m_eMode(eMode) {}
    bool Start(const WAVEFORMATEX& format) override
    {
        m_nBytesPerSec = format.nAvgBytesPerSec;
        m_clock.start();
        return true;
    }
    qint64 BytesFree() override { return HasFailed() ? 0 : 4096; }
    qint64 Write(const char*, qint64 nBytes) override
    {
        m_nWritten += nBytes;
        return nBytes;
    }
    qint64 ProcessedUSecs() override
    {
        const qint64 nPlayed =
            qMin(m_nWritten * 1000000 / m_nBytesPerSec, m_clock.elapsed() * 1000);
        return m_eMode == Stalls ? qMin<qint64>(nPlayed, 300000) : nPlayed;
    }
    void Suspend() override {}
    void Resume() override {}
    void Stop() override {}
    bool HasFailed() override { return m_eMode == Fails && m_clock.elapsed() > 300; }

private:
    EMode m_eMode;
    qint64 m_nBytesPerSec = 44100;
    qint64 m_nWritten = 0;
    QElapsedTimer m_clock;
};

class CNotifyCounter : public QObject
{
public:
    int m_nNotices = 0;
    bool event(QEvent* pEvent) override
    {
        if (CMessageEvent::MessageOf(pEvent) == WM_SPEECH_EVENT)
        {
            ++m_nNotices;
            return true;
        }
        return QObject::event(pEvent);
    }
};

// Speaks each word of a plain text as a short tone with its word event, in
// place of the library.
class CFakeEngine : public CSpEngine
{
public:
    bool m_bAvailable = true;
    bool m_bSynthesisFails = false;

    bool IsAvailable() override { return m_bAvailable; }
    int GetSampleRate() override { return 22050; }
    std::vector<SVoice> ListVoices() override
    {
        return {{QStringLiteral("Fake"), "fake/one", {"en-us"}}};
    }
    bool CanLoadVoice(const QByteArray& voice) override
    {
        return m_bAvailable && voice.split('+').front() == "fake/one";
    }
    bool Synthesize(const SRequest& request, const BlockHandler& handler) override
    {
        if (m_bSynthesisFails || !CanLoadVoice(request.voice))
            return false;
        const QList<uint> text = QString::fromUtf8(request.input).toUcs4();
        std::vector<short> tone(size_t(GetSampleRate()) * 80 / 1000);
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = short(i % 50 < 25 ? 8000 : -8000);
        qint64 nSample = 0;
        for (int i = 0; i < int(text.size()); ++i)
        {
            if (QChar::isSpace(text[i]) || (i > 0 && !QChar::isSpace(text[i - 1])))
                continue;
            int nEnd = i;
            while (nEnd < int(text.size()) && !QChar::isSpace(text[nEnd]))
                ++nEnd;
            SEvent event;
            event.nTextPosition = i + 1;
            event.nLength = nEnd - i;
            event.nSample = nSample;
            if (request.fnRate)
                request.fnRate();
            if (!handler(tone.data(), int(tone.size()), {event}))
                return true;
            nSample += qint64(tone.size());
        }
        return true;
    }
    int GetMinimumRate() const override { return 80; }
};

// A token that asks the engine for that voice.
CSpObjectTokenPtr EngineVoiceToken(const QByteArray& voice)
{
    auto pToken = std::make_shared<CSpObjectToken>(
        QStringLiteral("Test\\") + QString::fromLatin1(voice), CSpAttributes::AttributeList());
    pToken->SetEngineVoice(voice);
    return pToken;
}

std::vector<SPEVENT> OfStream(const std::vector<SPEVENT>& events, ULONG nStream)
{
    std::vector<SPEVENT> mine;
    for (const SPEVENT& event : events)
    {
        if (event.ulStreamNum == nStream)
            mine.push_back(event);
    }
    return mine;
}

// Speaks into a WAV file and returns its samples.
std::vector<qint16> SpeakToSamples(CSpVoice& voice, const QString& strText, quint32 dwFlags)
{
    QTemporaryDir dir;
    WAVEFORMATEX format;
    voice.GetFormat(&format);
    auto pStream = std::make_shared<CSpStream>();
    if (!pStream->BindToFile(dir.filePath(QStringLiteral("s.wav")), format) ||
        !voice.SetOutput(pStream, false))
        return {};
    voice.Speak(strText, dwFlags & ~SPF_ASYNC);
    pStream->Close();
    voice.SetOutput(nullptr, true);
    return KbTest::ReadWaveSamples(dir.filePath(QStringLiteral("s.wav")));
}

int Peak(const std::vector<qint16>& samples)
{
    int nPeak = 0;
    for (qint16 n : samples)
        nPeak = qMax(nPeak, qAbs(int(n)));
    return nPeak;
}

const QString g_strLongText = QStringLiteral(
    "This is a long text that keeps the voice busy for a good while, so that the test can "
    "stop it, pause it and resume it in the middle. It goes on and on with plain words. ");
} // namespace

class CSpVoiceTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The registry is built from the library, before any row puts the fake
    // in its place.
    void initTestCase() { QVERIFY(!CSpVoiceRegistry::GetTokens().empty()); }
    void cleanup()
    {
        CSpAudioSink::SetFactory(nullptr);
        CSpEngine::SetOverride(nullptr);
    }

    // The engine's answer matches what the library does with the name.
    void canLoadVoiceMatchesTheLibrary_data()
    {
        QTest::addColumn<QByteArray>("voice");
        QTest::addColumn<bool>("bLoads");
        QTest::newRow("identifier") << QByteArray("gmw/en-US") << true;
        QTest::newRow("identifier-lower-case") << QByteArray("gmw/en-us") << true;
        QTest::newRow("identifier-upper-case") << QByteArray("GMW/EN-US") << true;
        QTest::newRow("last-path-part") << QByteArray("en-US") << true;
        QTest::newRow("name") << QByteArray("English (America)") << true;
        QTest::newRow("female-variant") << QByteArray("gmw/en-US+f3") << true;
        QTest::newRow("numbered-variant") << QByteArray("gmw/en-US+13") << true;
        // The library speaks the voice without a variant it cannot find.
        QTest::newRow("unknown-variant") << QByteArray("gmw/en-US+nosuch") << true;
        QTest::newRow("trailing-plus") << QByteArray("gmw/en-US+") << true;
        QTest::newRow("unknown") << QByteArray("zzz/no-such-voice") << false;
        QTest::newRow("unknown-with-variant") << QByteArray("zzz/no-such-voice+f3") << false;
        QTest::newRow("part-of-a-path-part") << QByteArray("n-US") << false;
        QTest::newRow("variant-only") << QByteArray("+f3") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("mbrola-uninstalled") << QByteArray("mb/mb-fr1") << false;
    }
    void canLoadVoiceMatchesTheLibrary()
    {
        QFETCH(QByteArray, voice);
        QFETCH(bool, bLoads);
        if (voice.startsWith("mb/") && QFile::exists(QStringLiteral("/usr/share/mbrola/fr1")))
            QSKIP("the MBROLA voice is installed here");
        CSpEngine* pEngine = CSpEngine::Get();
        QCOMPARE(pEngine->CanLoadVoice(voice), bLoads);
        // Asked again, the kept answer is the same.
        QCOMPARE(pEngine->CanLoadVoice(voice), bLoads);
        auto speak = [pEngine](const QByteArray& name, const QByteArray& input, qint64* pnSamples)
        {
            CSpEngine::SRequest request;
            request.input = input;
            request.voice = name;
            *pnSamples = 0;
            return pEngine->Synthesize(
                request,
                [pnSamples](const short*, int n, const std::vector<CSpEngine::SEvent>&)
                {
                    *pnSamples += n;
                    return true;
                });
        };
        // A voice that fails half-way must not leave its language behind for
        // the voice spoken before it.
        const QByteArray english = "Hello there, this is English.";
        qint64 nBefore = 0;
        QVERIFY(speak("gmw/en-US", english, &nBefore));
        qint64 nSamples = 0;
        QCOMPARE(speak(voice, "Yes.", &nSamples), bLoads);
        QCOMPARE(nSamples > 0, bLoads);
        qint64 nAfter = 0;
        QVERIFY(speak("gmw/en-US", english, &nAfter));
        QVERIFY2(qAbs(nAfter - nBefore) <= nBefore / 50,
                 qPrintable(QStringLiteral("%1 then %2").arg(nBefore).arg(nAfter)));
    }

    // Speak refuses a text that no voice could be heard saying: it queues
    // nothing, uses up no stream number and leaves no event; the voice then
    // speaks the next text as usual.
    void speakFailsWhenNothingCanSpeak_data()
    {
        QTest::addColumn<bool>("bFake");
        QTest::addColumn<bool>("bAvailable");
        QTest::addColumn<QByteArray>("voice"); // empty: the default voice
        QTest::addColumn<int>("nOutput");      // 0 device, 1 WAV file, 2 closed WAV file
        QTest::addColumn<quint32>("dwFlags");
        QTest::addColumn<bool>("bSpeaks");
        const quint32 a = SPF_ASYNC;
        QTest::newRow("fake-voice-file")
            << true << true << QByteArray("fake/one") << 1 << a << true;
        QTest::newRow("fake-voice-device")
            << true << true << QByteArray("fake/one+f3") << 0 << a << true;
        QTest::newRow("fake-unknown-voice")
            << true << true << QByteArray("fake/two") << 1 << a << false;
        QTest::newRow("fake-engine-unavailable")
            << true << false << QByteArray("fake/one") << 0 << a << false;
        QTest::newRow("fake-closed-file")
            << true << true << QByteArray("fake/one") << 2 << a << false;
        QTest::newRow("fake-unknown-voice-purging")
            << true << true << QByteArray("fake/two") << 1 << (a | SPF_PURGEBEFORESPEAK) << false;
        QTest::newRow("real-voice-file")
            << false << true << QByteArray("gmw/en-US") << 1 << a << true;
        QTest::newRow("real-default-voice-file") << false << true << QByteArray() << 1 << a << true;
        QTest::newRow("real-female-voice-device")
            << false << true << QByteArray("gmw/en-US+f3") << 0 << a << true;
        QTest::newRow("real-unknown-voice")
            << false << true << QByteArray("zzz/no-such-voice") << 1 << a << false;
        QTest::newRow("real-unknown-voice-variant")
            << false << true << QByteArray("zzz/no-such-voice+f3") << 0 << a << false;
        QTest::newRow("real-unknown-voice-waiting")
            << false << true << QByteArray("zzz/no-such-voice") << 1 << quint32(SPF_DEFAULT)
            << false;
        QTest::newRow("real-mbrola-uninstalled")
            << false << true << QByteArray("mb/mb-fr1") << 0 << a << false;
        QTest::newRow("real-closed-file")
            << false << true << QByteArray("gmw/en-US") << 2 << a << false;
    }
    void speakFailsWhenNothingCanSpeak()
    {
        QFETCH(bool, bFake);
        QFETCH(bool, bAvailable);
        QFETCH(QByteArray, voice);
        QFETCH(int, nOutput);
        QFETCH(quint32, dwFlags);
        QFETCH(bool, bSpeaks);
        if (voice.startsWith("mb/") && QFile::exists(QStringLiteral("/usr/share/mbrola/fr1")))
            QSKIP("the MBROLA voice is installed here");
        CFakeEngine fake;
        fake.m_bAvailable = bAvailable;
        if (bFake)
            CSpEngine::SetOverride(&fake);
        const QByteArray goodVoice = bFake ? "fake/one" : "gmw/en-US";

        QTemporaryDir dir;
        CSpVoice voiceUnderTest;
        QVERIFY(voiceUnderTest.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        if (!voice.isEmpty())
            QVERIFY(voiceUnderTest.SetVoice(EngineVoiceToken(voice)));
        WAVEFORMATEX format;
        QVERIFY(voiceUnderTest.GetFormat(&format));
        auto pStream = std::make_shared<CSpStream>();
        if (nOutput != 0)
        {
            QVERIFY(pStream->BindToFile(dir.filePath(QStringLiteral("a.wav")), format));
            QVERIFY(voiceUnderTest.SetOutput(pStream, false));
            if (nOutput == 2)
                QVERIFY(pStream->Close());
        }

        const QString strText = QStringLiteral("Four words are spoken.");
        ULONG nStream = 0;
        QCOMPARE(voiceUnderTest.Speak(strText, dwFlags, &nStream), bSpeaks);
        if (bSpeaks)
        {
            QCOMPARE(nStream, ULONG(1));
            QVERIFY(voiceUnderTest.WaitUntilDone(60000));
            const std::vector<SPEVENT> events = TakeEvents(voiceUnderTest);
            QVERIFY(!events.empty());
            QCOMPARE(events.front().eEventId, SPEI_START_INPUT_STREAM);
            QCOMPARE(events.back().eEventId, SPEI_END_INPUT_STREAM);
            QCOMPARE(events.back().ulStreamNum, nStream);
            QVERIFY(Count(events, SPEI_WORD_BOUNDARY) >= 3);
            if (nOutput == 1)
                QVERIFY(pStream->GetDataBytes() > 0);
            return;
        }
        SPVOICESTATUS status;
        QVERIFY(voiceUnderTest.GetStatus(&status));
        QCOMPARE(status.dwRunningState, SPRS_DONE);
        QCOMPARE(status.ulLastStreamQueued, ULONG(0));
        QVERIFY(voiceUnderTest.WaitUntilDone(0));

        // The next text, with what was missing put right, is the first
        // stream: the refused one left nothing behind.
        fake.m_bAvailable = true;
        QVERIFY(voiceUnderTest.SetVoice(EngineVoiceToken(goodVoice)));
        auto pOpen = std::make_shared<CSpStream>();
        QVERIFY(pOpen->BindToFile(dir.filePath(QStringLiteral("b.wav")), format));
        QVERIFY(voiceUnderTest.SetOutput(pOpen, false));
        QVERIFY(voiceUnderTest.Speak(strText, SPF_ASYNC, &nStream));
        QCOMPARE(nStream, ULONG(1));
        QVERIFY(voiceUnderTest.WaitUntilDone(60000));
        const std::vector<SPEVENT> events = TakeEvents(voiceUnderTest);
        QCOMPARE(OfStream(events, 1).size(), events.size());
        QCOMPARE(events.front().eEventId, SPEI_START_INPUT_STREAM);
        QCOMPARE(events.back().eEventId, SPEI_END_INPUT_STREAM);
        QCOMPARE(Count(events, SPEI_START_INPUT_STREAM), 1);
        QVERIFY(pOpen->GetDataBytes() > 0);
    }

    // An engine that fails in the middle of a reading still ends the
    // stream, and the voice goes on with the next text.
    void synthesisFailureEndsTheStream_data()
    {
        QTest::addColumn<bool>("bFile");
        QTest::newRow("device") << false;
        QTest::newRow("file") << true;
    }
    void synthesisFailureEndsTheStream()
    {
        QFETCH(bool, bFile);
        CFakeEngine fake;
        fake.m_bSynthesisFails = true;
        CSpEngine::SetOverride(&fake);
        QTemporaryDir dir;
        CSpVoice voice;
        QVERIFY(voice.SetVoice(EngineVoiceToken("fake/one")));
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        WAVEFORMATEX format;
        QVERIFY(voice.GetFormat(&format));
        auto pStream = std::make_shared<CSpStream>();
        if (bFile)
        {
            QVERIFY(pStream->BindToFile(dir.filePath(QStringLiteral("f.wav")), format));
            QVERIFY(voice.SetOutput(pStream, false));
        }
        ULONG nStream = 0;
        QVERIFY(voice.Speak(g_strLongText, SPF_ASYNC, &nStream));
        QVERIFY(voice.WaitUntilDone(30000));
        std::vector<SPEVENT> events = TakeEvents(voice);
        QCOMPARE(int(events.size()), 2);
        QCOMPARE(events[0].eEventId, SPEI_START_INPUT_STREAM);
        QCOMPARE(events[1].eEventId, SPEI_END_INPUT_STREAM);
        QCOMPARE(events[1].ulStreamNum, nStream);

        fake.m_bSynthesisFails = false;
        QVERIFY(voice.Speak(QStringLiteral("Heard again."), SPF_ASYNC, &nStream));
        QVERIFY(voice.WaitUntilDone(30000));
        events = TakeEvents(voice);
        QCOMPARE(Count(events, SPEI_WORD_BOUNDARY), 2);
        QCOMPARE(events.back().eEventId, SPEI_END_INPUT_STREAM);
        QCOMPARE(events.back().ulStreamNum, nStream);
    }

    // Stop while paused, then a new text: the purge ends the wait at once
    // and the new text is heard to its last word, also when the pause came
    // before anything was spoken or the new text comes with the purge.
    void purgeEndsAPause_data()
    {
        QTest::addColumn<bool>("bFake");
        QTest::addColumn<bool>("bMidText");
        QTest::addColumn<bool>("bTextWithPurge");
        QTest::newRow("fake-idle-separate") << true << false << false;
        QTest::newRow("fake-idle-together") << true << false << true;
        QTest::newRow("fake-mid-separate") << true << true << false;
        QTest::newRow("fake-mid-together") << true << true << true;
        QTest::newRow("real-idle-together") << false << false << true;
        QTest::newRow("real-mid-separate") << false << true << false;
        QTest::newRow("real-mid-together") << false << true << true;
    }
    void purgeEndsAPause()
    {
        QFETCH(bool, bFake);
        QFETCH(bool, bMidText);
        QFETCH(bool, bTextWithPurge);
        CFakeEngine fake;
        if (bFake)
            CSpEngine::SetOverride(&fake);
        CSpVoice voice;
        QVERIFY(voice.SetVoice(EngineVoiceToken(bFake ? "fake/one" : "gmw/en-US")));
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        ULONG nFirst = 0;
        ULONG nQueued = 0;
        if (bMidText)
        {
            QVERIFY(voice.Speak(g_strLongText.repeated(3), SPF_ASYNC, &nFirst));
            QVERIFY(voice.Speak(g_strLongText, SPF_ASYNC, &nQueued));
            // The condition is evaluated again after it held: count, not take.
            int nWords = 0;
            QTRY_VERIFY_WITH_TIMEOUT((nWords += Count(TakeEvents(voice), SPEI_WORD_BOUNDARY)) > 0,
                                     20000);
        }
        QVERIFY(voice.Pause());
        if (bMidText)
            QVERIFY(!voice.WaitUntilDone(300));

        const QString strNew =
            QStringLiteral("The pause is over and these words play to the very end");
        ULONG nNew = 0;
        std::vector<SPEVENT> events;
        if (bTextWithPurge)
        {
            QVERIFY(voice.Speak(strNew, SPF_ASYNC | SPF_PURGEBEFORESPEAK, &nNew));
        }
        else
        {
            QVERIFY(voice.Speak(QString(), SPF_PURGEBEFORESPEAK));
            QVERIFY(voice.WaitUntilDone(10000));
            SPVOICESTATUS status;
            QVERIFY(voice.GetStatus(&status));
            QCOMPARE(status.dwRunningState, SPRS_DONE);
            events = TakeEvents(voice);
            QVERIFY(voice.Speak(strNew, SPF_ASYNC, &nNew));
        }
        QVERIFY(voice.WaitUntilDone(30000));
        SPVOICESTATUS status;
        QVERIFY(voice.GetStatus(&status));
        QCOMPARE(status.dwRunningState, SPRS_DONE);
        const std::vector<SPEVENT> later = TakeEvents(voice);
        events.insert(events.end(), later.begin(), later.end());
        if (bMidText)
        {
            const std::vector<SPEVENT> purged = OfStream(events, nFirst);
            QVERIFY(!purged.empty());
            QCOMPARE(purged.back().eEventId, SPEI_END_INPUT_STREAM);
            QVERIFY(OfStream(events, nQueued).empty());
        }
        const std::vector<SPEVENT> heard = OfStream(events, nNew);
        QVERIFY(!heard.empty());
        QCOMPARE(heard.front().eEventId, SPEI_START_INPUT_STREAM);
        QCOMPARE(heard.back().eEventId, SPEI_END_INPUT_STREAM);
        QCOMPARE(events.back().ulStreamNum, nNew);
        QVERIFY(Count(heard, SPEI_WORD_BOUNDARY) >= 8);
        const auto last =
            std::find_if(heard.rbegin(), heard.rend(),
                         [](const SPEVENT& e) { return e.eEventId == SPEI_WORD_BOUNDARY; });
        QCOMPARE(last->lParam, qint64(strNew.lastIndexOf(QLatin1Char(' ')) + 1));
    }

    // Every word event, spoken into a WAV file, must name a word of the text
    // exactly, in UTF-16 units of the text given to Speak.
    void wordPositions_data()
    {
        QTest::addColumn<QString>("strLanguage");
        QTest::addColumn<QString>("strText");
        QTest::addColumn<bool>("bXml");
        QTest::newRow("accents") << "409"
                                 << "Caf\u00e9 na\u00efve r\u00e9sum\u00e9, the \u00fcber "
                                    "fa\u00e7ade of a ni\u00f1o's pi\u00f1ata."
                                 << false;
        QTest::newRow("cyrillic") << "419"
                                  << "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440! "
                                     "\u042d\u0442\u043e \u0442\u0435\u0441\u0442."
                                  << false;
        QTest::newRow("cjk") << "804"
                             << "\u4f60\u597d\u4e16\u754c\u3002\u6211\u4eec\u8bf4"
                                "\u8bdd\u3002"
                             << false;
        QTest::newRow("non-bmp") << "409"
                                 << "Smile \U0001F600 now, then \U0001D4B3 math and "
                                    "\U0001F44D more words after them."
                                 << false;
        QTest::newRow("crlf-numbers") << "409"
                                      << "First line 42.\r\nSecond line 3.14 and 1,000 "
                                         "items.\r\n\r\nThird don't well-known end."
                                      << false;
        // Several engine inputs: positions stay those of the whole text.
        QTest::newRow("long-plain")
            << "409"
            << QStringLiteral("Caf\u00e9 \U0001F600 number 42, line\r\nand more words. ")
                   .repeated(120)
            << false;
        QTest::newRow("long-xml")
            << "409"
            << QStringLiteral(
                   "<rate speed=\"2\">na\u00efve \U0001D4B3 words</rate> &lt;and&gt; more. ")
                   .repeated(100)
            << true;
        QTest::newRow("xml-positions")
            << "409"
            << "Plain <rate speed=\"5\">faster words</rate> and <volume level=\"50\">quiet "
               "rock&amp;roll</volume> <unknown>kept</unknown> end."
            << true;
    }
    void wordPositions()
    {
        QFETCH(QString, strLanguage);
        QFETCH(QString, strText);
        QFETCH(bool, bXml);
        const CSpObjectTokenPtr pToken = TokenFor(strLanguage);
        QVERIFY2(pToken, qPrintable(strLanguage));

        QTemporaryDir dir;
        CSpVoice voice;
        WAVEFORMATEX format;
        QVERIFY(voice.GetFormat(&format));
        auto pStream = std::make_shared<CSpStream>();
        QVERIFY(pStream->BindToFile(dir.filePath(QStringLiteral("out.wav")), format));
        QVERIFY(voice.SetOutput(pStream, true));
        QVERIFY(voice.SetVoice(pToken));
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        QVERIFY(voice.Speak(strText, SPF_ASYNC | (bXml ? SPF_IS_XML : 0)));
        QVERIFY(voice.WaitUntilDone(60000));
        QVERIFY(pStream->Close());

        // What the words are in the text after markup is taken out: the
        // positions still index the text as given.
        QString strPlain = strText;
        if (bXml)
        {
            static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
            auto it = tag.globalMatch(strText);
            while (it.hasNext())
            {
                const auto match = it.next();
                strPlain.replace(match.capturedStart(), match.capturedLength(),
                                 QString(match.capturedLength(), QLatin1Char(' ')));
            }
            // An entity is its character, spread over the entity's length.
            strPlain.replace(QStringLiteral("&lt;"), QStringLiteral("<<<<"));
            strPlain.replace(QStringLiteral("&gt;"), QStringLiteral(">>>>"));
            strPlain.replace(QStringLiteral("&amp;"), QStringLiteral("&&&&&"));
        }
        const QList<QPair<int, int>> expected = ExpectedWords(strPlain);

        const std::vector<SPEVENT> events = TakeEvents(voice);
        QCOMPARE(Count(events, SPEI_START_INPUT_STREAM), 1);
        QCOMPARE(Count(events, SPEI_END_INPUT_STREAM), 1);
        QCOMPARE(events.front().eEventId, SPEI_START_INPUT_STREAM);
        QCOMPARE(events.back().eEventId, SPEI_END_INPUT_STREAM);
        int nLastPos = -1;
        quint64 nLastOffset = 0;
        int nWords = 0;
        for (const SPEVENT& event : events)
        {
            if (event.eEventId != SPEI_WORD_BOUNDARY)
                continue;
            ++nWords;
            const QPair<int, int> word{int(event.lParam), int(event.wParam)};
            QVERIFY2(expected.contains(word),
                     qPrintable(QStringLiteral("%1+%2 \"%3\"")
                                    .arg(word.first)
                                    .arg(word.second)
                                    .arg(strText.mid(word.first, word.second))));
            QVERIFY(word.first > nLastPos);
            QVERIFY(event.ullAudioStreamOffset >= nLastOffset);
            QVERIFY(event.ullAudioStreamOffset <= pStream->GetDataBytes());
            nLastPos = word.first;
            nLastOffset = event.ullAudioStreamOffset;
        }
        // Most words are announced (the engine skips a few, such as the
        // parts of a number).
        QVERIFY2(nWords * 4 >= int(expected.size()) * 3,
                 qPrintable(QStringLiteral("%1 of %2").arg(nWords).arg(expected.size())));

        const QString strPath = dir.filePath(QStringLiteral("out.wav"));
        const KbTest::SWaveInfo info = KbTest::ReadWaveInfo(strPath);
        QVERIFY(info.bValid);
        QVERIFY(!info.bRf64);
        const qint64 nFileSize = QFileInfo(strPath).size();
        QCOMPARE(info.nRiffSize, quint64(nFileSize - 8));
        QCOMPARE(info.nDataBytes, quint64(nFileSize - info.nDataOffset));
        QCOMPARE(info.nDataBytes, pStream->GetDataBytes());
        QCOMPARE(info.nSamplesPerSec, format.nSamplesPerSec);
        QVERIFY(info.nDataBytes > 22050);
    }

    // Texts spoken one after another into one file: each word's offset is
    // its place in the file's audio, so the second text's words come after
    // all of the first text's audio.
    void utterancesIntoOneFileCountFromItsStart_data()
    {
        QTest::addColumn<QString>("strFirst");
        QTest::addColumn<bool>("bFirstXml");
        QTest::addColumn<bool>("bFake");
        QTest::newRow("markup-then-text")
            << QStringLiteral("Document<silence msec=\"300\"/>Report") << true << false;
        QTest::newRow("text-then-text") << QStringLiteral("Two words.") << false << false;
        QTest::newRow("fake-engine") << QStringLiteral("Three short words") << false << true;
    }
    void utterancesIntoOneFileCountFromItsStart()
    {
        QFETCH(QString, strFirst);
        QFETCH(bool, bFirstXml);
        QFETCH(bool, bFake);
        CFakeEngine fake;
        if (bFake)
            CSpEngine::SetOverride(&fake);
        QTemporaryDir dir;
        CSpVoice voice;
        if (bFake)
            QVERIFY(voice.SetVoice(EngineVoiceToken("fake/one")));
        WAVEFORMATEX format;
        QVERIFY(voice.GetFormat(&format));
        auto pStream = std::make_shared<CSpStream>();
        QVERIFY(pStream->BindToFile(dir.filePath(QStringLiteral("two.wav")), format));
        QVERIFY(voice.SetOutput(pStream, true));
        QVERIFY(voice.SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY)));
        ULONG nFirst = 0;
        QVERIFY(voice.Speak(strFirst, bFirstXml ? SPF_IS_XML : SPF_DEFAULT, &nFirst));
        const quint64 nFirstBytes = pStream->GetDataBytes();
        QVERIFY(nFirstBytes > 0);
        ULONG nSecond = 0;
        QVERIFY(
            voice.Speak(QStringLiteral("Then the second text follows."), SPF_DEFAULT, &nSecond));
        const quint64 nAllBytes = pStream->GetDataBytes();
        QVERIFY(nAllBytes > nFirstBytes);
        const std::vector<SPEVENT> events = TakeEvents(voice);
        const std::vector<SPEVENT> first = OfStream(events, nFirst);
        const std::vector<SPEVENT> second = OfStream(events, nSecond);
        QVERIFY(first.size() >= 2);
        QVERIFY(second.size() >= 4);
        for (const SPEVENT& event : first)
            QVERIFY(event.ullAudioStreamOffset < nFirstBytes);
        QCOMPARE(second.front().ullAudioStreamOffset, nFirstBytes);
        quint64 nLast = 0;
        for (const SPEVENT& event : second)
        {
            QVERIFY(event.ullAudioStreamOffset >= nLast);
            QVERIFY(event.ullAudioStreamOffset < nAllBytes);
            nLast = event.ullAudioStreamOffset;
        }
        QVERIFY(second.back().ullAudioStreamOffset > nFirstBytes);
    }

    void emptyTextStartsAndEnds()
    {
        CSpVoice voice;
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        ULONG nStream = 0;
        QVERIFY(voice.Speak(QString(), SPF_ASYNC, &nStream));
        QVERIFY(voice.WaitUntilDone(5000));
        const std::vector<SPEVENT> events = TakeEvents(voice);
        QCOMPARE(int(events.size()), 2);
        QCOMPARE(events[0].eEventId, SPEI_START_INPUT_STREAM);
        QCOMPARE(events[1].eEventId, SPEI_END_INPUT_STREAM);
        QCOMPARE(events[1].ulStreamNum, nStream);
        SPVOICESTATUS status;
        QVERIFY(voice.GetStatus(&status));
        QCOMPARE(status.dwRunningState, SPRS_DONE);
    }

    // A purge silences the text being read at once, still ends its stream,
    // and drops what was queued behind it without a trace.
    void purgeEndsAtOnce()
    {
        CSpVoice voice;
        CNotifyCounter window;
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        QVERIFY(voice.SetNotifyWindowMessage(&window, WM_SPEECH_EVENT, 0, 0));
        ULONG nFirst = 0;
        ULONG nSecond = 0;
        QVERIFY(voice.Speak(g_strLongText.repeated(20), SPF_ASYNC, &nFirst));
        QVERIFY(voice.Speak(g_strLongText, SPF_ASYNC, &nSecond));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&]()
            {
                SPVOICESTATUS status;
                voice.GetStatus(&status);
                return status.ulInputWordPos > 0;
            }(),
            10000);
        QVERIFY(window.m_nNotices > 0);
        QVERIFY(!voice.WaitUntilDone(100));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(voice.Speak(QString(), SPF_PURGEBEFORESPEAK));
        QVERIFY(voice.WaitUntilDone(2000));
        QVERIFY(timer.elapsed() < 1000);
        const std::vector<SPEVENT> events = TakeEvents(voice);
        QCOMPARE(events.back().eEventId, SPEI_END_INPUT_STREAM);
        QCOMPARE(events.back().ulStreamNum, nFirst);
        for (const SPEVENT& event : events)
            QVERIFY(event.ulStreamNum != nSecond);

        // The voice goes on with the next text as usual.
        QVERIFY(voice.Speak(QStringLiteral("Again."), SPF_ASYNC));
        QVERIFY(voice.WaitUntilDone(10000));
        QCOMPARE(Count(TakeEvents(voice), SPEI_END_INPUT_STREAM), 1);
    }

    // While paused nothing is heard, no word passes and the wait goes on;
    // Resume continues where it stopped.
    void pauseHoldsTheReading()
    {
        CSpVoice voice;
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        QVERIFY(voice.Speak(g_strLongText, SPF_ASYNC));
        int nWords = 0;
        auto words = [&]()
        {
            nWords += Count(TakeEvents(voice), SPEI_WORD_BOUNDARY);
            return nWords;
        };
        QTRY_VERIFY_WITH_TIMEOUT(words() > 0, 10000);
        QVERIFY(voice.Pause());
        QTest::qWait(400); // what the device still held is played out
        TakeEvents(voice);
        SPVOICESTATUS before;
        voice.GetStatus(&before);
        QVERIFY(!voice.WaitUntilDone(800));
        SPVOICESTATUS during;
        voice.GetStatus(&during);
        QCOMPARE(during.ulInputWordPos, before.ulInputWordPos);
        QCOMPARE(Count(TakeEvents(voice), SPEI_WORD_BOUNDARY), 0);
        QVERIFY(voice.Resume());
        nWords = 0;
        QTRY_VERIFY_WITH_TIMEOUT(words() > 0, 5000);
        SPVOICESTATUS after;
        voice.GetStatus(&after);
        QVERIFY(after.ulInputWordPos > before.ulInputWordPos);
        QVERIFY(voice.Speak(QString(), SPF_PURGEBEFORESPEAK));
        QVERIFY(voice.WaitUntilDone(2000));
    }

    // A device that breaks, or whose clock stands still, ends the utterance
    // with its end-of-stream event instead of hanging the reading.
    void failingDeviceEndsTheUtterance_data()
    {
        QTest::addColumn<int>("nMode");
        QTest::newRow("fails") << int(CBreakingSink::Fails);
        QTest::newRow("stalls") << int(CBreakingSink::Stalls);
    }
    void failingDeviceEndsTheUtterance()
    {
        QFETCH(int, nMode);
        CSpAudioSink::SetFactory(
            [nMode]() { return std::make_unique<CBreakingSink>(CBreakingSink::EMode(nMode)); });
        CSpVoice voice;
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        QVERIFY(voice.Speak(g_strLongText.repeated(5), SPF_ASYNC));
        QVERIFY(voice.WaitUntilDone(8000));
        const std::vector<SPEVENT> events = TakeEvents(voice);
        QCOMPARE(Count(events, SPEI_END_INPUT_STREAM), 1);
        QCOMPARE(events.back().eEventId, SPEI_END_INPUT_STREAM);
    }

    // Bookmarks come back with their names, and a text without markup flag
    // is read as it is, angle brackets included.
    void bookmarksAndPlainBrackets()
    {
        QTemporaryDir dir;
        CSpVoice voice;
        WAVEFORMATEX format;
        voice.GetFormat(&format);
        auto pStream = std::make_shared<CSpStream>();
        QVERIFY(pStream->BindToFile(dir.filePath(QStringLiteral("b.wav")), format));
        QVERIFY(voice.SetOutput(pStream, false));
        QCOMPARE(voice.GetOutputStream(), pStream);
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        QVERIFY(voice.Speak(QStringLiteral("One <bookmark mark=\"7\"/> two, <silence msec=\"300\"/>"
                                           "three."),
                            SPF_IS_XML));
        std::vector<SPEVENT> events = TakeEvents(voice);
        QCOMPARE(Count(events, SPEI_TTS_BOOKMARK), 1);
        for (const SPEVENT& event : events)
        {
            if (event.eEventId == SPEI_TTS_BOOKMARK)
            {
                QCOMPARE(event.strBookmark, QStringLiteral("7"));
                QCOMPARE(event.lParam, qint64(7));
            }
        }
        const QString strPlain = QStringLiteral("a <test> b");
        QVERIFY(voice.Speak(strPlain, SPF_DEFAULT));
        events = TakeEvents(voice);
        QList<int> positions;
        for (const SPEVENT& event : events)
        {
            if (event.eEventId == SPEI_WORD_BOUNDARY)
                positions.append(int(event.lParam));
        }
        QVERIFY2(positions.contains(3), "the bracketed word is spoken");
    }

    // Volume scales the samples; 0 is silence.
    void volumeScalesTheAudio()
    {
        CSpVoice voice;
        const QString strText = QStringLiteral("Hello there, loud and clear.");
        const int nFull = Peak(SpeakToSamples(voice, strText, SPF_DEFAULT));
        QVERIFY(nFull > 1000);
        voice.SetVolume(50);
        const int nHalf = Peak(SpeakToSamples(voice, strText, SPF_DEFAULT));
        // The engine's output varies by a few samples from run to run.
        QVERIFY2(qAbs(nHalf * 2 - nFull) <= nFull / 50,
                 qPrintable(QStringLiteral("%1 %2").arg(nHalf).arg(nFull)));
        voice.SetVolume(0);
        QCOMPARE(Peak(SpeakToSamples(voice, strText, SPF_DEFAULT)), 0);
    }

    // Each markup tag changes what is heard the way its name says; unknown
    // tags are ignored, their text is still spoken.
    void markupChangesTheSpeech_data()
    {
        QTest::addColumn<QString>("strXml");
        QTest::addColumn<double>("dMinRatio");
        QTest::addColumn<double>("dMaxRatio");
        const QString t = QStringLiteral("Seven words are spoken in this sentence.");
        // The engine's markup mode adds a pause of its own at the end.
        QTest::newRow("plain-as-xml") << t << 0.9 << 1.3;
        QTest::newRow("unknown-tag") << "<foo bar=\"1\">" + t + "</foo>" << 0.9 << 1.3;
        QTest::newRow("rate-fast") << "<rate absspeed=\"10\">" + t + "</rate>" << 0.2 << 0.55;
        QTest::newRow("rate-slow") << "<rate speed=\"-10\">" + t + "</rate>" << 1.8 << 4.0;
        QTest::newRow("silence") << t + "<silence msec=\"2000\"/>" + t << 2.3 << 3.3;
        QTest::newRow("spell") << "<spell>" + t + "</spell>" << 2.0 << 20.0;
        QTest::newRow("empty-rate-tag") << "<rate absspeed=\"10\"/>" + t << 0.2 << 0.55;
        QTest::newRow("comment") << "<!-- <rate absspeed=\"10\"> -->" + t << 0.9 << 1.3;
    }
    void markupChangesTheSpeech()
    {
        QFETCH(QString, strXml);
        QFETCH(double, dMinRatio);
        QFETCH(double, dMaxRatio);
        CSpVoice voice;
        const double dBase =
            double(SpeakToSamples(voice, QStringLiteral("Seven words are spoken in this sentence."),
                                  SPF_DEFAULT)
                       .size());
        const double dRatio = double(SpeakToSamples(voice, strXml, SPF_IS_XML).size()) / dBase;
        QVERIFY2(dRatio >= dMinRatio && dRatio <= dMaxRatio, qPrintable(QString::number(dRatio)));
    }

    // Markup that changes volume, pitch, language or voice is heard: the
    // audio differs from the plain reading, and the text stays spoken.
    void markupChangesTheSound_data()
    {
        QTest::addColumn<QString>("strXml");
        const QString t = QStringLiteral("Bonjour, hello there.");
        QTest::newRow("volume") << "<volume level=\"30\">" + t + "</volume>";
        QTest::newRow("pitch") << "<pitch absmiddle=\"10\">" + t + "</pitch>";
        QTest::newRow("emph") << "<emph>" + t + "</emph>";
        QTest::newRow("lang") << "<lang langid=\"40c\">" + t + "</lang>";
        QTest::newRow("voice") << "<voice required=\"Gender=Female\">" + t + "</voice>";
    }
    void markupChangesTheSound()
    {
        QFETCH(QString, strXml);
        CSpVoice voice;
        voice.SetVoice(TokenFor(QStringLiteral("409"), QStringLiteral("Gender=Male")));
        const std::vector<qint16> plain =
            SpeakToSamples(voice, QStringLiteral("Bonjour, hello there."), SPF_IS_XML);
        const std::vector<qint16> marked = SpeakToSamples(voice, strXml, SPF_IS_XML);
        QVERIFY(plain.size() > 11025 && marked.size() > 11025);
        QVERIFY(plain != marked);
    }

    // A rate change during a reading is heard within about a second: the
    // words come clearly faster soon after it.
    void rateChangeDuringReading()
    {
        CSpVoice voice;
        QVERIFY(voice.SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY)));
        QVERIFY(voice.Speak(g_strLongText.repeated(4), SPF_ASYNC));
        QElapsedTimer timer;
        timer.start();
        auto wordsDuring = [&](qint64 nFromMs, qint64 nToMs)
        {
            while (timer.elapsed() < nFromMs)
                QTest::qWait(5);
            TakeEvents(voice);
            while (timer.elapsed() < nToMs)
                QTest::qWait(5);
            return Count(TakeEvents(voice), SPEI_WORD_BOUNDARY);
        };
        const int nBefore = wordsDuring(300, 2300);
        QVERIFY(voice.SetRate(10));
        const int nAfter = wordsDuring(3300, 5300);
        QVERIFY2(nAfter >= nBefore * 2,
                 qPrintable(QStringLiteral("%1 then %2 words").arg(nBefore).arg(nAfter)));
        voice.Speak(QString(), SPF_PURGEBEFORESPEAK);
        QVERIFY(voice.WaitUntilDone(2000));
    }

    void rangesAndRates()
    {
        CSpVoice voice;
        QVERIFY(!voice.SetRate(11));
        QVERIFY(!voice.SetRate(-11));
        QVERIFY(voice.SetRate(-10));
        long nRate = 0;
        QVERIFY(voice.GetRate(&nRate));
        QCOMPARE(nRate, -10L);
        QVERIFY(!voice.SetVolume(101));
        QVERIFY(voice.SetVolume(0));
        // Rate 10 is about three times as fast as 0, -10 three times as slow;
        // the engine speaks no slower than its minimum, the rest is stretched.
        QVERIFY(qAbs(CSpVoice::WordsPerMinute(10) / CSpVoice::WordsPerMinute(0) - 3.0) < 0.01);
        QVERIFY(qAbs(CSpVoice::WordsPerMinute(0) / CSpVoice::WordsPerMinute(-10) - 3.0) < 0.01);
        QCOMPARE(CSpVoice::EngineRate(CSpVoice::WordsPerMinute(-10), 80), 80);
        QCOMPARE(CSpVoice::EngineRate(CSpVoice::WordsPerMinute(10), 80), 525);
    }

    // Slow speech lasts longer: the stretched audio of rate -10 is about three
    // times as long as that of rate 10 is short.
    void rateChangesTheLength()
    {
        QTemporaryDir dir;
        quint64 nBytes[2] = {};
        int nWords[2] = {};
        for (int i = 0; i < 2; ++i)
        {
            CSpVoice voice;
            WAVEFORMATEX format;
            voice.GetFormat(&format);
            auto pStream = std::make_shared<CSpStream>();
            QVERIFY(pStream->BindToFile(dir.filePath(QStringLiteral("r%1.wav").arg(i)), format));
            QVERIFY(voice.SetOutput(pStream, false));
            QVERIFY(voice.SetRate(i == 0 ? -10 : 0));
            QVERIFY(voice.SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY)));
            QVERIFY(voice.Speak(g_strLongText, SPF_DEFAULT));
            nBytes[i] = pStream->GetDataBytes();
            // Stretched audio keeps every word, each within the audio.
            const std::vector<SPEVENT> events = TakeEvents(voice);
            nWords[i] = Count(events, SPEI_WORD_BOUNDARY);
            for (const SPEVENT& event : events)
                QVERIFY(event.ullAudioStreamOffset <= nBytes[i]);
        }
        QCOMPARE(nWords[0], nWords[1]);
        QVERIFY(nWords[0] > 20);
        const double dRatio = double(nBytes[0]) / double(nBytes[1]);
        QVERIFY2(dRatio > 2.3 && dRatio < 3.7, qPrintable(QString::number(dRatio)));
    }
};

QTEST_GUILESS_MAIN(CSpVoiceTest)
#include "tst_spvoice.moc"
