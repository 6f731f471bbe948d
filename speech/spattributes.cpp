#include "speech/spattributes.h"

QList<CSpAttributes::STerm> CSpAttributes::Parse(const QString& strQuery)
{
    QList<STerm> terms;
    const QStringList parts = strQuery.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& strPart : parts)
    {
        STerm term;
        const int nNot = strPart.indexOf(QLatin1String("!="));
        const int nEq = strPart.indexOf(QLatin1Char('='));
        if (nNot >= 0 && nNot < nEq)
        {
            term.strName = strPart.left(nNot).trimmed();
            term.strValue = strPart.mid(nNot + 2).trimmed();
            term.bHasValue = true;
            term.bNegated = true;
        }
        else if (nEq >= 0)
        {
            term.strName = strPart.left(nEq).trimmed();
            term.strValue = strPart.mid(nEq + 1).trimmed();
            term.bHasValue = true;
        }
        else
        {
            term.strName = strPart.trimmed();
        }
        if (!term.strName.isEmpty())
            terms.append(term);
    }
    return terms;
}

QString CSpAttributes::Find(const AttributeList& attributes, const QString& strName, bool* pbFound)
{
    for (const auto& attribute : attributes)
    {
        if (attribute.first.compare(strName, Qt::CaseInsensitive) == 0)
        {
            if (pbFound)
                *pbFound = true;
            return attribute.second;
        }
    }
    if (pbFound)
        *pbFound = false;
    return QString();
}

bool CSpAttributes::MatchesTerm(const AttributeList& attributes, const STerm& term)
{
    bool bFound = false;
    const QString strValue = Find(attributes, term.strName, &bFound);
    if (!term.bHasValue)
        return bFound;
    bool bHolds = false;
    if (bFound)
    {
        const QStringList values = strValue.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& strOne : values)
        {
            if (strOne.trimmed().compare(term.strValue, Qt::CaseInsensitive) == 0)
            {
                bHolds = true;
                break;
            }
        }
    }
    return term.bNegated ? !bHolds : bHolds;
}

bool CSpAttributes::MatchesAll(const AttributeList& attributes, const QString& strQuery)
{
    const QList<STerm> terms = Parse(strQuery);
    for (const STerm& term : terms)
    {
        if (!MatchesTerm(attributes, term))
            return false;
    }
    return true;
}

int CSpAttributes::CountMatches(const AttributeList& attributes, const QString& strQuery)
{
    int nCount = 0;
    const QList<STerm> terms = Parse(strQuery);
    for (const STerm& term : terms)
    {
        if (MatchesTerm(attributes, term))
            ++nCount;
    }
    return nCount;
}
