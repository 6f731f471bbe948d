#pragma once

#include <QByteArray>
#include <QString>

// The text layer of a PDF document in reading order: each block of text
// (a paragraph, a heading) is one line ending in "\n", the lines of the
// block joined with spaces. Pages follow one another.
// Long documents are read by nMaxThreads threads at once (0: one per core, at
// most four), short ones by fewer; the text is the same whatever the count.
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

    static Status ToText(const QByteArray& data, QString& strText, int nMaxThreads = 0);
    static QString StatusMessage(Status status);
};
