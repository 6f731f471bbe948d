#include "widgets/hyperlink.h"

#include "widgets/urlopener.h"

#include <QMouseEvent>

CHyperLink::CHyperLink(QWidget* pParent) : QLabel(pParent)
{
    setCursor(Qt::PointingHandCursor);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
    setPalette(pal);
}

void CHyperLink::SetURL(const QString& strUrl)
{
    m_strUrl = strUrl;
    setToolTip(strUrl);
}

void CHyperLink::SetLinkText(const QString& strText)
{
    setText(strText);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* pEvent)
{
    QLabel::mouseReleaseEvent(pEvent);
    if (pEvent->button() != Qt::LeftButton || !rect().contains(pEvent->position().toPoint()))
        return;
    Q_EMIT Clicked(m_strUrl);
    CUrlOpener::Open(m_strUrl);
}
