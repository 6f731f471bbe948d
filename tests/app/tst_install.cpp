#include "app/speechapp.h"
#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Installs the build into a scratch prefix and checks that the installed
// program looks for its files exactly where the install put them.
class CInstallTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.start(QStringLiteral(KB_CMAKE_COMMAND),
                      {"--install", KB_BUILD_ROOT, "--prefix", m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    void installedProgramFindsItsData_data()
    {
        QTest::addColumn<QString>("strRelative");
        QTest::newRow("image-library") << "imagelib.rcc";
        QTest::newRow("showcase-page") << "pages/showcase.html";
        QTest::newRow("faq-page") << "pages/faq.html";
        QTest::newRow("usage-page") << "pages/usage.html";
        QTest::newRow("style-sheet") << "pages/style.css";
        QTest::newRow("language-folder") << "Languages";
    }
    void installedProgramFindsItsData()
    {
        QFETCH(QString, strRelative);
        const QString strFolder = CSpeechApp::FindProgramFolder(m_prefix.path() + "/bin");
        QCOMPARE(strFolder, m_prefix.path() + "/share/kestrivane-basic/");
        QVERIFY2(QFileInfo::exists(strFolder + strRelative), qPrintable(strRelative));
    }

    // Each installed language library sends the help menu and the showcase
    // to pages the install put beside it.
    void installedLanguagePacksFindTheirPages_data()
    {
        QTest::addColumn<QString>("strPack");
        QTest::newRow("spanish") << "LangESP.qm";
        QTest::newRow("chinese") << "LangCHS.qm";
        QTest::newRow("portuguese") << "LangPOR.qm";
    }
    void installedLanguagePacksFindTheirPages()
    {
        QFETCH(QString, strPack);
        const QString strFolder = CSpeechApp::FindProgramFolder(m_prefix.path() + "/bin");
        CResourceModule module;
        QVERIFY(module.Load(strFolder + "Languages/" + strPack));
        for (int nId : {IDS_FAQ_URL, IDS_SHOWCASE_URL, IDS_USAGE_URL})
        {
            const QString strPage = module.Lookup(CStringTable::StringKey(nId));
            QVERIFY2(strPage != CStringTable::Get(nId) && QFileInfo::exists(strFolder + strPage),
                     qPrintable(strPage));
        }
    }

    void buildTreeRunsInPlace()
    {
        const QString strBin = QDir::cleanPath(QStringLiteral(KB_BIN_DIR));
        QCOMPARE(CSpeechApp::FindProgramFolder(strBin), strBin + "/");
    }

    void desktopEntryAndIcon()
    {
        QFile entry(m_prefix.path() + "/share/applications/kestrivane-basic.desktop");
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        QVERIFY(text.contains("\nExec=kestrivane-basic"));
        QVERIFY(text.contains("\nIcon=kestrivane-basic\n"));
        QVERIFY(QFileInfo::exists(m_prefix.path() +
                                  "/share/icons/hicolor/scalable/apps/kestrivane-basic.svg"));
    }

    // The prelude library is loaded with the program: the installed program
    // must find the installed copy by itself, not the build tree's.
    void installedProgramFindsIntrolib()
    {
        const QString strLibrary =
            m_prefix.path() + QStringLiteral("/lib/kestrivane-basic/libintrolib.so");
        QVERIFY(QFileInfo::exists(strLibrary));
        QProcess ldd;
        ldd.setProcessEnvironment(WithoutLibraryPath());
        ldd.start(QStringLiteral("ldd"), {m_prefix.path() + "/bin/kestrivane-basic"});
        QVERIFY(ldd.waitForFinished(20000));
        QCOMPARE(ldd.exitCode(), 0);
        const QString strOutput = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        const QRegularExpression line(QStringLiteral("^\\s*libintrolib\\.so => (\\S+)"),
                                      QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(strOutput);
        QVERIFY2(match.hasMatch(), qPrintable(strOutput));
        QCOMPARE(QFileInfo(match.captured(1)).canonicalFilePath(),
                 QFileInfo(strLibrary).canonicalFilePath());
    }

    // A file manager offers the program for every document type it reads,
    // by the MIME type the system's database gives the file's name.
    void desktopEntryOpensDocuments_data()
    {
        QTest::addColumn<QString>("strFile");
        for (const char* pszFile : {"a.txt", "a.rtf", "a.doc", "a.htm", "a.html", "a.mht", "a.docx",
                                    "a.odt", "a.epub", "a.pdf"})
            QTest::newRow(pszFile) << QString::fromLatin1(pszFile);
    }
    void desktopEntryOpensDocuments()
    {
        QFETCH(QString, strFile);
        const QString strEntry =
            m_prefix.path() + QStringLiteral("/share/applications/kestrivane-basic.desktop");
        QFile entry(strEntry);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString strText = QString::fromUtf8(entry.readAll());
        QVERIFY(strText.contains(QStringLiteral("\nExec=kestrivane-basic %F\n")));
        const qsizetype nAt = strText.indexOf(QStringLiteral("\nMimeType="));
        QVERIFY(nAt >= 0);
        const QStringList types = strText.mid(nAt + 10)
                                      .section(QLatin1Char('\n'), 0, 0)
                                      .split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const QString strType =
            QMimeDatabase().mimeTypeForFile(strFile, QMimeDatabase::MatchExtension).name();
        QVERIFY2(types.contains(strType), qPrintable(strType));

        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {strEntry});
        QVERIFY2(validate.waitForFinished(20000), "desktop-file-validate is part of the set-up");
        QCOMPARE(validate.exitCode(), 0);
    }

    void installedProgramRuns()
    {
        QProcess program;
        program.setProcessEnvironment(WithoutLibraryPath());
        program.start(m_prefix.path() + "/bin/kestrivane-basic", {"--version"});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("kestrivane-basic "));
    }

private:
    static QProcessEnvironment WithoutLibraryPath()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
        return environment;
    }

    QTemporaryDir m_prefix;
};

QTEST_GUILESS_MAIN(CInstallTest)
#include "tst_install.moc"
