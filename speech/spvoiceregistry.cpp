#include "speech/spvoiceregistry.h"

#include "speech/splanguagetags.h"

#include <QMutex>
#include <QMutexLocker>

namespace
{
QMutex g_mutex;
bool g_bBuilt = false;
std::vector<CSpObjectTokenPtr> g_tokens;
} // namespace

QString CSpVoiceRegistry::LanguageAttribute(const CSpEngine::SVoice& voice)
{
    QList<LANGID> ids;
    const QByteArray first = voice.languages.isEmpty() ? QByteArray() : voice.languages.first();
    for (const QByteArray& tag : voice.languages)
    {
        // A regional voice also lists its bare language; that must not offer
        // it for the language's other regions.
        if (tag != first && !tag.contains('-') && first.startsWith(tag + '-'))
            continue;
        for (LANGID nId : CSpLanguageTags::LangIdsForEngineTag(tag))
        {
            if (!ids.contains(nId))
                ids.append(nId);
        }
    }
    QStringList parts;
    for (LANGID nId : ids)
        parts.append(QString::number(nId, 16));
    return parts.join(QLatin1Char(';'));
}

std::vector<CSpObjectTokenPtr>
CSpVoiceRegistry::BuildTokens(const std::vector<CSpEngine::SVoice>& voices)
{
    std::vector<CSpObjectTokenPtr> tokens;
    for (const CSpEngine::SVoice& voice : voices)
    {
        const QString strLanguage = LanguageAttribute(voice);
        for (int nGender = 0; nGender < 2; ++nGender)
        {
            const bool bFemale = nGender == 1;
            const QString strGender = bFemale ? QStringLiteral("Female") : QStringLiteral("Male");
            const QString strName = QStringLiteral("eSpeak NG %1 %2").arg(voice.strName, strGender);
            CSpAttributes::AttributeList attributes;
            attributes.append({QStringLiteral("Name"), strName});
            attributes.append({QStringLiteral("Gender"), strGender});
            attributes.append({QStringLiteral("Age"), QStringLiteral("Adult")});
            attributes.append({QStringLiteral("Vendor"), QStringLiteral("eSpeak NG")});
            if (!strLanguage.isEmpty())
                attributes.append({QStringLiteral("Language"), strLanguage});
            if (!bFemale)
                attributes.append({QStringLiteral("VendorPreferred"), QString()});
            QString strId = QString::fromLatin1(voice.identifier);
            strId.replace(QLatin1Char('/'), QLatin1Char('_'));
            auto pToken = std::make_shared<CSpObjectToken>(
                QStringLiteral(SPCAT_VOICES "\\Tokens\\eSpeakNG.%1.%2").arg(strId, strGender),
                attributes);
            pToken->SetStringValue(QString(), strName);
            pToken->SetStringValue(CSpObjectToken::LangIdValueName(0x0409), strName);
            pToken->SetEngineVoice(bFemale ? voice.identifier + FemaleVariant : voice.identifier);
            pToken->SetEngineLanguage(voice.languages.isEmpty() ? QByteArray()
                                                                : voice.languages.first());
            tokens.push_back(pToken);
        }
    }
    return tokens;
}

const std::vector<CSpObjectTokenPtr>& CSpVoiceRegistry::GetTokens()
{
    QMutexLocker lock(&g_mutex);
    if (!g_bBuilt)
    {
        g_bBuilt = true;
        g_tokens = BuildTokens(CSpEngine::Get()->ListVoices());
    }
    return g_tokens;
}

void CSpVoiceRegistry::Reset()
{
    QMutexLocker lock(&g_mutex);
    g_bBuilt = false;
    g_tokens.clear();
}
