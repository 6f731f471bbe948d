#pragma once

#include "speech/spobjecttoken.h"

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

    // A catalogue code such as 0409; empty for the settings' start-up
    // language.
    void SetLanguage(const QString& strCode) { m_strLanguage = strCode; }
    // A voice description as --list-voices prints it; empty for the first
    // voice of the language.
    void SetVoiceName(const QString& strName) { m_strVoiceName = strName; }
    void SetRate(int nRate) { m_nRate = nRate; }
    void SetVolume(int nVolume) { m_nVolume = nVolume; }
    // A redrawn progress bar when true, one line per document otherwise;
    // by default true when the error stream is a terminal.
    void SetTerminal(bool bTerminal) { m_bTerminal = bTerminal; }

    // Reads the files in order; returns the exit status: CCommandLine's
    // EXIT_OK, EXIT_FAILED or EXIT_USAGE, or EXIT_STOPPED.
    int Run(const QStringList& files);

    // The bar's position for a word of the text, as the window computes it.
    static int ProgressPercent(quint32 nPos, quint32 nLen, quint32 nTextLength);
    // The progress line: "[2/3] name [####------] 40%", at most nColumns
    // wide (the name is shortened from its start to fit).
    static QString ProgressLine(int nIndex, int nCount, const QString& strName, int nPercent,
                                int nColumns);

private:
    int ChooseVoice(const QString& strCode, CSpObjectTokenPtr& pToken);
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
    QString m_strLanguage;
    QString m_strVoiceName;
    int m_nRate = 0;
    int m_nVolume = 100;
    bool m_bTerminal = false;
    bool m_bLineOpen = false;
    bool m_bVoiceFailed = false;
    int m_nIndex = 0;
    int m_nCount = 0;
    int m_nPercent = -1;
    QString m_strName;
    std::unique_ptr<CSpVoice> m_pVoice;
};
