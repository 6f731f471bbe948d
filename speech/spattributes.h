#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Attribute queries of the voice registry: "Language=409;Gender=Female".
// A query term "Name=Value" matches when the token's attribute holds Value
// as one of its ";"-separated values (compared without regard to case); a
// term without a value ("VendorPreferred") matches when the attribute is
// present; "Name!=Value" matches when it does not hold Value.
class CSpAttributes
{
public:
    struct STerm
    {
        QString strName;
        QString strValue;
        bool bHasValue = false;
        bool bNegated = false;
    };
    typedef QList<QPair<QString, QString>> AttributeList;

    static QList<STerm> Parse(const QString& strQuery);
    static bool MatchesTerm(const AttributeList& attributes, const STerm& term);
    // True when every term of the query matches; an empty query matches all.
    static bool MatchesAll(const AttributeList& attributes, const QString& strQuery);
    // How many terms of the query match: the rank of a token for optional
    // attributes.
    static int CountMatches(const AttributeList& attributes, const QString& strQuery);
    // The attribute's value, or an empty text; bFound tells a missing one.
    static QString Find(const AttributeList& attributes, const QString& strName,
                        bool* pbFound = nullptr);
};
