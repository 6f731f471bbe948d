#include "widgets/pphtmldrawer.h"

#include "res/stringtable.h"
#include "widgets/bitmaphandles.h"
#include "widgets/syscolor.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace
{
const char* const g_defaultStyleSheet =
    "body {font-size: 10pt; color:black; font-family:Verdana}\n"
    "p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\n"
    "h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\n"
    "h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\n"
    "h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\n"
    "h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\n"
    "h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\n"
    "h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\n"
    "pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\n"
    "code {color:#990000; font-family:Arial}\n"
    "a:link {text-decoration:none; color:blue}\n"
    "a:hover {text-decoration:underline; color:blue}\n"
    "sub {font-size:65%; vertical-align:bottom}\n"
    "sup {font-size:65%; vertical-align:top}\n"
    "big {font-size:125%}\n"
    "small {font-size:75%}\n"
    ".cpp-comment {color:green; font-style:italic}\n";

struct SNamedColor
{
    const char* pszName;
    quint32 nRgb;
};

// The extended colour keywords of CSS, with only one spelling of each grey.
const SNamedColor g_namedColors[] = {
    {"aliceblue", 0xf0f8ff},
    {"antiquewhite", 0xfaebd7},
    {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff},
    {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4},
    {"black", 0x000000},
    {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2},
    {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0},
    {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e},
    {"coral", 0xff7f50},
    {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c},
    {"cyan", 0x00ffff},
    {"darkblue", 0x00008b},
    {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9},
    {"darkgreen", 0x006400},
    {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00},
    {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a},
    {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f},
    {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3},
    {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969},
    {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222},
    {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff},
    {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700},
    {"goldenrod", 0xdaa520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xadff2f},
    {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082},
    {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa},
    {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2},
    {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a},
    {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899},
    {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0},
    {"lime", 0x00ff00},
    {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6},
    {"magenta", 0xff00ff},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd},
    {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371},
    {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5},
    {"navajowhite", 0xffdead},
    {"navy", 0x000080},
    {"oldlace", 0xfdf5e6},
    {"olive", 0x808000},
    {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500},
    {"orangered", 0xff4500},
    {"orchid", 0xda70d6},
    {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee},
    {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9},
    {"peru", 0xcd853f},
    {"pink", 0xffc0cb},
    {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6},
    {"purple", 0x800080},
    {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1},
    {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460},
    {"seagreen", 0x2e8b57},
    {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d},
    {"silver", 0xc0c0c0},
    {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd},
    {"slategray", 0x708090},
    {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c},
    {"teal", 0x008080},
    {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347},
    {"turquoise", 0x40e0d0},
    {"violet", 0xee82ee},
    {"wheat", 0xf5deb3},
    {"white", 0xffffff},
    {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};

struct SSystemColor
{
    const char* pszName;
    int nIndex;
};

const SSystemColor g_systemColors[] = {
    {"activeborder", COLOR_ACTIVEBORDER},
    {"activecaption", COLOR_ACTIVECAPTION},
    {"appworkspace", COLOR_APPWORKSPACE},
    {"background", COLOR_BACKGROUND},
    {"buttonface", COLOR_BTNFACE},
    {"buttonhighlight", COLOR_BTNHIGHLIGHT},
    {"buttonshadow", COLOR_BTNSHADOW},
    {"buttontext", COLOR_BTNTEXT},
    {"captiontext", COLOR_CAPTIONTEXT},
    {"graytext", COLOR_GRAYTEXT},
    {"highlight", COLOR_HIGHLIGHT},
    {"highlighttext", COLOR_HIGHLIGHTTEXT},
    {"inactiveborder", COLOR_INACTIVEBORDER},
    {"inactivecaption", COLOR_INACTIVECAPTION},
    {"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT},
    {"infobackground", COLOR_INFOBK},
    {"infotext", COLOR_INFOTEXT},
    {"menu", COLOR_MENU},
    {"menutext", COLOR_MENUTEXT},
    {"scrollbar", COLOR_SCROLLBAR},
    {"threeddarkshadow", COLOR_3DDKSHADOW},
    {"threedface", COLOR_BTNFACE},
    {"threedhighlight", COLOR_BTNHIGHLIGHT},
    {"threedlightshadow", COLOR_3DLIGHT},
    {"threedshadow", COLOR_BTNSHADOW},
    {"window", COLOR_WINDOW},
    {"windowframe", COLOR_WINDOWFRAME},
    {"windowtext", COLOR_WINDOWTEXT},
};

struct SEntity
{
    const char* pszName;
    char16_t ch;
};

const SEntity g_entities[] = {
    {"amp", u'&'},        {"gt", u'>'},        {"lt", u'<'},       {"nbsp", u' '},
    {"quot", u'"'},       {"bull", u'\x2022'}, {"copy", u'\xA9'},  {"euro", u'\x20AC'},
    {"iquest", u'\xBF'},  {"para", u'\xB6'},   {"pound", u'\xA3'}, {"reg", u'\xAE'},
    {"trade", u'\x2122'},
};

// Font sizes 1 to 7 of the font tag, in pixels.
constexpr int g_fontTagSizes[7] = {8, 10, 12, 14, 18, 24, 36};

QString Unquote(QString strValue)
{
    strValue = strValue.trimmed();
    if (strValue.size() >= 2 &&
        ((strValue.startsWith(QLatin1Char('"')) && strValue.endsWith(QLatin1Char('"'))) ||
         (strValue.startsWith(QLatin1Char('\'')) && strValue.endsWith(QLatin1Char('\'')))))
        strValue = strValue.mid(1, strValue.size() - 2);
    return strValue;
}

int ParseWeight(const QString& strValue, int nCurrent)
{
    const QString str = strValue.trimmed().toLower();
    if (str.isEmpty() || str == QLatin1String("normal"))
        return 400;
    if (str == QLatin1String("bold"))
        return 700;
    if (str == QLatin1String("bolder"))
        return 900;
    if (str == QLatin1String("lighter"))
        return 100;
    bool bOk = false;
    const int nWeight = str.toInt(&bOk);
    return bOk ? qBound(1, nWeight, 1000) : nCurrent;
}

quint32 ParseNumber(const QString& strValue, bool* pOk = nullptr)
{
    QString str = strValue.trimmed();
    while (str.endsWith(QLatin1Char(',')))
        str.chop(1);
    return quint32(str.toLongLong(pOk, 0));
}
} // namespace

CPPHtmlDrawer::CPPHtmlDrawer()
{
    SetStyleSheet(QString::fromLatin1(g_defaultStyleSheet));
}

void CPPHtmlDrawer::SetStyleSheet(const QString& strCss)
{
    int nPos = 0;
    while (nPos < strCss.size())
    {
        const int nOpen = strCss.indexOf(QLatin1Char('{'), nPos);
        if (nOpen < 0)
            break;
        const int nClose = strCss.indexOf(QLatin1Char('}'), nOpen + 1);
        if (nClose < 0)
            break;
        const QString strSelector = strCss.mid(nPos, nOpen - nPos).trimmed();
        if (!strSelector.isEmpty())
            SetStyle(strSelector, strCss.mid(nOpen + 1, nClose - nOpen - 1));
        nPos = nClose + 1;
    }
}

void CPPHtmlDrawer::SetStyle(const QString& strSelector, const QString& strProperties)
{
    m_styles.insert(strSelector.trimmed().toLower(), strProperties.trimmed());
    m_nLayoutWidth = -1;
}

QString CPPHtmlDrawer::GetStyle(const QString& strSelector) const
{
    return m_styles.value(strSelector.trimmed().toLower());
}

int CPPHtmlDrawer::ColorNameCount()
{
    return int(std::size(g_namedColors));
}

bool CPPHtmlDrawer::ParseColor(const QString& strValue, QColor& color)
{
    const QString str = strValue.trimmed();
    if (str.isEmpty())
        return false;
    if (str.startsWith(QLatin1Char('#')))
    {
        if (str.size() != 7)
            return false;
        bool bOk = false;
        const uint nRgb = str.mid(1).toUInt(&bOk, 16);
        if (!bOk)
            return false;
        color = QColor(QRgb(nRgb));
        return true;
    }
    if (str.at(0).isDigit())
    {
        bool bOk = false;
        const quint32 nValue = ParseNumber(str, &bOk);
        if (!bOk)
            return false;
        color = ColorFromRef(nValue);
        return true;
    }
    const QByteArray name = str.toLower().toLatin1();
    for (const SNamedColor& named : g_namedColors)
    {
        if (name == named.pszName)
        {
            color = QColor(QRgb(named.nRgb));
            return true;
        }
    }
    for (const SSystemColor& system : g_systemColors)
    {
        if (name == system.pszName)
        {
            color = ColorFromRef(GetSysColor(system.nIndex));
            return true;
        }
    }
    return false;
}

int CPPHtmlDrawer::ScreenDpi()
{
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    return pScreen ? qRound(pScreen->logicalDotsPerInchY()) : 96;
}

int CPPHtmlDrawer::ParseLength(const QString& strValue, int nCurrent, const QFont& font,
                               bool bFontSizeAttribute)
{
    QString str = Unquote(strValue).toLower();
    if (str.startsWith(QLatin1Char('+')) || str.startsWith(QLatin1Char('-')))
        str.remove(0, 1);
    if (str.isEmpty())
        return nCurrent;
    int nDigits = 0;
    while (nDigits < str.size() &&
           (str.at(nDigits).isDigit() || str.at(nDigits) == QLatin1Char('.')))
        ++nDigits;
    bool bOk = false;
    const double dNumber = str.left(nDigits).toDouble(&bOk);
    if (!bOk)
        return nCurrent;
    const QString strUnit = str.mid(nDigits).trimmed();
    const double dDpi = ScreenDpi();
    double dPixels = dNumber;
    if (strUnit.isEmpty() || strUnit == QLatin1String(","))
    {
        const int nWhole = int(dNumber);
        if (bFontSizeAttribute && nWhole == dNumber && nWhole >= 1 && nWhole <= 7)
            dPixels = g_fontTagSizes[nWhole - 1];
    }
    else if (strUnit == QLatin1String("%"))
        dPixels = nCurrent * dNumber / 100.0;
    else if (strUnit == QLatin1String("px"))
        dPixels = dNumber;
    else if (strUnit == QLatin1String("ex"))
        dPixels = dNumber * QFontMetrics(font).xHeight();
    else if (strUnit == QLatin1String("em"))
        dPixels = dNumber * QFontMetrics(font).height();
    else if (strUnit == QLatin1String("in"))
        dPixels = dNumber * dDpi;
    else if (strUnit == QLatin1String("cm"))
        dPixels = dNumber * dDpi / 2.54;
    else if (strUnit == QLatin1String("mm"))
        dPixels = dNumber * dDpi / 25.4;
    else if (strUnit == QLatin1String("pt"))
        dPixels = dNumber * dDpi / 72.0;
    else if (strUnit == QLatin1String("pc"))
        dPixels = dNumber * dDpi / 6.0;
    else
        return nCurrent;
    return qRound(dPixels);
}

QString CPPHtmlDrawer::DecodeEntity(const QString& strName)
{
    const QByteArray name = strName.toLatin1();
    for (const SEntity& entity : g_entities)
    {
        if (name == entity.pszName)
            return QString(QChar(entity.ch));
    }
    return QString();
}

QFont CPPHtmlDrawer::MakeFont(const SStyle& style)
{
    // The whole pixel size whose cell height (ascent + descent, unrounded)
    // comes nearest the wanted one, per family; the font engine renders only
    // whole pixel sizes. Results are kept because the same few sizes come
    // back with every status text.
    static QHash<QString, int> s_pixelSizes;
    const int nTarget = qMax(1, style.nSizePx);
    QFont font;
    if (!style.strFamily.isEmpty())
        font.setFamilies({style.strFamily});
    const QString strKey = style.strFamily + QLatin1Char('|') + QString::number(nTarget);
    auto found = s_pixelSizes.constFind(strKey);
    int nPixel = 0;
    if (found != s_pixelSizes.constEnd())
    {
        nPixel = *found;
    }
    else
    {
        font.setPixelSize(100);
        const qreal dRatio = qMax(0.1, QFontMetricsF(font).height() / 100.0);
        const int nEstimate = qMax(1, int(nTarget / dRatio));
        qreal dBest = -1;
        for (int nTry = qMax(1, nEstimate - 1); nTry <= nEstimate + 2; ++nTry)
        {
            font.setPixelSize(nTry);
            const qreal dMiss = qAbs(QFontMetricsF(font).height() - nTarget);
            if (dBest < 0 || dMiss < dBest)
            {
                dBest = dMiss;
                nPixel = nTry;
            }
        }
        s_pixelSizes.insert(strKey, nPixel);
    }
    font.setPixelSize(nPixel);
    font.setWeight(QFont::Weight(qBound(1, style.nWeight, 1000)));
    font.setItalic(style.bItalic);
    font.setUnderline(style.bUnderline);
    font.setStrikeOut(style.bStrike);
    font.setOverline(style.bOverline);
    return font;
}

void CPPHtmlDrawer::ApplyNamedStyle(SStyle& style, const QString& strSelector) const
{
    const QString strProperties = GetStyle(strSelector);
    if (!strProperties.isEmpty())
        ApplyProperties(style, strProperties);
}

void CPPHtmlDrawer::ApplyProperties(SStyle& style, const QString& strProperties) const
{
    const QStringList properties = strProperties.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& strProperty : properties)
    {
        const int nColon = strProperty.indexOf(QLatin1Char(':'));
        if (nColon < 0)
            continue;
        const QString strName = strProperty.left(nColon).trimmed().toLower();
        const QString strValue = Unquote(strProperty.mid(nColon + 1));
        const QString strLower = strValue.toLower();
        if (strName == QLatin1String("font-size"))
        {
            const int nSize = ParseLength(strValue, style.nSizePx, MakeFont(style), false);
            if (nSize > 0)
                style.nSizePx = nSize;
        }
        else if (strName == QLatin1String("font-family"))
            style.strFamily = Unquote(strValue.section(QLatin1Char(','), 0, 0));
        else if (strName == QLatin1String("font-style"))
        {
            if (strLower == QLatin1String("normal"))
                style.bItalic = false;
            else if (strLower == QLatin1String("italic") || strLower == QLatin1String("oblique"))
                style.bItalic = true;
        }
        else if (strName == QLatin1String("font-weight"))
            style.nWeight = ParseWeight(strValue, style.nWeight);
        else if (strName == QLatin1String("text-align"))
        {
            if (strLower.isEmpty() || strLower == QLatin1String("left"))
                style.nAlign = ALIGN_LEFT;
            else if (strLower == QLatin1String("center"))
                style.nAlign = ALIGN_CENTER;
            else if (strLower == QLatin1String("right"))
                style.nAlign = ALIGN_RIGHT;
        }
        else if (strName == QLatin1String("text-transform"))
        {
            if (strLower == QLatin1String("none"))
                style.nTransform = TRANSFORM_NONE;
            else if (strLower == QLatin1String("uppercase"))
                style.nTransform = TRANSFORM_UPPER;
            else if (strLower == QLatin1String("lowercase"))
                style.nTransform = TRANSFORM_LOWER;
            else if (strLower == QLatin1String("capitalize"))
                style.nTransform = TRANSFORM_CAPITALIZE;
        }
        else if (strName == QLatin1String("color"))
            ParseColor(strValue, style.color);
        else if (strName == QLatin1String("background-color"))
        {
            if (strLower == QLatin1String("transparent"))
                style.bkColor = QColor();
            else
                ParseColor(strValue, style.bkColor);
        }
        else if (strName == QLatin1String("text-decoration"))
        {
            if (strLower == QLatin1String("none"))
                style.bUnderline = style.bStrike = style.bOverline = false;
            else if (strLower == QLatin1String("underline"))
                style.bUnderline = true;
            else if (strLower == QLatin1String("line-through"))
                style.bStrike = true;
            else if (strLower == QLatin1String("overline"))
                style.bOverline = true;
        }
        else if (strName == QLatin1String("vertical-align"))
        {
            if (strLower.isEmpty() || strLower == QLatin1String("baseline"))
                style.nVAlign = VALIGN_BASELINE;
            else if (strLower == QLatin1String("middle") || strLower == QLatin1String("vcenter"))
                style.nVAlign = VALIGN_VCENTER;
            else if (strLower == QLatin1String("top"))
                style.nVAlign = VALIGN_TOP;
            else if (strLower == QLatin1String("bottom"))
                style.nVAlign = VALIGN_BOTTOM;
        }
        // Borders, margins and padding belong to tables, which are laid out
        // as plain text here.
    }
}

CPPHtmlDrawer::STag CPPHtmlDrawer::ParseTag(const QString& strTag)
{
    STag tag;
    QString str = strTag.trimmed();
    if (str.startsWith(QLatin1Char('/')))
    {
        tag.bClose = true;
        str = str.mid(1).trimmed();
    }
    int i = 0;
    while (i < str.size() && !str.at(i).isSpace() && str.at(i) != QLatin1Char('/'))
        ++i;
    tag.strName = str.left(i).toLower();
    while (i < str.size())
    {
        while (i < str.size() && (str.at(i).isSpace() || str.at(i) == QLatin1Char(',') ||
                                  str.at(i) == QLatin1Char('/')))
            ++i;
        const int nNameStart = i;
        while (i < str.size() && !str.at(i).isSpace() && str.at(i) != QLatin1Char('='))
            ++i;
        const QString strName = str.mid(nNameStart, i - nNameStart).toLower();
        while (i < str.size() && str.at(i).isSpace())
            ++i;
        QString strValue;
        if (i < str.size() && str.at(i) == QLatin1Char('='))
        {
            ++i;
            while (i < str.size() && str.at(i).isSpace())
                ++i;
            if (i < str.size() && (str.at(i) == QLatin1Char('"') || str.at(i) == QLatin1Char('\'')))
            {
                const QChar quote = str.at(i++);
                const int nEnd = str.indexOf(quote, i);
                const int nStop = nEnd < 0 ? int(str.size()) : nEnd;
                strValue = str.mid(i, nStop - i);
                i = nStop + 1;
            }
            else
            {
                const int nValueStart = i;
                while (i < str.size() && !str.at(i).isSpace())
                    ++i;
                strValue = str.mid(nValueStart, i - nValueStart);
                while (strValue.endsWith(QLatin1Char(',')))
                    strValue.chop(1);
            }
        }
        if (!strName.isEmpty())
            tag.attributes.insert(strName, strValue);
    }
    return tag;
}

void CPPHtmlDrawer::SetHtml(const QString& strMarkup)
{
    m_items.clear();
    m_links.clear();
    m_open.clear();
    m_fragments.clear();
    m_nLayoutWidth = -1;
    m_nHoverLink = -1;
    m_nCurrentLink = -1;
    m_current = SStyle();
    ApplyNamedStyle(m_current, QStringLiteral("body"));

    QString strText;
    auto flush = [&]()
    {
        if (!strText.isEmpty())
            AddText(strText, m_current, m_nCurrentLink,
                    m_nCurrentLink >= 0 ? m_links.at(m_nCurrentLink) : QString());
        strText.clear();
    };
    auto addSimple = [&](SItem::EType type)
    {
        flush();
        SItem item;
        item.type = type;
        item.style = m_current;
        item.font = MakeFont(m_current);
        m_items.append(item);
    };

    const int nLength = int(strMarkup.size());
    int i = 0;
    while (i < nLength)
    {
        const QChar ch = strMarkup.at(i);
        if (ch == QLatin1Char('<'))
        {
            // "<<" and a final "<" are the character itself.
            if (i + 1 == nLength)
            {
                strText += ch;
                ++i;
                continue;
            }
            if (strMarkup.at(i + 1) == QLatin1Char('<'))
            {
                strText += ch;
                i += 2;
                continue;
            }
            int nEnd = i + 1;
            QChar quote;
            while (nEnd < nLength)
            {
                const QChar c = strMarkup.at(nEnd);
                if (!quote.isNull())
                {
                    if (c == quote)
                        quote = QChar();
                }
                else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
                    quote = c;
                else if (c == QLatin1Char('>'))
                    break;
                ++nEnd;
            }
            if (nEnd >= nLength)
            {
                strText += strMarkup.mid(i);
                break;
            }
            flush();
            HandleTag(ParseTag(strMarkup.mid(i + 1, nEnd - i - 1)));
            i = nEnd + 1;
            continue;
        }
        if (ch == QLatin1Char('&'))
        {
            const int nSemicolon = strMarkup.indexOf(QLatin1Char(';'), i + 1);
            if (nSemicolon > i + 1 && nSemicolon - i <= 8)
            {
                const QString strDecoded = DecodeEntity(strMarkup.mid(i + 1, nSemicolon - i - 1));
                if (!strDecoded.isEmpty())
                {
                    strText += strDecoded;
                    i = nSemicolon + 1;
                    continue;
                }
            }
            strText += ch;
            ++i;
            continue;
        }
        if (ch == QLatin1Char('\n'))
            addSimple(SItem::BREAK);
        else if (ch == QLatin1Char('\t'))
            addSimple(SItem::TAB);
        else if (ch != QLatin1Char('\r'))
            strText += ch;
        ++i;
    }
    flush();
    m_open.clear();
}

void CPPHtmlDrawer::HandleTag(const STag& tag)
{
    const QString& strName = tag.strName;
    if (strName.isEmpty())
        return;
    if (tag.bClose)
    {
        for (int n = int(m_open.size()) - 1; n >= 0; --n)
        {
            if (m_open.at(n).strName == strName)
            {
                m_current = m_open.at(n).styleBefore;
                m_nCurrentLink = m_open.at(n).nLinkBefore;
                m_open.resize(n);
                break;
            }
        }
        if (strName == QLatin1String("tr"))
            HandleTag(ParseTag(QStringLiteral("br")));
        return;
    }

    auto simple = [&](SItem::EType type)
    {
        SItem item;
        item.type = type;
        item.style = m_current;
        item.font = MakeFont(m_current);
        m_items.append(item);
    };
    if (strName == QLatin1String("br"))
        return simple(SItem::BREAK);
    if (strName == QLatin1String("hr"))
        return simple(SItem::RULE);
    if (strName == QLatin1String("t"))
        return simple(SItem::TAB);
    if (strName == QLatin1String("bmp") || strName == QLatin1String("icon") ||
        strName == QLatin1String("ilst"))
        return AddImage(tag, m_current);
    if (strName == QLatin1String("string"))
    {
        bool bOk = false;
        const int nId = int(ParseNumber(tag.attributes.value(QStringLiteral("idres")), &bOk));
        if (bOk)
            AddText(CStringTable::Get(nId), m_current, m_nCurrentLink,
                    m_nCurrentLink >= 0 ? m_links.at(m_nCurrentLink) : QString());
        return;
    }

    static const QStringList containers = {
        QStringLiteral("b"),      QStringLiteral("i"),       QStringLiteral("em"),
        QStringLiteral("u"),      QStringLiteral("s"),       QStringLiteral("strike"),
        QStringLiteral("font"),   QStringLiteral("left"),    QStringLiteral("center"),
        QStringLiteral("right"),  QStringLiteral("justify"), QStringLiteral("baseline"),
        QStringLiteral("top"),    QStringLiteral("vcenter"), QStringLiteral("middle"),
        QStringLiteral("bottom"), QStringLiteral("body"),    QStringLiteral("h1"),
        QStringLiteral("h2"),     QStringLiteral("h3"),      QStringLiteral("h4"),
        QStringLiteral("h5"),     QStringLiteral("h6"),      QStringLiteral("code"),
        QStringLiteral("pre"),    QStringLiteral("big"),     QStringLiteral("small"),
        QStringLiteral("sub"),    QStringLiteral("sup"),     QStringLiteral("span"),
        QStringLiteral("a"),      QStringLiteral("table"),   QStringLiteral("tr"),
        QStringLiteral("td")};
    if (!containers.contains(strName))
        return;
    m_open.append({strName, m_current, m_nCurrentLink});

    const auto& attributes = tag.attributes;
    SStyle& style = m_current;
    if (strName == QLatin1String("b"))
        style.nWeight = 700;
    else if (strName == QLatin1String("i") || strName == QLatin1String("em"))
        style.bItalic = true;
    else if (strName == QLatin1String("u"))
        style.bUnderline = true;
    else if (strName == QLatin1String("s") || strName == QLatin1String("strike"))
        style.bStrike = true;
    else if (strName == QLatin1String("font"))
    {
        if (attributes.contains(QStringLiteral("face")))
            style.strFamily = attributes.value(QStringLiteral("face"));
        if (attributes.contains(QStringLiteral("size")))
        {
            const int nSize = ParseLength(attributes.value(QStringLiteral("size")), style.nSizePx,
                                          MakeFont(style), true);
            if (nSize > 0)
                style.nSizePx = nSize;
        }
        if (attributes.contains(QStringLiteral("color")))
            ParseColor(attributes.value(QStringLiteral("color")), style.color);
        if (attributes.contains(QStringLiteral("style")))
        {
            const QString strStyle = attributes.value(QStringLiteral("style"));
            if (strStyle.contains(QLatin1Char(':')))
                ApplyProperties(style, strStyle);
            else
                ApplyProperties(style, QStringLiteral("font-style:") + strStyle);
        }
        if (attributes.contains(QStringLiteral("weight")))
            style.nWeight = ParseWeight(attributes.value(QStringLiteral("weight")), style.nWeight);
        if (attributes.contains(QStringLiteral("bkgnd")))
        {
            const QString strBack = attributes.value(QStringLiteral("bkgnd"));
            if (strBack.compare(QLatin1String("transparent"), Qt::CaseInsensitive) == 0)
                style.bkColor = QColor();
            else
                ParseColor(strBack, style.bkColor);
        }
    }
    else if (strName == QLatin1String("left") || strName == QLatin1String("justify"))
        style.nAlign = ALIGN_LEFT;
    else if (strName == QLatin1String("center"))
        style.nAlign = ALIGN_CENTER;
    else if (strName == QLatin1String("right"))
        style.nAlign = ALIGN_RIGHT;
    else if (strName == QLatin1String("baseline"))
        style.nVAlign = VALIGN_BASELINE;
    else if (strName == QLatin1String("top"))
        style.nVAlign = VALIGN_TOP;
    else if (strName == QLatin1String("vcenter") || strName == QLatin1String("middle"))
        style.nVAlign = VALIGN_VCENTER;
    else if (strName == QLatin1String("bottom"))
        style.nVAlign = VALIGN_BOTTOM;
    else if (strName == QLatin1String("a"))
    {
        ApplyNamedStyle(style, QStringLiteral("a:link"));
        m_links.append(attributes.value(QStringLiteral("href")));
        m_nCurrentLink = int(m_links.size()) - 1;
    }
    else if (strName == QLatin1String("span"))
    {
        if (attributes.contains(QStringLiteral("style")))
            ApplyProperties(style, attributes.value(QStringLiteral("style")));
    }
    else if (strName != QLatin1String("table") && strName != QLatin1String("tr") &&
             strName != QLatin1String("td"))
    {
        ApplyNamedStyle(style, strName);
    }
    if (attributes.contains(QStringLiteral("class")))
        ApplyNamedStyle(style, QLatin1Char('.') + attributes.value(QStringLiteral("class")));
}

void CPPHtmlDrawer::AddText(const QString& strText, const SStyle& style, int nLink,
                            const QString& strHref)
{
    if (strText.isEmpty())
        return;
    SItem item;
    item.type = SItem::TEXT;
    switch (style.nTransform)
    {
    case TRANSFORM_UPPER:
        item.strText = strText.toUpper();
        break;
    case TRANSFORM_LOWER:
        item.strText = strText.toLower();
        break;
    case TRANSFORM_CAPITALIZE:
    {
        item.strText = strText;
        bool bStart = true;
        for (QChar& ch : item.strText)
        {
            if (bStart && ch.isLetter())
                ch = ch.toUpper();
            bStart = ch.isSpace();
        }
        break;
    }
    default:
        item.strText = strText;
        break;
    }
    item.style = style;
    item.font = MakeFont(style);
    item.nLink = nLink;
    item.strHref = strHref;
    if (nLink >= 0)
    {
        item.hoverStyle = style;
        ApplyNamedStyle(item.hoverStyle, QStringLiteral("a:hover"));
        item.fontHover = MakeFont(item.hoverStyle);
    }
    m_items.append(item);
}

void CPPHtmlDrawer::AddImage(const STag& tag, const SStyle& style)
{
    const auto& attributes = tag.attributes;
    bool bOk = false;
    const quint32 nHandle = ParseNumber(attributes.value(QStringLiteral("handle")), &bOk);
    const QImage source = bOk ? CBitmapHandles::Get(nHandle) : QImage();
    if (source.isNull())
        return;
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QColor mask;
    if (attributes.contains(QStringLiteral("mask")) &&
        ParseColor(attributes.value(QStringLiteral("mask")), mask))
    {
        const QRgb nKey = mask.rgb() & 0xFFFFFF;
        for (int y = 0; y < image.height(); ++y)
        {
            QRgb* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
            {
                if ((pLine[x] & 0xFFFFFF) == nKey)
                    pLine[x] = 0;
            }
        }
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);

    QSize frame = image.size();
    const int cx = int(ParseNumber(attributes.value(QStringLiteral("cx"))));
    const int cy = int(ParseNumber(attributes.value(QStringLiteral("cy"))));
    if (cx > 0 && cy > 0)
        frame = QSize(qMin(cx, image.width()), qMin(cy, image.height()));
    else if (tag.strName == QLatin1String("ilst") && image.height() > 0 &&
             image.width() % image.height() == 0)
        frame = QSize(image.height(), image.height()); // a strip of square frames

    SItem item;
    item.type = SItem::IMAGE;
    item.style = style;
    item.font = MakeFont(style);
    for (int x = 0; x + frame.width() <= image.width(); x += frame.width())
        item.frames.append(image.copy(x, 0, frame.width(), frame.height()));
    if (item.frames.isEmpty())
        return;
    const int nIndex = int(ParseNumber(attributes.value(QStringLiteral("index"))));
    item.nFrame = qBound(0, nIndex, int(item.frames.size()) - 1);
    item.nSpeed = int(ParseNumber(attributes.value(QStringLiteral("speed"))));
    item.drawSize = frame;
    const QFont font = item.font;
    if (attributes.contains(QStringLiteral("width")))
        item.drawSize.setWidth(
            ParseLength(attributes.value(QStringLiteral("width")), frame.width(), font, false));
    if (attributes.contains(QStringLiteral("height")))
        item.drawSize.setHeight(
            ParseLength(attributes.value(QStringLiteral("height")), frame.height(), font, false));
    item.nLink = m_nCurrentLink;
    m_items.append(item);
}

QString CPPHtmlDrawer::GetPlainText() const
{
    QString strText;
    for (const SItem& item : m_items)
    {
        if (item.type == SItem::TEXT)
            strText += item.strText;
        else if (item.type == SItem::BREAK)
            strText += QLatin1Char('\n');
        else if (item.type == SItem::TAB)
            strText += QLatin1Char('\t');
    }
    return strText;
}

QSize CPPHtmlDrawer::Layout(int nWidth)
{
    if (nWidth == m_nLayoutWidth)
        return m_layoutSize;
    m_nLayoutWidth = nWidth;
    m_fragments.clear();

    int nTop = 0;
    int nMaxWidth = 0;
    int x = 0;
    int nLineStart = 0;
    int nEmptyLineHeight = 0;

    auto finishLine = [&]()
    {
        int nAscent = 0, nDescent = 0, nOther = 0;
        for (int n = nLineStart; n < m_fragments.size(); ++n)
        {
            const SFragment& fragment = m_fragments.at(n);
            const int nVAlign = m_items.at(fragment.nItem).style.nVAlign;
            if (nVAlign == VALIGN_BASELINE)
            {
                nAscent = qMax(nAscent, fragment.nAscent);
                nDescent = qMax(nDescent, fragment.rect.height() - fragment.nAscent);
            }
            else
            {
                nOther = qMax(nOther, fragment.rect.height());
            }
        }
        int nHeight = qMax(nAscent + nDescent, nOther);
        if (nLineStart == m_fragments.size())
            nHeight = nEmptyLineHeight;
        const int nLineWidth = x;
        int nShift = 0;
        if (nLineStart < m_fragments.size())
        {
            const int nAlign = m_items.at(m_fragments.at(nLineStart).nItem).style.nAlign;
            if (nAlign == ALIGN_CENTER)
                nShift = qMax(0, (nWidth - nLineWidth) / 2);
            else if (nAlign == ALIGN_RIGHT)
                nShift = qMax(0, nWidth - nLineWidth);
        }
        for (int n = nLineStart; n < m_fragments.size(); ++n)
        {
            SFragment& fragment = m_fragments[n];
            const int nH = fragment.rect.height();
            int y = nTop;
            switch (m_items.at(fragment.nItem).style.nVAlign)
            {
            case VALIGN_TOP:
                y = nTop;
                break;
            case VALIGN_BOTTOM:
                y = nTop + nHeight - nH;
                break;
            case VALIGN_VCENTER:
                y = nTop + (nHeight - nH) / 2;
                break;
            default:
                y = nTop + nAscent - fragment.nAscent;
                break;
            }
            fragment.rect.moveTo(fragment.rect.left() + nShift, y);
            fragment.nBaseline = y + fragment.nAscent;
        }
        nMaxWidth = qMax(nMaxWidth, nLineWidth + nShift);
        nTop += nHeight;
        nLineStart = int(m_fragments.size());
        x = 0;
    };
    auto place = [&](int nItem, const QString& strText, int nW, int nH, int nAscent)
    {
        if (x > 0 && x + nW > nWidth)
            finishLine();
        SFragment fragment;
        fragment.nItem = nItem;
        fragment.strText = strText;
        fragment.rect = QRect(x, 0, nW, nH);
        fragment.nAscent = nAscent;
        m_fragments.append(fragment);
        x += nW;
    };

    for (int nItem = 0; nItem < m_items.size(); ++nItem)
    {
        const SItem& item = m_items.at(nItem);
        const QFontMetrics metrics(item.font);
        nEmptyLineHeight = metrics.height();
        switch (item.type)
        {
        case SItem::TEXT:
        {
            // Words keep their following spaces, so a line breaks between words.
            int nStart = 0;
            const int nLength = int(item.strText.size());
            while (nStart < nLength)
            {
                int nEnd = nStart;
                while (nEnd < nLength && !item.strText.at(nEnd).isSpace())
                    ++nEnd;
                while (nEnd < nLength && item.strText.at(nEnd).isSpace())
                    ++nEnd;
                const QString strWord = item.strText.mid(nStart, nEnd - nStart);
                place(nItem, strWord, metrics.horizontalAdvance(strWord), metrics.height(),
                      metrics.ascent());
                nStart = nEnd;
            }
            break;
        }
        case SItem::IMAGE:
            place(nItem, QString(), item.drawSize.width(), item.drawSize.height(),
                  item.drawSize.height());
            break;
        case SItem::BREAK:
            finishLine();
            break;
        case SItem::TAB:
        {
            const int nTab = qMax(1, 8 * metrics.horizontalAdvance(QLatin1Char(' ')));
            x = (x / nTab + 1) * nTab;
            break;
        }
        case SItem::RULE:
            if (x > 0)
                finishLine();
            place(nItem, QString(), qMax(1, nWidth), 5, 5);
            finishLine();
            break;
        }
    }
    if (nLineStart < m_fragments.size() || x > 0)
        finishLine();
    m_layoutSize = QSize(nMaxWidth, nTop);
    return m_layoutSize;
}

void CPPHtmlDrawer::Draw(QPainter& painter, const QRect& rect, const QColor& crOverride)
{
    Layout(rect.width());
    m_ptOrigin = rect.topLeft();
    const bool bOverride = crOverride.isValid();
    for (const SFragment& fragment : std::as_const(m_fragments))
    {
        SItem& item = m_items[fragment.nItem];
        const QRect box = fragment.rect.translated(m_ptOrigin);
        const bool bHover = item.nLink >= 0 && item.nLink == m_nHoverLink;
        const SStyle& style = bHover ? item.hoverStyle : item.style;
        const QColor color = bOverride ? crOverride : style.color;
        switch (item.type)
        {
        case SItem::TEXT:
            if (!bOverride && style.bkColor.isValid())
                painter.fillRect(box, style.bkColor);
            painter.setFont(bHover ? item.fontHover : item.font);
            painter.setPen(color);
            painter.drawText(QPoint(box.left(), m_ptOrigin.y() + fragment.nBaseline),
                             fragment.strText);
            break;
        case SItem::IMAGE:
        {
            const QImage& frame = item.frames.at(item.nFrame);
            const QRect target(box.topLeft(), item.drawSize);
            if (bOverride)
            {
                QImage silhouette = frame;
                QPainter mask(&silhouette);
                mask.setCompositionMode(QPainter::CompositionMode_SourceIn);
                mask.fillRect(silhouette.rect(), color);
                mask.end();
                painter.drawImage(target, silhouette);
            }
            else
            {
                painter.drawImage(target, frame);
            }
            break;
        }
        case SItem::RULE:
            painter.fillRect(QRect(box.left(), box.top() + 2, box.width(), 1), color);
            break;
        default:
            break;
        }
    }
}

bool CPPHtmlDrawer::HasAnimation() const
{
    for (const SItem& item : m_items)
    {
        if (item.type == SItem::IMAGE && item.nSpeed > 0 && item.frames.size() > 1)
            return true;
    }
    return false;
}

void CPPHtmlDrawer::AdvanceAnimation()
{
    for (SItem& item : m_items)
    {
        if (item.type != SItem::IMAGE || item.nSpeed <= 0 || item.frames.isEmpty())
            continue;
        if (++item.nTicks >= item.nSpeed)
        {
            item.nTicks = 0;
            item.nFrame = (item.nFrame + 1) % int(item.frames.size());
        }
    }
}

int CPPHtmlDrawer::LinkAt(const QPoint& point) const
{
    for (const SFragment& fragment : m_fragments)
    {
        const SItem& item = m_items.at(fragment.nItem);
        if (item.nLink >= 0 && fragment.rect.translated(m_ptOrigin).contains(point))
            return item.nLink;
    }
    return -1;
}

QString CPPHtmlDrawer::GetLinkHref(int nLink) const
{
    return m_links.value(nLink);
}
