#include "settings/mytreepropsheet.h"

#include "res/resourceids.h"
#include "res/stringtable.h"

#include <QPushButton>

CMyTreePropSheet::CMyTreePropSheet(const QString& strCaption, QWidget* pParent, int nSelectPage)
    : CTreePropSheet(strCaption, pParent, nSelectPage)
{
}

bool CMyTreePropSheet::OnInitDialog()
{
    const bool bResult = CTreePropSheet::OnInitDialog();
    m_btnOk->setText(CStringTable::Get(IDS_OK));
    m_btnCancel->setText(CStringTable::Get(IDS_CANCEL));
    m_btnApply->setText(CStringTable::Get(IDS_APPLY));
    return bResult;
}
