#pragma once

#include "text/textmessage.h"

#include <QString>
#include <atomic>

// Set by the workers when they have finished, successfully or not; cleared
// before a worker is started.
extern std::atomic<bool> g_bWordDone;
extern std::atomic<bool> g_bRtfDone;
extern std::atomic<bool> g_bHtmlLoaded;

// Gives the plain text of one source document, chosen by the extension:
// ".txt" read directly, every other format read on a worker thread while
// the caller's thread keeps handling its events. The text always ends up
// normalised for the text pane.
class CTextExtractor
{
public:
    // strTempFolder: the "Temp" folder of the settings folder, ending in "/".
    CTextExtractor(const QString& strTempFolder, TextMessageSink sink);

    // strText must come in empty; it stays empty when nothing could be read.
    void GetTextFromFile(const QString& strPath, QString& strText);

    // How long a worker may take before its document is given up.
    void SetTimeout(int nMilliseconds) { m_nTimeout = nMilliseconds; }
    static QString TimeoutMessage();
    static QString TooLargeMessage();
    // Why an RTF document gave no text when its temporary file could not be
    // written.
    static QString TempFailedMessage(const QString& strTempPath, const QString& strReason);
    // The temporary file an RTF document's text passes through; when a file
    // or link of that name is there, a new one beside it with a number.
    static QString TempPathFor(const QString& strTempFolder, const QString& strPath);

private:
    QString m_strTempFolder;
    TextMessageSink m_sink;
    int m_nTimeout = 120000;
};
