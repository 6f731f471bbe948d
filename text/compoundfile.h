#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// A reader of the compound file (structured storage) format that holds the
// streams of a Word 97-2003 document. Every chain is followed with a bound,
// so loops and out-of-range sectors end the read instead of the program.
class CCompoundFile
{
public:
    enum class Status
    {
        Ok,
        NotCompound,
        Damaged
    };

    Status Open(const QByteArray& data);
    bool HasStream(const QString& strName) const;
    // The stream's bytes; false when it is missing or its chain is broken.
    bool ReadStream(const QString& strName, QByteArray& bytes) const;

    static bool HasSignature(const QByteArray& data);

private:
    struct Entry
    {
        QString strName;
        int nType = 0;
        uint32_t nStart = 0;
        uint64_t nSize = 0;
        uint32_t nLeft = 0;
        uint32_t nRight = 0;
        uint32_t nChild = 0;
        // A stream of the root storage, not of an embedded object.
        bool bTopLevel = false;
    };

    bool ReadChain(uint32_t nStart, uint64_t nSize, QByteArray& bytes) const;
    bool ReadMiniChain(uint32_t nStart, uint64_t nSize, QByteArray& bytes) const;
    const Entry* Find(const QString& strName) const;
    void MarkTopLevel();
    uint32_t SectorCount() const;

    QByteArray m_data;
    uint32_t m_nSectorSize = 512;
    uint32_t m_nMiniSectorSize = 64;
    uint32_t m_nMiniCutoff = 4096;
    std::vector<uint32_t> m_fat;
    std::vector<uint32_t> m_miniFat;
    std::vector<Entry> m_entries;
    QByteArray m_miniStream;
};
