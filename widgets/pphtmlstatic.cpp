#include "widgets/pphtmlstatic.h"

#include "widgets/syscolor.h"
#include "widgets/urlopener.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

CPPHtmlStatic::CPPHtmlStatic(QWidget* pParent) : QWidget(pParent)
{
    // Render covers every pixel, so nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_timerAnimation.setTimerType(Qt::PreciseTimer);
    connect(&m_timerAnimation, &QTimer::timeout, this, [this] { OnTimer(ANIMATION_TIMER_ID); });
}

void CPPHtmlStatic::SetContent(const QString& strMarkup)
{
    m_strText = strMarkup;
    m_drawer.SetHtml(strMarkup);
    updateGeometry();
    update();
}

void CPPHtmlStatic::SetWindowText(const QString& strMarkup)
{
    m_bFrameStrip = false;
    SetContent(strMarkup);
}

void CPPHtmlStatic::SetFrameStrip(quint32 nBitmap, const std::optional<QSize>& frameSize,
                                  qint64 nTransparent)
{
    QString strTag =
        QStringLiteral("<ilst index=0 handle=0x%1").arg(QString::number(nBitmap, 16).toUpper());
    if (nTransparent != -1)
        strTag += QStringLiteral(" mask=0x%1")
                      .arg(QString::number(quint32(nTransparent) & 0xFFFFFFu, 16).toUpper(), 6,
                           QLatin1Char('0'));
    if (frameSize)
        strTag += QStringLiteral(" cx=%1, cy=%2").arg(frameSize->width()).arg(frameSize->height());
    strTag += QStringLiteral(" speed=1>");
    SetContent(strTag);
    m_bFrameStrip = true;
}

void CPPHtmlStatic::SetFrameInterval(int nMilliseconds)
{
    if (nMilliseconds == m_nFrameInterval && m_timerAnimation.isActive())
        return;
    m_timerAnimation.stop();
    m_nFrameInterval = nMilliseconds;
    if (nMilliseconds > 0)
        m_timerAnimation.start(nMilliseconds);
}

void CPPHtmlStatic::OnTimer(int nIdEvent)
{
    if (nIdEvent != ANIMATION_TIMER_ID || !isEnabled())
        return;
    m_drawer.AdvanceAnimation();
    update();
}

void CPPHtmlStatic::ApplyFontToBodyStyle()
{
    const QFont current = font();
    const int nPoints = current.pointSize() > 0
                            ? current.pointSize()
                            : qRound(current.pixelSize() * 72.0 / CPPHtmlDrawer::ScreenDpi());
    QString strBody =
        QStringLiteral("font-size:%1pt; color:0x%2; font-family:%3; font-weight:%4")
            .arg(nPoints)
            .arg(QString::number(GetSysColor(COLOR_WINDOWTEXT), 16).toUpper(), 6, QLatin1Char('0'))
            .arg(current.family())
            .arg(int(current.weight()));
    if (current.italic())
        strBody += QStringLiteral("; font-style:italic");
    m_drawer.SetStyle(QStringLiteral("body"), strBody);
    // Styles are applied while parsing, so the content is parsed again.
    const bool bStrip = m_bFrameStrip;
    SetContent(m_strText);
    m_bFrameStrip = bStrip;
}

void CPPHtmlStatic::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::FontChange)
        ApplyFontToBodyStyle();
    else if (pEvent->type() == QEvent::EnabledChange)
        update();
}

void CPPHtmlStatic::SetHoverLink(int nLink)
{
    if (nLink == m_drawer.GetHoverLink())
        return;
    m_drawer.SetHoverLink(nLink);
    setCursor(nLink >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

void CPPHtmlStatic::mouseMoveEvent(QMouseEvent* pEvent)
{
    // The size hint may have laid the content out for another width.
    m_drawer.Layout(width());
    SetHoverLink(m_drawer.LinkAt(pEvent->position().toPoint()));
    QWidget::mouseMoveEvent(pEvent);
}

void CPPHtmlStatic::leaveEvent(QEvent* pEvent)
{
    SetHoverLink(-1);
    QWidget::leaveEvent(pEvent);
}

void CPPHtmlStatic::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && isEnabled())
    {
        m_drawer.Layout(width());
        const int nLink = m_drawer.LinkAt(pEvent->position().toPoint());
        if (nLink >= 0)
        {
            CUrlOpener::Open(m_drawer.GetLinkHref(nLink));
            return;
        }
    }
    QWidget::mousePressEvent(pEvent);
}

void CPPHtmlStatic::Render(QImage& image)
{
    const QSize size = image.deviceIndependentSize().toSize();
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(0, 0), size), palette().color(QPalette::Window));
    const QRect rect(QPoint(0, 0), size);
    if (isEnabled())
    {
        m_drawer.Draw(painter, rect);
        return;
    }
    m_drawer.Draw(painter, rect.translated(1, 1), ColorFromRef(GetSysColor(COLOR_BTNHIGHLIGHT)));
    m_drawer.Draw(painter, rect, ColorFromRef(GetSysColor(COLOR_BTNSHADOW)));
}

void CPPHtmlStatic::paintEvent(QPaintEvent* /*pEvent*/)
{
    Render(m_paintBuffer.Prepare(*this));
    ++m_nPaintCount;
    m_paintBuffer.Show(*this);
}

QSize CPPHtmlStatic::sizeHint() const
{
    // The laid-out size at an unlimited width; the drawer caches it.
    QSize size = const_cast<CPPHtmlDrawer&>(m_drawer).Layout(QWIDGETSIZE_MAX);
    return size.expandedTo(QSize(16, 16));
}
