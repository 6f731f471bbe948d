#include "tests/support/testfiles.h"
#include "widgets/colorref.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using KbTest::Utf16;

// Starts the real program with a fresh home and checks what it leaves behind.
class CSmokeTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshHomeLeavesSortedSettings()
    {
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.remove("XDG_CONFIG_HOME");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(KB_BIN_DIR "kestrivane-basic"), QStringList());
        QVERIFY(program.waitForStarted());

        const QString strIni =
            home.path() + QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini");
        const QString strSave = home.path() + QStringLiteral("/Documents/Kestrivane Basic/");
        const QString strFace =
            QString::number(RefFromColor(QApplication::palette().color(QPalette::Button)));
        const QByteArray expected =
            Utf16("\r\n[Audio]\r\nSavePath=" + strSave +
                  "\r\nSaveType=0\r\n\r\n[Button]\r\nColorBKIN=16777215\r\n\r\n[Misc]\r\n"
                  "LangInitCode=0409\r\nLangInitType=1\r\nMusicFilePath=\r\nMusicPlayMode=0\r\n"
                  "UILangID=0409\r\n\r\n[ProgressBar]\r\nBarBkColor=" +
                  strFace +
                  "\r\nBarColor=3342080\r\nTextBkColor=0\r\nTextColor=0\r\n\r\n"
                  "[Timer]\r\nColor=3342080\r\n\r\n");
        auto contents = [&]()
        {
            QFile file(strIni);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(contents(), expected, 20000);
        QCOMPARE(program.state(), QProcess::Running);
        QVERIFY(QDir(strSave).exists());
        QVERIFY(QDir(QFileInfo(strIni).absolutePath() + "/Temp").exists());

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QString>("strOut");
        QTest::addColumn<QString>("strErr");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--version"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "kestrivane-basic 1."
                                 << "";
        QTest::newRow("unknown-option") << QStringList{"--frobnicate"} << 2 << ""
                                        << "Unknown option 'frobnicate'";
        QTest::newRow("stray-argument")
            << QStringList{"--extract-text", "a.txt", "file.txt"} << 2 << ""
            << "unexpected argument 'file.txt'";
        QTest::newRow("list-languages")
            << QStringList{"--list-languages"} << 0 << "0c0a\tSpanish (Spain)\n"
            << "";
        QTest::newRow("list-voices-us")
            << QStringList{"--list-voices", "0409"} << 0 << "English (America)"
            << "";
        QTest::newRow("list-voices-spain")
            << QStringList{"--list-voices", "0c0a"} << 0 << "Spanish (Spain)"
            << "";
    }
    // The verbs run without any display.
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, nExit);
        QFETCH(QString, strOut);
        QFETCH(QString, strErr);
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(KB_BIN_DIR "kestrivane-basic"), args);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), nExit);
        QVERIFY(QString::fromUtf8(program.readAllStandardOutput()).contains(strOut));
        const QString strStderr = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(strStderr.contains(strErr), qPrintable(strStderr));
    }
};

QTEST_MAIN(CSmokeTest)
#include "tst_smoke.moc"
