#include "text/docxreader.h"
#include "text/ziparchive.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>

namespace
{
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
        // Packages carry no DTD; one here could only expand entities.
        if (token == QXmlStreamReader::DTD)
        {
            bDamaged = true;
            break;
        }
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

QStringList PartsLike(const QStringList& names, const QString& strPrefix)
{
    QStringList parts;
    for (const QString& strName : names)
    {
        if (strName.startsWith(strPrefix) && strName.endsWith(QLatin1String(".xml")) &&
            !strName.mid(strPrefix.size()).contains(QLatin1Char('/')))
            parts.append(strName);
    }
    // header2 before header10.
    std::sort(parts.begin(), parts.end(),
              [](const QString& a, const QString& b)
              { return a.size() != b.size() ? a.size() < b.size() : a < b; });
    return parts;
}
} // namespace

bool CDocxReader::LooksLikeZip(const QByteArray& head)
{
    return CZipArchive::HasSignature(head);
}

QString CDocxReader::StatusMessage(Status status)
{
    switch (status)
    {
    case Status::NotDocx:
        return QStringLiteral("The file is not a Word 2007 or later document.");
    case Status::Damaged:
        return QStringLiteral("The Word document is damaged and cannot be read.");
    case Status::TooLarge:
        return CZipArchive::TooLargeMessage();
    case Status::Ok:
        break;
    }
    return QString();
}

CDocxReader::Status CDocxReader::ToText(const QByteArray& data, QString& strText,
                                        bool bHeadersAndFooters)
{
    strText.clear();
    CZipArchive zip;
    if (!zip.Open(data))
        return LooksLikeZip(data) ? Status::Damaged : Status::NotDocx;
    const QString strMain = QStringLiteral("word/document.xml");
    if (!zip.Contains(strMain))
        return Status::NotDocx;
    bool bDamaged = false;
    bool bTooLarge = false;
    QStringList parts;
    auto addPart = [&](const QString& strName, bool bMain)
    {
        QByteArray xml;
        const CZipArchive::Status status = zip.Read(strName, xml);
        if (status != CZipArchive::Status::Ok)
        {
            bTooLarge = bTooLarge || status == CZipArchive::Status::TooLarge;
            bDamaged = bDamaged || (bMain && status == CZipArchive::Status::Damaged);
            return;
        }
        const QString strPart = PartText(xml, bDamaged);
        if (!strPart.isEmpty() || bMain)
            parts.append(strPart);
    };
    const QStringList names = zip.Names();
    if (bHeadersAndFooters)
    {
        for (const QString& strName : PartsLike(names, QStringLiteral("word/header")))
            addPart(strName, false);
    }
    addPart(strMain, true);
    addPart(QStringLiteral("word/footnotes.xml"), false);
    addPart(QStringLiteral("word/endnotes.xml"), false);
    if (bHeadersAndFooters)
    {
        for (const QString& strName : PartsLike(names, QStringLiteral("word/footer")))
            addPart(strName, false);
    }
    if (bDamaged && !bTooLarge && parts.join(QString()).trimmed().isEmpty())
        return Status::Damaged;
    for (const QString& strPart : parts)
    {
        if (strPart.isEmpty())
            continue;
        if (!strText.isEmpty())
            strText.append(QLatin1Char('\n'));
        strText.append(strPart);
    }
    // What fitted is kept; the message tells that more was left out.
    return bTooLarge ? Status::TooLarge : Status::Ok;
}
