#pragma once

#include <QByteArray>
#include <QString>

// The text of a Word 2007 or later document (.docx, a zip package of XML
// parts): the body, then footnotes and endnotes, with headers before and
// footers after them when asked for. Paragraphs and breaks end lines ("\n"),
// table cells are tabs and rows end lines, fields show their results and
// deleted text is left out.
class CDocxReader
{
public:
    enum class Status
    {
        Ok,
        NotDocx,
        Damaged,
        TooLarge
    };

    static Status ToText(const QByteArray& data, QString& strText, bool bHeadersAndFooters);
    static QString StatusMessage(Status status);
    static bool LooksLikeZip(const QByteArray& head);
};
