#pragma once

#include <QString>
#include <QtGlobal>

// The progress the command-line verbs show on standard error: on a
// terminal, bars redrawn in place.
class CConsoleProgress
{
public:
    static bool IsTerminal();
    static int Columns();
    static int Rows();

    // The bar's position for a word of the text, as the window computes it.
    static int Percent(quint32 nPos, quint32 nLen, quint32 nTextLength);
    // The progress line: "[2/3] name [####------] 40%", at most nColumns
    // wide (the name is shortened from its start to fit).
    static QString Line(int nIndex, int nCount, const QString& strName, int nPercent, int nColumns);

    // A library message printed while bars are drawn clears the line
    // first; the bars must then be drawn again in full.
    static void GuardLibraryMessages();
    static void UnguardLibraryMessages();
    static bool IsLineBroken();
    // True once per message: whether the bars must be drawn again.
    static bool TakeLineBroken();
};
