#include "text/documentformat.h"

#include "text/compoundfile.h"
#include "text/docxreader.h"
#include "text/epubreader.h"
#include "text/htmltext.h"
#include "text/mhtreader.h"
#include "text/odtreader.h"
#include "text/pdfreader.h"
#include "text/rtfreader.h"
#include "text/textfileread.h"
#include "text/wordreader.h"

#include <QBuffer>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <vector>

namespace
{
class CPlainText : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("txt")}; }
    QString ToText(const QByteArray& data, QString&) const override
    {
        QByteArray bytes = data;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CTextFileRead file(&buffer);
        QString strText;
        file.Read(strText, QStringLiteral("\n"));
        return strText;
    }
};

class CRtf : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("rtf")}; }
    QString ToText(const QByteArray& data, QString&) const override
    {
        return CRtfReader::ToText(data);
    }
    bool ViaTextFile() const override { return true; }
};

class CHtml : public CDocumentFormat
{
public:
    QStringList Extensions() const override
    {
        return {QStringLiteral("htm"), QStringLiteral("html")};
    }
    QString ToText(const QByteArray& data, QString&) const override
    {
        return CHtmlText::FromHtml(data);
    }
};

class CMht : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("mht")}; }
    QString ToText(const QByteArray& data, QString&) const override
    {
        return CMhtReader::ToText(data);
    }
};

// Files named .doc are often something else that Word opens just as well.
class CWord : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("doc")}; }
    QString ToText(const QByteArray& data, QString& strMessage) const override
    {
        const QByteArray head = data.left(4096);
        if (CCompoundFile::HasSignature(data))
        {
            QString strText;
            const CWordReader::Status status = CWordReader::ToText(data, strText);
            if (status != CWordReader::Status::Ok)
                strMessage = CWordReader::StatusMessage(status);
            return strText;
        }
        if (CRtfReader::LooksLikeRtf(head))
            return CRtfReader::ToText(data);
        if (CDocxReader::LooksLikeZip(head))
        {
            QString strText;
            const CDocxReader::Status status = CDocxReader::ToText(data, strText, true);
            if (status == CDocxReader::Status::TooLarge)
                strMessage = CDocxReader::StatusMessage(status);
            else if (status != CDocxReader::Status::Ok)
                strMessage = CWordReader::StatusMessage(status == CDocxReader::Status::Damaged
                                                            ? CWordReader::Status::Damaged
                                                            : CWordReader::Status::NotWord);
            return strText;
        }
        if (CMhtReader::LooksLikeMht(head))
            return CMhtReader::ToText(data);
        if (CHtmlText::LooksLikeHtml(head))
            return CHtmlText::FromHtml(data);
        strMessage = CWordReader::StatusMessage(CWordReader::Status::NotWord);
        return QString();
    }
};

class CDocx : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("docx")}; }
    QString ToText(const QByteArray& data, QString& strMessage) const override
    {
        QString strText;
        strMessage = CDocxReader::StatusMessage(CDocxReader::ToText(data, strText, false));
        return strText;
    }
};

class COdt : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("odt")}; }
    QString ToText(const QByteArray& data, QString& strMessage) const override
    {
        QString strText;
        strMessage = COdtReader::StatusMessage(COdtReader::ToText(data, strText));
        return strText;
    }
};

class CEpub : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("epub")}; }
    QString ToText(const QByteArray& data, QString& strMessage) const override
    {
        QString strText;
        strMessage = CEpubReader::StatusMessage(CEpubReader::ToText(data, strText));
        return strText;
    }
};

class CPdf : public CDocumentFormat
{
public:
    QStringList Extensions() const override { return {QStringLiteral("pdf")}; }
    QString ToText(const QByteArray& data, QString& strMessage) const override
    {
        QString strText;
        strMessage = CPdfReader::StatusMessage(CPdfReader::ToText(data, strText));
        return strText;
    }
};

struct Registry
{
    QMutex mutex;
    std::vector<std::shared_ptr<const CDocumentFormat>> formats;
};

Registry& TheRegistry()
{
    static Registry registry;
    static const bool bFilled = []
    {
        registry.formats = {PlainTextFormat(), WordFormat(), HtmlFormat(), MhtFormat(), RtfFormat(),
                            DocxFormat(),      OdtFormat(),  EpubFormat(), PdfFormat()};
        return true;
    }();
    Q_UNUSED(bFilled);
    return registry;
}
} // namespace

std::shared_ptr<const CDocumentFormat> PlainTextFormat()
{
    static const auto pFormat = std::make_shared<const CPlainText>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> RtfFormat()
{
    static const auto pFormat = std::make_shared<const CRtf>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> WordFormat()
{
    static const auto pFormat = std::make_shared<const CWord>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> HtmlFormat()
{
    static const auto pFormat = std::make_shared<const CHtml>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> MhtFormat()
{
    static const auto pFormat = std::make_shared<const CMht>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> DocxFormat()
{
    static const auto pFormat = std::make_shared<const CDocx>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> OdtFormat()
{
    static const auto pFormat = std::make_shared<const COdt>();
    return pFormat;
}

std::shared_ptr<const CDocumentFormat> EpubFormat()
{
    static const auto pFormat = std::make_shared<const CEpub>();
    return pFormat;
}

QString CDocumentFormats::ExtensionOf(const QString& strPath)
{
    return strPath.mid(strPath.lastIndexOf(QLatin1Char('.')) + 1).toLower();
}

std::shared_ptr<const CDocumentFormat> CDocumentFormats::ForPath(const QString& strPath)
{
    const QString strExtension = ExtensionOf(strPath);
    Registry& registry = TheRegistry();
    QMutexLocker lock(&registry.mutex);
    for (auto it = registry.formats.rbegin(); it != registry.formats.rend(); ++it)
    {
        if ((*it)->Extensions().contains(strExtension))
            return *it;
    }
    return nullptr;
}

void CDocumentFormats::Register(std::shared_ptr<const CDocumentFormat> pFormat)
{
    Registry& registry = TheRegistry();
    QMutexLocker lock(&registry.mutex);
    registry.formats.push_back(std::move(pFormat));
}

void CDocumentFormats::Unregister(const std::shared_ptr<const CDocumentFormat>& pFormat)
{
    Registry& registry = TheRegistry();
    QMutexLocker lock(&registry.mutex);
    registry.formats.erase(std::remove(registry.formats.begin(), registry.formats.end(), pFormat),
                           registry.formats.end());
}

std::shared_ptr<const CDocumentFormat> PdfFormat()
{
    static const auto pFormat = std::make_shared<const CPdf>();
    return pFormat;
}
