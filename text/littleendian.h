#pragma once

#include <QByteArray>
#include <cstdint>

// Little-endian fields of the binary formats the readers parse. A field that
// runs past the end of the data reads as 0, so a damaged file can never make
// a reader look outside its buffer.
class CLittleEndian
{
public:
    static uint16_t U16(const QByteArray& bytes, qsizetype nPos)
    {
        if (nPos < 0 || nPos + 2 > bytes.size())
            return 0;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + nPos;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }

    static uint32_t U32(const QByteArray& bytes, qsizetype nPos)
    {
        if (nPos < 0 || nPos + 4 > bytes.size())
            return 0;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + nPos;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
};
