#include "speech/spobjecttokencategory.h"

#include "speech/sapidefs.h"
#include "speech/spvoiceregistry.h"

#include <algorithm>

bool CSpObjectTokenCategory::SetId(const QString& strCategoryId, bool /*bCreateIfNotExist*/)
{
    if (strCategoryId.compare(QLatin1String(SPCAT_VOICES), Qt::CaseInsensitive) != 0)
        return false;
    m_strId = strCategoryId;
    return true;
}

void CSpObjectTokenCategory::SetTokens(std::vector<CSpObjectTokenPtr> tokens)
{
    m_tokens = std::move(tokens);
    m_bOwnTokens = true;
}

std::unique_ptr<CSpEnumTokens>
CSpObjectTokenCategory::Enumerate(const std::vector<CSpObjectTokenPtr>& tokens,
                                  const QString& strRequired, const QString& strOptional)
{
    std::vector<std::pair<int, CSpObjectTokenPtr>> ranked;
    for (const CSpObjectTokenPtr& pToken : tokens)
    {
        if (!CSpAttributes::MatchesAll(pToken->GetAttributes(), strRequired))
            continue;
        ranked.emplace_back(CSpAttributes::CountMatches(pToken->GetAttributes(), strOptional),
                            pToken);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<CSpObjectTokenPtr> result;
    result.reserve(ranked.size());
    for (auto& entry : ranked)
        result.push_back(std::move(entry.second));
    return std::make_unique<CSpEnumTokens>(std::move(result));
}

std::unique_ptr<CSpEnumTokens> CSpObjectTokenCategory::EnumTokens(const QString& strRequired,
                                                                  const QString& strOptional) const
{
    if (m_strId.isEmpty())
        return nullptr;
    return Enumerate(m_bOwnTokens ? m_tokens : CSpVoiceRegistry::GetTokens(), strRequired,
                     strOptional);
}

CSpObjectTokenPtr CSpObjectTokenCategory::FindBestToken(const QString& strRequired,
                                                        const QString& strOptional) const
{
    const std::unique_ptr<CSpEnumTokens> pEnum = EnumTokens(strRequired, strOptional);
    if (!pEnum)
        return nullptr;
    return pEnum->Item(0);
}
