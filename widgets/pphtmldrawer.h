#pragma once

#include "widgets/colorref.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;

// Renders the small HTML subset of the status texts: text with font, colour
// and decoration changes, line breaks, entities, links and image strips. The
// markup is parsed once into items and laid out once per width, so repeated
// drawing (an animation tick, a repaint) does no parsing.
class CPPHtmlDrawer
{
public:
    enum EAlign
    {
        ALIGN_LEFT,
        ALIGN_CENTER,
        ALIGN_RIGHT
    };
    enum EVAlign
    {
        VALIGN_BASELINE,
        VALIGN_TOP,
        VALIGN_VCENTER,
        VALIGN_BOTTOM
    };
    enum ETransform
    {
        TRANSFORM_NONE,
        TRANSFORM_UPPER,
        TRANSFORM_LOWER,
        TRANSFORM_CAPITALIZE
    };

    // The drawing state a tag or a style changes.
    struct SStyle
    {
        QString strFamily;
        int nSizePx = 13;
        int nWeight = 400;
        bool bItalic = false;
        bool bUnderline = false;
        bool bStrike = false;
        bool bOverline = false;
        QColor color = Qt::black;
        QColor bkColor; // invalid = transparent
        int nAlign = ALIGN_LEFT;
        int nVAlign = VALIGN_BASELINE;
        int nTransform = TRANSFORM_NONE;
    };

    struct SItem
    {
        enum EType
        {
            TEXT,
            IMAGE,
            BREAK,
            RULE,
            TAB
        };
        EType type = TEXT;
        QString strText;
        SStyle style;
        QFont font;
        QString strHref;
        int nLink = -1; // index of the link the item belongs to
        SStyle hoverStyle;
        QFont fontHover;
        // Images: the frames of the strip, transparent pixels already cut out.
        QVector<QImage> frames;
        QSize drawSize;
        int nFrame = 0;
        int nSpeed = 0;
        int nTicks = 0;
    };

    CPPHtmlDrawer();

    // Adds the rules of a style sheet ("selector {properties}" blocks).
    void SetStyleSheet(const QString& strCss);
    void SetStyle(const QString& strSelector, const QString& strProperties);
    QString GetStyle(const QString& strSelector) const;

    void SetHtml(const QString& strMarkup);
    const QVector<SItem>& GetItems() const { return m_items; }
    // The visible text of the markup, tags removed and entities decoded.
    QString GetPlainText() const;

    // Lays the items out for a width (cached) and returns the content size.
    QSize Layout(int nWidth);
    // Draws the laid-out content at the rectangle's top-left; a valid colour
    // replaces every colour (the disabled look).
    void Draw(QPainter& painter, const QRect& rect, const QColor& crOverride = QColor());

    bool HasAnimation() const;
    // One timer tick for every animated image.
    void AdvanceAnimation();

    // The link under a point of the last layout drawn at rect's origin.
    int LinkAt(const QPoint& point) const;
    QString GetLinkHref(int nLink) const;
    void SetHoverLink(int nLink) { m_nHoverLink = nLink; }
    int GetHoverLink() const { return m_nHoverLink; }

    // Pure helpers, used by the parser.
    // A colour as "#rrggbb", a number (0x00BBGGRR, C notation) or a name;
    // false (and color untouched) when the text is none of these.
    static bool ParseColor(const QString& strValue, QColor& color);
    static int ColorNameCount();
    // A length in pixels; nCurrent is the value a percentage refers to.
    static int ParseLength(const QString& strValue, int nCurrent, const QFont& font,
                           bool bFontSizeAttribute);
    // Decodes one entity name (without & and ;); empty when unknown.
    static QString DecodeEntity(const QString& strName);
    // A font whose cell height (ascent + descent) is nHeight pixels.
    static QFont MakeFont(const SStyle& style);
    static int ScreenDpi();

private:
    struct STag
    {
        QString strName;
        bool bClose = false;
        QHash<QString, QString> attributes;
    };
    struct SFragment
    {
        int nItem = -1;
        QString strText;
        QRect rect;
        int nAscent = 0;
        int nBaseline = 0;
    };

    static STag ParseTag(const QString& strTag);
    void ApplyProperties(SStyle& style, const QString& strProperties) const;
    void ApplyNamedStyle(SStyle& style, const QString& strSelector) const;
    void AddText(const QString& strText, const SStyle& style, int nLink, const QString& strHref);
    void AddImage(const STag& tag, const SStyle& style);
    void HandleTag(const STag& tag);

    QHash<QString, QString> m_styles;
    QVector<SItem> m_items;
    QStringList m_links;
    // Parser state, only alive during SetHtml.
    struct SOpen
    {
        QString strName;
        SStyle styleBefore;
        int nLinkBefore;
    };
    QVector<SOpen> m_open;
    SStyle m_current;
    int m_nCurrentLink = -1;

    QVector<SFragment> m_fragments;
    int m_nLayoutWidth = -1;
    QSize m_layoutSize;
    QPoint m_ptOrigin;
    int m_nHoverLink = -1;
};
