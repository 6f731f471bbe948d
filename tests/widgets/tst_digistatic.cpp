#include "pixeltools.h"
#include "widgets/digi7segment.h"
#include "widgets/digicolondotchar.h"
#include "widgets/digistatic.h"

#include <QTest>

using namespace pixeltools;

namespace
{
const QColor g_back(0, 0, 0);
const QColor g_off(0, 0x34, 0);
const QColor g_on(0, 0xFF, 0);

QImage Render(CDigiStatic& display, const QString& strText, int nWidth, int nHeight)
{
    display.SetText(strText);
    QImage image = Canvas(nWidth, nHeight);
    display.Render(image);
    return image;
}

// Counts the paint events a widget receives.
class CPaintCounter : public QObject
{
public:
    explicit CPaintCounter(QWidget* pWidget) { pWidget->installEventFilter(this); }
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        m_nPaints += pEvent->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

class CDigiStaticTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void segmentShapes()
    {
        CDigi7Segment digit;
        digit.SetChar(CDigi7Segment::MaskFor(QLatin1Char('8')), 0);
        QCOMPARE(digit.GetWidth(), 49);
        QCOMPARE(digit.GetSegmentCount(), 7);
        QCOMPARE(digit.GetMask(), 127);
        const auto& segments = digit.GetSegments();
        QCOMPARE(segments[0].Points(), QVector<QPoint>({{5, 4}, {12, 11}, {36, 11}, {43, 4}}));
        QCOMPARE(segments[2].Points(), QVector<QPoint>({{44, 6}, {44, 40}, {37, 36}, {37, 13}}));
        QCOMPARE(segments[4].Points(), QVector<QPoint>({{4, 76}, {4, 42}, {11, 46}, {11, 69}}));
        QCOMPARE(segments[5].Points(), QVector<QPoint>({{44, 76}, {44, 42}, {37, 46}, {37, 69}}));
        QCOMPARE(segments[6].Points(), QVector<QPoint>({{5, 78}, {12, 71}, {36, 71}, {43, 78}}));
        QCOMPARE(segments[3].Types(), QVector<quint8>({6, 2, 2, 2, 2, 2}));

        CDigiColonDotChar colon;
        colon.SetChar(CDigiColonDotChar::MASK_COLON, 8);
        QCOMPARE(colon.GetWidth(), 18);
        QCOMPARE(colon.GetSegmentCount(), 3);
        QVERIFY(colon.GetHideUnlit());
    }

    void digitMasks()
    {
        QVector<int> masks;
        for (char ch : QByteArray(" 0123456789-"))
            masks << CDigi7Segment::MaskFor(QLatin1Char(ch));
        QCOMPARE(masks, QVector<int>({0, 119, 36, 93, 109, 46, 107, 123, 37, 127, 111, 8}));
        QCOMPARE(CDigi7Segment::MaskFor(QLatin1Char('#')), -1);
    }

    void clockFillsExactSize()
    {
        CDigiStatic display;
        const QImage image = Render(display, QStringLiteral("00:00:00"), 330, 83);
        QCOMPARE(display.GetChars().size(), size_t(8));
        // One unit per pixel: the first "0"'s upper-left segment, the last
        // digit's upper-right one at the right edge, both colon dots.
        QCOMPARE(At(image, 7, 20), g_on);
        QCOMPARE(At(image, 24, 41), g_off); // unlit middle
        QCOMPARE(At(image, 281 + 40, 20), g_on);
        QCOMPARE(At(image, 98 + 8, 27), g_on);
        QCOMPARE(At(image, 98 + 8, 54), g_on);
        QCOMPARE(At(image, 98 + 8, 72), g_off);
        QCOMPARE(At(image, 0, 0), g_back);
        // The row spans the control: ink from x 4 to 330 - 49 + 44.
        const QRect ink = BoxNot(image, g_back, image.rect());
        QCOMPARE(ink.left(), 4);
        QCOMPARE(ink.right(), 281 + 44);
        QCOMPARE(At(image, 4, 20), QColor(0, 191, 0)); // the outline pen, 3:1 with black
    }

    void keepsAspectAndCentres()
    {
        CDigiStatic display;
        const QImage exact = Render(display, QStringLiteral("12:34:56"), 330, 83);
        const QImage tall = Render(display, QStringLiteral("12:34:56"), 330, 166);
        QCOMPARE(tall.copy(0, 42, 330, 83), exact);
        QVERIFY(OnlyColours(tall, QRect(0, 0, 330, 42), {g_back}));
        QVERIFY(OnlyColours(tall, QRect(0, 125, 330, 41), {g_back}));
        const QImage wide = Render(display, QStringLiteral("12:34:56"), 660, 83);
        QCOMPARE(wide.copy(165, 0, 330, 83), exact);
    }

    void oneLightsTwoSegments()
    {
        CDigiStatic display;
        const QImage image = Render(display, QStringLiteral("1"), 49, 83);
        QCOMPARE(At(image, 40, 20), g_on); // upper right
        QCOMPARE(At(image, 40, 60), g_on); // lower right
        for (const QPoint& unlit :
             {QPoint(24, 8), QPoint(7, 20), QPoint(24, 41), QPoint(7, 60), QPoint(24, 74)})
            QCOMPARE(At(image, unlit.x(), unlit.y()), g_off);
        QVERIFY(BoxOf(image, g_on, image.rect()).left() >= 36);
        // With the off colour equal to the background the unlit ones vanish.
        display.SetColor(0x000000, 0x00FF00);
        QImage hidden = Canvas(49, 83);
        display.Render(hidden);
        QVERIFY(OnlyColours(hidden, QRect(0, 0, 30, 83), {g_back}));
    }

    void pensBlendWithBackground()
    {
        CDigiStatic display;
        display.SetColor(0x102030, 0x2864C8); // off (48,32,16), on (200,100,40)
        display.SetBkColor(0x785028);         // (40,80,120)
        const QImage image = Render(display, QStringLiteral("8"), 49, 83);
        QCOMPARE(At(image, 7, 20), QColor(200, 100, 40));
        QCOMPARE(At(image, 4, 20), QColor(160, 95, 60));
        QCOMPARE(At(image, 0, 0), QColor(40, 80, 120));
        const QImage minus = Render(display, QStringLiteral("-"), 49, 83);
        QCOMPARE(At(minus, 7, 20), QColor(48, 32, 16));
        QCOMPARE(At(minus, 4, 20), QColor(46, 44, 42));
    }

    void otherCharactersTakeNoRoom()
    {
        CDigiStatic a;
        CDigiStatic b;
        QCOMPARE(Render(a, QStringLiteral("1#2"), 120, 83),
                 Render(b, QStringLiteral("12"), 120, 83));
        CDigiStatic empty;
        QVERIFY(OnlyColours(Render(empty, QString(), 50, 50), QRect(0, 0, 50, 50), {g_back}));
    }

    void questionMarkShowsWindowText()
    {
        CDigiStatic a;
        a.setText(QStringLiteral("10:20"));
        QImage fromWindow = Canvas(200, 83);
        a.Render(fromWindow);
        CDigiStatic b;
        QCOMPARE(fromWindow, Render(b, QStringLiteral("10:20"), 200, 83));
    }

    void equalValuesDoNotRepaint()
    {
        CDigiStatic display;
        display.resize(330, 83);
        display.SetText(QStringLiteral("00:00:00"));
        display.show();
        QVERIFY(QTest::qWaitForWindowExposed(&display));
        CPaintCounter counter(&display);
        QCoreApplication::processEvents();
        counter.m_nPaints = 0;
        display.SetText(QStringLiteral("00:00:00"));
        display.SetColor(display.GetOffColor(), display.GetOnColor());
        QCOMPARE(display.SetBkColor(display.GetBkColor()), COLORREF(0));
        QCoreApplication::processEvents();
        QCOMPARE(counter.m_nPaints, 0);
        display.SetText(QStringLiteral("00:00:01"));
        QTRY_COMPARE(counter.m_nPaints, 1);
        // Redraw-now mode paints before returning.
        display.SetRedrawNow(true);
        display.SetText(QStringLiteral("00:00:02"));
        QCOMPARE(counter.m_nPaints, 2);
        QImage shown = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage rendered(330, 83, QImage::Format_RGB32);
        display.Render(rendered);
        QCOMPARE(shown, rendered);
    }
};

QTEST_MAIN(CDigiStaticTest)
#include "tst_digistatic.moc"
