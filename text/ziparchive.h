#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

// The entries of a zip archive held in memory, found through its central
// directory. Inflating is bounded twice, so that a zip bomb costs bounded
// time and memory: all entries together never give more than MaxTotal nor
// more than MaxRatio times the archive's size, and no entry gives more than
// MaxRatio times its own compressed size. Entries whose bytes overlap an
// earlier entry's are not there.
class CZipArchive
{
public:
    enum class Status
    {
        Ok,
        Missing,
        Damaged,
        TooLarge
    };
    static constexpr qint64 MaxTotal = qint64(512) << 20;
    static constexpr qint64 MaxRatio = 100;

    // False when the data holds no central directory.
    bool Open(const QByteArray& data);
    bool Contains(const QString& strName) const;
    QStringList Names() const;
    Status Read(const QString& strName, QByteArray& out);

    static bool HasSignature(const QByteArray& head);
    static QString TooLargeMessage();

private:
    struct Entry
    {
        uint16_t nMethod = 0;
        uint32_t nCompressed = 0;
        uint32_t nOffset = 0;
    };
    void DropOverlaps();
    Status Inflate(const Entry& entry, QByteArray& out);

    QByteArray m_data;
    std::map<QString, Entry> m_entries;
    qint64 m_nBudget = 0;
};
