#pragma once

#include "app/settingssection.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>

// The in-memory settings: sections of keys and values, names matched without
// regard to the case of A-Z, kept in that sorted order.
class CSettingsStore
{
public:
    using SectionMap = std::map<QString, std::unique_ptr<CSettingsSection>, CNoCaseLess>;

    CSettingsStore() = default;
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    // Replaces the content with the file's; false (content unchanged) when
    // the file cannot be opened.
    bool Load(const QString& strPath);
    // Writes the whole store. The old file is replaced only once the new
    // bytes are safely on disk; on any failure it stays untouched and the
    // result is false.
    bool Save(const QString& strPath) const;

    // The content as Load reads and Save writes it, for callers that work
    // on bytes.
    void LoadFromBytes(const QByteArray& bytes);
    QByteArray ToBytes() const;

    void Clear();
    CSettingsSection* FindSection(const QString& strName) const;
    CSettingsSection* GetOrAddSection(const QString& strName);
    QString GetValue(const QString& strSection, const QString& strKey) const;
    void SetValue(const QString& strSection, const QString& strKey, const QString& strValue);
    const SectionMap& GetSections() const { return m_sections; }

private:
    SectionMap m_sections;
};
