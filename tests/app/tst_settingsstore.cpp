#include "app/settingsstore.h"

#include "tests/support/diskfault.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using KbTest::Utf16;

class CSettingsStoreTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void saveWritesSortedUtf16WithCrLf()
    {
        CSettingsStore store;
        store.SetValue("Timer", "Color", "3342080");
        store.SetValue("Misc", "UILangID", "0409");
        store.SetValue("Misc", "LangInitCode", "0409");
        store.SetValue("audio", "SaveType", "0");
        store.SetValue("Misc", "MusicFilePath", "");
        const QByteArray expected = Utf16("\r\n"
                                          "[audio]\r\nSaveType=0\r\n\r\n"
                                          "[Misc]\r\nLangInitCode=0409\r\nMusicFilePath=\r\n"
                                          "UILangID=0409\r\n\r\n"
                                          "[Timer]\r\nColor=3342080\r\n\r\n");
        QCOMPARE(store.ToBytes(), expected);

        QTemporaryDir dir;
        const QString strPath = dir.filePath("Application.ini");
        QVERIFY(store.Save(strPath));
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
    }

    // Only A-Z fold; other letters compare by code unit, so "É" and "é" are
    // two keys and "_" sorts before letters.
    void orderFoldsOnlyAsciiLetters()
    {
        CSettingsStore store;
        for (const char* pszKey : {"b", "_x", "A", "\xc3\xa9", "\xc3\x89", "Z", "a1"})
            store.SetValue("S", QString::fromUtf8(pszKey), "v");
        QStringList keys;
        for (const auto& [key, pEntry] : store.FindSection("s")->GetEntries())
            keys << pEntry->GetKey();
        QCOMPARE(keys, QStringList({"_x", "A", "a1", "b", "Z", "\u00c9", "\u00e9"}));
    }

    void loadRules_data()
    {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<QString>("strSection");
        QTest::addColumn<QString>("strKey");
        QTest::addColumn<QString>("strValue");
        QTest::addColumn<bool>("bPresent");
        QTest::newRow("plain") << "[Audio]\r\nSaveType=1\r\n"
                               << "Audio"
                               << "SaveType"
                               << "1" << true;
        QTest::newRow("blanks-around-equals") << "[Audio]\r\nSaveType = 1\r\n"
                                              << "Audio"
                                              << "SaveType"
                                              << " 1" << true;
        QTest::newRow("value-keeps-trailing-blanks") << "[Audio]\r\nSavePath=/a b/  \r\n"
                                                     << "Audio"
                                                     << "SavePath"
                                                     << "/a b/  " << true;
        QTest::newRow("leading-blanks-stripped") << "  \t[Audio]\r\n\t SaveType=1\r\n"
                                                 << "Audio"
                                                 << "SaveType"
                                                 << "1" << true;
        QTest::newRow("header-with-trailing-blanks") << "[Audio] \t\r\nSaveType=1\r\n"
                                                     << "Audio"
                                                     << "SaveType"
                                                     << "1" << true;
        QTest::newRow("section-name-blanks-stripped") << "[ Audio ]\r\nSaveType=1\r\n"
                                                      << "Audio"
                                                      << "SaveType"
                                                      << "1" << true;
        QTest::newRow("lf-only-lines") << "[Audio]\nSaveType=1\n"
                                       << "Audio"
                                       << "SaveType"
                                       << "1" << true;
        QTest::newRow("case-insensitive-lookup") << "[AUDIO]\r\nsavetype=1\r\n"
                                                 << "audio"
                                                 << "SAVETYPE"
                                                 << "1" << true;
        QTest::newRow("later-duplicate-wins") << "[Audio]\r\nSaveType=1\r\nsavetype=2\r\n"
                                              << "Audio"
                                              << "SaveType"
                                              << "2" << true;
        QTest::newRow("repeated-header-continues")
            << "[Audio]\r\nA=1\r\n[Misc]\r\nB=2\r\n[audio]\r\nC=3\r\n"
            << "Audio"
            << "A"
            << "1" << true;
        QTest::newRow("entry-before-header-dropped") << "SaveType=1\r\n[Audio]\r\n"
                                                     << "Audio"
                                                     << "SaveType"
                                                     << "" << false;
        QTest::newRow("line-starting-with-equals-ignored") << "[Audio]\r\n=1\r\n"
                                                           << "Audio"
                                                           << ""
                                                           << "" << false;
        QTest::newRow("value-with-equals") << "[Audio]\r\nK=a=b\r\n"
                                           << "Audio"
                                           << "K"
                                           << "a=b" << true;
        QTest::newRow("empty-value") << "[Audio]\r\nK=\r\n"
                                     << "Audio"
                                     << "K"
                                     << "" << true;
        QTest::newRow("unterminated-last-line") << "[Audio]\r\nK=v"
                                                << "Audio"
                                                << "K"
                                                << "v" << true;
        QTest::newRow("bad-header-is-not-a-section") << "[Audio]\r\n[Misc] x\r\nK=v\r\n"
                                                     << "Audio"
                                                     << "K"
                                                     << "v" << true;
    }
    void loadRules()
    {
        QFETCH(QString, strText);
        QFETCH(QString, strSection);
        QFETCH(QString, strKey);
        QFETCH(QString, strValue);
        QFETCH(bool, bPresent);
        CSettingsStore store;
        store.LoadFromBytes(Utf16(strText));
        const CSettingsSection* pSection = store.FindSection(strSection);
        const CSettingsEntry* pEntry = pSection ? pSection->FindKey(strKey) : nullptr;
        QCOMPARE(pEntry != nullptr, bPresent);
        QCOMPARE(store.GetValue(strSection, strKey), strValue);
    }

    void firstReadCaseIsKept()
    {
        CSettingsStore store;
        store.LoadFromBytes(Utf16("[audio]\r\nsavepath=/a/\r\n[Audio]\r\nSavePath=/b/\r\n"));
        QCOMPARE(store.GetSections().size(), size_t(1));
        const CSettingsSection* pSection = store.FindSection("AUDIO");
        QCOMPARE(pSection->GetName(), QStringLiteral("audio"));
        QCOMPARE(pSection->GetEntries().size(), size_t(1));
        QCOMPARE(pSection->FindKey("SAVEPATH")->GetKey(), QStringLiteral("savepath"));
        QCOMPARE(pSection->FindKey("SavePath")->GetValue(), QStringLiteral("/b/"));
    }

    // The first two bytes are skipped whatever they are.
    void fileWithoutBomLosesFirstCharacter()
    {
        CSettingsStore store;
        store.LoadFromBytes(Utf16("[Audio]\r\nK=v\r\n", false));
        QVERIFY(!store.FindSection("Audio"));
        QCOMPARE(store.GetValue("Audio", "K"), QString());

        store.LoadFromBytes(Utf16("X[Audio]\r\nK=v\r\n", false));
        QCOMPARE(store.GetValue("Audio", "K"), QStringLiteral("v"));
    }

    void oddAndTinyInputs()
    {
        CSettingsStore store;
        store.SetValue("Keep", "K", "v");
        store.LoadFromBytes(QByteArray());
        QVERIFY(store.GetSections().empty());
        store.LoadFromBytes(QByteArray("\xFF\xFE[", 3));
        QVERIFY(store.GetSections().empty());
    }

    void loadOfMissingFileLeavesContent()
    {
        CSettingsStore store;
        store.SetValue("Audio", "SaveType", "1");
        QVERIFY(!store.Load(QStringLiteral("/nonexistent/dir/Application.ini")));
        QCOMPARE(store.GetValue("Audio", "SaveType"), QStringLiteral("1"));
    }

    void saveAndLoadRoundTrip()
    {
        CSettingsStore store;
        store.SetValue("Misc", "MusicFilePath", QString::fromUtf8("/home/ü/Music/日本 ☃.mp3"));
        store.SetValue("Audio", "SaveType", " 1 ");
        QTemporaryDir dir;
        const QString strPath = dir.filePath("a.ini");
        QVERIFY(store.Save(strPath));
        CSettingsStore loaded;
        QVERIFY(loaded.Load(strPath));
        QCOMPARE(loaded.ToBytes(), store.ToBytes());
        QCOMPARE(loaded.GetValue("misc", "musicfilepath"),
                 QString::fromUtf8("/home/ü/Music/日本 ☃.mp3"));
    }

    void saveToMissingFolderFails()
    {
        CSettingsStore store;
        store.SetValue("A", "B", "C");
        QVERIFY(!store.Save(QStringLiteral("/nonexistent/dir/Application.ini")));
    }

    // A save the disk refuses, at once, part-way, or only when synced, or
    // into a read-only folder, is reported and leaves the old settings
    // whole, with nothing beside them.
    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("strFault");
        QTest::addColumn<qint64>("nFree");
        QTest::newRow("full disk") << "full" << qint64(0);
        QTest::newRow("disk full part-way") << "full" << qint64(20000);
        QTest::newRow("disk full when synced") << "sync" << qint64(0);
        QTest::newRow("read-only folder") << "read-only" << qint64(0);
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, strFault);
        QFETCH(qint64, nFree);
        QTemporaryDir dir;
        const QString strPath = dir.filePath("Application.ini");
        CSettingsStore oldStore;
        oldStore.SetValue("Audio", "SaveType", "1");
        QVERIFY(oldStore.Save(strPath));
        const QByteArray oldBytes = oldStore.ToBytes();

        CSettingsStore bigStore;
        for (int i = 0; i < 2000; ++i)
            bigStore.SetValue("Misc", QStringLiteral("Key%1").arg(i),
                              QString(40, QLatin1Char('x')));
        bool bSaved = true;
        if (strFault == QLatin1String("read-only"))
        {
            KbTest::CReadOnlyFolder readOnly(dir.path());
            QVERIFY(readOnly.IsActive());
            bSaved = bigStore.Save(strPath);
        }
        else
        {
            QVERIFY2(KbTest::CFullDisk::IsLoaded(), "run by ctest, with the fault shim");
            KbTest::CFullDisk full(dir.path(), nFree, strFault == QLatin1String("sync"));
            bSaved = bigStore.Save(strPath);
        }
        QVERIFY(!bSaved);
        QCOMPARE(KbTest::ReadFile(strPath), oldBytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Application.ini"}));
    }

    void lookupsStripBlanks()
    {
        CSettingsStore store;
        store.GetOrAddSection(" \tAudio\t ")->GetOrAddKey("  SaveType ")->SetValue("1");
        QCOMPARE(store.FindSection("Audio")->GetName(), QStringLiteral("Audio"));
        QCOMPARE(store.GetValue(" audio ", "\tsavetype"), QStringLiteral("1"));
        QVERIFY(store.FindSection("Audio")->FindKey("SaveType")->GetSection() ==
                store.FindSection("Audio"));
        QVERIFY(store.FindSection("Audio")->GetStore() == &store);
        store.Clear();
        QVERIFY(!store.FindSection("Audio"));
    }
};

QTEST_GUILESS_MAIN(CSettingsStoreTest)
#include "tst_settingsstore.moc"
