#pragma once

#include "speech/spobjecttoken.h"

#include <vector>

// The result of an enumeration: tokens in rank order.
class CSpEnumTokens
{
public:
    explicit CSpEnumTokens(std::vector<CSpObjectTokenPtr> tokens) : m_tokens(std::move(tokens)) {}

    bool GetCount(ULONG* pulCount) const;
    // The token at the index, or null.
    CSpObjectTokenPtr Item(ULONG nIndex) const;
    // The next token of the walk, or null at the end.
    CSpObjectTokenPtr Next();
    void Reset() { m_nNext = 0; }

private:
    std::vector<CSpObjectTokenPtr> m_tokens;
    size_t m_nNext = 0;
};
