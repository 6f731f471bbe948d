#include "pixeltools.h"
#include "widgets/buttonst.h"
#include "widgets/syscolor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace pixeltools;

namespace
{
constexpr int W = 90;
constexpr int H = 26;

QIcon RedIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(255, 0, 0));
    return QIcon(pixmap);
}

struct SButton
{
    QWidget window;
    CButtonST* pButton = nullptr;
    SButton()
    {
        pButton = new CButtonST(&window);
        pButton->setText(QStringLiteral("Speak"));
        pButton->setFont(SharpFont(12));
        pButton->setGeometry(5, 5, W, H);
        pButton->SetButtonIcons(RedIcon());
        pButton->SetFlatLook(true, true);
        pButton->SetStateColour(CButtonST::BTNST_COLOR_BK_IN, 0xFF0000, true);
        window.resize(200, 100);
    }
    QImage Render() const
    {
        QImage image = Canvas(W, H);
        pButton->Render(image);
        return image;
    }
    void Move(const QPoint& point, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, point, pButton->mapToGlobal(point), Qt::NoButton,
                         buttons, Qt::NoModifier);
        QApplication::sendEvent(pButton, &move);
    }
};

QColor Sys(int nIndex)
{
    return ColorFromRef(GetSysColor(nIndex));
}
} // namespace

class CButtonSTTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void normalFaceIsFlat()
    {
        SButton b;
        const QImage image = b.Render();
        const QColor face = Sys(COLOR_BTNFACE);
        QCOMPARE(At(image, 0, 0), face);
        QCOMPARE(At(image, W - 1, H - 1), face);
        // The icon sits at the horizontal margin, centred vertically.
        QCOMPARE(BoxOf(image, QColor(255, 0, 0), image.rect()), QRect(3, (H - 16) / 2, 16, 16));
        // The caption right of it, in the button text colour.
        const QRect caption = BoxOf(image, Sys(COLOR_BTNTEXT), image.rect());
        QVERIFY(caption.left() > 3 + 16 + 3);
        QVERIFY(!b.pButton->IsMouseOver());
    }

    void hoverShowsColourAndRaisedEdge()
    {
        SButton b;
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        b.Move(QPoint(40, 10));
        QVERIFY(b.pButton->IsMouseOver());
        QImage image = b.Render();
        QCOMPARE(At(image, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(At(image, 40, 0), Sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(At(image, W - 1, H - 1), Sys(COLOR_BTNSHADOW));
        QCOMPARE(At(image, 40, H - 1), Sys(COLOR_BTNSHADOW));
        QCOMPARE(At(image, 1, 1), QColor(0, 0, 255));
        QCOMPARE(At(image, W - 2, H - 2), QColor(0, 0, 255));
        QCOMPARE(At(b.pButton->grab().toImage(), 1, 1), QColor(0, 0, 255));

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b.pButton, &leave);
        QVERIFY(!b.pButton->IsMouseOver());
        QCOMPARE(At(b.Render(), 1, 1), Sys(COLOR_BTNFACE));

        // Focus loss ends the hover as well.
        b.Move(QPoint(40, 10));
        QVERIFY(b.pButton->IsMouseOver());
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(b.pButton, &focusOut);
        QVERIFY(!b.pButton->IsMouseOver());
    }

    void pressedShiftsContentAndSinks()
    {
        SButton b;
        b.Move(QPoint(40, 10));
        const QImage hover = b.Render();
        b.pButton->setDown(true);
        const QImage pressed = b.Render();
        QCOMPARE(At(pressed, 0, 0), Sys(COLOR_BTNSHADOW));
        QCOMPARE(At(pressed, W - 1, H - 1), Sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(At(pressed, 1, 1), QColor(0, 0, 255));
        // Icon and caption one pixel right and down, everything else equal.
        const QRect inner(2, 2, W - 5, H - 5);
        QCOMPARE(pressed.copy(inner.translated(1, 1)), hover.copy(inner));
        QCOMPARE(BoxOf(pressed, QColor(255, 0, 0), pressed.rect()),
                 QRect(4, (H - 16) / 2 + 1, 16, 16));
        // Pressed without the mouse over it still shows the hover colour.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b.pButton, &leave);
        QCOMPARE(At(b.Render(), 1, 1), QColor(0, 0, 255));
    }

    void dragOntoButtonStartsNoHover()
    {
        SButton b;
        b.Move(QPoint(40, 10), Qt::LeftButton);
        QVERIFY(!b.pButton->IsMouseOver());
        QCOMPARE(At(b.Render(), 1, 1), Sys(COLOR_BTNFACE));
        b.Move(QPoint(40, 10));
        QVERIFY(b.pButton->IsMouseOver());
        // Once hovering, a drag inside keeps it; leaving the button ends it.
        b.Move(QPoint(41, 10), Qt::LeftButton);
        QVERIFY(b.pButton->IsMouseOver());
        b.Move(QPoint(W + 20, 10));
        QVERIFY(!b.pButton->IsMouseOver());
        // Without the flat look there is no hover at all.
        b.pButton->SetFlatLook(false, true);
        b.Move(QPoint(40, 10));
        QVERIFY(!b.pButton->IsMouseOver());
    }

    void disabledIsEmbossedAndGreyed()
    {
        SButton b;
        const QImage enabled = b.Render();
        b.Move(QPoint(40, 10));
        b.pButton->setEnabled(false);
        QVERIFY(!b.pButton->IsMouseOver());
        const QImage image = b.Render();
        QCOMPARE(CountOf(image, QColor(0, 0, 255), image.rect()), 0);
        QCOMPARE(CountOf(image, QColor(255, 0, 0), image.rect()), 0);
        QVERIFY(CountOf(enabled, QColor(255, 0, 0), enabled.rect()) == 256);
        // The icon's pixels are grey now.
        const QColor icon = At(image, 10, H / 2);
        QVERIFY2(qAbs(icon.red() - icon.green()) < 40, qPrintable(icon.name()));
        // Caption: shadow text with its highlight copy one pixel down-right.
        const QRect captionArea(22, 0, W - 22, H);
        const QRect shadow = BoxOf(image, Sys(COLOR_BTNSHADOW), captionArea.adjusted(0, 1, 0, -1));
        const QRect light = BoxOf(image, Sys(COLOR_BTNHIGHLIGHT), captionArea);
        QVERIFY(!shadow.isEmpty());
        QVERIFY(!light.isEmpty());
        QCOMPARE(light.bottomRight(), shadow.bottomRight() + QPoint(1, 1));
        QCOMPARE(CountOf(image, Sys(COLOR_BTNTEXT), captionArea), 0);
        b.Move(QPoint(40, 10));
        QCOMPARE(CountOf(b.Render(), QColor(0, 0, 255), image.rect()), 0);
    }

    void stateColourIndex_data()
    {
        QTest::addColumn<int>("nIndex");
        QTest::addColumn<int>("nResult");
        QTest::newRow("hover background") << 0 << 0;
        QTest::newRow("focus text") << 5 << 0;
        QTest::newRow("index 6") << 6 << 3;
        QTest::newRow("index 99") << 99 << 3;
    }
    void stateColourIndex()
    {
        QFETCH(int, nIndex);
        QFETCH(int, nResult);
        CButtonST button;
        COLORREF before[6];
        for (int i = 0; i < 6; ++i)
            before[i] = button.GetStateColour(i);
        QCOMPARE(button.SetStateColour(nIndex, 0x123456, false), nResult);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(button.GetStateColour(i), i == nIndex ? COLORREF(0x123456) : before[i]);
    }

    void systemColourChangeResetsColours()
    {
        SButton b;
        QCOMPARE(b.pButton->GetStateColour(CButtonST::BTNST_COLOR_BK_IN), COLORREF(0xFF0000));
        const QPalette saved = QGuiApplication::palette();
        QPalette changed = saved;
        changed.setColor(QPalette::Button, QColor(200, 10, 20));
        changed.setColor(QPalette::ButtonText, QColor(1, 2, 3));
        QApplication::setPalette(changed);
        QTRY_COMPARE(b.pButton->GetStateColour(CButtonST::BTNST_COLOR_BK_IN), COLORREF(0x140AC8));
        QCOMPARE(b.pButton->GetStateColour(CButtonST::BTNST_COLOR_BK_OUT), COLORREF(0x140AC8));
        QCOMPARE(b.pButton->GetStateColour(CButtonST::BTNST_COLOR_FG_FOCUS), COLORREF(0x030201));
        b.Move(QPoint(40, 10));
        QCOMPARE(At(b.Render(), 1, 1), QColor(200, 10, 20));
        // A hover colour set again after the change stays.
        b.pButton->SetStateColour(CButtonST::BTNST_COLOR_BK_IN, 0xFF0000, true);
        QCoreApplication::processEvents();
        QCOMPARE(b.pButton->GetStateColour(CButtonST::BTNST_COLOR_BK_IN), COLORREF(0xFF0000));
        QApplication::setPalette(saved);
        QCoreApplication::processEvents();
    }

    // The access key is underlined, not drawn, takes no room, and presses
    // the button.
    void mnemonicShownAndHonoured()
    {
        SButton b;
        const QSize plainSize = b.pButton->minimumSizeHint();
        const QImage plain = b.Render();
        b.pButton->setText(QStringLiteral("&Speak"));
        QCOMPARE(b.pButton->minimumSizeHint(), plainSize);
        const QImage marked = b.Render();
        QRect underline;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (plain.pixel(x, y) != marked.pixel(x, y))
                    underline |= QRect(x, y, 1, 1);
        QVERIFY(!underline.isEmpty());
        QVERIFY(underline.height() <= 2);
        QVERIFY(underline.width() <= b.pButton->fontMetrics().horizontalAdvance('S') + 2);

        b.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&b.window));
        QSignalSpy clicked(b.pButton, &QAbstractButton::clicked);
        QTest::keyClick(&b.window, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(clicked.count(), 1);
    }

    void captionWholeAtMinimumSize_data()
    {
        QTest::addColumn<int>("nAlign");
        QTest::addColumn<bool>("bIcon");
        QTest::newRow("icon left") << int(CButtonST::ST_ALIGN_HORIZ) << true;
        QTest::newRow("icon above") << int(CButtonST::ST_ALIGN_VERT) << true;
        QTest::newRow("icon right") << int(CButtonST::ST_ALIGN_HORIZ_RIGHT) << true;
        QTest::newRow("no icon") << int(CButtonST::ST_ALIGN_HORIZ) << false;
    }
    // At its minimum size the caption is drawn as it is with room to spare:
    // on one line, whole, clear of the icon.
    void captionWholeAtMinimumSize()
    {
        QFETCH(int, nAlign);
        QFETCH(bool, bIcon);
        SButton b;
        b.pButton->setText(QStringLiteral("Guardar como audio"));
        b.pButton->SetAlign(nAlign, false);
        if (!bIcon)
            b.pButton->SetButtonIcons(QIcon());
        auto render = [&](const QSize& size)
        {
            QImage image = Canvas(size.width(), size.height());
            b.pButton->Render(image);
            return image;
        };
        const QImage roomy = render(QSize(400, 80));
        const QImage least = render(b.pButton->minimumSizeHint());
        const QRect roomyText = BoxOf(roomy, Sys(COLOR_BTNTEXT), roomy.rect());
        const QRect leastText = BoxOf(least, Sys(COLOR_BTNTEXT), least.rect());
        QCOMPARE(leastText.size(), roomyText.size());
        QVERIFY(least.rect().adjusted(1, 1, -1, -1).contains(leastText));
        const QRect icon = BoxOf(least, QColor(255, 0, 0), least.rect());
        QCOMPARE(icon.isEmpty(), !bIcon);
        QVERIFY(!icon.intersects(leastText));
    }

    void noFocusRectangleWhenFlat()
    {
        SButton b;
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        b.pButton->setFocus();
        QVERIFY(b.pButton->hasFocus());
        const QImage flat = b.Render();
        b.pButton->SetDrawFlatFocus(true, true);
        QVERIFY(b.Render() != flat);
    }
};

QTEST_MAIN(CButtonSTTest)
#include "tst_buttonst.moc"
