#include "widgets/pphtmlstatic.h"

CPPHtmlStatic::CPPHtmlStatic(QWidget* pParent) : QLabel(pParent)
{
    setTextFormat(Qt::RichText);
}

void CPPHtmlStatic::SetWindowText(const QString& strMarkup)
{
    m_strText = strMarkup;
    setText(strMarkup);
}
