#include "pixeltools.h"
#include "widgets/bitmaphandles.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/syscolor.h"
#include "widgets/urlopener.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTest>

using namespace pixeltools;
using SItem = CPPHtmlDrawer::SItem;

namespace
{
QImage Render(CPPHtmlStatic& html, int nWidth = 300, int nHeight = 40)
{
    QImage image = Canvas(nWidth, nHeight);
    html.Render(image);
    return image;
}

QVector<const SItem*> TextItems(const CPPHtmlDrawer& drawer)
{
    QVector<const SItem*> items;
    for (const SItem& item : drawer.GetItems())
        if (item.type == SItem::TEXT)
            items << &item;
    return items;
}

// Three 16 x 16 frames: red, green, blue; each with a magenta top-left pixel.
quint32 RegisterStrip()
{
    QImage strip(48, 16, QImage::Format_RGB32);
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int n = 0; n < 3; ++n)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                strip.setPixelColor(n * 16 + x, y, colours[n]);
    for (int n = 0; n < 3; ++n)
        strip.setPixelColor(n * 16, 0, QColor(255, 0, 255));
    return CBitmapHandles::Register(strip);
}
} // namespace

class CPPHtmlStaticTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statusTextIsGreenFourteenPixels()
    {
        CPPHtmlStatic html;
        html.SetWindowText(QStringLiteral("<font color=green size=14>Extracting text...</font>"));
        const auto items = TextItems(html.GetDrawer());
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->strText, QStringLiteral("Extracting text..."));
        QCOMPARE(items[0]->style.color, QColor(0, 0x80, 0));
        QCOMPARE(qRound(QFontMetricsF(items[0]->font).height()), 14);

        const QImage image = Render(html);
        const QColor back = Palette(QPalette::Window);
        const QRect ink = BoxNot(image, back, image.rect());
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.bottom() < 14, qPrintable(QString::number(ink.bottom())));
        QVERIFY(CountOf(image, QColor(0, 0x80, 0), ink) > 0);
        // Every other ink pixel is green smoothed into the background.
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
            {
                const QColor pixel = At(image, x, y);
                QVERIFY(qAbs(pixel.red() - pixel.blue()) <= 2);
                QVERIFY(pixel.green() + 2 >= pixel.red());
            }
    }

    void fontSizes_data()
    {
        QTest::addColumn<QString>("strMarkup");
        QTest::addColumn<int>("nHeight");
        QTest::newRow("size 1") << "<font size=1>x</font>" << 8;
        QTest::newRow("size 3") << "<font size=3>x</font>" << 12;
        QTest::newRow("size 7") << "<font size=7>x</font>" << 36;
        QTest::newRow("size 8 is pixels") << "<font size=8>x</font>" << 8;
        QTest::newRow("size 20px") << "<font size=20px>x</font>" << 20;
        QTest::newRow("css pixels") << "<span style=\"font-size: 17px\">x</span>" << 17;
        QTest::newRow("percentage of 20") << "<font size=20><big>x</big></font>" << 25;
        QTest::newRow("sign ignored") << "<font size=+3>x</font>" << 12;
    }
    void fontSizes()
    {
        QFETCH(QString, strMarkup);
        QFETCH(int, nHeight);
        CPPHtmlStatic html;
        html.SetWindowText(strMarkup);
        const auto items = TextItems(html.GetDrawer());
        QCOMPARE(items.size(), 1);
        // The nearest whole pixel size: within 0.6 of the cell height.
        const qreal dHeight = QFontMetricsF(items[0]->font).height();
        QVERIFY2(qAbs(dHeight - nHeight) < 0.6, qPrintable(QString::number(dHeight)));
    }

    void colours_data()
    {
        QTest::addColumn<QString>("strColour");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("hash") << "#ff9900" << QColor(255, 0x99, 0);
        QTest::newRow("hex number, red lowest") << "0x0099ff" << QColor(255, 0x99, 0);
        QTest::newRow("decimal number") << "39423" << QColor(255, 0x99, 0);
        QTest::newRow("octal number") << "0114777" << QColor(255, 0x99, 0);
        QTest::newRow("tan") << "tan" << QColor(210, 180, 140);
        QTest::newRow("teal") << "Teal" << QColor(0, 128, 128);
        QTest::newRow("lightgrey") << "lightgrey" << QColor(211, 211, 211);
        QTest::newRow("lightgray is unknown") << "lightgray" << QColor(1, 1, 1);
        QTest::newRow("darkgrey is unknown") << "darkgrey" << QColor(1, 1, 1);
        QTest::newRow("short hash keeps colour") << "#ff99" << QColor(1, 1, 1);
        QTest::newRow("system button face") << "buttonface" << Palette(QPalette::Button);
        QTest::newRow("system window text") << "windowtext" << Palette(QPalette::WindowText);
    }
    void colours()
    {
        QFETCH(QString, strColour);
        QFETCH(QColor, expected);
        QColor colour(1, 1, 1);
        CPPHtmlDrawer::ParseColor(strColour, colour);
        QCOMPARE(colour.rgb(), expected.rgb());
        QCOMPARE(CPPHtmlDrawer::ColorNameCount(), 140);
    }

    void hashAndNumberDrawAlike()
    {
        CPPHtmlStatic hash;
        hash.SetWindowText(QStringLiteral("<font color=#ff9900 size=20>Orange</font>"));
        CPPHtmlStatic number;
        number.SetWindowText(QStringLiteral("<font color=0x0099FF size=20>Orange</font>"));
        const QImage image = Render(hash);
        QCOMPARE(image, Render(number));
        QVERIFY(CountOf(image, QColor(255, 0x99, 0), image.rect()) > 0);
    }

    void entitiesAndLiteralTags_data()
    {
        QTest::addColumn<QString>("strMarkup");
        QTest::addColumn<QString>("strShown");
        QTest::newRow("escaped tag") << "&lt;b&gt;x&lt;/b&gt;"
                                     << "<b>x</b>";
        QTest::newRow("double less-than") << "a<<b"
                                          << "a<b";
        QTest::newRow("final less-than") << "a<"
                                         << "a<";
        QTest::newRow("trade mark") << "K&trade;" << QString::fromUtf8("K\u2122");
        QTest::newRow("named signs")
            << "&bull;&copy;&euro;&iquest;&para;&pound;&reg;&quot;&amp;"
            << QString::fromUtf8("\u2022\u00A9\u20AC\u00BF\u00B6\u00A3\u00AE\"&");
        QTest::newRow("nbsp") << "a&nbsp;b"
                              << "a b";
        QTest::newRow("unknown entity stays") << "&zork;"
                                              << "&zork;";
        QTest::newRow("break tag") << "one<br>two"
                                   << "one\ntwo";
        QTest::newRow("other tags ignored")
            << "<table border=1 bgeffect=metal><tr><td colspan=2>cell</td></tr></table>"
               "<hr><blink>x</blink><center><h2>y</h2></center><string idres=999999>"
            << "cell\nxy";
        QTest::newRow("whole vocabulary")
            << "<s>a</s><strike>b</strike><em>c</em><t><left>d</left><right>e</right>"
               "<justify>f</justify><baseline>g</baseline><top>h</top><vcenter>i</vcenter>"
               "<middle>j</middle><bottom>k</bottom><bmp idres=1><icon idres=2 width=5>"
               "<ilst handle=0x1 cx=3, cy=3><body>l</body><h1>m</h1><h3>n</h3><h6>o</h6>"
               "<code>p</code><pre>q</pre><big>r</big><small>s</small><sub>t</sub><sup>u</sup>"
               "<span class=cpp-comment>v</span><span style=\"text-transform:uppercase\">w</span>"
               "<font bkgnd=transparent weight=bold style=italic face=Arial>x</font>"
               "<font bkgnd=#ff0000 color=nonsense size=huge>y</font><a>z</a></i></b></zz>"
            << "abc\tdefghijklmnopqrstuvWxyz";
    }
    void entitiesAndLiteralTags()
    {
        QFETCH(QString, strMarkup);
        QFETCH(QString, strShown);
        CPPHtmlStatic html;
        html.SetWindowText(strMarkup);
        QCOMPARE(html.GetDrawer().GetPlainText(), strShown);
        for (const SItem* pItem : TextItems(html.GetDrawer()))
            QCOMPARE(pItem->style.nWeight, pItem->style.nWeight == 700 ? 700 : 400);
        QVERIFY(!Render(html).isNull());
    }

    void styleTags()
    {
        CPPHtmlStatic html;
        html.SetWindowText(QStringLiteral(
            "n<b>b</b><i>i</i><u>u</u><font face=\"DejaVu Serif\">f</font>&lt;b&gt;e"));
        const auto items = TextItems(html.GetDrawer());
        QCOMPARE(items.size(), 6);
        QCOMPARE(items[0]->font.weight(), QFont::Normal);
        QCOMPARE(items[1]->font.weight(), QFont::Bold);
        QVERIFY(items[2]->font.italic());
        QVERIFY(items[3]->font.underline());
        QCOMPARE(items[4]->font.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(items[5]->font.weight(), QFont::Normal);
        QCOMPARE(items[5]->strText, QStringLiteral("<b>e"));
        // The body style: 10 points of black.
        QCOMPARE(items[0]->style.color, QColor(0, 0, 0));
    }

    void disabledLookIsEmbossed()
    {
        CPPHtmlStatic html;
        html.SetWindowText(QStringLiteral("<font color=green size=14>Extracting text...</font>"));
        html.setEnabled(false);
        const QImage image = Render(html);
        const QColor shadow = ColorFromRef(GetSysColor(COLOR_BTNSHADOW));
        QVERIFY(CountOf(image, shadow, image.rect()) > 0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
            {
                const QColor pixel = At(image, x, y);
                QVERIFY(qAbs(pixel.green() - pixel.red()) <= 2);
            }
        // The highlight copy lies one pixel right and down of the shadow one.
        const int nBack = Palette(QPalette::Window).red();
        QRect dark, light;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
            {
                const int nRed = At(image, x, y).red();
                if (nRed < nBack - 40)
                    dark |= QRect(x, y, 1, 1);
                else if (nRed > nBack + 5)
                    light |= QRect(x, y, 1, 1);
            }
        QVERIFY(!dark.isEmpty() && !light.isEmpty());
        QVERIFY(qAbs(light.right() - dark.right() - 1) <= 1);
        QVERIFY(qAbs(light.bottom() - dark.bottom() - 1) <= 1);
        QVERIFY(light.left() >= dark.left());
    }

    void frameStripAnimates()
    {
        const quint32 nHandle = RegisterStrip();
        CPPHtmlStatic html;
        html.SetFrameStrip(nHandle, std::nullopt, 0xFF00FF);
        QCOMPARE(html.GetWindowText(),
                 QStringLiteral("<ilst index=0 handle=0x%1 mask=0xFF00FF speed=1>")
                     .arg(QString::number(nHandle, 16).toUpper()));
        QVERIFY(html.IsFrameStripMode());
        QImage image = Render(html, 40, 20);
        QCOMPARE(At(image, 5, 5), QColor(255, 0, 0));
        QCOMPARE(At(image, 0, 0), Palette(QPalette::Window)); // magenta is transparent
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(0, 255, 0));
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(255, 0, 0)); // wrapped
        html.OnTimer(1);
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(255, 0, 0));
        // A disabled control does not advance.
        html.setEnabled(false);
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        html.setEnabled(true);
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(255, 0, 0));

        html.SetFrameStrip(nHandle, QSize(16, 16), -1);
        QCOMPARE(html.GetWindowText(),
                 QStringLiteral("<ilst index=0 handle=0x%1 cx=16, cy=16 speed=1>")
                     .arg(QString::number(nHandle, 16).toUpper()));
        QCOMPARE(At(Render(html, 40, 20), 0, 0), QColor(255, 0, 255));

        // Speed 2: a frame lasts two ticks.
        html.SetWindowText(
            QStringLiteral("<ilst index=1 handle=0x%1 speed=2>").arg(QString::number(nHandle, 16)));
        QVERIFY(!html.IsFrameStripMode());
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(0, 255, 0));
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(0, 255, 0));
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(0, 0, 255));
        CBitmapHandles::Release(nHandle);
    }

    void frameIntervalRules()
    {
        const quint32 nHandle = RegisterStrip();
        CPPHtmlStatic html;
        html.SetFrameStrip(nHandle, std::nullopt, 0xFF00FF);
        html.SetFrameInterval(10000);
        QVERIFY(html.IsAnimating());
        QTest::qWait(60);
        // The same period keeps the running timer: no restart.
        html.SetFrameInterval(10000);
        QVERIFY2(html.GetRemainingTime() <= 9950,
                 qPrintable(QString::number(html.GetRemainingTime())));
        html.SetFrameInterval(5000);
        QVERIFY(html.GetRemainingTime() > 4900);
        html.OnTimer(CPPHtmlStatic::ANIMATION_TIMER_ID);
        // 0 stops it, and the frame shown stays.
        html.SetFrameInterval(0);
        QVERIFY(!html.IsAnimating());
        QCOMPARE(At(Render(html, 40, 20), 5, 5), QColor(0, 255, 0));
        html.SetFrameInterval(20);
        QTRY_COMPARE(At(Render(html, 40, 20), 5, 5), QColor(0, 0, 255));
        html.SetFrameInterval(0);
        CBitmapHandles::Release(nHandle);
    }

    void linksOpenThroughOpener()
    {
        QStringList opened;
        CUrlOpener::SetHook(
            [&](const QString& strAddress)
            {
                opened << strAddress;
                return true;
            });
        CPPHtmlStatic html;
        html.resize(300, 40);
        html.SetWindowText(QStringLiteral("go <a href=\"https://k.example/\">home</a>"));
        Render(html);
        const QPoint onLink(
            QFontMetrics(TextItems(html.GetDrawer())[0]->font).horizontalAdvance("go ") + 4, 6);
        QMouseEvent move(QEvent::MouseMove, onLink, html.mapToGlobal(onLink), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&html, &move);
        QCOMPARE(html.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(html.GetDrawer().GetHoverLink(), 0);
        QTest::mouseClick(&html, Qt::LeftButton, Qt::NoModifier, QPoint(2, 6));
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(&html, Qt::LeftButton, Qt::NoModifier, onLink);
        QCOMPARE(opened, QStringList{"https://k.example/"});
        html.setEnabled(false);
        QTest::mouseClick(&html, Qt::LeftButton, Qt::NoModifier, onLink);
        QCOMPARE(opened.size(), 1);
        CUrlOpener::SetHook(nullptr);
    }

    void fontRewritesBodyStyle()
    {
        CPPHtmlStatic html;
        html.SetWindowText(QStringLiteral("plain"));
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(15);
        font.setItalic(true);
        html.setFont(font);
        QCOMPARE(html.GetDrawer().GetStyle(QStringLiteral("body")),
                 QStringLiteral("font-size:15pt; color:0x%1; font-family:DejaVu Serif; "
                                "font-weight:400; font-style:italic")
                     .arg(QString::number(GetSysColor(COLOR_WINDOWTEXT), 16).toUpper(), 6,
                          QLatin1Char('0')));
        const auto items = TextItems(html.GetDrawer());
        QCOMPARE(items.size(), 1);
        QVERIFY(items[0]->font.italic());
        QCOMPARE(items[0]->font.family(), QStringLiteral("DejaVu Serif"));
    }
};

QTEST_MAIN(CPPHtmlStaticTest)
#include "tst_pphtmlstatic.moc"
