#pragma once

#include "speech/languagerecord.h"
#include "speech/sapidefs.h"
#include "speech/spobjecttoken.h"

#include <QStringList>
#include <vector>

// The content languages (string resources 164 to 225 of the current
// resource module) and the voices the registry has for each. Needs no
// widget: the main window and the command line share it.
class CLanguageCatalogue
{
public:
    // "0409#English (US)#English (US)": the code is the first four
    // characters, the name runs from the sixth to the last "#", the display
    // name follows it. False for a row too short to hold a code.
    static bool ParseRow(const QString& strRow, LanguageRecord& record);
    // Every row that loads, sorted by display name.
    static std::vector<LanguageRecord> Build();
    // A-Z compared as a-z, otherwise by UTF-16 code unit.
    static bool DisplayNameLess(const QString& strA, const QString& strB);
    // The code of the record with that display name (any case), without one
    // leading "0"; empty when none has it.
    static QString FindCode(const std::vector<LanguageRecord>& records,
                            const QString& strDisplayName);
    // The item a drop-down list's prefix search finds: from the item after
    // nStartAfter to the end, then from the top; -1 for none or empty text.
    static int FindStringPrefix(const QStringList& items, const QString& strText, int nStartAfter);

    // The descriptions of the voices for an attribute code ("409"), in the
    // registry's order, in the interface language (the token's default
    // description when it has none for it). False when the registry cannot
    // be read; true with an empty list when the language has no voice.
    static bool ListVoices(const QString& strCode, LANGID nUiLanguage, QStringList& descriptions);
    // The voice of that language whose description equals the text (any
    // case), the last one of the registry's order when several do; null
    // when none does. False when the registry cannot be read.
    static bool FindVoice(const QString& strCode, const QString& strDescription, LANGID nUiLanguage,
                          CSpObjectTokenPtr& pToken);
};
