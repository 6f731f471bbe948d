#include "text/codepage.h"
#include "text/htmltext.h"
#include "text/mhtreader.h"

#include <QTest>

class CHtmlTextTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void visibleText_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("paragraphs leave an empty line")
            << QByteArray("<html><body><p>One</p><p>Two</p></body></html>")
            << QStringLiteral("One\n\nTwo");
        QTest::newRow("blocks and br") << QByteArray("<div>a</div><div>b<br>c</div><h1>T</h1>d")
                                       << QStringLiteral("a\nb\nc\nT\nd");
        QTest::newRow("white space collapses")
            << QByteArray("<body>\n  Hello \t\n  <b>big</b>\n world  </body>")
            << QStringLiteral("Hello big world");
        QTest::newRow("pre keeps its spaces and lines")
            << QByteArray("<p>x</p><pre>\n  a  b\n c</pre>y")
            << QStringLiteral("x\n\n  a  b\n c\ny");
        QTest::newRow("script style template head give nothing")
            << QByteArray("<html><head><title>T</title><style>p{}</style></head><body>"
                          "<script>var a='<p>x</p>';</script>A<template>t</template>"
                          "<style>b{}</style>B<noscript>N</noscript></body></html>")
            << QStringLiteral("AB");
        QTest::newRow("hidden elements give nothing")
            << QByteArray("<p>a<span style=\"color:red; DISPLAY : none\">x</span>b</p>"
                          "<div hidden>h</div><p>c</p>")
            << QStringLiteral("ab\n\nc");
        QTest::newRow("entities")
            << QByteArray("<p>&amp; &lt;&gt; &eacute;&#233;&#x263A; a&nbsp;b &copy</p>")
            << QStringLiteral(u"& <> \u00E9\u00E9\u263A a\u00A0b \u00A9");
        QTest::newRow("table cells and rows")
            << QByteArray("<table><tr><td>a</td><td>b</td></tr><tr><th>c</th><td>d</td>"
                          "</tr></table>after")
            << QStringLiteral("a\tb\nc\td\nafter");
        QTest::newRow("paragraphs in cells")
            << QByteArray("<table><tr><td><p>a</p></td><td><p>b</p><p>c</p></td></tr>"
                          "<tr><td>d</td></tr></table><pre>e\t</pre><p>f</p>")
            << QStringLiteral("a\tb\n\nc\n\nd\ne\t\n\nf");
        QTest::newRow("lists") << QByteArray("<ul><li>one<li>two</ul><ol><li>three</li></ol>")
                               << QStringLiteral("one\ntwo\nthree");
        QTest::newRow("text outside the body markup")
            << QByteArray("plain <i>text</i>") << QStringLiteral("plain text");
        QTest::newRow("no body content") << QByteArray("<html><head></head></html>") << QString();
        QTest::newRow("a lone less-than sign")
            << QByteArray("<p>1 < 2</p>") << QStringLiteral("1 < 2");
        QTest::newRow("slash does not close a div")
            << QByteArray("<div/>a<div/>b") << QStringLiteral("a\nb");
    }
    void visibleText()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        QCOMPARE(CHtmlText::FromHtml(html), expected);
    }

    // What the page's style sheets hide is left out as a browser leaves it
    // out of innerText.
    void styleSheetsHide_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("type, class and id rules")
            << QByteArray("<html><head><style>h2 { display: none } .ad { visibility: HIDDEN }"
                          "</style><STYLE>#x{display:none!important}</STYLE></head><body>"
                          "<h1>a</h1><h2>b</h2><p>c <span class='big ad'>d</span>e</p>"
                          "<p id=x>f</p></body></html>")
            << QStringLiteral("a\n\nc e");
        QTest::newRow("compound, universal, descendant, child and lists")
            << QByteArray("<style>div.note#n, ol > *, section p, h3, .gone { display: none }"
                          "</style><div class=note id=n>1</div><div class=note>2</div>"
                          "<ol><li>3</li></ol><ul><li>4</li></ul><section><div><p>5</p></div>"
                          "</section><p>6</p><h3>7</h3><b class=gone>8</b>")
            << QStringLiteral("2\n4\n\n6");
        QTest::newRow("print-only and unreadable rules do not hide")
            << QByteArray("<style media=print>p { display: none }</style><style>"
                          "@media print { div { display: none } } "
                          "@media screen { i { display: none } } a:hover, [title] "
                          "{ display: none }</style><p>a</p><div>b <i>x</i><a>c</a></div>")
            << QStringLiteral("a\n\nb c");
        QTest::newRow("a later or more specific rule shows again")
            << QByteArray("<style>p { display: none } p.keep { display: block } "
                          "div { display: none } div { display: block }</style>"
                          "<p>x</p><p class=keep>y</p><div>z</div>")
            << QStringLiteral("y\n\nz");
        QTest::newRow("visible inside visibility hidden, not inside display none")
            << QByteArray("<style>.h { visibility: hidden } .v { visibility: visible } "
                          ".n { display: none }</style><div class=h>gone <span class=v>back"
                          "</span></div><div class=n><span class=v>never</span></div><p>end")
            << QStringLiteral("back\n\nend");
        QTest::newRow("inline styles win over the sheet")
            << QByteArray("<style>p { display: none } span { visibility: visible }</style>"
                          "<p style='display: block'>a</p><span style='visibility:hidden'>b"
                          "</span>c")
            << QStringLiteral("a\n\nc");
        QTest::newRow("linked sheets are never fetched")
            << QByteArray("<link rel=stylesheet href='hide.css'><p>a</p>") << QStringLiteral("a");
    }
    void styleSheetsHide()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        QCOMPARE(CHtmlText::FromHtml(html), expected);
    }

    void characterSet_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("meta charset")
            << QByteArray("<meta charset=\"windows-1251\"><p>\xCF\xF0\xE8</p>")
            << QStringLiteral(u"\u041F\u0440\u0438");
        QTest::newRow("http-equiv")
            << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=koi8-r\"></head><body>\xF0\xD2\xC9</body></html>")
            << QStringLiteral(u"\u041F\u0440\u0438");
        QTest::newRow("meta after a comment")
            << QByteArray("<!-- <meta charset=koi8-r> --><meta charset=utf-8>\xC3\xA9")
            << QStringLiteral(u"\u00E9");
        QTest::newRow("UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF<meta charset=windows-1251><p>\xC3\xA9</p>")
            << QStringLiteral(u"\u00E9");
        QTest::newRow("UTF-16 LE mark")
            << QByteArray("\xFF\xFE<\0p\0>\0\x3A\x04", 10) << QStringLiteral(u"\u043A");
        QTest::newRow("no declaration, not UTF-8, is the locale's page")
            << QByteArray("<p>caf\xE9 \x80</p>") << QStringLiteral(u"caf\u00E9 \u20AC");
        QTest::newRow("no declaration, valid UTF-8")
            << QByteArray("<p>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, caf\xC3\xA9</p>")
            << QStringLiteral(u"\u041F\u0440\u0438\u0432\u0435\u0442, caf\u00E9");
        QTest::newRow("no declaration, KOI8-R locale")
            << QByteArray("<p>\xF0\xD2\xC9</p>") << QStringLiteral(u"\u041F\u0440\u0438");
        QTest::newRow("Shift_JIS")
            << QByteArray("<meta charset=shift_jis>\x82\xA0") << QStringLiteral(u"\u3042");
    }
    void characterSet()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        CCodePage::SetLocaleOverride(
            QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("KOI8-R locale"))
                ? QStringLiteral("ru_RU.KOI8-R")
                : QStringLiteral("en_US.UTF-8"));
        const QString strText = CHtmlText::FromHtml(html);
        CCodePage::SetLocaleOverride(QString());
        QCOMPARE(strText, expected);
    }

    // Shapes that cost the parser quadratic time or unbounded memory are
    // bounded before it sees them; their text still comes through.
    void hostileShapesKeepTheirText_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("needle");
        QTest::newRow("deep divs") << QByteArray("<div>").repeated(30000) + "deep"
                                   << "deep";
        QTest::newRow("deep self-closed divs") << QByteArray("<div/>").repeated(30000) + "x"
                                               << "x";
        QTest::newRow("nested tables") << QByteArray("<table><tr><td>").repeated(5000) + "cell"
                                       << "cell";
        QTest::newRow("nested templates") << QByteArray("<template>").repeated(20000) + "<p>t"
                                          << "";
        QTest::newRow("many attributes") << "<p " + QByteArray("a=1 ").repeated(40000) + ">attr"
                                         << "attr";
        QTest::newRow("unterminated style sheet")
            << "<style>p { display: none" + QByteArray(1 << 20, '{') + "</style><p>kept"
            << "kept";
        QTest::newRow("reopened formatting") << QByteArray("<b><i><u><s><em>").repeated(2000) +
                                                    QByteArray("<p>x").repeated(20000) + "end"
                                             << "end";
    }
    void hostileShapesKeepTheirText()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, needle);
        const QString strText = CHtmlText::FromHtml(html);
        QVERIFY(strText.contains(needle));
    }

    // Bounds apply to each element, never to the whole page: a page of a
    // few megabytes keeps every paragraph and hides what it hides.
    void largePageKeepsItsStructure_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        QByteArray paragraphs("<html><body>");
        QStringList lines;
        for (int i = 0; i < 200000; ++i)
        {
            paragraphs += "<p>Paragraph <b>" + QByteArray::number(i) + "</b></p>\n";
            lines << QStringLiteral("Paragraph %1").arg(i);
        }
        QTest::newRow("200,000 paragraphs") << paragraphs << lines.join(QStringLiteral("\n\n"));
        QTest::newRow("hidden after many attributes")
            << QByteArray("<div class=a id=b>w</div>").repeated(30000) +
                   "<div hidden>secret</div><div style='display: none'>styled</div>end"
            << QString(QStringLiteral("w\n").repeated(30000) + QStringLiteral("end"));
        QTest::newRow("hidden past the attribute bound")
            << "<p>a</p><p " + QByteArray("a=1 ").repeated(100) + "hidden>b</p><p>c</p>"
            << QStringLiteral("a\n\nc");
        QTest::newRow("formatting left open in paragraphs")
            << QByteArray("<p><i id=x>a</p>").repeated(20000) + "<p>end"
            << QString(QStringLiteral("a\n\n").repeated(20000) + QStringLiteral("end"));
    }
    void largePageKeepsItsStructure()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        QCOMPARE(CHtmlText::FromHtml(html), expected);
    }

    void webArchives_data()
    {
        QTest::addColumn<QByteArray>("mht");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quoted-printable root")
            << QByteArray(
                   "From: <Saved>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n"
                   "\tboundary=\"----=_NextPart_000\";\r\n\ttype=\"text/html\"\r\n\r\n"
                   "This is a multi-part message in MIME format.\r\n\r\n"
                   "------=_NextPart_000\r\nContent-Type: text/html; charset=\"windows-1252\"\r\n"
                   "Content-Transfer-Encoding: quoted-printable\r\n"
                   "Content-Location: file:///C:/page.htm\r\n\r\n"
                   "<html><body><p>Caf=E9 au lait, a very long line that is soft=\r\n"
                   "-broken</p><p>=3D</p></body></html>\r\n\r\n"
                   "------=_NextPart_000\r\nContent-Type: image/png\r\n"
                   "Content-Transfer-Encoding: base64\r\n\r\niVBORw0KGgo=\r\n\r\n"
                   "------=_NextPart_000--\r\n")
            << QStringLiteral(u"Caf\u00E9 au lait, a very long line that is soft-broken\n\n=");
        QTest::newRow("start parameter names the root")
            << QByteArray("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b; "
                          "start=\"<root@x>\"\n\n--b\nContent-Type: text/html\n\n<p>frame</p>\n"
                          "--b\nContent-Type: text/html; charset=utf-8\nContent-ID: <root@x>\n"
                          "Content-Transfer-Encoding: base64\n\n" +
                          QByteArray("<p>r\xC3\xA9sum\xC3\xA9</p>").toBase64() + "\n--b--\n")
            << QStringLiteral(u"r\u00E9sum\u00E9");
        QTest::newRow("single part")
            << QByteArray("MIME-Version: 1.0\r\nContent-Type: text/html; charset=koi8-r\r\n"
                          "Content-Transfer-Encoding: quoted-printable\r\n\r\n<p>=F0=D2=C9</p>")
            << QStringLiteral(u"\u041F\u0440\u0438");
        QTest::newRow("nested alternative")
            << QByteArray("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=o\n\n"
                          "--o\nContent-Type: multipart/alternative; boundary=i\n\n--i\n"
                          "Content-Type: text/plain\n\nplain\n--i\nContent-Type: text/html\n\n"
                          "<b>rich</b>\n--i--\n--o--\n")
            << QStringLiteral("rich");
        QTest::newRow("no html part")
            << QByteArray("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n"
                          "--b\nContent-Type: text/plain\n\nx\n--b--\n")
            << QString();
        QTest::newRow("style parts hide")
            << QByteArray("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n"
                          "--b\nContent-Type: text/html\nContent-Location: http://h/d/page.htm\n"
                          "\n<html><head><link rel=stylesheet href=\"s.css\"><link rel=stylesheet"
                          " href=\"http://h/x.css\"><style>.own { display: none }</style></head>"
                          "<body><div class=ad>ad</div><p class=own>own</p><p>kept</p>"
                          "<div class=far>far</div></body></html>\n"
                          "--b\nContent-Type: text/css\nContent-Location: http://h/d/s.css\n"
                          "Content-Transfer-Encoding: quoted-printable\n\n"
                          "div.ad { display: none =\n}\n"
                          "--b\nContent-Type: text/css\nContent-Location: http://h/d/u.css\n\n"
                          "p { display: none }\n--b--\n")
            << QStringLiteral("kept\n\nfar");
        QTest::newRow("plain html named mht")
            << QByteArray("<html><body>page</body></html>") << QStringLiteral("page");
    }
    void webArchives()
    {
        QFETCH(QByteArray, mht);
        QFETCH(QString, expected);
        QCOMPARE(CMhtReader::ToText(mht), expected);
    }
};

QTEST_GUILESS_MAIN(CHtmlTextTest)
#include "tst_htmltext.moc"
