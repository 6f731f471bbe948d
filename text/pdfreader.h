#pragma once

#include <QByteArray>
#include <QString>

// The text layer of a PDF document in reading order: each block of text
// (a paragraph, a heading) is one line ending in "\n", the lines of the
// block joined with spaces. Pages follow one another.
class CPdfReader
{
public:
    enum class Status
    {
        Ok,
        Damaged,
        Locked,
        NoTextLayer
    };

    static Status ToText(const QByteArray& data, QString& strText);
    static QString StatusMessage(Status status);
};
