#pragma once

#include <QString>

// The rules of a reading that need no window: which state the reading's
// flags describe, which of Speak, Pause and Stop each state offers, how a
// document is announced and how the clock counts. The window and the
// command line follow them; tests call them directly.
class CReadingRules
{
public:
    enum EState
    {
        Idle,
        Extracting,
        Speaking,
        BetweenFiles,
        Paused
    };

    struct SButtons
    {
        bool bSpeak = false;
        bool bPause = false;
        bool bStop = false;
        bool bResumeText = false; // Speak reads "Resume"
    };

    // Clock ticks of silence before every file of a list but the first.
    static constexpr int GAP_TICKS = 4;
    static constexpr int WAIT_STEP_MS = 100;

    static EState StateOf(bool bBusy, bool bWorking, bool bPaused, bool bItemFinished);
    // Speak in the idle state depends on whether there is something to
    // read, which only the caller knows.
    static SButtons ButtonsFor(EState eState, bool bCanSpeakWhenIdle);

    // What follows the last "/" up to its first "."; a name without a "."
    // announces nothing.
    static QString BaseName(const QString& strPath);

    // The clock advances only while an utterance is audibly under way.
    static bool ClockCounts(bool bBusy, bool bStreamStarted, bool bPaused, bool bStreamEnded);
    // The pause between files is counted while a file-mode item is done.
    static bool GapCounts(int nSpeakMode, bool bItemFinished);
    // "hh:mm:ss" of counted seconds; hours go past 99 rather than wrap.
    static QString FormatElapsed(int nSeconds);

    // The clock's period: one second, unless KB_CLOCK_MS asks tests for a
    // faster clock.
    static int ClockPeriodMs();
};
