#include "app/settingsstore.h"

#include <QFile>
#include <QSaveFile>
#include <unistd.h>

namespace
{
inline bool IsLineEndBlank(QChar ch)
{
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t') || ch == QLatin1Char('\r') ||
           ch == QLatin1Char('\n');
}

void AppendUtf16(QByteArray& out, const QString& str)
{
    for (QChar ch : str)
    {
        const ushort u = ch.unicode();
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    }
}
} // namespace

void CSettingsStore::Clear()
{
    m_sections.clear();
}

CSettingsSection* CSettingsStore::FindSection(const QString& strName) const
{
    const auto it = m_sections.find(StripBlanks(strName));
    return it == m_sections.end() ? nullptr : it->second.get();
}

CSettingsSection* CSettingsStore::GetOrAddSection(const QString& strName)
{
    const QString strStripped = StripBlanks(strName);
    auto it = m_sections.find(strStripped);
    if (it == m_sections.end())
    {
        it = m_sections.emplace(strStripped, std::make_unique<CSettingsSection>(strStripped, this))
                 .first;
    }
    return it->second.get();
}

QString CSettingsStore::GetValue(const QString& strSection, const QString& strKey) const
{
    const CSettingsSection* pSection = FindSection(strSection);
    const CSettingsEntry* pEntry = pSection ? pSection->FindKey(strKey) : nullptr;
    return pEntry ? pEntry->GetValue() : QString();
}

void CSettingsStore::SetValue(const QString& strSection, const QString& strKey,
                              const QString& strValue)
{
    GetOrAddSection(strSection)->GetOrAddKey(strKey)->SetValue(strValue);
}

void CSettingsStore::LoadFromBytes(const QByteArray& bytes)
{
    // The first two bytes are taken to be the byte-order mark, unchecked.
    const qsizetype nUnits = bytes.size() > 2 ? (bytes.size() - 2) / 2 : 0;
    QString strText(nUnits, Qt::Uninitialized);
    const uchar* p = reinterpret_cast<const uchar*>(bytes.constData()) + 2;
    QChar* pOut = strText.data();
    for (qsizetype i = 0; i < nUnits; ++i)
        pOut[i] = QChar(ushort(p[2 * i] | (p[2 * i + 1] << 8)));

    Clear();
    CSettingsSection* pCurrent = nullptr;
    qsizetype nStart = 0;
    while (nStart <= strText.size())
    {
        qsizetype nEnd = strText.indexOf(QLatin1Char('\n'), nStart);
        if (nEnd < 0)
            nEnd = strText.size();
        qsizetype nBegin = nStart;
        qsizetype nStop = nEnd;
        nStart = nEnd + 1;
        while (nBegin < nStop &&
               (strText.at(nBegin) == QLatin1Char(' ') || strText.at(nBegin) == QLatin1Char('\t')))
            ++nBegin;
        while (nStop > nBegin && (strText.at(nStop - 1) == QLatin1Char('\r') ||
                                  strText.at(nStop - 1) == QLatin1Char('\n')))
            --nStop;
        if (nStop == nBegin)
            continue;
        const QStringView line = QStringView(strText).mid(nBegin, nStop - nBegin);

        if (line.front() == QLatin1Char('['))
        {
            qsizetype nLast = line.size() - 1;
            while (nLast > 0 && IsLineEndBlank(line.at(nLast)))
                --nLast;
            if (nLast > 0 && line.at(nLast) == QLatin1Char(']'))
            {
                pCurrent = GetOrAddSection(line.mid(1, nLast - 1).toString());
                continue;
            }
        }
        const qsizetype nEquals = line.indexOf(QLatin1Char('='));
        if (nEquals > 0 && pCurrent)
        {
            pCurrent->GetOrAddKey(line.left(nEquals).toString())
                ->SetValue(line.mid(nEquals + 1).toString());
        }
    }
}

bool CSettingsStore::Load(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    LoadFromBytes(file.readAll());
    return true;
}

QByteArray CSettingsStore::ToBytes() const
{
    static const QString strCrLf = QStringLiteral("\r\n");
    QByteArray out;
    out.append("\xFF\xFE", 2);
    AppendUtf16(out, strCrLf);
    for (const auto& [name, pSection] : m_sections)
    {
        AppendUtf16(out, QLatin1Char('[') + pSection->GetName() + QLatin1Char(']') + strCrLf);
        for (const auto& [key, pEntry] : pSection->GetEntries())
            AppendUtf16(out, pEntry->GetKey() + QLatin1Char('=') + pEntry->GetValue() + strCrLf);
        AppendUtf16(out, strCrLf);
    }
    return out;
}

bool CSettingsStore::Save(const QString& strPath) const
{
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = ToBytes();
    // commit() reports neither a buffered write the disk refused nor a
    // failed sync, which is where a full disk may first say so.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
    {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
