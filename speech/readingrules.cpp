#include "speech/readingrules.h"

#include <QtGlobal>

CReadingRules::EState CReadingRules::StateOf(bool bBusy, bool bWorking, bool bPaused,
                                             bool bItemFinished)
{
    if (bWorking)
        return Extracting;
    if (!bBusy)
        return Idle;
    if (bPaused)
        return Paused;
    return bItemFinished ? BetweenFiles : Speaking;
}

CReadingRules::SButtons CReadingRules::ButtonsFor(EState eState, bool bCanSpeakWhenIdle)
{
    SButtons buttons;
    switch (eState)
    {
    case Idle:
        buttons.bSpeak = bCanSpeakWhenIdle;
        break;
    case Extracting:
    case Speaking:
    case BetweenFiles:
        buttons.bPause = true;
        buttons.bStop = true;
        break;
    case Paused:
        buttons.bSpeak = true;
        buttons.bResumeText = true;
        break;
    }
    return buttons;
}

QString CReadingRules::BaseName(const QString& strPath)
{
    const QString strName = strPath.mid(strPath.lastIndexOf(QLatin1Char('/')) + 1);
    const int nDot = strName.indexOf(QLatin1Char('.'));
    return nDot < 0 ? QString() : strName.left(nDot);
}

bool CReadingRules::ClockCounts(bool bBusy, bool bStreamStarted, bool bPaused, bool bStreamEnded)
{
    return bBusy && bStreamStarted && !bPaused && !bStreamEnded;
}

bool CReadingRules::GapCounts(int nSpeakMode, bool bItemFinished)
{
    return nSpeakMode == 1 && bItemFinished;
}

QString CReadingRules::FormatElapsed(int nSeconds)
{
    const int s = qMax(0, nSeconds);
    return QString::asprintf("%02d:%02d:%02d", s / 3600, (s % 3600) / 60, s % 60);
}

int CReadingRules::ClockPeriodMs()
{
    bool bOk = false;
    const int nMs = qEnvironmentVariableIntValue("KB_CLOCK_MS", &bOk);
    return bOk && nMs > 0 ? nMs : 1000;
}
