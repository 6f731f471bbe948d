#include "speech/splanguagetags.h"

#include <QLocale>

namespace
{
struct SLanguageRow
{
    LANGID nLangId;
    const char* pszLocale;
    const char* pszEngineTags; // space-separated
};

// The content languages of the catalogue first, then other languages the
// engine speaks. Where the engine lacks a region, the row names the nearest
// variety it has.
const SLanguageRow g_rows[] = {
    {0x0401, "ar-SA", "ar"},
    {0x042d, "eu-ES", "eu"},
    {0x0403, "ca-ES", "ca"},
    {0x0804, "zh-CN", "zh-cmn"},
    {0x0404, "zh-TW", "zh-cmn"},
    {0x041a, "hr-HR", "hr"},
    {0x0405, "cs-CZ", "cs"},
    {0x0406, "da-DK", "da"},
    {0x0413, "nl-NL", "nl"},
    {0x0809, "en-GB", "en-gb en-gb-scotland"},
    {0x0409, "en-US", "en-us en-us-nyc"},
    {0x040b, "fi-FI", "fi"},
    {0x040c, "fr-FR", "fr-fr"},
    {0x0407, "de-DE", "de"},
    {0x0408, "el-GR", "el"},
    {0x040d, "he-IL", "he"},
    {0x040e, "hu-HU", "hu"},
    {0x0410, "it-IT", "it"},
    {0x0411, "ja-JP", "ja"},
    {0x0412, "ko-KR", "ko"},
    {0x0414, "nb-NO", "nb"},
    {0x0415, "pl-PL", "pl"},
    {0x0816, "pt-PT", "pt-pt"},
    {0x0416, "pt-BR", "pt-br"},
    {0x0418, "ro-RO", "ro"},
    {0x0419, "ru-RU", "ru ru-lv"},
    {0x041b, "sk-SK", "sk"},
    {0x0424, "sl-SI", "sl"},
    {0x0c0a, "es-ES", "es"},
    {0x080a, "es-MX", "es-419"},
    {0x041d, "sv-SE", "sv"},
    {0x041e, "th-TH", "th"},
    {0x041f, "tr-TR", "tr"},
    {0x0422, "uk-UA", "uk"},
    {0x042a, "vi-VN", "vi vi-vn-x-central vi-vn-x-south"},
    {0x040a, "es-ES_tradnl", "es"},
    {0x0813, "nl-BE", "nl"},
    {0x0c0c, "fr-CA", "fr-fr fr-be fr-ch"},
    {0x040f, "is-IS", "is"},
    {0x0438, "fo-FO", ""},
    {0x2c0a, "es-AR", "es-419"},
    {0x340a, "es-CL", "es-419"},
    {0x0456, "gl-ES", ""},
    {0x540a, "es-US", "es-419"},
    {0x0439, "hi-IN", "hi"},
    {0x041c, "sq-AL", "sq"},
    {0x0425, "et-EE", "et"},
    {0x0426, "lv-LV", "lv"},
    {0x0427, "lt-LT", "lt"},
    {0x042b, "hy-AM", "hy"},
    {0x0437, "ka-GE", "ka"},
    {0x046f, "kl-GL", "kl"},
    {0x042f, "mk-MK", "mk"},
    {0x0429, "fa-IR", "fa fa-latn"},
    {0x0c1a, "sr-Cyrl", "sr"},
    {0x081a, "sr-Latn", "sr"},
    {0x0421, "id-ID", "id"},
    {0x043e, "ms-MY", "ms"},
    {0x083e, "ms-BN", "ms"},
    {0x0c09, "en-AU", "en-gb"},
    {0x2409, "en-029", "en-029"},
    {0x4009, "en-IN", "en-gb"},
    {0x0452, "cy-GB", "cy"},
    {0x0436, "af-ZA", "af"},
    {0x045e, "am-ET", "am"},
    {0x042c, "az-AZ", "az"},
    {0x046d, "ba-RU", "ba"},
    {0x0423, "be-BY", "be"},
    {0x0402, "bg-BG", "bg"},
    {0x0445, "bn-IN", "bn"},
    {0x141a, "bs-BA", "bs"},
    {0x083c, "ga-IE", "ga"},
    {0x0491, "gd-GB", "gd"},
    {0x0447, "gu-IN", "gu"},
    {0x044d, "as-IN", "as"},
    {0x043f, "kk-KZ", "kk"},
    {0x0440, "ky-KG", "ky"},
    {0x044b, "kn-IN", "kn"},
    {0x0457, "kok-IN", "kok"},
    {0x046e, "lb-LU", "lb"},
    {0x0481, "mi-NZ", "mi"},
    {0x044c, "ml-IN", "ml"},
    {0x044e, "mr-IN", "mr"},
    {0x043a, "mt-MT", "mt"},
    {0x0461, "ne-NP", "ne"},
    {0x0448, "or-IN", "or"},
    {0x0446, "pa-IN", "pa"},
    {0x0859, "sd-PK", "sd"},
    {0x045b, "si-LK", "si"},
    {0x0441, "sw-KE", "sw"},
    {0x0449, "ta-IN", "ta"},
    {0x044a, "te-IN", "te"},
    {0x0442, "tk-TM", "tk"},
    {0x0432, "tn-ZA", "tn"},
    {0x0444, "tt-RU", "tt"},
    {0x0480, "ug-CN", "ug"},
    {0x0420, "ur-PK", "ur"},
    {0x0443, "uz-UZ", "uz"},
    {0x0c04, "zh-HK", "yue"},
    {0x0455, "my-MM", "my"},
    {0x046b, "qu-BO", "qu"},
    {0x0474, "gn-PY", "gn"},
    {0x0476, "la", "la"},
};

QList<QByteArray> SplitTags(const char* pszTags)
{
    QList<QByteArray> tags;
    for (const QByteArray& tag : QByteArray(pszTags).split(' '))
    {
        if (!tag.isEmpty())
            tags.append(tag);
    }
    return tags;
}
} // namespace

QList<QByteArray> CSpLanguageTags::EngineTagsFor(LANGID nLangId)
{
    for (const SLanguageRow& row : g_rows)
    {
        if (row.nLangId == nLangId)
            return SplitTags(row.pszEngineTags);
    }
    return {};
}

QList<LANGID> CSpLanguageTags::LangIdsForEngineTag(const QByteArray& tag)
{
    QList<LANGID> ids;
    const QByteArray lower = tag.toLower();
    for (const SLanguageRow& row : g_rows)
    {
        if (SplitTags(row.pszEngineTags).contains(lower) && !ids.contains(row.nLangId))
            ids.append(row.nLangId);
    }
    return ids;
}

LANGID CSpLanguageTags::LangIdFromLocaleName(const QString& strName)
{
    QString strTag = strName;
    const int nDot = strTag.indexOf(QLatin1Char('.'));
    if (nDot >= 0)
        strTag.truncate(nDot);
    const int nAt = strTag.indexOf(QLatin1Char('@'));
    if (nAt >= 0)
        strTag.truncate(nAt);
    strTag.replace(QLatin1Char('_'), QLatin1Char('-'));
    if (strTag.isEmpty() || strTag == QLatin1String("C") || strTag == QLatin1String("POSIX"))
        return 0;
    for (const SLanguageRow& row : g_rows)
    {
        if (strTag.compare(QLatin1String(row.pszLocale), Qt::CaseInsensitive) == 0)
            return row.nLangId;
    }
    const QString strPrimary = strTag.section(QLatin1Char('-'), 0, 0);
    for (const SLanguageRow& row : g_rows)
    {
        const QString strRowPrimary =
            QString::fromLatin1(row.pszLocale).section(QLatin1Char('-'), 0, 0);
        if (strRowPrimary.compare(strPrimary, Qt::CaseInsensitive) == 0)
            return row.nLangId;
    }
    return 0;
}

LANGID CSpLanguageTags::SystemLanguageId()
{
    const LANGID nId = LangIdFromLocaleName(QLocale::system().name());
    return nId ? nId : LANGID(0x0409);
}

LANGID CSpLanguageTags::UserUiLanguageId()
{
    const QStringList languages = QLocale::system().uiLanguages();
    for (const QString& strLanguage : languages)
    {
        const LANGID nId = LangIdFromLocaleName(strLanguage);
        if (nId)
            return nId;
    }
    return LANGID(0x0409);
}

LANGID CSpLanguageTags::ParseLangId(const QString& strHex)
{
    bool bOk = false;
    const uint nValue = strHex.trimmed().toUInt(&bOk, 16);
    if (!bOk || nValue > 0xffff)
        return 0;
    return LANGID(nValue);
}

QString CSpLanguageTags::WithoutLeadingZero(const QString& strCode)
{
    if (strCode.startsWith(QLatin1Char('0')))
        return strCode.mid(1);
    return strCode;
}
