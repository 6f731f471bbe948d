#include "widgets/propertypage.h"

#include "res/stringtable.h"

CPropertyPage::CPropertyPage(int nTemplateId, QWidget* pParent)
    : QWidget(pParent), m_nTemplateId(nTemplateId)
{
    setObjectName(QString::number(nTemplateId));
}

QString CPropertyPage::GetCaption() const
{
    return CStringTable::GetDialogText(m_nTemplateId, 0);
}

bool CPropertyPage::InitPage()
{
    if (m_bInitialized)
        return true;
    m_bInitialized = true;
    return OnInitDialog();
}

void CPropertyPage::SetModified(bool bModified)
{
    if (m_bModified == bModified)
        return;
    m_bModified = bModified;
    Q_EMIT ModifiedChanged(bModified);
}

bool CPropertyPage::OnInitDialog()
{
    return true;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}
