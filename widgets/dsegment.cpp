#include "widgets/dsegment.h"

CDSegment::CDSegment(const QVector<QPoint>& points) : m_points(points)
{
    m_types.reserve(points.size());
    for (int i = 0; i < points.size(); ++i)
        m_types.append(i == 0 ? PT_MOVETO : PT_LINETO);
}

CDSegment CDSegment::Mirrored(bool bX, int nAxisX, bool bY, int nAxisY) const
{
    CDSegment mirrored = *this;
    for (QPoint& point : mirrored.m_points)
    {
        if (bX)
            point.setX(2 * nAxisX - point.x());
        if (bY)
            point.setY(2 * nAxisY - point.y());
    }
    return mirrored;
}
