#include "widgets/buttonst.h"

#include "widgets/syscolor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace
{
QSize IconSize(const QIcon& icon)
{
    const QList<QSize> sizes = icon.availableSizes();
    return sizes.isEmpty() ? QSize(16, 16) : sizes.first();
}

void DrawEdgeLines(QPainter& painter, const QRect& rect, const QColor& topLeft,
                   const QColor& bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}
} // namespace

CButtonST::CButtonST(QWidget* pParent) : QPushButton(pParent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFlat(true);
    SetDefaultColors(false);
}

void CButtonST::SetDefaultColors(bool bRepaint)
{
    m_systemPalette = QGuiApplication::palette();
    const COLORREF crFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF crText = GetSysColor(COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_IN] = crFace;
    m_crColors[BTNST_COLOR_FG_IN] = crText;
    m_crColors[BTNST_COLOR_BK_OUT] = crFace;
    m_crColors[BTNST_COLOR_FG_OUT] = crText;
    m_crColors[BTNST_COLOR_BK_FOCUS] = crFace;
    m_crColors[BTNST_COLOR_FG_FOCUS] = crText;
    Repaint(bRepaint);
}

void CButtonST::SetButtonIcons(const QIcon& iconIn, const QIcon& iconOut)
{
    m_iconIn = iconIn;
    m_iconOut = iconOut;
    m_sizeIconIn = iconIn.isNull() ? QSize() : IconSize(iconIn);
    m_sizeIconOut = iconOut.isNull() ? QSize() : IconSize(iconOut);
    m_pixIn = iconIn.isNull() ? QPixmap() : iconIn.pixmap(m_sizeIconIn);
    m_pixInDisabled = iconIn.isNull() ? QPixmap() : iconIn.pixmap(m_sizeIconIn, QIcon::Disabled);
    m_pixOut = iconOut.isNull() ? QPixmap() : iconOut.pixmap(m_sizeIconOut);
    m_pixOutDisabled =
        iconOut.isNull() ? QPixmap() : iconOut.pixmap(m_sizeIconOut, QIcon::Disabled);
    // The base class sizes the button for its icon.
    setIcon(iconIn);
    setIconSize(m_sizeIconIn.isValid() ? m_sizeIconIn : QSize(16, 16));
    Repaint(true);
}

void CButtonST::SetFlatLook(bool bFlat, bool bRepaint)
{
    m_bIsFlat = bFlat;
    setFlat(bFlat);
    Repaint(bRepaint);
}

void CButtonST::SetDrawBorder(bool bDraw, bool bRepaint)
{
    m_bDrawBorder = bDraw;
    Repaint(bRepaint);
}

void CButtonST::SetDrawFlatFocus(bool bDraw, bool bRepaint)
{
    m_bDrawFlatFocus = bDraw;
    Repaint(bRepaint);
}

void CButtonST::SetAlign(int nAlign, bool bRepaint)
{
    if (nAlign < ST_ALIGN_HORIZ || nAlign > ST_ALIGN_HORIZ_RIGHT)
        return;
    m_nAlign = nAlign;
    Repaint(bRepaint);
}

int CButtonST::SetStateColour(int nIndex, COLORREF cr, bool bRepaint)
{
    if (nIndex < 0 || nIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[nIndex] = cr;
    Repaint(bRepaint);
    return BTNST_OK;
}

COLORREF CButtonST::GetStateColour(int nIndex) const
{
    return (nIndex >= 0 && nIndex < BTNST_MAX_COLORS) ? m_crColors[nIndex] : 0;
}

void CButtonST::Repaint(bool bRepaint)
{
    if (bRepaint)
        update();
}

void CButtonST::CancelHover()
{
    if (m_bIsFlat && m_bMouseOnButton)
    {
        m_bMouseOnButton = false;
        update();
    }
}

void CButtonST::mouseMoveEvent(QMouseEvent* pEvent)
{
    QPushButton::mouseMoveEvent(pEvent);
    // A press that began elsewhere and was dragged on does not start a hover.
    if ((pEvent->buttons() & Qt::LeftButton) && !m_bMouseOnButton)
        return;
    if (!m_bIsFlat)
        return;
    const bool bOverThis = rect().contains(pEvent->position().toPoint());
    if (bOverThis && (m_bAlwaysTrack || QApplication::activeWindow()))
    {
        if (!m_bMouseOnButton)
        {
            m_bMouseOnButton = true;
            update();
        }
    }
    else
    {
        CancelHover();
    }
}

void CButtonST::leaveEvent(QEvent* pEvent)
{
    QPushButton::leaveEvent(pEvent);
    CancelHover();
}

void CButtonST::focusOutEvent(QFocusEvent* pEvent)
{
    QPushButton::focusOutEvent(pEvent);
    CancelHover();
}

void CButtonST::changeEvent(QEvent* pEvent)
{
    QPushButton::changeEvent(pEvent);
    if (pEvent->type() == QEvent::EnabledChange && !isEnabled())
    {
        if (hasFocus() && !focusNextChild() && parentWidget())
            parentWidget()->setFocus();
        CancelHover();
    }
    else if (pEvent->type() == QEvent::ActivationChange && !isActiveWindow())
    {
        CancelHover();
    }
}

bool CButtonST::event(QEvent* pEvent)
{
    // Qt tells children of a palette change in several ways; only a change
    // of the system's own colours resets the six colours.
    if (pEvent->type() == QEvent::ApplicationPaletteChange ||
        pEvent->type() == QEvent::PaletteChange)
    {
        const QPalette system = QGuiApplication::palette();
        if (system != m_systemPalette)
        {
            m_systemPalette = system;
            SetDefaultColors(true);
        }
    }
    return QPushButton::event(pEvent);
}

void CButtonST::Render(QImage& image) const
{
    const bool bPressed = isDown();
    const bool bFocused = hasFocus();
    const bool bDisabled = !isEnabled();
    const bool bHot = m_bMouseOnButton || bPressed;

    QPainter painter(&image);
    QRect rect(QPoint(0, 0), image.deviceIndependentSize().toSize());

    if (!m_bIsFlat && (bFocused || isDefault()))
    {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        rect.adjust(1, 1, -1, -1);
    }
    const int nBack = bHot       ? BTNST_COLOR_BK_IN
                      : bFocused ? BTNST_COLOR_BK_FOCUS
                                 : BTNST_COLOR_BK_OUT;
    painter.fillRect(rect, ColorFromRef(m_crColors[nBack]));

    const QColor crShadow = ColorFromRef(GetSysColor(COLOR_BTNSHADOW));
    const QColor crHighlight = ColorFromRef(GetSysColor(COLOR_BTNHIGHLIGHT));
    if (m_bIsFlat)
    {
        if (bPressed && m_bDrawBorder)
            DrawEdgeLines(painter, rect, crShadow, crHighlight);
        else if (!bPressed && m_bMouseOnButton && m_bDrawBorder)
            DrawEdgeLines(painter, rect, crHighlight, crShadow);
    }
    else if (bPressed)
    {
        painter.setPen(crShadow);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    else
    {
        DrawEdgeLines(painter, rect, crHighlight, ColorFromRef(GetSysColor(COLOR_3DDKSHADOW)));
        DrawEdgeLines(painter, rect.adjusted(1, 1, -1, -1),
                      ColorFromRef(GetSysColor(COLOR_3DLIGHT)), crShadow);
    }

    const QString strCaption = text();
    QRect captionRect = rect;
    const bool bUseOut = !m_pixOut.isNull() && !bPressed && !m_bMouseOnButton;
    const QPixmap& pixIcon = bUseOut ? (bDisabled ? m_pixOutDisabled : m_pixOut)
                                     : (bDisabled ? m_pixInDisabled : m_pixIn);
    if (!m_iconIn.isNull())
    {
        const QSize iconSize = bUseOut ? m_sizeIconOut : m_sizeIconIn;
        QPoint ptIcon((rect.width() - iconSize.width()) / 2 + rect.left(),
                      (rect.height() - iconSize.height()) / 2 + rect.top());
        if (!strCaption.isEmpty())
        {
            switch (m_nAlign)
            {
            case ST_ALIGN_VERT:
                ptIcon.setY(rect.top() + m_nMarginV);
                captionRect.setTop(ptIcon.y() + iconSize.height() + m_nMarginV);
                break;
            case ST_ALIGN_HORIZ_RIGHT:
                ptIcon.setX(rect.right() + 1 - m_nMarginH - iconSize.width());
                captionRect.setRight(ptIcon.x() - m_nMarginH);
                break;
            default:
                ptIcon.setX(rect.left() + m_nMarginH);
                captionRect.setLeft(ptIcon.x() + iconSize.width() + m_nMarginH);
                break;
            }
        }
        if (bPressed)
            ptIcon += m_ptPressedOffset;
        painter.drawPixmap(ptIcon, pixIcon);
    }

    if (!strCaption.isEmpty())
    {
        if (bPressed)
            captionRect.translate(m_ptPressedOffset);
        const int nFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        painter.setFont(font());
        const QRect textRect = painter.boundingRect(captionRect, nFlags, strCaption);
        const QRect block(captionRect.left() + (captionRect.width() - textRect.width()) / 2,
                          captionRect.top() + (captionRect.height() - textRect.height()) / 2,
                          textRect.width(), textRect.height());
        if (bDisabled)
        {
            painter.setPen(crHighlight);
            painter.drawText(block.translated(1, 1), nFlags, strCaption);
            painter.setPen(crShadow);
            painter.drawText(block, nFlags, strCaption);
        }
        else
        {
            const int nText = bHot       ? BTNST_COLOR_FG_IN
                              : bFocused ? BTNST_COLOR_FG_FOCUS
                                         : BTNST_COLOR_FG_OUT;
            painter.setPen(ColorFromRef(m_crColors[nText]));
            painter.drawText(block, nFlags, strCaption);
        }
    }

    if (bFocused && (!m_bIsFlat || m_bDrawFlatFocus))
    {
        QPen pen(ColorFromRef(m_crColors[BTNST_COLOR_FG_FOCUS]));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(3, 3, -4, -4));
    }
}

QSize CButtonST::minimumSizeHint() const
{
    // The focus rectangle runs 3 pixels in; a pressed caption moves 1 more.
    const int nInset = 4;
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    if (m_iconIn.isNull() || text().isEmpty())
    {
        const QSize icon = m_iconIn.isNull() ? QSize(0, 0) : m_sizeIconIn;
        return caption.expandedTo(icon) + QSize(2 * nInset, 2 * nInset);
    }
    if (m_nAlign == ST_ALIGN_VERT)
        return QSize(qMax(m_sizeIconIn.width(), caption.width()) + 2 * nInset,
                     m_nMarginV + m_sizeIconIn.height() + m_nMarginV + caption.height() + nInset);
    return QSize(m_nMarginH + m_sizeIconIn.width() + m_nMarginH + caption.width() + nInset,
                 qMax(m_sizeIconIn.height() + 2 * m_nMarginV, caption.height() + 2 * nInset));
}

void CButtonST::paintEvent(QPaintEvent* /*pEvent*/)
{
    Render(m_paintBuffer.Prepare(*this));
    m_paintBuffer.Show(*this);
}
