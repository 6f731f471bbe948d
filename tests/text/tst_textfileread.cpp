#include "text/codepage.h"
#include "text/loadtextfile.h"
#include "text/textfileread.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
QString Units(std::initializer_list<char16_t> units)
{
    QString str;
    for (char16_t u : units)
        str.append(QChar(u));
    return str;
}
} // namespace

class CTextFileReadTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_nFile = 0;

    QString Write(const QByteArray& bytes)
    {
        const QString strPath = m_dir.filePath(QStringLiteral("f%1.txt").arg(++m_nFile));
        QFile file(strPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(strPath));
        return strPath;
    }

    QString Load(const QByteArray& bytes)
    {
        QString strText;
        LoadTextFile(Write(bytes), strText);
        return strText;
    }

private Q_SLOTS:
    void init() { CCodePage::SetLocaleOverride(QStringLiteral("en_US.UTF-8")); }
    void cleanupTestCase() { CCodePage::SetLocaleOverride(QString()); }

    void loadsWithCrLf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("mark FF FE only") << QByteArray("\xFF\xFE") << QString();
        QTest::newRow("mark FE FF only") << QByteArray("\xFE\xFF") << QString();
        QTest::newRow("mark EF BB BF only") << QByteArray("\xEF\xBB\xBF") << QString();
        QTest::newRow("LF between") << QByteArray("a\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("CR LF at end") << QByteArray("abc\r\n") << QStringLiteral("abc\r\n");
        QTest::newRow("LF CR is two breaks")
            << QByteArray("a\n\rb") << QStringLiteral("a\r\n\r\nb");
        QTest::newRow("CR alone") << QByteArray("a\rb\r") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("leading break") << QByteArray("\na") << QStringLiteral("\r\na");
        QTest::newRow("EF BB without BF is ANSI")
            << QByteArray("\xEF\xBB\x41") << QStringLiteral(u"\u00EF\u00BBA");
        QTest::newRow("FE without FF is ANSI")
            << QByteArray("\xFE\x41") << QStringLiteral(u"\u00FEA");
        QTest::newRow("FF without FE is ANSI")
            << QByteArray("\xFF\x41") << QStringLiteral(u"\u00FFA");
        QTest::newRow("UTF-16 LE odd length drops the lone byte")
            << QByteArray("\xFF\xFE\x61\x00\x62", 5) << QStringLiteral("a");
        QTest::newRow("UTF-16 LE lines")
            << QByteArray("\xFF\xFE\x61\x00\x0D\x00\x0A\x00\x3A\x04", 10)
            << QStringLiteral(u"a\r\n\u043A");
        QTest::newRow("UTF-16 BE lines")
            << QByteArray("\xFE\xFF\x00\x61\x00\x0A\x04\x3A", 8) << QStringLiteral(u"a\r\n\u043A");
        QTest::newRow("UTF-16 surrogates pass through")
            << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6) << Units({0xD83D, 0xDE00});
        QTest::newRow("UTF-8 two and three bytes")
            << QByteArray("\xEF\xBB\xBF\xD0\xBA\xE2\x82\xAC") << QStringLiteral(u"\u043A\u20AC");
        QTest::newRow("UTF-8 four bytes make a surrogate pair")
            << QByteArray("\xEF\xBB\xBFx\xF0\x9F\x98\x80y") << Units({'x', 0xD83D, 0xDE00, 'y'});
        QTest::newRow("UTF-8 highest code point")
            << QByteArray("\xEF\xBB\xBF\xF4\x8F\xBF\xBF") << Units({0xDBFF, 0xDFFF});
        QTest::newRow("UTF-8 C3 41 takes the 41 as continuation")
            << QByteArray("\xEF\xBB\xBF\xC3\x41") << QStringLiteral(u"\u00C1");
        QTest::newRow("UTF-8 lone continuation byte")
            << QByteArray("\xEF\xBB\xBF\x80z") << QStringLiteral(u"\uFFFDz");
        QTest::newRow("UTF-8 five-byte lead") << QByteArray("\xEF\xBB\xBF\xF8\x88\x80\x80\x80z")
                                              << QStringLiteral(u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz");
        QTest::newRow("UTF-8 six-byte lead")
            << QByteArray("\xEF\xBB\xBF\xFC\x84z") << QStringLiteral(u"\uFFFD\uFFFDz");
        QTest::newRow("UTF-8 FE and FF")
            << QByteArray("\xEF\xBB\xBF\xFE\xFFz") << QStringLiteral(u"\uFFFD\uFFFDz");
        QTest::newRow("UTF-8 four-byte lead before a plain byte")
            << QByteArray("\xEF\xBB\xBF\xF0\x41") << QStringLiteral(u"\uFFFDA");
        QTest::newRow("UTF-8 four-byte lead before a line break")
            << QByteArray("\xEF\xBB\xBF\xF0\x9F\nb") << QStringLiteral(u"\uFFFD\uFFFD\r\nb");
        QTest::newRow("UTF-8 four-byte sequence cut by the end")
            << QByteArray("\xEF\xBB\xBF\xF0\x9F\x98") << QStringLiteral(u"\uFFFD\uFFFD\uFFFD");
        QTest::newRow("UTF-8 overlong four bytes") << QByteArray("\xEF\xBB\xBF\xF0\x80\x80\x80")
                                                   << QStringLiteral(u"\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("UTF-8 beyond U+10FFFF") << QByteArray("\xEF\xBB\xBF\xF4\x90\x80\x80")
                                               << QStringLiteral(u"\uFFFD\uFFFD\uFFFD\uFFFD");
        QTest::newRow("ANSI line ends at its first NUL")
            << QByteArray("ab\0cd\nef", 8) << QStringLiteral("ab\r\nef");
        QTest::newRow("UTF-16 without a mark is ANSI")
            << QByteArray("a\0b\0\n\0c\0", 8) << QStringLiteral("a\r\n");
    }
    void loadsWithCrLf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(Load(bytes), expected);
    }

    // Lines are gathered in 1023-unit pieces and the file in 1024-byte
    // reads; neither may cut or lose a unit.
    void longLinesAndBufferEdges_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray strLong(5000, 'x');
        QTest::newRow("ANSI 5000") << strLong + "\ny" << QString(strLong) + "\r\ny";
        QTest::newRow("UTF-8 5000") << "\xEF\xBB\xBF" + strLong << QString(strLong);
        QByteArray utf16("\xFF\xFE");
        for (int i = 0; i < 3000; ++i)
            utf16.append("\x3A\x04", 2);
        QTest::newRow("UTF-16 3000") << utf16 << QString(3000, QChar(0x043A));
        // CR as byte 1024 and LF as byte 1025 of the file.
        QTest::newRow("CR LF across a refill")
            << QByteArray(1023, 'a') + "\r\nb" << QString(1023, 'a') + "\r\nb";
        QByteArray split("\xEF\xBB\xBF");
        split.append(QByteArray(1019, 'a'));
        split.append("\xF0\x9F\x98\x80\xE2\x82\xAC");
        QTest::newRow("UTF-8 sequences across a refill")
            << split << QString(1019, 'a') + Units({0xD83D, 0xDE00, 0x20AC});
    }
    void longLinesAndBufferEdges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(Load(bytes), expected);
    }

    // Without a mark the bytes are the locale's: UTF-8 when they are valid
    // UTF-8 under a UTF-8 locale, else the language's Windows code page.
    void ansiFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray cp1251("\xCF\xF0\xE8\xE2\xE5\xF2");
        const QByteArray utf8("\xD0\x9F\xD1\x80\xD0\xB8");
        QTest::newRow("Russian UTF-8 locale, 1251 bytes")
            << "ru_RU.UTF-8" << cp1251 << QStringLiteral(u"\u041F\u0440\u0438\u0432\u0435\u0442");
        QTest::newRow("Western UTF-8 locale, 1251 bytes")
            << "en_GB.UTF-8" << cp1251 << QStringLiteral(u"\u00CF\u00F0\u00E8\u00E2\u00E5\u00F2");
        QTest::newRow("Russian UTF-8 locale, UTF-8 bytes")
            << "ru_RU.UTF-8" << utf8 << QStringLiteral(u"\u041F\u0440\u0438");
        QTest::newRow("Russian 1251 locale, UTF-8 bytes")
            << "ru_RU.CP1251" << utf8 << QStringLiteral(u"\u0420\u045F\u0421\u0402\u0420\u0451");
        QTest::newRow("KOI8-R locale") << "ru_RU.KOI8-R" << QByteArray("\xF0\xD2\xC9")
                                       << QStringLiteral(u"\u041F\u0440\u0438");
        QTest::newRow("eucJP locale")
            << "ja_JP.eucJP" << QByteArray("\xA4\xA2") << QStringLiteral(u"\u3042");
        QTest::newRow("ISO-8859-1 locale") << "fr_FR.ISO-8859-1" << QByteArray("caf\xE9\x80")
                                           << QStringLiteral(u"caf\u00E9\u0080");
        QTest::newRow("C locale") << "C" << QByteArray("caf\xE9\x80")
                                  << QStringLiteral(u"caf\u00E9\u20AC");
        QTest::newRow("Greek locale")
            << "el_GR.UTF-8" << QByteArray("\xE1\xE2") << QStringLiteral(u"\u03B1\u03B2");
        QTest::newRow("Polish locale")
            << "pl_PL.UTF-8" << QByteArray("\xB9\x9C") << QStringLiteral(u"\u0105\u015B");
        QTest::newRow("Japanese locale")
            << "ja_JP.UTF-8" << QByteArray("\x82\xA0") << QStringLiteral(u"\u3042");
        QTest::newRow("undefined 1252 byte keeps its value")
            << "en_US.UTF-8" << QByteArray("\x81") << QStringLiteral(u"\u0081");
        QTest::newRow("each line decides for itself")
            << "ru_RU.UTF-8" << QByteArray("\xD0\x9F\n\xCF") << QStringLiteral(u"\u041F\r\n\u041F");
    }
    void ansiFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        CCodePage::SetLocaleOverride(locale);
        QCOMPARE(Load(bytes), expected);
    }

    void readerStates()
    {
        const QString strPath = Write(QByteArray("\xFF\xFE"
                                                 "a\0\n\0b\0",
                                                 8));
        CTextFileRead file(strPath);
        QVERIFY(file.IsOpen());
        QCOMPARE(file.GetEncoding(), TextEncoding::Utf16LittleEndian);
        QCOMPARE(file.GetCharCount(), 4);
        QString strLine = QStringLiteral("old");
        QVERIFY(file.ReadLine(strLine));
        QCOMPARE(strLine, QStringLiteral("a"));
        QVERIFY(file.ReadLine(strLine));
        QCOMPARE(strLine, QStringLiteral("b"));
        QVERIFY(file.Eof());
        strLine = QStringLiteral("kept");
        QVERIFY(!file.ReadLine(strLine));
        QCOMPARE(strLine, QStringLiteral("kept"));
        file.Close();
        file.Close();
        QVERIFY(!file.IsOpen());

        CTextFileRead missing(m_dir.filePath(QStringLiteral("missing.txt")));
        QVERIFY(!missing.IsOpen());
        QVERIFY(missing.Eof());
        QString strText = QStringLiteral("untouched");
        QVERIFY(!missing.Read(strText, QStringLiteral("\r\n")));
        QCOMPARE(strText, QStringLiteral("untouched"));

        QByteArray bytes("x\r\ny");
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        {
            CTextFileRead device(&buffer);
            QVERIFY(device.Read(strText, QStringLiteral("|")));
            QCOMPARE(strText, QStringLiteral("x|y"));
        }
        QVERIFY(buffer.isOpen());
    }

    void loadTellsWhenTheFileCannotBeOpened()
    {
        QStringList messages;
        QList<unsigned> flags;
        const TextMessageSink sink = [&](const QString& strText, unsigned nFlags)
        {
            messages.append(strText);
            flags.append(nFlags);
        };
        QString strText = QStringLiteral("before");
        LoadTextFile(m_dir.filePath(QStringLiteral("nope.txt")), strText, sink);
        LoadTextFile(m_dir.path(), strText, sink);
        QCOMPARE(messages, QStringList({"Failed to get text file", "Failed to get text file"}));
        QCOMPARE(flags, QList<unsigned>({0u, 0u}));
        QCOMPARE(strText, QStringLiteral("before"));

        LoadTextFile(Write("ok"), strText, sink);
        QCOMPARE(strText, QStringLiteral("ok"));
        QCOMPARE(messages.size(), 2);
    }
};

QTEST_GUILESS_MAIN(CTextFileReadTest)
#include "tst_textfileread.moc"
