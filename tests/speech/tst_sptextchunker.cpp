#include "speech/sptextchunker.h"

#include <QTest>

namespace
{
std::vector<CSpTextChunker::SChunk> AllChunks(const QString& strText, bool bXml, int nMax)
{
    std::vector<CSpTextChunker::SChunk> chunks;
    CSpTextChunker chunker(strText, bXml, nMax);
    CSpTextChunker::SChunk chunk;
    while (chunker.Next(chunk))
        chunks.push_back(chunk);
    return chunks;
}
} // namespace

// Cutting long texts into engine inputs: nothing lost, nothing split that
// must stay whole, markup state carried over.
class CSpTextChunkerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void piecesCoverTheText_data()
    {
        QTest::addColumn<QString>("strText");
        QTest::newRow("prose")
            << QStringLiteral("One sentence here. Another one, longer! ").repeated(200);
        QTest::newRow("no-spaces-emoji") << QStringLiteral("\U0001F600").repeated(3000);
        QTest::newRow("cjk") << QStringLiteral("\u4f60\u597d\u4e16\u754c\u3002").repeated(700);
        QTest::newRow("crlf") << QStringLiteral("line\r\n").repeated(900);
        QTest::newRow("nul-inside")
            << QString(QStringLiteral("a_b ")).replace(QLatin1Char('_'), QChar(0)).repeated(1000);
    }
    void piecesCoverTheText()
    {
        QFETCH(QString, strText);
        const std::vector<CSpTextChunker::SChunk> chunks = AllChunks(strText, false, 500);
        QVERIFY(chunks.size() > 1);
        int nNext = 0;
        for (const CSpTextChunker::SChunk& chunk : chunks)
        {
            QCOMPARE(chunk.nSourceBegin, nNext);
            QVERIFY(chunk.nSourceEnd > chunk.nSourceBegin);
            QVERIFY(!QChar::isLowSurrogate(strText.at(chunk.nSourceBegin).unicode()));
            // The engine gets the piece as valid UTF-8, NUL read as a space.
            QString strPiece =
                strText.mid(chunk.nSourceBegin, chunk.nSourceEnd - chunk.nSourceBegin);
            strPiece.replace(QChar(0), QLatin1Char(' '));
            QCOMPARE(QString::fromUtf8(chunk.input), strPiece);
            QCOMPARE(int(chunk.cpToChar.size()), int(strPiece.toUcs4().size()));
            nNext = chunk.nSourceEnd;
        }
        QCOMPARE(nNext, int(strText.size()));
    }

    // A cut prefers a sentence end, then a space.
    void cutPlaces()
    {
        const QString strText = QStringLiteral("aaaa bbbb. cccc dddd eeee");
        QCOMPARE(CSpTextChunker::FindCut(strText, 0, 20), 11);
        QCOMPARE(CSpTextChunker::FindCut(QStringLiteral("aaaa bbbb cccc dddd eeee"), 0, 12), 10);
        QCOMPARE(CSpTextChunker::FindCut(strText, 0, 100), int(strText.size()));
    }

    // Markup open at a cut goes on in the next piece; unknown tags vanish;
    // text that looks like markup reaches the engine escaped.
    void markupAcrossPieces()
    {
        const QString strText = QStringLiteral("<rate absspeed=\"5\"><foo>") +
                                QStringLiteral("word &lt;b&gt; ").repeated(200) +
                                QStringLiteral("</foo></rate> tail");
        const std::vector<CSpTextChunker::SChunk> chunks = AllChunks(strText, true, 300);
        QVERIFY(chunks.size() > 2);
        for (size_t i = 0; i < chunks.size(); ++i)
        {
            const QByteArray& input = chunks[i].input;
            QVERIFY(input.startsWith("<speak>") && input.endsWith("</speak>"));
            QVERIFY(!input.contains("<foo"));
            QVERIFY(!input.contains("<b>"));
            if (i + 1 < chunks.size())
                QVERIFY2(input.contains("<prosody rate="), input.left(80).constData());
            QCOMPARE(int(chunks[i].cpToChar.size()), int(QString::fromUtf8(input).toUcs4().size()));
        }
        QVERIFY(chunks.front().input.contains("&lt;b&gt;"));
        const QByteArray& last = chunks.back().input;
        QVERIFY(last.contains("tail"));
        QVERIFY(last.lastIndexOf("</prosody>") < last.indexOf("tail"));
    }

    // A pause or bookmark parts the text on its two sides into two words,
    // as the engine speaks them; other tags inside a word leave it whole.
    void markupWords_data()
    {
        QTest::addColumn<QString>("strXml");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("silence-between")
            << QStringLiteral("Document<silence msec=\"300\"/>Report")
            << QStringList{QStringLiteral("Document"), QStringLiteral("Report")};
        QTest::newRow("bookmark-between")
            << QStringLiteral("one<bookmark mark=\"1\"/>two")
            << QStringList{QStringLiteral("one"), QStringLiteral("two")};
        QTest::newRow("sentence-end-then-silence")
            << QStringLiteral("Made by us.<silence msec=\"500\"/>Notes")
            << QStringList{QStringLiteral("Made"), QStringLiteral("by"), QStringLiteral("us"),
                           QStringLiteral("Notes")};
        QTest::newRow("silence-after-space")
            << QStringLiteral("a <silence msec=\"10\"/> b")
            << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("emph-inside-word")
            << QStringLiteral("Doc<emph>ument</emph> here")
            << QStringList{QStringLiteral("Doc<emph>ument"), QStringLiteral("here")};
    }
    void markupWords()
    {
        QFETCH(QString, strXml);
        QFETCH(QStringList, words);
        const std::vector<CSpTextChunker::SChunk> chunks = AllChunks(strXml, true, 1500);
        QCOMPARE(int(chunks.size()), 1);
        QStringList found;
        for (const CSpTextChunker::SWord& word : chunks.front().words)
            found.append(strXml.mid(word.nPos, word.nLen));
        QCOMPARE(found, words);
    }
};

QTEST_GUILESS_MAIN(CSpTextChunkerTest)
#include "tst_sptextchunker.moc"
