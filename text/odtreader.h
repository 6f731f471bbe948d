#pragma once

#include <QByteArray>
#include <QString>

// The text of an OpenDocument text (.odt): content.xml's body in reading
// order, then its footnotes and endnotes. Paragraphs, headings and list
// items end lines ("\n"), table cells are tabs and rows end lines; headers
// and footers, which live in styles.xml, are left out, and so are note
// marks, list labels, comments and tracked deletions.
class COdtReader
{
public:
    enum class Status
    {
        Ok,
        NotOdt,
        Damaged,
        TooLarge
    };

    static Status ToText(const QByteArray& data, QString& strText);
    static QString StatusMessage(Status status);
};
