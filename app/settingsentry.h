#pragma once

#include <QString>

class CSettingsSection;

// One key and its value; the key keeps the letter case it was first written in.
class CSettingsEntry
{
public:
    CSettingsEntry(const QString& strKey, CSettingsSection* pSection)
        : m_strKey(strKey), m_pSection(pSection)
    {
    }

    const QString& GetKey() const { return m_strKey; }
    const QString& GetValue() const { return m_strValue; }
    void SetValue(const QString& strValue) { m_strValue = strValue; }
    CSettingsSection* GetSection() const { return m_pSection; }

private:
    QString m_strKey;
    QString m_strValue;
    CSettingsSection* m_pSection;
};
