#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The visible text of an HTML page, the way a browser's innerText gives the
// body's text: blocks and br end lines ("\n"), paragraphs leave an empty line,
// table cells are separated by a tab alone (without the empty lines their
// paragraphs would add), white space collapses outside pre, and
// script, style, head, template and hidden elements give nothing: those
// the page's style attributes and style sheets hide as well.
class CHtmlText
{
public:
    // The style sheet a link's href names, as UTF-8, when the caller holds
    // it (a web archive's part); empty otherwise. Nothing is ever fetched.
    using SheetLookup = std::function<QByteArray(const QByteArray& href)>;
    // nCodePage 0: the page's own character set (byte-order mark, meta
    // charset or http-equiv), else read as ANSI text is (CCodePage::CP_ACP).
    static QString FromHtml(const QByteArray& html, unsigned nCodePage = 0,
                            const SheetLookup& lookup = {});
    static unsigned DetectCodePage(const QByteArray& html);
    // UTF-8 markup rewritten so that nesting and attribute counts stay
    // within what the parser handles in linear time; text is kept.
    static QByteArray BoundMarkup(const QByteArray& utf8);
    static bool LooksLikeHtml(const QByteArray& head);
};
