#pragma once

#include <QListWidget>

// List box whose items show their text as a tooltip.
class CExListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit CExListBox(QWidget* pParent = nullptr);
};
