#pragma once

#include "speech/spobjecttoken.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QTextStream>
#include <memory>

class CSpeechApp;
class CSpVoice;
class QCommandLineParser;

// What the verbs that speak take of the voice: --lang, --voice, --rate and
// --volume, checked once here, and the voice they choose.
class CVoiceOptions
{
public:
    static QList<QCommandLineOption> Options();
    static bool AnySet(const QCommandLineParser& parser);

    // Takes the options' values; false, with the usage error written, for
    // a bad one.
    bool Read(const QCommandLineParser& parser, QTextStream& err);

    // The content language as a four-digit catalogue code: the option's,
    // else the settings' start-up language, else English (United States).
    QString LanguageCode(const CSpeechApp* pSettings) const;
    // The voice for the language; returns the exit status (CCommandLine's
    // EXIT_OK, EXIT_FAILED or EXIT_USAGE), each failure written on err.
    int ChooseVoice(const QString& strCode, CSpObjectTokenPtr& pToken, QTextStream& err) const;
    // The voice with the rate and volume set and its word boundaries
    // queued; null, with the reason on err, when the engine cannot load.
    std::unique_ptr<CSpVoice> CreateVoice(const CSpObjectTokenPtr& pToken, QTextStream& err) const;

    QString m_strLanguage;  // a catalogue code; empty for the start-up one
    QString m_strVoiceName; // as --list-voices prints it; empty for the first
    int m_nRate = 0;
    int m_nVolume = 100;
};
