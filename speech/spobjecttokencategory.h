#pragma once

#include "speech/spenumtokens.h"

#include <memory>

// A category of the registry; only the voice category exists here.
class CSpObjectTokenCategory
{
public:
    // Selects the category; false for an unknown one.
    bool SetId(const QString& strCategoryId, bool bCreateIfNotExist);
    QString GetId() const { return m_strId; }

    // Tokens that match every required attribute, those matching more of the
    // optional attributes first, otherwise in registry order. Null when no
    // category is set.
    std::unique_ptr<CSpEnumTokens> EnumTokens(const QString& strRequired,
                                              const QString& strOptional) const;
    // The first token of that enumeration, or null.
    CSpObjectTokenPtr FindBestToken(const QString& strRequired, const QString& strOptional) const;

    // Overrides the registry's tokens (the tests' own voices).
    void SetTokens(std::vector<CSpObjectTokenPtr> tokens);

    static std::unique_ptr<CSpEnumTokens> Enumerate(const std::vector<CSpObjectTokenPtr>& tokens,
                                                    const QString& strRequired,
                                                    const QString& strOptional);

private:
    QString m_strId;
    bool m_bOwnTokens = false;
    std::vector<CSpObjectTokenPtr> m_tokens;
};
