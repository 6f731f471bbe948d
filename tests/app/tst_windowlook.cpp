#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "tests/support/windowtest.h"
#include "widgets/buttonst.h"
#include "widgets/colorref.h"
#include "widgets/digistatic.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{
QByteArray Utf16(const QString& str)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar ch : str)
    {
        out.append(char(ch.unicode() & 0xFF));
        out.append(char(ch.unicode() >> 8));
    }
    return out;
}

int CountColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int nCount = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            nCount += QColor(image.pixel(x, y)) == colour;
    return nCount;
}
} // namespace

// The main window with the reading display shown as a reading shows it:
// each self-drawn control appears in the colours of the settings file.
using KbTest::Item;

class CWindowLookTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KbTest::CTestHome> m_pTest;

    static QRect AreaOf(const CSpeechDlg& dlg, int nId)
    {
        const QWidget* pWidget = dlg.GetDlgItem(nId);
        return QRect(pWidget->mapTo(&dlg, QPoint(0, 0)), pWidget->size());
    }

private Q_SLOTS:
    void init() { m_pTest = std::make_unique<KbTest::CTestHome>(); }
    void cleanup() { m_pTest.reset(); }

    void readingDisplayInSettingsColours()
    {
        // Bar blue on light yellow, clock orange, hover pink.
        const QString strIni = QStringLiteral(
            "[Button]\r\nColorBKIN=13408767\r\n[ProgressBar]\r\nBarColor=14434816\r\n"
            "BarBkColor=13434879\r\nTextColor=16777215\r\nTextBkColor=0\r\n"
            "[Timer]\r\nColor=39423\r\n");
        const QString strIniPath =
            m_pTest->m_pHome->path() +
            QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini");
        QDir().mkpath(QFileInfo(strIniPath).absolutePath());
        QFile file(strIniPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Utf16(strIni));
        file.close();
        m_pTest->m_pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        m_pTest->m_pApp->InitSettings();

        CSpeechDlg dlg;
        // KB_SCREENSHOT_LANG switches the interface language first, for
        // the pictures of the translated window.
        const QString strLanguage = qEnvironmentVariable("KB_SCREENSHOT_LANG");
        if (!strLanguage.isEmpty())
            dlg.ApplyUILanguage(strLanguage);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        auto* pProgress = Item<CTextProgressCtrl>(dlg, IDC_PROGRESS);
        auto* pClock = Item<CDigiStatic>(dlg, IDC_TIME_DISPLAY);
        auto* pStatus = Item<CPPHtmlStatic>(dlg, IDC_STATIC_STATUS);
        auto* pAnimation = Item<CPPHtmlStatic>(dlg, IDC_STATIC_ANIMATION);
        auto* pSpeak = Item<CButtonST>(dlg, IDC_BTN_SPEAK);
        // What a reading in progress shows.
        pProgress->show();
        pProgress->SetPos(42);
        pClock->SetText(QStringLiteral("00:01:23"));
        pClock->show();
        pStatus->SetWindowText(CStringTable::Get(IDS_EXTRACTING));
        pStatus->show();
        pAnimation->show();
        pAnimation->SetFrameInterval(200);
        pSpeak->setEnabled(true);
        const QPoint onSpeak = pSpeak->rect().center();
        QMouseEvent move(QEvent::MouseMove, onSpeak, pSpeak->mapToGlobal(onSpeak), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pSpeak, &move);
        QVERIFY(pSpeak->IsMouseOver());
        QCoreApplication::processEvents();

        const QImage shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(CountColour(shot, AreaOf(dlg, IDC_PROGRESS), QColor(0x00, 0x42, 0xDC)) > 100);
        QVERIFY(CountColour(shot, AreaOf(dlg, IDC_PROGRESS), QColor(0xFF, 0xFF, 0xCC)) > 100);
        QVERIFY(CountColour(shot, AreaOf(dlg, IDC_TIME_DISPLAY), QColor(0xFF, 0x99, 0x00)) > 20);
        QVERIFY(CountColour(shot, AreaOf(dlg, IDC_STATIC_STATUS), QColor(0, 0x80, 0)) > 0);
        QVERIFY(CountColour(shot, AreaOf(dlg, IDC_BTN_SPEAK), QColor(0xFF, 0x99, 0xCC)) > 100);
        QCOMPARE(CountColour(shot, AreaOf(dlg, IDC_BTN_PAUSE), QColor(0xFF, 0x99, 0xCC)), 0);
        // The animation's first frame is on screen and the strip advances.
        QVERIFY(pAnimation->GetDrawer().HasAnimation());
        const int nPaints = pAnimation->GetPaintCount();
        QTRY_VERIFY(pAnimation->GetPaintCount() > nPaints);

        // On a real display, KB_SCREENSHOT names a file for the screen's
        // picture of the window (docs/screenshot.png is made this way).
        const QString strShot = qEnvironmentVariable("KB_SCREENSHOT");
        if (!strShot.isEmpty())
        {
            QTest::qWait(500);
            const QPixmap screen = dlg.screen()->grabWindow(dlg.winId());
            QVERIFY(screen.save(strShot));
        }
    }
};

QTEST_MAIN(CWindowLookTest)
#include "tst_windowlook.moc"
