#pragma once

// Ctrl+C (SIGINT) and SIGTERM, noted in a flag the command-line verbs look
// at between steps: they end cleanly, with nothing half done left behind,
// instead of wherever the signal found them.
class CStopSignals
{
public:
    // Until Restore, the two signals only set the flag (cleared here).
    static void Install();
    static void Restore();
    static bool IsRequested();
};
