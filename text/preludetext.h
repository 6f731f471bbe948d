#pragma once

#include <QString>

class CPrelude;

// The prelude as the window puts it before a document's name: never null,
// never longer than 300 UTF-16 units, whatever the library returns.
class CPreludeText
{
public:
    // strCode is a catalogue code ("0409") or its voice-attribute form ("409").
    static QString Get(CPrelude& prelude, const QString& strCode);
    // The form the library is given: one leading "0" dropped.
    static QString LibraryCode(const QString& strCode);
    // A NUL-terminated UTF-16 text, empty for null, cut after 300 units.
    static QString Cut(const char16_t* pszText);
};
