#pragma once

#include "app/settingsentry.h"

#include <QString>
#include <map>
#include <memory>

class CSettingsStore;

// Orders names the way the settings file sorts them: A-Z compared as a-z,
// everything else by UTF-16 code unit.
struct CNoCaseLess
{
    bool operator()(const QString& a, const QString& b) const;
};

// Spaces and tabs removed at both ends, the form every lookup uses.
QString StripBlanks(const QString& str);

class CSettingsSection
{
public:
    using EntryMap = std::map<QString, std::unique_ptr<CSettingsEntry>, CNoCaseLess>;

    CSettingsSection(const QString& strName, CSettingsStore* pStore)
        : m_strName(strName), m_pStore(pStore)
    {
    }

    const QString& GetName() const { return m_strName; }
    CSettingsStore* GetStore() const { return m_pStore; }
    const EntryMap& GetEntries() const { return m_entries; }

    // Null when the key is missing.
    CSettingsEntry* FindKey(const QString& strKey) const;
    // The entry, created with an empty value when missing.
    CSettingsEntry* GetOrAddKey(const QString& strKey);

private:
    QString m_strName;
    CSettingsStore* m_pStore;
    EntryMap m_entries;
};
