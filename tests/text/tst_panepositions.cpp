#include "tests/support/testfiles.h"
#include "text/normalizetext.h"
#include "text/textextractor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

// What the speech layer relies on: a position in the extracted text is the
// same position in the text pane once the text is shown there.
class CPanePositionsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString Write(const QString& strName, const QByteArray& bytes)
    {
        return KbTest::WriteFileIn(m_dir, strName, bytes);
    }

    static QByteArray Sample(const char* pszName)
    {
        QFile file(QStringLiteral(KB_TEST_DATA_DIR "text/") + QLatin1String(pszName));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("missing sample");
        return file.readAll();
    }

    static void CheckPositions(const QString& strText)
    {
        QPlainTextEdit edit;
        edit.setPlainText(strText);
        QTextDocument* pDoc = edit.document();
        QCOMPARE(pDoc->characterCount(), strText.size() + 1);
        for (qsizetype i = 0; i < strText.size(); ++i)
        {
            const QChar expected =
                strText.at(i) == u'\r' ? QChar(QChar::ParagraphSeparator) : strText.at(i);
            if (pDoc->characterAt(int(i)) != expected)
                QFAIL(qPrintable(QStringLiteral("position %1 differs").arg(i)));
        }
        static const QRegularExpression word(QStringLiteral("[^\\s\\x{2029}]+"));
        auto it = word.globalMatch(strText);
        int nWords = 0;
        while (it.hasNext())
        {
            const QRegularExpressionMatch match = it.next();
            QTextCursor cursor(pDoc);
            cursor.setPosition(int(match.capturedStart()));
            cursor.setPosition(int(match.capturedEnd()), QTextCursor::KeepAnchor);
            QCOMPARE(cursor.selectedText(), match.captured());
            ++nWords;
        }
        QVERIFY(nWords > 0);
    }

private Q_SLOTS:
    void wordsKeepTheirPositions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray utf16("\xFF\xFE");
        const QString strUtf16 = QStringLiteral(u"one\r\ntwo\nthree\rfour\u2028five\u2029six 😀 "
                                                u"seven\tx\x0B\x0Cy\x01z\uFDD0\uFDD1end");
        for (QChar c : strUtf16)
            utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        QTest::newRow("UTF-16 text") << "breaks.txt" << utf16;
        QTest::newRow("ANSI text") << "ansi.txt" << QByteArray("caf\xE9\r\n\r\nna\xEFve\n");
        QTest::newRow("RTF") << "sample.rtf" << Sample("lo-sample.rtf");
        QTest::newRow("Word") << "sample.doc" << Sample("lo-sample.doc");
        QTest::newRow("HTML") << "sample.html" << Sample("lo-sample.html");
        QTest::newRow("Word 2007") << "sample.docx" << Sample("pandoc-sample.docx");
        QTest::newRow("OpenDocument") << "sample.odt" << Sample("pandoc-sample.odt");
        QTest::newRow("EPUB 3") << "sample.epub" << Sample("pandoc-sample.epub");
        QTest::newRow("EPUB 2") << "book.epub" << Sample("pandoc-sample-epub2.epub");
        QTest::newRow("EPUB by an office suite") << "suite.epub" << Sample("lo-sample.epub");
        QTest::newRow("PDF") << "sample.pdf" << Sample("lo-sample.pdf");
        QTest::newRow("HTML pre") << "pre.htm"
                                  << QByteArray("<pre>a\r\nb\rc\n\n</pre><p>d&#13;e&#x2028;f</p>");
        QTest::newRow("web archive")
            << "page.mht"
            << QByteArray(
                   "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=b\r\n"
                   "\r\n--b\r\nContent-Type: text/html\r\nContent-Transfer-Encoding: "
                   "quoted-printable\r\n\r\n<p>a=0D=0Ab</p><pre>x=0D=0Ay</pre>\r\n--b--\r\n");
    }
    void wordsKeepTheirPositions()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        CTextExtractor extractor(m_dir.filePath(QStringLiteral("Temp")), {});
        QString strText;
        extractor.GetTextFromFile(Write(name, bytes), strText);
        QVERIFY(!strText.isEmpty());
        QVERIFY(!strText.contains(u'\n'));
        CheckPositions(strText);
    }

    void normalizeGivesOneCrPerBreak_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\n") << QStringLiteral("a\rb\r");
        QTest::newRow("LF and CR")
            << QStringLiteral("a\nb\rc\n\rd") << QStringLiteral("a\rb\rc\r\rd");
        QTest::newRow("paragraph separator")
            << QStringLiteral(u"a\u2029b") << QStringLiteral("a\rb");
        QTest::newRow("frame marks vanish")
            << QStringLiteral(u"a\uFDD0b\uFDD1c") << QStringLiteral("abc");
        QTest::newRow("unchanged")
            << QStringLiteral(u"a\tb\u2028c") << QStringLiteral(u"a\tb\u2028c");
    }
    void normalizeGivesOneCrPerBreak()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        NormalizeText(text);
        QCOMPARE(text, expected);
        CheckPositions(text);
    }
};

QTEST_MAIN(CPanePositionsTest)
#include "tst_panepositions.moc"
