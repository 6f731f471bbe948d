#pragma once

#include <QString>

// A text file as the text pane saves it: the byte-order mark FF FE, then
// the text in UTF-16 little-endian, no terminator.
class CUnicodeTextFile
{
public:
    // Writes beside the target and renames over it, so a failed save leaves
    // an existing file whole; a target the user may not write is refused.
    static bool Save(const QString& strPath, const QString& strText);
    static QByteArray Encode(const QString& strText);
};
