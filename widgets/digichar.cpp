#include "widgets/digichar.h"

#include <QPainter>
#include <cmath>

void CDigiChar::Reset(int nMask, int nStyle)
{
    m_segments.clear();
    m_pixelShapes.clear();
    m_nMask = nMask;
    m_bHideUnlit = (nStyle & STYLE_HIDE_UNLIT) != 0;
}

void CDigiChar::MapToCell(const QRectF& cell) const
{
    if (cell == m_cellMapped && m_pixelShapes.size() == m_segments.size())
        return;
    m_cellMapped = cell;
    m_pixelShapes.resize(m_segments.size());
    const double dLeft = cell.left();
    const double dTop = cell.top();
    const double dWidth = cell.width();
    const double dHeight = cell.height();
    for (int i = 0; i < m_segments.size(); ++i)
    {
        const QVector<QPoint>& points = m_segments.at(i).Points();
        QPolygon& shape = m_pixelShapes[i];
        shape.resize(points.size());
        for (int n = 0; n < points.size(); ++n)
            shape[n] = QPoint(int(std::trunc(points[n].x() * dWidth / m_nWidth + dLeft + 0.5)),
                              int(std::trunc(points[n].y() * dHeight / CELL_HEIGHT + dTop + 0.5)));
    }
}

void CDigiChar::Draw(QPainter& painter, const QRectF& cell, const QBrush& offBrush,
                     const QPen& offPen, const QBrush& onBrush, const QPen& onPen) const
{
    MapToCell(cell);
    for (int i = 0; i < m_pixelShapes.size(); ++i)
    {
        const bool bLit = (m_nMask >> i) & 1;
        if ((!bLit && m_bHideUnlit) || m_pixelShapes.at(i).isEmpty())
            continue;
        painter.setPen(bLit ? onPen : offPen);
        painter.setBrush(bLit ? onBrush : offBrush);
        painter.drawPolygon(m_pixelShapes.at(i));
    }
}
