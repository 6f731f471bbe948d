#include "pixeltools.h"
#include "tests/support/dialoghooks.h"
#include "widgets/colorbutton.h"
#include "widgets/colourpopup.h"
#include "widgets/syscolor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace pixeltools;

namespace
{
constexpr COLORREF RED = RGB(255, 0, 0);  // grid cell 16
constexpr COLORREF BLUE = RGB(0, 0, 255); // grid cell 13
constexpr COLORREF ODD = RGB(18, 52, 86); // in no cell
constexpr int OUTSIDE = -100;
constexpr int MARGIN_POINT = -101;

QColor Sys(int nIndex)
{
    return ColorFromRef(GetSysColor(nIndex));
}

// A colour button in a shown window, with every notification written to a
// log in the order it came.
struct SPicker
{
    QWidget window;
    CColorButton* pButton = nullptr;
    QStringList log;
    KbTest::CDialogHooks hooks;

    SPicker()
    {
        pButton = new CColorButton(&window);
        pButton->setObjectName(QStringLiteral("1080"));
        pButton->setGeometry(10, 10, 80, 26);
        window.resize(300, 300);
        auto record = [this](const char* pszName)
        {
            return [this, pszName](COLORREF cr, int nId)
            {
                log.append(QStringLiteral("%1 %2 %3")
                               .arg(QLatin1String(pszName))
                               .arg(cr, 6, 16, QLatin1Char('0'))
                               .arg(nId));
            };
        };
        QObject::connect(pButton, &CColorButton::PickerOpened, record("opened"));
        QObject::connect(pButton, &CColorButton::PickerHover, record("hover"));
        QObject::connect(pButton, &CColorButton::PickerClosed, record("closed"));
        QObject::connect(pButton, &CColorButton::PickerChosen, record("chosen"));
        QObject::connect(pButton, &CColorButton::PickerCancelled, record("cancelled"));
        hooks.Install();
    }
    ~SPicker() { hooks.Remove(); }
    bool Show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    CColourPopup* Open()
    {
        pButton->click();
        return pButton->GetPopup();
    }
    CColourPopup* Popup() const { return pButton->GetPopup(); }
    QPoint PointOf(int nBox) const
    {
        if (nBox == OUTSIDE)
            return QPoint(-5, Popup()->height() + 5);
        if (nBox == MARGIN_POINT)
            return QPoint(1, 1);
        return Popup()->GetBoxRect(nBox).center();
    }
    void Mouse(QEvent::Type type, const QPoint& point)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, Popup()->mapToGlobal(point), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton
                                                             : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QApplication::sendEvent(Popup(), &event);
    }
    void MoveAndRelease(int nBox)
    {
        Mouse(QEvent::MouseMove, PointOf(nBox));
        Mouse(QEvent::MouseButtonRelease, PointOf(nBox));
    }
    QImage RenderButton() const
    {
        QImage image = Canvas(pButton->width(), pButton->height());
        pButton->Render(image);
        return image;
    }
};

QString Note(const char* pszName, COLORREF cr)
{
    return QStringLiteral("%1 %2 1080")
        .arg(QLatin1String(pszName))
        .arg(cr, 6, 16, QLatin1Char('0'));
}
} // namespace

class CColorButtonTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gridCells_data()
    {
        QTest::addColumn<int>("nIndex");
        QTest::addColumn<QString>("strName");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("first") << 0 << "Black" << QColor(0, 0, 0);
        QTest::newRow("end of row 1") << 7 << "Dark grey" << QColor(40, 40, 40);
        QTest::newRow("start of row 2") << 8 << "Dark red" << QColor(139, 0, 0);
        QTest::newRow("name ending in a blank") << 35 << "Pale green " << QColor(152, 251, 152);
        QTest::newRow("last") << 39 << "White" << QColor(255, 255, 255);
    }
    void gridCells()
    {
        QFETCH(int, nIndex);
        QFETCH(QString, strName);
        QFETCH(QColor, colour);
        SPicker picker;
        QVERIFY(picker.Show());
        CColourPopup* pPopup = picker.Open();
        QCOMPARE(CColourPopup::GetColourCount(), 40);
        QCOMPARE(CColourPopup::GetRowCount(), 5);
        QCOMPARE(CColourPopup::GetColourName(nIndex), strName);
        QCOMPARE(ColorFromRef(CColourPopup::GetColour(nIndex)), colour);
        const QRect first = pPopup->GetBoxRect(0);
        const QRect cell = pPopup->GetBoxRect(nIndex);
        QCOMPARE(cell.topLeft(),
                 first.topLeft() + QPoint(nIndex % 8 * first.width(), nIndex / 8 * first.height()));
        QCOMPARE(pPopup->HitTest(cell.center()), nIndex);
        // The fallback box above the grid, the custom box below it.
        QVERIFY(pPopup->GetBoxRect(CColourPopup::BOX_FALLBACK).bottom() < first.top());
        QVERIFY(pPopup->GetBoxRect(CColourPopup::BOX_CUSTOM).top() >
                pPopup->GetBoxRect(39).bottom());
        // The offscreen platform puts every window, popups too, inside the
        // same frame.
        const QPoint frame =
            picker.window.geometry().topLeft() - picker.window.frameGeometry().topLeft();
        QCOMPARE(pPopup->geometry().topLeft() - frame,
                 picker.pButton->mapToGlobal(QPoint(0, picker.pButton->height())));
    }

    void buttonPixels_data()
    {
        QTest::addColumn<bool>("bBuiltIn");
        QTest::addColumn<COLORREF>("crColour");
        QTest::addColumn<COLORREF>("crFallback");
        QTest::addColumn<COLORREF>("crShown");
        const COLORREF crWorkspace = GetSysColor(COLOR_APPWORKSPACE);
        QTest::newRow("built-in: default colour shows the workspace colour")
            << true << CLR_DEFAULT << crWorkspace << crWorkspace;
        QTest::newRow("own colour") << false << RED << BLUE << RED;
        QTest::newRow("default colour shows the fallback") << false << CLR_DEFAULT << BLUE << BLUE;
    }
    void buttonPixels()
    {
        QFETCH(bool, bBuiltIn);
        QFETCH(COLORREF, crColour);
        QFETCH(COLORREF, crFallback);
        QFETCH(COLORREF, crShown);
        SPicker picker;
        if (!bBuiltIn)
        {
            picker.pButton->SetColor(crColour);
            picker.pButton->SetFallbackColour(crFallback);
        }
        QCOMPARE(picker.pButton->GetColor(), crColour);
        QCOMPARE(picker.pButton->GetFallbackColour(), crFallback);
        const QImage image = picker.RenderButton();
        QCOMPARE(At(image, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(At(image, 79, 25), Sys(COLOR_3DDKSHADOW));
        // The swatch fills the left part; the arrow sits right of it.
        const QRect swatch = BoxOf(image, ColorFromRef(crShown), QRect(0, 0, 80, 26));
        QVERIFY2(swatch.width() > 40 && swatch.height() > 10, qPrintable(QDebug::toString(swatch)));
        QVERIFY(CountOf(image, Sys(COLOR_BTNTEXT),
                        QRect(swatch.right() + 1, 0, 79 - swatch.right(), 26)) >= 12);
        // Disabled: no colour, only the frame.
        picker.pButton->setEnabled(false);
        QCOMPARE(CountOf(picker.RenderButton(), ColorFromRef(crShown), swatch), 0);
    }

    void popupPixels()
    {
        SPicker picker;
        QVERIFY(picker.Show());
        picker.pButton->SetColor(RED);
        picker.pButton->SetFallbackColour(ODD);
        picker.Popup()->setFont(SharpFont(12));
        CColourPopup* pPopup = picker.Open();
        QImage image = Canvas(pPopup->width(), pPopup->height());
        pPopup->Render(image);
        for (int i = 0; i < 40; ++i)
            QCOMPARE(
                At(image, pPopup->GetBoxRect(i).center().x(), pPopup->GetBoxRect(i).center().y()),
                ColorFromRef(CColourPopup::GetColour(i)));
        // The current colour is selected at opening; other cells are plain.
        QCOMPARE(At(image, pPopup->GetBoxRect(16).left(), pPopup->GetBoxRect(16).top()),
                 Sys(COLOR_HIGHLIGHT));
        QCOMPARE(At(image, pPopup->GetBoxRect(17).left(), pPopup->GetBoxRect(17).top()),
                 Sys(COLOR_BTNFACE));
        // The fallback box shows its colour and its text.
        const QRect fallback = pPopup->GetBoxRect(CColourPopup::BOX_FALLBACK);
        QVERIFY(CountOf(image, ColorFromRef(ODD), fallback) > 0);
        QVERIFY(CountOf(image, Sys(COLOR_BTNTEXT), fallback) > 10);
        QVERIFY(CountOf(image, Sys(COLOR_BTNTEXT), pPopup->GetBoxRect(CColourPopup::BOX_CUSTOM)) >
                10);

        // Moving on: the new cell is highlighted, the current one sunken.
        QTest::keyClick(pPopup, Qt::Key_Right);
        pPopup->Render(image);
        QCOMPARE(At(image, pPopup->GetBoxRect(17).left(), pPopup->GetBoxRect(17).top()),
                 Sys(COLOR_HIGHLIGHT));
        QCOMPARE(At(image, pPopup->GetBoxRect(16).left(), pPopup->GetBoxRect(16).top()),
                 Sys(COLOR_BTNSHADOW));
        QCOMPARE(At(image, pPopup->GetBoxRect(16).right(), pPopup->GetBoxRect(16).bottom()),
                 Sys(COLOR_BTNHIGHLIGHT));
    }

    void mouseRelease_data()
    {
        QTest::addColumn<int>("nBox");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("bStillOpen");
        QTest::newRow("on a cell")
            << 13
            << QStringList{Note("opened", RED), Note("hover", BLUE), Note("closed", BLUE),
                           Note("chosen", BLUE), Note("hover", BLUE)}
            << false;
        QTest::newRow("on the fallback box")
            << int(CColourPopup::BOX_FALLBACK)
            << QStringList{Note("opened", RED), Note("hover", ODD), Note("closed", ODD),
                           Note("chosen", ODD), Note("hover", ODD)}
            << false;
        QTest::newRow("outside") << OUTSIDE
                                 << QStringList{Note("opened", RED), Note("hover", RED),
                                                Note("closed", RED), Note("cancelled", RED)}
                                 << false;
        QTest::newRow("inside between boxes")
            << MARGIN_POINT << QStringList{Note("opened", RED), Note("hover", RED)} << true;
    }
    void mouseRelease()
    {
        QFETCH(int, nBox);
        QFETCH(QStringList, expected);
        QFETCH(bool, bStillOpen);
        SPicker picker;
        QVERIFY(picker.Show());
        picker.pButton->SetColor(RED);
        picker.pButton->SetFallbackColour(ODD);
        picker.Open();
        QVERIFY(picker.Popup()->isVisible());
        picker.MoveAndRelease(nBox);
        QCOMPARE(picker.log, expected);
        QCOMPARE(picker.pButton->IsPopupActive(), bStillOpen);
        QCOMPARE(picker.Popup()->isVisible(), bStillOpen);
        const QString strLast = expected.last();
        if (!bStillOpen)
            QCOMPARE(picker.pButton->GetColor(), strLast.section(' ', 1, 1).toUInt(nullptr, 16));
    }

    void customBox_data()
    {
        QTest::addColumn<COLORREF>("crButton");
        QTest::addColumn<std::optional<COLORREF>>("answer");
        QTest::addColumn<COLORREF>("crDialogStart");
        QTest::addColumn<QStringList>("ending");
        QTest::newRow("OK") << RED << std::optional<COLORREF>(ODD) << RED
                            << QStringList{Note("closed", ODD), Note("chosen", ODD),
                                           Note("hover", ODD)};
        QTest::newRow("Cancel") << RED << std::optional<COLORREF>() << RED
                                << QStringList{Note("closed", RED), Note("cancelled", RED)};
        QTest::newRow("default colour starts at the fallback")
            << CLR_DEFAULT << std::optional<COLORREF>(ODD) << BLUE
            << QStringList{Note("closed", ODD), Note("chosen", ODD), Note("hover", ODD)};
    }
    void customBox()
    {
        QFETCH(COLORREF, crButton);
        QFETCH(std::optional<COLORREF>, answer);
        QFETCH(COLORREF, crDialogStart);
        QFETCH(QStringList, ending);
        SPicker picker;
        QVERIFY(picker.Show());
        picker.pButton->SetColor(crButton);
        picker.pButton->SetFallbackColour(BLUE);
        picker.pButton->SetCustomBoxText(QStringLiteral("Other..."));
        picker.hooks.m_colourAnswers.push_back(answer);
        picker.Open();
        bool bHiddenWhileAsked = false;
        picker.hooks.m_fnWhileOpen = [&]() { bHiddenWhileAsked = !picker.Popup()->isVisible(); };
        picker.MoveAndRelease(CColourPopup::BOX_CUSTOM);
        QCOMPARE(picker.Popup()->accessibleName(), QStringLiteral("Other..."));
        QCOMPARE(picker.hooks.m_colourRequests, std::vector<COLORREF>{crDialogStart});
        QVERIFY(bHiddenWhileAsked);
        QCOMPARE(picker.log.mid(picker.log.size() - ending.size()), ending);
        QCOMPARE(picker.pButton->GetColor(), answer ? *answer : crButton);
    }

    void hoverPreview_data()
    {
        QTest::addColumn<bool>("bPreview");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void hoverPreview()
    {
        QFETCH(bool, bPreview);
        SPicker picker;
        QVERIFY(picker.Show());
        picker.pButton->SetColor(RED);
        picker.pButton->SetHoverPreview(bPreview);
        picker.Open();
        QVERIFY(picker.pButton->IsPopupActive());
        // Open: the button is drawn pressed.
        QCOMPARE(At(picker.RenderButton(), 0, 0), Sys(COLOR_3DDKSHADOW));
        picker.Mouse(QEvent::MouseMove, picker.PointOf(13));
        picker.Mouse(QEvent::MouseMove, picker.PointOf(13));
        const COLORREF crShown = bPreview ? BLUE : RED;
        QCOMPARE(picker.pButton->GetColor(), crShown);
        QVERIFY(CountOf(picker.RenderButton(), ColorFromRef(crShown), QRect(0, 0, 80, 26)) > 400);
        QTest::keyClick(picker.Popup(), Qt::Key_Escape);
        QCOMPARE(picker.pButton->GetColor(), RED);
        QCOMPARE(picker.log, (QStringList{Note("opened", RED), Note("hover", BLUE),
                                          Note("closed", RED), Note("cancelled", RED)}));
        QCOMPARE(At(picker.RenderButton(), 0, 0), Sys(COLOR_BTNHIGHLIGHT));
    }

    void keyboard_data()
    {
        QTest::addColumn<COLORREF>("crStart");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("nSelected");
        QTest::addColumn<QStringList>("ending");
        QTest::newRow("right, down, enter")
            << RED << QList<int>{Qt::Key_Right, Qt::Key_Down, Qt::Key_Return} << 25
            << QStringList{Note("chosen", RGB(255, 215, 0)), Note("hover", RGB(255, 215, 0))};
        QTest::newRow("up from the top row reaches the fallback")
            << RGB(0, 0, 0) << QList<int>{Qt::Key_Up, Qt::Key_Enter}
            << int(CColourPopup::BOX_FALLBACK)
            << QStringList{Note("chosen", BLUE), Note("hover", BLUE)};
        QTest::newRow("left from the first cell reaches the fallback")
            << RGB(0, 0, 0) << QList<int>{Qt::Key_Left} << int(CColourPopup::BOX_FALLBACK)
            << QStringList{Note("hover", BLUE)};
        QTest::newRow("down from the last row reaches the custom box")
            << RGB(255, 255, 255) << QList<int>{Qt::Key_Down} << int(CColourPopup::BOX_CUSTOM)
            << QStringList{Note("hover", RGB(255, 255, 255))};
        QTest::newRow("up from the custom box")
            << ODD << QList<int>{Qt::Key_Up, Qt::Key_Up} << 24
            << QStringList{Note("hover", RGB(255, 228, 225)), Note("hover", RGB(255, 192, 203))};
        QTest::newRow("escape") << RED << QList<int>{Qt::Key_Right, Qt::Key_Escape} << 17
                                << QStringList{Note("closed", RED), Note("cancelled", RED)};
    }
    void keyboard()
    {
        QFETCH(COLORREF, crStart);
        QFETCH(QList<int>, keys);
        QFETCH(int, nSelected);
        QFETCH(QStringList, ending);
        SPicker picker;
        QVERIFY(picker.Show());
        picker.pButton->SetColor(crStart);
        picker.pButton->SetFallbackColour(BLUE);
        picker.pButton->setFocus();
        QTest::keyClick(picker.pButton, Qt::Key_Space);
        QVERIFY(picker.pButton->IsPopupActive());
        for (int nKey : keys)
            QTest::keyClick(picker.Popup(), Qt::Key(nKey));
        QCOMPARE(picker.Popup()->GetSelection(), nSelected);
        QCOMPARE(picker.log.mid(picker.log.size() - ending.size()), ending);
        if (nSelected >= 0)
            QCOMPARE(picker.Popup()->accessibleName(), CColourPopup::GetColourName(nSelected));
        // F4 opens it again once it has closed.
        if (!picker.pButton->IsPopupActive())
        {
            QTest::keyClick(picker.pButton, Qt::Key_F4);
            QVERIFY(picker.pButton->IsPopupActive());
        }
    }
};

QTEST_MAIN(CColorButtonTest)
#include "tst_colorbutton.moc"
