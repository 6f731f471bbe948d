#include "widgets/buttonst.h"

CButtonST::CButtonST(QWidget* pParent) : QPushButton(pParent)
{
    for (COLORREF& cr : m_crColors)
        cr = CLR_SYSTEM_SENTINEL;
}

void CButtonST::SetButtonIcons(const QIcon& iconIn, const QIcon& /*iconOut*/)
{
    setIcon(iconIn);
    setIconSize(QSize(16, 16));
}

void CButtonST::SetFlatLook(bool bFlat, bool bRepaint)
{
    setFlat(bFlat);
    if (bRepaint)
        update();
}

int CButtonST::SetStateColour(int nIndex, COLORREF cr, bool bRepaint)
{
    if (nIndex < 0 || nIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[nIndex] = cr;
    if (bRepaint)
        update();
    return BTNST_OK;
}

COLORREF CButtonST::GetStateColour(int nIndex) const
{
    return (nIndex >= 0 && nIndex < BTNST_MAX_COLORS) ? m_crColors[nIndex] : 0;
}
