#pragma once

#include <QString>

class CSpeechApp;
class CWaveToMP3Converter;

// What the window's Save as Audio and the --save-audio verb take from the
// program and its settings: the folder the audio goes to and the tag every
// MP3 gets.
class CAudioSaveSettings
{
public:
    static constexpr int MONO_BITRATE = 64;

    // The configured folder (Audio/SavePath), repaired: the repaired value
    // is stored and the settings saved, and the default folder is made when
    // it takes the configured one's place. Ends in "/".
    static QString SaveFolder(CSpeechApp& app);

    // Comment (the program's home address without its scheme, in the
    // locale's 8-bit encoding), year and genre "Speech".
    static void ApplyTag(CWaveToMP3Converter& converter, int nYear);
    static int CurrentYear();
};
