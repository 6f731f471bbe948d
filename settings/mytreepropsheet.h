#pragma once

#include "widgets/treepropsheet.h"

// The program's settings sheet: the tree sheet with its button texts taken
// from the string table, so they follow the interface language.
class CMyTreePropSheet : public TreePropSheet::CTreePropSheet
{
    Q_OBJECT
public:
    explicit CMyTreePropSheet(const QString& strCaption, QWidget* pParent = nullptr,
                              int nSelectPage = 0);

protected:
    bool OnInitDialog() override;
};
