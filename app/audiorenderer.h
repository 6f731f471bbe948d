#pragma once

#include "audio/wavetomp3converter.h"
#include "speech/sapidefs.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class CSpVoice;
class CWordTimings;

// A document's audio made without a window: the heading (speech markup),
// then the text, spoken into a WAV file and encoded into the MP3 beside it
// while the speech is still being made; with word timings, a SYLT frame in
// the MP3 and .srt and .lrc files beside it. Each file is made under a
// hidden name and takes its own only when complete.
class CAudioRenderer
{
public:
    enum EResult
    {
        Done,
        Failed,
        Stopped
    };

    explicit CAudioRenderer(CSpVoice& voice);
    CAudioRenderer(const CAudioRenderer&) = delete;
    CAudioRenderer& operator=(const CAudioRenderer&) = delete;

    // The MP3's tag fields are set on it before Render.
    CWaveToMP3Converter& Converter() { return m_converter; }
    void SetWordTimings(bool bWordTimings) { m_bWordTimings = bWordTimings; }
    // Asked every few milliseconds; true stops the rendering, which then
    // leaves none of the document's files behind.
    void SetStopCheck(std::function<bool()> fnStop) { m_fnStop = std::move(fnStop); }
    // Told, when it changes, how much of the text (in percent) is encoded.
    void SetProgressSink(std::function<void(int)> fnProgress)
    {
        m_fnProgress = std::move(fnProgress);
    }

    // Makes strWavPath, the MP3 beside it and, with word timings, the .srt
    // and .lrc files. After a failure the files that were completed stay;
    // errors gets a line for each failure.
    EResult Render(const QString& strHeading, const QString& strText, const QString& strWavPath,
                   QStringList& errors);

    // The hidden names of a document's unfinished files: a renderer removes
    // its own, but a process killed in the middle leaves them.
    static QStringList PartPaths(const QString& strWavPath);

private:
    // Speaks both parts into the stream; false when the voice cannot or a
    // stop came first (m_bStopped).
    bool Speak(const QString& strHeading, const QString& strText, CWordTimings& timings,
               QStringList& errors);
    bool WaitForMp3();
    void TakeEvents(CWordTimings& timings, ULONG nTextStream, int nTextLength);
    void ReportProgress(int nPercent = -1);
    bool IsStopRequested();

    CSpVoice& m_voice;
    CWaveToMP3Converter m_converter;
    bool m_bWordTimings = true;
    bool m_bStopped = false;
    std::function<bool()> m_fnStop;
    std::function<void(int)> m_fnProgress;
    int m_nPercent = -1;
    // Where each word of the text begins in the sound (bytes from the
    // start of the data) and how far into the text it ends (percent).
    std::vector<std::pair<quint64, int>> m_wordMarks;
};
