#pragma once

#include "widgets/colorref.h"

#include <QIcon>
#include <QPushButton>

// Flat image button with a hover background colour.
class CButtonST : public QPushButton
{
    Q_OBJECT
public:
    enum
    {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN,
        BTNST_COLOR_BK_OUT,
        BTNST_COLOR_FG_OUT,
        BTNST_COLOR_BK_FOCUS,
        BTNST_COLOR_FG_FOCUS,
        BTNST_MAX_COLORS
    };
    enum
    {
        BTNST_OK = 0,
        BTNST_INVALIDINDEX = 3
    };

    explicit CButtonST(QWidget* pParent = nullptr);

    void SetButtonIcons(const QIcon& iconIn, const QIcon& iconOut = QIcon());
    void SetFlatLook(bool bFlat, bool bRepaint);
    int SetStateColour(int nIndex, COLORREF cr, bool bRepaint);
    COLORREF GetStateColour(int nIndex) const;

private:
    COLORREF m_crColors[BTNST_MAX_COLORS] = {};
};
