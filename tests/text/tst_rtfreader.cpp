#include "tests/support/losample.h"
#include "text/rtfreader.h"

#include <QFile>
#include <QTest>

class CRtfReaderTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writtenByAWordProcessor()
    {
        QFile file(QStringLiteral(KB_TEST_DATA_DIR "text/lo-sample.rtf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(CRtfReader::ToText(file.readAll()), KbTest::LoSampleText());
    }

    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("editor with a Cyrillic code page")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil"
                   "\\fcharset204 Calibri;}{\\f1\\fnil\\fcharset0 Calibri;}}\r\n"
                   "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\sa200"
                   "\\lang9\\f0\\fs22\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\lang1049 , \\f1\\lang1033 "
                   "caf\\'e9\\f0\\lang1049\\par\r\n}\r\n")
            << QStringLiteral(u"Привет, café");
        QTest::newRow("default font's charset before any font change")
            << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 "
                          "B;}}\\'cf\\'f0\\'e8}")
            << QStringLiteral(u"При");
        QTest::newRow("list numbering fallbacks")
            << QByteArray("{\\rtf1 {\\listtext 1.\\tab}One\\par {\\pntext\\f0 2.\\tab}Two\\par}")
            << QStringLiteral("One\nTwo");
        QTest::newRow("document code page without font charsets")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'e2\\par}") << QStringLiteral(u"αβ");
        QTest::newRow("word processor tables, fields, pictures")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2"
                   "{\\*\\panose 02020603050405020304}Times New Roman;}}{\\colortbl;\\red0\\green0"
                   "\\blue0;}{\\stylesheet{\\ql \\snext0 Normal;}{\\s1 heading 1;}}{\\info{\\title "
                   "My title}{\\author Someone}}\r\n{\\header \\pard\\plain Head\\par}{\\footer "
                   "\\pard\\plain Foot\\par}\r\n\\pard\\plain Body \\u8220\\'93quoted\\u8221\\'94 "
                   "{\\field{\\*\\fldinst { PAGE }}{\\fldrslt {3}}} end\\par\r\n{\\pict\\wmetafile8"
                   "\\picw100\\pich100 0100090000035a0000000000100000000000\r\n04000000030108}\r\n"
                   "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row\r\n"
                   "\\pard Line\\line two\\tab x\\par\r\n{\\*\\bkmkstart b}{\\*\\bkmkend b}Bin "
                   "{\\object{\\*\\objdata \\bin4 \\}\\{}}after\\par\r\n}")
            << QStringLiteral(u"Head\nBody “quoted” 3 end\nA\tB\nLine\ntwo\tx\nBin after\nFoot");
        QTest::newRow("unicode skip counts")
            << QByteArray("{\\rtf1 a\\uc2\\u1087\\'3f\\'3fb\\uc0\\u1088 c{\\uc1\\u1089?}d}")
            << QStringLiteral(u"aпbрcсd");
        QTest::newRow("negative unicode values make a surrogate pair")
            << QByteArray("{\\rtf1 \\u-10179?\\u-8704?!}") << QStringLiteral(u"😀!");
        QTest::newRow("upr keeps the unicode text once")
            << QByteArray("{\\rtf1 {\\upr{x \\'3f}{\\*\\ud{\\u1087\\'3f}}}ok}")
            << QStringLiteral(u"пok");
        QTest::newRow("symbols") << QByteArray("{\\rtf1 a\\~b\\-c\\_d\\{\\}\\\\\\emdash\\bullet}")
                                 << QStringLiteral(u"a\u00A0bc\u2011d{}\\\u2014\u2022");
        QTest::newRow("hidden text") << QByteArray("{\\rtf1 {\\v gone}shown \\v hid\\v0 den}")
                                     << QStringLiteral("shown den");
        QTest::newRow("binary picture data")
            << QByteArray("{\\rtf1 {\\pict\\pngblip\\bin3 {}\\}x}") << QStringLiteral("x");
        QTest::newRow("starred unknown destination")
            << QByteArray("{\\rtf1 {\\*\\unknownthing lots of text}y}") << QStringLiteral("y");
        QTest::newRow("footnote after the body")
            << QByteArray("{\\rtf1 Body{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} "
                          "Note one.} more.\\par}")
            << QStringLiteral("Body more.\nNote one.");
        QTest::newRow("cut off hex and groups")
            << QByteArray("{\\rtf1 {{{abc\\'4") << QStringLiteral("abc");
        QTest::newRow("double-byte font")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'82\\'a0}")
            << QStringLiteral(u"\u3042");
        QTest::newRow("very deep groups") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') +
                                                 "deep" + QByteArray(100000, '}') + "}"
                                          << QStringLiteral("deep");
    }
    void text()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(CRtfReader::ToText(rtf), expected);
    }
};

QTEST_GUILESS_MAIN(CRtfReaderTest)
#include "tst_rtfreader.moc"
