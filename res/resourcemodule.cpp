#include "res/resourcemodule.h"

namespace
{
CResourceModule* g_pCurrentModule = nullptr;
}

bool CResourceModule::Load(const QString& strPath)
{
    m_bLoaded = m_translator.load(strPath);
    m_strPath = m_bLoaded ? strPath : QString();
    return m_bLoaded;
}

QString CResourceModule::Lookup(const QString& strKey) const
{
    if (!m_bLoaded)
        return QString();
    const QByteArray key = strKey.toUtf8();
    // Id-based translations are stored with an empty context.
    return m_translator.translate("", key.constData());
}

CResourceModule* CResourceModule::GetCurrent()
{
    return g_pCurrentModule;
}

void CResourceModule::SetCurrent(CResourceModule* pModule)
{
    g_pCurrentModule = pModule;
}
