#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// One kind of document the program reads. Formats are found by the file
// name's extension, the characters after its last dot, without regard to
// case.
class CDocumentFormat
{
public:
    virtual ~CDocumentFormat() = default;
    // Lower-case extensions without the dot.
    virtual QStringList Extensions() const = 0;
    // The document's visible text, lines ending in "\n". When nothing can be
    // read the text is empty and strMessage may say why.
    virtual QString ToText(const QByteArray& data, QString& strMessage) const = 0;
    // True when the text goes through a UTF-16 file in the "Temp" folder on
    // its way to the caller.
    virtual bool ViaTextFile() const { return false; }
};

class CDocumentFormats
{
public:
    // The characters after the last "." of the path (the whole path when it
    // has none), lower case.
    static QString ExtensionOf(const QString& strPath);
    // The format for a path, or null when none reads it.
    static std::shared_ptr<const CDocumentFormat> ForPath(const QString& strPath);
    // Adds a format; a later one wins for an extension both read.
    static void Register(std::shared_ptr<const CDocumentFormat> pFormat);
    static void Unregister(const std::shared_ptr<const CDocumentFormat>& pFormat);
};

// The program's own formats, for callers (the fuzz targets) that need one
// without a file name.
std::shared_ptr<const CDocumentFormat> PlainTextFormat();
std::shared_ptr<const CDocumentFormat> RtfFormat();
std::shared_ptr<const CDocumentFormat> WordFormat();
std::shared_ptr<const CDocumentFormat> HtmlFormat();
std::shared_ptr<const CDocumentFormat> MhtFormat();
std::shared_ptr<const CDocumentFormat> DocxFormat();
std::shared_ptr<const CDocumentFormat> OdtFormat();
std::shared_ptr<const CDocumentFormat> EpubFormat();
std::shared_ptr<const CDocumentFormat> PdfFormat();
