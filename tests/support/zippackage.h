#pragma once

// Zip packages built in memory, for package readers' tests and benchmarks.
#include <QByteArray>
#include <cstdint>
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
inline QByteArray ZipPackage(const std::vector<ZipPart>& parts)
{
    QByteArray body, directory;
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
    }
    QByteArray end(22, '\0');
    PutLe(end, 0, 0x06054B50, 4);
    PutLe(end, 8, uint32_t(parts.size()), 2);
    PutLe(end, 10, uint32_t(parts.size()), 2);
    PutLe(end, 12, uint32_t(directory.size()), 4);
    PutLe(end, 16, uint32_t(body.size()), 4);
    return body + directory + end;
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
