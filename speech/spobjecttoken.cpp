#include "speech/spobjecttoken.h"

CSpObjectToken::CSpObjectToken(const QString& strId, const CSpAttributes::AttributeList& attributes)
    : m_strId(strId), m_attributes(attributes)
{
}

QString CSpObjectToken::GetAttribute(const QString& strName) const
{
    return CSpAttributes::Find(m_attributes, strName);
}

bool CSpObjectToken::GetStringValue(const QString& strValueName, QString& strValue) const
{
    const auto it = m_values.constFind(strValueName.toLower());
    if (it == m_values.constEnd())
        return false;
    strValue = it.value();
    return true;
}

void CSpObjectToken::SetStringValue(const QString& strValueName, const QString& strValue)
{
    m_values.insert(strValueName.toLower(), strValue);
}

QString CSpObjectToken::LangIdValueName(LANGID nLangId)
{
    return QString::number(nLangId, 16);
}

QString CSpObjectToken::GetDescription(LANGID nLangId) const
{
    QString strText;
    if (GetStringValue(LangIdValueName(nLangId), strText))
        return strText;
    if (GetStringValue(QString(), strText))
        return strText;
    return QString();
}
