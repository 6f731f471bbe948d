#include "tests/support/losample.h"
#include "tests/support/testfiles.h"
#include "tests/support/zippackage.h"
#include "text/documentformat.h"
#include "text/epubreader.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using KbTest::ZipPackage;

// Word 2007+, OpenDocument text and EPUB, each read by its extension.
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

    static QByteArray Odt(const QByteArray& body)
    {
        return ZipPackage({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                           {"content.xml",
                            "<office:document-content "
                            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\">"
                            "<office:body><office:text>" +
                                body + "</office:text></office:body></office:document-content>",
                            true}});
    }

    static QByteArray Docx(const QByteArray& body)
    {
        return ZipPackage(
            {{"word/document.xml",
              "<w:document xmlns:w=\"urn:w\"><w:body>" + body + "</w:body></w:document>", true}});
    }

    static QByteArray Epub(const QByteArray& manifest, const QByteArray& spine,
                           std::vector<KbTest::ZipPart> parts)
    {
        parts.insert(
            parts.begin(),
            {{"mimetype", "application/epub+zip", false},
             {"META-INF/container.xml",
              "<container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
              "<rootfiles><rootfile full-path=\"OPS/book.opf\" "
              "media-type=\"application/oebps-package+xml\"/></rootfiles></container>",
              true},
             {"OPS/book.opf",
              "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
              "<manifest>" +
                  manifest + "</manifest><spine toc=\"ncx\">" + spine + "</spine></package>",
              true}});
        return ZipPackage(parts);
    }

    static QByteArray Page(const QByteArray& body)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html "
               "xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head><body>" +
               body + "</body></html>";
    }

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
};

QTEST_GUILESS_MAIN(CPackageReadersTest)
#include "tst_packagereaders.moc"
