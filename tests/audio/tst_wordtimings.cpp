#include "audio/wordtimings.h"
#include "speech/spvoice.h"
#include "tests/support/mediaprobe.h"
#include "tests/support/wavefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace
{
// Timings at one byte per millisecond, each word found in the text in
// turn, as a word event names it.
bool AddWords(CWordTimings& timings, ULONG nStream, const QString& strText,
              const QStringList& words, const QList<int>& ms)
{
    int nFrom = 0;
    for (qsizetype i = 0; i < words.size(); ++i)
    {
        const int nPos = int(strText.indexOf(words[i], nFrom));
        if (nPos < 0 || !timings.AddWord(nStream, quint64(ms.value(i, int(i) * 300)), nPos,
                                         int(words[i].size())))
            return false;
        nFrom = nPos + int(words[i].size());
    }
    return true;
}

struct SCue
{
    int nIndex = 0;
    quint32 nStartMs = 0;
    quint32 nEndMs = 0;
    QString strText;
};

// A SubRip reader of the test's own: blocks parted by a blank line, each an
// index, a time line and text lines.
bool ParseSrt(const QByteArray& srt, std::vector<SCue>& cues)
{
    const QString strText = QString::fromUtf8(srt);
    if (strText.toUtf8() != srt)
        return false;
    static const QRegularExpression time(QStringLiteral(
        "^(\\d{2,}):(\\d\\d):(\\d\\d),(\\d{3}) --> (\\d{2,}):(\\d\\d):(\\d\\d),(\\d{3})$"));
    auto ms = [](const QRegularExpressionMatch& match, int nFirst)
    {
        return quint32(match.captured(nFirst).toUInt() * 3600000 +
                       match.captured(nFirst + 1).toUInt() * 60000 +
                       match.captured(nFirst + 2).toUInt() * 1000 +
                       match.captured(nFirst + 3).toUInt());
    };
    const QStringList blocks = strText.split(QStringLiteral("\r\n\r\n"), Qt::SkipEmptyParts);
    if (!strText.endsWith(QStringLiteral("\r\n\r\n")))
        return false;
    for (const QString& strBlock : blocks)
    {
        const QStringList lines = strBlock.split(QStringLiteral("\r\n"));
        if (lines.size() < 3)
            return false;
        const QRegularExpressionMatch match = time.match(lines[1]);
        bool bOk = false;
        SCue cue;
        cue.nIndex = lines[0].toInt(&bOk);
        if (!bOk || !match.hasMatch())
            return false;
        cue.nStartMs = ms(match, 1);
        cue.nEndMs = ms(match, 5);
        cue.strText = lines.mid(2).join(QLatin1Char('\n'));
        cues.push_back(cue);
    }
    return true;
}

struct SSyltFrame
{
    QByteArray id;
    quint32 nSize = 0;
    QByteArray flags;
    int nEncoding = -1;
    QByteArray language;
    int nTimeFormat = -1;
    int nContentType = -1;
    QString strDescriptor;
    QStringList texts;
    QList<quint32> times;
};

// An ID3v2 SYLT reader of the test's own; false when the bytes do not add
// up to one frame.
bool ParseSylt(const QByteArray& frame, int nVersion, SSyltFrame& out)
{
    if (frame.size() < 10)
        return false;
    out.id = frame.left(4);
    const quint32 nRaw = qFromBigEndian<quint32>(frame.constData() + 4);
    if (nVersion == 4)
    {
        if (nRaw & 0x80808080u)
            return false;
        out.nSize = (nRaw & 0x7F) | ((nRaw >> 1) & 0x3F80) | ((nRaw >> 2) & 0x1FC000) |
                    ((nRaw >> 3) & 0x0FE00000);
    }
    else
    {
        out.nSize = nRaw;
    }
    out.flags = frame.mid(8, 2);
    const QByteArray body = frame.mid(10);
    if (quint32(body.size()) != out.nSize || body.size() < 6)
        return false;
    out.nEncoding = uchar(body.at(0));
    out.language = body.mid(1, 3);
    out.nTimeFormat = uchar(body.at(4));
    out.nContentType = uchar(body.at(5));
    int nAt = 6;
    auto readText = [&](QString& str)
    {
        if (out.nEncoding == 1)
        {
            if (nAt + 2 > body.size() || body.mid(nAt, 2) != QByteArray("\xFF\xFE", 2))
                return false;
            nAt += 2;
            str.clear();
            while (nAt + 1 < body.size())
            {
                const char16_t c = qFromLittleEndian<quint16>(body.constData() + nAt);
                nAt += 2;
                if (c == 0)
                    return true;
                str.append(QChar(c));
            }
            return false;
        }
        const int nEnd = int(body.indexOf('\0', nAt));
        if (nEnd < 0)
            return false;
        str = QString::fromUtf8(body.mid(nAt, nEnd - nAt));
        nAt = nEnd + 1;
        return true;
    };
    if (!readText(out.strDescriptor))
        return false;
    while (nAt < body.size())
    {
        QString str;
        if (!readText(str) || nAt + 4 > body.size())
            return false;
        out.texts.append(str);
        out.times.append(qFromBigEndian<quint32>(body.constData() + nAt));
        nAt += 4;
    }
    return true;
}

QByteArray Syncsafe(quint32 n)
{
    QByteArray out(4, '\0');
    for (int i = 3; i >= 0; --i, n >>= 7)
        out[i] = char(n & 0x7F);
    return out;
}

int Peak(const std::vector<qint16>& samples, qint64 nFrom, qint64 nTo)
{
    int nPeak = 0;
    for (qint64 i = qMax<qint64>(0, nFrom); i < qMin<qint64>(nTo, qint64(samples.size())); ++i)
        nPeak = qMax(nPeak, qAbs(int(samples[size_t(i)])));
    return nPeak;
}

const QString g_strLrcText = QStringLiteral("Hello there. Bye now!");
} // namespace

class CWordTimingsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A rendering as the window makes it: the heading as markup, then the
    // document, both spoken into one WAV file; the times of the words are
    // where they are heard in that file.
    void realRendering()
    {
        QTemporaryDir dir;
        const QString strWav = dir.filePath(QStringLiteral("book.wav"));
        CSpVoice voice;
        WAVEFORMATEX format;
        QVERIFY(voice.GetFormat(&format));
        auto pStream = std::make_shared<CSpStream>();
        QVERIFY(pStream->BindToFile(strWav, format));
        QVERIFY(voice.SetOutput(pStream, true));
        QVERIFY(voice.SetInterest(SPFEI_ALL_TTS_EVENTS, SPFEI_ALL_TTS_EVENTS));
        const QString strHeading = QStringLiteral("Document<silence msec=\"300\"/>Report");
        const QString strText = QStringLiteral("First sentence here. Second one follows!");
        ULONG nHeading = 0;
        ULONG nText = 0;
        QVERIFY(voice.Speak(strHeading, SPF_ASYNC | SPF_IS_XML, &nHeading));
        QVERIFY(voice.WaitUntilDone(60000));
        const quint64 nHeadingBytes = pStream->GetDataBytes();
        QVERIFY(voice.Speak(strText, SPF_ASYNC, &nText));
        QVERIFY(voice.WaitUntilDone(60000));
        QVERIFY(pStream->Close());
        voice.SetOutput(nullptr, true);

        CWordTimings timings(format.nAvgBytesPerSec);
        QVERIFY(timings.AddUtterance(nHeading, strHeading, true));
        QVERIFY(timings.AddUtterance(nText, strText, false));
        SPEVENT event;
        int nTaken = 0;
        while (voice.GetEvents(1, &event, nullptr))
            nTaken += timings.AddEvent(event) ? 1 : 0;
        const std::vector<CWordTimings::SEntry> entries = timings.Entries();
        QCOMPARE(nTaken, int(entries.size()));
        QStringList words;
        QList<int> sentences;
        for (const CWordTimings::SEntry& entry : entries)
        {
            words.append(entry.strWord);
            sentences.append(entry.nSentence);
        }
        QCOMPARE(words, QStringList({"Document", "Report", "First", "sentence", "here", "Second",
                                     "one", "follows"}));
        QCOMPARE(sentences, QList<int>({0, 0, 1, 1, 1, 2, 2, 2}));

        const std::vector<qint16> samples = KbTest::ReadWaveSamples(strWav);
        QVERIFY(!samples.empty());
        const quint32 nTotalMs = quint32(quint64(samples.size()) * 1000 / format.nSamplesPerSec);
        const QJsonObject probe = KbTest::Ffprobe(strWav);
        const double dProbeSeconds =
            probe.value("format").toObject().value("duration").toString().toDouble();
        QVERIFY2(qAbs(dProbeSeconds * 1000.0 - nTotalMs) < 1.0,
                 qPrintable(QString::number(dProbeSeconds)));
        for (size_t i = 0; i < entries.size(); ++i)
        {
            QVERIFY(entries[i].nMs < nTotalMs);
            if (i > 0)
                QVERIFY2(entries[i].nMs > entries[i - 1].nMs, qPrintable(entries[i].strWord));
        }
        // The document's first word starts where the heading's audio ends.
        QCOMPARE(entries[2].nMs, quint32(nHeadingBytes * 1000 / format.nAvgBytesPerSec));
        QVERIFY(entries[1].nMs >= entries[0].nMs + 300);
        // Just before a word that follows a pause the file is silent: the
        // times are those of the audio, not of the utterance.
        const qint64 nRate = format.nSamplesPerSec;
        for (int nWord : {1, 5})
        {
            const qint64 nAt = qint64(entries[size_t(nWord)].nMs) * nRate / 1000;
            QVERIFY2(Peak(samples, nAt - nRate * 150 / 1000, nAt - nRate * 20 / 1000) < 500,
                     qPrintable(entries[size_t(nWord)].strWord));
            QVERIFY2(Peak(samples, nAt, nAt + nRate * 200 / 1000) > 2000,
                     qPrintable(entries[size_t(nWord)].strWord));
        }

        std::vector<SCue> cues;
        QVERIFY(ParseSrt(timings.SrtText(nTotalMs), cues));
        QCOMPARE(int(cues.size()), 3);
        const QStringList texts{QStringLiteral("Document Report"),
                                QStringLiteral("First sentence here."),
                                QStringLiteral("Second one follows!")};
        const QList<int> firstWords{0, 2, 5};
        for (size_t i = 0; i < cues.size(); ++i)
        {
            QCOMPARE(cues[i].nIndex, int(i) + 1);
            QCOMPARE(cues[i].strText, texts[qsizetype(i)]);
            QCOMPARE(cues[i].nStartMs, entries[size_t(firstWords[qsizetype(i)])].nMs);
            QVERIFY(cues[i].nEndMs > cues[i].nStartMs);
            if (i > 0)
                QCOMPARE(cues[i].nStartMs, cues[i - 1].nEndMs);
        }
        QCOMPARE(cues.back().nEndMs, nTotalMs);

        const QStringList lrc = QString::fromUtf8(timings.LrcText()).split(QLatin1Char('\n'));
        QCOMPARE(lrc.size(), 4);
        QVERIFY(lrc.last().isEmpty());
        QVERIFY(lrc[1].contains(QStringLiteral(">First <")));
        QVERIFY(lrc[2].endsWith(QStringLiteral(">follows!")));
    }

    // Sentences end at . ! ? (and the wide stops) before white space or the
    // end, and at a paragraph break; markup is read the way the voice reads
    // it; each sentence is one cue of the text as written.
    void sentencesAndWords_data()
    {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<bool>("bXml");
        QTest::addColumn<QStringList>("events"); // as the events name them
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QList<int>>("sentences");
        QTest::addColumn<QStringList>("cues");
        QTest::newRow("two-sentences")
            << QStringLiteral("First one here. Second one!") << false
            << QStringList{"First", "one", "here", "Second", "one"}
            << QStringList{"First", "one", "here", "Second", "one"} << QList<int>{0, 0, 0, 1, 1}
            << QStringList{"First one here.", "Second one!"};
        QTest::newRow("paragraph-break")
            << QStringLiteral("Title line\nBody  text here.") << false
            << QStringList{"Title", "line", "Body", "text", "here"}
            << QStringList{"Title", "line", "Body", "text", "here"} << QList<int>{0, 0, 1, 1, 1}
            << QStringList{"Title line", "Body text here."};
        QTest::newRow("question-in-quotes")
            << QStringLiteral("He asked \"Why?\" Then left.") << false
            << QStringList{"He", "asked", "Why", "Then", "left"}
            << QStringList{"He", "asked", "Why", "Then", "left"} << QList<int>{0, 0, 0, 1, 1}
            << QStringList{"He asked \"Why?\"", "Then left."};
        QTest::newRow("decimal-point")
            << QStringLiteral("Pi is 3.14 today. Yes.") << false
            << QStringList{"Pi", "is", "3.14", "today", "Yes"}
            << QStringList{"Pi", "is", "3.14", "today", "Yes"} << QList<int>{0, 0, 0, 0, 1}
            << QStringList{"Pi is 3.14 today.", "Yes."};
        QTest::newRow("word-without-event")
            << QStringLiteral("Call 555 now. Done.") << false << QStringList{"Call", "now", "Done"}
            << QStringList{"Call", "now", "Done"} << QList<int>{0, 0, 1}
            << QStringList{"Call 555 now.", "Done."};
        QTest::newRow("ellipsis") << QStringLiteral("Wait... what?") << false
                                  << QStringList{"Wait", "what"} << QStringList{"Wait", "what"}
                                  << QList<int>{0, 1} << QStringList{"Wait...", "what?"};
        QTest::newRow("wide-stops")
            << QStringLiteral("\u4f60\u597d\u3002\u4e16\u754c\uff01") << false
            << QStringList{"\u4f60", "\u597d", "\u4e16", "\u754c"}
            << QStringList{"\u4f60", "\u597d", "\u4e16", "\u754c"} << QList<int>{0, 0, 1, 1}
            << QStringList{"\u4f60\u597d\u3002", "\u4e16\u754c\uff01"};
        QTest::newRow("markup-pause")
            << QStringLiteral("Document<silence msec=\"300\"/>Report") << true
            << QStringList{"Document", "Report"} << QStringList{"Document", "Report"}
            << QList<int>{0, 0} << QStringList{"Document Report"};
        QTest::newRow("markup-entity-and-bookmark")
            << QStringLiteral("Tom &amp; Jerry<bookmark mark=\"1\"/>run.") << true
            << QStringList{"Tom", "&amp;", "Jerry", "run"}
            << QStringList{"Tom", "&", "Jerry", "run"} << QList<int>{0, 0, 0, 0}
            << QStringList{"Tom & Jerry run."};
        QTest::newRow("markup-inside-word-and-comment")
            << QStringLiteral("Doc<emph>ument</emph> ends. <!-- Not. Heard. --> Next") << true
            << QStringList{"Doc<emph>ument", "ends", "Next"}
            << QStringList{"Document", "ends", "Next"} << QList<int>{0, 0, 1}
            << QStringList{"Document ends.", "Next"};
    }
    void sentencesAndWords()
    {
        QFETCH(QString, strText);
        QFETCH(bool, bXml);
        QFETCH(QStringList, events);
        QFETCH(QStringList, words);
        QFETCH(QList<int>, sentences);
        QFETCH(QStringList, cues);
        CWordTimings timings(1000);
        QVERIFY(timings.AddUtterance(7, strText, bXml));
        QVERIFY(AddWords(timings, 7, strText, events, {}));
        QStringList foundWords;
        QList<int> foundSentences;
        for (const CWordTimings::SEntry& entry : timings.Entries())
        {
            foundWords.append(entry.strWord);
            foundSentences.append(entry.nSentence);
        }
        QCOMPARE(foundWords, words);
        QCOMPARE(foundSentences, sentences);
        std::vector<SCue> parsed;
        QVERIFY(ParseSrt(timings.SrtText(60000), parsed));
        QStringList foundCues;
        for (const SCue& cue : parsed)
            foundCues.append(cue.strText);
        QCOMPARE(foundCues, cues);
    }

    // Utterances number their sentences on from the one before; a word
    // handed over late still takes its place by time; what names no known
    // word is refused.
    void utterancesAndBadEvents()
    {
        CWordTimings timings(1000);
        QVERIFY(timings.AddUtterance(3, QStringLiteral("Head. Line"), false));
        QVERIFY(!timings.AddUtterance(3, QStringLiteral("Again"), false));
        QVERIFY(!timings.AddUtterance(2, QStringLiteral("Earlier"), false));
        QVERIFY(!timings.AddUtterance(9, QString(), false));
        QVERIFY(timings.AddUtterance(5, QStringLiteral("Body text. End"), false));
        QVERIFY(timings.AddWord(3, 0, 0, 4));
        QVERIFY(timings.AddWord(5, 900, 0, 4));
        QVERIFY(timings.AddWord(3, 400, 6, 4));
        QVERIFY(!timings.AddWord(3, 450, 6, 4)); // the engine's repeat
        QVERIFY(timings.AddWord(5, 1500, 11, 3));
        QVERIFY(!timings.AddWord(4, 10, 0, 1));  // no such utterance
        QVERIFY(!timings.AddWord(5, 10, 12, 3)); // past the text's end
        QVERIFY(!timings.AddWord(5, 10, -1, 2));
        QVERIFY(!timings.AddWord(5, 10, 4, 0));
        QVERIFY(!timings.AddWord(5, 10, 4, 1)); // white space only
        SPEVENT bookmark;
        bookmark.eEventId = SPEI_TTS_BOOKMARK;
        bookmark.ulStreamNum = 5;
        bookmark.wParam = 2;
        QVERIFY(!timings.AddEvent(bookmark));
        SPEVENT word = bookmark;
        word.eEventId = SPEI_WORD_BOUNDARY;
        word.ullAudioStreamOffset = 1200;
        word.lParam = 5;
        word.wParam = 4;
        QVERIFY(timings.AddEvent(word));
        QStringList found;
        for (const CWordTimings::SEntry& entry : timings.Entries())
            found.append(
                QStringLiteral("%1@%2#%3").arg(entry.strWord).arg(entry.nMs).arg(entry.nSentence));
        QCOMPARE(found, QStringList(
                            {"Head@0#0", "Line@400#1", "Body@900#2", "text@1200#2", "End@1500#3"}));
        timings.Clear();
        QVERIFY(timings.Entries().empty());
        QVERIFY(timings.SrtText(100).isEmpty());
        QVERIFY(timings.SyltFrame().isEmpty());
        QVERIFY(timings.AddUtterance(1, QStringLiteral("Again"), false));
    }

    void srtAndLrcText_data()
    {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<QList<int>>("ms");
        QTest::addColumn<int>("nTotalMs");
        QTest::addColumn<QByteArray>("srt");
        QTest::addColumn<QByteArray>("lrc");
        QTest::newRow("two-sentences")
            << g_strLrcText << QList<int>{0, 500, 1000, 1257} << 2000
            << QByteArray("1\r\n00:00:00,000 --> 00:00:01,000\r\nHello there.\r\n\r\n"
                          "2\r\n00:00:01,000 --> 00:00:02,000\r\nBye now!\r\n\r\n")
            << QByteArray("[00:00.00]<00:00.00>Hello <00:00.50>there.\n"
                          "[00:01.00]<00:01.00>Bye <00:01.25>now!\n");
        QTest::newRow("past-an-hour")
            << QStringLiteral("Late") << QList<int>{3723456} << 3725000
            << QByteArray("1\r\n01:02:03,456 --> 01:02:05,000\r\nLate\r\n\r\n")
            << QByteArray("[62:03.45]<62:03.45>Late\n");
        QTest::newRow("total-before-last-word")
            << QStringLiteral("Late") << QList<int>{1500} << 1000
            << QByteArray("1\r\n00:00:01,500 --> 00:00:01,500\r\nLate\r\n\r\n")
            << QByteArray("[00:01.50]<00:01.50>Late\n");
        QTest::newRow("utf-8")
            << QStringLiteral("Gr\u00fc\u00df dich.") << QList<int>{0, 250} << 600
            << QByteArray("1\r\n00:00:00,000 --> 00:00:00,600\r\nGr\xc3\xbc\xc3\x9f dich.\r\n\r\n")
            << QByteArray("[00:00.00]<00:00.00>Gr\xc3\xbc\xc3\x9f <00:00.25>dich.\n");
    }
    void srtAndLrcText()
    {
        QFETCH(QString, strText);
        QFETCH(QList<int>, ms);
        QFETCH(int, nTotalMs);
        QFETCH(QByteArray, srt);
        QFETCH(QByteArray, lrc);
        const QStringList words = strText.split(QLatin1Char(' '));
        QStringList events;
        for (const QString& strWord : words)
            events.append(strWord.left(strWord.size() - (strWord.back().isPunct() ? 1 : 0)));
        CWordTimings timings(1000);
        QVERIFY(timings.AddUtterance(1, strText, false));
        QVERIFY(AddWords(timings, 1, strText, events, ms));
        QCOMPARE(timings.SrtText(quint32(nTotalMs)), srt);
        QCOMPARE(timings.LrcText(), lrc);
    }

    // The frame as an ID3v2 reader walks it: header, size (syncsafe in
    // 2.4), encoding, language, milliseconds, lyrics, an empty descriptor,
    // then each word with its time; a new sentence starts on a new line.
    void syltFrame_data()
    {
        QTest::addColumn<int>("nVersion");
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<int>("nEncoding");
        QTest::addColumn<QByteArray>("expectedLanguage");
        QTest::newRow("v2.3-utf16") << 3 << QByteArray("und") << 1 << QByteArray("und");
        QTest::newRow("v2.4-utf8") << 4 << QByteArray("und") << 3 << QByteArray("und");
        QTest::newRow("v2.3-language") << 3 << QByteArray("ENG") << 1 << QByteArray("eng");
        QTest::newRow("v2.4-bad-language") << 4 << QByteArray("en") << 3 << QByteArray("und");
    }
    void syltFrame()
    {
        QFETCH(int, nVersion);
        QFETCH(QByteArray, language);
        QFETCH(int, nEncoding);
        QFETCH(QByteArray, expectedLanguage);
        // Long enough for a size past 127, where syncsafe and plain differ.
        const QString strText =
            QStringLiteral("Gr\u00fc\u00df dich, \"Anna\". Dies ist ein l\u00e4ngerer Satz mit "
                           "vielen W\u00f6rtern, damit der Rahmen gro\u00df wird! Ende");
        QStringList events;
        static const QRegularExpression word(QStringLiteral("\\w+"),
                                             QRegularExpression::UseUnicodePropertiesOption);
        auto it = word.globalMatch(strText);
        while (it.hasNext())
            events.append(it.next().captured());
        QList<int> ms;
        for (int i = 0; i < events.size(); ++i)
            ms.append(i * 70000 + 3);
        CWordTimings timings(1000);
        QVERIFY(timings.AddUtterance(1, strText, false));
        QVERIFY(AddWords(timings, 1, strText, events, ms));

        const QByteArray frame = timings.SyltFrame(nVersion, language);
        SSyltFrame parsed;
        QVERIFY(ParseSylt(frame, nVersion, parsed));
        QVERIFY(parsed.nSize > 127);
        QCOMPARE(parsed.id, QByteArray("SYLT"));
        QCOMPARE(parsed.flags, QByteArray(2, '\0'));
        QCOMPARE(parsed.nEncoding, nEncoding);
        QCOMPARE(parsed.language, expectedLanguage);
        QCOMPARE(parsed.nTimeFormat, 2);
        QCOMPARE(parsed.nContentType, 1);
        QCOMPARE(parsed.strDescriptor, QString());
        QCOMPARE(parsed.texts.size(), events.size());
        QCOMPARE(parsed.texts.first(), QStringLiteral("Gr\u00fc\u00df"));
        QCOMPARE(parsed.texts[1], QStringLiteral(" dich,"));
        QCOMPARE(parsed.texts[2], QStringLiteral(" \"Anna\"."));
        QCOMPARE(parsed.texts[3], QStringLiteral("\nDies"));
        QCOMPARE(parsed.texts.last(), QStringLiteral("\nEnde"));
        QCOMPARE(parsed.texts.join(QString()).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                 strText);
        for (qsizetype i = 0; i < parsed.times.size(); ++i)
            QCOMPARE(parsed.times[i], quint32(ms[i]));
        QVERIFY(timings.SyltFrame(2).isEmpty());
    }

    // ffprobe reads an MP3 whose ID3v2 tag holds the frame and, after it, a
    // title: the frame's size led it to the title.
    void syltFrameInsideAnMp3_data()
    {
        QTest::addColumn<int>("nVersion");
        QTest::newRow("v2.3") << 3;
        QTest::newRow("v2.4") << 4;
    }
    void syltFrameInsideAnMp3()
    {
        QFETCH(int, nVersion);
        if (!KbTest::HasFfprobe())
            QFAIL("ffprobe (package ffmpeg) is part of the test setup");
        QTemporaryDir dir;
        const QString strAudio = dir.filePath(QStringLiteral("audio.mp3"));
        QProcess encoder;
        encoder.start(QStringLiteral("ffmpeg"),
                      {"-v", "error", "-nostdin", "-f", "lavfi", "-i",
                       "sine=frequency=440:sample_rate=22050:duration=2", "-ac", "1", "-c:a",
                       "libmp3lame", "-b:a", "64k", "-id3v2_version", "0", "-write_xing", "0",
                       strAudio});
        QVERIFY(encoder.waitForFinished(60000));
        QCOMPARE(encoder.exitCode(), 0);
        QFile audio(strAudio);
        QVERIFY(audio.open(QIODevice::ReadOnly));
        const QByteArray mp3 = audio.readAll();
        QVERIFY(!mp3.startsWith("ID3"));

        CWordTimings timings(1000);
        const QString strText =
            QStringLiteral("A sentence long enough for a frame of more than a hundred and "
                           "twenty-seven bytes. Then one more.");
        QVERIFY(timings.AddUtterance(1, strText, false));
        QStringList events = strText.split(QLatin1Char(' '));
        for (QString& strEvent : events)
            strEvent.remove(QLatin1Char('.'));
        QVERIFY(AddWords(timings, 1, strText, events, {}));
        const QByteArray sylt = timings.SyltFrame(nVersion);
        QVERIFY(sylt.size() > 137);
        const QByteArray title = "Probe title";
        const quint32 nTitleSize = quint32(title.size() + 1);
        QByteArray tit2 = "TIT2";
        tit2 += nVersion == 4 ? Syncsafe(nTitleSize) : QByteArray(4, '\0');
        if (nVersion == 3)
            qToBigEndian(nTitleSize, tit2.data() + 4);
        tit2 += QByteArray(2, '\0') + QByteArray(1, '\0') + title;
        const QByteArray frames = sylt + tit2 + QByteArray(32, '\0');
        const QByteArray tag = "ID3" + QByteArray(1, char(nVersion)) + QByteArray(2, '\0') +
                               Syncsafe(quint32(frames.size())) + frames;
        const QString strTagged = dir.filePath(QStringLiteral("tagged.mp3"));
        QFile tagged(strTagged);
        QVERIFY(tagged.open(QIODevice::WriteOnly));
        QCOMPARE(tagged.write(tag + mp3), qint64(tag.size() + mp3.size()));
        tagged.close();

        const QJsonObject probe = KbTest::Ffprobe(strTagged);
        const QJsonObject format = probe.value("format").toObject();
        QCOMPARE(format.value("format_name").toString(), QStringLiteral("mp3"));
        QCOMPARE(format.value("tags").toObject().value("title").toString(),
                 QString::fromLatin1(title));
        QVERIFY(qAbs(format.value("duration").toString().toDouble() - 2.0) < 0.1);
    }

    // The files go beside the MP3, named after it, and replace what was
    // there as a whole.
    void writeBeside_data()
    {
        QTest::addColumn<QString>("strMp3");
        QTest::addColumn<QString>("strSrt");
        QTest::addColumn<QString>("strLrc");
        QTest::newRow("plain") << "book.mp3"
                               << "book.srt"
                               << "book.lrc";
        QTest::newRow("dots-in-name") << "a.b.mp3"
                                      << "a.b.srt"
                                      << "a.b.lrc";
        QTest::newRow("dot-in-folder") << "d.x/book"
                                       << "d.x/book.srt"
                                       << "d.x/book.lrc";
        QTest::newRow("hidden-name") << "d/.mp3"
                                     << "d/.mp3.srt"
                                     << "d/.mp3.lrc";
    }
    void writeBeside()
    {
        QFETCH(QString, strMp3);
        QFETCH(QString, strSrt);
        QFETCH(QString, strLrc);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(dir.filePath(strMp3)).path()));
        CWordTimings timings(1000);
        QVERIFY(timings.AddUtterance(1, g_strLrcText, false));
        QVERIFY(AddWords(timings, 1, g_strLrcText, {"Hello", "there", "Bye", "now"},
                         {0, 400, 900, 1200}));
        QFile old(dir.filePath(strSrt));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4096, 'x'));
        old.close();
        QVERIFY(timings.WriteBeside(dir.filePath(strMp3), 1800));
        QFile srt(dir.filePath(strSrt));
        QFile lrc(dir.filePath(strLrc));
        QVERIFY(srt.open(QIODevice::ReadOnly));
        QVERIFY(lrc.open(QIODevice::ReadOnly));
        QCOMPARE(srt.readAll(), timings.SrtText(1800));
        QCOMPARE(lrc.readAll(), timings.LrcText());
        QCOMPARE(QDir(QFileInfo(srt).path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void writeBesideFails()
    {
        QTemporaryDir dir;
        CWordTimings timings(1000);
        QVERIFY(timings.AddUtterance(1, g_strLrcText, false));
        QVERIFY(AddWords(timings, 1, g_strLrcText, {"Hello"}, {0}));
        QVERIFY(!timings.WriteBeside(dir.filePath(QStringLiteral("missing/book.mp3")), 500));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
        // A folder standing where the file should go is not replaced.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("book.srt")));
        QVERIFY(!timings.WriteBeside(dir.filePath(QStringLiteral("book.mp3")), 500));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("book.srt"))).isDir());
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("book.lrc"))));
    }
};

QTEST_GUILESS_MAIN(CWordTimingsTest)
#include "tst_wordtimings.moc"
