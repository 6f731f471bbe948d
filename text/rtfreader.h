#pragma once

#include <QByteArray>
#include <QString>

// The visible text of an RTF document: paragraphs, line, page and section
// breaks and table rows end lines ("\n"), cells and tabs are tabs. Headers
// come before the body, footnotes and footers after it. Work and memory are
// linear in the input's size.
class CRtfReader
{
public:
    static QString ToText(const QByteArray& rtf);
    static bool LooksLikeRtf(const QByteArray& head);
    // Code page of an RTF font character set (\fcharset), 0 when it has none.
    static unsigned CodePageForCharset(int nCharset);
};
