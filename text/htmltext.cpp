#include "text/htmltext.h"

#include "text/codepage.h"
#include "text/cssrules.h"

#include <gumbo.h>
#include <map>
#include <vector>

namespace
{
constexpr int MaxDepth = 400;
constexpr int MaxTableDepth = 40;
constexpr int MaxAttributesPerTag = 64;
// What formatting elements are renamed to before parsing.
const QByteArray FormattingPrefix = QByteArrayLiteral("x-kbf-");

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

QByteArray Lower(const char* p, qsizetype n)
{
    QByteArray s(p, n);
    return s.toLower();
}

bool IsVoid(const QByteArray& name)
{
    static const char* const voids[] = {
        "area",  "base",   "br",    "col", "embed",  "hr",       "img",     "input", "link", "meta",
        "param", "source", "track", "wbr", "keygen", "basefont", "bgsound", "frame", "image"};
    for (const char* v : voids)
    {
        if (name == v)
            return true;
    }
    return false;
}

bool IsSelfClosingGroup(const QByteArray& name)
{
    static const char* const names[] = {"p",  "li", "dt", "dd",       "option", "optgroup",
                                        "tr", "td", "th", "tbody",    "thead",  "tfoot",
                                        "rb", "rt", "rp", "colgroup", "caption"};
    for (const char* v : names)
    {
        if (name == v)
            return true;
    }
    return false;
}

bool IsRawText(const QByteArray& name)
{
    return name == "script" || name == "style" || name == "textarea" || name == "title" ||
           name == "xmp" || name == "iframe" || name == "noembed" || name == "noframes";
}

bool IsTableLike(const QByteArray& name)
{
    return name == "table" || name == "template" || name == "select" || name == "svg" ||
           name == "math";
}

// The elements the parser reopens around later text when they are left open.
bool IsFormatting(const QByteArray& name)
{
    static const char* const names[] = {"a",    "b", "big",   "code",   "em",     "font", "i",
                                        "nobr", "s", "small", "strike", "strong", "tt",   "u"};
    for (const char* v : names)
    {
        if (name == v)
            return true;
    }
    return false;
}

bool IsTablePart(const QByteArray& name)
{
    return name == "td" || name == "th" || name == "tr" || name == "tbody" || name == "thead" ||
           name == "tfoot" || name == "caption" || name == "table";
}

// Whether an end tag for name can close elements above open: the parser
// ignores end tags whose element lies beyond a scope boundary.
bool EndTagCrosses(const QByteArray& open, const QByteArray& name)
{
    if (open == "template" || open == "html")
        return false;
    if (IsTablePart(name))
        return open != "table";
    return !IsTablePart(open) && open != "object" && open != "applet" && open != "marquee";
}

// Finds "</name" (any case) from nFrom; -1 when missing.
qsizetype FindEndTag(const QByteArray& s, qsizetype nFrom, const QByteArray& name)
{
    const char* p = s.constData();
    const qsizetype n = s.size();
    for (qsizetype i = nFrom; i + 2 + name.size() <= n; ++i)
    {
        if (p[i] != '<' || p[i + 1] != '/')
            continue;
        if (qstrnicmp(p + i + 2, name.constData(), name.size()) == 0)
        {
            const qsizetype j = i + 2 + name.size();
            if (j >= n || IsSpace(p[j]) || p[j] == '>' || p[j] == '/')
                return i;
        }
    }
    return -1;
}

QByteArray AttributeView(const GumboElement& element, const char* pszName)
{
    const GumboAttribute* pAttribute = gumbo_get_attribute(&element.attributes, pszName);
    return pAttribute ? QByteArray::fromRawData(pAttribute->value, qstrlen(pAttribute->value))
                      : QByteArray();
}

QByteArray TagName(const GumboElement& element)
{
    if (element.tag != GUMBO_TAG_UNKNOWN)
    {
        const char* pszName = gumbo_normalized_tagname(element.tag);
        return QByteArray::fromRawData(pszName, qstrlen(pszName));
    }
    GumboStringPiece piece = element.original_tag;
    if (!piece.data)
        return QByteArray();
    gumbo_tag_from_original_text(&piece);
    const QByteArray name = QByteArray(piece.data, static_cast<qsizetype>(piece.length)).toLower();
    return name.startsWith(FormattingPrefix) ? name.mid(FormattingPrefix.size()) : name;
}

// Whether the element is displayed, and its visibility given its parent's:
// inline styles over the sheets, the sheets over the hidden attribute.
// With sheets, the element stays pushed on them for the caller to pop.
bool IsDisplayed(const GumboElement& element, CCssRules& rules, bool bParentVisible, bool& bVisible)
{
    CCssRules::SStyle style;
    if (!rules.IsEmpty())
        style = rules.Push(TagName(element), AttributeView(element, "id"),
                           AttributeView(element, "class"));
    const QByteArray inlineStyle = AttributeView(element, "style");
    if (!inlineStyle.isEmpty())
        CCssRules::Merge(style, CCssRules::ParseInline(inlineStyle));
    const CCssRules::EValue eVisibility = style.visibility.eValue;
    bVisible = eVisibility == CCssRules::VISIBILITY_VISIBLE ||
               (eVisibility != CCssRules::VISIBILITY_HIDDEN && bParentVisible);
    if (style.display.nRank != 0)
        return style.display.eValue != CCssRules::DISPLAY_NONE;
    return !gumbo_get_attribute(&element.attributes, "hidden");
}

bool IsStyleSheetType(const GumboElement& element)
{
    const QByteArray type = AttributeView(element, "type").trimmed().toLower();
    return type.isEmpty() || type == "text/css";
}

bool HasToken(const QByteArray& list, const char* pszToken)
{
    for (const QByteArray& token : list.toLower().simplified().split(' '))
    {
        if (token == pszToken)
            return true;
    }
    return false;
}

// The page's own style sheets, and those its links name that the caller
// holds, in document order.
void CollectSheets(const GumboNode* pRoot, CCssRules& rules, const CHtmlText::SheetLookup& lookup)
{
    std::vector<const GumboNode*> stack{pRoot};
    while (!stack.empty())
    {
        const GumboNode* pNode = stack.back();
        stack.pop_back();
        if (pNode->type != GUMBO_NODE_ELEMENT)
            continue;
        const GumboElement& element = pNode->v.element;
        // A browser that runs scripts reads noscript as text.
        if (element.tag == GUMBO_TAG_TEMPLATE || element.tag == GUMBO_TAG_NOSCRIPT)
            continue;
        const bool bApplies =
            IsStyleSheetType(element) && CCssRules::MediaApplies(AttributeView(element, "media"));
        if (element.tag == GUMBO_TAG_STYLE)
        {
            if (!bApplies)
                continue;
            QByteArray css;
            for (unsigned i = 0; i < element.children.length; ++i)
            {
                const auto* pChild = static_cast<const GumboNode*>(element.children.data[i]);
                if (pChild->type == GUMBO_NODE_TEXT || pChild->type == GUMBO_NODE_WHITESPACE)
                    css.append(pChild->v.text.text);
            }
            rules.AddSheet(css);
            continue;
        }
        if (element.tag == GUMBO_TAG_LINK)
        {
            const QByteArray rel = AttributeView(element, "rel");
            const QByteArray href = AttributeView(element, "href").trimmed();
            if (bApplies && lookup && !href.isEmpty() && HasToken(rel, "stylesheet") &&
                !HasToken(rel, "alternate") &&
                !gumbo_get_attribute(&element.attributes, "disabled"))
                rules.AddSheet(lookup(href));
            continue;
        }
        for (unsigned i = element.children.length; i > 0; --i)
            stack.push_back(static_cast<const GumboNode*>(element.children.data[i - 1]));
    }
}

bool IsSkipped(GumboTag tag)
{
    switch (tag)
    {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_MAP:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
        return true;
    default:
        return false;
    }
}

// Line breaks a block asks for before and after it (0 for inline).
int BlockBreaks(GumboTag tag)
{
    switch (tag)
    {
    case GUMBO_TAG_P:
        return 2;
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_DIR:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HGROUP:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_SUMMARY:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_FRAMESET:
        return 1;
    default:
        return 0;
    }
}

bool IsPre(GumboTag tag)
{
    return tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_LISTING || tag == GUMBO_TAG_PLAINTEXT ||
           tag == GUMBO_TAG_XMP;
}

class CTextBuilder
{
public:
    void Text(const char* pszUtf8, bool bPre)
    {
        const QString strText = QString::fromUtf8(pszUtf8);
        for (qsizetype i = 0; i < strText.size(); ++i)
        {
            const QChar c = strText.at(i);
            const bool bSpace = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
            if (bPre)
            {
                FlushBreaks();
                m_bSpace = false;
                if (c == u'\r')
                {
                    if (i + 1 < strText.size() && strText.at(i + 1) == u'\n')
                        ++i;
                    m_strOut.append(QLatin1Char('\n'));
                }
                else
                    m_strOut.append(c);
                continue;
            }
            if (bSpace)
            {
                if (!AtLineStart())
                    m_bSpace = true;
                continue;
            }
            FlushBreaks();
            if (m_bSpace && !AtLineStart())
                m_strOut.append(QLatin1Char(' '));
            m_bSpace = false;
            m_strOut.append(c);
        }
    }
    void LineBreak()
    {
        FlushBreaks();
        m_bSpace = false;
        m_strOut.append(QLatin1Char('\n'));
    }
    // Cells part by a tab alone: the line breaks their paragraphs ask for
    // would leave a table as a column of tabs and empty lines.
    void Tab()
    {
        m_nBreaks = 0;
        m_bSpace = false;
        m_strOut.append(QLatin1Char('\t'));
        m_bAfterCellTab = true;
    }
    void Breaks(int n)
    {
        m_bSpace = false;
        if (n > m_nBreaks)
            m_nBreaks = n;
    }
    QString Take()
    {
        QString strOut = m_strOut;
        m_strOut.clear();
        while (!strOut.isEmpty() && (strOut.back() == u'\n' || strOut.back() == u' '))
            strOut.chop(1);
        return strOut;
    }

private:
    bool AtLineStart() const { return m_strOut.isEmpty() || m_strOut.back() == u'\n'; }
    void FlushBreaks()
    {
        if (m_bAfterCellTab)
        {
            m_bAfterCellTab = false;
            m_nBreaks = 0;
        }
        if (m_nBreaks > 0 && !m_strOut.isEmpty())
        {
            int nHave = 0;
            for (qsizetype i = m_strOut.size() - 1;
                 i >= 0 && nHave < m_nBreaks && m_strOut.at(i) == u'\n'; --i)
                ++nHave;
            for (int i = nHave; i < m_nBreaks; ++i)
                m_strOut.append(QLatin1Char('\n'));
        }
        m_nBreaks = 0;
    }

    QString m_strOut;
    int m_nBreaks = 0;
    bool m_bAfterCellTab = false;
    bool m_bSpace = false;
};

QString TreeText(const GumboNode* pRoot, const GumboNode* pStart, CCssRules& rules)
{
    CTextBuilder builder;
    struct Frame
    {
        const GumboNode* pNode;
        unsigned nNext;
        bool bPre;
        bool bCellSeen;
        bool bVisible;
    };
    // The root stands above the body as an ancestor that selectors match.
    bool bVisible = true;
    if (pStart != pRoot && pRoot->type == GUMBO_NODE_ELEMENT &&
        !IsDisplayed(pRoot->v.element, rules, true, bVisible))
        return QString();
    if (pStart->type == GUMBO_NODE_ELEMENT &&
        !IsDisplayed(pStart->v.element, rules, bVisible, bVisible))
        return QString();
    std::vector<Frame> stack;
    stack.push_back({pStart, 0, false, false, bVisible});
    while (!stack.empty())
    {
        Frame& frame = stack.back();
        const GumboNode* pNode = frame.pNode;
        const GumboVector* pChildren = nullptr;
        if (pNode->type == GUMBO_NODE_ELEMENT)
            pChildren = &pNode->v.element.children;
        else if (pNode->type == GUMBO_NODE_DOCUMENT)
            pChildren = &pNode->v.document.children;
        if (!pChildren || frame.nNext >= pChildren->length)
        {
            if (pNode->type == GUMBO_NODE_ELEMENT && frame.bVisible)
            {
                if (int n = BlockBreaks(pNode->v.element.tag))
                    builder.Breaks(n);
            }
            stack.pop_back();
            if (!rules.IsEmpty())
                rules.Pop();
            continue;
        }
        const auto* pChild = static_cast<const GumboNode*>(pChildren->data[frame.nNext++]);
        const bool bPre = frame.bPre;
        switch (pChild->type)
        {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            if (frame.bVisible)
                builder.Text(pChild->v.text.text, bPre);
            break;
        case GUMBO_NODE_ELEMENT:
        {
            const GumboElement& element = pChild->v.element;
            if (IsSkipped(element.tag))
                break;
            bool bChildVisible = false;
            const bool bDisplayed = IsDisplayed(element, rules, frame.bVisible, bChildVisible);
            if (!bDisplayed || element.tag == GUMBO_TAG_BR)
            {
                if (!rules.IsEmpty())
                    rules.Pop();
                if (bDisplayed && bChildVisible)
                    builder.LineBreak();
                break;
            }
            if (bChildVisible)
            {
                // Cells of a row are parted by tabs.
                if (element.tag == GUMBO_TAG_TD || element.tag == GUMBO_TAG_TH)
                {
                    if (frame.bCellSeen)
                        builder.Tab();
                    frame.bCellSeen = true;
                }
                if (int n = BlockBreaks(element.tag))
                    builder.Breaks(n);
            }
            stack.push_back({pChild, 0, bPre || IsPre(element.tag), false, bChildVisible});
            break;
        }
        default:
            break;
        }
    }
    return builder.Take();
}

const GumboNode* FindBody(const GumboNode* pRoot)
{
    if (!pRoot || pRoot->type != GUMBO_NODE_ELEMENT)
        return pRoot;
    const GumboVector& children = pRoot->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
    {
        const auto* pChild = static_cast<const GumboNode*>(children.data[i]);
        if (pChild->type == GUMBO_NODE_ELEMENT && (pChild->v.element.tag == GUMBO_TAG_BODY ||
                                                   pChild->v.element.tag == GUMBO_TAG_FRAMESET))
            return pChild;
    }
    return pRoot;
}

QByteArray CharsetFromContent(const QByteArray& content)
{
    const QByteArray lower = content.toLower();
    const qsizetype nAt = lower.indexOf("charset");
    if (nAt < 0)
        return QByteArray();
    qsizetype i = nAt + 7;
    while (i < lower.size() && IsSpace(lower.at(i)))
        ++i;
    if (i >= lower.size() || lower.at(i) != '=')
        return QByteArray();
    ++i;
    while (i < lower.size() && IsSpace(lower.at(i)))
        ++i;
    char quote = 0;
    if (i < lower.size() && (lower.at(i) == '"' || lower.at(i) == '\''))
        quote = lower.at(i++);
    const qsizetype nStart = i;
    while (i < lower.size() && lower.at(i) != quote && lower.at(i) != ';' &&
           (quote || !IsSpace(lower.at(i))))
        ++i;
    return lower.mid(nStart, i - nStart);
}
} // namespace

unsigned CHtmlText::DetectCodePage(const QByteArray& html)
{
    if (html.startsWith("\xEF\xBB\xBF"))
        return CCodePage::CP_UTF8;
    if (html.startsWith("\xFF\xFE"))
        return CCodePage::CP_UTF16LE;
    if (html.startsWith("\xFE\xFF"))
        return CCodePage::CP_UTF16BE;
    // The meta declarations in the first few kilobytes, as browsers look.
    const QByteArray head = html.left(8192);
    const char* p = head.constData();
    const qsizetype n = head.size();
    for (qsizetype i = 0; i + 5 < n; ++i)
    {
        if (p[i] != '<')
            continue;
        if (p[i + 1] == '!' && i + 3 < n && p[i + 2] == '-' && p[i + 3] == '-')
        {
            const qsizetype nEnd = head.indexOf("-->", i + 4);
            if (nEnd < 0)
                break;
            i = nEnd + 2;
            continue;
        }
        if (qstrnicmp(p + i + 1, "meta", 4) != 0 || !(IsSpace(p[i + 5]) || p[i + 5] == '/'))
            continue;
        // Read the tag's attributes.
        qsizetype j = i + 5;
        QByteArray charset;
        QByteArray httpEquiv;
        QByteArray content;
        while (j < n && p[j] != '>')
        {
            while (j < n && (IsSpace(p[j]) || p[j] == '/'))
                ++j;
            const qsizetype nNameStart = j;
            while (j < n && !IsSpace(p[j]) && p[j] != '=' && p[j] != '>' && p[j] != '/')
                ++j;
            const QByteArray name = Lower(p + nNameStart, j - nNameStart);
            QByteArray value;
            while (j < n && IsSpace(p[j]))
                ++j;
            if (j < n && p[j] == '=')
            {
                ++j;
                while (j < n && IsSpace(p[j]))
                    ++j;
                if (j < n && (p[j] == '"' || p[j] == '\''))
                {
                    const char q = p[j++];
                    const qsizetype nValueStart = j;
                    while (j < n && p[j] != q)
                        ++j;
                    value = QByteArray(p + nValueStart, j - nValueStart);
                    if (j < n)
                        ++j;
                }
                else
                {
                    const qsizetype nValueStart = j;
                    while (j < n && !IsSpace(p[j]) && p[j] != '>')
                        ++j;
                    value = QByteArray(p + nValueStart, j - nValueStart);
                }
            }
            if (name.isEmpty())
            {
                if (j < n && p[j] != '>')
                    ++j;
                continue;
            }
            if (name == "charset")
                charset = value;
            else if (name == "http-equiv")
                httpEquiv = value.toLower();
            else if (name == "content")
                content = value;
        }
        if (charset.isEmpty() && httpEquiv == "content-type")
            charset = CharsetFromContent(content);
        if (!charset.isEmpty())
        {
            unsigned nPage = CCodePage::ForCharsetName(charset);
            // A page that reached us as bytes cannot really be UTF-16.
            if (nPage == CCodePage::CP_UTF16LE || nPage == CCodePage::CP_UTF16BE)
                nPage = CCodePage::CP_UTF8;
            if (nPage != 0)
                return nPage;
        }
        i = j;
    }
    return CCodePage::CP_ACP;
}

QByteArray CHtmlText::BoundMarkup(const QByteArray& utf8)
{
    QByteArray out;
    out.reserve(utf8.size());
    const char* p = utf8.constData();
    const qsizetype n = utf8.size();
    std::vector<QByteArray> open;
    int nTables = 0;
    // Formatting elements left open are cloned around every later run of
    // text, so a page can make the parser's work grow with the square of
    // its size; renamed to names it does not know, they give the same text
    // and are never cloned, and style sheets still see their own names.
    // Per name, whether each start tag was passed on, for its end tag.
    std::map<QByteArray, std::vector<bool>> formatting;
    qsizetype i = 0;
    while (i < n)
    {
        const qsizetype nLt = utf8.indexOf('<', i);
        const qsizetype nTextEnd = nLt < 0 ? n : nLt;
        if (nTextEnd > i)
            out.append(p + i, nTextEnd - i);
        if (nLt < 0)
            break;
        i = nLt;
        if (i + 1 >= n)
        {
            out.append(p + i, n - i);
            break;
        }
        const char c1 = p[i + 1];
        if (c1 == '!' || c1 == '?')
        {
            // Comments, doctypes and processing instructions pass whole.
            qsizetype nEnd;
            if (i + 3 < n && p[i + 2] == '-' && p[i + 3] == '-')
            {
                nEnd = utf8.indexOf("-->", i + 4);
                nEnd = nEnd < 0 ? n : nEnd + 3;
            }
            else
            {
                nEnd = utf8.indexOf('>', i + 2);
                nEnd = nEnd < 0 ? n : nEnd + 1;
            }
            out.append(p + i, nEnd - i);
            i = nEnd;
            continue;
        }
        const bool bEnd = c1 == '/';
        const qsizetype nNameStart = bEnd ? i + 2 : i + 1;
        if (nNameStart >= n || !IsAlpha(p[nNameStart]))
        {
            out.append('<');
            ++i;
            continue;
        }
        qsizetype j = nNameStart;
        while (j < n && !IsSpace(p[j]) && p[j] != '>' && p[j] != '/')
            ++j;
        const QByteArray name = Lower(p + nNameStart, j - nNameStart);
        const bool bFormatting = IsFormatting(name);
        // Attributes: quoted values may hold '>'.
        const QByteArray openName = bFormatting ? FormattingPrefix + name : name;
        QByteArray tag = bFormatting ? (bEnd ? "</" : "<") + openName : QByteArray(p + i, j - i);
        int nTagAttributes = 0;
        bool bHiddenKept = false;
        bool bStyleKept = false;
        bool bSelfClosing = false;
        while (j < n && p[j] != '>')
        {
            if (IsSpace(p[j]) || p[j] == '/')
            {
                bSelfClosing = p[j] == '/';
                ++j;
                continue;
            }
            const qsizetype nAttrStart = j;
            while (j < n && !IsSpace(p[j]) && p[j] != '>' && p[j] != '=' &&
                   !(p[j] == '/' && j + 1 < n && p[j + 1] == '>'))
                ++j;
            if (j == nAttrStart)
                ++j;
            const QByteArray attrName = Lower(p + nAttrStart, qMin<qsizetype>(j - nAttrStart, 8));
            const bool bHidden = attrName == "hidden" && j - nAttrStart == 6;
            const bool bStyle = attrName == "style" && j - nAttrStart == 5;
            while (j < n && IsSpace(p[j]))
                ++j;
            if (j < n && p[j] == '=')
            {
                ++j;
                while (j < n && IsSpace(p[j]))
                    ++j;
                if (j < n && (p[j] == '"' || p[j] == '\''))
                {
                    const char q = p[j];
                    const qsizetype nClose = utf8.indexOf(q, j + 1);
                    j = nClose < 0 ? n : nClose + 1;
                }
                else
                {
                    while (j < n && !IsSpace(p[j]) && p[j] != '>')
                        ++j;
                }
            }
            bSelfClosing = false;
            ++nTagAttributes;
            // Past the bound only what hides text is kept, once: the parser
            // takes the first of repeated attributes.
            const bool bKeep = nTagAttributes <= MaxAttributesPerTag || (bHidden && !bHiddenKept) ||
                               (bStyle && !bStyleKept);
            if (!bEnd && bKeep)
            {
                bHiddenKept = bHiddenKept || bHidden;
                bStyleKept = bStyleKept || bStyle;
                tag.append(' ');
                tag.append(p + nAttrStart, j - nAttrStart);
            }
        }
        const qsizetype nTagEnd = j < n ? j + 1 : n;
        if (bSelfClosing)
            tag.append('/');
        tag.append('>');
        i = nTagEnd;

        if (bEnd)
        {
            if (bFormatting)
            {
                std::vector<bool>& starts = formatting[name];
                const bool bPassed = !starts.empty() && starts.back();
                if (!starts.empty())
                    starts.pop_back();
                if (!bPassed)
                    continue;
            }
            for (size_t k = open.size(); k > 0 && open.size() - k < 64; --k)
            {
                if (open[k - 1] == openName)
                {
                    for (size_t m = k - 1; m < open.size(); ++m)
                    {
                        if (IsTableLike(open[m]))
                            --nTables;
                    }
                    open.resize(k - 1);
                    break;
                }
                if (!EndTagCrosses(open[k - 1], openName))
                    break;
            }
            out.append(tag);
            continue;
        }
        if (IsRawText(name))
        {
            // The element's text is not markup: copy it to its end tag.
            out.append(tag);
            const qsizetype nClose = FindEndTag(utf8, i, name);
            const qsizetype nStop = nClose < 0 ? n : nClose;
            out.append(p + i, nStop - i);
            i = nStop;
            continue;
        }
        if (name == "plaintext")
        {
            out.append(tag);
            out.append(p + i, n - i);
            break;
        }
        if (IsVoid(name))
        {
            out.append(tag);
            continue;
        }
        // "<div/>" opens a div in HTML, so a slash does not close the count.
        if (IsSelfClosingGroup(name))
        {
            while (!open.empty() && IsSelfClosingGroup(open.back()))
                open.pop_back();
        }
        const bool bTable = IsTableLike(name);
        const bool bPass =
            static_cast<int>(open.size()) < MaxDepth && !(bTable && nTables >= MaxTableDepth);
        if (bFormatting)
            formatting[name].push_back(bPass);
        if (!bPass)
            continue;
        if (bTable)
            ++nTables;
        open.push_back(openName);
        out.append(tag);
    }
    return out;
}

bool CHtmlText::LooksLikeHtml(const QByteArray& head)
{
    QByteArray start = head.left(1024).trimmed().toLower();
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3).trimmed();
    return start.startsWith("<!doctype html") || start.startsWith("<html") ||
           start.startsWith("<head") || start.startsWith("<body") ||
           (start.startsWith("<") && start.contains("<html"));
}

QString CHtmlText::FromHtml(const QByteArray& html, unsigned nCodePage, const SheetLookup& lookup)
{
    if (nCodePage == 0)
        nCodePage = DetectCodePage(html);
    QByteArray body = html;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    else if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF"))
        body.remove(0, 2);
    const QByteArray utf8 =
        nCodePage == CCodePage::CP_UTF8 ? body : CCodePage::ToUnicode(body, nCodePage).toUtf8();
    const QByteArray bounded = BoundMarkup(utf8);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput* pOutput = gumbo_parse_with_options(&options, bounded.constData(),
                                                    static_cast<size_t>(bounded.size()));
    if (!pOutput)
        return QString();
    CCssRules rules;
    CollectSheets(pOutput->root, rules, lookup);
    const QString strText = TreeText(pOutput->root, FindBody(pOutput->root), rules);
    gumbo_destroy_output(&options, pOutput);
    return strText;
}
