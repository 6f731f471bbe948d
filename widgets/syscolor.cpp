#include "widgets/syscolor.h"

#include <QGuiApplication>
#include <QPalette>

COLORREF GetSysColor(int nIndex)
{
    const QPalette pal = QGuiApplication::palette();
    QPalette::ColorRole role = QPalette::Button;
    QPalette::ColorGroup group = QPalette::Active;
    switch (nIndex)
    {
    case COLOR_WINDOW:
    case COLOR_MENU:
        role = QPalette::Base;
        break;
    case COLOR_WINDOWTEXT:
    case COLOR_MENUTEXT:
    case COLOR_CAPTIONTEXT:
        role = QPalette::WindowText;
        break;
    case COLOR_WINDOWFRAME:
    case COLOR_3DDKSHADOW:
        role = QPalette::Shadow;
        break;
    case COLOR_ACTIVECAPTION:
    case COLOR_HIGHLIGHT:
        role = QPalette::Highlight;
        break;
    case COLOR_HIGHLIGHTTEXT:
        role = QPalette::HighlightedText;
        break;
    case COLOR_INACTIVECAPTION:
        role = QPalette::Highlight;
        group = QPalette::Inactive;
        break;
    case COLOR_BTNSHADOW:
        role = QPalette::Dark;
        break;
    case COLOR_GRAYTEXT:
    case COLOR_INACTIVECAPTIONTEXT:
        role = QPalette::WindowText;
        group = QPalette::Disabled;
        break;
    case COLOR_BTNTEXT:
        role = QPalette::ButtonText;
        break;
    case COLOR_BTNHIGHLIGHT:
        role = QPalette::Light;
        break;
    case COLOR_3DLIGHT:
        role = QPalette::Midlight;
        break;
    case COLOR_INFOTEXT:
        role = QPalette::ToolTipText;
        break;
    case COLOR_INFOBK:
        role = QPalette::ToolTipBase;
        break;
    case COLOR_BACKGROUND:
    case COLOR_APPWORKSPACE:
        role = QPalette::Mid;
        break;
    default:
        role = QPalette::Button;
        break;
    }
    return RefFromColor(pal.color(group, role));
}
