#include "text/odtreader.h"

#include "text/ziparchive.h"

#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace
{
const QString g_strText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString g_strTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString g_strOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString g_strSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");

// More spaces than a line holds are a hostile count, not layout.
constexpr int MaxSpaces = 64;

// The body text, or a note's, as it is built.
struct Flow
{
    QString strText;
    int nParagraphs = 0;
    // White space collapses, and is dropped at a paragraph's start.
    bool bAfterSpace = true;
    bool bEndnote = false;
    // Where each open table cell's text starts, innermost last.
    std::vector<qsizetype> cells;

    void EndLine()
    {
        if (bAfterSpace && strText.endsWith(QLatin1Char(' ')))
            strText.chop(1);
        strText.append(QLatin1Char('\n'));
    }
    void Chop(QChar ch)
    {
        if (strText.endsWith(ch))
            strText.chop(1);
    }
    void Trim()
    {
        while (!strText.isEmpty() && strText.back().isSpace())
            strText.chop(1);
    }
};

bool IsLeftOut(const QStringView ns, const QStringView name)
{
    if (ns == g_strText)
        return name == u"note-citation" || name == u"number" || name == u"tracked-changes" ||
               name == u"ruby-text" || name.endsWith(u"-source");
    if (ns == g_strOffice)
        return name == u"annotation" || name == u"forms" || name == u"scripts" ||
               name == u"event-listeners";
    if (ns == g_strTable)
        return name == u"covered-table-cell";
    return ns == g_strSvg && (name == u"title" || name == u"desc");
}

QString ContentText(const QByteArray& xml, bool& bDamaged)
{
    QXmlStreamReader reader(xml);
    std::vector<Flow> flows(1);
    std::vector<Flow> notes;
    // The class of each open note, innermost last.
    std::vector<bool> endnotes;
    int nSkip = 0;
    int nBody = 0;
    while (!reader.atEnd())
    {
        const QXmlStreamReader::TokenType token = reader.readNext();
        // Documents carry no DTD; one here could only expand entities.
        if (token == QXmlStreamReader::DTD)
        {
            bDamaged = true;
            break;
        }
        if (token == QXmlStreamReader::StartElement)
        {
            if (nSkip > 0)
            {
                ++nSkip;
                continue;
            }
            const QStringView ns = reader.namespaceUri();
            const QStringView name = reader.name();
            if (ns == g_strOffice && name == u"body")
            {
                ++nBody;
                continue;
            }
            if (nBody == 0)
                continue;
            if (IsLeftOut(ns, name))
            {
                nSkip = 1;
                continue;
            }
            Flow& flow = flows.back();
            if (ns == g_strTable && name == u"table-cell")
                flow.cells.push_back(flow.strText.size());
            else if (ns == g_strText)
            {
                if (name == u"p" || name == u"h")
                {
                    ++flow.nParagraphs;
                    flow.bAfterSpace = true;
                }
                else if (name == u"s")
                {
                    const QStringView count =
                        reader.attributes().value(g_strText, QLatin1String("c"));
                    const int nCount = count.isEmpty() ? 1 : count.toInt();
                    flow.strText.append(QString(qBound(0, nCount, MaxSpaces), QLatin1Char(' ')));
                    flow.bAfterSpace = false;
                }
                else if (name == u"tab")
                {
                    flow.strText.append(QLatin1Char('\t'));
                    flow.bAfterSpace = false;
                }
                else if (name == u"line-break")
                {
                    flow.strText.append(QLatin1Char('\n'));
                    flow.bAfterSpace = true;
                }
                else if (name == u"note-body")
                {
                    flows.emplace_back();
                    flows.back().bEndnote = !endnotes.empty() && endnotes.back();
                }
                else if (name == u"note")
                    endnotes.push_back(reader.attributes().value(
                                           g_strText, QLatin1String("note-class")) == u"endnote");
            }
        }
        else if (token == QXmlStreamReader::EndElement)
        {
            if (nSkip > 0)
            {
                --nSkip;
                continue;
            }
            const QStringView ns = reader.namespaceUri();
            const QStringView name = reader.name();
            if (ns == g_strOffice && name == u"body")
            {
                --nBody;
                continue;
            }
            if (nBody == 0)
                continue;
            Flow& flow = flows.back();
            if (ns == g_strText && (name == u"p" || name == u"h") && flow.nParagraphs > 0)
            {
                --flow.nParagraphs;
                flow.EndLine();
                flow.bAfterSpace = true;
            }
            else if (ns == g_strText && name == u"note-body" && flows.size() > 1)
            {
                Flow note = std::move(flows.back());
                flows.pop_back();
                note.Trim();
                if (!note.strText.isEmpty())
                    notes.push_back(std::move(note));
            }
            else if (ns == g_strText && name == u"note" && !endnotes.empty())
                endnotes.pop_back();
            else if (ns == g_strTable && name == u"table-cell" && !flow.cells.empty())
            {
                // The cell's last paragraph gives way to its tab.
                if (flow.strText.size() > flow.cells.back())
                    flow.Chop(QLatin1Char('\n'));
                flow.cells.pop_back();
                flow.strText.append(QLatin1Char('\t'));
            }
            else if (ns == g_strTable && name == u"table-row")
            {
                flow.Chop(QLatin1Char('\t'));
                flow.strText.append(QLatin1Char('\n'));
            }
        }
        else if (token == QXmlStreamReader::Characters && nSkip == 0 && nBody > 0 &&
                 flows.back().nParagraphs > 0)
        {
            Flow& flow = flows.back();
            for (const QChar ch : reader.text())
            {
                if (ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n')
                {
                    if (!flow.bAfterSpace)
                        flow.strText.append(QLatin1Char(' '));
                    flow.bAfterSpace = true;
                }
                else
                {
                    flow.strText.append(ch);
                    flow.bAfterSpace = false;
                }
            }
        }
    }
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        bDamaged = true;
    QStringList parts;
    flows.front().Trim();
    parts.append(flows.front().strText);
    for (const bool bEndnotes : {false, true})
    {
        for (const Flow& note : notes)
        {
            if (note.bEndnote == bEndnotes && !note.strText.isEmpty())
                parts.append(note.strText);
        }
    }
    parts.removeAll(QString());
    return parts.join(QLatin1Char('\n'));
}
} // namespace

QString COdtReader::StatusMessage(Status status)
{
    switch (status)
    {
    case Status::NotOdt:
        return QStringLiteral("The file is not an OpenDocument text.");
    case Status::Damaged:
        return QStringLiteral("The OpenDocument text is damaged and cannot be read.");
    case Status::TooLarge:
        return CZipArchive::TooLargeMessage();
    case Status::Ok:
        break;
    }
    return QString();
}

COdtReader::Status COdtReader::ToText(const QByteArray& data, QString& strText)
{
    strText.clear();
    CZipArchive zip;
    if (!zip.Open(data))
        return CZipArchive::HasSignature(data) ? Status::Damaged : Status::NotOdt;
    QByteArray xml;
    switch (zip.Read(QStringLiteral("content.xml"), xml))
    {
    case CZipArchive::Status::Missing:
        return Status::NotOdt;
    case CZipArchive::Status::Damaged:
        return Status::Damaged;
    case CZipArchive::Status::TooLarge:
        return Status::TooLarge;
    case CZipArchive::Status::Ok:
        break;
    }
    bool bDamaged = false;
    strText = ContentText(xml, bDamaged);
    return bDamaged && strText.isEmpty() ? Status::Damaged : Status::Ok;
}
