#include "app/settingssection.h"

namespace
{
inline ushort FoldCase(ushort ch)
{
    return (ch >= 'A' && ch <= 'Z') ? ushort(ch + ('a' - 'A')) : ch;
}

inline bool IsBlank(QChar ch)
{
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t');
}
} // namespace

bool CNoCaseLess::operator()(const QString& a, const QString& b) const
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
    {
        const ushort ca = FoldCase(a.at(i).unicode());
        const ushort cb = FoldCase(b.at(i).unicode());
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

QString StripBlanks(const QString& str)
{
    qsizetype nBegin = 0;
    qsizetype nEnd = str.size();
    while (nBegin < nEnd && IsBlank(str.at(nBegin)))
        ++nBegin;
    while (nEnd > nBegin && IsBlank(str.at(nEnd - 1)))
        --nEnd;
    return str.mid(nBegin, nEnd - nBegin);
}

CSettingsEntry* CSettingsSection::FindKey(const QString& strKey) const
{
    const auto it = m_entries.find(StripBlanks(strKey));
    return it == m_entries.end() ? nullptr : it->second.get();
}

CSettingsEntry* CSettingsSection::GetOrAddKey(const QString& strKey)
{
    const QString strName = StripBlanks(strKey);
    auto it = m_entries.find(strName);
    if (it == m_entries.end())
        it = m_entries.emplace(strName, std::make_unique<CSettingsEntry>(strName, this)).first;
    return it->second.get();
}
