#include "text/preludetext.h"

#include "text/introlib/prelude.h"

namespace
{
constexpr qsizetype MaxUnits = 300;
}

QString CPreludeText::Get(CPrelude& prelude, const QString& strCode)
{
    const QString strLibraryCode = LibraryCode(strCode);
    return Cut(prelude.GetPreludeString(reinterpret_cast<const char16_t*>(strLibraryCode.utf16())));
}

QString CPreludeText::LibraryCode(const QString& strCode)
{
    if (strCode.startsWith(QLatin1Char('0')))
        return strCode.mid(1);
    return strCode;
}

QString CPreludeText::Cut(const char16_t* pszText)
{
    if (pszText == nullptr)
        return QString();
    // Never reads past the cut, so an unterminated text cannot run away.
    qsizetype nLength = 0;
    while (nLength < MaxUnits && pszText[nLength] != 0)
        ++nLength;
    return QString::fromUtf16(pszText, nLength);
}
