#pragma once

#include "app/voiceoptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <memory>
#include <vector>

class CSpeechApp;
class QEventLoop;

// Renders documents into WAV and MP3 files without a window, as the
// window's Save as Audio does into its configured folder. Documents are
// rendered several at a time, each by a helper process of its own (the
// engine keeps its state in globals: one synthesis per process), which
// starts this program again with --render-one. Progress and diagnostics go
// to the error stream, in the documents' order.
class CSaveAudioCommand
{
public:
    static constexpr int MAX_JOBS = 64;

    CSaveAudioCommand(QTextStream& out, QTextStream& err);
    ~CSaveAudioCommand();
    CSaveAudioCommand(const CSaveAudioCommand&) = delete;
    CSaveAudioCommand& operator=(const CSaveAudioCommand&) = delete;

    void SetVoiceOptions(const CVoiceOptions& options) { m_voiceOptions = options; }
    // Empty for the configured folder; another is made when it does not
    // exist.
    void SetFolder(const QString& strFolder) { m_strFolder = strFolder; }
    void SetWordTimings(bool bWordTimings) { m_bWordTimings = bWordTimings; }
    // Documents rendered at a time; 0 for one per core.
    void SetJobs(int nJobs) { m_nJobs = nJobs; }
    // The MP3 tag's year; 0 for this year. One run gives all its files one.
    void SetYear(int nYear) { m_nYear = nYear; }
    // Bars redrawn in place when true, plain lines otherwise; by default
    // true when the error stream is a terminal.
    void SetTerminal(bool bTerminal) { m_bTerminal = bTerminal; }

    // Renders the files; returns the exit status: CCommandLine's EXIT_OK,
    // EXIT_FAILED or EXIT_USAGE, or EXIT_STOPPED.
    int Run(const QStringList& files);
    // The helper's part: renders one document into the folder, telling the
    // output stream "progress N" as it goes and "result done", "result
    // failed" or "result stopped" at its end.
    int RenderOne(const QString& strPath);

private:
    struct SDocument;

    QString PrepareFolder(CSpeechApp& app);
    QStringList HelperArguments(const QString& strCode, int nYear, const QString& strFolder) const;
    void Poll(QEventLoop& loop);
    void StartMore();
    bool CanStart(size_t nIndex) const;
    void Start(size_t nIndex);
    void ReadOutput(SDocument& document);
    void OnFinished(SDocument& document);
    void StopAll();
    void KillAll();
    bool AnyRunning() const;
    bool AnyWaiting() const;
    void Report();
    QString FinishedText(size_t nIndex);

    QTextStream& m_out;
    QTextStream& m_err;
    CVoiceOptions m_voiceOptions;
    QString m_strFolder;
    bool m_bWordTimings = true;
    int m_nJobs = 0;
    int m_nYear = 0;
    bool m_bTerminal = false;

    QStringList m_baseArgs;
    std::vector<std::unique_ptr<SDocument>> m_documents;
    int m_nRunning = 0;
    int m_nMaxRunning = 1;
    bool m_bStopping = false;
    size_t m_nHead = 0;
    int m_nLiveLines = 0;
    QStringList m_liveLines;
};
