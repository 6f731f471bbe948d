#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "tests/support/testfiles.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

// Document text as the window gets it and as the command line prints it.
class CExtractTextTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;

    QString Write(const QString& strName, const QByteArray& bytes)
    {
        return KbTest::WriteFileIn(m_home, strName, bytes);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("reason");
        QTest::newRow("rtf") << "a.rtf"
                             << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\par b}") << 0
                             << QByteArray("\xD0\x9F\xD1\x80\nb\n") << QString();
        QTest::newRow("text with CR LF")
            << "a.txt" << QByteArray("x\r\ny\r\n") << 0 << QByteArray("x\ny\n\n") << QString();
        QTest::newRow("word sample")
            << QStringLiteral(KB_TEST_DATA_DIR "text/lo-sample.doc") << QByteArray() << 0
            << QByteArray("Header line\nFirst paragraph") << QString();
        QTest::newRow("missing file") << "none.txt" << QByteArray() << 1 << QByteArray()
                                      << "none.txt: Failed to get text file";
        QTest::newRow("docx named doc")
            << QStringLiteral(KB_TEST_DATA_DIR "text/docx-named.doc") << QByteArray() << 0
            << QByteArray("Header line\nFirst paragraph") << QString();
        QTest::newRow("docx") << QStringLiteral(KB_TEST_DATA_DIR "text/pandoc-sample.docx")
                              << QByteArray() << 0
                              << QByteArray("Sample\nHeading one\nFirst paragraph") << QString();
        QTest::newRow("odt") << QStringLiteral(KB_TEST_DATA_DIR "text/pandoc-sample.odt")
                             << QByteArray() << 0
                             << QByteArray("Sample\nHeading one\nFirst paragraph") << QString();
        QTest::newRow("epub") << QStringLiteral(KB_TEST_DATA_DIR "text/pandoc-sample.epub")
                              << QByteArray() << 0
                              << QByteArray("Sample\n\nHeading one\n\nFirst paragraph")
                              << QString();
        QTest::newRow("pdf") << QStringLiteral(KB_TEST_DATA_DIR "text/lo-sample.pdf")
                             << QByteArray() << 0
                             << QByteArray("Heading one\nFirst paragraph in English,") << QString();
        QTest::newRow("pdf with a password")
            << QStringLiteral(KB_TEST_DATA_DIR "text/lo-sample-password.pdf") << QByteArray() << 1
            << QByteArray() << "password";
        QTest::newRow("damaged epub")
            << "bad.epub" << QByteArray("PK\x03\x04") << 1 << QByteArray() << "damaged";
        QTest::newRow("damaged doc")
            << "bad.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << 1 << QByteArray()
            << "damaged";
        QTest::newRow("unknown type") << "a.xyz" << QByteArray("x") << 1 << QByteArray()
                                      << "not a document type the program reads";
        QTest::newRow("page without text")
            << "e.html" << QByteArray("<p> </p>") << 0 << QByteArray() << QString();
        QTest::newRow("byte-order mark only")
            << "bom.txt" << QByteArray("\xEF\xBB\xBF") << 0 << QByteArray() << QString();
    }
    void commandLine()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QByteArray, output);
        QFETCH(QString, reason);
        const QString strPath = QDir::isAbsolutePath(file) ? file
                                : bytes.isEmpty()          ? m_home.filePath(file)
                                                           : Write(file, bytes);
        QProcess program;
        program.start(QStringLiteral(KB_BIN_DIR "kestrivane-basic"),
                      {QStringLiteral("--extract-text"), strPath});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), status);
        const QByteArray out = program.readAllStandardOutput();
        const QString strErr = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(out.startsWith(output), out.constData());
        if (output.isEmpty())
            QVERIFY2(out.isEmpty(), out.constData());
        if (status == 0)
            QVERIFY(strErr.isEmpty());
        else
        {
            QVERIFY(out.isEmpty());
            QVERIFY2(strErr.contains(reason), qPrintable(strErr));
        }
    }

    // An empty file is a document with no text, not a failure.
    void emptyFilesPrintNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty txt") << "empty.txt";
        QTest::newRow("empty rtf") << "empty.rtf";
        QTest::newRow("empty html") << "empty.html";
    }
    void emptyFilesPrintNothing()
    {
        QFETCH(QString, file);
        QProcess program;
        program.start(QStringLiteral(KB_BIN_DIR "kestrivane-basic"),
                      {QStringLiteral("--extract-text"), Write(file, QByteArray())});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(program.readAllStandardError(), QByteArray());
    }

    // A FIFO must not block the reader, nor a device fill the memory; each
    // is refused in a child process that is killed if it hangs.
    void notRegularFilesAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo named txt") << "fifo.txt"
                                        << "fifo";
        QTest::newRow("fifo named html") << "fifo.html"
                                         << "fifo";
        QTest::newRow("link to /dev/zero named txt") << "zero.txt"
                                                     << "zero";
        QTest::newRow("link to /dev/zero named rtf") << "zero.rtf"
                                                     << "zero";
        QTest::newRow("folder named txt") << "folder.txt"
                                          << "folder";
    }
    void notRegularFilesAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        const QString strPath = m_home.filePath(file);
        QFile::remove(strPath);
        if (kind == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(strPath).constData(), 0600), 0);
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), strPath));
        else
            QVERIFY(QDir(m_home.path()).mkpath(file));
        QProcess program;
        program.start(QStringLiteral(KB_BIN_DIR "kestrivane-basic"),
                      {QStringLiteral("--extract-text"), strPath});
        const bool bFinished = program.waitForFinished(30000);
        if (!bFinished)
        {
            program.kill();
            program.waitForFinished();
        }
        QVERIFY(bFinished);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardOutput().isEmpty());
        const QString strErr = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(strErr.contains(QLatin1String("not a regular file")), qPrintable(strErr));
    }

    // The window tells the user in a message box with its caption and
    // leaves no temporary file in the settings' "Temp" folder.
    void windowGetsTextAndMessages()
    {
        std::vector<std::pair<QString, unsigned>> messages;
        CMessageBox::SetHook(
            [&messages](const QString& strText, const QString& strCaption, unsigned nFlags)
            {
                QCOMPARE(strCaption, QStringLiteral("Kestrivane Basic"));
                messages.emplace_back(strText, nFlags);
            });
        CSpeechApp app(QStringLiteral(KB_BIN_DIR));
        QVERIFY(app.InitSettings());
        {
            CSpeechDlg dlg;
            QString strText;
            dlg.GetTextFromFile(Write(QStringLiteral("Letter.rtf"), "{\\rtf1 one\\par two}"),
                                strText);
            QCOMPARE(strText, QStringLiteral("one\rtwo"));
            QString strTyped = QStringLiteral("a\r\nb\nc");
            dlg.NormalizeText(strTyped);
            QCOMPARE(strTyped, QStringLiteral("a\rb\rc"));
            QVERIFY(QDir(app.GetSettingsFolder() + QStringLiteral("Temp"))
                        .entryList(QDir::Files)
                        .isEmpty());
            QVERIFY(messages.empty());
            QVERIFY(!QApplication::overrideCursor());

            strText.clear();
            dlg.GetTextFromFile(Write(QStringLiteral("bad.doc"), "\xD0\xCF\x11\xE0junk"), strText);
            QVERIFY(strText.isEmpty());
            QCOMPARE(messages.size(), size_t(1));
            QCOMPARE(messages.front().second, 0x30u);
            QVERIFY(!QApplication::overrideCursor());
        }
        app.ExitInstance();
        CMessageBox::SetHook(nullptr);
    }
};

QTEST_MAIN(CExtractTextTest)
#include "tst_extracttext.moc"
