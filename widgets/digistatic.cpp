#include "widgets/digistatic.h"

CDigiStatic::CDigiStatic(QWidget* pParent) : QLabel(pParent)
{
    setAlignment(Qt::AlignCenter);
}

void CDigiStatic::SetText(const QString& strText)
{
    if (strText == m_strText)
        return;
    m_strText = strText;
    setText(strText);
}

void CDigiStatic::SetColor(COLORREF crOff, COLORREF crOn)
{
    m_crOff = crOff;
    m_crOn = crOn;
    update();
}

void CDigiStatic::SetBkColor(COLORREF cr)
{
    m_crBackground = cr;
    update();
}
