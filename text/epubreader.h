#pragma once

#include <QByteArray>
#include <QString>

// The text of an EPUB 2 or 3 book: the package's spine in order, each
// content document read as HTML, with the navigation document and the NCX
// left out. A chapter's text is parted from the next by an empty line.
// Content is looked for only among the archive's own entries: a reference
// that leaves the archive (an absolute path, a scheme, ".." past its root)
// is skipped.
class CEpubReader
{
public:
    enum class Status
    {
        Ok,
        NotEpub,
        Damaged,
        TooLarge
    };

    static Status ToText(const QByteArray& data, QString& strText);
    static QString StatusMessage(Status status);
    // The archive entry that href names, relative to the entry strBase, or
    // an empty string when it points outside the archive.
    static QString ResolveHref(const QString& strBase, const QString& strHref);
};
