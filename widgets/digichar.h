#pragma once

#include "widgets/dsegment.h"

#include <QColor>
#include <QPolygon>
#include <QRectF>
#include <QVector>

class QBrush;
class QPainter;
class QPen;

// One character cell of the segment display: its width in units, which of
// its segments are lit, and the shapes of its segments. The cell is always
// 83 units high.
class CDigiChar
{
public:
    static constexpr int CELL_HEIGHT = 83;
    // Style bit: unlit segments are not drawn at all.
    static constexpr int STYLE_HIDE_UNLIT = 8;

    virtual ~CDigiChar() = default;

    // Rebuilds the segments for the mask and the display style.
    virtual void SetChar(int nMask, int nStyle) = 0;

    int GetWidth() const { return m_nWidth; }
    int GetMask() const { return m_nMask; }
    bool GetHideUnlit() const { return m_bHideUnlit; }
    const QVector<CDSegment>& GetSegments() const { return m_segments; }
    int GetSegmentCount() const { return int(m_segments.size()); }

    // Draws the segments into the cell: lit ones with the on brush and pen,
    // unlit ones with the off pair.
    void Draw(QPainter& painter, const QRectF& cell, const QBrush& offBrush, const QPen& offPen,
              const QBrush& onBrush, const QPen& onPen) const;

protected:
    explicit CDigiChar(int nWidth) : m_nWidth(nWidth) {}
    void Reset(int nMask, int nStyle);

    int m_nWidth;
    int m_nMask = 0;
    bool m_bHideUnlit = false;
    QVector<CDSegment> m_segments;

private:
    // The shapes in pixels for the last cell drawn, so an unchanged display
    // repaints without computing or allocating anything.
    void MapToCell(const QRectF& cell) const;
    mutable QVector<QPolygon> m_pixelShapes;
    mutable QRectF m_cellMapped;
};
