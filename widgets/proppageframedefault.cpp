#include "widgets/proppageframedefault.h"

#include <QLinearGradient>
#include <QPainter>

namespace TreePropSheet
{
CPropPageFrameDefault::CPropPageFrameDefault(QWidget* pParent) : CPropPageFrame(pParent) {}

void CPropPageFrameDefault::DrawCaption(QPainter& painter, const QRect& rect,
                                        const QString& strCaption, const QIcon& icon)
{
    painter.save();
    QLinearGradient gradient(rect.topLeft(), rect.topRight());
    gradient.setColorAt(0, palette().color(QPalette::Highlight));
    gradient.setColorAt(1, palette().color(QPalette::Window));
    painter.fillRect(rect, gradient);

    QRect textRect = rect.adjusted(6, 0, -6, 0);
    if (!icon.isNull())
    {
        const int nSize = 16;
        const QRect iconRect(textRect.left(), rect.top() + (rect.height() - nSize) / 2, nSize,
                             nSize);
        icon.paint(&painter, iconRect);
        textRect.setLeft(iconRect.right() + 6);
    }
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::HighlightedText));
    const QString strShown =
        QFontMetrics(font).elidedText(strCaption, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, strShown);
    painter.restore();
}

void CPropPageFrameDefault::DrawMsg(QPainter& painter, const QRect& rect, const QString& strMsgText)
{
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                     strMsgText);
}
} // namespace TreePropSheet
