#include "speech/sptextchunker.h"

#include "speech/splanguagetags.h"
#include "speech/spobjecttokencategory.h"

#include <QChar>
#include <cmath>

namespace
{
void AppendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80)
    {
        out.append(char(c));
    }
    else if (c < 0x800)
    {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    }
    else if (c < 0x10000)
    {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
    else
    {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

// Reads the code point at i and its UTF-16 length; a lone surrogate reads as
// the replacement character so the engine never sees broken UTF-8.
char32_t CodePointAt(const QString& s, int i, int& nUnits)
{
    const char16_t c = s.at(i).unicode();
    nUnits = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < s.size() &&
        QChar::isLowSurrogate(s.at(i + 1).unicode()))
    {
        nUnits = 2;
        return QChar::surrogateToUcs4(c, s.at(i + 1).unicode());
    }
    if (QChar::isSurrogate(c))
        return 0xFFFD;
    return c;
}

bool IsEdgePunctuation(char32_t c)
{
    return QChar::isPunct(c) || QChar::isSymbol(c);
}

bool IsLetterOrNumber(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Mark_NonSpacing ||
           QChar::category(c) == QChar::Mark_SpacingCombining;
}

// Groups the text characters into words: runs of characters that are not
// white space, each ideograph a word of its own. A word's span leaves out
// the punctuation around it ("(Hello," is "Hello"), as a reader expects
// the highlight, unless the word is punctuation only. A pause or bookmark
// between two characters (their indices in breaks, ascending) parts them:
// the engine speaks the two sides as words of their own.
void BuildWords(CSpTextChunker::SChunk& chunk, const std::vector<char32_t>& codes,
                const std::vector<int>& offsets, const std::vector<int>& lengths,
                const std::vector<size_t>& breaks = {})
{
    chunk.wordOfChar.assign(codes.size(), -1);
    chunk.words.clear();
    std::vector<std::pair<size_t, size_t>> ranges;
    bool bInRun = false;
    auto nextBreak = breaks.begin();
    for (size_t i = 0; i < codes.size(); ++i)
    {
        while (nextBreak != breaks.end() && *nextBreak <= i)
        {
            if (*nextBreak == i)
                bInRun = false;
            ++nextBreak;
        }
        const char32_t c = codes[i];
        if (CSpTextChunker::IsWordSpace(c))
        {
            bInRun = false;
            continue;
        }
        const bool bIdeograph = CSpTextChunker::IsIdeograph(c);
        if (!bInRun || bIdeograph)
            ranges.push_back({i, i});
        ranges.back().second = i;
        chunk.wordOfChar[i] = int(ranges.size()) - 1;
        bInRun = !bIdeograph;
    }
    chunk.words.reserve(ranges.size());
    for (auto [nFirst, nLast] : ranges)
    {
        bool bLetters = false;
        for (size_t i = nFirst; i <= nLast && !bLetters; ++i)
            bLetters = IsLetterOrNumber(codes[i]);
        if (bLetters)
        {
            while (nFirst < nLast && IsEdgePunctuation(codes[nFirst]))
                ++nFirst;
            while (nLast > nFirst && IsEdgePunctuation(codes[nLast]))
                --nLast;
        }
        chunk.words.push_back({offsets[nFirst], offsets[nLast] + lengths[nLast] - offsets[nFirst]});
    }
}

QString AttributeValue(const QString& strTag, const QString& strName)
{
    // name="value" or name='value', names compared without regard to case.
    int nFrom = 0;
    while (true)
    {
        const int nAt = strTag.indexOf(strName, nFrom, Qt::CaseInsensitive);
        if (nAt < 0)
            return QString();
        nFrom = nAt + strName.size();
        const bool bStartOk = nAt > 0 && (strTag.at(nAt - 1).isSpace());
        int i = nFrom;
        while (i < strTag.size() && strTag.at(i).isSpace())
            ++i;
        if (!bStartOk || i >= strTag.size() || strTag.at(i) != QLatin1Char('='))
            continue;
        ++i;
        while (i < strTag.size() && strTag.at(i).isSpace())
            ++i;
        if (i >= strTag.size())
            return QString();
        const QChar quote = strTag.at(i);
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\''))
        {
            const int nEnd = strTag.indexOf(quote, i + 1);
            return nEnd < 0 ? strTag.mid(i + 1) : strTag.mid(i + 1, nEnd - i - 1);
        }
        int nEnd = i;
        while (nEnd < strTag.size() && !strTag.at(nEnd).isSpace() &&
               strTag.at(nEnd) != QLatin1Char('/'))
            ++nEnd;
        return strTag.mid(i, nEnd - i);
    }
}

QByteArray EscapeAttribute(const QString& str)
{
    QByteArray out;
    for (const QChar c : str)
    {
        if (c == QLatin1Char('"') || c == QLatin1Char('<') || c == QLatin1Char('&'))
            continue;
        out.append(QString(c).toUtf8());
    }
    return out;
}
} // namespace

char32_t CSpTextChunker::EntityAt(const QString& strText, int nAt, int& nUnits)
{
    const int nSemi = int(strText.indexOf(QLatin1Char(';'), nAt + 1));
    if (nSemi <= nAt || nSemi - nAt > 10)
        return 0;
    const QString strEntity = strText.mid(nAt + 1, nSemi - nAt - 1);
    char32_t value = 0;
    if (strEntity == QLatin1String("amp"))
        value = '&';
    else if (strEntity == QLatin1String("lt"))
        value = '<';
    else if (strEntity == QLatin1String("gt"))
        value = '>';
    else if (strEntity == QLatin1String("quot"))
        value = '"';
    else if (strEntity == QLatin1String("apos"))
        value = '\'';
    else if (strEntity.startsWith(QLatin1Char('#')))
    {
        bool bOk = false;
        const uint n = strEntity.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                           ? strEntity.mid(2).toUInt(&bOk, 16)
                           : strEntity.mid(1).toUInt(&bOk, 10);
        if (bOk && n > 0 && n <= 0x10FFFF && (n < 0xD800 || n > 0xDFFF))
            value = char32_t(n);
    }
    if (value)
        nUnits = nSemi - nAt + 1;
    return value;
}

bool CSpTextChunker::IsWordSpace(char32_t c)
{
    if (c == 0)
        return true;
    if (c < 0x10000)
        return QChar(char16_t(c)).isSpace();
    return false;
}

bool CSpTextChunker::IsIdeograph(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3134F);
}

double CSpTextChunker::RateFactor(int nRate)
{
    return std::pow(3.0, double(nRate) / 10.0);
}

int CSpTextChunker::SChunk::WordAt(int nTextPosition) const
{
    const int nCp = nTextPosition - 1;
    if (nCp < 0 || nCp >= int(cpToChar.size()))
        return -1;
    int nChar = cpToChar[size_t(nCp)];
    if (nChar < 0)
        return -1;
    while (nChar < int(wordOfChar.size()) && wordOfChar[size_t(nChar)] < 0)
        ++nChar;
    if (nChar >= int(wordOfChar.size()))
        return -1;
    return wordOfChar[size_t(nChar)];
}

CSpTextChunker::CSpTextChunker(const QString& strText, bool bXml, int nMaxChars)
    : m_strText(strText), m_bXml(bXml), m_nMaxChars(qMax(16, nMaxChars))
{
    m_stack.push_back(SXmlState());
}

bool CSpTextChunker::Next(SChunk& chunk)
{
    chunk = SChunk();
    if (m_nPos >= m_strText.size())
        return false;
    return m_bXml ? NextXml(chunk) : NextPlain(chunk);
}

int CSpTextChunker::FindCut(const QString& strText, int nBegin, int nMaxChars)
{
    const int nSize = int(strText.size());
    if (nSize - nBegin <= nMaxChars)
        return nSize;
    const int nLimit = nBegin + nMaxChars;
    const int nFloor = nBegin + nMaxChars / 4;
    // A sentence end followed by white space is the best place.
    for (int i = nLimit - 1; i > nFloor; --i)
    {
        const QChar c = strText.at(i);
        const QChar prev = strText.at(i - 1);
        if (c.isSpace() &&
            (prev == QLatin1Char('.') || prev == QLatin1Char('!') || prev == QLatin1Char('?') ||
             prev == QLatin1Char(';') || prev == QLatin1Char('\n') || prev == QChar(0x3002) ||
             prev == QChar(0xFF01) || prev == QChar(0xFF1F)))
            return i + 1;
    }
    for (int i = nLimit - 1; i > nFloor; --i)
    {
        if (strText.at(i).isSpace() || strText.at(i) == QChar(0x3002))
            return i + 1;
    }
    int nCut = nLimit;
    if (QChar::isLowSurrogate(strText.at(nCut).unicode()))
        --nCut;
    return nCut;
}

bool CSpTextChunker::NextPlain(SChunk& chunk)
{
    const int nBegin = m_nPos;
    const int nEnd = FindCut(m_strText, nBegin, m_nMaxChars);
    std::vector<char32_t> codes;
    std::vector<int> offsets;
    std::vector<int> lengths;
    codes.reserve(size_t(nEnd - nBegin));
    chunk.input.reserve(nEnd - nBegin + 16);
    for (int i = nBegin; i < nEnd;)
    {
        int nUnits = 1;
        char32_t c = CodePointAt(m_strText, i, nUnits);
        if (c == 0)
            c = ' ';
        AppendUtf8(chunk.input, c);
        chunk.cpToChar.push_back(int(codes.size()));
        codes.push_back(c);
        offsets.push_back(i);
        lengths.push_back(nUnits);
        i += nUnits;
    }
    BuildWords(chunk, codes, offsets, lengths);
    chunk.nSourceBegin = nBegin;
    chunk.nSourceEnd = nEnd;
    m_nPos = nEnd;
    return true;
}

bool CSpTextChunker::NextXml(SChunk& chunk)
{
    chunk.bSsml = true;
    std::vector<char32_t> codes;
    std::vector<int> offsets;
    std::vector<int> lengths;
    QByteArray& out = chunk.input;
    out = "<speak>";
    auto appendMarkup = [&](const QByteArray& markup)
    {
        for (int i = 0; i < markup.size(); ++i)
        {
            // Only ASCII markup is written, one code point per byte, apart
            // from attribute values copied from the text.
            if ((uchar(markup.at(i)) & 0xC0) != 0x80)
                chunk.cpToChar.push_back(int(codes.size()));
        }
        out.append(markup);
    };
    chunk.cpToChar.assign(7, 0);

    std::vector<size_t> breaks;
    QByteArray closers;
    bool bWrapped = false;
    SXmlState open;
    auto closeWrapper = [&]()
    {
        if (bWrapped)
            appendMarkup(closers);
        bWrapped = false;
        closers.clear();
    };
    auto openWrapper = [&](const SXmlState& state)
    {
        QByteArray opener;
        closers.clear();
        if (!state.lang.isEmpty() || !state.gender.isEmpty())
        {
            opener += "<voice";
            if (!state.lang.isEmpty())
                opener += " xml:lang=\"" + state.lang + "\"";
            if (!state.gender.isEmpty())
                opener += " gender=\"" + state.gender + "\"";
            opener += ">";
            closers.prepend("</voice>");
        }
        if (state.nVolume != 100 || state.nRate != 0 || state.nPitch != 0)
        {
            opener += "<prosody";
            if (state.nVolume != 100)
                opener += " volume=\"" + QByteArray::number(state.nVolume) + "%\"";
            if (state.nRate != 0)
                opener += " rate=\"" + QByteArray::number(qRound(100.0 * RateFactor(state.nRate))) +
                          "%\"";
            if (state.nPitch != 0)
                opener += " pitch=\"" +
                          QByteArray::number(qRound(100.0 * std::pow(2.0, state.nPitch / 12.0))) +
                          "%\"";
            opener += ">";
            closers.prepend("</prosody>");
        }
        if (state.bEmph)
        {
            opener += "<emphasis>";
            closers.prepend("</emphasis>");
        }
        if (state.bSpell)
        {
            opener += "<say-as interpret-as=\"characters\">";
            closers.prepend("</say-as>");
        }
        if (!opener.isEmpty())
        {
            appendMarkup(opener);
            bWrapped = true;
        }
        open = state;
    };

    const int nSize = int(m_strText.size());
    chunk.nSourceBegin = m_nPos;
    int i = m_nPos;
    bool bCutPending = false;
    while (i < nSize)
    {
        const QChar c = m_strText.at(i);
        if (c == QLatin1Char('<'))
        {
            if (m_strText.mid(i, 4) == QLatin1String("<!--"))
            {
                const int nEnd = m_strText.indexOf(QLatin1String("-->"), i + 4);
                i = nEnd < 0 ? nSize : nEnd + 3;
                continue;
            }
            const int nClose = m_strText.indexOf(QLatin1Char('>'), i + 1);
            const int nEnd = nClose < 0 ? nSize : nClose + 1;
            QString strTag = m_strText.mid(i + 1, (nClose < 0 ? nSize : nClose) - i - 1).trimmed();
            i = nEnd;
            if (strTag.startsWith(QLatin1Char('?')) || strTag.startsWith(QLatin1Char('!')))
                continue;
            const bool bClosing = strTag.startsWith(QLatin1Char('/'));
            const bool bEmpty = strTag.endsWith(QLatin1Char('/'));
            if (bClosing)
                strTag.remove(0, 1);
            if (bEmpty)
                strTag.chop(1);
            int nNameEnd = 0;
            while (nNameEnd < strTag.size() && !strTag.at(nNameEnd).isSpace())
                ++nNameEnd;
            const QString strName = strTag.left(nNameEnd).toLower();
            if (bClosing)
            {
                // A closing tag that matches no open one is passed over
                // without a walk down the stack, which deep nesting would
                // make quadratic.
                if (m_openTags.value(strName) == 0)
                    continue;
                for (size_t n = m_stack.size(); n > 1; --n)
                {
                    if (m_stack[n - 1].strTag == strName)
                    {
                        for (size_t k = n - 1; k < m_stack.size(); ++k)
                            --m_openTags[m_stack[k].strTag];
                        m_stack.resize(n - 1);
                        break;
                    }
                }
                continue;
            }
            if (strName == QLatin1String("silence") || strName == QLatin1String("bookmark"))
            {
                closeWrapper();
                breaks.push_back(codes.size());
                if (strName == QLatin1String("silence"))
                {
                    const int nMs =
                        qBound(0, AttributeValue(strTag, QStringLiteral("msec")).toInt(), 60000);
                    appendMarkup("<break time=\"" + QByteArray::number(nMs) + "ms\"/>");
                }
                else
                {
                    appendMarkup("<mark name=\"" +
                                 EscapeAttribute(AttributeValue(strTag, QStringLiteral("mark"))) +
                                 "\"/>");
                }
                open = SXmlState();
                continue;
            }
            SXmlState state = m_stack.back();
            bool bKnown = true;
            if (strName == QLatin1String("volume"))
            {
                const QString strLevel = AttributeValue(strTag, QStringLiteral("level"));
                if (!strLevel.isEmpty())
                    state.nVolume = qBound(0, strLevel.toInt(), 100);
            }
            else if (strName == QLatin1String("rate"))
            {
                const QString strAbs = AttributeValue(strTag, QStringLiteral("absspeed"));
                const QString strRel = AttributeValue(strTag, QStringLiteral("speed"));
                if (!strAbs.isEmpty())
                    state.nRate = qBound(-10, strAbs.toInt(), 10);
                else if (!strRel.isEmpty())
                    state.nRate = qBound(-10, state.nRate + strRel.toInt(), 10);
            }
            else if (strName == QLatin1String("pitch"))
            {
                const QString strAbs = AttributeValue(strTag, QStringLiteral("absmiddle"));
                const QString strRel = AttributeValue(strTag, QStringLiteral("middle"));
                if (!strAbs.isEmpty())
                    state.nPitch = qBound(-10, strAbs.toInt(), 10);
                else if (!strRel.isEmpty())
                    state.nPitch = qBound(-10, state.nPitch + strRel.toInt(), 10);
            }
            else if (strName == QLatin1String("emph"))
            {
                state.bEmph = true;
            }
            else if (strName == QLatin1String("spell"))
            {
                state.bSpell = true;
            }
            else if (strName == QLatin1String("lang"))
            {
                const LANGID nId =
                    CSpLanguageTags::ParseLangId(AttributeValue(strTag, QStringLiteral("langid")));
                const QList<QByteArray> tags = CSpLanguageTags::EngineTagsFor(nId);
                if (!tags.isEmpty())
                    state.lang = tags.first();
            }
            else if (strName == QLatin1String("voice"))
            {
                CSpObjectTokenCategory category;
                category.SetId(QStringLiteral(SPCAT_VOICES), false);
                const CSpObjectTokenPtr pToken =
                    category.FindBestToken(AttributeValue(strTag, QStringLiteral("required")),
                                           AttributeValue(strTag, QStringLiteral("optional")));
                if (pToken)
                {
                    state.lang = pToken->GetEngineLanguage();
                    state.gender =
                        pToken->GetAttribute(QStringLiteral("Gender")).toLower().toLatin1();
                }
            }
            else
            {
                bKnown = false;
            }
            if (!bKnown)
                continue;
            if (bEmpty)
            {
                // The empty form changes the rest of the enclosing scope.
                state.strTag = m_stack.back().strTag;
                m_stack.back() = state;
            }
            else
            {
                state.strTag = strName;
                m_stack.push_back(state);
                ++m_openTags[strName];
            }
            continue;
        }

        // A text character, or an entity standing for one.
        int nUnits = 1;
        char32_t code = CodePointAt(m_strText, i, nUnits);
        if (c == QLatin1Char('&'))
        {
            int nEntityUnits = 0;
            if (const char32_t value = EntityAt(m_strText, i, nEntityUnits))
            {
                code = value;
                nUnits = nEntityUnits;
            }
        }
        if (code == 0)
            code = ' ';
        const bool bSpace = IsWordSpace(code);
        if (bCutPending && bSpace)
            break;
        const SXmlState& state = m_stack.back();
        if (!bSpace && !(state == open))
        {
            closeWrapper();
            openWrapper(state);
        }
        chunk.cpToChar.push_back(int(codes.size()));
        if (code == '<')
            out.append("&lt;"), chunk.cpToChar.insert(chunk.cpToChar.end(), 3, int(codes.size()));
        else if (code == '&')
            out.append("&amp;"), chunk.cpToChar.insert(chunk.cpToChar.end(), 4, int(codes.size()));
        else if (code == '>')
            out.append("&gt;"), chunk.cpToChar.insert(chunk.cpToChar.end(), 3, int(codes.size()));
        else
            AppendUtf8(out, code);
        codes.push_back(code);
        offsets.push_back(i);
        lengths.push_back(nUnits);
        i += nUnits;
        if (int(codes.size()) >= m_nMaxChars)
            bCutPending = true;
    }
    closeWrapper();
    appendMarkup("</speak>");
    BuildWords(chunk, codes, offsets, lengths, breaks);
    chunk.nSourceEnd = i;
    m_nPos = i;
    return true;
}
