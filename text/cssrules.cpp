#include "text/cssrules.h"

#include <algorithm>
#include <cstring>

namespace
{
// Far above what real pages hold, which keep few display or visibility
// rules; they bound memory and matching time on hostile sheets.
constexpr int MaxRules = 20000;
constexpr int MaxCompounds = 32;
constexpr qsizetype MaxSelectorBytes = 2048;
constexpr qsizetype MaxValueBytes = 96;
constexpr qsizetype MaxMediaBytes = 4096;
// Compound tests for a whole page: hundreds of times what a large page with
// a thousand rules needs. Past it the sheets stop applying, so that crafted
// selectors cannot make the walk quadratic.
constexpr qint64 MatchBudget = 400000000;

constexpr quint64 ImportantBit = quint64(1) << 63;
constexpr quint64 InlineBit = quint64(1) << 62;
constexpr int SpecificityShift = 32;

enum
{
    SelectorRead,
    SelectorUnreadable,
    SelectorInvalid
};

// Marks where a comment stood in a selector: it parts tokens, but is no
// white space.
constexpr char CommentMark = '\x01';

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsIdentifier(const QByteArray& name)
{
    if (name.isEmpty() || IsDigit(name.at(0)))
        return false;
    if (name.at(0) == '-')
        return name.size() > 1 && !IsDigit(name.at(1));
    return true;
}

bool IsCommentStart(const char* p, qsizetype i, qsizetype n)
{
    return p[i] == '/' && i + 1 < n && p[i + 1] == '*';
}

qsizetype SkipComment(const char* p, qsizetype i, qsizetype n)
{
    for (i += 2; i + 1 < n; ++i)
    {
        if (p[i] == '*' && p[i + 1] == '/')
            return i + 2;
    }
    return n;
}

// A string ends at its quote, or unterminated at the end of its line.
qsizetype SkipString(const char* p, qsizetype i, qsizetype n)
{
    const char quote = p[i];
    for (++i; i < n; ++i)
    {
        if (p[i] == '\\')
            ++i;
        else if (p[i] == quote)
            return i + 1;
        else if (p[i] == '\n')
            return i;
    }
    return n;
}

// Steps over one comment, string or escape at i; false when none is there.
bool SkipOpaque(const char* p, qsizetype& i, qsizetype n)
{
    if (IsCommentStart(p, i, n))
        i = SkipComment(p, i, n);
    else if (p[i] == '"' || p[i] == '\'')
        i = SkipString(p, i, n);
    else if (p[i] == '\\')
        i = qMin(n, i + 2);
    else
        return false;
    return true;
}

// The first of the stop characters at i or after, outside comments and
// strings; n when none.
qsizetype FindStop(const char* p, qsizetype i, qsizetype n, const char* pszStops, char cStop)
{
    while (i < n)
    {
        if (SkipOpaque(p, i, n))
            continue;
        if (p[i] == cStop || (p[i] != '\0' && std::strchr(pszStops, p[i])))
            return i;
        ++i;
    }
    return n;
}

// From just inside a '{', the '}' that closes it; n when none does.
qsizetype FindBlockEnd(const char* p, qsizetype i, qsizetype n)
{
    qsizetype nDepth = 0;
    while (i < n)
    {
        if (SkipOpaque(p, i, n))
            continue;
        if (p[i] == '{')
            ++nDepth;
        else if (p[i] == '}')
        {
            if (nDepth == 0)
                return i;
            --nDepth;
        }
        ++i;
    }
    return n;
}

// The ';' that ends a declaration, outside brackets; n when none.
qsizetype FindDeclarationEnd(const char* p, qsizetype i, qsizetype n)
{
    qsizetype nDepth = 0;
    while (i < n)
    {
        if (SkipOpaque(p, i, n))
            continue;
        const char c = p[i];
        if (c == '(' || c == '[' || c == '{')
            ++nDepth;
        else if ((c == ')' || c == ']' || c == '}') && nDepth > 0)
            --nDepth;
        else if (c == ';' && nDepth == 0)
            return i;
        ++i;
    }
    return n;
}

// Lower case, comments as spaces; empty past nMax bytes, which no value
// that matters here reaches.
QByteArray CleanValue(const char* p, qsizetype i, qsizetype n, qsizetype nMax)
{
    QByteArray value;
    while (i < n)
    {
        if (IsCommentStart(p, i, n))
        {
            i = SkipComment(p, i, n);
            value.append(' ');
        }
        else
        {
            const char c = p[i++];
            value.append(IsSpace(c) ? ' ' : (c >= 'A' && c <= 'Z') ? char(c + 32) : c);
        }
        if (value.size() > nMax)
            return QByteArray();
    }
    return value.simplified();
}

bool IsDisplayKeyword(const QByteArray& word)
{
    static const char* const keywords[] = {"block",
                                           "inline",
                                           "inline-block",
                                           "flex",
                                           "inline-flex",
                                           "grid",
                                           "inline-grid",
                                           "table",
                                           "inline-table",
                                           "table-row",
                                           "table-cell",
                                           "table-column",
                                           "table-column-group",
                                           "table-header-group",
                                           "table-footer-group",
                                           "table-row-group",
                                           "table-caption",
                                           "list-item",
                                           "contents",
                                           "flow",
                                           "flow-root",
                                           "run-in",
                                           "ruby",
                                           "ruby-base",
                                           "ruby-text",
                                           "ruby-base-container",
                                           "ruby-text-container",
                                           "math",
                                           "-webkit-box",
                                           "-webkit-inline-box",
                                           "-moz-box",
                                           "-moz-inline-box",
                                           "-ms-flexbox",
                                           "-ms-inline-flexbox",
                                           "-ms-grid",
                                           "-ms-inline-grid",
                                           "inherit",
                                           "initial",
                                           "unset",
                                           "revert",
                                           "revert-layer"};
    for (const char* k : keywords)
    {
        if (word == k)
            return true;
    }
    return false;
}

// One declaration's value; VALUE_UNSET when the browser would drop it.
CCssRules::EValue ReadValue(bool bDisplay, QByteArray value, bool& bImportant)
{
    bImportant = false;
    const qsizetype nBang = value.indexOf('!');
    if (nBang >= 0)
    {
        if (value.mid(nBang + 1).trimmed() != "important")
            return CCssRules::VALUE_UNSET;
        bImportant = true;
        value = value.left(nBang).trimmed();
    }
    if (value.isEmpty())
        return CCssRules::VALUE_UNSET;
    if (!bDisplay)
    {
        if (value == "hidden" || value == "collapse")
            return CCssRules::VISIBILITY_HIDDEN;
        if (value == "visible" || value == "initial")
            return CCssRules::VISIBILITY_VISIBLE;
        if (value == "inherit" || value == "unset" || value == "revert" || value == "revert-layer")
            return CCssRules::VISIBILITY_INHERIT;
        return CCssRules::VALUE_UNSET;
    }
    if (value == "none")
        return CCssRules::DISPLAY_NONE;
    for (const QByteArray& word : value.split(' '))
    {
        if (!IsDisplayKeyword(word))
            return CCssRules::VALUE_UNSET;
    }
    return CCssRules::DISPLAY_SHOWN;
}

// The two properties of a declaration block, ranked 1 when declared and 2
// when important: the last declaration wins unless an earlier one is
// important.
CCssRules::SStyle ParseDeclarations(const char* p, qsizetype i, qsizetype n)
{
    CCssRules::SStyle style;
    while (i < n)
    {
        if (IsSpace(p[i]) || p[i] == ';')
        {
            ++i;
            continue;
        }
        if (IsCommentStart(p, i, n))
        {
            i = SkipComment(p, i, n);
            continue;
        }
        qsizetype j = i;
        while (j < n && IsNameChar(p[j]))
            ++j;
        const qsizetype nEnd = FindDeclarationEnd(p, j, n);
        const QByteArray name = QByteArray(p + i, j - i).toLower();
        const bool bDisplay = name == "display";
        if (bDisplay || name == "visibility")
        {
            while (j < nEnd && (IsSpace(p[j]) || IsCommentStart(p, j, nEnd)))
                j = IsSpace(p[j]) ? j + 1 : SkipComment(p, j, nEnd);
            if (j < nEnd && p[j] == ':')
            {
                bool bImportant = false;
                const CCssRules::EValue eValue =
                    ReadValue(bDisplay, CleanValue(p, j + 1, nEnd, MaxValueBytes), bImportant);
                CCssRules::SDeclaration& declaration = bDisplay ? style.display : style.visibility;
                const quint64 nRank = bImportant ? 2 : 1;
                if (eValue != CCssRules::VALUE_UNSET && nRank >= declaration.nRank)
                    declaration = {nRank, eValue};
            }
        }
        i = nEnd + 1;
    }
    return style;
}
} // namespace

CCssRules::CCssRules() : m_nBudget(MatchBudget) {}

bool CCssRules::MediaApplies(const QByteArray& media)
{
    const QByteArray list = CleanValue(media.constData(), 0, media.size(), MaxMediaBytes);
    if (list.isEmpty())
        return media.trimmed().isEmpty();
    for (const QByteArray& entry : list.split(','))
    {
        const QByteArray query = entry.simplified();
        if (query == "all" || query == "screen" || query == "only screen" || query == "only all")
            return true;
    }
    return false;
}

CCssRules::SStyle CCssRules::ParseInline(const QByteArray& style)
{
    SStyle declared = ParseDeclarations(style.constData(), 0, style.size());
    for (SDeclaration* pDeclaration : {&declared.display, &declared.visibility})
    {
        if (pDeclaration->nRank != 0)
            pDeclaration->nRank = InlineBit | (pDeclaration->nRank == 2 ? ImportantBit : 0);
    }
    return declared;
}

void CCssRules::Merge(SStyle& style, const SStyle& over)
{
    if (over.display.nRank > style.display.nRank)
        style.display = over.display;
    if (over.visibility.nRank > style.visibility.nRank)
        style.visibility = over.visibility;
}

void CCssRules::AddSheet(const QByteArray& css)
{
    ParseRuleList(css.constData(), css.size());
}

void CCssRules::ParseRuleList(const char* p, qsizetype n)
{
    // Blocks of rules that apply (@media screen) are read in place, so that
    // nesting costs nothing; their closing brace is met as a rule would be.
    qsizetype nOpenBlocks = 0;
    qsizetype i = 0;
    while (i < n && static_cast<int>(m_rules.size()) < MaxRules)
    {
        if (IsSpace(p[i]))
        {
            ++i;
            continue;
        }
        if (IsCommentStart(p, i, n))
        {
            i = SkipComment(p, i, n);
            continue;
        }
        // The markers that hid sheets from old browsers.
        if (n - i >= 4 && qstrncmp(p + i, "<!--", 4) == 0)
        {
            i += 4;
            continue;
        }
        if (n - i >= 3 && qstrncmp(p + i, "-->", 3) == 0)
        {
            i += 3;
            continue;
        }
        if (p[i] == '}' && nOpenBlocks > 0)
        {
            --nOpenBlocks;
            ++i;
            continue;
        }
        const char cClose = nOpenBlocks > 0 ? '}' : '{';
        if (p[i] == '@')
        {
            qsizetype j = i + 1;
            while (j < n && IsNameChar(p[j]))
                ++j;
            const QByteArray name = QByteArray(p + i + 1, j - i - 1).toLower();
            const qsizetype nStop = FindStop(p, j, n, ";{", cClose);
            if (nStop >= n)
                return;
            if (p[nStop] == '}')
                i = nStop;
            else if (p[nStop] == ';')
                i = nStop + 1;
            else if (name == "media" && MediaApplies(QByteArray::fromRawData(p + j, nStop - j)))
            {
                ++nOpenBlocks;
                i = nStop + 1;
            }
            else
                i = FindBlockEnd(p, nStop + 1, n) + 1;
            continue;
        }
        const qsizetype nOpen = FindStop(p, i, n, "{", cClose);
        if (nOpen >= n)
            return;
        if (p[nOpen] == '}')
        {
            i = nOpen;
            continue;
        }
        const qsizetype nBlockEnd = FindBlockEnd(p, nOpen + 1, n);
        const SStyle declared = ParseDeclarations(p, nOpen + 1, nBlockEnd);
        if (declared.display.nRank != 0 || declared.visibility.nRank != 0)
            AddRule(p, i, nOpen, declared);
        i = nBlockEnd + 1;
    }
}

void CCssRules::AddRule(const char* p, qsizetype i, qsizetype n, const SStyle& declared)
{
    QByteArray prelude;
    prelude.reserve(n - i);
    while (i < n)
    {
        if (IsCommentStart(p, i, n))
        {
            i = SkipComment(p, i, n);
            prelude.append(CommentMark);
            continue;
        }
        const qsizetype nStart = i;
        if (!SkipOpaque(p, i, n))
            ++i;
        prelude.append(p + nStart, i - nStart);
    }
    // One selector that cannot be valid drops the whole rule, as in a
    // browser; one that is valid but not read here only drops itself. So
    // the list is read twice rather than held.
    const char* q = prelude.constData();
    const qsizetype m = prelude.size();
    std::vector<SParsedCompound> compounds;
    quint64 nSpecificity = 0;
    for (int nPass = 0; nPass < 2; ++nPass)
    {
        if (nPass == 1)
            ++m_nOrder;
        qsizetype nStart = 0;
        qsizetype nDepth = 0;
        for (qsizetype k = 0; k <= m;)
        {
            if (k < m && SkipOpaque(q, k, m))
                continue;
            if (k < m && (q[k] == '(' || q[k] == '['))
                ++nDepth;
            else if (k < m && (q[k] == ')' || q[k] == ']') && nDepth > 0)
                --nDepth;
            else if (k == m || (q[k] == ',' && nDepth == 0))
            {
                const int nResult = ParseSelector(q + nStart, k - nStart, compounds, nSpecificity);
                if (nResult == SelectorInvalid)
                    return;
                if (nPass == 1 && nResult == SelectorRead)
                    AddSelector(compounds, nSpecificity, declared);
                nStart = k + 1;
            }
            ++k;
        }
    }
}

int CCssRules::ParseSelector(const char* p, qsizetype n, std::vector<SParsedCompound>& compounds,
                             quint64& nSpecificity)
{
    compounds.clear();
    nSpecificity = 0;
    qsizetype i = 0;
    while (i < n && (IsSpace(p[i]) || p[i] == CommentMark))
        ++i;
    if (i == n)
        return SelectorInvalid;
    if (n > MaxSelectorBytes)
        return SelectorUnreadable;
    quint64 nIds = 0;
    quint64 nClasses = 0;
    quint64 nTypes = 0;
    auto readName = [&]()
    {
        const qsizetype nStart = i;
        while (i < n && IsNameChar(p[i]))
            ++i;
        return QByteArray(p + nStart, i - nStart);
    };
    bool bChildOf = false;
    while (true)
    {
        SParsedCompound compound;
        compound.bChildOf = bChildOf;
        bool bAny = false;
        if (p[i] == '*')
        {
            bAny = true;
            ++i;
        }
        else if (IsNameChar(p[i]))
        {
            compound.tag = readName().toLower();
            if (!IsIdentifier(compound.tag))
                return SelectorInvalid;
            bAny = true;
            ++nTypes;
        }
        while (i < n)
        {
            if (p[i] == CommentMark)
            {
                ++i;
                continue;
            }
            if (p[i] != '.' && p[i] != '#')
                break;
            const bool bId = p[i] == '#';
            ++i;
            const QByteArray name = readName();
            if (i < n && p[i] == '\\')
                return SelectorUnreadable;
            if (!IsIdentifier(name))
                return SelectorInvalid;
            if (bId)
            {
                // Two ids in one compound never match an element.
                if (!compound.id.isEmpty() && compound.id != name)
                    return SelectorUnreadable;
                compound.id = name;
                ++nIds;
            }
            else
            {
                compound.classes.push_back(name);
                ++nClasses;
            }
            bAny = true;
        }
        if (i < n && (p[i] == ':' || p[i] == '[' || p[i] == '\\' || p[i] == '|' || p[i] == '&'))
            return SelectorUnreadable;
        if (!bAny)
            return (i < n && (p[i] == '+' || p[i] == '~')) ? SelectorUnreadable : SelectorInvalid;
        compounds.push_back(std::move(compound));
        if (compounds.size() > size_t(MaxCompounds))
            return SelectorUnreadable;
        bool bSpace = false;
        for (; i < n && (IsSpace(p[i]) || p[i] == CommentMark); ++i)
            bSpace = bSpace || IsSpace(p[i]);
        if (i == n)
            break;
        if (p[i] == '+' || p[i] == '~')
            return SelectorUnreadable;
        if (p[i] == '>')
        {
            bChildOf = true;
            ++i;
            while (i < n && (IsSpace(p[i]) || p[i] == CommentMark))
                ++i;
            if (i == n)
                return SelectorInvalid;
        }
        else if (bSpace)
            bChildOf = false;
        else
            return SelectorInvalid;
    }
    // Stored right to left: each compound says how the next one relates.
    std::reverse(compounds.begin(), compounds.end());
    for (size_t k = 0; k < compounds.size(); ++k)
        compounds[k].bChildOf = k + 1 < compounds.size() && compounds[k].bChildOf;
    nSpecificity = (qMin<quint64>(nIds, 1023) << 20) | (qMin<quint64>(nClasses, 1023) << 10) |
                   qMin<quint64>(nTypes, 1023);
    return SelectorRead;
}

int CCssRules::Intern(QHash<QByteArray, int>& names, const QByteArray& name,
                      std::vector<std::vector<int>>& index, std::vector<int>& counts)
{
    const auto it = names.constFind(name);
    if (it != names.constEnd())
        return it.value();
    const int nId = static_cast<int>(index.size());
    names.insert(name, nId);
    index.emplace_back();
    counts.push_back(0);
    return nId;
}

void CCssRules::AddSelector(const std::vector<SParsedCompound>& compounds, quint64 nSpecificity,
                            const SStyle& declared)
{
    std::vector<SCompound> read;
    std::vector<int> classes;
    QByteArray key;
    for (const SParsedCompound& parsed : compounds)
    {
        SCompound compound;
        if (!parsed.tag.isEmpty())
            compound.nTag = Intern(m_tags, parsed.tag, m_byTag, m_tagCounts);
        if (!parsed.id.isEmpty())
            compound.nId = Intern(m_ids, parsed.id, m_byId, m_idCounts);
        compound.nClassBegin = static_cast<int>(m_classPool.size() + classes.size());
        for (const QByteArray& name : parsed.classes)
            classes.push_back(Intern(m_classes, name, m_byClass, m_classCounts));
        compound.nClassCount = static_cast<int>(parsed.classes.size());
        compound.bChildOf = parsed.bChildOf;
        read.push_back(compound);
        const int values[] = {compound.nTag, compound.nId, compound.nClassCount,
                              compound.bChildOf ? 1 : 0};
        key.append(reinterpret_cast<const char*>(values), sizeof values);
        if (compound.nClassCount > 0)
            key.append(reinterpret_cast<const char*>(
                           &classes[classes.size() - size_t(compound.nClassCount)]),
                       compound.nClassCount * qsizetype(sizeof(int)));
    }
    SStyle ranked = declared;
    for (SDeclaration* pDeclaration : {&ranked.display, &ranked.visibility})
    {
        if (pDeclaration->nRank != 0)
            pDeclaration->nRank = (pDeclaration->nRank == 2 ? ImportantBit : 0) |
                                  (nSpecificity << SpecificityShift) | m_nOrder;
    }
    // The same selector again only competes with itself.
    const auto it = m_ruleKeys.constFind(key);
    if (it != m_ruleKeys.constEnd())
    {
        Merge(m_rules[size_t(it.value())].style, ranked);
        return;
    }
    if (static_cast<int>(m_rules.size()) >= MaxRules)
        return;
    SRule rule;
    rule.nFirstCompound = static_cast<int>(m_compounds.size());
    rule.nCompounds = static_cast<int>(read.size());
    rule.style = ranked;
    const int nRule = static_cast<int>(m_rules.size());
    m_rules.push_back(rule);
    m_ruleKeys.insert(key, nRule);
    m_compounds.insert(m_compounds.end(), read.begin(), read.end());
    m_classPool.insert(m_classPool.end(), classes.begin(), classes.end());
    const SCompound& rightmost = read.front();
    if (rightmost.nId >= 0)
        m_byId[size_t(rightmost.nId)].push_back(nRule);
    else if (rightmost.nClassCount > 0)
        m_byClass[size_t(m_classPool[size_t(rightmost.nClassBegin)])].push_back(nRule);
    else if (rightmost.nTag >= 0)
        m_byTag[size_t(rightmost.nTag)].push_back(nRule);
    else
        m_universal.push_back(nRule);
}

bool CCssRules::CompoundMatches(const SCompound& compound, const SElement& element)
{
    --m_nBudget;
    if (compound.nTag >= 0 && compound.nTag != element.nTag)
        return false;
    if (compound.nId >= 0 && compound.nId != element.nId)
        return false;
    const auto begin = m_stackClasses.begin() + element.nClassBegin;
    const auto end = begin + element.nClassCount;
    for (int k = 0; k < compound.nClassCount; ++k)
    {
        if (!std::binary_search(begin, end, m_classPool[size_t(compound.nClassBegin + k)]))
            return false;
    }
    return true;
}

bool CCssRules::AncestorsMayMatch(const SRule& rule) const
{
    for (int k = 1; k < rule.nCompounds; ++k)
    {
        const SCompound& compound = m_compounds[size_t(rule.nFirstCompound + k)];
        if (compound.nTag >= 0 && m_tagCounts[size_t(compound.nTag)] == 0)
            return false;
        if (compound.nId >= 0 && m_idCounts[size_t(compound.nId)] == 0)
            return false;
        for (int c = 0; c < compound.nClassCount; ++c)
        {
            if (m_classCounts[size_t(m_classPool[size_t(compound.nClassBegin + c)])] == 0)
                return false;
        }
    }
    return true;
}

// Compounds joined by child combinators form chains of fixed shape; each
// chain is placed at the nearest ancestor where it fits, which leaves the
// most room for the chains to its left, so no choice is ever undone.
bool CCssRules::RuleMatches(const SRule& rule)
{
    const SCompound* pCompounds = m_compounds.data() + rule.nFirstCompound;
    const int nCompounds = rule.nCompounds;
    int nPos = static_cast<int>(m_stack.size()) - 1;
    if (!CompoundMatches(pCompounds[0], m_stack[size_t(nPos)]))
        return false;
    if (nCompounds == 1)
        return true;
    if (!AncestorsMayMatch(rule))
        return false;
    int k = 0;
    while (pCompounds[k].bChildOf)
    {
        --nPos;
        if (nPos < 0 || !CompoundMatches(pCompounds[k + 1], m_stack[size_t(nPos)]))
            return false;
        ++k;
    }
    ++k;
    while (k < nCompounds)
    {
        int nLast = k;
        while (pCompounds[nLast].bChildOf)
            ++nLast;
        const int nLength = nLast - k + 1;
        bool bFound = false;
        for (int nAt = nPos - 1; nAt - (nLength - 1) >= 0 && m_nBudget > 0; --nAt)
        {
            int m = 0;
            while (m < nLength && CompoundMatches(pCompounds[k + m], m_stack[size_t(nAt - m)]))
                ++m;
            if (m == nLength)
            {
                nPos = nAt - (nLength - 1);
                bFound = true;
                break;
            }
        }
        if (!bFound)
            return false;
        k = nLast + 1;
    }
    return true;
}

CCssRules::SStyle CCssRules::Push(const QByteArray& tag, const QByteArray& id,
                                  const QByteArray& classes)
{
    SElement element;
    element.nClassBegin = static_cast<int>(m_stackClasses.size());
    SStyle style;
    if (m_rules.empty())
    {
        m_stack.push_back(element);
        return style;
    }
    element.nTag = m_tags.value(tag, -1);
    if (!id.isEmpty())
        element.nId = m_ids.value(id, -1);
    const char* p = classes.constData();
    const qsizetype n = classes.size();
    for (qsizetype i = 0; i < n;)
    {
        if (IsSpace(p[i]))
        {
            ++i;
            continue;
        }
        const qsizetype nStart = i;
        while (i < n && !IsSpace(p[i]))
            ++i;
        const int nClass = m_classes.value(QByteArray::fromRawData(p + nStart, i - nStart), -1);
        if (nClass >= 0)
            m_stackClasses.push_back(nClass);
    }
    const auto begin = m_stackClasses.begin() + element.nClassBegin;
    std::sort(begin, m_stackClasses.end());
    m_stackClasses.erase(std::unique(begin, m_stackClasses.end()), m_stackClasses.end());
    element.nClassCount = static_cast<int>(m_stackClasses.size()) - element.nClassBegin;
    m_stack.push_back(element);

    auto consider = [&](const std::vector<int>& rules)
    {
        for (int nRule : rules)
        {
            if (m_nBudget <= 0)
                return;
            const SRule& rule = m_rules[size_t(nRule)];
            if (rule.style.display.nRank <= style.display.nRank &&
                rule.style.visibility.nRank <= style.visibility.nRank)
                continue;
            if (RuleMatches(rule))
                Merge(style, rule.style);
        }
    };
    if (element.nId >= 0)
        consider(m_byId[size_t(element.nId)]);
    for (int k = 0; k < element.nClassCount; ++k)
        consider(m_byClass[size_t(m_stackClasses[size_t(element.nClassBegin + k)])]);
    if (element.nTag >= 0)
        consider(m_byTag[size_t(element.nTag)]);
    consider(m_universal);

    if (element.nTag >= 0)
        ++m_tagCounts[size_t(element.nTag)];
    if (element.nId >= 0)
        ++m_idCounts[size_t(element.nId)];
    for (int k = 0; k < element.nClassCount; ++k)
        ++m_classCounts[size_t(m_stackClasses[size_t(element.nClassBegin + k)])];
    return style;
}

void CCssRules::Pop()
{
    if (m_stack.empty())
        return;
    const SElement element = m_stack.back();
    m_stack.pop_back();
    if (element.nTag >= 0)
        --m_tagCounts[size_t(element.nTag)];
    if (element.nId >= 0)
        --m_idCounts[size_t(element.nId)];
    for (int k = 0; k < element.nClassCount; ++k)
        --m_classCounts[size_t(m_stackClasses[size_t(element.nClassBegin + k)])];
    m_stackClasses.resize(size_t(element.nClassBegin));
}
