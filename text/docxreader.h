#pragma once

#include <QByteArray>
#include <QString>

// The text of a Word 2007 or later document (.docx, a zip package of XML
// parts): headers first, then the body, footnotes, endnotes and footers.
// Paragraphs and breaks end lines ("\n"), table cells are tabs and rows end
// lines, fields show their results and deleted text is left out. Inflated
// data is capped by the input's size, so a zip bomb costs bounded memory.
class CDocxReader
{
public:
    enum class Status
    {
        Ok,
        NotDocx,
        Damaged
    };

    static Status ToText(const QByteArray& data, QString& strText);
    static bool LooksLikeZip(const QByteArray& head);
};
