#include "app/settingsstore.h"
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "settings/optionmusicpage.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/testfiles.h"
#include "tests/support/wavefiles.h"
#include "tests/support/windowtest.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

// The Music page on a real main window: what OK stores and saves, and what
// becomes of the window's music player.
class COptionMusicPageTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::unique_ptr<CSpeechDlg> m_pDlg;
    std::unique_ptr<COptionMusicPage> m_pPage;
    KbTest::CDialogHooks m_hooks;
    QString m_strMusicA;
    QString m_strMusicB;

    // The window starts with these settings; then the page opens.
    void Open(const QString& strMode, const QString& strFile)
    {
        m_pApp->SetSetting("Misc", "MusicPlayMode", strMode);
        m_pApp->SetSetting("Misc", "MusicFilePath", strFile);
        m_pDlg = std::make_unique<CSpeechDlg>();
        m_pPage = std::make_unique<COptionMusicPage>(m_pDlg.get());
        m_pPage->InitPage();
    }
    template <typename T> T* Control(int nId)
    {
        return m_pPage->findChild<T*>(QString::number(nId));
    }
    QMediaPlayer* Player() { return m_pDlg->m_hMusicWnd; }
    // OK as the sheet gives it, with the settings file removed first: a
    // file afterwards is one that OK saved.
    void PressOk()
    {
        QFile::remove(m_pApp->m_strIniPath);
        m_pPage->OnOK();
    }
    bool Saved() const { return QFileInfo::exists(m_pApp->m_strIniPath); }
    QString SavedValue(const char* pszKey) const
    {
        CSettingsStore store;
        store.Load(m_pApp->m_strIniPath);
        return store.GetValue("Misc", pszKey);
    }
    QString Setting(const char* pszKey) const
    {
        return m_pApp->m_settings.GetValue("Misc", pszKey);
    }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        m_hooks.Install();
        g_bFirstMusicBrowse = true;
        const QByteArray wav = KbTest::PcmWav(1, 22050, KbTest::Tone(1, 22050, 1.0));
        m_strMusicA = KbTest::WriteFileIn(*m_pHome, "a.wav", wav);
        m_strMusicB = KbTest::WriteFileIn(*m_pHome, "b.wav", wav);
        m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pApp->InitSettings();
    }
    void cleanup()
    {
        m_pPage.reset();
        m_pDlg.reset();
        KbTest::EndApp(m_pApp);
        m_hooks.Remove();
        m_pHome.reset();
    }

    // Play chosen without a file to play: OK keeps the settings and does
    // not save. A missing file is told once the page's loop runs, with its
    // path, and its edit is disabled.
    void okWithoutAFileStoresNothing_data()
    {
        QTest::addColumn<QString>("strMode");
        QTest::addColumn<bool>("bMissing");
        QTest::newRow("no-music-then-play") << "0" << false;
        QTest::newRow("missing-file") << "1" << true;
    }
    void okWithoutAFileStoresNothing()
    {
        QFETCH(QString, strMode);
        QFETCH(bool, bMissing);
        const QString strFile = bMissing ? m_pHome->filePath("gone.wav") : QString();
        Open(strMode, strFile);
        QVERIFY(m_hooks.m_messages.empty());
        QCoreApplication::sendPostedEvents(m_pPage.get());
        QLineEdit* pEdit = Control<QLineEdit>(IDC_EDIT_MUSIC_FILE);
        QCOMPARE(pEdit->text(), strFile);
        if (bMissing)
        {
            QCOMPARE(int(m_hooks.m_messages.size()), 1);
            QCOMPARE(m_hooks.m_messages[0].strText,
                     strFile + QStringLiteral("\r\n\r\nThe music file is missing."));
            QCOMPARE(m_hooks.m_messages[0].strCaption, QStringLiteral("Kestrivane Basic"));
            QCOMPARE(m_hooks.m_messages[0].nFlags, 0x30u);
            QVERIFY(!pEdit->isEnabled());
        }
        else
        {
            QVERIFY(m_hooks.m_messages.empty());
        }

        Control<QRadioButton>(IDC_RADIO_PLAY_MUSIC)->click();
        QVERIFY(!m_pPage->IsModified());
        PressOk();
        QVERIFY(!Saved());
        QCOMPARE(Setting("MusicPlayMode"), strMode);
        QCOMPARE(Setting("MusicFilePath"), strFile);
        QVERIFY(!Player());
    }

    void noMusicStopsThePlayingMusic()
    {
        Open("1", m_strMusicA);
        QPointer<QMediaPlayer> pOld = Player();
        QVERIFY(pOld);
        m_pDlg->PlayMusic();
        QCOMPARE(pOld->playbackState(), QMediaPlayer::PlayingState);

        Control<QRadioButton>(IDC_RADIO_NO_MUSIC)->click();
        QVERIFY(m_pPage->IsModified());
        PressOk();
        QVERIFY(pOld.isNull());
        QVERIFY(!Player());
        QVERIFY(Control<QLineEdit>(IDC_EDIT_MUSIC_FILE)->text().isEmpty());
        QVERIFY(Saved());
        QCOMPARE(SavedValue("MusicPlayMode"), QStringLiteral("0"));
        QCOMPARE(SavedValue("MusicFilePath"), QString());
    }

    // A new file takes the old player's place at once, and plays at once
    // when the old one was playing.
    void newFileReplacesThePlayer_data()
    {
        QTest::addColumn<QString>("strMode");
        QTest::addColumn<bool>("bPlaying");
        QTest::newRow("from-no-music") << "0" << false;
        QTest::newRow("a-stopped") << "1" << false;
        QTest::newRow("a-playing") << "1" << true;
    }
    void newFileReplacesThePlayer()
    {
        QFETCH(QString, strMode);
        QFETCH(bool, bPlaying);
        Open(strMode, strMode == "1" ? m_strMusicA : QString());
        QPointer<QMediaPlayer> pOld = Player();
        QCOMPARE(pOld.isNull(), strMode == "0");
        if (bPlaying)
            m_pDlg->PlayMusic();

        Control<QRadioButton>(IDC_RADIO_PLAY_MUSIC)->click();
        m_hooks.m_answers = {m_strMusicB};
        Control<QPushButton>(IDC_BTN_MUSIC_BROWSE)->click();
        QVERIFY(m_pPage->IsModified());
        QCOMPARE(Control<QLineEdit>(IDC_EDIT_MUSIC_FILE)->text(), m_strMusicB);
        PressOk();
        QVERIFY(pOld.isNull());
        QVERIFY(Player());
        QCOMPARE(Player()->source(), QUrl::fromLocalFile(m_strMusicB));
        QCOMPARE(Player()->playbackState(),
                 bPlaying ? QMediaPlayer::PlayingState : QMediaPlayer::StoppedState);
        QCOMPARE(SavedValue("MusicPlayMode"), QStringLiteral("1"));
        QCOMPARE(SavedValue("MusicFilePath"), m_strMusicB);
    }

    // The first dialog opens in the Music folder, later ones where the
    // system chooses; the configured file picked again under another case
    // changes nothing.
    void sameFileAgainChangesNothing()
    {
        const QString strMusicFolder = m_pHome->filePath("Music");
        QVERIFY(QDir().mkpath(strMusicFolder));
        Open("1", m_strMusicA);
        QMediaPlayer* pPlayer = Player();
        const QString strOtherCase = QFileInfo(m_strMusicA).path() + QStringLiteral("/A.WAV");
        m_hooks.m_answers = {strOtherCase, QString()};
        Control<QPushButton>(IDC_BTN_MUSIC_BROWSE)->click();
        Control<QPushButton>(IDC_BTN_MUSIC_BROWSE)->click();
        QCOMPARE(int(m_hooks.m_requests.size()), 2);
        QCOMPARE(m_hooks.m_requests[0].strDirectory, strMusicFolder);
        QCOMPARE(m_hooks.m_requests[1].strDirectory, QString());
        QVERIFY(!m_pPage->IsModified());
        QCOMPARE(Control<QLineEdit>(IDC_EDIT_MUSIC_FILE)->text(), m_strMusicA);

        PressOk();
        QCOMPARE(Player(), pPlayer);
        QCOMPARE(SavedValue("MusicFilePath"), m_strMusicA);
    }
};

QTEST_MAIN(COptionMusicPageTest)
#include "tst_optionmusicpage.moc"
