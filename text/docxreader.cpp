#include "text/docxreader.h"
#include "text/littleendian.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <map>
#include <vector>
#include <zlib.h>

namespace
{
struct ZipEntry
{
    uint16_t nMethod = 0;
    uint32_t nCompressed = 0;
    uint32_t nOffset = 0;
};

// The central directory's entries by name; false when there is none.
bool ReadDirectory(const QByteArray& zip, std::map<QString, ZipEntry>& entries)
{
    const qsizetype nLowest = qMax<qsizetype>(0, zip.size() - 22 - 65535);
    qsizetype nEnd = -1;
    for (qsizetype i = zip.size() - 22; i >= nLowest; --i)
    {
        if (CLittleEndian::U32(zip, i) == 0x06054B50)
        {
            nEnd = i;
            break;
        }
    }
    if (nEnd < 0)
        return false;
    const uint16_t nCount = CLittleEndian::U16(zip, nEnd + 10);
    qsizetype nPos = CLittleEndian::U32(zip, nEnd + 16);
    for (uint16_t i = 0; i < nCount; ++i)
    {
        if (CLittleEndian::U32(zip, nPos) != 0x02014B50)
            return !entries.empty();
        ZipEntry entry;
        entry.nMethod = CLittleEndian::U16(zip, nPos + 10);
        entry.nCompressed = CLittleEndian::U32(zip, nPos + 20);
        entry.nOffset = CLittleEndian::U32(zip, nPos + 42);
        const uint16_t nName = CLittleEndian::U16(zip, nPos + 28);
        const qsizetype nNext = nPos + 46 + nName + CLittleEndian::U16(zip, nPos + 30) +
                                CLittleEndian::U16(zip, nPos + 32);
        if (nPos + 46 + nName > zip.size())
            return !entries.empty();
        entries[QString::fromUtf8(zip.constData() + nPos + 46, nName)] = entry;
        nPos = nNext;
    }
    return !entries.empty();
}

// The entry's bytes, inflated; false when damaged or past the budget,
// which each inflated byte uses up.
bool ReadEntry(const QByteArray& zip, const ZipEntry& entry, qint64& nBudget, QByteArray& out)
{
    out.clear();
    const qsizetype nHeader = entry.nOffset;
    if (CLittleEndian::U32(zip, nHeader) != 0x04034B50)
        return false;
    const qsizetype nData = nHeader + 30 + CLittleEndian::U16(zip, nHeader + 26) +
                            CLittleEndian::U16(zip, nHeader + 28);
    if (nData > zip.size() || entry.nCompressed > zip.size() - nData)
        return false;
    const char* pIn = zip.constData() + nData;
    if (entry.nMethod == 0)
    {
        if (entry.nCompressed > nBudget)
            return false;
        nBudget -= entry.nCompressed;
        out = QByteArray(pIn, entry.nCompressed);
        return true;
    }
    if (entry.nMethod != 8)
        return false;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(pIn));
    stream.avail_in = entry.nCompressed;
    char buffer[16384];
    int nResult = Z_OK;
    while (nResult == Z_OK)
    {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        nResult = inflate(&stream, Z_NO_FLUSH);
        const qint64 nGot = static_cast<qint64>(sizeof buffer - stream.avail_out);
        if (nGot > nBudget)
        {
            nResult = Z_MEM_ERROR;
            break;
        }
        nBudget -= nGot;
        out.append(buffer, nGot);
        if (nResult == Z_BUF_ERROR && stream.avail_in == 0)
            break;
        if (nResult == Z_BUF_ERROR)
            nResult = Z_OK;
    }
    inflateEnd(&stream);
    return nResult == Z_STREAM_END;
}

// The text of one WordprocessingML part.
QString PartText(const QByteArray& xml, bool& bDamaged)
{
    QXmlStreamReader reader(xml);
    QString strText;
    int nSkip = 0;
    bool bInText = false;
    bool bPendingBreak = false;
    bool bAfterNoteMark = false;
    auto append = [&](const QString& strRun)
    {
        if (bPendingBreak)
            strText.append(QLatin1Char('\n'));
        bPendingBreak = false;
        bAfterNoteMark = false;
        strText.append(strRun);
    };
    auto endLine = [&strText]
    {
        if (strText.endsWith(QLatin1Char('\t')))
            strText.chop(1);
        strText.append(QLatin1Char('\n'));
    };
    while (!reader.atEnd())
    {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement)
        {
            const QStringView name = reader.name();
            if (nSkip > 0)
            {
                ++nSkip;
                continue;
            }
            // Field codes, deleted text, the fallback copies of drawings
            // and separator notes are not part of the visible text.
            if (name == u"instrText" || name == u"delText" || name == u"Fallback" ||
                name == u"delInstrText" ||
                ((name == u"footnote" || name == u"endnote") &&
                 !reader.attributes().value(QStringLiteral("w:type")).isEmpty() &&
                 reader.attributes().value(QStringLiteral("w:type")) != u"normal"))
            {
                nSkip = 1;
                continue;
            }
            if (name == u"t")
                bInText = true;
            else if (name == u"footnoteRef" || name == u"endnoteRef")
                bAfterNoteMark = true;
            else if (name == u"tab")
            {
                if (!bAfterNoteMark)
                    append(QStringLiteral("\t"));
            }
            else if (name == u"br")
            {
                // A page break that ends its paragraph adds no line of its own.
                const QStringView type = reader.attributes().value(QStringLiteral("w:type"));
                if (type == u"page" || type == u"column")
                    bPendingBreak = true;
                else
                    append(QStringLiteral("\n"));
            }
            else if (name == u"cr")
                append(QStringLiteral("\n"));
            else if (name == u"noBreakHyphen")
                append(QString(QChar(0x2011)));
        }
        else if (token == QXmlStreamReader::EndElement)
        {
            if (nSkip > 0)
            {
                --nSkip;
                continue;
            }
            const QStringView name = reader.name();
            if (name == u"t")
                bInText = false;
            else if (name == u"p")
            {
                // Inside a cell the paragraphs part by a line; its last one
                // gives way to the cell's tab.
                bPendingBreak = false;
                bAfterNoteMark = false;
                endLine();
            }
            else if (name == u"tc")
            {
                if (strText.endsWith(QLatin1Char('\n')))
                    strText.chop(1);
                strText.append(QLatin1Char('\t'));
            }
            else if (name == u"tr")
                endLine();
        }
        else if (token == QXmlStreamReader::Characters && bInText && nSkip == 0)
        {
            QString strRun = reader.text().toString();
            if (bAfterNoteMark)
            {
                // The blank between a note's number and its text is left out.
                qsizetype i = 0;
                while (i < strRun.size() && strRun.at(i).isSpace())
                    ++i;
                strRun.remove(0, i);
                if (strRun.isEmpty())
                    continue;
            }
            append(strRun);
        }
    }
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        bDamaged = true;
    while (!strText.isEmpty() && strText.back().isSpace())
        strText.chop(1);
    return strText;
}

QStringList PartsLike(const std::map<QString, ZipEntry>& entries, const QString& strPrefix)
{
    QStringList names;
    for (const auto& [strName, entry] : entries)
    {
        if (strName.startsWith(strPrefix) && strName.endsWith(QLatin1String(".xml")) &&
            !strName.mid(strPrefix.size()).contains(QLatin1Char('/')))
            names.append(strName);
    }
    // header2 before header10.
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b)
              { return a.size() != b.size() ? a.size() < b.size() : a < b; });
    return names;
}
} // namespace

bool CDocxReader::LooksLikeZip(const QByteArray& head)
{
    return head.startsWith("PK\x03\x04");
}

CDocxReader::Status CDocxReader::ToText(const QByteArray& data, QString& strText)
{
    strText.clear();
    std::map<QString, ZipEntry> entries;
    if (!ReadDirectory(data, entries))
        return LooksLikeZip(data) ? Status::Damaged : Status::NotDocx;
    const auto itMain = entries.find(QStringLiteral("word/document.xml"));
    if (itMain == entries.end())
        return Status::NotDocx;
    qint64 nBudget = 16 * static_cast<qint64>(data.size()) + (1 << 20);
    bool bDamaged = false;
    QStringList parts;
    auto addPart = [&](const QString& strName, bool bMain)
    {
        const auto it = entries.find(strName);
        QByteArray xml;
        if (it == entries.end() || !ReadEntry(data, it->second, nBudget, xml))
        {
            if (bMain)
                bDamaged = true;
            return;
        }
        const QString strPart = PartText(xml, bDamaged);
        if (!strPart.isEmpty() || bMain)
            parts.append(strPart);
    };
    for (const QString& strName : PartsLike(entries, QStringLiteral("word/header")))
        addPart(strName, false);
    addPart(itMain->first, true);
    addPart(QStringLiteral("word/footnotes.xml"), false);
    addPart(QStringLiteral("word/endnotes.xml"), false);
    for (const QString& strName : PartsLike(entries, QStringLiteral("word/footer")))
        addPart(strName, false);
    if (bDamaged && parts.join(QString()).trimmed().isEmpty())
        return Status::Damaged;
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
