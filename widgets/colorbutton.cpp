#include "widgets/colorbutton.h"

#include "widgets/colourpopup.h"
#include "widgets/syscolor.h"

#include <QKeyEvent>
#include <QPainter>

namespace
{
constexpr int ARROW_WIDTH = 12;

QColor Sys(int nIndex)
{
    return ColorFromRef(GetSysColor(nIndex));
}

void DrawEdge(QPainter& painter, const QRect& rect, const QColor& topLeft,
              const QColor& bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}
} // namespace

CColorButton::CColorButton(QWidget* pParent)
    : QPushButton(pParent), m_crFallback(GetSysColor(COLOR_APPWORKSPACE)),
      m_strFallbackText(QStringLiteral("Automatic")),
      m_strCustomText(QStringLiteral("More Colors...")), m_pPopup(new CColourPopup(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);

    connect(this, &QPushButton::clicked, this, &CColorButton::OnClicked);
    connect(m_pPopup, &CColourPopup::SelectionHover, this, &CColorButton::OnPopupHover);
    connect(m_pPopup, &CColourPopup::SelectionEnded, this, &CColorButton::OnPopupEnded);
}

int CColorButton::GetDlgCtrlID() const
{
    return objectName().toInt();
}

void CColorButton::SetColor(COLORREF cr)
{
    m_crColour = cr;
    update();
}

void CColorButton::SetFallbackColour(COLORREF cr)
{
    m_crFallback = cr;
    update();
}

void CColorButton::OnClicked()
{
    if (m_bPopupActive)
        return;
    m_crBeforePopup = m_crColour;
    m_bPopupActive = true;
    update();
    Q_EMIT PickerOpened(m_crColour, GetDlgCtrlID());
    m_pPopup->Open(mapToGlobal(QPoint(0, height())), m_crColour, m_crFallback, m_strFallbackText,
                   m_strCustomText);
}

void CColorButton::OnPopupHover(COLORREF cr)
{
    if (m_bHoverPreview)
    {
        m_crColour = cr;
        update();
    }
    Q_EMIT PickerHover(cr, GetDlgCtrlID());
}

void CColorButton::OnPopupEnded(COLORREF cr, bool bChosen)
{
    m_bPopupActive = false;
    m_crColour = bChosen ? cr : m_crBeforePopup;
    update();
    setFocus(Qt::PopupFocusReason);
    const int nId = GetDlgCtrlID();
    Q_EMIT PickerClosed(m_crColour, nId);
    if (bChosen)
    {
        Q_EMIT PickerChosen(m_crColour, nId);
        Q_EMIT PickerHover(m_crColour, nId);
    }
    else
    {
        Q_EMIT PickerCancelled(m_crColour, nId);
    }
}

void CColorButton::keyPressEvent(QKeyEvent* pEvent)
{
    // The keys that drop a combo box down open the popup too.
    if (pEvent->key() == Qt::Key_F4 ||
        (pEvent->key() == Qt::Key_Down && (pEvent->modifiers() & Qt::AltModifier)))
    {
        click();
        return;
    }
    QPushButton::keyPressEvent(pEvent);
}

void CColorButton::Render(QImage& image) const
{
    QPainter painter(&image);
    const QRect rect(QPoint(0, 0), image.deviceIndependentSize().toSize());
    const bool bPressed = m_bPopupActive || isDown();
    const bool bEnabled = isEnabled();
    painter.fillRect(rect, Sys(COLOR_BTNFACE));
    if (bPressed)
    {
        DrawEdge(painter, rect, Sys(COLOR_3DDKSHADOW), Sys(COLOR_BTNHIGHLIGHT));
        DrawEdge(painter, rect.adjusted(1, 1, -1, -1), Sys(COLOR_BTNSHADOW), Sys(COLOR_3DLIGHT));
    }
    else
    {
        DrawEdge(painter, rect, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW));
        DrawEdge(painter, rect.adjusted(1, 1, -1, -1), Sys(COLOR_3DLIGHT), Sys(COLOR_BTNSHADOW));
    }

    QRect content = rect.adjusted(3, 3, -3, -3);
    if (bPressed)
        content.translate(1, 1);
    if (content.width() <= ARROW_WIDTH + 6 || content.height() <= 4)
        return;

    // The drop-down arrow, behind an etched line.
    const int nSeparator = content.right() - ARROW_WIDTH;
    const QColor crMark = Sys(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    painter.fillRect(QRect(nSeparator, content.top() + 1, 1, content.height() - 2),
                     Sys(COLOR_BTNSHADOW));
    painter.fillRect(QRect(nSeparator + 1, content.top() + 1, 1, content.height() - 2),
                     Sys(COLOR_BTNHIGHLIGHT));
    const int nArrowLeft = nSeparator + 2 + (ARROW_WIDTH - 2 - 7) / 2;
    const int nArrowTop = content.top() + (content.height() - 4) / 2;
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect(nArrowLeft + i, nArrowTop + i, 7 - 2 * i, 1), crMark);

    // The colour, in a frame; a disabled button shows only the frame.
    const QRect swatch(content.left() + 2, content.top() + 2, nSeparator - content.left() - 4,
                       content.height() - 4);
    painter.fillRect(swatch, bEnabled ? Sys(COLOR_BTNSHADOW) : crMark);
    const COLORREF crShown = m_crColour == CLR_DEFAULT ? m_crFallback : m_crColour;
    painter.fillRect(swatch.adjusted(1, 1, -1, -1),
                     bEnabled ? ColorFromRef(crShown) : Sys(COLOR_BTNFACE));

    if (hasFocus() && !m_bPopupActive)
    {
        QPen pen(Sys(COLOR_BTNTEXT));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(content.adjusted(0, 0, -1, -1));
    }
}

void CColorButton::paintEvent(QPaintEvent* /*pEvent*/)
{
    Render(m_paintBuffer.Prepare(*this));
    m_paintBuffer.Show(*this);
}
