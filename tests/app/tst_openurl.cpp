#include "widgets/urlopener.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class COpenUrlTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void handlerCommand_data()
    {
        QTest::addColumn<QString>("strCommand");
        QTest::addColumn<QString>("strExpected");
        // Only the quoted placeholder goes, so two spaces stand before the address.
        QTest::newRow("quoted-program-quoted-placeholder")
            << "\"/opt/web browser/run\" \"%1\""
            << "\"/opt/web browser/run\"  https://a.b/";
        QTest::newRow("bare-placeholder") << "browser %1 --new"
                                          << "browser  https://a.b/";
        QTest::newRow("quoted-wins-over-earlier-bare") << "b %1 \"%1\""
                                                       << "b %1  https://a.b/";
        QTest::newRow("desktop-field-code") << "firefox-esr %u"
                                            << "firefox-esr  https://a.b/";
        QTest::newRow("no-placeholder") << "browser --new-window"
                                        << "browser --new-window https://a.b/";
    }
    void handlerCommand()
    {
        QFETCH(QString, strCommand);
        QFETCH(QString, strExpected);
        QCOMPARE(CUrlOpener::BuildHandlerCommand(strCommand, "https://a.b/"), strExpected);
    }

    void splitCommandLine_data()
    {
        QTest::addColumn<QString>("strCommand");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain") << "a b  c" << QStringList{"a", "b", "c"};
        QTest::newRow("quoted-spaces")
            << "\"/opt/web browser/run\"  x" << QStringList{"/opt/web browser/run", "x"};
        QTest::newRow("escapes-in-quotes") << "\"a\\\"b\" c" << QStringList{"a\"b", "c"};
        QTest::newRow("field-codes-dropped") << "app %U --x %i" << QStringList{"app", "--x"};
        QTest::newRow("shell-metacharacters-stay-literal")
            << "app ;rm$(x)|y" << QStringList{"app", ";rm$(x)|y"};
        QTest::newRow("empty-quoted-argument") << "app \"\"" << QStringList{"app", ""};
    }
    void splitCommandLine()
    {
        QFETCH(QString, strCommand);
        QFETCH(QStringList, expected);
        QCOMPARE(CUrlOpener::SplitCommandLine(strCommand), expected);
    }

    void addresses()
    {
        QCOMPARE(CUrlOpener::StripScheme("https://kestrivane.example/basic/"),
                 QStringLiteral("kestrivane.example/basic/"));
        QCOMPARE(CUrlOpener::StripScheme("http://a/"), QStringLiteral("a/"));
        QCOMPARE(CUrlOpener::StripScheme("no-scheme"), QStringLiteral("no-scheme"));
        QCOMPARE(CUrlOpener::ResolveAddress("pages/faq.html", "/usr/share/kb/"),
                 QStringLiteral("file:///usr/share/kb/pages/faq.html"));
        QCOMPARE(CUrlOpener::ResolveAddress("https://x/", "/usr/share/kb/"),
                 QStringLiteral("https://x/"));
        QCOMPARE(CUrlOpener::ResolveAddress("/abs/page.html", "/usr/share/kb/"),
                 QStringLiteral("file:///abs/page.html"));
        QCOMPARE(CUrlOpener::ResolveAddress("mailto:a@b", "/x/"), QStringLiteral("mailto:a@b"));
    }

    // With no desktop to ask, the default HTML handler's entry is run with
    // the address as one argument, without a shell in between: a shell would
    // split the address or run the command it holds, which makes a marker.
    void fallbackRunsHtmlHandler_data()
    {
        QTest::addColumn<QString>("strAddress");
        QTest::addColumn<QString>("strExpected");
        const QString strBase = QStringLiteral("https://kestrivane.example/");
        QTest::newRow("space and semicolon")
            << strBase + "a b;touch MARKER;c" << strBase + "a b;touch MARKER;c";
        QTest::newRow("command substitution")
            << strBase + "$(touch MARKER)" << strBase + "$(touch MARKER)";
        QTest::newRow("backticks") << strBase + "`touch MARKER`" << strBase + "`touch MARKER`";
        QTest::newRow("quotes") << strBase + "'\";touch MARKER;\"'"
                                << strBase + "'\";touch MARKER;\"'";
        QTest::newRow("pipe and ampersand")
            << strBase + "x|touch MARKER&y" << strBase + "x|touch MARKER&y";
        QTest::newRow("newline") << strBase + "x\ntouch MARKER" << strBase + "x\ntouch MARKER";
        QTest::newRow("option-like name")
            << "--new-window" << QUrl::fromLocalFile("/kb/--new-window").toString();
    }
    void fallbackRunsHtmlHandler()
    {
        QFETCH(QString, strAddress);
        QFETCH(QString, strExpected);
        QTemporaryDir dir;
        const QString strData = dir.filePath("data");
        const QString strConfig = dir.filePath("config");
        const QString strLog = dir.filePath("opened.txt");
        const QString strMarker = dir.filePath("marker");
        QVERIFY(QDir().mkpath(strData + "/applications"));
        QVERIFY(QDir().mkpath(strConfig));
        const QString strScript = dir.filePath("fake browser.sh");
        {
            QFile script(strScript);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\000' \"$@\" > '%1.part'\n"
                                        "mv '%1.part' '%1'\n")
                             .arg(strLog)
                             .toUtf8());
        }
        QFile::setPermissions(strScript, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        {
            QFile entry(strData + "/applications/kbtest-browser.desktop");
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write(
                QStringLiteral("[Desktop Entry]\nType=Application\nName=Test\n"
                               "Exec=\"%1\" %u\nMimeType=text/html;x-scheme-handler/https;\n")
                    .arg(strScript)
                    .toUtf8());
        }
        {
            QFile mimeApps(strConfig + "/mimeapps.list");
            QVERIFY(mimeApps.open(QIODevice::WriteOnly));
            mimeApps.write("[Default Applications]\ntext/html=kbtest-browser.desktop\n"
                           "x-scheme-handler/https=kbtest-browser.desktop\n");
        }
        qputenv("XDG_DATA_HOME", strData.toUtf8());
        qputenv("XDG_DATA_DIRS", strData.toUtf8());
        qputenv("XDG_CONFIG_HOME", strConfig.toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_SESSION");
        CUrlOpener::SetBaseFolder("/kb/");

        QCOMPARE(CUrlOpener::FindHtmlHandlerCommand(), QStringLiteral("\"%1\" %u").arg(strScript));
        QVERIFY(CUrlOpener::Open(QString(strAddress).replace("MARKER", strMarker)));
        auto arguments = [&strLog]()
        {
            QFile log(strLog);
            return log.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(log.readAll()).split(QChar(0), Qt::KeepEmptyParts)
                       : QStringList();
        };
        QTRY_VERIFY(QFile::exists(strLog));
        QCOMPARE(arguments(), QStringList({QString(strExpected).replace("MARKER", strMarker), ""}));
        QVERIFY(!QFile::exists(strMarker));
        CUrlOpener::SetBaseFolder(QString());
    }
};

QTEST_GUILESS_MAIN(COpenUrlTest)
#include "tst_openurl.moc"
