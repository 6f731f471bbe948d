#include "tests/support/diskfault.h"
#include "tests/support/testfiles.h"
#include "text/documentformat.h"
#include "text/rtfreader.h"
#include "text/textextractor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <memory>

namespace
{
// A reader that takes as long as the test wants.
class CSlowFormat : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("slow")}; }
    QString ToText(const QByteArray& data, QString&) const override
    {
        m_release.acquire();
        return QString::fromLatin1(data);
    }
    mutable QSemaphore m_release;
};

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
} // namespace

class CTextExtractorTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QStringList m_messages;
    QList<unsigned> m_flags;

    QString TempFolder() const { return m_dir.filePath(QStringLiteral("Temp")) + u'/'; }

    CTextExtractor Extractor()
    {
        return CTextExtractor(TempFolder(),
                              [this](const QString& strText, unsigned nFlags)
                              {
                                  m_messages.append(strText);
                                  m_flags.append(nFlags);
                              });
    }

    QString Write(const QString& strName, const QByteArray& bytes)
    {
        return KbTest::WriteFileIn(m_dir, strName, bytes);
    }

private Q_SLOTS:
    void init()
    {
        m_messages.clear();
        m_flags.clear();
    }

    void chosenByTheLastExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("upper-case TXT") << "Report.TXT" << QByteArray("a\r\nb\nc") << "a\rb\rc";
        QTest::newRow("last dot decides")
            << "archive.tar.rtf" << QByteArray("{\\rtf1 x\\par y}") << "x\ry";
        QTest::newRow("no dot") << "README" << QByteArray("text") << QString();
        QTest::newRow("unknown extension") << "notes.xyz" << QByteArray("text") << QString();
        QTest::newRow("dot only in the folder")
            << "dir.txt/README" << QByteArray("text") << QString();
        QTest::newRow("html") << "page.HTML" << QByteArray("<p>a</p><p>b</p>") << "a\r\rb";
        QTest::newRow("word") << "w.doc" << QByteArray("{\\rtf1 rtf in doc}") << "rtf in doc";
    }
    void chosenByTheLastExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        if (name.contains(u'/'))
            QDir(m_dir.path()).mkpath(name.section(u'/', 0, 0));
        QString strText;
        Extractor().GetTextFromFile(Write(name, bytes), strText);
        QCOMPARE(strText, expected);
        QVERIFY(m_messages.isEmpty());
    }

    // The RTF text goes through a UTF-16 file in "Temp" that is gone
    // afterwards; a missing "Temp" folder is made.
    void rtfRoundTripLeavesNoFile()
    {
        QDir(TempFolder()).removeRecursively();
        const QByteArray rtf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\par \\u8364?}");
        QString strText;
        Extractor().GetTextFromFile(Write(QStringLiteral("Letter.rtf"), rtf), strText);
        QCOMPARE(strText, QStringLiteral(u"При\r€"));
        QVERIFY(QFileInfo(TempFolder()).isDir());
        QVERIFY(QDir(TempFolder()).entryList(QDir::Files).isEmpty());
        QCOMPARE(CTextExtractor::TempPathFor(TempFolder(), QStringLiteral("/a/b.c/Letter.x.rtf")),
                 TempFolder() + QStringLiteral("Letter.x.txt"));
    }

    // Another reading of a document of the same name may hold the scratch
    // file's name, or a link may stand there: neither is written over.
    void scratchNameTaken_data()
    {
        QTest::addColumn<bool>("bLink");
        QTest::newRow("by a file") << false;
        QTest::newRow("by a link to a file outside") << true;
    }
    void scratchNameTaken()
    {
        QFETCH(bool, bLink);
        QDir(TempFolder()).removeRecursively();
        const QString strTaken = TempFolder() + QStringLiteral("Letter.txt");
        const QString strOutside = Write(QStringLiteral("outside.txt"), "kept");
        QVERIFY(QDir().mkpath(TempFolder()));
        QVERIFY(bLink ? QFile::link(strOutside, strTaken) : QFile::copy(strOutside, strTaken));
        QString strText;
        Extractor().GetTextFromFile(Write(QStringLiteral("Letter.rtf"), "{\\rtf1 Words.}"),
                                    strText);
        QCOMPARE(strText, QStringLiteral("Words."));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(QDir(TempFolder()).entryList(QDir::Files | QDir::System),
                 QStringList{"Letter.txt"});
        QCOMPARE(QFileInfo(strTaken).isSymLink(), bLink);
        QCOMPARE(KbTest::ReadFile(strTaken), QByteArray("kept"));
        QCOMPARE(KbTest::ReadFile(strOutside), QByteArray("kept"));
    }

    // A temporary file the disk refuses, whole or in part, or a read-only
    // "Temp" folder: the document gives no text and says why, rather than
    // a shorter text, and no file is left.
    void tempFileFaultsAreSaid_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::newRow("full disk") << "full";
        QTest::newRow("disk full part-way") << "part";
        QTest::newRow("read-only folder") << "read-only";
    }
    void tempFileFaultsAreSaid()
    {
        QFETCH(QString, strFault);
        QDir(TempFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(TempFolder()));
        const QString strPath =
            Write(QStringLiteral("Long.rtf"),
                  "{\\rtf1\\ansi " + QByteArray("Many words. ").repeated(100) + "\\par}");
        std::unique_ptr<KbTest::CFullDisk> pFull;
        std::unique_ptr<KbTest::CReadOnlyFolder> pReadOnly;
        if (strFault == QLatin1String("read-only"))
        {
            pReadOnly = std::make_unique<KbTest::CReadOnlyFolder>(TempFolder());
            QVERIFY(pReadOnly->IsActive());
        }
        else
        {
            QVERIFY2(KbTest::CFullDisk::IsLoaded(), "run by ctest, with the fault shim");
            pFull = std::make_unique<KbTest::CFullDisk>(
                TempFolder(), strFault == QLatin1String("part") ? 500 : 0);
        }
        QString strText;
        Extractor().GetTextFromFile(strPath, strText);
        pFull.reset();
        pReadOnly.reset();
        QVERIFY(strText.isEmpty());
        QCOMPARE(m_messages.size(), 1);
        const QString strTemp = CTextExtractor::TempPathFor(TempFolder(), strPath);
        QVERIFY2(m_messages[0].startsWith(CTextExtractor::TempFailedMessage(strTemp, QString())),
                 qPrintable(m_messages[0]));
        QVERIFY2(m_messages[0].size() >
                     CTextExtractor::TempFailedMessage(strTemp, QString()).size(),
                 "the reason is given");
        QCOMPARE(m_flags, QList<unsigned>{0x30u});
        QVERIFY(QDir(TempFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void failuresAreSaid_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<unsigned>("flags");
        QTest::newRow("missing text file")
            << "gone.txt" << QByteArray() << "Failed to get text file" << 0u;
        QTest::newRow("missing rtf")
            << "gone.rtf" << QByteArray() << "Failed to get text file" << 0u;
        QTest::newRow("missing doc")
            << "gone.doc" << QByteArray() << "Failed to get text file" << 0u;
        QTest::newRow("doc that is no document")
            << "junk.doc" << QByteArray("\x01\x02junk", 6)
            << "The file is not a Word 97-2003 document." << 0x30u;
    }
    void failuresAreSaid()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(unsigned, flags);
        const QString strPath = bytes.isEmpty() ? m_dir.filePath(name) : Write(name, bytes);
        QString strText;
        Extractor().GetTextFromFile(strPath, strText);
        QVERIFY(strText.isEmpty());
        QCOMPARE(m_messages, QStringList{message});
        QCOMPARE(m_flags, QList<unsigned>{flags});
    }

    // A huge document is refused before its bytes are read; the file is
    // sparse, so the test costs no disk.
    void hugeDocumentIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("doc") << "huge.doc";
        QTest::newRow("rtf") << "huge.rtf";
    }
    void hugeDocumentIsRefused()
    {
        QFETCH(QString, name);
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(600) << 20));
        file.close();
        QString strText;
        Extractor().GetTextFromFile(file.fileName(), strText);
        file.remove();
        QVERIFY(strText.isEmpty());
        QCOMPARE(m_messages, QStringList{CTextExtractor::TooLargeMessage()});
        QCOMPARE(m_flags, QList<unsigned>{0x30u});
    }

    // The wait sleeps in an event loop: timers still run, the thread hardly
    // uses the processor, and a reader that does not finish is given up.
    void waitIsResponsiveAndEnds()
    {
        auto pSlow = std::make_shared<CSlowFormat>();
        CDocumentFormats::Register(pSlow);
        const QString strPath = Write(QStringLiteral("doc.slow"), "slow text");

        int nTicks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&nTicks] { ++nTicks; });
        ticker.start(20);
        CTextExtractor extractor = Extractor();
        extractor.SetTimeout(600);
        const double fCpuBefore = ThreadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QString strText;
        extractor.GetTextFromFile(strPath, strText);
        const double fWall = double(wall.elapsed()) / 1000.0;
        const double fCpu = ThreadCpuSeconds() - fCpuBefore;
        QVERIFY(strText.isEmpty());
        QCOMPARE(m_messages, QStringList{CTextExtractor::TimeoutMessage()});
        QVERIFY2(nTicks >= 5, qPrintable(QString::number(nTicks)));
        QVERIFY2(fCpu < fWall / 2, qPrintable(QStringLiteral("%1 s of %2 s").arg(fCpu).arg(fWall)));

        // A reader that finishes ends the wait long before its time-out.
        m_messages.clear();
        extractor.SetTimeout(60000);
        QTimer::singleShot(50, this, [pSlow] { pSlow->m_release.release(2); });
        wall.restart();
        extractor.GetTextFromFile(strPath, strText);
        QVERIFY(wall.elapsed() < 30000);
        QCOMPARE(strText, QStringLiteral("slow text"));
        QVERIFY(m_messages.isEmpty());
        CDocumentFormats::Unregister(pSlow);
    }
};

QTEST_GUILESS_MAIN(CTextExtractorTest)
#include "tst_textextractor.moc"
