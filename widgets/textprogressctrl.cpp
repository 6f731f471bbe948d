#include "widgets/textprogressctrl.h"

#include "widgets/syscolor.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <cmath>
#include <limits>
#include <utility>

int CTextProgressCtrl::s_nMarqueeDirection = 1;

namespace
{
constexpr int MARQUEE_TIMER_ID = 1;

int PackRange(int nMin, int nMax)
{
    return int((quint32(nMin) & 0xFFFFu) | ((quint32(nMax) & 0xFFFFu) << 16));
}
} // namespace

CTextProgressCtrl::CTextProgressCtrl(QWidget* pParent)
    : QProgressBar(pParent), m_font(QGuiApplication::font())
{
    // Every pixel is drawn by Render, so nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setTextVisible(false);
}

CTextProgressCtrl::~CTextProgressCtrl() = default;

int CTextProgressCtrl::SetRange(quint16 nLower, quint16 nUpper)
{
    return SetRange32(nLower, nUpper);
}

int CTextProgressCtrl::SetRange32(int nMin, int nMax)
{
    const int nPrevious = PackRange(m_nMin, m_nMax);
    m_nMin = nMin;
    m_nMax = nMax;
    return nPrevious;
}

int CTextProgressCtrl::GetRange(bool bWhichLow, PBRANGE* pRange) const
{
    if (pRange)
    {
        pRange->iLow = m_nMin;
        pRange->iHigh = m_nMax;
    }
    return bWhichLow ? m_nMin : m_nMax;
}

void CTextProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    nLower = m_nMin;
    nUpper = m_nMax;
}

int CTextProgressCtrl::ExtendedMax() const
{
    // Kept inside the integer range, so a huge maximum cannot wrap around.
    const double dLimit = std::trunc((double(m_nMarqueeSize + 100) * double(m_nMax) + 0.5) / 100.0);
    return int(qBound(double(std::numeric_limits<int>::min()), dLimit,
                      double(std::numeric_limits<int>::max())));
}

int CTextProgressCtrl::GetUpperLimit() const
{
    return (m_nStyle & PBS_MARQUEE) ? ExtendedMax() : m_nMax;
}

int CTextProgressCtrl::SetPos(int nPos)
{
    return SetPosition(nPos);
}

int CTextProgressCtrl::SetPosition(qint64 nPos)
{
    // Sums of positions and steps arrive here in 64 bits: an increment near
    // the integer limits clamps instead of overflowing into the other end.
    const int nPrevious = m_nPos;
    if (nPos < m_nMin)
        nPos = m_nMin;
    const int nLimit = GetUpperLimit();
    if (nPos > nLimit)
        nPos = nLimit;
    m_nPos = int(qBound(qint64(std::numeric_limits<int>::min()), nPos,
                        qint64(std::numeric_limits<int>::max())));
    Redraw();
    return nPrevious;
}

int CTextProgressCtrl::OffsetPos(int nIncrement)
{
    return SetPosition(qint64(m_nPos) + nIncrement);
}

int CTextProgressCtrl::SetStep(int nStep)
{
    return std::exchange(m_nStep, nStep);
}

int CTextProgressCtrl::StepIt()
{
    const qint64 n = qint64(m_nPos) + m_nStep;
    if (n < m_nMin)
        return SetPosition(qint64(m_nMax) - (qint64(m_nMin) - n));
    if (n > m_nMax)
        return SetPosition(qint64(m_nMin) + (n - m_nMax));
    return SetPosition(n);
}

bool CTextProgressCtrl::SetMarquee(bool bOn, int nInterval)
{
    Redraw();
    m_bShowPercent = false;
    if (bOn)
    {
        m_nStyle |= PBS_MARQUEE;
        m_timerMarquee.start(nInterval, this);
    }
    else
    {
        m_timerMarquee.stop();
        m_nStyle &= ~PBS_MARQUEE;
    }
    return bOn;
}

void CTextProgressCtrl::OnTimer(int nIdEvent)
{
    if (nIdEvent != MARQUEE_TIMER_ID)
        return;
    const int nPos = GetPos();
    if (s_nMarqueeDirection == 1 && nPos >= ExtendedMax())
        s_nMarqueeDirection = -1;
    if (s_nMarqueeDirection == -1 && nPos <= m_nMin)
        s_nMarqueeDirection = 1;
    SetPosition(qint64(nPos) + s_nMarqueeDirection);
}

void CTextProgressCtrl::timerEvent(QTimerEvent* pEvent)
{
    if (pEvent->timerId() == m_timerMarquee.timerId())
        OnTimer(MARQUEE_TIMER_ID);
    else
        QProgressBar::timerEvent(pEvent);
}

COLORREF CTextProgressCtrl::SetBarColor(COLORREF cr)
{
    Redraw();
    return std::exchange(m_crBar, cr);
}

COLORREF CTextProgressCtrl::SetBkColor(COLORREF cr)
{
    Redraw();
    return std::exchange(m_crBack, cr);
}

COLORREF CTextProgressCtrl::SetTextColor(COLORREF cr)
{
    Redraw();
    return std::exchange(m_crText, cr);
}

COLORREF CTextProgressCtrl::SetTextBkColor(COLORREF cr)
{
    Redraw();
    return std::exchange(m_crTextBack, cr);
}

COLORREF CTextProgressCtrl::GetBarColor() const
{
    return ResolveColor(m_crBar, COLOR_HIGHLIGHT);
}

COLORREF CTextProgressCtrl::GetBkColor() const
{
    return ResolveColor(m_crBack, COLOR_BTNFACE);
}

COLORREF CTextProgressCtrl::GetTextColor() const
{
    return ResolveColor(m_crText, COLOR_WINDOW);
}

COLORREF CTextProgressCtrl::GetTextBkColor() const
{
    return ResolveColor(m_crTextBack, COLOR_WINDOWTEXT);
}

bool CTextProgressCtrl::SetShowPercent(bool bShow)
{
    Redraw();
    return std::exchange(m_bShowPercent, bShow);
}

int CTextProgressCtrl::SetTextAlign(int nAlign)
{
    Redraw();
    return std::exchange(m_nTextAlign, nAlign);
}

void CTextProgressCtrl::SetMarqueeSize(int nPercent)
{
    Redraw();
    m_nMarqueeSize = nPercent;
}

int CTextProgressCtrl::SetFont(const std::optional<QFont>& font, bool bRedraw)
{
    m_font = font;
    if (bRedraw)
        Redraw();
    return 0;
}

void CTextProgressCtrl::SetWindowText(const QString& strText)
{
    m_strWindowText = strText;
    update();
}

void CTextProgressCtrl::SetVertical(bool bVertical)
{
    if (bVertical)
        m_nStyle |= PBS_VERTICAL;
    else
        m_nStyle &= ~PBS_VERTICAL;
    update();
}

void CTextProgressCtrl::Redraw()
{
    repaint();
}

QFont CTextProgressCtrl::EffectiveFont() const
{
    if (m_font)
        return *m_font;
    return parentWidget() ? parentWidget()->font() : font();
}

void CTextProgressCtrl::Render(QImage& image) const
{
    if (m_nMin >= m_nMax)
        return;

    const QColor crBar = ColorFromRef(GetBarColor());
    const QColor crBack = ColorFromRef(GetBkColor());
    const QColor crText = ColorFromRef(GetTextColor());
    const QColor crTextBack = ColorFromRef(GetTextBkColor());
    const bool bVertical = (m_nStyle & PBS_VERTICAL) != 0;
    const bool bMarquee = (m_nStyle & PBS_MARQUEE) != 0;

    QPainter painter(&image);
    const QSize size = image.deviceIndependentSize().toSize();

    // Flat sunken edge: a shadow-coloured outer line and a face-coloured inner
    // one; what is left inside is the bar's area.
    QRect R(QPoint(0, 0), size);
    painter.setPen(Qt::NoPen);
    painter.fillRect(R, ColorFromRef(GetSysColor(COLOR_BTNSHADOW)));
    R.adjust(1, 1, -1, -1);
    painter.fillRect(R, ColorFromRef(GetSysColor(COLOR_BTNFACE)));
    R.adjust(1, 1, -1, -1);
    if (R.isEmpty())
        return;
    // Edges as exclusive coordinates, the way the layout below counts them.
    const int nLeft = R.left(), nTop = R.top();
    const int nRight = R.left() + R.width(), nBottom = R.top() + R.height();
    const int W = R.width(), H = R.height();

    const double f = (double(m_nPos) - m_nMin) / (double(m_nMax) - m_nMin);

    QRect B, E1, E2;
    auto span = [](int l, int t, int r, int b)
    { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); };
    if (!bMarquee && !bVertical)
    {
        const int nEdge = nLeft + int(std::trunc(W * f));
        B = span(nLeft, nTop, nEdge, nBottom);
        E2 = span(nEdge, nTop, nRight, nBottom);
    }
    else if (!bMarquee)
    {
        const int nEdge = nBottom - int(std::trunc(H * f));
        B = span(nLeft, nEdge, nRight, nBottom);
        E2 = span(nLeft, nTop, nRight, nEdge);
    }
    else if (!bVertical)
    {
        int nBarRight = nLeft + int(std::trunc(W * f));
        int nBarLeft = nBarRight - (W * m_nMarqueeSize + 50) / 100;
        if (nBarLeft > nLeft)
            E1 = span(nLeft, nTop, nBarLeft, nBottom);
        else
            nBarLeft = nLeft;
        if (nBarRight < nRight)
            E2 = span(nBarRight, nTop, nRight, nBottom);
        else
            nBarRight = nRight;
        B = span(nBarLeft, nTop, nBarRight, nBottom);
    }
    else
    {
        int nBarTop = nBottom - int(std::trunc(H * f));
        int nBarBottom = nBarTop + (H * m_nMarqueeSize + 50) / 100;
        if (nBarBottom < nBottom)
            E1 = span(nLeft, nBarBottom, nRight, nBottom);
        else
            nBarBottom = nBottom;
        if (nTop < nBarTop)
            E2 = span(nLeft, nTop, nRight, nBarTop);
        else
            nBarTop = nTop;
        B = span(nLeft, nBarTop, nRight, nBarBottom);
    }
    if (!E1.isEmpty())
        painter.fillRect(E1, crBack);
    if (!B.isEmpty())
        painter.fillRect(B, crBar);
    if (!E2.isEmpty())
        painter.fillRect(E2, crBack);

    const QString strText = m_bShowPercent
                                ? QString::asprintf("%d%%", int(std::trunc(f * 100.0 + 0.5)))
                                : m_strWindowText;
    if (strText.isEmpty())
        return;

    QFont font = EffectiveFont();
    if (bVertical && (!m_fontVertical || *m_fontVertical != font))
        m_fontVertical = font;
    if (bVertical)
        font = *m_fontVertical;
    painter.setFont(font);
    const QFontMetrics metrics(font, &image);
    const int tw = metrics.horizontalAdvance(strText);
    const int th = metrics.height();
    int x = 0, y = 0;
    if (!bVertical)
    {
        if (m_nTextAlign == ALIGN_START)
            x = nLeft + 2;
        else if (m_nTextAlign == ALIGN_END)
            x = nRight - tw - 3;
        else
            x = nLeft + (nRight - tw - nLeft) / 2;
        y = nTop + (nBottom - th - nTop) / 2;
    }
    else
    {
        if (m_nTextAlign == ALIGN_START)
            y = nBottom - 3;
        else if (m_nTextAlign == ALIGN_END)
            y = tw + nTop + 2;
        else
            y = nTop + tw + (nBottom - tw - nTop) / 2;
        x = nLeft + (nRight - th - nLeft) / 2;
    }

    // The same text three times, each clipped to one part, so its colour
    // changes exactly at the bar's edge.
    QTransform placed = QTransform::fromTranslate(x, y);
    if (bVertical)
        placed.rotate(-90);
    const QPoint ptBaseline(0, metrics.ascent());
    auto drawPart = [&](const QRect& part, const QColor& color)
    {
        const QRect clip = part & R;
        if (clip.isEmpty())
            return;
        // The clip is set in pixels; the text's rotation comes after it.
        painter.resetTransform();
        painter.setClipRect(clip);
        painter.setTransform(placed);
        painter.setPen(color);
        painter.drawText(ptBaseline, strText);
    };
    if (!E1.isEmpty())
        drawPart(E1, crTextBack);
    drawPart(B, crText);
    if (!E2.isEmpty())
        drawPart(E2, crTextBack);
}

void CTextProgressCtrl::paintEvent(QPaintEvent* /*pEvent*/)
{
    if (m_nMin >= m_nMax)
        return;
    Render(m_paintBuffer.Prepare(*this));
    m_paintBuffer.Show(*this);
}
