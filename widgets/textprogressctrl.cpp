#include "widgets/textprogressctrl.h"

CTextProgressCtrl::CTextProgressCtrl(QWidget* pParent) : QProgressBar(pParent)
{
    setRange(0, 100);
    setValue(0);
}

int CTextProgressCtrl::SetRange32(int nMin, int nMax)
{
    const int nPrevious = (minimum() & 0xFFFF) | (maximum() << 16);
    setRange(nMin, nMax);
    return nPrevious;
}

int CTextProgressCtrl::SetPos(int nPos)
{
    const int nPrevious = value();
    setValue(qBound(minimum(), nPos, maximum()));
    return nPrevious;
}

COLORREF CTextProgressCtrl::SetBarColor(COLORREF cr)
{
    update();
    return std::exchange(m_crBar, cr);
}

COLORREF CTextProgressCtrl::SetBkColor(COLORREF cr)
{
    update();
    return std::exchange(m_crBack, cr);
}

COLORREF CTextProgressCtrl::SetTextColor(COLORREF cr)
{
    update();
    return std::exchange(m_crText, cr);
}

COLORREF CTextProgressCtrl::SetTextBkColor(COLORREF cr)
{
    update();
    return std::exchange(m_crTextBack, cr);
}

void CTextProgressCtrl::SetWindowText(const QString& strText)
{
    setFormat(strText.isEmpty() ? QStringLiteral("%p%") : strText);
}
