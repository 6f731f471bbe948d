#pragma once

#include <QByteArray>
#include <QString>

// The text of a Word 97-2003 binary document: the main text with headers
// before it and footnotes, endnotes and footers after it; paragraphs, line,
// page and section breaks end lines ("\n"), table cells are tabs and rows
// end lines, fields show their results.
class CWordReader
{
public:
    enum class Status
    {
        Ok,
        NotWord,
        OldWord,
        Encrypted,
        Damaged
    };

    static Status ToText(const QByteArray& data, QString& strText);
    // The message the user sees for a status other than Ok.
    static QString StatusMessage(Status status);
};
