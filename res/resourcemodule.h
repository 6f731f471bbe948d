#pragma once

#include <QString>
#include <QTranslator>

// A user-interface language library: a compiled translation whose message ids
// are the resource ids of the built-in table. While a module is current,
// every text loaded by id comes from it.
class CResourceModule
{
public:
    // Loads the library file; false leaves the module empty.
    bool Load(const QString& strPath);
    bool IsLoaded() const { return m_bLoaded; }
    QString GetPath() const { return m_strPath; }

    // The text stored under the key, or an empty string when the module
    // does not carry it.
    QString Lookup(const QString& strKey) const;

    // The current module; null means the program's own English resources.
    static CResourceModule* GetCurrent();
    static void SetCurrent(CResourceModule* pModule);

private:
    QTranslator m_translator;
    QString m_strPath;
    bool m_bLoaded = false;
};
