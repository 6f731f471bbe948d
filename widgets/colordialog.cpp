#include "widgets/colordialog.h"

#include <QColorDialog>

CColorDialog::Hook CColorDialog::s_hook;

void CColorDialog::SetHook(Hook hook)
{
    s_hook = std::move(hook);
}

bool CColorDialog::GetColor(QWidget* pParent, COLORREF crInitial, COLORREF& crChosen)
{
    if (s_hook)
        return s_hook(crInitial, crChosen);
    QColorDialog dialog(ColorFromRef(crInitial), pParent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    crChosen = RefFromColor(dialog.selectedColor());
    return true;
}
