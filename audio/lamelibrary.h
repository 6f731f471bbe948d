#pragma once

#include <QLibrary>

struct lame_global_struct;
using lame_t = lame_global_struct*;

// The MP3 encoder, loaded from the system at run time so the program still
// starts (and says why audio saving is off) where it is missing.
class CLameLibrary
{
public:
    // The library names tried in order.
    static QStringList CandidateNames();

    bool Load();
    // Loads a library at an explicit path (used for other builds of it).
    bool Load(const QString& strPath);
    void Free();
    bool IsLoaded() const { return m_library.isLoaded() && m_pfnInit; }
    QString GetFileName() const { return m_library.fileName(); }

    // Entry points the converter uses; null until Load succeeds.
    lame_t (*m_pfnInit)() = nullptr;
    int (*m_pfnClose)(lame_t) = nullptr;
    const char* (*m_pfnGetVersion)() = nullptr;

    // Any further entry point by name, null when the library lacks it.
    QFunctionPointer Resolve(const char* pszSymbol);
    // The same into a typed pointer; false when the library lacks it.
    template <typename TFunction> bool Resolve(const char* pszSymbol, TFunction& pfn)
    {
        pfn = reinterpret_cast<TFunction>(Resolve(pszSymbol));
        return pfn != nullptr;
    }

private:
    QLibrary m_library;
};
