#pragma once

#include "app/voiceoptions.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <memory>

class CSpVoice;

// Reads documents aloud without a window, as the window's file mode does:
// each document's base name, then its text, with the pause between files.
// Ctrl+C (SIGINT) and SIGTERM stop the sound at once. Progress and
// diagnostics go to the error stream.
class CSpeakCommand
{
public:
    // Exit status when a signal stopped the reading: 128 + SIGINT, as a
    // shell reports a program Ctrl+C ended.
    static constexpr int EXIT_STOPPED = 130;

    explicit CSpeakCommand(QTextStream& err);
    ~CSpeakCommand();
    CSpeakCommand(const CSpeakCommand&) = delete;
    CSpeakCommand& operator=(const CSpeakCommand&) = delete;

    void SetVoiceOptions(const CVoiceOptions& options) { m_voiceOptions = options; }
    // A redrawn progress bar when true, one line per document otherwise;
    // by default true when the error stream is a terminal.
    void SetTerminal(bool bTerminal) { m_bTerminal = bTerminal; }

    // Reads the files in order; returns the exit status: CCommandLine's
    // EXIT_OK, EXIT_FAILED or EXIT_USAGE, or EXIT_STOPPED.
    int Run(const QStringList& files);

private:
    bool ReadDocument(const QString& strPath, const QString& strTempFolder, QString& strText);
    // Speaks one utterance and waits for it; false when a signal stopped
    // it or the voice could not speak.
    bool SpeakAndWait(const QString& strText, bool bShowProgress);
    bool WaitGap();
    void ShowDocument(const QString& strPath);
    void DrawProgress(int nPercent);
    void FinishLine();
    void Stop();

    QTextStream& m_err;
    CVoiceOptions m_voiceOptions;
    bool m_bTerminal = false;
    bool m_bLineOpen = false;
    bool m_bVoiceFailed = false;
    int m_nIndex = 0;
    int m_nCount = 0;
    int m_nPercent = -1;
    QString m_strName;
    std::unique_ptr<CSpVoice> m_pVoice;
};
