#include "text/ziparchive.h"

#include "text/littleendian.h"

#include <algorithm>
#include <utility>
#include <vector>
#include <zlib.h>

bool CZipArchive::HasSignature(const QByteArray& head)
{
    return head.startsWith("PK\x03\x04");
}

QString CZipArchive::TooLargeMessage()
{
    return QStringLiteral("The document unpacks to far more than its size, as only a damaged "
                          "or hostile file does, and was not read.");
}

bool CZipArchive::Open(const QByteArray& data)
{
    m_data = data;
    m_entries.clear();
    m_nBudget = qMin(MaxTotal, MaxRatio * qint64(data.size()));
    const qsizetype nLowest = qMax<qsizetype>(0, data.size() - 22 - 65535);
    qsizetype nEnd = -1;
    for (qsizetype i = data.size() - 22; i >= nLowest; --i)
    {
        if (CLittleEndian::U32(data, i) == 0x06054B50)
        {
            nEnd = i;
            break;
        }
    }
    if (nEnd < 0)
        return false;
    const uint16_t nCount = CLittleEndian::U16(data, nEnd + 10);
    qsizetype nPos = CLittleEndian::U32(data, nEnd + 16);
    for (uint16_t i = 0; i < nCount; ++i)
    {
        if (CLittleEndian::U32(data, nPos) != 0x02014B50)
            break;
        Entry entry;
        entry.nMethod = CLittleEndian::U16(data, nPos + 10);
        entry.nCompressed = CLittleEndian::U32(data, nPos + 20);
        entry.nOffset = CLittleEndian::U32(data, nPos + 42);
        const uint16_t nName = CLittleEndian::U16(data, nPos + 28);
        if (nPos + 46 + nName > data.size())
            break;
        // The first of two entries with one name wins, as in the local order.
        m_entries.emplace(QString::fromUtf8(data.constData() + nPos + 46, nName), entry);
        nPos +=
            46 + nName + CLittleEndian::U16(data, nPos + 30) + CLittleEndian::U16(data, nPos + 32);
    }
    DropOverlaps();
    return !m_entries.empty();
}

// Entries that share or overlap their bytes let a small archive inflate the
// same data many times over; only the first of such entries is kept.
void CZipArchive::DropOverlaps()
{
    std::vector<std::pair<qint64, QString>> byOffset;
    for (const auto& [strName, entry] : m_entries)
        byOffset.emplace_back(entry.nOffset, strName);
    std::sort(byOffset.begin(), byOffset.end());
    qint64 nEnd = 0;
    for (const auto& [nOffset, strName] : byOffset)
    {
        if (nOffset < nEnd)
        {
            m_entries.erase(strName);
            continue;
        }
        const Entry& entry = m_entries.at(strName);
        nEnd = nOffset + 30 + CLittleEndian::U16(m_data, nOffset + 26) +
               CLittleEndian::U16(m_data, nOffset + 28) + qint64(entry.nCompressed);
    }
}

bool CZipArchive::Contains(const QString& strName) const
{
    return m_entries.count(strName) != 0;
}

QStringList CZipArchive::Names() const
{
    QStringList names;
    for (const auto& item : m_entries)
        names.append(item.first);
    return names;
}

CZipArchive::Status CZipArchive::Read(const QString& strName, QByteArray& out)
{
    out.clear();
    const auto it = m_entries.find(strName);
    if (it == m_entries.end())
        return Status::Missing;
    const Status status = Inflate(it->second, out);
    if (status != Status::Ok)
        out.clear();
    return status;
}

CZipArchive::Status CZipArchive::Inflate(const Entry& entry, QByteArray& out)
{
    const qsizetype nHeader = entry.nOffset;
    if (CLittleEndian::U32(m_data, nHeader) != 0x04034B50)
        return Status::Damaged;
    const qsizetype nData = nHeader + 30 + CLittleEndian::U16(m_data, nHeader + 26) +
                            CLittleEndian::U16(m_data, nHeader + 28);
    if (nData > m_data.size() || entry.nCompressed > m_data.size() - nData)
        return Status::Damaged;
    const char* pIn = m_data.constData() + nData;
    if (entry.nMethod == 0)
    {
        if (entry.nCompressed > m_nBudget)
            return Status::TooLarge;
        m_nBudget -= entry.nCompressed;
        out = QByteArray(pIn, entry.nCompressed);
        return Status::Ok;
    }
    if (entry.nMethod != 8)
        return Status::Damaged;
    // Small parts compress by more than the ratio when they repeat much, and
    // cost nothing worth refusing.
    const qint64 nLimit =
        qMin(m_nBudget, qMax<qint64>(MaxRatio * entry.nCompressed, qint64(64) << 10));
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return Status::Damaged;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(pIn));
    stream.avail_in = entry.nCompressed;
    char buffer[16384];
    Status status = Status::Damaged;
    for (;;)
    {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        const int nResult = inflate(&stream, Z_NO_FLUSH);
        const qint64 nGot = static_cast<qint64>(sizeof buffer - stream.avail_out);
        if (out.size() + nGot > nLimit)
        {
            status = Status::TooLarge;
            break;
        }
        out.append(buffer, nGot);
        if (nResult == Z_STREAM_END)
        {
            status = Status::Ok;
            break;
        }
        // With room to write, anything but progress means damage.
        if (nResult != Z_OK)
            break;
    }
    inflateEnd(&stream);
    if (status == Status::Ok)
        m_nBudget -= out.size();
    return status;
}
