#include "widgets/proppageframe.h"

#include <QBoxLayout>
#include <QPainter>
#include <QStackedLayout>

namespace TreePropSheet
{
CPropPageFrame::CPropPageFrame(QWidget* pParent) : QWidget(pParent)
{
    m_pEmptyPage = new QWidget(this);
    // A stacked layout ignores its own margins, so an outer one keeps the
    // page clear of the caption bar.
    m_pOuter = new QVBoxLayout(this);
    m_pStack = new QStackedLayout;
    m_pOuter->addLayout(m_pStack);
    m_pStack->addWidget(m_pEmptyPage);
    UpdateMargins();
}

void CPropPageFrame::SetShowCaption(bool bShowCaption)
{
    m_bShowCaption = bShowCaption;
    UpdateMargins();
    update();
}

void CPropPageFrame::SetCaption(const QString& strCaption, const QIcon& icon)
{
    m_strCaption = strCaption;
    m_hIcon = icon;
    update(CalcCaptionArea());
}

void CPropPageFrame::SetMsgText(const QString& strMsgText)
{
    m_strMsgText = strMsgText;
    update();
}

void CPropPageFrame::ShowPage(QWidget* pPage)
{
    if (pPage && m_pStack->indexOf(pPage) < 0)
        m_pStack->addWidget(pPage);
    m_pStack->setCurrentWidget(pPage ? pPage : m_pEmptyPage);
    m_pShownPage = pPage;
    update();
}

int CPropPageFrame::GetCaptionHeight() const
{
    return qMax(fontMetrics().height(), 16) + 8;
}

QRect CPropPageFrame::CalcCaptionArea() const
{
    return m_bShowCaption ? QRect(0, 0, width(), GetCaptionHeight()) : QRect();
}

QRect CPropPageFrame::CalcMsgArea() const
{
    const int nTop = m_bShowCaption ? GetCaptionHeight() : 0;
    return QRect(0, nTop, width(), height() - nTop);
}

void CPropPageFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_bShowCaption)
        DrawCaption(painter, CalcCaptionArea(), m_strCaption, m_hIcon);
    if (!m_pShownPage && !m_strMsgText.isEmpty())
        DrawMsg(painter, CalcMsgArea(), m_strMsgText);
}

void CPropPageFrame::UpdateMargins()
{
    // The page sits below the bar, with a little room under it.
    m_pOuter->setContentsMargins(0, m_bShowCaption ? GetCaptionHeight() + 6 : 0, 0, 0);
}
} // namespace TreePropSheet
