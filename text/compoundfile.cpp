#include "text/compoundfile.h"
#include "text/littleendian.h"

#include <cstring>
#include <vector>

namespace
{
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FreeSect = 0xFFFFFFFF;
const unsigned char g_signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
} // namespace

bool CCompoundFile::HasSignature(const QByteArray& data)
{
    return data.size() >= 8 && std::memcmp(data.constData(), g_signature, 8) == 0;
}

uint32_t CCompoundFile::SectorCount() const
{
    const qsizetype nBody = m_data.size() - static_cast<qsizetype>(m_nSectorSize);
    return nBody <= 0 ? 0 : static_cast<uint32_t>((nBody + m_nSectorSize - 1) / m_nSectorSize);
}

CCompoundFile::Status CCompoundFile::Open(const QByteArray& data)
{
    m_data = data;
    m_fat.clear();
    m_miniFat.clear();
    m_entries.clear();
    m_miniStream.clear();
    if (!HasSignature(m_data))
        return Status::NotCompound;
    if (m_data.size() < 512)
        return Status::Damaged;
    const uint16_t nShift = CLittleEndian::U16(m_data, 30);
    const uint16_t nMiniShift = CLittleEndian::U16(m_data, 32);
    if ((nShift != 9 && nShift != 12) || nMiniShift != 6)
        return Status::Damaged;
    m_nSectorSize = 1u << nShift;
    m_nMiniSectorSize = 1u << nMiniShift;
    m_nMiniCutoff = CLittleEndian::U32(m_data, 56);
    if (m_nMiniCutoff == 0 || m_nMiniCutoff > 0x100000)
        m_nMiniCutoff = 4096;
    const uint32_t nSectors = SectorCount();
    if (nSectors == 0)
        return Status::Damaged;

    // The sector allocation table, from the header's list and its chain.
    std::vector<uint32_t> fatSectors;
    const uint32_t nFatSectors = CLittleEndian::U32(m_data, 44);
    for (int i = 0; i < 109 && fatSectors.size() < nFatSectors; ++i)
        fatSectors.push_back(CLittleEndian::U32(m_data, 76 + i * 4));
    uint32_t nDifat = CLittleEndian::U32(m_data, 68);
    const uint32_t nPerDifat = m_nSectorSize / 4 - 1;
    uint32_t nGuard = 0;
    while (fatSectors.size() < nFatSectors && nDifat < nSectors && nGuard++ <= nSectors)
    {
        const qsizetype nBase = static_cast<qsizetype>(nDifat + 1) * m_nSectorSize;
        for (uint32_t i = 0; i < nPerDifat && fatSectors.size() < nFatSectors; ++i)
            fatSectors.push_back(CLittleEndian::U32(m_data, nBase + i * 4));
        nDifat = CLittleEndian::U32(m_data, nBase + nPerDifat * 4);
    }
    if (fatSectors.size() < nFatSectors || nFatSectors > nSectors)
        return Status::Damaged;
    m_fat.reserve(static_cast<size_t>(nFatSectors) * (m_nSectorSize / 4));
    for (uint32_t nSector : fatSectors)
    {
        if (nSector >= nSectors)
            return Status::Damaged;
        const qsizetype nBase = static_cast<qsizetype>(nSector + 1) * m_nSectorSize;
        for (uint32_t i = 0; i < m_nSectorSize / 4; ++i)
            m_fat.push_back(CLittleEndian::U32(m_data, nBase + i * 4));
    }

    QByteArray dir;
    if (!ReadChain(CLittleEndian::U32(m_data, 48), static_cast<uint64_t>(nSectors) * m_nSectorSize,
                   dir))
        return Status::Damaged;
    for (qsizetype nPos = 0; nPos + 128 <= dir.size(); nPos += 128)
    {
        Entry entry;
        entry.nType = static_cast<unsigned char>(dir.at(nPos + 66));
        const int nNameBytes = qMin<int>(CLittleEndian::U16(dir, nPos + 64), 64);
        const int nChars = qMax(0, nNameBytes / 2 - 1);
        for (int i = 0; i < nChars; ++i)
            entry.strName.append(QChar(CLittleEndian::U16(dir, nPos + i * 2)));
        entry.nStart = CLittleEndian::U32(dir, nPos + 116);
        entry.nSize = CLittleEndian::U32(dir, nPos + 120);
        if (m_nSectorSize == 4096)
            entry.nSize |= static_cast<uint64_t>(CLittleEndian::U32(dir, nPos + 124)) << 32;
        entry.nLeft = CLittleEndian::U32(dir, nPos + 68);
        entry.nRight = CLittleEndian::U32(dir, nPos + 72);
        entry.nChild = CLittleEndian::U32(dir, nPos + 76);
        m_entries.push_back(entry);
    }
    if (m_entries.empty() || m_entries.front().nType != 5)
        return Status::Damaged;
    MarkTopLevel();

    // The mini stream lives in the root entry's chain; its table in its own.
    const Entry& root = m_entries.front();
    if (root.nSize > 0 && !ReadChain(root.nStart, root.nSize, m_miniStream))
        return Status::Damaged;
    const uint32_t nMiniFatSectors = CLittleEndian::U32(m_data, 64);
    if (nMiniFatSectors > 0 && nMiniFatSectors <= nSectors)
    {
        QByteArray miniFat;
        if (!ReadChain(CLittleEndian::U32(m_data, 60),
                       static_cast<uint64_t>(nMiniFatSectors) * m_nSectorSize, miniFat))
            return Status::Damaged;
        m_miniFat.resize(static_cast<size_t>(miniFat.size() / 4));
        for (size_t i = 0; i < m_miniFat.size(); ++i)
            m_miniFat[i] = CLittleEndian::U32(miniFat, static_cast<qsizetype>(i) * 4);
    }
    return Status::Ok;
}

bool CCompoundFile::ReadChain(uint32_t nStart, uint64_t nSize, QByteArray& bytes) const
{
    bytes.clear();
    const uint32_t nSectors = SectorCount();
    const uint64_t nMax = static_cast<uint64_t>(nSectors) * m_nSectorSize;
    if (nSize > nMax)
        return false;
    bytes.reserve(static_cast<qsizetype>(nSize));
    uint32_t nSector = nStart;
    std::vector<bool> seen(nSectors, false);
    while (static_cast<uint64_t>(bytes.size()) < nSize)
    {
        if (nSector == EndOfChain || nSector == FreeSect)
            break;
        if (nSector >= nSectors || nSector >= m_fat.size() || seen[nSector])
            return false;
        seen[nSector] = true;
        const qsizetype nBase = static_cast<qsizetype>(nSector + 1) * m_nSectorSize;
        const qsizetype nTake = qMin<qsizetype>(
            qMin<qsizetype>(m_nSectorSize, static_cast<qsizetype>(nSize) - bytes.size()),
            m_data.size() - nBase);
        if (nTake <= 0)
            return false;
        bytes.append(m_data.constData() + nBase, nTake);
        nSector = m_fat[nSector];
    }
    // A directory is read to its chain's end; a stream must be whole.
    return static_cast<uint64_t>(bytes.size()) == nSize || nSize == nMax;
}

bool CCompoundFile::ReadMiniChain(uint32_t nStart, uint64_t nSize, QByteArray& bytes) const
{
    bytes.clear();
    if (nSize > static_cast<uint64_t>(m_miniStream.size()))
        return false;
    bytes.reserve(static_cast<qsizetype>(nSize));
    uint32_t nSector = nStart;
    std::vector<bool> seen(m_miniFat.size(), false);
    while (static_cast<uint64_t>(bytes.size()) < nSize)
    {
        if (nSector >= m_miniFat.size() || seen[nSector])
            return false;
        seen[nSector] = true;
        const qsizetype nBase = static_cast<qsizetype>(nSector) * m_nMiniSectorSize;
        const qsizetype nTake = qMin<qsizetype>(
            qMin<qsizetype>(m_nMiniSectorSize, static_cast<qsizetype>(nSize) - bytes.size()),
            m_miniStream.size() - nBase);
        if (nTake <= 0)
            return false;
        bytes.append(m_miniStream.constData() + nBase, nTake);
        nSector = m_miniFat[nSector];
    }
    return true;
}

void CCompoundFile::MarkTopLevel()
{
    // The root's children form a tree through their sibling links; every
    // entry is visited once, so a looped tree ends too.
    std::vector<bool> seen(m_entries.size(), false);
    std::vector<uint32_t> pending{m_entries.front().nChild};
    bool bAny = false;
    while (!pending.empty())
    {
        const uint32_t nId = pending.back();
        pending.pop_back();
        if (nId >= m_entries.size() || seen[nId] || nId == 0)
            continue;
        seen[nId] = true;
        m_entries[nId].bTopLevel = true;
        bAny = true;
        pending.push_back(m_entries[nId].nLeft);
        pending.push_back(m_entries[nId].nRight);
    }
    // A broken tree still lets the streams be found by name.
    if (!bAny)
    {
        for (Entry& entry : m_entries)
            entry.bTopLevel = true;
    }
}

const CCompoundFile::Entry* CCompoundFile::Find(const QString& strName) const
{
    for (const Entry& entry : m_entries)
    {
        if (entry.nType == 2 && entry.bTopLevel &&
            entry.strName.compare(strName, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

bool CCompoundFile::HasStream(const QString& strName) const
{
    return Find(strName) != nullptr;
}

bool CCompoundFile::ReadStream(const QString& strName, QByteArray& bytes) const
{
    const Entry* pEntry = Find(strName);
    if (!pEntry)
        return false;
    if (pEntry->nSize < m_nMiniCutoff)
        return ReadMiniChain(pEntry->nStart, pEntry->nSize, bytes);
    return ReadChain(pEntry->nStart, pEntry->nSize, bytes);
}
