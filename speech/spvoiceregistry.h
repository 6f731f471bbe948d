#pragma once

#include "speech/spengine.h"
#include "speech/spobjecttoken.h"

#include <vector>

// The voice tokens of the engine's voices: for every voice a male token and
// a female one (the engine's female variant), each with the language ids it
// serves.
class CSpVoiceRegistry
{
public:
    // Built once from the process-wide engine.
    static const std::vector<CSpObjectTokenPtr>& GetTokens();
    static std::vector<CSpObjectTokenPtr> BuildTokens(const std::vector<CSpEngine::SVoice>& voices);
    // The language ids of an engine voice, ";"-separated hexadecimal.
    static QString LanguageAttribute(const CSpEngine::SVoice& voice);
    static void Reset();

    static constexpr const char* FemaleVariant = "+f3";
};
