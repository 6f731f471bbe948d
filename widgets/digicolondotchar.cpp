#include "widgets/digicolondotchar.h"

void CDigiColonDotChar::SetChar(int nMask, int nStyle)
{
    Reset(nMask, nStyle);
    m_segments.append(CDSegment({{4, 23}, {4, 32}, {13, 32}, {13, 23}}));
    m_segments.append(CDSegment({{4, 50}, {4, 59}, {13, 59}, {13, 50}}));
    m_segments.append(CDSegment({{4, 68}, {4, 77}, {13, 77}, {13, 68}}));
}
