#pragma once

#include "speech/sapidefs.h"
#include "speech/spattributes.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <memory>

// One installed voice of the registry: its id, its attributes and its
// descriptions per interface language (value names such as "409"), with a
// default description under the empty name.
class CSpObjectToken
{
public:
    CSpObjectToken() = default;
    CSpObjectToken(const QString& strId, const CSpAttributes::AttributeList& attributes);

    QString GetId() const { return m_strId; }
    const CSpAttributes::AttributeList& GetAttributes() const { return m_attributes; }
    QString GetAttribute(const QString& strName) const;

    // The string value of that name ("" = the default value); false when the
    // token has none.
    bool GetStringValue(const QString& strValueName, QString& strValue) const;
    void SetStringValue(const QString& strValueName, const QString& strValue);

    // The description for an interface language: the value named by the id
    // in lowercase hexadecimal without leading zeros, or the default value.
    QString GetDescription(LANGID nLangId) const;
    static QString LangIdValueName(LANGID nLangId);

    // What the engine needs to speak with this voice ("gmw/en-US+f3") and the
    // engine's language tag of the voice ("en-us").
    QByteArray GetEngineVoice() const { return m_engineVoice; }
    void SetEngineVoice(const QByteArray& engineVoice) { m_engineVoice = engineVoice; }
    QByteArray GetEngineLanguage() const { return m_engineLanguage; }
    void SetEngineLanguage(const QByteArray& engineLanguage) { m_engineLanguage = engineLanguage; }

private:
    QString m_strId;
    CSpAttributes::AttributeList m_attributes;
    QMap<QString, QString> m_values;
    QByteArray m_engineVoice;
    QByteArray m_engineLanguage;
};

typedef std::shared_ptr<const CSpObjectToken> CSpObjectTokenPtr;
