#pragma once

// Word 97-2003 documents built in memory, for the Word reader's tests and
// for documents whose fields the tests choose.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace KbTest
{
inline void Put16(QByteArray& b, int nPos, uint16_t v)
{
    b[nPos] = char(v & 0xFF);
    b[nPos + 1] = char(v >> 8);
}

inline void Put32(QByteArray& b, int nPos, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[nPos + i] = char((v >> (8 * i)) & 0xFF);
}

// A compound file of 512-byte sectors holding the streams, each padded to
// at least 4096 bytes so none goes to the mini stream. Sector 0 is the
// allocation table, sector 1 the directory.
inline QByteArray Compound(const std::vector<std::pair<QString, QByteArray>>& streams)
{
    QByteArray header(512, '\0');
    const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    for (int i = 0; i < 8; ++i)
        header[i] = sig[i];
    Put16(header, 24, 0x3E);
    Put16(header, 26, 3);
    Put16(header, 28, 0xFFFE);
    Put16(header, 30, 9);
    Put16(header, 32, 6);
    Put32(header, 44, 1);
    Put32(header, 48, 1);
    Put32(header, 56, 4096);
    Put32(header, 60, 0xFFFFFFFE);
    Put32(header, 68, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i)
        Put32(header, 76 + i * 4, i == 0 ? 0 : 0xFFFFFFFF);

    QByteArray fat(512, '\xFF');
    Put32(fat, 0, 0xFFFFFFFD);
    Put32(fat, 4, 0xFFFFFFFE);
    QByteArray dir(512, '\0');
    auto entry = [&dir](int nIndex, const QString& strName, int nType, uint32_t nStart,
                        uint32_t nSize, uint32_t nRight, uint32_t nChild)
    {
        const int nBase = nIndex * 128;
        for (int i = 0; i < strName.size(); ++i)
            Put16(dir, nBase + i * 2, strName.at(i).unicode());
        Put16(dir, nBase + 64, uint16_t((strName.size() + 1) * 2));
        dir[nBase + 66] = char(nType);
        Put32(dir, nBase + 68, 0xFFFFFFFF);
        Put32(dir, nBase + 72, nRight);
        Put32(dir, nBase + 76, nChild);
        Put32(dir, nBase + 116, nStart);
        Put32(dir, nBase + 120, nSize);
    };
    entry(0, QStringLiteral("Root Entry"), 5, 0xFFFFFFFE, 0, 0xFFFFFFFF, 1);
    QByteArray body;
    uint32_t nSector = 2;
    for (size_t s = 0; s < streams.size(); ++s)
    {
        QByteArray data = streams[s].second;
        if (data.size() < 4096)
            data.append(QByteArray(4096 - data.size(), '\0'));
        if (data.size() % 512)
            data.append(QByteArray(512 - data.size() % 512, '\0'));
        const uint32_t nCount = uint32_t(data.size() / 512);
        for (uint32_t i = 0; i < nCount; ++i)
            Put32(fat, int((nSector + i) * 4), i + 1 == nCount ? 0xFFFFFFFE : nSector + i + 1);
        entry(int(s + 1), streams[s].first, 2, nSector, uint32_t(data.size()),
              s + 1 < streams.size() ? uint32_t(s + 2) : 0xFFFFFFFF, 0xFFFFFFFF);
        nSector += nCount;
        body.append(data);
    }
    return header + fat + dir + body;
}

struct Piece
{
    QString strText;
    bool bCompressed;
};

// A Word 97 document: the FIB, the pieces' text from offset 1024 of the
// WordDocument stream and the piece table in the 1Table stream.
inline QByteArray WordDocument(const std::vector<Piece>& pieces, uint32_t nCcpText,
                               uint32_t nCcpFtn = 0, uint16_t nFlags = 0x0200, uint16_t nFib = 0xC1)
{
    QByteArray doc(1024, '\0');
    Put16(doc, 0, 0xA5EC);
    Put16(doc, 2, nFib);
    Put16(doc, 10, nFlags);
    Put16(doc, 32, 14);
    Put16(doc, 62, 22);
    Put32(doc, 76, nCcpText);
    Put32(doc, 80, nCcpFtn);
    Put16(doc, 152, 93);
    QByteArray cps, pcds;
    uint32_t nCp = 0;
    for (const Piece& piece : pieces)
    {
        QByteArray cp(4, '\0');
        Put32(cp, 0, nCp);
        cps.append(cp);
        QByteArray pcd(8, '\0');
        const uint32_t nFc = uint32_t(doc.size());
        Put32(pcd, 2, piece.bCompressed ? (nFc * 2) | 0x40000000 : nFc);
        pcds.append(pcd);
        if (piece.bCompressed)
            doc.append(piece.strText.toLatin1());
        else
        {
            for (QChar c : piece.strText)
            {
                doc.append(char(c.unicode() & 0xFF));
                doc.append(char(c.unicode() >> 8));
            }
        }
        nCp += uint32_t(piece.strText.size());
    }
    QByteArray cp(4, '\0');
    Put32(cp, 0, nCp);
    cps.append(cp);
    QByteArray table(5, '\0');
    table[0] = 0x02;
    Put32(table, 1, uint32_t(cps.size() + pcds.size()));
    table.append(cps + pcds);
    Put32(doc, 154 + 33 * 8, 0);
    Put32(doc, 154 + 33 * 8 + 4, uint32_t(table.size()));
    return Compound({{QStringLiteral("WordDocument"), doc}, {QStringLiteral("1Table"), table}});
}
} // namespace KbTest
