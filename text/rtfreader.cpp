#include "text/rtfreader.h"

#include "text/codepage.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace
{
enum class Dest
{
    Text,
    Skip,
    FontTable,
    Header,
    Footer,
    Footnote
};

enum class Word
{
    Unknown,
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Page,
    Uc,
    U,
    Bin,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    F,
    FCharset,
    Cpg,
    Plain,
    Hidden,
    Upr,
    Ud,
    SkipDest,
    FontTable,
    Header,
    Footer,
    Footnote,
    Char
};

struct WordInfo
{
    Word word;
    char16_t ch;
};

const std::unordered_map<std::string_view, WordInfo>& Words()
{
    static const std::unordered_map<std::string_view, WordInfo> words = {
        {"par", {Word::Par, 0}},
        {"line", {Word::Line, 0}},
        {"sect", {Word::Page, 0}},
        {"page", {Word::Page, 0}},
        {"column", {Word::Line, 0}},
        {"tab", {Word::Tab, 0}},
        {"cell", {Word::Cell, 0}},
        {"nestcell", {Word::Cell, 0}},
        {"row", {Word::Row, 0}},
        {"nestrow", {Word::Row, 0}},
        {"uc", {Word::Uc, 0}},
        {"u", {Word::U, 0}},
        {"bin", {Word::Bin, 0}},
        {"ansi", {Word::Ansi, 0}},
        {"mac", {Word::Mac, 0}},
        {"pc", {Word::Pc, 0}},
        {"pca", {Word::Pca, 0}},
        {"ansicpg", {Word::AnsiCpg, 0}},
        {"deff", {Word::Deff, 0}},
        {"f", {Word::F, 0}},
        {"fcharset", {Word::FCharset, 0}},
        {"cpg", {Word::Cpg, 0}},
        {"plain", {Word::Plain, 0}},
        {"v", {Word::Hidden, 0}},
        {"upr", {Word::Upr, 0}},
        {"ud", {Word::Ud, 0}},
        {"fonttbl", {Word::FontTable, 0}},
        {"header", {Word::Header, 0}},
        {"headerl", {Word::Header, 0}},
        {"headerr", {Word::Header, 0}},
        {"headerf", {Word::Header, 0}},
        {"footer", {Word::Footer, 0}},
        {"footerl", {Word::Footer, 0}},
        {"footerr", {Word::Footer, 0}},
        {"footerf", {Word::Footer, 0}},
        {"footnote", {Word::Footnote, 0}},
        {"emdash", {Word::Char, 0x2014}},
        {"endash", {Word::Char, 0x2013}},
        {"emspace", {Word::Char, 0x2003}},
        {"enspace", {Word::Char, 0x2002}},
        {"qmspace", {Word::Char, 0x2005}},
        {"bullet", {Word::Char, 0x2022}},
        {"lquote", {Word::Char, 0x2018}},
        {"rquote", {Word::Char, 0x2019}},
        {"ldblquote", {Word::Char, 0x201C}},
        {"rdblquote", {Word::Char, 0x201D}},
        {"zwj", {Word::Char, 0x200D}},
        {"zwnj", {Word::Char, 0x200C}},
        {"ltrmark", {Word::Char, 0x200E}},
        {"rtlmark", {Word::Char, 0x200F}},
    };
    return words;
}

bool IsSkippedDestination(std::string_view name)
{
    static const std::unordered_map<std::string_view, bool> skipped = {
        {"colortbl", true},
        {"stylesheet", true},
        {"info", true},
        {"pict", true},
        {"object", false},
        {"objdata", true},
        {"listtable", true},
        {"listtext", true},
        {"pntext", true},
        {"revtbl", true},
        {"filetbl", true},
        {"fldinst", true},
        {"pn", true},
        {"xe", true},
        {"tc", true},
        {"txe", true},
        {"rxe", true},
        {"template", true},
        {"docvar", true},
        {"private", true},
        {"ftnsep", true},
        {"ftnsepc", true},
        {"ftncn", true},
        {"aftnsep", true},
        {"aftnsepc", true},
        {"aftncn", true},
        {"annotation", true},
        {"atnid", true},
        {"atnauthor", true},
        {"nonshppict", true},
        {"themedata", true},
        {"datastore", true},
        {"latentstyles", true},
        {"generator", true},
        {"listoverridetable", true},
        {"rsidtbl", true},
        {"xmlnstbl", true},
        {"mmathPr", true},
        {"colorschememapping", true},
        {"pgdsctbl", true},
        {"datafield", true},
        {"formfield", true},
        {"bkmkstart", true},
        {"bkmkend", true},
        {"userprops", true},
        {"fchars", true},
        {"lchars", true},
        {"pgptbl", true},
        {"protusertbl", true},
        {"wgrffmtfilter", true},
        {"defchp", true},
        {"defpap", true},
        {"sp", true},
        {"shpinst", true},
        {"shprslt", false},
    };
    const auto it = skipped.find(name);
    return it != skipped.end() && it->second;
}

struct State
{
    Dest dest = Dest::Text;
    Dest destBeforeUpr = Dest::Text;
    int nUc = 1;
    unsigned nCodePage = 1252;
    bool bHidden = false;
};

class CParser
{
public:
    explicit CParser(const QByteArray& rtf) : m_rtf(rtf) {}
    QString Run();

private:
    void Flush();
    void Emit(char16_t ch);
    void EmitBreak();
    void ControlWord(std::string_view name, bool bHasParam, long nParam);
    QString& Out();
    bool TextDest() const
    {
        return (m_state.dest == Dest::Text || m_state.dest == Dest::Header ||
                m_state.dest == Dest::Footer || m_state.dest == Dest::Footnote) &&
               !m_state.bHidden;
    }

    const QByteArray& m_rtf;
    qsizetype m_nPos = 0;
    State m_state;
    std::vector<State> m_stack;
    qsizetype m_nOverflow = 0;
    bool m_bStar = false;
    bool m_bNoteStart = false;
    int m_nSkip = 0;
    unsigned m_nDocCodePage = 1252;
    int m_nDefaultFont = -1;
    int m_nDefiningFont = -1;
    std::unordered_map<int, unsigned> m_fontPages;
    QByteArray m_pending;
    unsigned m_nPendingPage = 1252;
    Dest m_pendingDest = Dest::Text;
    QString m_strBody;
    QString m_strHeader;
    QString m_strFooter;
    QString m_strNotes;
};

constexpr size_t MaxDepth = 512;

QString& CParser::Out()
{
    switch (m_state.dest)
    {
    case Dest::Header:
        return m_strHeader;
    case Dest::Footer:
        return m_strFooter;
    case Dest::Footnote:
        return m_strNotes;
    default:
        return m_strBody;
    }
}

void CParser::Flush()
{
    if (m_pending.isEmpty())
        return;
    const QString strText = CCodePage::ToUnicode(m_pending, m_nPendingPage);
    m_pending.clear();
    QString* pOut = &m_strBody;
    if (m_pendingDest == Dest::Header)
        pOut = &m_strHeader;
    else if (m_pendingDest == Dest::Footer)
        pOut = &m_strFooter;
    else if (m_pendingDest == Dest::Footnote)
        pOut = &m_strNotes;
    for (QChar c : strText)
    {
        if (m_bNoteStart && m_pendingDest == Dest::Footnote && (c == u' ' || c == u'\t'))
            continue;
        if (c.unicode() >= 0x20 || c == u'\t')
        {
            if (m_pendingDest == Dest::Footnote)
                m_bNoteStart = false;
            pOut->append(c);
        }
    }
}

void CParser::Emit(char16_t ch)
{
    Flush();
    if (!TextDest())
        return;
    if (ch < 0x20 && ch != u'\t' && ch != u'\n')
        return;
    if (m_state.dest == Dest::Footnote)
    {
        if (m_bNoteStart && (ch == u' ' || ch == u'\t'))
            return;
        m_bNoteStart = false;
    }
    Out().append(QChar(ch));
}

void CParser::EmitBreak()
{
    Flush();
    if (!TextDest())
        return;
    QString& out = Out();
    if (out.endsWith(QLatin1Char('\t')))
        out.chop(1);
    out.append(QLatin1Char('\n'));
}

void CParser::ControlWord(std::string_view name, bool bHasParam, long nParam)
{
    const auto& words = Words();
    const auto it = words.find(name);
    const Word word = it == words.end() ? Word::Unknown : it->second.word;
    // An ignorable destination is skipped unless it is one whose text is
    // read anyway (some writers star their footnotes).
    if (m_bStar)
    {
        m_bStar = false;
        if (word != Word::Ud && word != Word::Footnote && word != Word::Header &&
            word != Word::Footer)
        {
            Flush();
            m_state.dest = Dest::Skip;
            return;
        }
    }
    if (word == Word::Bin)
    {
        const qsizetype nSkip =
            qBound(qsizetype(0), static_cast<qsizetype>(nParam), m_rtf.size() - m_nPos);
        m_nPos += nSkip;
        return;
    }
    if (m_nSkip > 0)
    {
        --m_nSkip;
        return;
    }
    switch (word)
    {
    case Word::Par:
    case Word::Line:
    case Word::Page:
    case Word::Row:
        EmitBreak();
        break;
    case Word::Tab:
    case Word::Cell:
        Emit(u'\t');
        break;
    case Word::Char:
        Emit(it->second.ch);
        break;
    case Word::Uc:
        m_state.nUc = bHasParam ? static_cast<int>(qBound(0L, nParam, 16L)) : 1;
        break;
    case Word::U:
    {
        long n = nParam;
        if (n < 0)
            n += 65536;
        if (n >= 0 && n <= 0xFFFF)
            Emit(static_cast<char16_t>(n));
        m_nSkip = m_state.nUc;
        break;
    }
    case Word::Ansi:
        m_nDocCodePage = m_state.nCodePage = 1252;
        break;
    case Word::Mac:
        m_nDocCodePage = m_state.nCodePage = 10000;
        break;
    case Word::Pc:
        m_nDocCodePage = m_state.nCodePage = 437;
        break;
    case Word::Pca:
        m_nDocCodePage = m_state.nCodePage = 850;
        break;
    case Word::AnsiCpg:
        if (bHasParam && nParam > 0 && nParam < 65536)
            m_nDocCodePage = m_state.nCodePage = static_cast<unsigned>(nParam);
        break;
    case Word::Deff:
        m_nDefaultFont = static_cast<int>(nParam);
        break;
    case Word::F:
        Flush();
        if (m_state.dest == Dest::FontTable)
            m_nDefiningFont = static_cast<int>(nParam);
        else
        {
            const auto itFont = m_fontPages.find(static_cast<int>(nParam));
            m_state.nCodePage = itFont == m_fontPages.end() ? m_nDocCodePage : itFont->second;
        }
        break;
    case Word::FCharset:
        if (m_state.dest == Dest::FontTable && m_nDefiningFont >= 0)
        {
            const unsigned nPage = CRtfReader::CodePageForCharset(static_cast<int>(nParam));
            if (nPage != 0)
                m_fontPages[m_nDefiningFont] = nPage;
        }
        break;
    case Word::Cpg:
        if (m_state.dest == Dest::FontTable && m_nDefiningFont >= 0 && nParam > 0 && nParam < 65536)
            m_fontPages[m_nDefiningFont] = static_cast<unsigned>(nParam);
        break;
    case Word::Plain:
    {
        Flush();
        const auto itFont = m_fontPages.find(m_nDefaultFont);
        m_state.nCodePage = itFont == m_fontPages.end() ? m_nDocCodePage : itFont->second;
        m_state.bHidden = false;
        break;
    }
    case Word::Hidden:
        Flush();
        m_state.bHidden = !bHasParam || nParam != 0;
        break;
    case Word::Upr:
        Flush();
        m_state.destBeforeUpr = m_state.dest;
        m_state.dest = Dest::Skip;
        break;
    case Word::Ud:
        m_state.dest = m_state.destBeforeUpr;
        break;
    case Word::FontTable:
        Flush();
        m_state.dest = Dest::FontTable;
        break;
    case Word::Header:
    case Word::Footer:
    case Word::Footnote:
        Flush();
        if (m_state.dest != Dest::Skip)
            m_state.dest = word == Word::Header   ? Dest::Header
                           : word == Word::Footer ? Dest::Footer
                                                  : Dest::Footnote;
        if (word == Word::Footnote && !m_strNotes.isEmpty() && !m_strNotes.endsWith(u'\n'))
            m_strNotes.append(QLatin1Char('\n'));
        // The blank between a note's number and its text is left out.
        m_bNoteStart = word == Word::Footnote;
        break;
    default:
        if (IsSkippedDestination(name))
        {
            Flush();
            m_state.dest = Dest::Skip;
        }
        break;
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

QString CParser::Run()
{
    const char* p = m_rtf.constData();
    const qsizetype n = m_rtf.size();
    m_strBody.reserve(n / 2);
    while (m_nPos < n)
    {
        const char c = p[m_nPos++];
        switch (c)
        {
        case '{':
            Flush();
            m_nSkip = 0;
            m_bStar = false;
            if (m_stack.size() >= MaxDepth)
                ++m_nOverflow;
            else
                m_stack.push_back(m_state);
            break;
        case '}':
            Flush();
            m_nSkip = 0;
            m_bStar = false;
            if (m_nOverflow > 0)
                --m_nOverflow;
            else if (!m_stack.empty())
            {
                const bool bLeftFontEntry = m_state.dest == Dest::FontTable;
                m_state = m_stack.back();
                m_stack.pop_back();
                if (bLeftFontEntry)
                    m_nDefiningFont = -1;
                // Text before the first \f is in the default font.
                if (bLeftFontEntry && m_state.dest != Dest::FontTable)
                {
                    const auto itFont = m_fontPages.find(m_nDefaultFont);
                    if (itFont != m_fontPages.end())
                        m_state.nCodePage = itFont->second;
                }
            }
            break;
        case '\\':
        {
            if (m_nPos >= n)
                break;
            const char d = p[m_nPos];
            if (IsLetter(d))
            {
                const qsizetype nStart = m_nPos;
                while (m_nPos < n && m_nPos - nStart < 32 && IsLetter(p[m_nPos]))
                    ++m_nPos;
                const std::string_view name(p + nStart, static_cast<size_t>(m_nPos - nStart));
                bool bHasParam = false;
                bool bNegative = false;
                long nParam = 0;
                if (m_nPos < n && p[m_nPos] == '-')
                {
                    bNegative = true;
                    ++m_nPos;
                }
                int nDigits = 0;
                while (m_nPos < n && p[m_nPos] >= '0' && p[m_nPos] <= '9')
                {
                    if (nDigits < 10)
                        nParam = nParam * 10 + (p[m_nPos] - '0');
                    ++nDigits;
                    ++m_nPos;
                }
                bHasParam = nDigits > 0;
                if (bNegative)
                    nParam = -nParam;
                if (m_nPos < n && p[m_nPos] == ' ')
                    ++m_nPos;
                ControlWord(name, bHasParam, nParam);
                break;
            }
            ++m_nPos;
            if (m_bStar && d != '*')
                m_bStar = false;
            if (d == '\'')
            {
                int nHi = m_nPos < n ? HexValue(p[m_nPos]) : -1;
                int nLo = m_nPos + 1 < n ? HexValue(p[m_nPos + 1]) : -1;
                if (nHi < 0 || nLo < 0)
                {
                    // A cut-off escape drops what it has.
                    if (nHi >= 0)
                        ++m_nPos;
                    break;
                }
                m_nPos += 2;
                if (m_nSkip > 0)
                {
                    --m_nSkip;
                    break;
                }
                if (TextDest())
                {
                    if (!m_pending.isEmpty() &&
                        (m_nPendingPage != m_state.nCodePage || m_pendingDest != m_state.dest))
                        Flush();
                    m_nPendingPage = m_state.nCodePage;
                    m_pendingDest = m_state.dest;
                    m_pending.append(static_cast<char>(nHi * 16 + nLo));
                }
                break;
            }
            if (d == '*')
            {
                m_bStar = true;
                break;
            }
            if (m_nSkip > 0)
            {
                --m_nSkip;
                break;
            }
            switch (d)
            {
            case '\\':
            case '{':
            case '}':
                Emit(static_cast<char16_t>(d));
                break;
            case '~':
                Emit(0x00A0);
                break;
            case '_':
                Emit(0x2011);
                break;
            case '\r':
            case '\n':
                EmitBreak();
                break;
            case '\t':
                Emit(u'\t');
                break;
            default:
                break;
            }
            break;
        }
        case '\r':
        case '\n':
        case '\0':
            break;
        default:
            if (m_nSkip > 0)
            {
                --m_nSkip;
                break;
            }
            if (!TextDest())
                break;
            if (c == '\t')
            {
                Emit(u'\t');
                break;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                break;
            if (!m_pending.isEmpty() &&
                (m_nPendingPage != m_state.nCodePage || m_pendingDest != m_state.dest))
                Flush();
            m_nPendingPage = m_state.nCodePage;
            m_pendingDest = m_state.dest;
            m_pending.append(c);
            break;
        }
    }
    Flush();

    QString strText;
    auto appendPart = [&strText](QString strPart)
    {
        while (!strPart.isEmpty() && strPart.back().isSpace())
            strPart.chop(1);
        if (strPart.isEmpty())
            return;
        if (!strText.isEmpty())
            strText.append(QLatin1Char('\n'));
        strText.append(strPart);
    };
    appendPart(m_strHeader);
    appendPart(m_strBody);
    appendPart(m_strNotes);
    appendPart(m_strFooter);
    return strText;
}
} // namespace

QString CRtfReader::ToText(const QByteArray& rtf)
{
    CParser parser(rtf);
    return parser.Run();
}

bool CRtfReader::LooksLikeRtf(const QByteArray& head)
{
    qsizetype i = 0;
    while (i < head.size() &&
           (head.at(i) == ' ' || head.at(i) == '\r' || head.at(i) == '\n' || head.at(i) == '\t'))
        ++i;
    return head.mid(i, 5) == "{\\rtf";
}

unsigned CRtfReader::CodePageForCharset(int nCharset)
{
    switch (nCharset)
    {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}
