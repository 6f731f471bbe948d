#include "app/speechapp.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"

#include "tests/support/diskfault.h"
#include "tests/support/testfiles.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace
{
using KbTest::Utf16;

using KbTest::ReadFile;
using KbTest::WriteFile;

const QString g_strPackDir = QStringLiteral(KB_TEST_BUILD_DIR);
} // namespace

class CSpeechAppTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir* m_pHome = nullptr;
    QString DataFolder() const
    {
        return m_pHome->path() + QStringLiteral("/.config/Kestrivane/Kestrivane Basic/");
    }
    QString SaveFolder() const
    {
        return m_pHome->path() + QStringLiteral("/Documents/Kestrivane Basic/");
    }

private Q_SLOTS:
    // Each case starts from a clean profile of its own.
    void init()
    {
        m_pHome = new QTemporaryDir;
        qputenv("HOME", m_pHome->path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        CResourceModule::SetCurrent(nullptr);
    }
    void cleanup()
    {
        CResourceModule::SetCurrent(nullptr);
        delete m_pHome;
        m_pHome = nullptr;
    }

    void firstStartCreatesFoldersAndDefaultFile()
    {
        CSpeechApp app(g_strPackDir);
        app.EnsureSettingsFile();
        QCOMPARE(app.m_strIniPath, DataFolder() + "Application.ini");
        QVERIFY(QFileInfo(DataFolder() + "Temp").isDir());
        QVERIFY(QFileInfo(SaveFolder()).isDir());
        QCOMPARE(app.GetSettingsFolder(), DataFolder());
        QCOMPARE(app.GetDefaultSaveFolder(), SaveFolder());
        const QByteArray expected =
            Utf16("[Audio]\r\nSavePath=" + SaveFolder() +
                  "\r\nSaveType=0\r\n\r\n[Button]\r\nColorBKIN=\r\n[Misc]\r\n"
                  "LangInitCode=0409\r\nLangInitType=1\r\nMusicPlayMode=0\r\nMusicFilePath=\r\n"
                  "UILangID=0409\r\n\r\n[ProgressBar]\r\nBarColor=\r\nBarBkColor=\r\n"
                  "TextColor=\r\nTextBkColor=\r\n\r\n[Timer]\r\nColor=\r\n\r\n");
        QCOMPARE(ReadFile(app.m_strIniPath), expected);
    }

    void xdgConfigHomeIsHonoured()
    {
        const QString strConfig = m_pHome->path() + "/elsewhere";
        qputenv("XDG_CONFIG_HOME", strConfig.toUtf8());
        CSpeechApp app(g_strPackDir);
        app.EnsureSettingsFile();
        QCOMPARE(app.m_strIniPath,
                 strConfig + QStringLiteral("/Kestrivane/Kestrivane Basic/Application.ini"));
        QVERIFY(QFileInfo::exists(app.m_strIniPath));
    }

    // A hand-edited file keeps every value and unknown key; what is missing
    // is added and the file comes back sorted.
    void presentFileIsRepaired()
    {
        const QString strPath = DataFolder() + "Application.ini";
        QVERIFY(WriteFile(strPath, Utf16("[Misc]\r\nlanginitcode=0c0a\r\nMyKey=keep me \r\n"
                                         "[Audio]\r\nSaveType=1\r\nSavePath=/x/\r\n"
                                         "[Button]\r\nColorBKIN=255\r\n[ProgressBar]\r\n"
                                         "BarColor=1\r\nBarBkColor=2\r\nTextColor=3\r\n"
                                         "TextBkColor=4\r\n")));
        CSpeechApp app(g_strPackDir);
        app.EnsureSettingsFile();
        const QByteArray expected = Utf16(
            "\r\n[Audio]\r\nSavePath=/x/\r\nSaveType=1\r\n\r\n[Button]\r\nColorBKIN=255\r\n\r\n"
            "[Misc]\r\nlanginitcode=0c0a\r\nLangInitType=1\r\nMusicFilePath=\r\n"
            "MusicPlayMode=0\r\nMyKey=keep me \r\nUILangID=0409\r\n\r\n"
            "[ProgressBar]\r\nBarBkColor=2\r\nBarColor=1\r\nTextBkColor=4\r\nTextColor=3\r\n\r\n"
            "[Timer]\r\nColor=\r\n\r\n");
        QCOMPARE(ReadFile(strPath), expected);
    }

    void existingTitleFolderWithoutTempIsLeftAlone()
    {
        QVERIFY(QDir().mkpath(DataFolder()));
        CSpeechApp app(g_strPackDir);
        app.EnsureSettingsFile();
        QVERIFY(!QFileInfo::exists(DataFolder() + "Temp"));
        QVERIFY(QFileInfo::exists(app.m_strIniPath));
    }

    void getSettingDefaultsAndBlanks()
    {
        const QString strPath = DataFolder() + "Application.ini";
        QVERIFY(WriteFile(strPath, Utf16("[Audio]\r\nSaveType = 1\r\nSavePath=   \r\n"
                                         "[Misc]\r\nMusicFilePath=\t\r\n")));
        CSpeechApp app(g_strPackDir);
        QVERIFY(app.InitSettings());
        QCOMPARE(app.GetSetting("Audio", "SaveType", "0"), QStringLiteral(" 1"));
        QCOMPARE(app.GetSetting("Audio", "SavePath", "dflt"), QStringLiteral("dflt"));
        QCOMPARE(app.GetSetting("misc", "musicfilepath", "none"), QStringLiteral("none"));
        QCOMPARE(app.GetSetting("Nope", "Key", "d"), QStringLiteral("d"));
        QCOMPARE(app.GetSetting("Audio", "Nope", "d"), QStringLiteral("d"));

        app.SetSetting("Audio", "SaveType", "0");
        QCOMPARE(app.GetSetting("Audio", "SaveType", "x"), QStringLiteral("0"));
        app.SetSetting("Audio", "NewKey", "1");
        app.SetSetting("NewSection", "Key", "1");
        QVERIFY(!app.m_settings.FindSection("Audio")->FindKey("NewKey"));
        QVERIFY(!app.m_settings.FindSection("NewSection"));
    }

    void uiLanguage_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strAppDir");
        QTest::addColumn<bool>("bLoaded");
        QTest::addColumn<QString>("strUiLangAfter");
        QTest::addColumn<QString>("strOpenText");
        QTest::newRow("english") << "0409" << g_strPackDir << false << "0409"
                                 << "Open";
        QTest::newRow("spanish") << "0c0a" << g_strPackDir << true << "0c0a"
                                 << "Abrir";
        QTest::newRow("spanish-upper-case") << "0C0A" << g_strPackDir << true << "0C0A"
                                            << "Abrir";
        QTest::newRow("unknown-code-resets") << "0407" << g_strPackDir << false << "0409"
                                             << "Open";
        QTest::newRow("missing-pack-resets") << "0804" << g_strPackDir << false << "0409"
                                             << "Open";
        QTest::newRow("no-languages-folder")
            << "0c0a" << QStringLiteral("/nonexistent/") << false << "0409"
            << "Open";
    }
    void uiLanguage()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strAppDir);
        QFETCH(bool, bLoaded);
        QFETCH(QString, strUiLangAfter);
        QFETCH(QString, strOpenText);
        CSpeechApp app(strAppDir);
        app.EnsureSettingsFile();
        CSettingsStore store;
        QVERIFY(store.Load(app.m_strIniPath));
        store.SetValue("Misc", "UILangID", strCode);
        QVERIFY(store.Save(app.m_strIniPath));

        QVERIFY(app.InitSettings());
        QCOMPARE(app.m_bLangDllLoaded, bLoaded);
        QCOMPARE(app.GetSetting("Misc", "UILangID", ""), strUiLangAfter);
        QCOMPARE(CStringTable::Get(104), strOpenText);
        // The reset reaches the file only when the window saves it.
        CSettingsStore onDisk;
        QVERIFY(onDisk.Load(app.m_strIniPath));
        QCOMPARE(onDisk.GetValue("Misc", "UILangID"), strCode);

        app.ExitInstance();
        QCOMPARE(CStringTable::Get(104), QStringLiteral("Open"));
    }

    void libraryTable()
    {
        QCOMPARE(CSpeechApp::LanguageLibraryName("0804"), QStringLiteral("LangCHS.qm"));
        QCOMPARE(CSpeechApp::LanguageLibraryName("0416"), QStringLiteral("LangPOR.qm"));
        QCOMPARE(CSpeechApp::LanguageLibraryName("0C0A"), QStringLiteral("LangESP.qm"));
        QVERIFY(CSpeechApp::LanguageLibraryName("0409").isEmpty());
        QVERIFY(CSpeechApp::LanguageLibraryName("040a").isEmpty());
    }

    // A settings file that cannot be made ends the start-up; the user is
    // told why.
    void unreadableSettingsEndStartUp()
    {
        QVERIFY(QDir().mkpath(DataFolder() + "Application.ini"));
        CSpeechApp app(g_strPackDir);
        QStringList messages;
        CMessageBox::SetHook([&messages](const QString& strText, const QString&, unsigned)
                             { messages.append(strText); });
        QVERIFY(!app.InitSettings());
        CMessageBox::SetHook(nullptr);
        QCOMPARE(messages, QStringList{CSpeechApp::SaveFailedMessage(app.m_strIniPath)});
    }

    // Settings the disk or the folder refuses are told, and the file keeps
    // what it had.
    void unsavedSettingsAreTold_data()
    {
        QTest::addColumn<bool>("bReadOnly");
        QTest::newRow("full disk") << false;
        QTest::newRow("read-only folder") << true;
    }
    void unsavedSettingsAreTold()
    {
        QFETCH(bool, bReadOnly);
        CSpeechApp app(g_strPackDir);
        QVERIFY(app.InitSettings());
        const QByteArray before = ReadFile(app.m_strIniPath);
        app.SetSetting("Audio", "SaveType", "1");
        QStringList messages;
        CMessageBox::SetHook([&messages](const QString& strText, const QString&, unsigned)
                             { messages.append(strText); });
        bool bSaved = true;
        if (bReadOnly)
        {
            KbTest::CReadOnlyFolder readOnly(DataFolder());
            QVERIFY(readOnly.IsActive());
            bSaved = app.SaveSettings();
        }
        else
        {
            QVERIFY2(KbTest::CFullDisk::IsLoaded(), "run by ctest, with the fault shim");
            KbTest::CFullDisk full(DataFolder());
            bSaved = app.SaveSettings();
        }
        CMessageBox::SetHook(nullptr);
        app.ExitInstance();
        QVERIFY(!bSaved);
        QCOMPARE(messages, QStringList{CSpeechApp::SaveFailedMessage(app.m_strIniPath)});
        QCOMPARE(ReadFile(app.m_strIniPath), before);
    }
};

QTEST_GUILESS_MAIN(CSpeechAppTest)
#include "tst_speechapp.moc"
