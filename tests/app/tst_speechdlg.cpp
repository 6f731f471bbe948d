#include "app/aboutdlg.h"
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "settings/audiosavingconfpage.h"
#include "settings/mytreepropsheet.h"
#include "tests/support/windowtest.h"
#include "widgets/buttonst.h"
#include "widgets/colorref.h"
#include "widgets/digistatic.h"
#include "widgets/hyperlink.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include "tests/support/testfiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMediaPlayer>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <memory>

namespace
{
struct SShownMessage
{
    QString strText;
    QString strCaption;
    unsigned nFlags;
};

using KbTest::Utf16;

// One second of a quiet 440 Hz tone, enough for a player to start.
bool WriteToneWav(const QString& strPath)
{
    const int nRate = 22050;
    QByteArray pcm;
    for (int i = 0; i < nRate; ++i)
    {
        const qint16 sample = qint16(2000 * std::sin(2 * M_PI * 440 * i / nRate));
        pcm.append(char(sample & 0xFF));
        pcm.append(char((sample >> 8) & 0xFF));
    }
    auto le32 = [](quint32 n)
    {
        const char bytes[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF),
                               char((n >> 24) & 0xFF)};
        return QByteArray(bytes, 4);
    };
    QByteArray wav = "RIFF" + le32(36 + pcm.size()) + "WAVEfmt " + le32(16) +
                     QByteArray("\x01\x00\x01\x00", 4) + le32(nRate) + le32(nRate * 2) +
                     QByteArray("\x02\x00\x10\x00", 4) + "data" + le32(pcm.size()) + pcm;
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size();
}
} // namespace

using KbTest::Item;

class CSpeechDlgTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    std::vector<SShownMessage> m_messages;

    QString IniPath() const
    {
        return m_pHome->path() +
               QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini");
    }
    void WriteSettings(const QString& strText)
    {
        QDir().mkpath(QFileInfo(IniPath()).absolutePath());
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Utf16(strText));
    }
    CSpeechApp& StartApp(const QString& strAppDir = QStringLiteral(KB_BIN_DIR))
    {
        m_pApp = std::make_unique<CSpeechApp>(strAppDir);
        m_pApp->InitSettings();
        return *m_pApp;
    }
    static COLORREF ButtonFace()
    {
        return RefFromColor(QApplication::palette().color(QPalette::Button));
    }

private Q_SLOTS:
    void init()
    {
        m_pHome = KbTest::UseFreshHome();
        m_messages.clear();
        CMessageBox::SetHook(
            [this](const QString& strText, const QString& strCaption, unsigned nFlags) {
                m_messages.push_back({strText, strCaption, nFlags});
            });
    }
    void cleanup()
    {
        KbTest::EndApp(m_pApp);
        CMessageBox::SetHook(nullptr);
        m_pHome.reset();
    }

    void initialStates()
    {
        StartApp();
        CSpeechDlg dlg;
        QVERIFY(m_messages.empty());
        QVERIFY(!dlg.IsEndRequested());
        QCOMPARE(dlg.m_nSpeakMode, 1);
        QVERIFY(!dlg.m_bBusy && !dlg.m_bWorking && !dlg.m_bPaused && !dlg.m_bStreamStarted);
        for (int nId : {1036, 1056, 1054, 1067, 1068, 1002, 1003, 1008, 1010, 1007, 1043, 1042})
            QVERIFY2(!dlg.GetDlgItem(nId)->isEnabled(), qPrintable(QString::number(nId)));
        for (int nId : {1004, 1001, 1035, 1040, 1064, 1013, 1015, 1017})
            QVERIFY2(dlg.GetDlgItem(nId)->isEnabled(), qPrintable(QString::number(nId)));
        QVERIFY(Item<QRadioButton>(dlg, IDC_RADIO_FILE)->isChecked());
        QVERIFY(!Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->isChecked());
        QVERIFY(Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT)->isReadOnly());

        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        for (int nId : {1047, 1048, 1046, 1020, 1066, 1057, 1067, 1068})
            QVERIFY2(!dlg.GetDlgItem(nId)->isVisible(), qPrintable(QString::number(nId)));
        for (int nId : {1001, 1004, 1007, 1013, 1015, 1017, 1023, 1033, 1034, 1035, 1040, 1064})
            QVERIFY2(dlg.GetDlgItem(nId)->isVisible(), qPrintable(QString::number(nId)));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Kestrivane Basic"));
        QVERIFY(!dlg.windowIcon().isNull());
        QVERIFY(dlg.m_nTimerId != 0);
        QVERIFY(dlg.m_hLameDll.IsLoaded());
        QVERIFY(!dlg.m_hMusicWnd);
        QVERIFY(!Item<CButtonST>(dlg, IDC_BTN_SPEAK)->icon().isNull());
        QVERIFY(Item<CPPHtmlStatic>(dlg, IDC_STATIC_ANIMATION)
                    ->GetWindowText()
                    .contains(QRegularExpression("^<ilst index=0 handle=0x[0-9A-F]+ "
                                                 "mask=0xFF00FF speed=1>$")));

        const QMenuBar* pMenu = dlg.findChild<QMenuBar*>(QStringLiteral("131"));
        QVERIFY(pMenu);
        QStringList menus;
        for (QAction* pAction : pMenu->actions())
            menus << pAction->text();
        QCOMPARE(menus, QStringList({"&Option", "&Help"}));
        for (int nCommand : {32775, 32776, 32774, 32773})
            QVERIFY(pMenu->findChild<QAction*>(QString::number(nCommand)));
    }

    void controlTexts_data()
    {
        QTest::addColumn<int>("nId");
        QTest::addColumn<QString>("strText");
        const std::pair<int, const char*> rows[] = {
            {1033, "Read File"},     {1034, "Input and Speak"},
            {1001, "Open"},          {1002, "Delete"},
            {1003, "Empty"},         {1056, "Copy"},
            {1054, "Paste"},         {1036, "Empty"},
            {1042, "Save"},          {1007, "Speak"},
            {1008, "Pause"},         {1010, "Stop"},
            {1043, "Save as Audio"}, {1040, "Refresh"},
            {1058, "Language:"},     {1059, "Voice:"},
            {1016, "Volume: 100"},   {1018, "Speed: 0"},
            {1067, "ZIn"},           {1069, "100"},
            {1074, "-10"},
        };
        for (const auto& [nId, pszText] : rows)
            QTest::newRow(qPrintable(QString::number(nId))) << nId << QString::fromUtf8(pszText);
    }
    void controlTexts()
    {
        QFETCH(int, nId);
        QFETCH(QString, strText);
        StartApp();
        CSpeechDlg dlg;
        QWidget* pItem = dlg.GetDlgItem(nId);
        QVERIFY(pItem);
        if (auto* pButton = qobject_cast<QAbstractButton*>(pItem))
            QCOMPARE(pButton->text(), strText);
        else
            QCOMPARE(qobject_cast<QLabel*>(pItem)->text(), strText);
    }

    // The settings sheet lives under the window while it is open, and so do
    // its pages' radios: clicking a mode must still leave exactly one mode
    // checked and the page's choice alone.
    void modeRadiosIgnoreRadiosOfAnOpenSheet()
    {
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        CAudioSavingConfPage page;
        CMyTreePropSheet sheet(QStringLiteral("Settings"), &dlg, 0);
        sheet.AddPage(&page);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QList<QRadioButton*> pageRadios;
        for (QRadioButton* pRadio : sheet.findChildren<QRadioButton*>())
            if (pRadio->isChecked())
                pageRadios.append(pRadio);
        QVERIFY(!pageRadios.isEmpty());

        auto* pFile = Item<QRadioButton>(dlg, IDC_RADIO_FILE);
        auto* pInstant = Item<QRadioButton>(dlg, IDC_RADIO_INSTANT);
        const struct
        {
            QRadioButton* pClicked;
            int nMode;
        } clicks[] = {{pFile, 1}, {pInstant, 0}, {pInstant, 0}, {pFile, 1}};
        for (const auto& click : clicks)
        {
            click.pClicked->click();
            QCOMPARE(dlg.m_nSpeakMode, click.nMode);
            QCOMPARE(pFile->isChecked(), click.nMode == 1);
            QCOMPARE(pInstant->isChecked(), click.nMode == 0);
            for (QRadioButton* pRadio : pageRadios)
                QVERIFY(pRadio->isChecked());
        }
    }
    void sliderLabelsFollowPositions()
    {
        StartApp();
        CSpeechDlg dlg;
        Item<QSlider>(dlg, IDC_SLIDER_VOLUME)->setValue(30);
        Item<QSlider>(dlg, IDC_SLIDER_RATE)->setValue(-4);
        QCOMPARE(Item<QLabel>(dlg, IDC_STATIC_VOLUME)->text(), QStringLiteral("Volume: 70"));
        QCOMPARE(Item<QLabel>(dlg, IDC_STATIC_RATE)->text(), QStringLiteral("Speed: 4"));
        QCOMPARE(Item<QSlider>(dlg, IDC_SLIDER_VOLUME)->maximum(), 100);
        QCOMPARE(Item<QSlider>(dlg, IDC_SLIDER_RATE)->minimum(), -10);
    }

    // The first start writes every colour default back, so the file holds
    // numbers from then on.
    void firstRunWritesColourDefaults()
    {
        StartApp();
        {
            CSpeechDlg dlg;
        }
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString strSave = m_pHome->path() + QStringLiteral("/Documents/Kestrivane Basic/");
        const QByteArray expected =
            Utf16("\r\n[Audio]\r\nSavePath=" + strSave +
                  "\r\nSaveType=0\r\n\r\n[Button]\r\nColorBKIN=16777215\r\n\r\n[Misc]\r\n"
                  "LangInitCode=0409\r\nLangInitType=1\r\nMusicFilePath=\r\nMusicPlayMode=0\r\n"
                  "UILangID=0409\r\n\r\n[ProgressBar]\r\nBarBkColor=" +
                  QString::number(ButtonFace()) +
                  "\r\nBarColor=3342080\r\nTextBkColor=0\r\nTextColor=0\r\n\r\n"
                  "[Timer]\r\nColor=3342080\r\n\r\n");
        QCOMPARE(file.readAll(), expected);
    }

    void storedColoursAreApplied()
    {
        WriteSettings("[Button]\r\nColorBKIN=255\r\n[ProgressBar]\r\nBarColor=65280\r\n"
                      "BarBkColor=16711680\r\nTextColor=1\r\nTextBkColor=2\r\n"
                      "[Timer]\r\nColor=12345\r\n");
        StartApp();
        CSpeechDlg dlg;
        auto* pProgress = Item<CTextProgressCtrl>(dlg, IDC_PROGRESS);
        QCOMPARE(pProgress->GetBarColor(), COLORREF(65280));
        QCOMPARE(pProgress->GetBkColor(), COLORREF(16711680));
        QCOMPARE(pProgress->GetTextColor(), COLORREF(1));
        QCOMPARE(pProgress->GetTextBkColor(), COLORREF(2));
        auto* pClock = Item<CDigiStatic>(dlg, IDC_TIME_DISPLAY);
        QCOMPARE(pClock->GetOnColor(), COLORREF(12345));
        QCOMPARE(pClock->GetOffColor(), ButtonFace());
        QCOMPARE(pClock->GetBkColor(), ButtonFace());
        for (int nId : {1001, 1002, 1003, 1056, 1054, 1036, 1042, 1007, 1008, 1010, 1043, 1040})
            QCOMPARE(Item<CButtonST>(dlg, nId)->GetStateColour(CButtonST::BTNST_COLOR_BK_IN),
                     COLORREF(255));
        dlg.SetButtonHoverColor(0x123456);
        QCOMPARE(Item<CButtonST>(dlg, 1040)->GetStateColour(CButtonST::BTNST_COLOR_BK_IN),
                 COLORREF(0x123456));
        QCOMPARE(m_pApp->GetSetting("Timer", "Color", ""), QStringLiteral("12345"));
    }

    void closeGuards_data()
    {
        QTest::addColumn<bool>("bBusy");
        QTest::addColumn<bool>("bWorking");
        QTest::addColumn<bool>("bClosed");
        QTest::addColumn<int>("nMessages");
        QTest::newRow("idle-closes") << false << false << true << 0;
        QTest::newRow("busy-refuses-with-message") << true << false << false << 1;
        QTest::newRow("working-ignores-silently") << false << true << false << 0;
        QTest::newRow("busy-and-working-silent") << true << true << false << 0;
    }
    void closeGuards()
    {
        QFETCH(bool, bBusy);
        QFETCH(bool, bWorking);
        QFETCH(bool, bClosed);
        QFETCH(int, nMessages);
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.m_bBusy = bBusy;
        dlg.m_bWorking = bWorking;
        dlg.close();
        QCOMPARE(!dlg.isVisible(), bClosed);
        QCOMPARE(int(m_messages.size()), nMessages);
        if (nMessages)
        {
            QCOMPARE(m_messages[0].strText, QStringLiteral("Please stop the speaking first!"));
            QCOMPARE(m_messages[0].strCaption, QStringLiteral("Kestrivane Basic"));
            QCOMPARE(m_messages[0].nFlags, 0x30u);
        }
    }

    void escapeDuringReadingDoesNothing()
    {
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.m_bBusy = true;
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QVERIFY(m_messages.empty());
        dlg.m_bBusy = false;
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void closingStopsPlayingMusic()
    {
        const QString strMusic = m_pHome->path() + QStringLiteral("/tone.wav");
        QVERIFY(WriteToneWav(strMusic));
        WriteSettings("[Misc]\r\nMusicPlayMode=1\r\nMusicFilePath=" + strMusic + "\r\n");
        StartApp();
        CSpeechDlg dlg;
        QVERIFY(dlg.m_hMusicWnd);
        QCOMPARE(dlg.m_hMusicWnd->source(), QUrl::fromLocalFile(strMusic));
        QCOMPARE(dlg.m_hMusicWnd->playbackState(), QMediaPlayer::StoppedState);
        dlg.show();
        dlg.m_hMusicWnd->setLoops(QMediaPlayer::Infinite);
        dlg.m_hMusicWnd->play();
        QCOMPARE(dlg.m_hMusicWnd->playbackState(), QMediaPlayer::PlayingState);
        dlg.close();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.m_hMusicWnd->playbackState(), QMediaPlayer::StoppedState);
    }

    void missingMusicFileGivesNoPlayer()
    {
        WriteSettings("[Misc]\r\nMusicPlayMode=1\r\nMusicFilePath=/nonexistent/song.mp3\r\n");
        StartApp();
        CSpeechDlg dlg;
        QVERIFY(!dlg.m_hMusicWnd);
        QVERIFY(m_messages.empty());
    }

    // Shares of the pane tree, checked on a resized window through widgets
    // that fill their pane's breadth.
    void layoutShares()
    {
        StartApp();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.resize(1400, 900);
        QTRY_COMPARE(dlg.size(), QSize(1400, 900));
        QApplication::processEvents();

        const QRect left = dlg.GetDlgItem(IDC_RADIO_FILE)->geometry();
        const QRect right = dlg.GetDlgItem(IDC_RADIO_INSTANT)->geometry();
        auto near = [](double dActual, double dExpected, double dSlack)
        { return std::abs(dActual - dExpected) <= dSlack; };
        QVERIFY2(near(left.width(), right.width(), 2),
                 qPrintable(QString("%1 vs %2").arg(left.width()).arg(right.width())));
        QVERIFY(left.left() < right.left());

        const int nSpacing = 5;
        auto check = [&](int nId, bool bWidth, double dShare, int nPane, int nGaps)
        {
            const QRect r = dlg.GetDlgItem(nId)->geometry();
            const double dExpected = dShare * (nPane - nGaps * nSpacing);
            const int nActual = bWidth ? r.width() : r.height();
            QVERIFY2(near(nActual, dExpected, qMax(3.0, nPane / 100.0)),
                     qPrintable(QString("%1: %2 vs %3").arg(nId).arg(nActual).arg(dExpected)));
        };
        check(IDC_LIST_FILES, true, 0.80, left.width(), 1);
        check(IDC_COMBO_LANGUAGE, true, 0.65, left.width(), 1);
        check(IDC_LIST_VOICES, true, 0.65, left.width(), 1);
        check(IDC_PROGRESS, true, 0.65, left.width(), 1);
        check(IDC_BTN_OPEN, true, 0.25, left.width(), 3);
        check(IDC_BTN_COPY, true, 0.25, right.width(), 3);

        // The right column: text pane 46 %, web panel 45 % of its height.
        const int nTextHeight = dlg.GetDlgItem(IDC_EDIT_TEXT)->height();
        const int nWebHeight = dlg.GetDlgItem(IDC_BROWSER)->height();
        QVERIFY2(near(double(nTextHeight) / nWebHeight, 46.0 / 45.0, 0.03),
                 qPrintable(QString("%1 vs %2").arg(nTextHeight).arg(nWebHeight)));

        // The bottom row: five buttons at 16 % of the window's inner width.
        const int nInner = dlg.width() - 10;
        for (int nId : {1007, 1008, 1010, 1043, 1040})
            check(nId, true, 0.16, nInner, 5);
        const QRect speak = dlg.GetDlgItem(IDC_BTN_SPEAK)->geometry();
        QVERIFY(speak.top() > dlg.GetDlgItem(IDC_BROWSER)->geometry().bottom());
        QVERIFY(speak.left() <= 10);

        // The control band sits under the progress bar, the sliders side by side.
        const QRect volume = dlg.GetDlgItem(IDC_SLIDER_VOLUME)->geometry();
        const QRect rate = dlg.GetDlgItem(IDC_SLIDER_RATE)->geometry();
        QVERIFY(dlg.GetDlgItem(IDC_SLIDER_VOLUME)->mapTo(&dlg, QPoint(0, 0)).y() >
                dlg.GetDlgItem(IDC_PROGRESS)->mapTo(&dlg, QPoint(0, 0)).y());
        QVERIFY(near(volume.height(), rate.height(), 2));
        QVERIFY(dlg.GetDlgItem(IDC_SLIDER_RATE)->mapTo(&dlg, QPoint(0, 0)).x() >
                dlg.GetDlgItem(IDC_SLIDER_VOLUME)->mapTo(&dlg, QPoint(0, 0)).x() + volume.width());
    }

    void missingImageLibraryEndsWindow()
    {
        QTemporaryDir emptyAppDir;
        StartApp(emptyAppDir.path() + "/");
        CSpeechDlg dlg;
        QVERIFY(dlg.IsEndRequested());
        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].strText, QStringLiteral("Failed to load image library!"));
        QCOMPARE(m_messages[0].nFlags, 0x30u);
        QVERIFY(Item<CButtonST>(dlg, IDC_BTN_SPEAK)->icon().isNull());
        QVERIFY(Item<CPPHtmlStatic>(dlg, IDC_STATIC_ANIMATION)->GetWindowText().isEmpty());
        // The remaining start-up still ran.
        QVERIFY(Item<QRadioButton>(dlg, IDC_RADIO_FILE)->isChecked());
        QVERIFY(QFileInfo::exists(IniPath()));
        QSignalSpy rejected(&dlg, &QDialog::rejected);
        QTRY_COMPARE(rejected.count(), 1);
    }

    void showcaseShownAfterStart()
    {
        StartApp();
        CSpeechDlg dlg;
        auto* pBrowser = Item<QTextBrowser>(dlg, IDC_BROWSER);
        QVERIFY(pBrowser->source().isEmpty());
        QTRY_VERIFY(pBrowser->source().toString().endsWith(QStringLiteral("pages/showcase.html")));
        QCOMPARE(pBrowser->documentTitle(), QStringLiteral("Kestrivane Basic"));
        QVERIFY(pBrowser->toPlainText().contains(QStringLiteral("Welcome to Kestrivane Basic")));
    }

    void pasteFollowsClipboardInInstantMode()
    {
        StartApp();
        CSpeechDlg dlg;
        auto* pPaste = dlg.GetDlgItem(IDC_BTN_PASTE);
        QApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
        QVERIFY(!pPaste->isEnabled());
        Item<QRadioButton>(dlg, IDC_RADIO_INSTANT)->setChecked(true);
        QApplication::clipboard()->setText(QStringLiteral("more"));
        QTRY_VERIFY(pPaste->isEnabled());
    }

    void languagePackTranslatesWindow()
    {
        QTemporaryDir appDir;
        QVERIFY(QFile::copy(KB_BIN_DIR "imagelib.rcc", appDir.filePath("imagelib.rcc")));
        QVERIFY(QDir(appDir.path()).mkdir("Languages"));
        QVERIFY(QFile::copy(KB_TEST_BUILD_DIR "Languages/LangESP.qm",
                            appDir.filePath("Languages/LangESP.qm")));
        WriteSettings("[Misc]\r\nUILangID=0c0a\r\n");
        StartApp(appDir.path() + "/");
        QVERIFY(m_pApp->m_bLangDllLoaded);
        CSpeechDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Kestrivane Básico"));
        QCOMPARE(Item<QAbstractButton>(dlg, IDC_BTN_SPEAK)->text(), QStringLiteral("Hablar"));
        QCOMPARE(Item<QAbstractButton>(dlg, IDC_BTN_STOP)->text(), QStringLiteral("Stop"));
        QCOMPARE(Item<QLabel>(dlg, IDC_STATIC_VOLUME)->text(), QStringLiteral("Volumen: 100"));
        const QMenuBar* pMenu = dlg.findChild<QMenuBar*>(QStringLiteral("131"));
        QCOMPARE(pMenu->actions().at(1)->text(), QStringLiteral("A&yuda"));
        QVERIFY(!dlg.windowIcon().isNull());
        QVERIFY(m_messages.empty());
    }

    void aboutBox()
    {
        StartApp();
        CAboutDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("About Kestrivane Basic..."));
        auto* pLink = dlg.findChild<CHyperLink*>(QStringLiteral("1022"));
        QVERIFY(pLink);
        QCOMPARE(pLink->text(), QStringLiteral("kestrivane.example/basic/"));
        QCOMPARE(pLink->GetURL(), QStringLiteral("https://kestrivane.example/basic/"));
        QCOMPARE(pLink->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(dlg.findChild<QAbstractButton*>(QStringLiteral("1"))->text(),
                 QStringLiteral("OK"));
        QVERIFY(dlg.findChild<QLabel*>(QStringLiteral("1060"))
                    ->text()
                    .startsWith(QStringLiteral("Kestrivane Basic")));
        QVERIFY(!dlg.findChild<QLabel*>(QStringLiteral("1078"))->pixmap().isNull());
    }
};

QTEST_MAIN(CSpeechDlgTest)
#include "tst_speechdlg.moc"
