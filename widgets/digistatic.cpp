#include "widgets/digistatic.h"

#include "widgets/digi7segment.h"
#include "widgets/digicolondotchar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace
{
// Three parts of the segment colour to one of the background.
QColor BlendedPen(const QColor& segment, const QColor& background)
{
    auto mix = [](int nSegment, int nBack)
    { return int(std::trunc(0.75 * nSegment + 0.25 * nBack)); };
    return QColor(mix(segment.red(), background.red()), mix(segment.green(), background.green()),
                  mix(segment.blue(), background.blue()));
}

// The cell that shows the character, or null for one the display skips.
std::unique_ptr<CDigiChar> MakeChar(QChar ch, int nStyle)
{
    std::unique_ptr<CDigiChar> pChar;
    int nMask = CDigi7Segment::MaskFor(ch);
    if (nMask >= 0)
        pChar = std::make_unique<CDigi7Segment>();
    else if (ch == QLatin1Char(':') || ch == QLatin1Char('.'))
    {
        nMask =
            ch == QLatin1Char(':') ? CDigiColonDotChar::MASK_COLON : CDigiColonDotChar::MASK_DOT;
        pChar = std::make_unique<CDigiColonDotChar>();
    }
    if (pChar)
        pChar->SetChar(nMask, nStyle);
    return pChar;
}
} // namespace

CDigiStatic::CDigiStatic(QWidget* pParent) : QLabel(pParent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

CDigiStatic::~CDigiStatic() = default;

void CDigiStatic::SetText(const QString& strText)
{
    if (strText == m_strText)
        return;
    m_strText = strText;
    m_bModified = true;
    Redraw();
}

void CDigiStatic::SetColor(COLORREF crOff, COLORREF crOn)
{
    if (crOff == m_crOff && crOn == m_crOn)
        return;
    m_crOff = crOff;
    m_crOn = crOn;
    Redraw();
}

COLORREF CDigiStatic::SetBkColor(COLORREF cr)
{
    const COLORREF crPrevious = m_crBackground;
    if (cr != m_crBackground)
    {
        m_crBackground = cr;
        Redraw();
    }
    return crPrevious;
}

void CDigiStatic::SetStyle(int nStyle)
{
    if (nStyle == m_nStyle)
        return;
    m_nStyle = nStyle;
    m_bModified = true;
    Redraw();
}

void CDigiStatic::Redraw()
{
    if (m_bRedrawNow)
        repaint();
    else
        update();
}

void CDigiStatic::BuildChars()
{
    m_chars.clear();
    if (m_strText == QLatin1String("?"))
        m_strText = text();
    m_strText = m_strText.toUpper();
    for (const QChar ch : std::as_const(m_strText))
    {
        std::unique_ptr<CDigiChar> pChar = MakeChar(ch, m_nStyle);
        if (pChar)
            m_chars.push_back(std::move(pChar));
    }
    m_bModified = false;
}

const std::vector<std::unique_ptr<CDigiChar>>& CDigiStatic::GetChars()
{
    if (m_bModified)
        BuildChars();
    return m_chars;
}

QSize CDigiStatic::minimumSizeHint() const
{
    // Measured on the text the display would build, without building it.
    const QString strShown = m_strText == QLatin1String("?") ? text() : m_strText;
    int nUnits = 0;
    for (const QChar ch : strShown.toUpper())
        if (const std::unique_ptr<CDigiChar> pChar = MakeChar(ch, m_nStyle))
            nUnits += pChar->GetWidth();
    const int nHeight = fontMetrics().height();
    return QSize((nUnits * nHeight + CDigiChar::CELL_HEIGHT - 1) / CDigiChar::CELL_HEIGHT, nHeight);
}

void CDigiStatic::Render(QImage& image)
{
    const QColor crBack = ColorFromRef(m_crBackground);
    image.fill(crBack);
    const QColor crOff = ColorFromRef(m_crOff);
    const QColor crOn = ColorFromRef(m_crOn);
    const bool bBlend = (m_nStyle & DS_STYLE_BLEND_OUTLINE) != 0;
    const QColor crOffPen = bBlend ? BlendedPen(crOff, crBack) : crOff;
    const QColor crOnPen = bBlend ? BlendedPen(crOn, crBack) : crOn;

    const auto& chars = GetChars();
    int nUnits = 0;
    for (const auto& pChar : chars)
        nUnits += pChar->GetWidth();
    if (nUnits == 0)
        return;

    const QSizeF size = image.deviceIndependentSize();
    double sx = size.width() / nUnits;
    double sy = size.height() / CDigiChar::CELL_HEIGHT;
    double x0 = 0, y0 = 0;
    if (m_nStyle & DS_STYLE_KEEP_ASPECT)
    {
        sx = sy = std::min(sx, sy);
        x0 = (size.width() - nUnits * sx) / 2;
        y0 = (size.height() - CDigiChar::CELL_HEIGHT * sy) / 2;
    }

    QPainter painter(&image);
    const QBrush offBrush(crOff);
    const QBrush onBrush(crOn);
    const QPen offPen(crOffPen, 1);
    const QPen onPen(crOnPen, 1);
    double x = x0;
    for (const auto& pChar : chars)
    {
        const double dWidth = pChar->GetWidth() * sx;
        pChar->Draw(painter, QRectF(x, y0, dWidth, CDigiChar::CELL_HEIGHT * sy), offBrush, offPen,
                    onBrush, onPen);
        x += dWidth;
    }
}

void CDigiStatic::paintEvent(QPaintEvent* /*pEvent*/)
{
    Render(m_paintBuffer.Prepare(*this));
    m_paintBuffer.Show(*this);
}
