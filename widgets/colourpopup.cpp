#include "widgets/colourpopup.h"

#include "res/stringtable.h"
#include "widgets/colordialog.h"
#include "widgets/syscolor.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <iterator>

namespace
{
constexpr int MARGIN = 4;
constexpr int CELL = 18;
constexpr int GAP = 4;

// In reading order; the names come from the string table, so a language
// module translates them.
constexpr COLORREF g_crGrid[] = {
    RGB(0, 0, 0),       RGB(165, 42, 0),    RGB(0, 64, 64),     RGB(0, 85, 0),
    RGB(0, 0, 94),      RGB(0, 0, 139),     RGB(75, 0, 130),    RGB(40, 40, 40),
    RGB(139, 0, 0),     RGB(255, 104, 32),  RGB(139, 139, 0),   RGB(0, 147, 0),
    RGB(56, 142, 142),  RGB(0, 0, 255),     RGB(123, 123, 192), RGB(102, 102, 102),
    RGB(255, 0, 0),     RGB(255, 173, 91),  RGB(50, 205, 50),   RGB(60, 179, 113),
    RGB(127, 255, 212), RGB(125, 158, 192), RGB(128, 0, 128),   RGB(127, 127, 127),
    RGB(255, 192, 203), RGB(255, 215, 0),   RGB(255, 255, 0),   RGB(0, 255, 0),
    RGB(64, 224, 208),  RGB(192, 255, 255), RGB(72, 0, 72),     RGB(192, 192, 192),
    RGB(255, 228, 225), RGB(210, 180, 140), RGB(255, 255, 224), RGB(152, 251, 152),
    RGB(175, 238, 238), RGB(104, 131, 139), RGB(230, 230, 250), RGB(255, 255, 255),
};
constexpr int g_nColours = int(std::size(g_crGrid));

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

void DrawSwatch(QPainter& painter, const QRect& cell, COLORREF cr)
{
    painter.fillRect(cell.adjusted(3, 3, -3, -3), Sys(COLOR_BTNSHADOW));
    painter.fillRect(cell.adjusted(4, 4, -4, -4), ColorFromRef(cr));
}
} // namespace

CColourPopup::CColourPopup(QWidget* pParent) : QWidget(pParent, Qt::Popup)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

int CColourPopup::GetColourCount()
{
    return g_nColours;
}

int CColourPopup::GetRowCount()
{
    return (g_nColours + GRID_COLUMNS - 1) / GRID_COLUMNS;
}

COLORREF CColourPopup::GetColour(int nIndex)
{
    return (nIndex >= 0 && nIndex < g_nColours) ? g_crGrid[nIndex] : 0;
}

QString CColourPopup::GetColourName(int nIndex)
{
    return CStringTable::GetColourName(nIndex);
}

void CColourPopup::Open(const QPoint& ptScreen, COLORREF crCurrent, COLORREF crFallback,
                        const QString& strFallbackText, const QString& strCustomText)
{
    m_crInitial = crCurrent;
    m_crFallback = crFallback;
    m_strFallbackText = strFallbackText;
    m_strCustomText = strCustomText;
    m_nCurrent = BOX_CUSTOM;
    if (crCurrent == CLR_DEFAULT || crCurrent == crFallback)
        m_nCurrent = BOX_FALLBACK;
    for (int i = 0; i < g_nColours; ++i)
    {
        if (g_crGrid[i] == crCurrent)
        {
            m_nCurrent = i;
            break;
        }
    }
    m_nSelected = m_nCurrent;
    setAccessibleName(TextOfBox(m_nSelected));
    Layout();

    QPoint pt = ptScreen;
    const QScreen* pScreen = QGuiApplication::screenAt(ptScreen);
    if (!pScreen)
        pScreen = QGuiApplication::primaryScreen();
    if (pScreen)
    {
        const QRect avail = pScreen->availableGeometry();
        pt.setX(qMax(avail.left(), qMin(pt.x(), avail.right() + 1 - width())));
        pt.setY(qMax(avail.top(), qMin(pt.y(), avail.bottom() + 1 - height())));
    }
    move(pt);
    m_bActive = true;
    show();
    setFocus(Qt::PopupFocusReason);
    update();
}

void CColourPopup::Layout()
{
    const QFontMetrics metrics = fontMetrics();
    const int nTextWidth = qMax(metrics.horizontalAdvance(m_strFallbackText),
                                metrics.horizontalAdvance(m_strCustomText));
    // The fallback box shows a swatch at its left; the text keeps clear of it
    // on both sides so it can be centred.
    const int nBoxWidth = qMax(GRID_COLUMNS * CELL, nTextWidth + 2 * CELL + 4);
    const int nBoxHeight = qMax(CELL, metrics.height() + 8);
    m_rectFallback = QRect(MARGIN, MARGIN, nBoxWidth, nBoxHeight);
    m_ptGrid =
        QPoint(MARGIN + (nBoxWidth - GRID_COLUMNS * CELL) / 2, m_rectFallback.bottom() + 1 + GAP);
    m_rectCustom = QRect(MARGIN, m_ptGrid.y() + GetRowCount() * CELL + GAP, nBoxWidth, nBoxHeight);
    resize(nBoxWidth + 2 * MARGIN, m_rectCustom.bottom() + 1 + MARGIN);
}

QRect CColourPopup::GetBoxRect(int nIndex) const
{
    if (nIndex == BOX_FALLBACK)
        return m_rectFallback;
    if (nIndex == BOX_CUSTOM)
        return m_rectCustom;
    if (nIndex < 0 || nIndex >= g_nColours)
        return QRect();
    return QRect(m_ptGrid.x() + (nIndex % GRID_COLUMNS) * CELL,
                 m_ptGrid.y() + (nIndex / GRID_COLUMNS) * CELL, CELL, CELL);
}

int CColourPopup::HitTest(const QPoint& point) const
{
    if (m_rectFallback.contains(point))
        return BOX_FALLBACK;
    if (m_rectCustom.contains(point))
        return BOX_CUSTOM;
    const QRect grid(m_ptGrid, QSize(GRID_COLUMNS * CELL, GetRowCount() * CELL));
    if (!grid.contains(point))
        return BOX_NONE;
    const int nIndex =
        (point.y() - m_ptGrid.y()) / CELL * GRID_COLUMNS + (point.x() - m_ptGrid.x()) / CELL;
    return nIndex < g_nColours ? nIndex : BOX_NONE;
}

COLORREF CColourPopup::ColourOfBox(int nIndex) const
{
    if (nIndex == BOX_FALLBACK)
        return m_crFallback;
    if (nIndex >= 0 && nIndex < g_nColours)
        return g_crGrid[nIndex];
    return m_crInitial;
}

QString CColourPopup::TextOfBox(int nIndex) const
{
    if (nIndex == BOX_FALLBACK)
        return m_strFallbackText;
    if (nIndex == BOX_CUSTOM)
        return m_strCustomText;
    return GetColourName(nIndex);
}

void CColourPopup::ChangeSelection(int nIndex)
{
    if (nIndex == m_nSelected)
        return;
    m_nSelected = nIndex;
    setAccessibleName(TextOfBox(nIndex));
    update();
    Q_EMIT SelectionHover(ColourOfBox(nIndex));
}

void CColourPopup::EndSelection(bool bChosen)
{
    if (!m_bActive)
        return;
    m_bActive = false;
    const int nBox = m_nSelected;
    // Hidden first, so the colour dialog is not under the popup's grab.
    if (isVisible())
        hide();
    if (!bChosen)
    {
        Q_EMIT SelectionEnded(m_crInitial, false);
        return;
    }
    if (nBox == BOX_CUSTOM)
    {
        const COLORREF crStart = m_crInitial == CLR_DEFAULT ? m_crFallback : m_crInitial;
        COLORREF crChosen = crStart;
        if (CColorDialog::GetColor(parentWidget(), crStart, crChosen))
            Q_EMIT SelectionEnded(crChosen, true);
        else
            Q_EMIT SelectionEnded(m_crInitial, false);
        return;
    }
    Q_EMIT SelectionEnded(ColourOfBox(nBox), true);
}

int CColourPopup::StepSelection(int nKey) const
{
    const int nLast = g_nColours - 1;
    const int nLastRow = (GetRowCount() - 1) * GRID_COLUMNS;
    const int n = m_nSelected;
    if (n == BOX_NONE)
        return 0;
    switch (nKey)
    {
    case Qt::Key_Left:
        return n == BOX_CUSTOM ? nLast : n <= 0 ? BOX_FALLBACK : n - 1;
    case Qt::Key_Right:
        return n == BOX_FALLBACK ? 0 : (n == BOX_CUSTOM || n == nLast) ? BOX_CUSTOM : n + 1;
    case Qt::Key_Up:
        return n == BOX_CUSTOM ? nLastRow : n < GRID_COLUMNS ? BOX_FALLBACK : n - GRID_COLUMNS;
    case Qt::Key_Down:
        return n == BOX_FALLBACK                    ? 0
               : (n == BOX_CUSTOM || n >= nLastRow) ? BOX_CUSTOM
                                                    : qMin(n + GRID_COLUMNS, nLast);
    default:
        return n;
    }
}

void CColourPopup::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key())
    {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        ChangeSelection(StepSelection(pEvent->key()));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_nSelected != BOX_NONE)
            EndSelection(true);
        break;
    case Qt::Key_Escape:
        EndSelection(false);
        break;
    default:
        QWidget::keyPressEvent(pEvent);
        return;
    }
    pEvent->accept();
}

void CColourPopup::mouseMoveEvent(QMouseEvent* pEvent)
{
    ChangeSelection(HitTest(pEvent->position().toPoint()));
}

void CColourPopup::mousePressEvent(QMouseEvent* pEvent)
{
    // Qt hands a popup the presses outside it; they end the selection.
    if (!rect().contains(pEvent->position().toPoint()))
        EndSelection(false);
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* pEvent)
{
    const QPoint point = pEvent->position().toPoint();
    if (!rect().contains(point))
    {
        EndSelection(false);
        return;
    }
    const int nBox = HitTest(point);
    if (nBox == BOX_NONE)
        return;
    ChangeSelection(nBox);
    EndSelection(true);
}

void CColourPopup::hideEvent(QHideEvent* pEvent)
{
    QWidget::hideEvent(pEvent);
    // Closed by the system (another window activated): the same as Escape.
    EndSelection(false);
}

bool CColourPopup::event(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::ToolTip)
    {
        const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
        const int nBox = HitTest(pHelp->pos());
        if (nBox >= 0)
            QToolTip::showText(pHelp->globalPos(), GetColourName(nBox), this, GetBoxRect(nBox));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(pEvent);
}

void CColourPopup::DrawCellFrame(QPainter& painter, const QRect& rect, int nIndex) const
{
    if (nIndex == m_nSelected)
        painter.fillRect(rect, Sys(COLOR_HIGHLIGHT));
    else if (nIndex == m_nCurrent)
        DrawEdge(painter, rect, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
}

void CColourPopup::DrawTextBox(QPainter& painter, int nIndex) const
{
    const QRect rect = GetBoxRect(nIndex);
    DrawCellFrame(painter, rect, nIndex);
    if (nIndex == BOX_FALLBACK)
        DrawSwatch(painter, QRect(rect.left(), rect.top() + (rect.height() - CELL) / 2, CELL, CELL),
                   m_crFallback);
    painter.setPen(Sys(nIndex == m_nSelected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, TextOfBox(nIndex));
}

void CColourPopup::Render(QImage& image) const
{
    QPainter painter(&image);
    const QRect all(QPoint(0, 0), image.deviceIndependentSize().toSize());
    painter.fillRect(all, Sys(COLOR_BTNFACE));
    DrawEdge(painter, all, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
    painter.setFont(font());
    DrawTextBox(painter, BOX_FALLBACK);
    for (int i = 0; i < g_nColours; ++i)
    {
        const QRect cell = GetBoxRect(i);
        DrawCellFrame(painter, cell, i);
        DrawSwatch(painter, cell, g_crGrid[i]);
    }
    DrawTextBox(painter, BOX_CUSTOM);
}

void CColourPopup::paintEvent(QPaintEvent* /*pEvent*/)
{
    Render(m_paintBuffer.Prepare(*this));
    m_paintBuffer.Show(*this);
}
