#include "app/commandline.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

// The listing verbs, run in-process as the program runs them.
class CCommandLineTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;

    int Run(const QStringList& args, QString& strOut, QString& strErr)
    {
        strOut.clear();
        strErr.clear();
        QTextStream out(&strOut);
        QTextStream err(&strErr);
        return CCommandLine::Run(QStringList{"kestrivane-basic"} + args, out, err);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void listLanguages()
    {
        QString strOut;
        QString strErr;
        QCOMPARE(Run({"--list-languages"}, strOut, strErr), 0);
        const QStringList lines = strOut.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 62);
        QCOMPARE(lines.first(), QStringLiteral("041c\tAlbanian"));
        QVERIFY(lines.contains(QStringLiteral("0c0a\tSpanish (Spain)")));
        QVERIFY(lines.contains(QStringLiteral("2c0a\tSpanish (Argentina)")));
        QCOMPARE(lines.last(), QStringLiteral("0452\tWelsh"));
    }

    // Each voice line: description, the language ids it serves, gender.
    void listVoices_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strLanguageId");
        QTest::addColumn<QString>("strWord");
        QTest::newRow("english-us") << "0409"
                                    << "409"
                                    << "English";
        QTest::newRow("spain") << "0c0a"
                               << "c0a"
                               << "Spanish";
        QTest::newRow("argentina") << "2c0a"
                                   << "2c0a"
                                   << "Spanish";
        QTest::newRow("upper-case") << "0C0A"
                                    << "c0a"
                                    << "Spanish";
        QTest::newRow("russian") << "0419"
                                 << "419"
                                 << "Russian";
    }
    void listVoices()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strLanguageId);
        QFETCH(QString, strWord);
        QString strOut;
        QString strErr;
        QCOMPARE(Run({"--list-voices", strCode}, strOut, strErr), 0);
        const QStringList lines = strOut.split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 2);
        QStringList genders;
        for (const QString& strLine : lines)
        {
            const QStringList fields = strLine.split('\t');
            QCOMPARE(fields.size(), 3);
            QVERIFY2(fields[0].contains(strWord), qPrintable(strLine));
            QVERIFY2(fields[1].split(';').contains(strLanguageId), qPrintable(strLine));
            genders.append(fields[2]);
        }
        QVERIFY(genders.contains("Male") && genders.contains("Female"));
    }

    void listAllVoices()
    {
        QString strOut;
        QString strErr;
        QCOMPARE(Run({"--list-voices"}, strOut, strErr), 0);
        QVERIFY(strOut.count('\n') > 100);
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QString>("strErr");
        QTest::newRow("not-a-code") << QStringList{"--list-voices", "english"} << 2 << "english";
        QTest::newRow("two-codes") << QStringList{"--list-voices", "0409", "0c0a"} << 2 << "0c0a";
        QTest::newRow("languages-with-code")
            << QStringList{"--list-languages", "0409"} << 2 << "0409";
        QTest::newRow("both-verbs")
            << QStringList{"--list-languages", "--list-voices"} << 2 << "choose one";
        QTest::newRow("no-voice") << QStringList{"--list-voices", "0438"} << 1 << "0438";
    }
    void badUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, nExit);
        QFETCH(QString, strErr);
        QString strOut;
        QString strError;
        QCOMPARE(Run(args, strOut, strError), nExit);
        QVERIFY2(strError.contains(strErr), qPrintable(strError));
        QVERIFY(strOut.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CCommandLineTest)
#include "tst_commandline.moc"
