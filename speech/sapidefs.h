#pragma once

#include <QString>
#include <QtGlobal>

// Names and values of the speech service's interface, kept as the platform
// defines them so that the calling code reads the same on every system.

typedef quint32 ULONG;
typedef quint16 LANGID;

// Speak flags.
constexpr quint32 SPF_DEFAULT = 0;
constexpr quint32 SPF_ASYNC = 1;
constexpr quint32 SPF_PURGEBEFORESPEAK = 2;
constexpr quint32 SPF_IS_XML = 8;
constexpr quint32 SPF_IS_NOT_XML = 16;

enum SPEVENTENUM
{
    SPEI_UNDEFINED = 0,
    SPEI_START_INPUT_STREAM = 1,
    SPEI_END_INPUT_STREAM = 2,
    SPEI_VOICE_CHANGE = 3,
    SPEI_TTS_BOOKMARK = 4,
    SPEI_WORD_BOUNDARY = 5,
    SPEI_PHONEME = 6,
    SPEI_SENTENCE_BOUNDARY = 7,
    SPEI_VISEME = 8,
    SPEI_TTS_AUDIO_LEVEL = 9,
    SPEI_TTS_PRIVATE = 15
};

constexpr quint64 SPFEI_FLAGCHECK = (quint64(1) << 30) | (quint64(1) << 33);
constexpr quint64 SPFEI(int nEvent)
{
    return (quint64(1) << nEvent) | SPFEI_FLAGCHECK;
}
constexpr quint64 SPFEI_ALL_TTS_EVENTS = quint64(0x000000000000FFFE) | SPFEI_FLAGCHECK;

// Running states of GetStatus.
constexpr quint32 SPRS_DONE = 1;
constexpr quint32 SPRS_IS_SPEAKING = 2;

// One queued event. Word boundaries carry the word's position in lParam and
// its length in wParam (UTF-16 units of the text given to Speak); a bookmark
// carries its name and, in lParam, the name's numeric value.
struct SPEVENT
{
    SPEVENTENUM eEventId = SPEI_UNDEFINED;
    ULONG ulStreamNum = 0;
    // Bytes of audio before the event: in the output file, or in the
    // utterance when it is played on the audio device.
    quint64 ullAudioStreamOffset = 0;
    qint64 wParam = 0;
    qint64 lParam = 0;
    QString strBookmark;

    void Clear() { *this = SPEVENT(); }
};

struct SPVOICESTATUS
{
    ULONG ulCurrentStream = 0;
    ULONG ulLastStreamQueued = 0;
    quint32 dwRunningState = SPRS_DONE;
    ULONG ulInputWordPos = 0;
    ULONG ulInputWordLen = 0;
    ULONG ulInputSentPos = 0;
    ULONG ulInputSentLen = 0;
    qint64 lBookmarkId = 0;
};

// The voice registry's category and the attribute names of its tokens.
#define SPCAT_VOICES "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices"

// The audio format of a voice's output (PCM).
struct WAVEFORMATEX
{
    quint16 wFormatTag = 1;
    quint16 nChannels = 1;
    quint32 nSamplesPerSec = 22050;
    quint32 nAvgBytesPerSec = 44100;
    quint16 nBlockAlign = 2;
    quint16 wBitsPerSample = 16;
};
