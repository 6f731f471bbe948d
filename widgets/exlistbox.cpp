#include "widgets/exlistbox.h"

#include <QHelpEvent>
#include <QToolTip>
#include <limits>

CExListBox::CExListBox(QWidget* pParent) : QListWidget(pParent) {}

int CExListBox::ToolHitTest(const QPoint& point, QRect* pRect) const
{
    int nBest = -1;
    int nBestDistance = std::numeric_limits<int>::max();
    if (QListWidgetItem* pItem = itemAt(point))
    {
        nBest = row(pItem);
    }
    else
    {
        for (int i = 0; i < count(); ++i)
        {
            const QRect rect = visualItemRect(item(i));
            if (rect.isEmpty())
                continue;
            const int nDistance = point.y() < rect.top()      ? rect.top() - point.y()
                                  : point.y() > rect.bottom() ? point.y() - rect.bottom()
                                                              : 0;
            if (nDistance < nBestDistance)
            {
                nBestDistance = nDistance;
                nBest = i;
            }
        }
    }
    if (nBest >= 0 && pRect)
        *pRect = visualItemRect(item(nBest));
    return nBest;
}

QString CExListBox::GetToolTipText(int nIndex) const
{
    const QListWidgetItem* pItem = item(nIndex);
    if (!pItem)
        return QString();
    const QString strText = pItem->text();
    // A cut between the halves of a surrogate pair would leave half a
    // character; the tip then ends one unit earlier.
    int nLength = qMin(int(strText.size()), MAX_TOOLTIP_LENGTH);
    if (nLength < strText.size() && nLength > 0 && strText.at(nLength - 1).isHighSurrogate())
        --nLength;
    return strText.left(nLength);
}

bool CExListBox::viewportEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::ToolTip)
    {
        const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
        QRect rect;
        const int nIndex = ToolHitTest(pHelp->pos(), &rect);
        if (nIndex < 0)
        {
            QToolTip::hideText();
            pEvent->ignore();
            return true;
        }
        // Outside the item's rectangle the tip must not vanish at once.
        QToolTip::showText(pHelp->globalPos(), GetToolTipText(nIndex), viewport(),
                           rect.contains(pHelp->pos()) ? rect : QRect());
        return true;
    }
    return QListWidget::viewportEvent(pEvent);
}
