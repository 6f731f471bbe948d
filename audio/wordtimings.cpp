#include "audio/wordtimings.h"

#include "speech/sptextchunker.h"

#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <unistd.h>

namespace
{
bool IsParagraphBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x2028) ||
           c == QChar(0x2029);
}

// Quotes and brackets that close a sentence after its full stop.
bool IsCloser(QChar c)
{
    static const QString strClosers = QStringLiteral("\"')]}\u2019\u201D\u00BB\u300D\u300F");
    return strClosers.contains(c);
}

// Full stops of scripts that put no space after them.
bool IsWideSentenceEnd(QChar c)
{
    return c == QChar(0x3002) || c == QChar(0xFF01) || c == QChar(0xFF1F);
}

bool IsSentenceEnd(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') ||
           c == QChar(0x2026);
}

QString Clock(quint32 nMs, bool bHours, QChar separator, int nFractionDigits)
{
    const quint32 nMinutes = bHours ? (nMs / 60000) % 60 : nMs / 60000;
    QString str;
    if (bHours)
        str = QStringLiteral("%1:").arg(nMs / 3600000, 2, 10, QLatin1Char('0'));
    const quint32 nFraction = nFractionDigits == 3 ? nMs % 1000 : (nMs % 1000) / 10;
    return str + QStringLiteral("%1:%2%3%4")
                     .arg(nMinutes, 2, 10, QLatin1Char('0'))
                     .arg((nMs / 1000) % 60, 2, 10, QLatin1Char('0'))
                     .arg(separator)
                     .arg(nFraction, nFractionDigits, 10, QLatin1Char('0'));
}

void PutU32BigEndian(QByteArray& out, quint32 n)
{
    char buffer[4];
    qToBigEndian(n, buffer);
    out.append(buffer, 4);
}

void PutId3Text(QByteArray& out, const QString& str, bool bUtf16)
{
    if (bUtf16)
    {
        out.append("\xFF\xFE", 2);
        for (const QChar c : str)
        {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
        out.append(2, '\0');
    }
    else
    {
        out.append(str.toUtf8());
        out.append('\0');
    }
}
} // namespace

CWordTimings::CWordTimings(quint32 nBytesPerSecond) : m_nBytesPerSecond(nBytesPerSecond) {}

void CWordTimings::Clear()
{
    m_utterances.clear();
    m_words.clear();
    m_seen.clear();
    m_nSentences = 0;
}

bool CWordTimings::AddUtterance(ULONG nStreamNumber, const QString& strSpokenText, bool bXml)
{
    if (strSpokenText.isEmpty() ||
        (!m_utterances.empty() && m_utterances.rbegin()->first >= nStreamNumber))
        return false;
    SUtterance utterance;
    if (bXml)
    {
        ReadMarkup(strSpokenText, utterance);
    }
    else
    {
        utterance.strVisible = strSpokenText;
        utterance.strVisible.replace(QChar(0), QLatin1Char(' '));
        utterance.visibleAt.resize(size_t(strSpokenText.size()) + 1);
        for (size_t i = 0; i < utterance.visibleAt.size(); ++i)
            utterance.visibleAt[i] = int(i);
    }
    FindSentences(utterance);
    utterance.nFirstSentence = m_nSentences;
    m_nSentences += int(utterance.sentences.size());
    m_utterances.emplace(nStreamNumber, std::move(utterance));
    return true;
}

void CWordTimings::ReadMarkup(const QString& strXml, SUtterance& utterance)
{
    // Read as the voice reads it: tags and comments are not heard, a pause
    // or bookmark parts the words on its two sides, an entity is its
    // character.
    QString& strVisible = utterance.strVisible;
    std::vector<int>& visibleAt = utterance.visibleAt;
    const int nSize = int(strXml.size());
    visibleAt.assign(size_t(nSize) + 1, 0);
    int i = 0;
    auto skipTo = [&](int nNext)
    {
        for (; i < nNext; ++i)
            visibleAt[size_t(i)] = int(strVisible.size());
    };
    while (i < nSize)
    {
        const QChar c = strXml.at(i);
        if (c == QLatin1Char('<'))
        {
            if (strXml.mid(i, 4) == QLatin1String("<!--"))
            {
                const int nEnd = int(strXml.indexOf(QLatin1String("-->"), i + 4));
                skipTo(nEnd < 0 ? nSize : nEnd + 3);
                continue;
            }
            const int nClose = int(strXml.indexOf(QLatin1Char('>'), i + 1));
            const QString strTag =
                strXml.mid(i + 1, (nClose < 0 ? nSize : nClose) - i - 1).trimmed();
            const bool bClosing = strTag.startsWith(QLatin1Char('/'));
            int nNameEnd = 0;
            while (nNameEnd < strTag.size() && !strTag.at(nNameEnd).isSpace() &&
                   strTag.at(nNameEnd) != QLatin1Char('/'))
                ++nNameEnd;
            const QString strName = strTag.left(nNameEnd).toLower();
            skipTo(nClose < 0 ? nSize : nClose + 1);
            if (!bClosing &&
                (strName == QLatin1String("silence") || strName == QLatin1String("bookmark")) &&
                !strVisible.isEmpty() && !strVisible.back().isSpace())
                strVisible.append(QLatin1Char(' '));
            continue;
        }
        int nUnits = 1;
        const char32_t entity =
            c == QLatin1Char('&') ? CSpTextChunker::EntityAt(strXml, i, nUnits) : 0;
        if (entity)
        {
            visibleAt[size_t(i)] = int(strVisible.size());
            strVisible.append(QString::fromUcs4(&entity, 1));
            ++i;
            skipTo(i + nUnits - 1);
            continue;
        }
        visibleAt[size_t(i)] = int(strVisible.size());
        strVisible.append(c.isNull() ? QChar(QLatin1Char(' ')) : c);
        ++i;
    }
    visibleAt[size_t(nSize)] = int(strVisible.size());
}

void CWordTimings::FindSentences(SUtterance& utterance)
{
    const QString& str = utterance.strVisible;
    const int nSize = int(str.size());
    int nStart = -1;
    auto close = [&](int nEnd)
    {
        while (nEnd > nStart && str.at(nEnd - 1).isSpace())
            --nEnd;
        if (nEnd > nStart)
            utterance.sentences.push_back({nStart, nEnd});
        nStart = -1;
    };
    for (int i = 0; i < nSize; ++i)
    {
        const QChar c = str.at(i);
        if (nStart < 0)
        {
            if (!c.isSpace())
                nStart = i;
            continue;
        }
        if (IsParagraphBreak(c))
        {
            close(i);
            continue;
        }
        const bool bWide = IsWideSentenceEnd(c);
        if (!bWide && !IsSentenceEnd(c))
            continue;
        int nEnd = i + 1;
        while (nEnd < nSize && (IsCloser(str.at(nEnd)) || IsSentenceEnd(str.at(nEnd))))
            ++nEnd;
        if (bWide || nEnd == nSize || str.at(nEnd).isSpace())
        {
            close(nEnd);
            i = nEnd - 1;
        }
    }
    if (nStart >= 0)
        close(nSize);
}

bool CWordTimings::AddEvent(const SPEVENT& event)
{
    if (event.eEventId != SPEI_WORD_BOUNDARY)
        return false;
    return AddWord(event.ulStreamNum, event.ullAudioStreamOffset, int(event.lParam),
                   int(event.wParam));
}

bool CWordTimings::AddWord(ULONG nStreamNumber, quint64 nByteOffset, int nPos, int nLen)
{
    const auto it = m_utterances.find(nStreamNumber);
    if (it == m_utterances.end())
        return false;
    const SUtterance& utterance = it->second;
    if (nPos < 0 || nLen <= 0 || size_t(nPos) + size_t(nLen) >= utterance.visibleAt.size())
        return false;
    SWord word;
    word.nByteOffset = nByteOffset;
    word.nStream = nStreamNumber;
    word.nBegin = utterance.visibleAt[size_t(nPos)];
    word.nEnd = utterance.visibleAt[size_t(nPos + nLen)];
    while (word.nEnd > word.nBegin && utterance.strVisible.at(word.nEnd - 1).isSpace())
        --word.nEnd;
    if (word.nEnd <= word.nBegin)
        return false;
    // The engine repeats some words; the first event of a word counts.
    if (!m_seen.insert({word.nStream, word.nBegin}).second)
        return false;
    const auto& sentences = utterance.sentences;
    const auto after =
        std::upper_bound(sentences.begin(), sentences.end(), word.nBegin,
                         [](int nAt, const std::pair<int, int>& s) { return nAt < s.first; });
    word.nSentence = utterance.nFirstSentence +
                     int(after == sentences.begin() ? 0 : after - sentences.begin() - 1);
    // Events come in order of their audio; the sort only guards against a
    // reader that hands them over late.
    const auto at = std::upper_bound(m_words.begin(), m_words.end(), word,
                                     [](const SWord& a, const SWord& b)
                                     { return a.nByteOffset < b.nByteOffset; });
    m_words.insert(at, word);
    return true;
}

quint32 CWordTimings::Ms(quint64 nByteOffset) const
{
    if (m_nBytesPerSecond == 0)
        return 0;
    return quint32(qMin<quint64>(nByteOffset * 1000 / m_nBytesPerSecond, 0xFFFFFFFFu));
}

std::vector<CWordTimings::SEntry> CWordTimings::Entries() const
{
    std::vector<SEntry> entries;
    entries.reserve(m_words.size());
    for (const SWord& word : m_words)
    {
        const SUtterance& utterance = m_utterances.at(word.nStream);
        entries.push_back({Ms(word.nByteOffset),
                           utterance.strVisible.mid(word.nBegin, word.nEnd - word.nBegin),
                           word.nSentence});
    }
    return entries;
}

std::vector<CWordTimings::SLine> CWordTimings::Lines() const
{
    std::vector<SLine> lines;
    for (size_t i = 0; i < m_words.size(); ++i)
    {
        if (lines.empty() || lines.back().nSentence != m_words[i].nSentence)
            lines.push_back(SLine{m_words[i].nSentence, {}, {}, {}, {}});
        lines.back().words.push_back(i);
    }
    for (SLine& line : lines)
    {
        const SUtterance& utterance = m_utterances.at(m_words[line.words.front()].nStream);
        const QString& strVisible = utterance.strVisible;
        const std::pair<int, int> sentence =
            utterance.sentences[size_t(line.nSentence - utterance.nFirstSentence)];
        line.strText =
            strVisible.mid(sentence.first, sentence.second - sentence.first).simplified();
        // A piece starts where the white-space separated part holding its
        // word starts, so punctuation before a word goes with it.
        std::vector<int> starts;
        for (size_t k = 0; k < line.words.size(); ++k)
        {
            const SWord& word = m_words[line.words[k]];
            int nBegin = qMin(word.nBegin, sentence.first);
            if (k > 0)
            {
                const int nFloor = qMax(starts.back(), m_words[line.words[k - 1]].nEnd);
                nBegin = qMax(word.nBegin, nFloor);
                while (nBegin > nFloor && !strVisible.at(nBegin - 1).isSpace())
                    --nBegin;
            }
            starts.push_back(nBegin);
        }
        for (size_t k = 0; k < starts.size(); ++k)
        {
            const int nEnd = k + 1 < starts.size()
                                 ? starts[k + 1]
                                 : qMax(sentence.second, m_words[line.words[k]].nEnd);
            const QString strPiece = strVisible.mid(starts[k], nEnd - starts[k]);
            line.pieces.append(strPiece.simplified());
            line.spaceAfter.append(!strPiece.isEmpty() && strPiece.back().isSpace());
        }
    }
    return lines;
}

QByteArray CWordTimings::SrtText(quint32 nTotalMs) const
{
    const std::vector<SLine> lines = Lines();
    QString strOut;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const quint32 nStart = Ms(m_words[lines[i].words.front()].nByteOffset);
        const quint32 nEnd = i + 1 < lines.size()
                                 ? Ms(m_words[lines[i + 1].words.front()].nByteOffset)
                                 : qMax(nStart, nTotalMs);
        strOut += QStringLiteral("%1\r\n%2 --> %3\r\n%4\r\n\r\n")
                      .arg(i + 1)
                      .arg(Clock(nStart, true, QLatin1Char(','), 3),
                           Clock(nEnd, true, QLatin1Char(','), 3), lines[i].strText);
    }
    return strOut.toUtf8();
}

QByteArray CWordTimings::LrcText() const
{
    QString strOut;
    for (const SLine& line : Lines())
    {
        strOut += QLatin1Char('[') +
                  Clock(Ms(m_words[line.words.front()].nByteOffset), false, QLatin1Char('.'), 2) +
                  QLatin1Char(']');
        for (size_t k = 0; k < line.words.size(); ++k)
        {
            if (k > 0 && line.spaceAfter[qsizetype(k - 1)])
                strOut += QLatin1Char(' ');
            strOut += QLatin1Char('<') +
                      Clock(Ms(m_words[line.words[k]].nByteOffset), false, QLatin1Char('.'), 2) +
                      QLatin1Char('>') + line.pieces[qsizetype(k)];
        }
        strOut += QLatin1Char('\n');
    }
    return strOut.toUtf8();
}

QByteArray CWordTimings::SyltFrame(int nId3Version, const QByteArray& language) const
{
    if ((nId3Version != 3 && nId3Version != 4) || m_words.empty())
        return QByteArray();
    const bool bUtf16 = nId3Version == 3;
    QByteArray code = language.toLower();
    if (code.size() != 3 ||
        !std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        code = "und";
    QByteArray body;
    body.append(char(bUtf16 ? 1 : 3));
    body.append(code);
    body.append(char(2)); // time stamps in milliseconds
    body.append(char(1)); // lyrics
    PutId3Text(body, QString(), bUtf16);
    const std::vector<SLine> lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i)
    {
        for (size_t k = 0; k < lines[i].words.size(); ++k)
        {
            // A new line begins with a line feed, a new word with a space.
            QString strPrefix;
            if (k > 0 && lines[i].spaceAfter[qsizetype(k - 1)])
                strPrefix = QStringLiteral(" ");
            else if (k == 0 && i > 0)
                strPrefix = QStringLiteral("\n");
            PutId3Text(body, strPrefix + lines[i].pieces[qsizetype(k)], bUtf16);
            PutU32BigEndian(body, Ms(m_words[lines[i].words[k]].nByteOffset));
        }
    }
    const quint32 nSize = quint32(body.size());
    if (nId3Version == 4 && nSize > 0x0FFFFFFFu)
        return QByteArray();
    QByteArray frame("SYLT");
    // Version 2.4 writes frame sizes syncsafe: seven bits in each byte.
    PutU32BigEndian(frame, nId3Version == 4
                               ? ((nSize & 0x7F) | ((nSize & 0x3F80) << 1) |
                                  ((nSize & 0x1FC000) << 2) | ((nSize & 0x0FE00000) << 3))
                               : nSize);
    frame.append(2, '\0');
    return frame + body;
}

QString CWordTimings::SidePath(const QString& strMp3Path, const QString& strSuffix)
{
    const int nSlash = int(strMp3Path.lastIndexOf(QLatin1Char('/')));
    const int nDot = int(strMp3Path.lastIndexOf(QLatin1Char('.')));
    const QString strStem = nDot > nSlash + 1 ? strMp3Path.left(nDot) : strMp3Path;
    return strStem + QLatin1Char('.') + strSuffix;
}

bool CWordTimings::WriteAtomically(const QString& strPath, const QByteArray& bytes)
{
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() reports neither a buffered write the disk refused nor a
    // failed sync, which is where a full disk may first say so.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
    {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool CWordTimings::WriteBeside(const QString& strMp3Path, quint32 nTotalMs,
                               QStringList* pFailed) const
{
    bool bOk = true;
    for (const QString& strSuffix : {QStringLiteral("srt"), QStringLiteral("lrc")})
    {
        const QString strPath = SidePath(strMp3Path, strSuffix);
        if (WriteAtomically(strPath,
                            strSuffix == QLatin1String("srt") ? SrtText(nTotalMs) : LrcText()))
            continue;
        bOk = false;
        if (pFailed)
            pFailed->append(strPath);
    }
    return bOk;
}
