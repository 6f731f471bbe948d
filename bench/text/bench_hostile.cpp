// Time and peak memory of each reader on about a megabyte of input shaped
// to be expensive: every row should stay well under a second and 128 MB
// above the input itself (markup as dense as "<p>x" costs the parser a node
// of about 200 bytes for every two bytes of input). Each input runs in a child process of its own
// so that the peak belongs to that input alone.
#include "bench/text/childreader.h"
#include "tests/support/zippackage.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int Megabyte = 1 << 20;

QByteArray Fill(const QByteArray& prefix, const QByteArray& unit, const QByteArray& suffix = {})
{
    QByteArray out = prefix;
    while (out.size() + unit.size() + suffix.size() <= Megabyte)
        out.append(unit);
    return out + suffix;
}

QByteArray Utf16(const QByteArray& latin)
{
    QByteArray out("\xFF\xFE", 2);
    for (char c : latin)
        out.append(c).append('\0');
    return out;
}

QByteArray Sample(const char* pszName)
{
    QFile file(QStringLiteral(KB_TEST_DATA_DIR "text/") + QLatin1String(pszName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A page of some 100,000 elements under a thousand rules that hide, show
// again and mostly match nothing, as a large site's sheets do.
QByteArray StyledPage(bool bSheet)
{
    QByteArray css;
    for (int i = 0; i < 1000; ++i)
    {
        const QByteArray n = QByteArray::number(i);
        switch (i % 5)
        {
        case 0:
            css += ".c" + n + " { display: none }\n";
            break;
        case 1:
            css += "div.c" + n + " p, #i" + n + " { visibility: hidden }\n";
            break;
        case 2:
            css += "ul > li.c" + n + " { display: none !important }\n";
            break;
        case 3:
            css += "section .c" + n + " span { display: block }\n";
            break;
        default:
            css += "@media print { .c" + n + " { display: none } }\n";
            break;
        }
    }
    QByteArray page = "<html><head><style>" + (bSheet ? css : "") + "</style></head><body>";
    for (int i = 0; i < 17000; ++i)
    {
        const QByteArray n = QByteArray::number(i % 1500);
        page += "<div class='c" + n + " box'><ul><li class=c" + n + ">item</li><li id=i" + n +
                ">two</li></ul><p>text <span>more</span></p></div>\n";
    }
    return page;
}

// Rules whose every key is on the ancestors but whose shape never fits,
// over leaves deep in a tree: each test walks all the ancestors.
QByteArray AncestorScans()
{
    QByteArray css;
    for (int a = 0; a < 30; ++a)
    {
        for (int b = 0; a + b < 30; ++b)
        {
            for (const char* pszHead : {"div > section", "section > section", "div > * > section"})
                css += pszHead + QByteArray(" div").repeated(a) + QByteArray(" *").repeated(b) +
                       " { display: none }\n";
        }
    }
    QByteArray page = "<style>" + css + "</style><section>" + QByteArray("<div>").repeated(390);
    while (page.size() < Megabyte)
        page += "<div>x</div>";
    return page;
}

} // namespace

int main()
{
    const std::vector<KbBench::SReaderCase> cases = {
        {"html plain page", FuzzReader::Html,
         [] { return Fill("<html><body>", "<p>Some words of text in a paragraph.</p>\n"); }},
        {"html dense p", FuzzReader::Html, [] { return Fill("", "<p>x"); }},
        {"html nested div", FuzzReader::Html, [] { return Fill("", "<div>"); }},
        {"html self-closed div", FuzzReader::Html, [] { return Fill("", "<div/>"); }},
        {"html nested table", FuzzReader::Html, [] { return Fill("", "<table><tr><td>"); }},
        {"html nested template", FuzzReader::Html, [] { return Fill("", "<template>"); }},
        {"html attributes", FuzzReader::Html, [] { return Fill("<p ", "a=1 ", ">x"); }},
        {"html formatting reopened", FuzzReader::Html,
         []
         {
             return Fill(
                 QByteArray("<b id=1><i id=2><u id=3><s id=4><em id=5><a id=6><font id=7><tt id=8>")
                     .repeated(50),
                 "<p>x");
         }},
        {"html entities", FuzzReader::Html, [] { return Fill("<p>", "&amp;"); }},
        {"html unclosed script", FuzzReader::Html, [] { return Fill("<script>", "<div>"); }},
        {"html cells in a row", FuzzReader::Html, [] { return Fill("<table><tr>", "<td>x"); }},
        {"html misnested anchors", FuzzReader::Html, [] { return Fill("", "<a><b><a><i>x"); }},
        {"html foster-parented", FuzzReader::Html,
         [] { return Fill("<table>", "<b>x<tr><td>y</td></tr>"); }},
        {"html nested lists", FuzzReader::Html, [] { return Fill("", "<ul><li>"); }},
        {"html nested svg", FuzzReader::Html, [] { return Fill("<svg>", "<g>"); }},
        {"html nested select", FuzzReader::Html, [] { return Fill("", "<select><option>"); }},
        {"html unclosed comments", FuzzReader::Html, [] { return Fill("", "<!--<p>"); }},
        {"html formatting then table", FuzzReader::Html,
         [] { return Fill(QByteArray("<b><i><u><s>").repeated(4), "<table><td>x</table>"); }},
        {"html 100k elems no rules", FuzzReader::Html, [] { return StyledPage(false); }},
        {"html 100k elems 1000 rules", FuzzReader::Html, [] { return StyledPage(true); }},
        {"html rules scan ancestors", FuzzReader::Html, AncestorScans},
        {"html sheet of open braces", FuzzReader::Html,
         [] { return Fill("<style>p{display:none", "{", "</style><p>x"); }},
        {"html sheet of selectors", FuzzReader::Html,
         [] { return Fill("<style>", "div p>b.c#d,", "*{display:none}</style><p>x"); }},
        {"mht many parts", FuzzReader::Mht,
         [] {
             return Fill("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n",
                         "--b\n\n");
         }},
        {"mht nested multiparts", FuzzReader::Mht,
         []
         {
             return Fill("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=b\n\n",
                         "--b\nContent-Type: multipart/related; boundary=b\n\n");
         }},
        {"mht base64 page", FuzzReader::Mht,
         []
         {
             return Fill("MIME-Version: 1.0\nContent-Type: text/html\nContent-Transfer-Encoding: "
                         "base64\n\n",
                         QByteArray("<p>Some text of a page</p>").toBase64() + "\n");
         }},
        {"rtf plain text", FuzzReader::Rtf,
         [] { return Fill("{\\rtf1\\ansi ", "Some words of text\\par\n", "}"); }},
        {"rtf deep groups", FuzzReader::Rtf, [] { return Fill("{\\rtf1 ", "{"); }},
        {"rtf unicode", FuzzReader::Rtf, [] { return Fill("{\\rtf1 ", "\\u1087?"); }},
        {"rtf font table", FuzzReader::Rtf,
         [] { return Fill("{\\rtf1{\\fonttbl", "{\\f1\\fcharset204 A;}"); }},
        {"rtf hex bytes", FuzzReader::Rtf,
         [] { return Fill("{\\rtf1\\ansi\\ansicpg1251 ", "\\'cf"); }},
        {"word sample padded", FuzzReader::Word,
         [] { return Sample("lo-sample.doc") + QByteArray(Megabyte, '\0'); }},
        {"word fields", FuzzReader::Word,
         [] { return Fill("{\\rtf1 ", "{\\field{\\*\\fldinst x}{\\fldrslt y}}"); }},
        // Zip packages: the bombs inflate to 64 MB where the reader's bound
        // is 100 times the archive; the rest are stored, so the reader sees
        // the full megabyte.
        {"docx zip bomb", FuzzReader::Docx,
         []
         {
             return KbTest::Docx("<w:p><w:r><w:t>" + QByteArray(64 * Megabyte, 'x') +
                                 "</w:t></w:r></w:p>");
         }},
        {"docx deep XML", FuzzReader::Docx,
         [] { return KbTest::Docx(Fill("<w:p><w:r><w:t>x</w:t></w:r></w:p>", "<w:sdt>"), false); }},
        {"docx billion laughs", FuzzReader::Docx,
         []
         {
             return KbTest::ZipPackage(
                 {{"word/document.xml",
                   KbTest::BillionLaughs("w:document",
                                         "<w:document xmlns:w=\"urn:w\"><w:body><w:p><w:r><w:t>" +
                                             QByteArray("&l9;").repeated(1000) +
                                             "</w:t></w:r></w:p></w:body></w:document>"),
                   true}});
         }},
        {"docx huge attribute", FuzzReader::Docx,
         []
         {
             return KbTest::Docx("<w:p w:x=\"" + KbTest::Noise(Megabyte) +
                                     "\"><w:r><w:t>x</w:t></w:r></w:p>",
                                 false);
         }},
        {"docx many cells", FuzzReader::Docx,
         [] { return KbTest::Docx(Fill("<w:tbl><w:tr>", "<w:tc><w:p/></w:tc>"), false); }},
        {"odt zip bomb", FuzzReader::Odt,
         [] { return KbTest::Odt("<text:p>" + QByteArray(64 * Megabyte, 'x') + "</text:p>"); }},
        {"odt deep XML", FuzzReader::Odt,
         [] { return KbTest::Odt(Fill("<text:p>x</text:p>", "<text:span>"), false); }},
        {"odt deep notes", FuzzReader::Odt,
         []
         { return KbTest::Odt(Fill("<text:p>", "<text:note><text:note-body><text:p>x"), false); }},
        {"odt spaces", FuzzReader::Odt,
         [] { return KbTest::Odt(Fill("<text:p>", "<text:s text:c=\"999999999\"/>"), false); }},
        {"odt billion laughs", FuzzReader::Odt,
         []
         {
             return KbTest::ZipPackage(
                 {{"content.xml",
                   KbTest::BillionLaughs(
                       "office:document-content",
                       "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:"
                       "xmlns:office:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:"
                       "text:1.0\"><office:body><office:text><text:p>" +
                           QByteArray("&l9;").repeated(1000) +
                           "</text:p></office:text></office:body></office:document-content>"),
                   true}});
         }},
        {"odt huge attribute", FuzzReader::Odt,
         []
         {
             return KbTest::Odt(
                 "<text:p text:style-name=\"" + KbTest::Noise(Megabyte) + "\">x</text:p>", false);
         }},
        {"epub zip bomb", FuzzReader::Epub,
         []
         {
             return KbTest::Epub(
                 "<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>",
                 "<itemref idref=\"a\"/>",
                 {{"OPS/a.xhtml", KbTest::Page("<p>" + QByteArray(64 * Megabyte, 'x')), true}});
         }},
        {"epub deep XML", FuzzReader::Epub,
         []
         {
             return KbTest::Epub(
                 "<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>",
                 "<itemref idref=\"a\"/>", {{"OPS/a.xhtml", Fill("<html><body>", "<div>"), false}});
         }},
        {"epub deep package", FuzzReader::Epub,
         [] {
             return KbTest::ZipPackage(
                 {{"book.opf", Fill("<package><manifest>", "<item>"), false}});
         }},
        {"epub billion laughs", FuzzReader::Epub,
         []
         {
             return KbTest::ZipPackage(
                 {{"book.opf",
                   KbTest::BillionLaughs("package",
                                         "<package><manifest><item id=\"&l9;\"/></manifest>"
                                         "<spine><itemref idref=\"&l9;\"/></spine></package>"),
                   true}});
         }},
        {"epub huge attribute", FuzzReader::Epub,
         []
         {
             return KbTest::ZipPackage(
                 {{"book.opf",
                   "<package><manifest><item id=\"c\" href=\"" + KbTest::Noise(Megabyte) +
                       "\" media-type=\"application/xhtml+xml\"/></manifest><spine><itemref "
                       "idref=\"c\"/></spine></package>",
                   false}});
         }},
        {"epub entries sharing bytes", FuzzReader::Epub,
         []
         {
             std::vector<std::pair<QByteArray, int>> aliases;
             QByteArray manifest, spine;
             for (int i = 0; i < 8000; ++i)
             {
                 const QByteArray n = QByteArray::number(i);
                 aliases.push_back({"c" + n + ".xhtml", 0});
                 manifest += "<item id=\"c" + n + "\" href=\"c" + n +
                             ".xhtml\" media-type=\"application/xhtml+xml\"/>";
                 spine += "<itemref idref=\"c" + n + "\"/>";
             }
             return KbTest::ZipPackage(
                 {{"x.xhtml", KbTest::Page("<p>" + QByteArray(60000, 'x') + "</p>"), true},
                  {"book.opf",
                   "<package><manifest>" + manifest + "</manifest><spine>" + spine +
                       "</spine></package>",
                   true}},
                 aliases);
         }},
        {"epub spine repeats", FuzzReader::Epub,
         []
         {
             return KbTest::Epub(
                 "<item id=\"a\" href=\"a.xhtml\" media-type=\"application/xhtml+xml\"/>",
                 Fill("", "<itemref idref=\"a\"/>"),
                 {{"OPS/a.xhtml",
                   KbTest::Page(QByteArray("<p>Some words of text.</p>").repeated(20000)), true}});
         }},
        {"pdf nested arrays", FuzzReader::Pdf,
         [] { return Fill("%PDF-1.4\n1 0 obj\n", "[", "\nendobj\n%%EOF\n"); }},
        {"pdf nested dictionaries", FuzzReader::Pdf,
         [] { return Fill("%PDF-1.4\n1 0 obj\n", "<</A ", "\nendobj\n%%EOF\n"); }},
        // One page listed again and again in the page tree.
        {"pdf many pages", FuzzReader::Pdf,
         []
         {
             return Fill("%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
                         "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]/Contents 4 0 R"
                         "/Resources<</Font<</F1<</Type/Font/Subtype/Type1/BaseFont/Helvetica>>"
                         ">>>>>> endobj\n"
                         "4 0 obj <</Length 33>> stream\nBT /F1 12 Tf 10 10 Td (word) Tj ET\n"
                         "endstream endobj\n"
                         "2 0 obj <</Type/Pages/Count 100000/Kids[",
                         "3 0 R ", "]>> endobj\ntrailer <</Root 1 0 R>>\n%%EOF\n");
         }},
        {"text one line", FuzzReader::TextFile,
         [] { return Fill("\xEF\xBB\xBF", "\xF0\x9F\x98\x80"); }},
        {"text empty lines", FuzzReader::TextFile, [] { return Fill("", "\r"); }},
        {"text ansi", FuzzReader::TextFile, [] { return Fill("", "caf\xE9 \x80\n"); }},
        {"settings many keys", FuzzReader::Settings,
         [] { return Utf16(Fill("[S]\r\n", "k=v\r\n").left(Megabyte / 2)); }},
        {"settings many sections", FuzzReader::Settings,
         [] { return Utf16(Fill("", "[s]\r\n").left(Megabyte / 2)); }},
    };

    std::printf("%-28s %9s %9s %9s %9s\n", "input", "bytes", "ms", "peak MB", "chars");
    int nOver = 0;
    for (const KbBench::SReaderCase& c : cases)
    {
        KbBench::SReaderRun result;
        if (!KbBench::RunReaderInChild(c, result))
        {
            std::printf("%-28s FAILED\n", c.pszName);
            ++nOver;
            continue;
        }
        const double fPeakMb = double(result.nPeakKb - result.nBaseKb) / 1024.0;
        if (fPeakMb > 128.0 || result.fMs > 5000.0)
            ++nOver;
        std::printf("%-28s %9lld %9.1f %9.1f %9lld\n", c.pszName, (long long)result.nInput,
                    result.fMs, fPeakMb, (long long)result.nChars);
    }
    std::printf("%d input(s) over 128 MB or 5 s\n", nOver);
    return nOver == 0 ? 0 : 1;
}
