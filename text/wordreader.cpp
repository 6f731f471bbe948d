#include "text/wordreader.h"
#include "text/littleendian.h"

#include "text/codepage.h"
#include "text/compoundfile.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace
{
struct Piece
{
    uint32_t nCpStart;
    uint32_t nCpEnd;
    uint32_t nFc;
    bool bCompressed;
};

// Byte ranges of the paragraphs that end a table row.
struct RowEnd
{
    uint32_t nFcStart;
    uint32_t nFcEnd;
};

// Reads the paragraph properties of the document to find the row-end marks;
// anything malformed just leaves them out.
std::vector<RowEnd> FindRowEnds(const QByteArray& doc, const QByteArray& table, uint32_t nFcPlc,
                                uint32_t nLcbPlc)
{
    std::vector<RowEnd> rows;
    if (nLcbPlc < 8 || static_cast<qsizetype>(nFcPlc) + nLcbPlc > table.size())
        return rows;
    const uint32_t nPages = (nLcbPlc - 4) / 8;
    for (uint32_t i = 0; i < nPages; ++i)
    {
        const uint32_t nPn =
            CLittleEndian::U32(table, nFcPlc + (nPages + 1) * 4 + i * 4) & 0x3FFFFF;
        const qsizetype nPage = static_cast<qsizetype>(nPn) * 512;
        if (nPage + 512 > doc.size())
            continue;
        const int nRuns = static_cast<unsigned char>(doc.at(nPage + 511));
        if (nRuns == 0 || (nRuns + 1) * 4 + nRuns * 13 > 511)
            continue;
        for (int r = 0; r < nRuns; ++r)
        {
            const int nOffset =
                static_cast<unsigned char>(doc.at(nPage + (nRuns + 1) * 4 + r * 13)) * 2;
            if (nOffset == 0 || nOffset >= 511)
                continue;
            int nCb = static_cast<unsigned char>(doc.at(nPage + nOffset));
            qsizetype nStart = nPage + nOffset + 1;
            int nLength;
            if (nCb == 0)
            {
                if (nOffset + 1 >= 511)
                    continue;
                nLength = 2 * static_cast<unsigned char>(doc.at(nStart));
                ++nStart;
            }
            else
                nLength = 2 * nCb - 1;
            const qsizetype nEnd = qMin<qsizetype>(nStart + nLength, nPage + 511);
            qsizetype nSprm = nStart + 2;
            bool bRowEnd = false;
            while (nSprm + 2 <= nEnd)
            {
                const uint16_t sprm = CLittleEndian::U16(doc, nSprm);
                nSprm += 2;
                int nSize;
                switch (sprm >> 13)
                {
                case 0:
                case 1:
                    nSize = 1;
                    break;
                case 2:
                case 4:
                case 5:
                    nSize = 2;
                    break;
                case 3:
                    nSize = 4;
                    break;
                case 7:
                    nSize = 3;
                    break;
                default:
                    if (sprm == 0xD608 || sprm == 0xD606)
                        nSize = CLittleEndian::U16(doc, nSprm) + 1;
                    else
                        nSize = (nSprm < nEnd ? static_cast<unsigned char>(doc.at(nSprm)) : 0) + 1;
                    break;
                }
                if ((sprm == 0x2417 || sprm == 0x244C) && nSprm < nEnd && doc.at(nSprm) != 0)
                    bRowEnd = true;
                nSprm += nSize;
            }
            if (bRowEnd)
                rows.push_back({CLittleEndian::U32(doc, nPage + r * 4),
                                CLittleEndian::U32(doc, nPage + (r + 1) * 4)});
        }
    }
    std::sort(rows.begin(), rows.end(),
              [](const RowEnd& a, const RowEnd& b) { return a.nFcStart < b.nFcStart; });
    return rows;
}

bool IsRowEnd(const std::vector<RowEnd>& rows, uint32_t nFc)
{
    auto it = std::upper_bound(rows.begin(), rows.end(), nFc,
                               [](uint32_t f, const RowEnd& r) { return f < r.nFcStart; });
    if (it == rows.begin())
        return false;
    --it;
    return nFc >= it->nFcStart && nFc < it->nFcEnd;
}

// Turns the characters of one story into text: fields show their results,
// the special characters become breaks and tabs or nothing.
class CStoryText
{
public:
    // Notes begin with their number's mark and a blank, which are left out.
    void SetNotes() { m_bNotes = true; }
    void Add(char16_t ch, bool bRowEnd)
    {
        switch (ch)
        {
        // Fields show their results: the characters between the begin and
        // separator marks are the field's code. Only the count of fields
        // still in their code matters, so any nesting costs constant work.
        case 0x13:
            m_fields.push_back(false);
            ++m_nInCode;
            return;
        case 0x14:
            if (!m_fields.empty() && !m_fields.back())
            {
                m_fields.back() = true;
                --m_nInCode;
            }
            return;
        case 0x15:
            if (!m_fields.empty())
            {
                if (!m_fields.back())
                    --m_nInCode;
                m_fields.pop_back();
            }
            return;
        default:
            break;
        }
        if (m_nInCode > 0)
            return;
        // The blank between a note's number and its text is left out.
        if (ch == 0x02)
        {
            m_bAfterMark = m_bNotes;
            return;
        }
        if (m_bAfterMark && (ch == 0x09 || ch == 0x20))
            return;
        m_bAfterMark = false;
        switch (ch)
        {
        case 0x0D:
        case 0x0B:
        case 0x0C:
        case 0x0E:
            Break();
            return;
        case 0x07:
            if (bRowEnd)
                Break();
            else
                m_strText.append(QLatin1Char('\t'));
            return;
        case 0x09:
            m_strText.append(QLatin1Char('\t'));
            return;
        case 0x1E:
            m_strText.append(QChar(0x2011));
            return;
        case 0x1F:
            return;
        default:
            if (ch >= 0x20)
                m_strText.append(QChar(ch));
            return;
        }
    }
    void Break()
    {
        if (m_strText.endsWith(QLatin1Char('\t')))
            m_strText.chop(1);
        m_strText.append(QLatin1Char('\n'));
    }
    QString Take()
    {
        m_fields.clear();
        m_nInCode = 0;
        m_bAfterMark = false;
        QString strText = m_strText;
        m_strText.clear();
        while (!strText.isEmpty() && strText.back().isSpace())
            strText.chop(1);
        return strText;
    }

private:
    QString m_strText;
    std::vector<bool> m_fields;
    size_t m_nInCode = 0;
    bool m_bAfterMark = false;
    bool m_bNotes = false;
};
} // namespace

QString CWordReader::StatusMessage(Status status)
{
    switch (status)
    {
    case Status::NotWord:
        return QStringLiteral("The file is not a Word 97-2003 document.");
    case Status::OldWord:
        return QStringLiteral("The file was saved by Word 6.0/95 or older; only Word 97-2003 "
                              "documents can be read.");
    case Status::Encrypted:
        return QStringLiteral("The Word document is protected by a password (encrypted) and "
                              "cannot be read.");
    case Status::Damaged:
        return QStringLiteral("The Word document is damaged and cannot be read.");
    case Status::Ok:
        break;
    }
    return QString();
}

CWordReader::Status CWordReader::ToText(const QByteArray& data, QString& strText)
{
    strText.clear();
    CCompoundFile file;
    const CCompoundFile::Status fileStatus = file.Open(data);
    if (fileStatus == CCompoundFile::Status::NotCompound)
        return Status::NotWord;
    if (fileStatus == CCompoundFile::Status::Damaged)
        return Status::Damaged;
    if (!file.HasStream(QStringLiteral("WordDocument")))
    {
        if (file.HasStream(QStringLiteral("EncryptedPackage")))
            return Status::Encrypted;
        return Status::NotWord;
    }
    QByteArray doc;
    if (!file.ReadStream(QStringLiteral("WordDocument"), doc) || doc.size() < 0x1A2 + 8)
        return Status::Damaged;
    const uint16_t wIdent = CLittleEndian::U16(doc, 0);
    const uint16_t nFib = CLittleEndian::U16(doc, 2);
    if (wIdent == 0xA5DC || (wIdent == 0xA5EC && nFib < 101))
        return Status::OldWord;
    if (wIdent != 0xA5EC)
        return Status::NotWord;
    // Word 6.0 and 95 wrote 101 to 105; Word 97 and later 192 and up, with a
    // few writers between.
    if (nFib < 106)
        return Status::OldWord;
    const uint16_t flags = CLittleEndian::U16(doc, 0x0A);
    if (flags & 0x0100)
        return Status::Encrypted;
    QByteArray table;
    const QString strTable = (flags & 0x0200) ? QStringLiteral("1Table") : QStringLiteral("0Table");
    if (!file.ReadStream(strTable, table))
        return Status::Damaged;

    const qsizetype nCsw = CLittleEndian::U16(doc, 32);
    const qsizetype nLw = 34 + nCsw * 2 + 2;
    const qsizetype nCslw = CLittleEndian::U16(doc, 34 + nCsw * 2);
    const qsizetype nBlob = nLw + nCslw * 4 + 2;
    const qsizetype nCbRgFcLcb = CLittleEndian::U16(doc, nLw + nCslw * 4);
    if (nCslw < 22 || nCbRgFcLcb < 34 || nBlob + 34 * 8 > doc.size())
        return Status::Damaged;
    const uint32_t ccp[7] = {CLittleEndian::U32(doc, nLw + 12), CLittleEndian::U32(doc, nLw + 16),
                             CLittleEndian::U32(doc, nLw + 20), CLittleEndian::U32(doc, nLw + 28),
                             CLittleEndian::U32(doc, nLw + 32), CLittleEndian::U32(doc, nLw + 36),
                             CLittleEndian::U32(doc, nLw + 40)};
    const uint32_t nFcClx = CLittleEndian::U32(doc, nBlob + 33 * 8);
    const uint32_t nLcbClx = CLittleEndian::U32(doc, nBlob + 33 * 8 + 4);
    if (nLcbClx == 0 || static_cast<qsizetype>(nFcClx) + nLcbClx > table.size())
        return Status::Damaged;

    // The piece table: the property runs before it are skipped.
    qsizetype nPos = nFcClx;
    const qsizetype nClxEnd = static_cast<qsizetype>(nFcClx) + nLcbClx;
    while (nPos < nClxEnd && table.at(nPos) == 0x01)
        nPos += 3 + static_cast<int16_t>(CLittleEndian::U16(table, nPos + 1));
    if (nPos < nFcClx || nPos + 5 > nClxEnd || table.at(nPos) != 0x02)
        return Status::Damaged;
    const uint32_t nLcbPcd = CLittleEndian::U32(table, nPos + 1);
    const qsizetype nPlc = nPos + 5;
    if (nLcbPcd < 16 || nPlc + nLcbPcd > table.size() || (nLcbPcd - 4) % 12 != 0)
        return Status::Damaged;
    const uint32_t nPieces = (nLcbPcd - 4) / 12;
    std::vector<Piece> pieces;
    pieces.reserve(nPieces);
    uint64_t nTotal = 0;
    for (uint32_t i = 0; i < nPieces; ++i)
    {
        Piece piece;
        piece.nCpStart = CLittleEndian::U32(table, nPlc + i * 4);
        piece.nCpEnd = CLittleEndian::U32(table, nPlc + (i + 1) * 4);
        const uint32_t nFcRaw = CLittleEndian::U32(table, nPlc + (nPieces + 1) * 4 + i * 8 + 2);
        piece.bCompressed = (nFcRaw & 0x40000000) != 0;
        piece.nFc = piece.bCompressed ? (nFcRaw & ~0x40000000u) / 2 : nFcRaw;
        if (piece.nCpEnd < piece.nCpStart || (i > 0 && piece.nCpStart < pieces.back().nCpEnd))
            return Status::Damaged;
        const uint64_t nChars = piece.nCpEnd - piece.nCpStart;
        const uint64_t nBytes = piece.bCompressed ? nChars : nChars * 2;
        if (piece.nFc + nBytes > static_cast<uint64_t>(doc.size()))
            return Status::Damaged;
        nTotal += nChars;
        // Every character takes at least a byte of the stream.
        if (nTotal > static_cast<uint64_t>(doc.size()))
            return Status::Damaged;
        pieces.push_back(piece);
    }

    const std::vector<RowEnd> rows =
        FindRowEnds(doc, table, CLittleEndian::U32(doc, nBlob + 13 * 8),
                    CLittleEndian::U32(doc, nBlob + 13 * 8 + 4));

    // The stories follow one another in character positions.
    uint64_t nStoryStart[8];
    nStoryStart[0] = 0;
    for (int i = 0; i < 7; ++i)
        nStoryStart[i + 1] = nStoryStart[i] + ccp[i];
    auto storyOf = [&nStoryStart](uint64_t nCp)
    {
        int nStory = 0;
        while (nStory < 7 && nCp >= nStoryStart[nStory + 1])
            ++nStory;
        return nStory;
    };

    // Header stories: the first six are the note separators, then six per
    // section (even, odd header; even, odd footer; first header, footer).
    std::vector<uint32_t> hdd;
    const uint32_t nFcHdd = CLittleEndian::U32(doc, nBlob + 11 * 8);
    const uint32_t nLcbHdd = CLittleEndian::U32(doc, nBlob + 11 * 8 + 4);
    if (ccp[2] > 0 && nLcbHdd >= 8 && static_cast<qsizetype>(nFcHdd) + nLcbHdd <= table.size())
    {
        for (uint32_t i = 0; i < nLcbHdd / 4; ++i)
            hdd.push_back(CLittleEndian::U32(table, nFcHdd + i * 4));
    }
    auto isFooter = [&hdd](uint64_t nRel)
    {
        auto it = std::upper_bound(hdd.begin(), hdd.end(), nRel);
        if (it == hdd.begin() || it == hdd.end())
            return false;
        const size_t nIndex = static_cast<size_t>(it - hdd.begin()) - 1;
        if (nIndex < 6)
            return false;
        const size_t nKind = (nIndex - 6) % 6;
        return nKind == 2 || nKind == 3 || nKind == 5;
    };

    // Eight-bit pieces hold Windows-1252 text.
    char16_t latin[256];
    {
        char bytes[256];
        for (int i = 0; i < 256; ++i)
            bytes[i] = static_cast<char>(i);
        const QString strLatin = CCodePage::ToUnicode(bytes, 256, 1252);
        for (int i = 0; i < 256; ++i)
            latin[i] = strLatin.size() == 256 ? strLatin.at(i).unicode() : static_cast<char16_t>(i);
    }
    CStoryText stories[7];
    stories[1].SetNotes();
    stories[4].SetNotes();
    CStoryText footers;
    const auto* pDoc = reinterpret_cast<const unsigned char*>(doc.constData());
    for (const Piece& piece : pieces)
    {
        for (uint32_t nCp = piece.nCpStart; nCp < piece.nCpEnd; ++nCp)
        {
            const int nStory = storyOf(nCp);
            if (nStory >= 7)
                break;
            const uint32_t nIndex = nCp - piece.nCpStart;
            const uint32_t nFc = piece.bCompressed ? piece.nFc + nIndex : piece.nFc + nIndex * 2;
            char16_t ch;
            if (piece.bCompressed)
                ch = latin[pDoc[nFc]];
            else
                ch = static_cast<char16_t>(pDoc[nFc] | (pDoc[nFc + 1] << 8));
            const bool bRowEnd = ch == 0x07 && IsRowEnd(rows, nFc);
            if (nStory == 2 && isFooter(nCp - nStoryStart[2]))
                footers.Add(ch, bRowEnd);
            else
                stories[nStory].Add(ch, bRowEnd);
        }
    }

    // Headers, main text, text boxes, footnotes, endnotes, footers; the
    // comments are left out, as a reader of the page would not see them.
    QStringList parts;
    auto add = [&parts](const QString& strPart)
    {
        QString strClean;
        for (const QString& strLine : strPart.split(QLatin1Char('\n')))
        {
            if (!strLine.trimmed().isEmpty() || !strClean.isEmpty())
            {
                if (!strClean.isEmpty())
                    strClean.append(QLatin1Char('\n'));
                strClean.append(strLine);
            }
        }
        if (!strClean.trimmed().isEmpty())
            parts.append(strClean);
    };
    const QString strHeaders = stories[2].Take();
    add(strHeaders);
    strText = stories[0].Take();
    parts.append(strText);
    add(stories[5].Take());
    add(stories[1].Take());
    add(stories[4].Take());
    add(footers.Take());
    strText.clear();
    for (const QString& strPart : parts)
    {
        if (strPart.isEmpty())
            continue;
        if (!strText.isEmpty())
            strText.append(QLatin1Char('\n'));
        strText.append(strPart);
    }
    return Status::Ok;
}
