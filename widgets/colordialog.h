#pragma once

#include "widgets/colorref.h"

#include <functional>

class QWidget;

// The system colour dialog, fully open and allowing any colour. Tests
// install a hook that answers in place of the user.
class CColorDialog
{
public:
    // Returns true with the chosen colour, false for Cancel.
    using Hook = std::function<bool(COLORREF crInitial, COLORREF& crChosen)>;

    // True and the colour for OK, false for Cancel.
    static bool GetColor(QWidget* pParent, COLORREF crInitial, COLORREF& crChosen);

    static void SetHook(Hook hook);

private:
    static Hook s_hook;
};
