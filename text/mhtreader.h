#pragma once

#include <QByteArray>
#include <QString>

// The visible text of a web archive: a MIME multipart/related message (or a
// single-part one) whose root HTML part, the part named by the Start
// parameter or else the first text/html part, is decoded from
// quoted-printable or base64 and read in its character set.
class CMhtReader
{
public:
    static QString ToText(const QByteArray& mht);
    // The root HTML part's decoded bytes and its charset's code page (0 when
    // it names none); false when the archive holds no HTML part.
    static bool FindRootHtml(const QByteArray& mht, QByteArray& html, unsigned& nCodePage);
    static bool LooksLikeMht(const QByteArray& head);
    static QByteArray DecodeQuotedPrintable(const QByteArray& body);
};
