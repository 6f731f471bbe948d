#include "widgets/exlistbox.h"
#include "widgets/hyperlink.h"
#include "widgets/urlopener.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

class CListAndLinkTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tooltipShowsItemText_data()
    {
        QTest::addColumn<QString>("strPath");
        QTest::addColumn<QString>("strTip");
        const QString strLong =
            QStringLiteral("/home/reader/Documents/") + QString(70, QLatin1Char('a'));
        QTest::newRow("short path whole") << "/tmp/a.txt"
                                          << "/tmp/a.txt";
        QTest::newRow("79 characters whole") << strLong.left(79) << strLong.left(79);
        QTest::newRow("longer path cut to 79") << strLong << strLong.left(79);
        const QString strEmoji =
            QString(78, QLatin1Char('b')) + QString::fromUtf8("\U0001F600") + "c";
        QTest::newRow("no half character") << strEmoji << strEmoji.left(78);
    }
    void tooltipShowsItemText()
    {
        QFETCH(QString, strPath);
        QFETCH(QString, strTip);
        CExListBox list;
        list.addItem(QStringLiteral("/first"));
        list.addItem(strPath);
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QRect second = list.visualItemRect(list.item(1));
        QRect hit;
        QCOMPARE(list.ToolHitTest(second.center(), &hit), 1);
        QCOMPARE(hit, second);
        QCOMPARE(list.GetToolTipText(1), strTip);

        QHelpEvent help(QEvent::ToolTip, second.center(),
                        list.viewport()->mapToGlobal(second.center()));
        QApplication::sendEvent(list.viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), strTip);
        QToolTip::hideText();
    }

    void hitTestFindsNearestItem()
    {
        CExListBox list;
        list.resize(300, 200);
        QCOMPARE(list.ToolHitTest(QPoint(5, 5), nullptr), -1);
        list.addItem(QStringLiteral("a"));
        list.addItem(QStringLiteral("b"));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        // Below the last item the last one is nearest.
        QCOMPARE(list.ToolHitTest(QPoint(5, 190), nullptr), 1);
        QCOMPARE(list.GetToolTipText(7), QString());
    }

    void linkOpensAddress()
    {
        QStringList opened;
        CUrlOpener::SetHook(
            [&](const QString& strAddress)
            {
                opened << strAddress;
                return true;
            });
        CHyperLink link;
        link.SetLinkText(QStringLiteral("kestrivane.example/basic/"));
        link.SetURL(QStringLiteral("https://kestrivane.example/basic/"));
        link.resize(200, 20);
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(link.font().underline());
        QTest::mouseClick(&link, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(opened.isEmpty());
        QTest::mouseClick(&link, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(opened, QStringList{"https://kestrivane.example/basic/"});
        CUrlOpener::SetHook(nullptr);
    }
};

QTEST_MAIN(CListAndLinkTest)
#include "tst_listandlink.moc"
