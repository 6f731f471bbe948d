#include "audio/lamelibrary.h"

QStringList CLameLibrary::CandidateNames()
{
    return {QStringLiteral("libmp3lame.so.0"), QStringLiteral("libmp3lame.so"),
            QStringLiteral("mp3lame")};
}

bool CLameLibrary::Load()
{
    for (const QString& strName : CandidateNames())
    {
        if (Load(strName))
            return true;
    }
    return false;
}

bool CLameLibrary::Load(const QString& strPath)
{
    Free();
    m_library.setFileName(strPath);
    if (!m_library.load())
        return false;
    m_pfnInit = reinterpret_cast<lame_t (*)()>(m_library.resolve("lame_init"));
    m_pfnClose = reinterpret_cast<int (*)(lame_t)>(m_library.resolve("lame_close"));
    m_pfnGetVersion = reinterpret_cast<const char* (*)()>(m_library.resolve("get_lame_version"));
    if (!m_pfnInit || !m_pfnClose)
    {
        Free();
        return false;
    }
    return true;
}

void CLameLibrary::Free()
{
    m_pfnInit = nullptr;
    m_pfnClose = nullptr;
    m_pfnGetVersion = nullptr;
    if (m_library.isLoaded())
        m_library.unload();
}

QFunctionPointer CLameLibrary::Resolve(const char* pszSymbol)
{
    return m_library.isLoaded() ? m_library.resolve(pszSymbol) : nullptr;
}
