#pragma once

// Zip packages built in memory, for package readers' tests and benchmarks.
#include <QByteArray>
#include <QRandomGenerator>
#include <cstdint>
#include <utility>
#include <vector>

namespace KbTest
{
struct ZipPart
{
    QByteArray name;
    QByteArray data;
    bool bDeflate;
};

inline void PutLe(QByteArray& bytes, int nPos, uint32_t nValue, int nSize)
{
    for (int i = 0; i < nSize; ++i)
        bytes[nPos + i] = char((nValue >> (8 * i)) & 0xFF);
}

// Parts are stored, or deflated with zlib's stream wrapper taken off.
// Each alias is one more directory entry, by its own name, for the bytes of
// the part at its index, as zip bombs share data.
inline QByteArray ZipPackage(const std::vector<ZipPart>& parts,
                             const std::vector<std::pair<QByteArray, int>>& aliases = {})
{
    QByteArray body, directory;
    std::vector<QByteArray> centrals;
    for (const ZipPart& part : parts)
    {
        QByteArray data = part.data;
        if (part.bDeflate)
        {
            const QByteArray wrapped = qCompress(part.data, 9);
            data = wrapped.mid(6, wrapped.size() - 10);
        }
        QByteArray local(30, '\0');
        PutLe(local, 0, 0x04034B50, 4);
        PutLe(local, 8, part.bDeflate ? 8 : 0, 2);
        PutLe(local, 18, uint32_t(data.size()), 4);
        PutLe(local, 22, uint32_t(part.data.size()), 4);
        PutLe(local, 26, uint32_t(part.name.size()), 2);
        QByteArray central(46, '\0');
        PutLe(central, 0, 0x02014B50, 4);
        PutLe(central, 10, part.bDeflate ? 8 : 0, 2);
        PutLe(central, 20, uint32_t(data.size()), 4);
        PutLe(central, 24, uint32_t(part.data.size()), 4);
        PutLe(central, 28, uint32_t(part.name.size()), 2);
        PutLe(central, 42, uint32_t(body.size()), 4);
        body.append(local + part.name + data);
        directory.append(central + part.name);
        centrals.push_back(central);
    }
    for (const auto& [name, nPart] : aliases)
    {
        QByteArray central = centrals[size_t(nPart)];
        PutLe(central, 28, uint32_t(name.size()), 2);
        directory.append(central + name);
    }
    QByteArray end(22, '\0');
    PutLe(end, 0, 0x06054B50, 4);
    PutLe(end, 8, uint32_t(parts.size() + aliases.size()), 2);
    PutLe(end, 10, uint32_t(parts.size() + aliases.size()), 2);
    PutLe(end, 12, uint32_t(directory.size()), 4);
    PutLe(end, 16, uint32_t(body.size()), 4);
    return body + directory + end;
}

// An OpenDocument text with the body given.
inline QByteArray Odt(const QByteArray& body, bool bDeflate = true)
{
    return ZipPackage({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                       {"content.xml",
                        "<office:document-content "
                        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\">"
                        "<office:body><office:text>" +
                            body + "</office:text></office:body></office:document-content>",
                        bDeflate}});
}

// A Word 2007+ package with the body given.
inline QByteArray Docx(const QByteArray& body, bool bDeflate = true)
{
    return ZipPackage(
        {{"word/document.xml",
          "<w:document xmlns:w=\"urn:w\"><w:body>" + body + "</w:body></w:document>", bDeflate}});
}

// An EPUB 3 book whose package is OPS/book.opf.
inline QByteArray Epub(const QByteArray& manifest, const QByteArray& spine,
                       std::vector<ZipPart> parts)
{
    parts.insert(parts.begin(),
                 {{"mimetype", "application/epub+zip", false},
                  {"META-INF/container.xml",
                   "<container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
                   "<rootfiles><rootfile full-path=\"OPS/book.opf\" "
                   "media-type=\"application/oebps-package+xml\"/></rootfiles></container>",
                   true},
                  {"OPS/book.opf",
                   "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
                   "<manifest>" +
                       manifest + "</manifest><spine toc=\"ncx\">" + spine + "</spine></package>",
                   true}});
    return ZipPackage(parts);
}

// An XHTML content document.
inline QByteArray Page(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html "
           "xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head><body>" +
           body + "</body></html>";
}

// Letters that deflate by little, so that only their size counts.
inline QByteArray Noise(int nBytes)
{
    QByteArray bytes(nBytes * 3 / 4, '\0');
    QRandomGenerator random(7);
    for (char& c : bytes)
        c = char(random.generate());
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)
        .replace('-', 'a')
        .replace('_', 'b');
}

// Thousands of nested entities that would expand to gigabytes.
inline QByteArray BillionLaughs(const QByteArray& root, const QByteArray& body)
{
    QByteArray dtd = "<!DOCTYPE " + root + " [<!ENTITY l0 \"ha\">";
    for (int i = 1; i < 10; ++i)
    {
        dtd += "<!ENTITY l" + QByteArray::number(i) + " \"";
        for (int j = 0; j < 10; ++j)
            dtd += "&l" + QByteArray::number(i - 1) + ";";
        dtd += "\">";
    }
    return "<?xml version=\"1.0\"?>" + dtd + "]>" + body;
}
} // namespace KbTest
