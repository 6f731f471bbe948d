#include "pixeltools.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QTest>
#include <limits>

using namespace pixeltools;

namespace
{
// 200 x 20 inside the two-pixel frame.
constexpr int W = 204;
constexpr int H = 24;
const QRect g_inside(2, 2, 200, 20);

QImage Render(const CTextProgressCtrl& bar, int nWidth = W, int nHeight = H)
{
    QImage image = Canvas(nWidth, nHeight);
    bar.Render(image);
    return image;
}
} // namespace

class CTextProgressCtrlTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initialValues()
    {
        CTextProgressCtrl bar;
        PBRANGE range;
        QCOMPARE(bar.GetRange(true, &range), 0);
        QCOMPARE(range.iHigh, 100);
        QCOMPARE(bar.GetPos(), 0);
        QCOMPARE(bar.SetStep(3), 10);
        QCOMPARE(bar.SetTextAlign(0), 1);
        QCOMPARE(bar.SetShowPercent(false), true);
        QVERIFY(bar.GetFont().has_value());
        // The sentinel stands for the palette's colour, looked up at each use.
        QCOMPARE(bar.GetBarColor(), RefFromColor(Palette(QPalette::Highlight)));
        QCOMPARE(bar.GetBkColor(), RefFromColor(Palette(QPalette::Button)));
        QCOMPARE(bar.GetTextColor(), RefFromColor(Palette(QPalette::Base)));
        QCOMPARE(bar.GetTextBkColor(), RefFromColor(Palette(QPalette::WindowText)));
        const QPalette saved = QGuiApplication::palette();
        QPalette changed = saved;
        changed.setColor(QPalette::Highlight, QColor(10, 20, 30));
        QApplication::setPalette(changed);
        QCOMPARE(bar.GetBarColor(), COLORREF(0x1E140A));
        QApplication::setPalette(saved);
        QVERIFY(bar.testAttribute(Qt::WA_OpaquePaintEvent));
    }

    void messageResults()
    {
        CTextProgressCtrl bar;
        QCOMPARE(bar.SetRange32(5, 70000), 0 | (100 << 16));
        QCOMPARE(bar.SetRange(1, 0xFFFF), 5 | ((70000 & 0xFFFF) << 16));
        QCOMPARE(bar.GetRange(false, nullptr), 0xFFFF);
        QCOMPARE(bar.GetRange(true, nullptr), 1);
        bar.SetRange32(0, 100);
        QCOMPARE(bar.SetPos(40), 0);
        QCOMPARE(bar.OffsetPos(-15), 40);
        QCOMPARE(bar.GetPos(), 25);
        QCOMPARE(bar.SetBarColor(0x0000FF), CLR_SYSTEM_SENTINEL);
        QCOMPARE(bar.SetBarColor(0x00FF00), COLORREF(0x0000FF));
        QCOMPARE(bar.SetBkColor(1), CLR_SYSTEM_SENTINEL);
        QCOMPARE(bar.SetTextColor(2), CLR_SYSTEM_SENTINEL);
        QCOMPARE(bar.SetTextBkColor(3), CLR_SYSTEM_SENTINEL);
        QCOMPARE(bar.GetBkColor(), COLORREF(1));
        QCOMPARE(bar.GetTextColor(), COLORREF(2));
        QCOMPARE(bar.GetTextBkColor(), COLORREF(3));
        QCOMPARE(bar.SetFont(std::nullopt, false), 0);
        QVERIFY(!bar.GetFont().has_value());
    }

    void positionLimits_data()
    {
        QTest::addColumn<bool>("bMarquee");
        QTest::addColumn<int>("nStart");
        QTest::addColumn<int>("nStep");
        QTest::addColumn<int>("nSet");
        QTest::addColumn<int>("nExpected");
        // nSet >= -1000 is a SetPos; otherwise the step is taken from nStart.
        QTest::newRow("above the range") << false << 0 << 10 << 150 << 100;
        QTest::newRow("below the range") << false << 0 << 10 << -5 << 0;
        QTest::newRow("marquee extends the maximum") << true << 0 << 10 << 150 << 120;
        QTest::newRow("step wraps past the maximum") << false << 95 << 10 << -9999 << 5;
        QTest::newRow("step wraps below the minimum") << false << 5 << -10 << -9999 << 95;
        QTest::newRow("step inside the range") << false << 50 << 10 << -9999 << 60;
        QTest::newRow("step onto the maximum") << false << 90 << 10 << -9999 << 100;
    }
    void positionLimits()
    {
        QFETCH(bool, bMarquee);
        QFETCH(int, nStart);
        QFETCH(int, nStep);
        QFETCH(int, nSet);
        QFETCH(int, nExpected);
        CTextProgressCtrl bar;
        if (bMarquee)
            bar.SetMarquee(true, 100000);
        bar.SetPos(nStart);
        bar.SetStep(nStep);
        const int nPrevious = nSet >= -1000 ? bar.SetPos(nSet) : bar.StepIt();
        QCOMPARE(nPrevious, nStart);
        QCOMPARE(bar.GetPos(), nExpected);
    }

    void extremeValuesClamp()
    {
        constexpr int nMaxInt = std::numeric_limits<int>::max();
        CTextProgressCtrl bar;
        bar.SetRange32(-10, nMaxInt);
        bar.SetPos(nMaxInt - 1);
        bar.OffsetPos(100);
        QCOMPARE(bar.GetPos(), nMaxInt);
        bar.SetStep(nMaxInt);
        bar.SetPos(nMaxInt - 5);
        QCOMPARE(bar.StepIt(), nMaxInt - 5);
        QCOMPARE(bar.GetPos(), nMaxInt - 15);
        // The extended maximum of a huge range stays the integer limit.
        bar.SetMarquee(true, 100000);
        QCOMPARE(bar.GetUpperLimit(), nMaxInt);
        bar.SetPos(nMaxInt);
        QCOMPARE(bar.GetPos(), nMaxInt);
        bar.SetMarquee(false, 0);

        // A range wider than the integers still gives the right share.
        CTextProgressCtrl wide;
        wide.SetFont(SharpFont(14), false);
        wide.SetRange32(-2000000000, 2000000000);
        wide.SetPos(0);
        CTextProgressCtrl half;
        half.SetFont(SharpFont(14), false);
        half.SetPos(50);
        QCOMPARE(Render(wide), Render(half));
    }

    void halfBarSplitsTextColours()
    {
        CTextProgressCtrl bar;
        bar.SetFont(SharpFont(14), false);
        bar.SetPos(50);
        const QImage image = Render(bar);
        const QColor bar_ = Palette(QPalette::Highlight);
        const QColor back = Palette(QPalette::Button);
        const QColor textOverBar = Palette(QPalette::Base);
        const QColor textOverBack = Palette(QPalette::WindowText);
        const QRect left(2, 2, 100, 20);
        const QRect right(102, 2, 100, 20);
        QVERIFY(OnlyColours(image, left, {bar_, textOverBar}));
        QVERIFY(OnlyColours(image, right, {back, textOverBack}));
        // The text straddles the edge: some of it on each side.
        QVERIFY(CountOf(image, textOverBar, left) > 10);
        QVERIFY(CountOf(image, textOverBack, right) > 10);
        QRect text = BoxOf(image, textOverBar, left) | BoxOf(image, textOverBack, right);
        QVERIFY2(qAbs(text.center().x() - 102) <= 2,
                 qPrintable(QString::number(text.center().x())));
        QVERIFY(qAbs(text.center().y() - 12) <= 2);
        // The frame: shadow outside, face inside, around the whole control.
        QCOMPARE(At(image, 0, 0), Palette(QPalette::Dark));
        QCOMPARE(At(image, W - 1, H - 1), Palette(QPalette::Dark));
        QCOMPARE(At(image, 1, 1), back);
        QCOMPARE(At(image, W - 2, 12), back);
    }

    void percentIsRounded_data()
    {
        QTest::addColumn<int>("nMax");
        QTest::addColumn<int>("nPos");
        QTest::addColumn<QString>("strShown");
        QTest::newRow("33 of 0-99") << 99 << 33 << "33%";
        QTest::newRow("2 of 0-3") << 3 << 2 << "67%";
        QTest::newRow("1 of 0-200") << 200 << 1 << "1%";
    }
    void percentIsRounded()
    {
        QFETCH(int, nMax);
        QFETCH(int, nPos);
        QFETCH(QString, strShown);
        CTextProgressCtrl percent;
        percent.SetFont(SharpFont(14), false);
        percent.SetRange32(0, nMax);
        percent.SetPos(nPos);
        CTextProgressCtrl written;
        written.SetFont(SharpFont(14), false);
        written.SetRange32(0, nMax);
        written.SetPos(nPos);
        written.SetShowPercent(false);
        written.SetWindowText(strShown);
        QCOMPARE(Render(percent), Render(written));
        written.SetWindowText(strShown + QLatin1Char(' '));
        QVERIFY(Render(percent) != Render(written));
    }

    void colourSettersShowFromNextPaint()
    {
        CTextProgressCtrl bar;
        bar.resize(W, H);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.SetPos(100);
        QCOMPARE(bar.SetBarColor(0x0000FF), CLR_SYSTEM_SENTINEL);
        QCOMPARE(At(Render(bar), 10, 10), QColor(255, 0, 0));
        QCOMPARE(At(bar.grab().toImage(), 10, 10), QColor(255, 0, 0));
        bar.SetBarColor(0x00FF00);
        bar.repaint();
        QCOMPARE(At(bar.grab().toImage(), 10, 10), QColor(0, 255, 0));
    }

    void emptyRangeDrawsNothing()
    {
        CTextProgressCtrl bar;
        bar.SetRange32(10, 10);
        const QImage image = Render(bar);
        QCOMPARE(image, Canvas(W, H));
    }

    void verticalFillsFromBottom()
    {
        CTextProgressCtrl bar;
        bar.SetFont(SharpFont(14), false);
        bar.SetVertical(true);
        bar.SetBarColor(0x0000FF);
        bar.SetBkColor(0xFF0000);
        bar.SetTextColor(0xFFFFFF);
        bar.SetTextBkColor(0x000000);
        bar.SetPos(25);
        // 20 x 200 inside the frame.
        const QImage image = Render(bar, 24, 204);
        QCOMPARE(At(image, 12, 200), QColor(255, 0, 0));
        QCOMPARE(At(image, 3, 153), QColor(255, 0, 0));
        QCOMPARE(At(image, 3, 151), QColor(0, 0, 255));
        QCOMPARE(At(image, 12, 5), QColor(0, 0, 255));
        // The text runs upwards: its box is taller than wide and centred.
        const QRect text = BoxOf(image, QColor(0, 0, 0), QRect(2, 2, 20, 200)) |
                           BoxOf(image, QColor(255, 255, 255), QRect(2, 2, 20, 200));
        QVERIFY(text.height() > text.width());
        QVERIFY2(qAbs(text.center().y() - 102) <= 3,
                 qPrintable(QString::number(text.center().y())));
        QVERIFY2(qAbs(text.center().x() - 12) <= 3, qPrintable(QString::number(text.center().x())));
    }

    void textAlignment_data()
    {
        QTest::addColumn<int>("nAlign");
        QTest::addColumn<int>("nLeftMin");
        QTest::addColumn<int>("nLeftMax");
        QTest::newRow("start") << 0 << 4 << 6;
        QTest::newRow("end") << 2 << 150 << 200;
    }
    void textAlignment()
    {
        QFETCH(int, nAlign);
        QFETCH(int, nLeftMin);
        QFETCH(int, nLeftMax);
        CTextProgressCtrl bar;
        bar.SetFont(SharpFont(14), false);
        bar.SetTextAlign(nAlign);
        bar.SetTextBkColor(0x000000);
        bar.SetBkColor(0xFFFFFF);
        const QImage image = Render(bar);
        const QRect text = BoxOf(image, QColor(0, 0, 0), g_inside);
        QVERIFY2(text.left() >= nLeftMin && text.left() <= nLeftMax,
                 qPrintable(QString::number(text.left())));
        if (nAlign == 2)
            QVERIFY(text.right() <= 199);
    }

    void marqueeBlockAndBounce()
    {
        CTextProgressCtrl bar;
        bar.SetBarColor(0x0000FF);
        bar.SetBkColor(0xFFFFFF);
        QCOMPARE(bar.SetMarquee(true, 100000), true);
        bar.SetPos(50);
        QImage image = Render(bar);
        // Block of 40 pixels ending at the position; no text any more.
        QVERIFY(OnlyColours(image, QRect(2, 2, 60, 20), {QColor(255, 255, 255)}));
        QVERIFY(OnlyColours(image, QRect(62, 2, 40, 20), {QColor(255, 0, 0)}));
        QVERIFY(OnlyColours(image, QRect(102, 2, 100, 20), {QColor(255, 255, 255)}));
        bar.SetPos(10);
        image = Render(bar);
        QVERIFY(OnlyColours(image, QRect(2, 2, 20, 20), {QColor(255, 0, 0)}));

        // Walk to the top, turn, walk down to the minimum, turn again.
        bar.SetPos(0);
        while (CTextProgressCtrl::GetMarqueeDirection() != 1)
            bar.OnTimer(1);
        bar.SetPos(0);
        int nHighest = 0;
        for (int i = 0; i < 120; ++i)
        {
            bar.OnTimer(1);
            nHighest = qMax(nHighest, bar.GetPos());
        }
        QCOMPARE(bar.GetPos(), 120);
        bar.OnTimer(1);
        QCOMPARE(bar.GetPos(), 119);
        QCOMPARE(CTextProgressCtrl::GetMarqueeDirection(), -1);
        for (int i = 0; i < 119; ++i)
            bar.OnTimer(1);
        QCOMPARE(bar.GetPos(), 0);
        bar.OnTimer(1);
        QCOMPARE(bar.GetPos(), 1);
        bar.OnTimer(2);
        QCOMPARE(bar.GetPos(), 1);

        // The direction is shared: a second bar continues where this one turned.
        CTextProgressCtrl other;
        other.SetMarquee(true, 100000);
        other.SetPos(120);
        other.OnTimer(1);
        QCOMPARE(CTextProgressCtrl::GetMarqueeDirection(), -1);
        bar.OnTimer(1);
        QCOMPARE(bar.GetPos(), 0);

        // Off again: the limit is the maximum, and the percentage stays hidden.
        bar.SetMarquee(false, 0);
        QCOMPARE(bar.SetPos(150), 0);
        QCOMPARE(bar.GetPos(), 100);
        bar.SetPos(50);
        image = Render(bar);
        QVERIFY(OnlyColours(image, QRect(2, 2, 100, 20), {QColor(255, 0, 0)}));
        QVERIFY(OnlyColours(image, QRect(102, 2, 100, 20), {QColor(255, 255, 255)}));
    }

    void paintsWithoutErasing()
    {
        // The widget shows the rendered image as it is; nothing shows through.
        QWidget parent;
        parent.setStyleSheet(QStringLiteral("background: rgb(9, 8, 7)"));
        CTextProgressCtrl bar(&parent);
        bar.resize(W, H);
        bar.SetFont(SharpFont(14), false);
        bar.SetPos(30);
        parent.resize(300, 100);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QImage shown = bar.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(shown, Render(bar));
    }
};

QTEST_MAIN(CTextProgressCtrlTest)
#include "tst_textprogressctrl.moc"
