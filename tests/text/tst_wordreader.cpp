#include "tests/support/losample.h"
#include "tests/support/worddocument.h"
#include "text/documentformat.h"
#include "text/wordreader.h"

#include <QFile>
#include <QTest>
#include <vector>

namespace
{
using KbTest::Compound;
using KbTest::Piece;
using KbTest::Put16;
using KbTest::Put32;
using KbTest::WordDocument;

struct ZipPart
{
    const char* pszName;
    QByteArray data;
    bool bDeflate;
};

// A zip package; parts are stored, or deflated with zlib's stream wrapper
// taken off.
QByteArray Zip(const std::vector<ZipPart>& parts)
{
    QByteArray body, directory;
    for (const ZipPart& part : parts)
    {
        QByteArray data = part.data;
        if (part.bDeflate)
        {
            const QByteArray wrapped = qCompress(part.data, 9);
            data = wrapped.mid(6, wrapped.size() - 10);
        }
        const QByteArray name(part.pszName);
        QByteArray local(30, '\0');
        Put32(local, 0, 0x04034B50);
        Put16(local, 8, part.bDeflate ? 8 : 0);
        Put32(local, 18, uint32_t(data.size()));
        Put32(local, 22, uint32_t(part.data.size()));
        Put16(local, 26, uint16_t(name.size()));
        QByteArray central(46, '\0');
        Put32(central, 0, 0x02014B50);
        Put16(central, 10, part.bDeflate ? 8 : 0);
        Put32(central, 20, uint32_t(data.size()));
        Put32(central, 24, uint32_t(part.data.size()));
        Put16(central, 28, uint16_t(name.size()));
        Put32(central, 42, uint32_t(body.size()));
        body.append(local + name + data);
        directory.append(central + name);
    }
    QByteArray end(22, '\0');
    Put32(end, 0, 0x06054B50);
    Put16(end, 8, uint16_t(parts.size()));
    Put16(end, 10, uint16_t(parts.size()));
    Put32(end, 12, uint32_t(directory.size()));
    Put32(end, 16, uint32_t(body.size()));
    return body + directory + end;
}

QByteArray WordXml(const QByteArray& body)
{
    return "<?xml version=\"1.0\"?><w:document xmlns:w=\"urn:w\" xmlns:mc=\"urn:mc\"><w:body>" +
           body + "</w:body></w:document>";
}

QByteArray ReadData(const char* pszName)
{
    QFile file(QStringLiteral(KB_TEST_DATA_DIR "text/") + QLatin1String(pszName));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", pszName);
    return file.readAll();
}
} // namespace

class CWordReaderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A document written by a word processor: headers first, then the
    // body with its table, notes after it, then footers.
    void readsAWrittenDocument()
    {
        QString strText;
        QCOMPARE(CWordReader::ToText(ReadData("lo-sample.doc"), strText), CWordReader::Status::Ok);
        QCOMPARE(strText, KbTest::LoSampleText());
    }

    void pieces_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("firstCompressed");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("expected");
        QTest::newRow("8-bit then UTF-16")
            << QStringLiteral(u"Hello \u0093quoted\u0094 ") << true << QStringLiteral(u"мир\r")
            << QStringLiteral(u"Hello \u201Cquoted\u201D мир");
        QTest::newRow("UTF-16 then 8-bit")
            << QStringLiteral(u"Καλη\r") << false << QStringLiteral(u"caf\u00E9\r")
            << QStringLiteral(u"Καλη\ncafé");
        QTest::newRow("field shows its result")
            << QStringLiteral("Page \x13 PAGE \\* MERGEFORMAT \x14") << true
            << QStringLiteral("7\x15 of \x13 TOC \x15ten\r") << QStringLiteral("Page 7 of ten");
        QTest::newRow("nested field inside a code") << QStringLiteral("a\x13 IF \x13 DATE \x14"
                                                                      "x\x15 \x14")
                                                    << true
                                                    << QStringLiteral("yes\x15"
                                                                      "b\r")
                                                    << QStringLiteral("ayesb");
        QTest::newRow("breaks and hyphens")
            << QStringLiteral("one\x0Btwo\x0C") << true
            << QStringLiteral(u"three non\x1E"
                              u"break opt\x1Fional\r")
            << QStringLiteral(u"one\ntwo\nthree non\u2011break optional");
        QTest::newRow("cell marks without row data are tabs")
            << QStringLiteral("a\x07") << false << QStringLiteral("b\x07\r")
            << QStringLiteral("a\tb");
    }
    void pieces()
    {
        QFETCH(QString, first);
        QFETCH(bool, firstCompressed);
        QFETCH(QString, second);
        QFETCH(QString, expected);
        const uint32_t nChars = uint32_t(first.size() + second.size());
        QString strText;
        QCOMPARE(CWordReader::ToText(
                     WordDocument({{first, firstCompressed}, {second, !firstCompressed}}, nChars),
                     strText),
                 CWordReader::Status::Ok);
        QCOMPARE(strText, expected);
    }

    void footnotesFollowTheBody()
    {
        const QString strMain = QStringLiteral("Main\x02 text\r");
        const QString strNote = QStringLiteral("\x02\tThe note\r\r");
        QString strText;
        QCOMPARE(
            CWordReader::ToText(WordDocument({{strMain + strNote, false}}, uint32_t(strMain.size()),
                                             uint32_t(strNote.size() - 1)),
                                strText),
            CWordReader::Status::Ok);
        QCOMPARE(strText, QStringLiteral("Main text\nThe note"));
    }

    // What cannot be read is said, not shown as an empty document.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("status");
        const std::vector<Piece> pieces{{QStringLiteral("text\r"), true}};
        QTest::newRow("not a compound file")
            << QByteArray("just some words") << int(CWordReader::Status::NotWord);
        QTest::newRow("a spreadsheet")
            << Compound({{QStringLiteral("Workbook"), QByteArray(100, 'x')}})
            << int(CWordReader::Status::NotWord);
        QTest::newRow("password-protected 2007 document")
            << Compound({{QStringLiteral("EncryptionInfo"), QByteArray(10, 'x')},
                         {QStringLiteral("EncryptedPackage"), QByteArray(10, 'y')}})
            << int(CWordReader::Status::Encrypted);
        QTest::newRow("encrypted")
            << WordDocument(pieces, 5, 0, 0x0300) << int(CWordReader::Status::Encrypted);
        QTest::newRow("Word 6") << WordDocument(pieces, 5, 0, 0x0200, 101)
                                << int(CWordReader::Status::OldWord);
        QByteArray wrongTable = WordDocument(pieces, 5, 0, 0x0000);
        QTest::newRow("missing table stream") << wrongTable << int(CWordReader::Status::Damaged);
        QByteArray truncated = ReadData("lo-sample.doc");
        truncated.truncate(truncated.size() / 2);
        QTest::newRow("cut in half") << truncated << int(CWordReader::Status::Damaged);
        QByteArray looped = WordDocument(pieces, 5);
        Put32(looped, 512 + 2 * 4, 2);
        QTest::newRow("looped sector chain") << looped << int(CWordReader::Status::Damaged);
        QByteArray overlong = WordDocument(pieces, 5);
        // The piece's end position, far past the stream.
        const int nCpEnd = overlong.indexOf(QByteArray("\x05\x00\x00\x00\x00\x00", 6), 1536 + 4096);
        QVERIFY(nCpEnd > 0);
        Put32(overlong, nCpEnd, 0x7FFFFFFF);
        QTest::newRow("piece past the stream") << overlong << int(CWordReader::Status::Damaged);
    }
    void refusals()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, status);
        QString strText = QStringLiteral("x");
        QCOMPARE(int(CWordReader::ToText(data, strText)), status);
        QVERIFY(strText.isEmpty());
        QVERIFY(!CWordReader::StatusMessage(CWordReader::Status(status)).isEmpty());
    }

    void wordXmlPackages_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fields, deletions, drawings")
            << Zip({{"word/document.xml",
                     WordXml(
                         "<w:p><w:r><w:t>Page </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/>"
                         "</w:r><w:r><w:instrText> PAGE </w:instrText></w:r><w:r><w:fldChar "
                         "w:fldCharType=\"separate\"/></w:r><w:r><w:t>4</w:t></w:r><w:r>"
                         "<w:fldChar w:fldCharType=\"end\"/></w:r><w:del><w:r><w:delText>gone"
                         "</w:delText></w:r></w:del><w:r><w:t xml:space=\"preserve\"> &amp; "
                         "more</w:t><w:tab/><w:t>x</w:t><w:br/><w:t>y</w:t></w:r></w:p><w:p>"
                         "<mc:AlternateContent><mc:Choice><w:t>box</w:t></mc:Choice>"
                         "<mc:Fallback><w:t>box</w:t></mc:Fallback></mc:AlternateContent>"
                         "<w:r><w:t>end</w:t></w:r></w:p>"),
                     true}})
            << QStringLiteral("Page 4 & more\tx\ny\nboxend");
        QTest::newRow("table with paragraphs in cells")
            << Zip({{"word/document.xml",
                     WordXml("<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p><w:p><w:r><w:t>"
                             "b</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>c</w:t></w:r></w:p>"
                             "</w:tc></w:tr><w:tr><w:tc><w:p/></w:tc><w:tc><w:p><w:r><w:t>d</w:t>"
                             "</w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>after</w:t></w:r></"
                             "w:p>"),
                     false}})
            << QStringLiteral("a\nb\tc\n\td\nafter");
        QTest::newRow("notes without their separators")
            << Zip({{"word/document.xml", WordXml("<w:p><w:r><w:t>Body</w:t></w:r></w:p>"), false},
                    {"word/footnotes.xml",
                     "<w:footnotes xmlns:w=\"urn:w\"><w:footnote w:type=\"separator\" w:id=\"0\">"
                     "<w:p><w:r><w:separator/><w:t>sep</w:t></w:r></w:p></w:footnote><w:footnote "
                     "w:id=\"1\"><w:p><w:r><w:footnoteRef/></w:r><w:r><w:tab/><w:t> Note</w:t>"
                     "</w:r></w:p></w:footnote></w:footnotes>",
                     true},
                    {"word/header10.xml",
                     "<w:hdr xmlns:w=\"urn:w\"><w:p><w:r><w:t>H10</w:t>"
                     "</w:r></w:p></w:hdr>",
                     false},
                    {"word/header2.xml",
                     "<w:hdr xmlns:w=\"urn:w\"><w:p><w:r><w:t>H2</w:t>"
                     "</w:r></w:p></w:hdr>",
                     false}})
            << QStringLiteral("H2\nH10\nBody\nNote");
        QTest::newRow("inflating past the budget")
            << Zip({{"word/document.xml",
                     WordXml("<w:p><w:r><w:t>" + QByteArray(40 << 20, 'x') + "</w:t></w:r></w:p>"),
                     true}})
            << QString();
    }
    void wordXmlPackages()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QString strMessage;
        QCOMPARE(CDocumentFormats::ForPath(QStringLiteral("a.doc"))->ToText(data, strMessage),
                 expected);
        QCOMPARE(strMessage.isEmpty(), !expected.isEmpty());
    }

    // A ".doc" is read as what it really is.
    void otherFormatsNamedDoc_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("message");
        QTest::newRow("RTF") << ReadData("lo-sample.rtf") << QStringLiteral("Header line\nFirst")
                             << QString();
        QTest::newRow("HTML") << ReadData("lo-sample.html") << QStringLiteral("Header line\n")
                              << QString();
        QTest::newRow("web archive")
            << QByteArray("MIME-Version: 1.0\r\nContent-Type: text/html\r\n\r\n<p>archived</p>")
            << QStringLiteral("archived") << QString();
        QTest::newRow("docx") << ReadData("docx-named.doc") << QStringLiteral("Header line\nFirst")
                              << QString();
        QTest::newRow("zip of something else")
            << Zip({{"content.xml", "<x/>", false}}) << QString()
            << CWordReader::StatusMessage(CWordReader::Status::NotWord);
        QByteArray cut = ReadData("docx-named.doc");
        cut.truncate(cut.size() - 200);
        QTest::newRow("docx cut short")
            << cut << QString() << CWordReader::StatusMessage(CWordReader::Status::Damaged);
        QTest::newRow("plain text") << QByteArray("hello") << QString()
                                    << CWordReader::StatusMessage(CWordReader::Status::NotWord);
    }
    void otherFormatsNamedDoc()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, start);
        QFETCH(QString, message);
        const auto pFormat = CDocumentFormats::ForPath(QStringLiteral("/x/Letter.DOC"));
        QVERIFY(pFormat);
        QString strMessage;
        const QString strText = pFormat->ToText(data, strMessage);
        QCOMPARE(strMessage, message);
        if (start.isEmpty())
            QVERIFY(strText.isEmpty());
        else
            QVERIFY2(strText.startsWith(start), qPrintable(strText));
    }
};

QTEST_GUILESS_MAIN(CWordReaderTest)
#include "tst_wordreader.moc"
