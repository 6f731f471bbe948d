#pragma once

#include "widgets/digichar.h"

// A seven-segment digit cell, 49 units wide.
class CDigi7Segment : public CDigiChar
{
public:
    static constexpr int CELL_WIDTH = 49;

    CDigi7Segment() : CDigiChar(CELL_WIDTH) {}
    void SetChar(int nMask, int nStyle) override;

    // The mask of a digit, a space or "-"; -1 for a character without one.
    static int MaskFor(QChar ch);
};
