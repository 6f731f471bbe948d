#pragma once

#include "speech/sapidefs.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Windows language ids, locale names and the engine's language tags.
class CSpLanguageTags
{
public:
    // The engine's language tags whose voices serve the language id: the
    // exact region where the engine has it, otherwise the nearest variety.
    static QList<QByteArray> EngineTagsFor(LANGID nLangId);
    // Language ids a voice with this engine language tag serves.
    static QList<LANGID> LangIdsForEngineTag(const QByteArray& tag);
    // "en_US", "en-US" or "de" to a language id; 0 when unknown.
    static LANGID LangIdFromLocaleName(const QString& strName);
    // The operating system's language and interface language, from the
    // locale (English (US) when the locale names no known language).
    static LANGID SystemLanguageId();
    static LANGID UserUiLanguageId();
    // The voice attribute's form of a four-digit code: one leading "0"
    // dropped ("0409" gives "409", "2c0a" stays).
    static QString WithoutLeadingZero(const QString& strCode);
    // "0409" to 0x0409; 0 when the text is no hexadecimal number.
    static LANGID ParseLangId(const QString& strHex);
};
