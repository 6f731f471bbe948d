#include "widgets/digi7segment.h"

namespace
{
// Bit i lights segment i: 0 top, 1 upper left, 2 upper right, 3 middle,
// 4 lower left, 5 lower right, 6 bottom.
constexpr int g_digitMasks[10] = {119, 36, 93, 109, 46, 107, 123, 37, 127, 111};
constexpr int MASK_SPACE = 0;
constexpr int MASK_MINUS = 8;
} // namespace

int CDigi7Segment::MaskFor(QChar ch)
{
    if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
        return g_digitMasks[ch.unicode() - '0'];
    if (ch == QLatin1Char(' '))
        return MASK_SPACE;
    if (ch == QLatin1Char('-'))
        return MASK_MINUS;
    return -1;
}

void CDigi7Segment::SetChar(int nMask, int nStyle)
{
    Reset(nMask, nStyle);
    const int nAxisX = (m_nWidth - 1) / 2;
    const int nAxisY = (CELL_HEIGHT - 1) / 2;
    const CDSegment top({{5, 4}, {12, 11}, {36, 11}, {43, 4}});
    const CDSegment upperLeft({{4, 6}, {4, 40}, {11, 36}, {11, 13}});
    const CDSegment middle({{6, 41}, {14, 45}, {34, 45}, {42, 41}, {34, 37}, {14, 37}});
    m_segments.append(top);
    m_segments.append(upperLeft);
    m_segments.append(upperLeft.Mirrored(true, nAxisX, false, nAxisY));
    m_segments.append(middle);
    m_segments.append(upperLeft.Mirrored(false, nAxisX, true, nAxisY));
    m_segments.append(upperLeft.Mirrored(true, nAxisX, true, nAxisY));
    m_segments.append(top.Mirrored(false, nAxisX, true, nAxisY));
}
