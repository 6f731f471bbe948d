#include "text/cssrules.h"

#include <QTest>

namespace
{
// "div#x.a.b" as the tag, id and class attribute a tree walk would pass.
void PushElement(CCssRules& rules, const QByteArray& element, CCssRules::SStyle& style)
{
    QByteArray tag;
    QByteArray id;
    QByteArray classes;
    QByteArray* pPart = &tag;
    for (char c : element)
    {
        if (c == '#')
            pPart = &id;
        else if (c == '.')
        {
            pPart = &classes;
            classes.append(' ');
        }
        else
            pPart->append(c);
    }
    style = rules.Push(tag, id, classes);
}

QString Describe(const CCssRules::SStyle& style)
{
    QString strDisplay = QStringLiteral("-");
    if (style.display.eValue == CCssRules::DISPLAY_NONE)
        strDisplay = QStringLiteral("none");
    else if (style.display.eValue == CCssRules::DISPLAY_SHOWN)
        strDisplay = QStringLiteral("shown");
    QString strVisibility = QStringLiteral("-");
    if (style.visibility.eValue == CCssRules::VISIBILITY_HIDDEN)
        strVisibility = QStringLiteral("hidden");
    else if (style.visibility.eValue == CCssRules::VISIBILITY_VISIBLE)
        strVisibility = QStringLiteral("visible");
    else if (style.visibility.eValue == CCssRules::VISIBILITY_INHERIT)
        strVisibility = QStringLiteral("inherit");
    return strDisplay + QLatin1Char('/') + strVisibility;
}
} // namespace

class CCssRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The style the sheet gives the last element of a path from the root.
    void lastElementStyle_data()
    {
        QTest::addColumn<QByteArray>("css");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("type, any case, comments and other declarations")
            << QByteArray("/* a */ P /* b */ { color: red; /*c*/ DISPLAY /*d*/ : /*e*/ None "
                          "/*f*/ ; margin: 0 }")
            << QByteArray("html body p") << "none/-";
        QTest::newRow("compound class and id")
            << QByteArray("div.note#x { display: none !important }")
            << QByteArray("html body div#x.y.note") << "none/-";
        QTest::newRow("compound missing a class")
            << QByteArray("p.a.b { display: none }") << QByteArray("html body p.a") << "-/-";
        QTest::newRow("child does not reach a grandchild")
            << QByteArray("div > p { display: none }") << QByteArray("html body div span p")
            << "-/-";
        QTest::newRow("child chain found past a nearer ancestor")
            << QByteArray("section > div p { visibility: hidden }")
            << QByteArray("html body section div article div p") << "-/hidden";
        QTest::newRow("universal in a list with a pseudo-class")
            << QByteArray("a:hover, ul > * { display: none }") << QByteArray("html body ul li")
            << "none/-";
        QTest::newRow("an invalid selector drops the rule")
            << QByteArray("h1, p..x { display: none }") << QByteArray("html body h1") << "-/-";
        QTest::newRow("print and supports blocks do not apply")
            << QByteArray("@media print { p { display: none } } @supports (display: grid) { p "
                          "{ display: none } } @media screen, print { p { visibility: hidden } }")
            << QByteArray("html body p") << "-/hidden";
        QTest::newRow("later rule of equal weight shows again")
            << QByteArray("p { display: none } p { display: block }") << QByteArray("html body p")
            << "shown/-";
        QTest::newRow("more specific rule wins over a later one")
            << QByteArray("#x { display: none } body p { display: block; visibility: visible }")
            << QByteArray("html body p#x") << "none/visible";
        QTest::newRow("important wins, unknown value is dropped")
            << QByteArray("p { display: none !important } #x { display: block } "
                          "p { display: nothing }")
            << QByteArray("html body p#x") << "none/-";
    }
    void lastElementStyle()
    {
        QFETCH(QByteArray, css);
        QFETCH(QByteArray, path);
        QFETCH(QString, expected);
        CCssRules rules;
        rules.AddSheet(css);
        CCssRules::SStyle style;
        for (const QByteArray& element : path.split(' '))
            PushElement(rules, element, style);
        QCOMPARE(Describe(style), expected);
    }

    // Sheets shaped to be expensive read in linear time, and a rule that
    // follows what they leave still applies when they leave it readable.
    void hostileSheets_data()
    {
        QTest::addColumn<QByteArray>("css");
        QTest::addColumn<QString>("expected");
        const QByteArray tail(" p { display: none }");
        QTest::newRow("unterminated comment") << "/* " + tail << "-/-";
        QTest::newRow("a megabyte of open braces") << QByteArray(1 << 20, '{') + tail << "-/-";
        QTest::newRow("a megabyte of open parentheses")
            << "p { display: block } p { x: " + QByteArray(1 << 20, '(') + "; display: none }"
            << "shown/-";
        QTest::newRow("deep selector list")
            << QByteArray("a b > c, ").repeated(200000) + "p { display: none }"
            << "none/-";
        QTest::newRow("nested media left open")
            << QByteArray("@media all {").repeated(100000) + tail << "none/-";
        QTest::newRow("long selector")
            << QByteArray("div ").repeated(100000) + "p { display: none }"
            << "-/-";
    }
    void hostileSheets()
    {
        QFETCH(QByteArray, css);
        QFETCH(QString, expected);
        CCssRules rules;
        rules.AddSheet(css);
        CCssRules::SStyle style;
        for (int i = 0; i < 300; ++i)
            PushElement(rules, i % 2 ? "div" : "a.c", style);
        PushElement(rules, "p", style);
        QCOMPARE(Describe(style), expected);
    }
};

QTEST_GUILESS_MAIN(CCssRulesTest)
#include "tst_cssrules.moc"
