#include "text/epubreader.h"

#include "text/codepage.h"
#include "text/htmltext.h"
#include "text/ziparchive.h"

#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>
#include <map>
#include <vector>

namespace
{
struct ManifestItem
{
    QString strHref;
    QString strMediaType;
    QStringList properties;
};

struct Package
{
    std::map<QString, ManifestItem> manifest;
    QStringList spine;
    QString strNcx;
};

// Packages need no DTD; one that declares entities could only expand them.
bool RefusesDtd(const QXmlStreamReader& reader)
{
    return reader.tokenType() == QXmlStreamReader::DTD && !reader.entityDeclarations().isEmpty();
}

QString RootFilePath(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
    {
        reader.readNext();
        if (RefusesDtd(reader))
            return QString();
        if (reader.isStartElement() && reader.name() == u"rootfile")
        {
            const QStringView type = reader.attributes().value(QStringLiteral("media-type"));
            const QString strPath =
                reader.attributes().value(QStringLiteral("full-path")).toString();
            if (!strPath.isEmpty() && (type.isEmpty() || type == u"application/oebps-package+xml"))
                return strPath;
        }
    }
    return QString();
}

bool ReadPackage(const QByteArray& xml, Package& package)
{
    QXmlStreamReader reader(xml);
    bool bInManifest = false;
    bool bInSpine = false;
    while (!reader.atEnd())
    {
        reader.readNext();
        if (RefusesDtd(reader))
            return false;
        if (reader.isStartElement())
        {
            const QStringView name = reader.name();
            const QXmlStreamAttributes attributes = reader.attributes();
            if (name == u"manifest")
                bInManifest = true;
            else if (name == u"spine")
            {
                bInSpine = true;
                package.strNcx = attributes.value(QStringLiteral("toc")).toString();
            }
            else if (name == u"item" && bInManifest)
            {
                ManifestItem item;
                item.strHref = attributes.value(QStringLiteral("href")).toString();
                item.strMediaType = attributes.value(QStringLiteral("media-type")).toString();
                item.properties = attributes.value(QStringLiteral("properties"))
                                      .toString()
                                      .split(QLatin1Char(' '), Qt::SkipEmptyParts);
                package.manifest.emplace(attributes.value(QStringLiteral("id")).toString(),
                                         std::move(item));
            }
            else if (name == u"itemref" && bInSpine)
                package.spine.append(attributes.value(QStringLiteral("idref")).toString());
        }
        else if (reader.isEndElement())
        {
            if (reader.name() == u"manifest")
                bInManifest = false;
            else if (reader.name() == u"spine")
                bInSpine = false;
        }
    }
    return !reader.hasError() || reader.error() == QXmlStreamReader::PrematureEndOfDocumentError;
}

bool IsContent(const QString& strId, const ManifestItem& item, const Package& package)
{
    if (strId == package.strNcx || item.properties.contains(QStringLiteral("nav")) ||
        item.strMediaType == u"application/x-dtbncx+xml")
        return false;
    return item.strMediaType == u"application/xhtml+xml" || item.strMediaType == u"text/html" ||
           item.strMediaType == u"text/x-oeb1-document";
}

// XHTML is UTF-8 unless it says otherwise, where HTML would fall back on the
// locale's code page.
QString ContentText(const QByteArray& xhtml)
{
    unsigned nCodePage = CHtmlText::DetectCodePage(xhtml);
    if (nCodePage == CCodePage::CP_ACP)
        nCodePage = CCodePage::CP_UTF8;
    QString strText = CHtmlText::FromHtml(xhtml, nCodePage);
    while (!strText.isEmpty() && strText.back().isSpace())
        strText.chop(1);
    return strText;
}
} // namespace

QString CEpubReader::ResolveHref(const QString& strBase, const QString& strHref)
{
    QString strPath = strHref;
    for (const QChar ch : {QLatin1Char('#'), QLatin1Char('?')})
    {
        const qsizetype nEnd = strPath.indexOf(ch);
        if (nEnd >= 0)
            strPath.truncate(nEnd);
    }
    strPath = QUrl::fromPercentEncoding(strPath.toUtf8());
    if (strPath.isEmpty() || strPath.startsWith(QLatin1Char('/')) ||
        strPath.contains(QLatin1Char('\\')) || strPath.contains(QLatin1Char(':')) ||
        strPath.contains(QChar(0)))
        return QString();
    QStringList parts = strBase.split(QLatin1Char('/'));
    parts.removeLast();
    for (const QString& strPart : strPath.split(QLatin1Char('/')))
    {
        if (strPart.isEmpty() || strPart == u".")
            continue;
        if (strPart == u"..")
        {
            if (parts.isEmpty())
                return QString();
            parts.removeLast();
        }
        else
            parts.append(strPart);
    }
    return parts.join(QLatin1Char('/'));
}

QString CEpubReader::StatusMessage(Status status)
{
    switch (status)
    {
    case Status::NotEpub:
        return QStringLiteral("The file is not an EPUB book.");
    case Status::Damaged:
        return QStringLiteral("The EPUB book is damaged and cannot be read.");
    case Status::TooLarge:
        return CZipArchive::TooLargeMessage();
    case Status::Ok:
        break;
    }
    return QString();
}

CEpubReader::Status CEpubReader::ToText(const QByteArray& data, QString& strText)
{
    strText.clear();
    CZipArchive zip;
    if (!zip.Open(data))
        return CZipArchive::HasSignature(data) ? Status::Damaged : Status::NotEpub;
    QByteArray xml;
    QString strOpf;
    if (zip.Read(QStringLiteral("META-INF/container.xml"), xml) == CZipArchive::Status::Ok)
        strOpf = ResolveHref(QString(), RootFilePath(xml));
    if (strOpf.isEmpty() || !zip.Contains(strOpf))
    {
        strOpf.clear();
        for (const QString& strName : zip.Names())
        {
            if (strName.endsWith(QLatin1String(".opf"), Qt::CaseInsensitive))
            {
                strOpf = strName;
                break;
            }
        }
    }
    if (strOpf.isEmpty())
        return Status::NotEpub;
    Package package;
    switch (zip.Read(strOpf, xml))
    {
    case CZipArchive::Status::Ok:
        break;
    case CZipArchive::Status::TooLarge:
        return Status::TooLarge;
    default:
        return Status::Damaged;
    }
    if (!ReadPackage(xml, package))
        return Status::Damaged;
    bool bTooLarge = false;
    bool bDamaged = false;
    QSet<QString> read;
    QStringList chapters;
    for (const QString& strId : qAsConst(package.spine))
    {
        const auto it = package.manifest.find(strId);
        if (it == package.manifest.end() || !IsContent(strId, it->second, package))
            continue;
        const QString strEntry = ResolveHref(strOpf, it->second.strHref);
        // A chapter listed twice is read once: the budget is for bytes, not
        // for parsing the same bytes again and again.
        if (strEntry.isEmpty() || read.contains(strEntry))
            continue;
        read.insert(strEntry);
        QByteArray xhtml;
        const CZipArchive::Status status = zip.Read(strEntry, xhtml);
        if (status == CZipArchive::Status::TooLarge)
        {
            bTooLarge = true;
            break;
        }
        bDamaged = bDamaged || status == CZipArchive::Status::Damaged;
        const QString strChapter = ContentText(xhtml);
        if (!strChapter.isEmpty())
            chapters.append(strChapter);
    }
    strText = chapters.join(QStringLiteral("\n\n"));
    if (bTooLarge)
        return Status::TooLarge;
    if (strText.isEmpty() && bDamaged)
        return Status::Damaged;
    return Status::Ok;
}
