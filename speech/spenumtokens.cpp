#include "speech/spenumtokens.h"

bool CSpEnumTokens::GetCount(ULONG* pulCount) const
{
    if (!pulCount)
        return false;
    *pulCount = ULONG(m_tokens.size());
    return true;
}

CSpObjectTokenPtr CSpEnumTokens::Item(ULONG nIndex) const
{
    if (nIndex >= m_tokens.size())
        return nullptr;
    return m_tokens[nIndex];
}

CSpObjectTokenPtr CSpEnumTokens::Next()
{
    if (m_nNext >= m_tokens.size())
        return nullptr;
    return m_tokens[m_nNext++];
}
