#include "tests/support/losample.h"
#include "tests/support/testfiles.h"
#include "tests/support/zippackage.h"
#include "text/documentformat.h"
#include "text/epubreader.h"
#include "text/pdfreader.h"

#include <QTemporaryDir>
#include <QTest>

using KbTest::ZipPackage;

// Word 2007+, OpenDocument text, EPUB and PDF, each read by its extension.
class CPackageReadersTest : public QObject
{
    Q_OBJECT
private:
    static QByteArray Sample(const char* pszName)
    {
        const QByteArray bytes =
            KbTest::ReadFile(QStringLiteral(KB_TEST_DATA_DIR "text/") + QLatin1String(pszName));
        if (bytes.isEmpty())
            qFatal("missing sample");
        return bytes;
    }

    static QString Read(const char* pszName, const QByteArray& data, QString& strMessage)
    {
        const auto pFormat = CDocumentFormats::ForPath(QLatin1String(pszName));
        if (!pFormat)
            qFatal("no format");
        return pFormat->ToText(data, strMessage);
    }

    // The office suite's sample less its header and footer.
    static QString LoSampleBody()
    {
        QString strText = KbTest::LoSampleText();
        strText.remove(0, strText.indexOf(u'\n') + 1);
        strText.truncate(strText.lastIndexOf(u'\n'));
        return strText;
    }

    static QByteArray Cut(const QByteArray& bytes) { return bytes.left(bytes.size() / 2); }

private Q_SLOTS:
    void samplesRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        const QString strPandoc = QStringLiteral(u"Sample\n"
                                                 u"Heading one\n"
                                                 u"First paragraph with a note here.\n"
                                                 u"Второй абзац: привет, мир.\n"
                                                 u"中文段落：你好，世界。\n"
                                                 u"Name\tValue\nA1\tB1\nA2\tB2\n"
                                                 u"Item one\nItem two\n"
                                                 u"Last paragraph.\n"
                                                 u"The footnote text.");
        QTest::newRow("docx by pandoc") << "a.docx" << Sample("pandoc-sample.docx") << strPandoc;
        QTest::newRow("odt by pandoc") << "a.odt" << Sample("pandoc-sample.odt") << strPandoc;
        QTest::newRow("docx by an office suite")
            << "a.DOCX" << Sample("docx-named.doc") << LoSampleBody();
        // The suite saved the page field's result before it laid out a page.
        QTest::newRow("odt by an office suite")
            << "a.odt" << Sample("lo-sample.odt")
            << LoSampleBody().replace(QStringLiteral("Page 1"), QStringLiteral("Page 0"));
        const QString strEpub = QStringLiteral(u"Sample\n\n"
                                               u"Heading one\n\n"
                                               u"First paragraph with a note here.1\n\n"
                                               u"Второй абзац: привет, мир.\n\n"
                                               u"中文段落：你好，世界。\n\n"
                                               u"Name\tValue\nA1\tB1\nA2\tB2\n"
                                               u"Item one\nItem two\n\n"
                                               u"Last paragraph.\n\n"
                                               u"The footnote text.↩︎");
        QTest::newRow("EPUB 3 by pandoc") << "a.epub" << Sample("pandoc-sample.epub") << strEpub;
        QTest::newRow("EPUB 2 by pandoc")
            << "a.epub" << Sample("pandoc-sample-epub2.epub") << strEpub;
        // As its HTML reads: the tab saved as no-break spaces, the page field
        // as nothing.
        QTest::newRow("EPUB by an office suite")
            << "a.epub" << Sample("lo-sample.epub")
            << QStringLiteral(u"First paragraph with a note1 here.\n\n"
                              u"Второй абзац: привет, мир. Ελληνικά. 😀 emoji.\n\n"
                              u"A1\tB1\n\nA2\tB2\n\n"
                              u"Line one\nline two") +
                   QString(15, QChar(0xA0)) +
                   QStringLiteral(u" tabbed.\n\nPage \u00A0of the text.\n\n"
                                  u"After the break.\n\n1The footnote text.");
        // Wrapped lines join within their paragraph, Chinese ones without a
        // space.
        QTest::newRow("PDF by an office suite")
            << "a.pdf" << Sample("lo-sample.pdf")
            << QStringLiteral(u"Heading one\n"
                              u"First paragraph in English, long enough that the line wraps at "
                              u"the right margin of the page, so the reader has to join the lines "
                              u"of one block with a space.\n"
                              u"Второй абзац по-русски: привет, мир. Этот абзац тоже достаточно "
                              u"длинный, чтобы строка перенеслась на следующую строку страницы.\n"
                              u"中文段落：你好，世界。这一段中文也足够长，所以它会在页面的右边"
                              u"距处换到下一行，读者必须把同一段落的各行连接起来，而不在汉字之间"
                              u"加入空格。\n"
                              u"Last paragraph.\n");
        QString strPages;
        for (const char* pszPage : {"one", "two", "three", "four", "five", "six", "seven", "eight"})
            strPages += QStringLiteral("Page %1\nThe text of page %1 is long enough that its "
                                       "line wraps at the right margin of the page, so the "
                                       "reader joins the lines of the block with a space.\n")
                            .arg(QLatin1String(pszPage));
        QTest::newRow("PDF of eight pages") << "a.pdf" << Sample("lo-sample-pages.pdf") << strPages;
    }
    void samplesRead()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QString strMessage;
        QCOMPARE(Read(qPrintable(name), data, strMessage), expected);
        QCOMPARE(strMessage, QString());
    }

    // Each reader holds against input made to cost it: results stay small,
    // time short, and what cannot be read says why.
    void hostileInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("message");
        const QByteArray flood(16 << 20, 'x');
        const QByteArray odtPara("<text:p>deep</text:p>");
        const QByteArray docxPara("<w:p><w:r><w:t>deep</w:t></w:r></w:p>");
        const QByteArray opf("<package xmlns=\"http://www.idpf.org/2007/opf\"><manifest><item "
                             "id=\"c\" href=\"c.xhtml\" media-type=\"application/xhtml+xml\"/>"
                             "</manifest><spine><itemref idref=\"c\"/></spine></package>");
        QString strTooLarge;
        Read("a.odt", KbTest::Odt("<text:p>" + flood + "</text:p>"), strTooLarge);
        QString strOdtDamaged, strDocxDamaged, strEpubDamaged;
        Read("a.odt", "PK\x03\x04", strOdtDamaged);
        Read("a.docx", "PK\x03\x04", strDocxDamaged);
        Read("a.epub", "PK\x03\x04", strEpubDamaged);

        QTest::newRow("docx zip bomb")
            << "a.docx" << KbTest::Docx("<w:p><w:r><w:t>" + flood + "</w:t></w:r></w:p>")
            << QString() << strTooLarge;
        QTest::newRow("odt zip bomb")
            << "a.odt" << KbTest::Odt("<text:p>" + flood + "</text:p>") << QString() << strTooLarge;
        QTest::newRow("epub zip bomb")
            << "a.epub"
            << KbTest::Epub(
                   "<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>"
                   "<item id=\"b\" href=\"b.xhtml\" media-type=\"application/xhtml+xml\"/>",
                   "<itemref idref=\"a\"/><itemref idref=\"b\"/>",
                   {{"OPS/a.xhtml", KbTest::Page("<p>first</p>"), true},
                    {"OPS/b.xhtml", KbTest::Page("<p>" + flood + "</p>"), true}})
            << QStringLiteral("first") << strTooLarge;
        std::vector<std::pair<QByteArray, int>> aliases;
        QByteArray manifest, spine;
        for (int i = 0; i < 2000; ++i)
        {
            const QByteArray n = QByteArray::number(i);
            aliases.push_back({"OPS/c" + n + ".xhtml", 2});
            manifest += "<item id=\"c" + n + "\" href=\"c" + n +
                        ".xhtml\" media-type=\"application/xhtml+xml\"/>";
            spine += "<itemref idref=\"c" + n + "\"/>";
        }
        QTest::newRow("epub entries sharing their bytes")
            << "a.epub"
            << KbTest::ZipPackage(
                   {{"mimetype", "application/epub+zip", false},
                    {"OPS/book.opf",
                     "<package><manifest>" + manifest + "</manifest><spine>" + spine +
                         "</spine></package>",
                     true},
                    {"OPS/x.xhtml", KbTest::Page("<p>once</p>" + QByteArray(60000, ' ')), true}},
                   aliases)
            << "once" << QString();
        QTest::newRow("docx deep XML")
            << "a.docx" << KbTest::Docx(docxPara + QByteArray("<w:sdt>").repeated(200000), false)
            << "deep" << QString();
        QTest::newRow("odt deep XML")
            << "a.odt" << KbTest::Odt(odtPara + QByteArray("<text:span>").repeated(200000), false)
            << "deep" << QString();
        QTest::newRow("epub deep XML")
            << "a.epub"
            << KbTest::Epub(
                   "<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>",
                   "<itemref idref=\"a\"/>",
                   {{"OPS/a.xhtml",
                     KbTest::Page("<p>deep</p>" + QByteArray("<div>").repeated(200000)), false}})
            << "deep" << QString();
        QTest::newRow("docx billion laughs")
            << "a.docx"
            << ZipPackage({{"word/document.xml",
                            KbTest::BillionLaughs(
                                "w:document", "<w:document xmlns:w=\"urn:w\"><w:body><w:p><w:r>"
                                              "<w:t>&l9;</w:t></w:r></w:p></w:body></w:document>"),
                            true}})
            << QString() << strDocxDamaged;
        QTest::newRow("odt billion laughs")
            << "a.odt"
            << ZipPackage(
                   {{"content.xml",
                     KbTest::BillionLaughs(
                         "office:document-content",
                         "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:"
                         "xmlns:office:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:"
                         "text:1.0\"><office:body><office:text><text:p>&l9;</text:p></office:text>"
                         "</office:body></office:document-content>"),
                     true}})
            << QString() << strOdtDamaged;
        QTest::newRow("epub billion laughs")
            << "a.epub"
            << ZipPackage({{"book.opf", KbTest::BillionLaughs("package", opf), true},
                           {"c.xhtml", KbTest::Page("<p>&l9;</p>"), true}})
            << QString() << strEpubDamaged;
        QTest::newRow("docx huge attribute")
            << "a.docx"
            << ZipPackage(
                   {{"word/document.xml",
                     "<w:document xmlns:w=\"urn:w\"><w:body><w:p w:x=\"" + KbTest::Noise(16 << 20) +
                         "\"><w:r><w:t>after</w:t></w:r></w:p></w:body></w:document>",
                     false}})
            << "after" << QString();
        QTest::newRow("odt huge attribute")
            << "a.odt"
            << KbTest::Odt("<text:p text:style-name=\"" + KbTest::Noise(16 << 20) +
                           "\">after</text:p>")
            << "after" << QString();
        QTest::newRow("epub huge attribute")
            << "a.epub"
            << ZipPackage({{"book.opf",
                            "<package><manifest><item id=\"c\" href=\"c.xhtml\" "
                            "media-type=\"application/xhtml+xml\" properties=\"" +
                                KbTest::Noise(16 << 20) +
                                "\"/></manifest><spine><itemref "
                                "idref=\"c\"/></spine></package>",
                            false},
                           {"c.xhtml", KbTest::Page("<p>after</p>"), true}})
            << "after" << QString();
        QTest::newRow("docx truncated")
            << "a.docx" << Cut(Sample("pandoc-sample.docx")) << QString() << strDocxDamaged;
        QTest::newRow("odt truncated")
            << "a.odt" << Cut(Sample("pandoc-sample.odt")) << QString() << strOdtDamaged;
        QTest::newRow("epub truncated")
            << "a.epub" << Cut(Sample("pandoc-sample.epub")) << QString() << strEpubDamaged;
        QTest::newRow("pdf truncated") << "a.pdf" << Cut(Sample("lo-sample.pdf")) << QString()
                                       << QStringLiteral("The PDF is damaged and cannot be read.");
        QTest::newRow("pdf of no PDF") << "a.pdf" << QByteArray("%PDF-1.7\n") + flood << QString()
                                       << QStringLiteral("The PDF is damaged and cannot be read.");
        QTest::newRow("pdf of a scanned page")
            << "a.pdf" << Sample("lo-sample-image.pdf") << QString()
            << QStringLiteral(
                   "The PDF holds no text layer (a scanned document?) and was not read.");
        QTest::newRow("pdf with a password")
            << "a.pdf" << Sample("lo-sample-password.pdf") << QString()
            << QStringLiteral("The PDF is protected by a password and was not read.");
    }
    void hostileInput()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QFETCH(QString, message);
        QString strMessage;
        QCOMPARE(Read(qPrintable(name), data, strMessage), expected);
        QCOMPARE(strMessage, message);
    }

    // Pages read in threads give the text one thread gives, damaged files too,
    // which Poppler repairs as it meets their flaws.
    void pdfThreadsReadAsOne_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray pages = Sample("lo-sample-pages.pdf");
        QByteArray brokenLink = pages;
        // A link's object takes another object's number.
        brokenLink.replace("\n32 0 obj\n<</Type/Annot", "\n22 0 obj\n<</Type/Annot");
        if (brokenLink == pages)
            qFatal("the sample has changed");
        QTest::newRow("eight pages") << pages;
        QTest::newRow("a link's object misnumbered") << brokenLink;
        QTest::newRow("eight pages cut") << Cut(pages);
    }
    void pdfThreadsReadAsOne()
    {
        QFETCH(QByteArray, data);
        QString strOne;
        const CPdfReader::Status one = CPdfReader::ToText(data, strOne, 1);
        // Which thread meets a flaw first changes from one reading to the next.
        for (int i = 0; i < 20; ++i)
        {
            QString strTwo;
            QCOMPARE(CPdfReader::ToText(data, strTwo, 2), one);
            QCOMPARE(strTwo, strOne);
        }
    }

    void odtMarkup_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("spaces, tabs and breaks")
            << QByteArray("<text:p>  a \n b<text:s text:c=\"3\"/>c<text:tab/>d<text:line-break/>"
                          "e <text:span> f</text:span> </text:p>")
            << QStringLiteral("a b   c\td\ne f");
        QTest::newRow("notes at the end, endnotes last")
            << QByteArray(
                   "<text:p>x<text:note text:note-class=\"endnote\"><text:note-citation>i"
                   "</text:note-citation><text:note-body><text:p>End</text:p></text:note-body>"
                   "</text:note>y<text:note text:note-class=\"footnote\"><text:note-citation>"
                   "1</text:note-citation><text:note-body><text:p>Foot</text:p><text:p>more"
                   "</text:p></text:note-body></text:note></text:p><text:p>z</text:p>")
            << QStringLiteral("xy\nz\nFoot\nmore\nEnd");
        QTest::newRow("lists and headings")
            << QByteArray(
                   "<text:h><text:number>1.</text:number>Title</text:h><text:list>"
                   "<text:list-item><text:p>one</text:p><text:list><text:list-item><text:p>"
                   "inner</text:p></text:list-item></text:list></text:list-item></text:list>")
            << QStringLiteral("Title\none\ninner");
        QTest::newRow("tables row by row")
            << QByteArray(
                   "<table:table><table:table-header-rows><table:table-row><table:table-cell>"
                   "<text:p>h1</text:p></table:table-cell><table:table-cell><text:p>h2"
                   "</text:p></table:table-cell></table:table-row></table:table-header-rows>"
                   "<table:table-row><table:table-cell table:number-columns-spanned=\"2\">"
                   "<text:p>a</text:p><text:p>b</text:p></table:table-cell>"
                   "<table:covered-table-cell><text:p>hidden</text:p>"
                   "</table:covered-table-cell></table:table-row><table:table-row>"
                   "<table:table-cell/><table:table-cell><text:p>c</text:p>"
                   "</table:table-cell></table:table-row></table:table><text:p>after</text:p>")
            << QStringLiteral("h1\th2\na\nb\n\tc\nafter");
        QTest::newRow("comments and deletions left out")
            << QByteArray(
                   "<text:tracked-changes><text:changed-region><text:deletion><text:p>gone"
                   "</text:p></text:deletion></text:changed-region></text:tracked-changes>"
                   "<text:p>kept<office:annotation><text:p>remark</text:p></office:annotation>"
                   "</text:p>")
            << QStringLiteral("kept");
    }
    void odtMarkup()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QString strMessage;
        QCOMPARE(Read("a.odt", KbTest::Odt(body), strMessage), expected);
    }

    void epubSpine_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        const QByteArray chapter(
            "<item id=\"c\" href=\"text/c%201.xhtml#top\" media-type=\"application/xhtml+xml\"/>");
        QTest::newRow("navigation left out")
            << KbTest::Epub(
                   chapter +
                       "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
                       "properties=\"nav\"/><item id=\"ncx\" href=\"toc.ncx\" "
                       "media-type=\"application/x-dtbncx+xml\"/>",
                   "<itemref idref=\"nav\"/><itemref idref=\"ncx\"/><itemref idref=\"c\"/>",
                   {{"OPS/nav.xhtml", KbTest::Page("<nav><ol><li>Contents</li></ol></nav>"), true},
                    {"OPS/toc.ncx", "<ncx><navMap><text>Contents</text></navMap></ncx>", true},
                    {"OPS/text/c 1.xhtml", KbTest::Page("<p>Глава</p><p>章节</p>"), true}})
            << QStringLiteral(u"Глава\n\n章节");
        QTest::newRow("spine order, repeats read once")
            << KbTest::Epub(chapter + "<item id=\"d\" href=\"../OPS/./d.xhtml\" "
                                      "media-type=\"application/xhtml+xml\"/>",
                            "<itemref idref=\"d\"/><itemref idref=\"c\"/><itemref idref=\"d\"/>"
                            "<itemref idref=\"missing\"/>",
                            {{"OPS/text/c 1.xhtml", KbTest::Page("<p>second</p>"), true},
                             {"OPS/d.xhtml", KbTest::Page("<p>first</p>"), false}})
            << QStringLiteral("first\n\nsecond");
    }
    void epubSpine()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QString strMessage;
        QCOMPARE(Read("a.epub", data, strMessage), expected);
        QCOMPARE(strMessage, QString());
    }

    // Only the archive's own entries are ever read, whatever a manifest
    // names.
    void epubReadsNoOutsideFile()
    {
        QTemporaryDir dir;
        const QString strOutside = KbTest::WriteFileIn(dir, QStringLiteral("outside.xhtml"),
                                                       KbTest::Page("<p>OUTSIDE</p>"));
        const QByteArray absolute = strOutside.toUtf8();
        const QByteArray parents =
            QByteArray("../").repeated(absolute.count('/') + 2) + absolute.mid(1);
        const QByteArray data = KbTest::Epub(
            "<item id=\"a\" href=\"" + absolute +
                "\" media-type=\"application/xhtml+xml\"/><item id=\"b\" href=\"" + parents +
                "\" media-type=\"application/xhtml+xml\"/><item id=\"c\" href=\"file://" +
                absolute +
                "\" media-type=\"application/xhtml+xml\"/><item id=\"d\" href=\"in.xhtml\" "
                "media-type=\"application/xhtml+xml\"/>",
            "<itemref idref=\"a\"/><itemref idref=\"b\"/><itemref idref=\"c\"/><itemref "
            "idref=\"d\"/>",
            {{"OPS/in.xhtml", KbTest::Page("<p>inside</p>"), true},
             {absolute.mid(1), KbTest::Page("<p>entry</p>"), true}});
        QString strMessage;
        QCOMPARE(Read("a.epub", data, strMessage), QStringLiteral("inside"));
    }

    void epubHrefs_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside") << "OPS/book.opf"
                                << "c.xhtml#x"
                                << "OPS/c.xhtml";
        QTest::newRow("escaped") << "OPS/book.opf"
                                 << "a%20b.xhtml"
                                 << "OPS/a b.xhtml";
        QTest::newRow("up, inside") << "OPS/book.opf"
                                    << "../Text/c.xhtml"
                                    << "Text/c.xhtml";
        QTest::newRow("up, outside") << "OPS/book.opf"
                                     << "../../etc/passwd" << QString();
        QTest::newRow("escaped up, outside") << "book.opf"
                                             << "%2E%2E/etc/passwd" << QString();
        QTest::newRow("absolute") << "OPS/book.opf"
                                  << "/etc/passwd" << QString();
        QTest::newRow("scheme") << "OPS/book.opf"
                                << "file:///etc/passwd" << QString();
        QTest::newRow("backslash") << "OPS/book.opf"
                                   << "..\\..\\x" << QString();
    }
    void epubHrefs()
    {
        QFETCH(QString, base);
        QFETCH(QString, href);
        QFETCH(QString, expected);
        QCOMPARE(CEpubReader::ResolveHref(base, href), expected);
    }
};

QTEST_GUILESS_MAIN(CPackageReadersTest)
#include "tst_packagereaders.moc"
