#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"

#include <QSet>
#include <QTest>

class CStringTableTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { CResourceModule::SetCurrent(nullptr); }

    void quotedTexts_data()
    {
        QTest::addColumn<int>("nId");
        QTest::addColumn<QString>("strText");
        QTest::newRow("title") << 100 << "Kestrivane Basic";
        QTest::newRow("open") << 104 << "Open";
        QTest::newRow("reset-is-empty") << 106 << "Empty";
        QTest::newRow("resume") << 113 << "Resume";
        QTest::newRow("go-online-is-refresh") << 116 << "Refresh";
        QTest::newRow("volume") << 117 << "Volume: %d";
        QTest::newRow("speed") << 118 << "Speed: %d";
        QTest::newRow("voice-failed") << 140 << "Failed to initiate voice instance.";
        QTest::newRow("stop-first") << 143 << "Please stop the speaking first!";
        QTest::newRow("no-voice")
            << 145 << "No voice for the selected language installed on the computer.";
        QTest::newRow("extracting") << 148 << "<font color=green size=14>Extracting text...</font>";
        QTest::newRow("no-tts") << 301 << "No Text-To-Speech(TTS) voice";
        QTest::newRow("music-missing") << 302 << "%s\r\n\r\nThe music file is missing.";
        QTest::newRow("mp3") << 304 << "<font color=green size=14>MP3 generated: %0.1f%%</font>";
        QTest::newRow("ok") << 317 << "OK";
        QTest::newRow("apply") << 319 << "Apply";
    }
    void quotedTexts()
    {
        QFETCH(int, nId);
        QFETCH(QString, strText);
        QString strLoaded;
        QVERIFY(CStringTable::LoadString(nId, strLoaded));
        QCOMPARE(strLoaded, strText);
    }

    void missingStringFails()
    {
        QString strText = QStringLiteral("unchanged");
        QVERIFY(!CStringTable::LoadString(135, strText));
        QCOMPARE(strText, QStringLiteral("unchanged"));
        QVERIFY(CStringTable::Get(99999).isEmpty());
    }

    // The catalogue rows must parse as code # name # display name, with 62
    // distinct codes and display names, or the language box loses entries.
    void catalogueRowsAreWellFormed()
    {
        QSet<QString> codes;
        QSet<QString> names;
        for (int nId = IDS_LANGUAGE_FIRST; nId <= IDS_LANGUAGE_LAST; ++nId)
        {
            QString strRow;
            QVERIFY2(CStringTable::LoadString(nId, strRow), qPrintable(QString::number(nId)));
            QVERIFY2(strRow.size() > 6 && strRow.at(4) == QLatin1Char('#'), qPrintable(strRow));
            const QString strCode = strRow.left(4);
            bool bHex = false;
            strCode.toUInt(&bHex, 16);
            QVERIFY2(bHex && strCode == strCode.toLower(), qPrintable(strRow));
            const qsizetype nLast = strRow.lastIndexOf(QLatin1Char('#'));
            QVERIFY(nLast > 5);
            QCOMPARE(strRow.mid(5, nLast - 5), strRow.mid(nLast + 1));
            codes.insert(strCode);
            names.insert(strRow.mid(nLast + 1));
        }
        QCOMPARE(codes.size(), 62);
        QCOMPARE(names.size(), 62);
    }

    void editMenuOrder()
    {
        const auto items = CStringTable::GetMenu(IDR_EDITMENU);
        QStringList texts;
        QList<int> commands;
        for (const auto& item : items)
        {
            if (item.nLevel == 1)
            {
                texts << (item.strText.isEmpty() ? QStringLiteral("-") : item.strText);
                commands << item.nCommand;
            }
        }
        QCOMPARE(texts, QStringList({"Undo", "-", "Cut", "Copy", "Paste", "Select All",
                                     "Save As...", "Empty", "-", "FAQ Online"}));
        QCOMPARE(commands,
                 QList<int>({32784, 0, 32783, 32777, 32778, 32782, 32780, 32779, 0, 32781}));
    }

    void format_data()
    {
        QTest::addColumn<QString>("strFormat");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("int") << "Volume: %d" << QVariantList{100} << "Volume: 100";
        QTest::newRow("negative") << "Speed: %d" << QVariantList{-10} << "Speed: -10";
        QTest::newRow("float-percent")
            << "MP3 generated: %0.1f%%" << QVariantList{42.25} << "MP3 generated: 42.3%";
        QTest::newRow("string") << "%s\r\n\r\nThe music file is missing."
                                << QVariantList{"/m/a.mp3"}
                                << "/m/a.mp3\r\n\r\nThe music file is missing.";
        QTest::newRow("hex") << "handle=0x%X mask=0x%06X" << QVariantList{0x2a01, 0xFF00FF}
                             << "handle=0x2A01 mask=0xFF00FF";
        // A translation asking for more arguments than given must not read
        // past them.
        QTest::newRow("too-few-args") << "%d and %s" << QVariantList{1} << "1 and %s";
        QTest::newRow("trailing-percent") << "50%" << QVariantList{} << "50%";
    }
    void format()
    {
        QFETCH(QString, strFormat);
        QFETCH(QVariantList, args);
        QFETCH(QString, strExpected);
        QCOMPARE(CStringTable::Format(strFormat, args), strExpected);
    }

    // A language library replaces what it carries and leaves the rest to
    // the built-in English texts.
    void languageModuleOverridesAndFallsBack()
    {
        CResourceModule module;
        QVERIFY(module.Load(QStringLiteral(KB_TEST_BUILD_DIR "Languages/LangTest.qm")));
        CResourceModule::SetCurrent(&module);
        QCOMPARE(CStringTable::Get(IDS_OPEN), QStringLiteral("Abrir"));
        QCOMPARE(CStringTable::Get(174), QStringLiteral("0409#English (US)#Inglés (EE. UU.)"));
        QCOMPARE(CStringTable::Get(IDS_DELETE), QStringLiteral("Delete"));
        QCOMPARE(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, IDC_RADIO_FILE),
                 QStringLiteral("Leer desde archivo"));
        QCOMPARE(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, IDC_RADIO_INSTANT),
                 QStringLiteral("Instant Speak"));
        const auto menu = CStringTable::GetMenu(IDR_MAINMENU);
        QCOMPARE(menu.front().strText, QStringLiteral("&Opciones"));
        QCOMPARE(menu.at(1).strText, QStringLiteral("&Settings..."));

        CResourceModule::SetCurrent(nullptr);
        QCOMPARE(CStringTable::Get(IDS_OPEN), QStringLiteral("Open"));
    }

    void missingModuleFileDoesNotLoad()
    {
        CResourceModule module;
        QVERIFY(!module.Load(QStringLiteral(KB_TEST_BUILD_DIR "Languages/Missing.qm")));
        QVERIFY(module.Lookup(QStringLiteral("104")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(CStringTableTest)
#include "tst_stringtable.moc"
