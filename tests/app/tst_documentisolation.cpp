#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/syscalltrace.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"
#include "tests/support/worddocument.h"
#include "tests/support/zippackage.h"

#include <QAbstractButton>
#include <QDirIterator>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

// Documents that name web addresses and files outside themselves in every
// way their formats allow: reading them runs no script, connects nowhere
// and touches no file but the document and the program's own.
class CDocumentIsolationTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_root;
    QTcpServer m_server;
    // Where the documents point: the test's server, and files named
    // "canary" beside the document, above it and at an absolute path.
    QByteArray m_net;
    QByteArray m_abs;

    QString Docs() const { return m_root.filePath(QStringLiteral("docs")); }
    QString Home() const { return m_root.filePath(QStringLiteral("home")); }

    QByteArray Page() const
    {
        const QByteArray& n = m_net;
        return "<!DOCTYPE html><html><head><meta http-equiv=\"refresh\" content=\"0; url=" + n +
               "refresh\"><base href=\"" + n + "\"><link rel=\"stylesheet\" href=\"" + n +
               "sheet.css\"><link rel=\"stylesheet\" href=\"../canary.css\">"
               "<link rel=\"stylesheet\" href=\"file://" +
               m_abs + "\"><link rel=\"preload\" as=\"font\" href=\"" + n +
               "preload.woff\"><style>@import url(" + n + "import.css); @import \"" + m_abs +
               "\"; @font-face { font-family: f; src: url(" + n +
               "face.woff) } body { background: url(canary.png) }</style>"
               "<script src=\"" +
               n + "script.js\"></script><script>fetch('" + n +
               "fetch'); document.write('SCRIPT RAN')</script></head><body>"
               "<p>Visible words.</p><img src=\"" +
               n + "image.png\" srcset=\"" + n +
               "image2.png 2x\"><img src=\"canary.txt\"><img src=\"../canary.txt\"><img src=\"" +
               m_abs + "\"><iframe src=\"" + n + "frame.html\"></iframe><object data=\"" + n +
               "object.swf\"><param name=\"movie\" value=\"" + n +
               "param.swf\"></object><embed src=\"" + n + "embed.swf\"><video src=\"" + n +
               "video.mp4\" poster=\"" + n + "poster.png\"></video><svg><image href=\"" + n +
               "svg.png\"/></svg><div style=\"background-image: url(" + n +
               "inline.png)\">More words.</div></body></html>";
    }

    QByteArray Mht() const
    {
        return "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"B\"; "
               "type=\"text/html\"\r\n\r\n--B\r\nContent-Type: text/html; charset=utf-8\r\n"
               "Content-Location: " +
               m_net + "page.html\r\n\r\n" + Page() +
               "\r\n--B\r\nContent-Type: text/css\r\nContent-Location: ../canary.css\r\n\r\n"
               "@import url(" +
               m_net + "part.css); p { background: url(" + m_abs +
               ") }\r\n--B\r\nContent-Type: image/png\r\nContent-Location: file://" + m_abs +
               "\r\nContent-Transfer-Encoding: base64\r\n\r\niVBORw0KGgo=\r\n--B\r\n"
               "Content-Type: text/html\r\nContent-Location: ../../canary.html\r\n\r\n"
               "<p>x</p>\r\n--B--\r\n";
    }

    QByteArray Rtf() const
    {
        return "{\\rtf1\\ansi{\\*\\template " + m_abs + "}{\\field{\\*\\fldinst INCLUDEPICTURE \"" +
               m_net + "rtf.png\" \\\\d}{\\fldrslt picture}} {\\field{\\*\\fldinst INCLUDETEXT \"" +
               m_abs +
               "\"}{\\fldrslt included}} {\\field{\\*\\fldinst HYPERLINK \"../canary.txt\"}"
               "{\\fldrslt link}} {\\object\\objautlink{\\*\\objclass Word.Document.8}"
               "{\\*\\objdata 0105}{\\*\\objalias " +
               m_abs + "}{\\result linked}}\\par Visible rtf words.}";
    }

    QByteArray Doc() const
    {
        const QString strText =
            QStringLiteral(
                "\x13 INCLUDETEXT \"%1\" \x14included\x15 \x13 INCLUDEPICTURE \"%2doc.png\" "
                "\\d \x14picture\x15 \x13 HYPERLINK \"../canary.txt\" \x14link\x15 "
                "Visible doc words.\r")
                .arg(QString::fromUtf8(m_abs), QString::fromUtf8(m_net));
        return KbTest::WordDocument({{strText, false}}, uint32_t(strText.size()));
    }

    QByteArray Docx() const
    {
        const QByteArray rels =
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
        auto relationship = [&rels](const QByteArray& id, const QByteArray& type,
                                    const QByteArray& target, bool bExternal)
        {
            return "<Relationship Id=\"" + id + "\" Type=\"" + rels + "/" + type + "\" Target=\"" +
                   target + "\"" + (bExternal ? " TargetMode=\"External\"/>" : "/>");
        };
        return KbTest::ZipPackage(
            {{"[Content_Types].xml",
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>",
              true},
             {"_rels/.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\">" +
                  relationship("rId1", "officeDocument", "../word/document.xml", false) +
                  relationship("rId2", "attachedTemplate", m_net + "root.dotm", true) +
                  "</Relationships>",
              true},
             {"word/document.xml",
              "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
              "main\" xmlns:r=\"" +
                  rels +
                  "\" xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                  "xmlns:v=\"urn:schemas-microsoft-com:vml\"><w:body>"
                  "<w:p><w:r><w:t>Visible docx words.</w:t></w:r></w:p>"
                  "<w:p><w:fldSimple w:instr=\"INCLUDEPICTURE &quot;" +
                  m_net +
                  "docx.png&quot; \\d\"><w:r><w:t>picture</w:t></w:r></w:fldSimple></w:p>"
                  "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>"
                  "INCLUDETEXT \"" +
                  m_abs +
                  "\"</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                  "<w:r><w:t>included</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
                  "</w:p><w:p><w:hyperlink r:id=\"rIdUp\"><w:r><w:t>link</w:t></w:r>"
                  "</w:hyperlink></w:p><w:p><w:r><w:drawing><a:blip r:link=\"rIdNet\" "
                  "r:embed=\"rIdAbs\"/></w:drawing></w:r><w:r><w:pict><v:imagedata "
                  "r:id=\"rIdFile\" src=\"" +
                  m_abs +
                  "\"/></w:pict></w:r><w:r><w:subDoc r:id=\"rIdInside\"/></w:r></w:p>"
                  "<w:altChunk r:id=\"rIdChunk\"/></w:body></w:document>",
              true},
             {"word/_rels/document.xml.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\">" +
                  relationship("rIdUp", "hyperlink", "../canary.txt", true) +
                  relationship("rIdNet", "image", m_net + "docx-link.png", true) +
                  relationship("rIdAbs", "image", m_abs, true) +
                  relationship("rIdFile", "image", "file://" + m_abs, true) +
                  relationship("rIdInside", "subDocument", "../../canary.docx", false) +
                  relationship("rIdChunk", "aFChunk", m_net + "chunk.html", true) +
                  "</Relationships>",
              true},
             {"word/settings.xml",
              "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
              "main\" xmlns:r=\"" +
                  rels + "\"><w:attachedTemplate r:id=\"rIdTemplate\"/></w:settings>",
              true},
             {"word/_rels/settings.xml.rels",
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\">" +
                  relationship("rIdTemplate", "attachedTemplate", m_net + "template.dotm", true) +
                  "</Relationships>",
              true}});
    }

    QByteArray Odt() const
    {
        return KbTest::Odt(
            "<text:p>Visible odt words.</text:p><text:section text:name=\"s\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\"><text:section-source "
            "xlink:href=\"../canary.odt\" xlink:type=\"simple\"/><text:p>section</text:p>"
            "</text:section><text:p xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
            "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\"><draw:frame>"
            "<draw:image xlink:href=\"" +
            m_net + "odt.png\"/></draw:frame><text:a xlink:href=\"" + m_abs +
            "\">link</text:a></text:p>");
    }

    QByteArray Epub() const
    {
        const QByteArray& n = m_net;
        return KbTest::ZipPackage(
            {{"mimetype", "application/epub+zip", false},
             {"META-INF/container.xml",
              "<?xml version=\"1.0\"?><!DOCTYPE container SYSTEM \"" + n +
                  "container.dtd\"><container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:"
                  "container\"><rootfiles><rootfile full-path=\"../canary.opf\" "
                  "media-type=\"application/oebps-package+xml\"/></rootfiles></container>",
              true},
             {"OPS/book.opf",
              "<?xml version=\"1.0\"?><!DOCTYPE package SYSTEM \"" + m_abs +
                  "\"><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><manifest>"
                  "<item id=\"c1\" href=\"text.xhtml\" media-type=\"application/xhtml+xml\"/>"
                  "<item id=\"c2\" href=\"../../canary.xhtml\" "
                  "media-type=\"application/xhtml+xml\"/><item id=\"c3\" href=\"" +
                  m_abs +
                  "\" media-type=\"application/xhtml+xml\"/><item id=\"c4\" href=\"file://" +
                  m_abs + "\" media-type=\"application/xhtml+xml\"/><item id=\"c5\" href=\"" + n +
                  "remote.xhtml\" media-type=\"application/xhtml+xml\"/><item id=\"ncx\" href=\"" +
                  n +
                  "toc.ncx\" media-type=\"application/x-dtbncx+xml\"/></manifest>"
                  "<spine toc=\"ncx\"><itemref idref=\"c2\"/><itemref idref=\"c3\"/>"
                  "<itemref idref=\"c4\"/><itemref idref=\"c5\"/><itemref idref=\"c1\"/>"
                  "</spine></package>",
              true},
             {"OPS/text.xhtml", Page(), true},
             {"../canary.txt", "an entry that would land outside the book", true}});
    }

    QByteArray Pdf() const
    {
        const QByteArray content =
            "BT /F1 12 Tf 72 700 Td (Visible pdf words.) Tj ET q 10 0 0 10 72 600 cm /Im1 Do Q";
        const std::vector<QByteArray> objects{
            "<< /Type /Catalog /Pages 2 0 R /OpenAction << /S /GoToR /F (" + m_abs +
                ") /D [0 /Fit] >> /AA << /WC << /S /Launch /F (../canary.txt) >> >> >>",
            "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 "
            "0 R >> /XObject << /Im1 6 0 R >> >> /Contents 5 0 R /Annots [7 0 R 8 0 R] >>",
            "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
            "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
                "\nendstream",
            "<< /Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray "
            "/BitsPerComponent 8 /Length 0 /F (canary.png) /FFilter /DCTDecode >>\nstream\n"
            "\nendstream",
            "<< /Type /Annot /Subtype /Link /Rect [72 690 200 710] /A << /S /URI /URI (" + m_net +
                "pdf-link) >> >>",
            "<< /Type /Annot /Subtype /Link /Rect [72 650 200 670] /A << /S /Launch /F (" + m_abs +
                ") >> >>"};
        QByteArray pdf = "%PDF-1.4\n";
        QByteArray xref =
            "xref\n0 " + QByteArray::number(int(objects.size()) + 1) + "\n0000000000 65535 f \n";
        for (size_t i = 0; i < objects.size(); ++i)
        {
            xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
            pdf += QByteArray::number(int(i) + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
        }
        const QByteArray start = QByteArray::number(pdf.size());
        return pdf + xref + "trailer\n<< /Size " + QByteArray::number(int(objects.size()) + 1) +
               " /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
    }

    // Names and sizes of everything under the test's folder but the home,
    // where the program keeps its own files.
    QStringList Listing() const
    {
        QStringList entries;
        QDirIterator it(m_root.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
        {
            it.next();
            if (!it.filePath().startsWith(Home()))
                entries << it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().size());
        }
        entries.sort();
        return entries;
    }

    // The test's own connection, made last, leaves the listening queue
    // last: anything the reading connected is accepted before it.
    void VerifyNoConnection()
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_server.serverPort());
        QVERIFY(probe.waitForConnected(10000));
        QStringList others;
        for (;;)
        {
            if (!m_server.hasPendingConnections())
                QVERIFY(m_server.waitForNewConnection(10000));
            const std::unique_ptr<QTcpSocket> pSocket(m_server.nextPendingConnection());
            QVERIFY(pSocket);
            if (pSocket->peerPort() == probe.localPort())
                break;
            pSocket->waitForReadyRead(1000);
            others << QString::fromUtf8(pSocket->readAll());
        }
        QVERIFY2(others.isEmpty(), qPrintable(others.join(QLatin1Char('\n'))));
    }

    QByteArray DocumentBytes(const QString& strKind) const
    {
        if (strKind == u"html")
            return Page();
        if (strKind == u"mht")
            return Mht();
        if (strKind == u"rtf")
            return Rtf();
        if (strKind == u"doc")
            return Doc();
        if (strKind == u"docx")
            return Docx();
        if (strKind == u"odt")
            return Odt();
        if (strKind == u"epub")
            return Epub();
        return Pdf();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        m_net = "http://127.0.0.1:" + QByteArray::number(m_server.serverPort()) + "/";
        m_abs = QFile::encodeName(m_root.filePath(QStringLiteral("abs/canary.txt")));
        for (const QString& strCanary :
             {QStringLiteral("canary.txt"), QStringLiteral("docs/canary.txt"),
              QStringLiteral("abs/canary.txt")})
            KbTest::WriteFileIn(m_root, strCanary, "canary");
        QVERIFY(!m_root.path().contains(QLatin1String("canary")));
        QVERIFY(QDir().mkpath(Home()));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("html") << "html" << QByteArray("Visible words.\n\nMore words.\n");
        QTest::newRow("mht") << "mht" << QByteArray("Visible words.\n\nMore words.\n");
        QTest::newRow("rtf") << "rtf" << QByteArray("Visible rtf words.");
        QTest::newRow("doc") << "doc" << QByteArray("Visible doc words.");
        QTest::newRow("docx") << "docx" << QByteArray("Visible docx words.");
        QTest::newRow("odt") << "odt" << QByteArray("Visible odt words.");
        QTest::newRow("epub") << "epub" << QByteArray("Visible words.\n\nMore words.\n");
        QTest::newRow("pdf") << "pdf" << QByteArray("Visible pdf words.");
    }
    void commandLine()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, text);
        const QString strPath =
            KbTest::WriteFileIn(m_root, QStringLiteral("docs/page.") + kind, DocumentBytes(kind));
        const QStringList before = Listing();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), Home());
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        KbTest::CSyscallTrace trace;
        QVERIFY2(trace.Run(QStringLiteral(KB_BIN_DIR "kestrivane-basic"),
                           {QStringLiteral("--extract-text"), strPath}, env),
                 KbTest::CSyscallTrace::NeedsMessage());
        QVERIFY2(trace.ExitCode() == 0, trace.Errors().constData());
        QVERIFY2(trace.Output().contains(text), trace.Output().constData());
        for (const char* pszForeign : {"canary", "127.0.0.1", "SCRIPT", "fetch"})
            QVERIFY2(!trace.Output().contains(pszForeign), trace.Output().constData());

        // The program itself is the only one started: no script runner,
        // no helper that could fetch.
        bool bDocumentOpened = false;
        for (const KbTest::SSyscall& call : trace.Calls())
        {
            const QString strCall = call.strName + QLatin1Char('(') + call.strArgs;
            bDocumentOpened =
                bDocumentOpened || (call.strName == u"openat" && call.paths.contains(strPath));
            for (const QString& strNamed : call.paths)
                QVERIFY2(!strNamed.contains(QLatin1String("canary")), qPrintable(strCall));
            QVERIFY2(call.strName != u"socket" ||
                         !call.strArgs.startsWith(QLatin1String("AF_INET")),
                     qPrintable(strCall));
            QVERIFY2(call.strName != u"execve" ||
                         call.paths.value(0) == QStringLiteral(KB_BIN_DIR "kestrivane-basic"),
                     qPrintable(strCall));
        }
        QVERIFY(bDocumentOpened);
        for (const QString& strWritten : trace.WrittenPaths())
            QVERIFY2(strWritten.startsWith(Home() + QLatin1Char('/')), qPrintable(strWritten));
        QCOMPARE(Listing(), before);
        VerifyNoConnection();
    }

    // The window's text pane shows the page as text, fetching nothing.
    void windowPane_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("html") << "html";
        QTest::newRow("mht") << "mht";
    }
    void windowPane()
    {
        QFETCH(QString, kind);
        const QString strPath =
            KbTest::WriteFileIn(m_root, QStringLiteral("docs/pane.") + kind, DocumentBytes(kind));
        const std::unique_ptr<QTemporaryDir> pHome = KbTest::UseFreshHome();
        KbTest::CDialogHooks hooks;
        hooks.Install();
        auto pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        QVERIFY(pApp->InitSettings());
        {
            CSpeechDlg dlg;
            dlg.show();
            hooks.m_answers.push_back(strPath);
            KbTest::Item<QAbstractButton>(dlg, IDC_BTN_OPEN)->click();
            QCOMPARE(KbTest::Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT)->toPlainText(),
                     QStringLiteral("Visible words.\n\nMore words."));
            QVERIFY(hooks.m_messages.empty());
            QCoreApplication::processEvents();
        }
        hooks.Remove();
        KbTest::EndApp(pApp);
        VerifyNoConnection();
    }
};

QTEST_MAIN(CDocumentIsolationTest)
#include "tst_documentisolation.moc"
