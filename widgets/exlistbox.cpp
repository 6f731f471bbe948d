#include "widgets/exlistbox.h"

CExListBox::CExListBox(QWidget* pParent) : QListWidget(pParent)
{
}
