#pragma once

#include <QPoint>
#include <QVector>

// One closed shape of a segment character, in character units.
class CDSegment
{
public:
    enum : quint8
    {
        PT_LINETO = 2,
        PT_MOVETO = 6
    };

    CDSegment() = default;
    // The first point is moved to, the others are lines; the shape closes
    // back to the first point.
    explicit CDSegment(const QVector<QPoint>& points);

    const QVector<QPoint>& Points() const { return m_points; }
    const QVector<quint8>& Types() const { return m_types; }
    int GetCount() const { return int(m_points.size()); }

    // The same shape mirrored about x = nAxisX and/or y = nAxisY: a point's
    // coordinate c becomes 2 * axis - c.
    CDSegment Mirrored(bool bX, int nAxisX, bool bY, int nAxisY) const;

private:
    QVector<QPoint> m_points;
    QVector<quint8> m_types;
};
