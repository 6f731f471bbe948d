#include "speech/languagecatalogue.h"

#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/splanguagetags.h"
#include "speech/spobjecttokencategory.h"

#include <algorithm>

namespace
{
constexpr int g_nCodeChars = 4;
constexpr int g_nTextChars = 49;

std::unique_ptr<CSpEnumTokens> EnumVoices(const QString& strCode)
{
    CSpObjectTokenCategory category;
    if (!category.SetId(QStringLiteral(SPCAT_VOICES), false))
        return nullptr;
    return category.EnumTokens(QStringLiteral("Language=") + strCode, QString());
}
} // namespace

bool CLanguageCatalogue::ParseRow(const QString& strRow, LanguageRecord& record)
{
    if (strRow.size() < g_nCodeChars)
        return false;
    const int nLastHash = int(strRow.lastIndexOf(QLatin1Char('#')));
    record.szCode = strRow.left(g_nCodeChars);
    record.szName = nLastHash > 5 ? strRow.mid(5, nLastHash - 5).left(g_nTextChars) : QString();
    record.szDisplayName =
        nLastHash >= 0 ? strRow.mid(nLastHash + 1).left(g_nTextChars) : QString();
    return true;
}

bool CLanguageCatalogue::DisplayNameLess(const QString& strA, const QString& strB)
{
    auto fold = [](QChar c)
    { return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ? c.unicode() + 32 : c.unicode(); };
    const qsizetype nCommon = qMin(strA.size(), strB.size());
    for (qsizetype i = 0; i < nCommon; ++i)
    {
        const int a = fold(strA.at(i));
        const int b = fold(strB.at(i));
        if (a != b)
            return a < b;
    }
    return strA.size() < strB.size();
}

std::vector<LanguageRecord> CLanguageCatalogue::Build()
{
    std::vector<LanguageRecord> records;
    for (int nId = IDS_LANGUAGE_FIRST; nId <= IDS_LANGUAGE_LAST; ++nId)
    {
        QString strRow;
        LanguageRecord record;
        if (!CStringTable::LoadString(nId, strRow) || !ParseRow(strRow, record))
            continue;
        records.push_back(record);
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const LanguageRecord& a, const LanguageRecord& b)
                     { return DisplayNameLess(a.szDisplayName, b.szDisplayName); });
    return records;
}

QString CLanguageCatalogue::FindCode(const std::vector<LanguageRecord>& records,
                                     const QString& strDisplayName)
{
    for (const LanguageRecord& record : records)
    {
        if (record.szDisplayName.compare(strDisplayName, Qt::CaseInsensitive) == 0)
            return CSpLanguageTags::WithoutLeadingZero(record.szCode);
    }
    return QString();
}

int CLanguageCatalogue::FindStringPrefix(const QStringList& items, const QString& strText,
                                         int nStartAfter)
{
    const int nCount = int(items.size());
    if (strText.isEmpty() || nCount == 0)
        return -1;
    for (int n = 1; n <= nCount; ++n)
    {
        const int i = ((nStartAfter + n) % nCount + nCount) % nCount;
        if (items.at(i).startsWith(strText, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

bool CLanguageCatalogue::ListVoices(const QString& strCode, LANGID nUiLanguage,
                                    QStringList& descriptions)
{
    descriptions.clear();
    std::unique_ptr<CSpEnumTokens> pTokens = EnumVoices(strCode);
    ULONG nCount = 0;
    if (!pTokens || !pTokens->GetCount(&nCount))
        return false;
    if (nCount == 0)
        return true;
    CSpObjectTokenCategory category;
    category.SetId(QStringLiteral(SPCAT_VOICES), false);
    if (!category.FindBestToken(QStringLiteral("Language=") + strCode,
                                QStringLiteral("VendorPreferred")))
        return false;
    while (const CSpObjectTokenPtr pToken = pTokens->Next())
        descriptions.append(pToken->GetDescription(nUiLanguage));
    return true;
}

bool CLanguageCatalogue::FindVoice(const QString& strCode, const QString& strDescription,
                                   LANGID nUiLanguage, CSpObjectTokenPtr& pToken)
{
    pToken.reset();
    std::unique_ptr<CSpEnumTokens> pTokens = EnumVoices(strCode);
    ULONG nCount = 0;
    if (!pTokens || !pTokens->GetCount(&nCount))
        return false;
    for (ULONG i = nCount; i-- > 0;)
    {
        CSpObjectTokenPtr pItem = pTokens->Item(i);
        if (pItem &&
            pItem->GetDescription(nUiLanguage).compare(strDescription, Qt::CaseInsensitive) == 0)
        {
            pToken = pItem;
            break;
        }
    }
    return true;
}
