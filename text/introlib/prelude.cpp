#include "text/introlib/prelude.h"

#include <cstddef>

namespace
{
struct SPreludeRow
{
    const char16_t* pszCode; // four digits, lower case
    const char16_t* pszText;
};

#define KB_PAUSE u"<silence msec=\"300\"/>"

// Greenlandic is left empty: no phrase we could vouch for.
const SPreludeRow g_rows[] = {
    {u"0401", u"مستند" KB_PAUSE},      // Arabic
    {u"042d", u"Dokumentua" KB_PAUSE}, // Basque
    {u"0403", u"Document" KB_PAUSE},   // Catalan
    {u"0804", u"文档" KB_PAUSE},       // Chinese (Simplified)
    {u"0404", u"文件" KB_PAUSE},       // Chinese (Traditional)
    {u"041a", u"Dokument" KB_PAUSE},   // Croatian
    {u"0405", u"Dokument" KB_PAUSE},   // Czech
    {u"0406", u"Dokument" KB_PAUSE},   // Danish
    {u"0413", u"Document" KB_PAUSE},   // Dutch (Netherlands)
    {u"0809", u"Document" KB_PAUSE},   // English (UK)
    {u"0409", u"Document" KB_PAUSE},   // English (US)
    {u"040b", u"Asiakirja" KB_PAUSE},  // Finnish
    {u"040c", u"Document" KB_PAUSE},   // French (France)
    {u"0407", u"Dokument" KB_PAUSE},   // German
    {u"0408", u"Έγγραφο" KB_PAUSE},    // Greek
    {u"040d", u"מסמך" KB_PAUSE},       // Hebrew
    {u"040e", u"Dokumentum" KB_PAUSE}, // Hungarian
    {u"0410", u"Documento" KB_PAUSE},  // Italian
    {u"0411", u"文書" KB_PAUSE},       // Japanese
    {u"0412", u"문서" KB_PAUSE},       // Korean
    {u"0414", u"Dokument" KB_PAUSE},   // Norwegian
    {u"0415", u"Dokument" KB_PAUSE},   // Polish
    {u"0816", u"Documento" KB_PAUSE},  // Portuguese (Portugal)
    {u"0416", u"Documento" KB_PAUSE},  // Portuguese (Brazil)
    {u"0418", u"Document" KB_PAUSE},   // Romanian
    {u"0419", u"Документ" KB_PAUSE},   // Russian
    {u"041b", u"Dokument" KB_PAUSE},   // Slovakian
    {u"0424", u"Dokument" KB_PAUSE},   // Slovenian
    {u"0c0a", u"Documento" KB_PAUSE},  // Spanish (Spain)
    {u"080a", u"Documento" KB_PAUSE},  // Spanish (Mexico)
    {u"041d", u"Dokument" KB_PAUSE},   // Swedish
    {u"041e", u"เอกสาร" KB_PAUSE},     // Thai
    {u"041f", u"Belge" KB_PAUSE},      // Turkish
    {u"0422", u"Документ" KB_PAUSE},   // Ukrainian
    {u"042a", u"Tài liệu" KB_PAUSE},   // Vietnamese
    {u"040a", u"Documento" KB_PAUSE},  // Spanish (Spain Traditional Sort)
    {u"0813", u"Document" KB_PAUSE},   // Dutch (Belgium)
    {u"0c0c", u"Document" KB_PAUSE},   // French (Canada)
    {u"040f", u"Skjal" KB_PAUSE},      // Icelandic
    {u"0438", u"Skjal" KB_PAUSE},      // Faeroese
    {u"2c0a", u"Documento" KB_PAUSE},  // Spanish (Argentina)
    {u"340a", u"Documento" KB_PAUSE},  // Spanish (Chile)
    {u"0456", u"Documento" KB_PAUSE},  // Galician
    {u"540a", u"Documento" KB_PAUSE},  // Spanish (US)
    {u"0439", u"दस्तावेज़" KB_PAUSE},     // Hindi
    {u"041c", u"Dokument" KB_PAUSE},   // Albanian
    {u"0425", u"Dokument" KB_PAUSE},   // Estonian
    {u"0426", u"Dokuments" KB_PAUSE},  // Latvian
    {u"0427", u"Dokumentas" KB_PAUSE}, // Lithuanian
    {u"042b", u"Փաստաթուղթ" KB_PAUSE}, // Armenian
    {u"0437", u"დოკუმენტი" KB_PAUSE},  // Georgian
    {u"046f", u""},                    // Greenlandic
    {u"042f", u"Документ" KB_PAUSE},   // Macedonian
    {u"0429", u"سند" KB_PAUSE},        // Persian
    {u"0c1a", u"Документ" KB_PAUSE},   // Serbian (Cyrillic)
    {u"081a", u"Dokument" KB_PAUSE},   // Serbian (Latin)
    {u"0421", u"Dokumen" KB_PAUSE},    // Indonesian
    {u"043e", u"Dokumen" KB_PAUSE},    // Malay
    {u"083e", u"Dokumen" KB_PAUSE},    // Malay (Brunei)
    {u"0c09", u"Document" KB_PAUSE},   // English (AU)
    {u"4009", u"Document" KB_PAUSE},   // English (IN)
    {u"0452", u"Dogfen" KB_PAUSE},     // Welsh
};

#undef KB_PAUSE

const char16_t g_szEmpty[] = u"";

char16_t LowerHexDigit(char16_t c)
{
    if (c >= u'A' && c <= u'F')
        return char16_t(c - u'A' + u'a');
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))
        return c;
    return 0;
}

// The four-digit lower-case form in szCode; false for anything that is not
// three or four hexadecimal digits.
bool NormalizeCode(const char16_t* pszCode, char16_t (&szCode)[5])
{
    if (pszCode == nullptr)
        return false;
    std::size_t nLength = 0;
    while (nLength < 5 && pszCode[nLength] != 0)
        ++nLength;
    if (nLength != 3 && nLength != 4)
        return false;
    const std::size_t nPad = 4 - nLength;
    szCode[0] = u'0';
    for (std::size_t i = 0; i < nLength; ++i)
    {
        szCode[nPad + i] = LowerHexDigit(pszCode[i]);
        if (szCode[nPad + i] == 0)
            return false;
    }
    szCode[4] = 0;
    return true;
}

bool SameCode(const char16_t* pszA, const char16_t* pszB)
{
    for (int i = 0; i < 4; ++i)
    {
        if (pszA[i] != pszB[i])
            return false;
    }
    return true;
}
} // namespace

CPrelude::CPrelude() = default;

CPrelude::~CPrelude() = default;

const char16_t* CPrelude::GetPreludeString(const char16_t* pszLanguageCode)
{
    char16_t szCode[5];
    if (!NormalizeCode(pszLanguageCode, szCode))
        return g_szEmpty;
    for (const SPreludeRow& row : g_rows)
    {
        if (SameCode(row.pszCode, szCode))
            return row.pszText;
    }
    return g_szEmpty;
}
