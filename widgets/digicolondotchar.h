#pragma once

#include "widgets/digichar.h"

// The colon and dot cell, 18 units wide: three square dots, the upper two
// for ":" and the lowest for ".".
class CDigiColonDotChar : public CDigiChar
{
public:
    static constexpr int CELL_WIDTH = 18;
    static constexpr int MASK_COLON = 3;
    static constexpr int MASK_DOT = 4;

    CDigiColonDotChar() : CDigiChar(CELL_WIDTH) {}
    void SetChar(int nMask, int nStyle) override;
};
