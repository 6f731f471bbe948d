#pragma once

#include <QColor>
#include <QtGlobal>

// Colours travel as 0x00BBGGRR values, as the settings file stores them, and
// become QColor only where they are drawn.
using COLORREF = quint32;

// A value that stands for "the system colour", resolved from the palette at
// each use.
constexpr COLORREF CLR_SYSTEM_SENTINEL = 0xFF000000u;

// The system's "default colour" value: a colour button that holds it shows
// its fallback colour.
constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

constexpr COLORREF RGB(int nRed, int nGreen, int nBlue)
{
    return COLORREF(nRed & 0xFF) | (COLORREF(nGreen & 0xFF) << 8) | (COLORREF(nBlue & 0xFF) << 16);
}

inline QColor ColorFromRef(COLORREF cr)
{
    return QColor(int(cr & 0xFF), int((cr >> 8) & 0xFF), int((cr >> 16) & 0xFF));
}

inline COLORREF RefFromColor(const QColor& color)
{
    return COLORREF(color.red()) | (COLORREF(color.green()) << 8) | (COLORREF(color.blue()) << 16);
}
