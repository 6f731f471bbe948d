#include "app/speechdlg.h"

#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/readingrules.h"
#include "widgets/buttonst.h"
#include "widgets/digistatic.h"
#include "widgets/exlistbox.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTimer>

// Reading aloud: Speak, Pause and Stop, the two modes, the reading loops
// and the clock.

namespace
{
// How often a wait looks at its condition; events are handled as they come.
constexpr int g_nWaitPollMs = 15;
} // namespace

void CSpeechDlg::SetSpeakButtonText(int nStringId)
{
    m_btnSpeak->setText(CStringTable::Get(nStringId));
}

void CSpeechDlg::WaitUntil(const std::function<bool()>& fnDone)
{
    if (fnDone())
        return;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(g_nWaitPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop,
                     [&loop, &fnDone]()
                     {
                         if (fnDone())
                             loop.quit();
                     });
    poll.start();
    loop.exec();
}

// Stop purges the voice, which ends the wait; a pause does not.
void CSpeechDlg::WaitForVoice()
{
    WaitUntil([this]() { return !m_pVoice || m_pVoice->WaitUntilDone(0); });
}

bool CSpeechDlg::SpeakAndWait(const QString& strText)
{
    if (!m_pVoice || !m_pVoice->Speak(strText, SPF_ASYNC))
        return false;
    WaitForVoice();
    return true;
}

void CSpeechDlg::OnSpeak()
{
    if (m_bWorking)
        return;
    if (m_bBusy && m_bPaused)
    {
        m_bPaused = false;
        SetSpeakButtonText(IDS_SPEAK);
        if (m_pVoice)
            m_pVoice->Resume();
        m_btnPause->setEnabled(true);
        m_btnSpeak->setEnabled(false);
        m_btnStop->setEnabled(true);
        return;
    }
    // A reading that was stopped may still be unwinding (the pause between
    // files runs to its end); a second one must not start inside it.
    if (m_bBusy || m_bReadingOnStack)
        return;
    m_bReadingOnStack = true;
    const auto onStack = qScopeGuard([this]() { m_bReadingOnStack = false; });

    StopMusic();
    m_staticAnimation->hide();
    m_staticStatus->hide();
    m_progress->show();

    if (m_nSpeakMode == 0)
    {
        SpeakInstantText();
        PlayMusic();
        return;
    }

    m_btnSpeak->setEnabled(false);
    m_btnPause->setEnabled(true);
    m_btnStop->setEnabled(true);
    m_radioInstant->setEnabled(false);
    m_btnSaveAudio->setEnabled(false);

    if (!ApplySelectedVoice())
    {
        m_btnSpeak->setEnabled(true);
        m_btnPause->setEnabled(false);
        m_btnStop->setEnabled(false);
        m_radioInstant->setEnabled(true);
        m_btnSaveAudio->setEnabled(true);
        return;
    }

    // The list may change under a nested wait only through this reading,
    // which keeps it as it is; a copy keeps the walk safe all the same.
    const QStringList files = m_sourceFiles;
    for (int index = 0; index < files.size(); ++index)
    {
        m_bWorking = true;
        const QString strBaseName = CReadingRules::BaseName(files[index]);
        QString strText;
        GetTextFromFile(files[index], strText);
        m_nTextLength = quint32(strText.size());
        SelectFileItem(index);
        g_nCurrentFileIndex = index;
        m_progress->SetPos(0);
        // The shown file's text is usually in the pane already; laying out
        // a long text again costs a quarter of a second for 10 MB.
        if (m_editText->document()->isModified() || strText != m_strPaneText)
            SetPaneText(strText);

        m_bWorking = false;
        m_bStreamStarted = false;
        m_bStreamEnded = false;
        m_bPaused = false;
        m_bBusy = true;
        m_nElapsedSeconds = 0;
        m_bSpeakingText = false;
        m_nGapTicks = 0;

        if (files.size() > 1 && index > 0)
        {
            WaitUntil([this]() { return m_nGapTicks >= CReadingRules::GAP_TICKS; });
            if (!m_bBusy)
                break;
            // A pause pressed between files would leave the next file
            // waiting on a paused voice with Stop disabled.
            if (m_bPaused)
                ResumeAfterItem();
        }

        m_bItemFinished = false;
        m_timeDisplay->show();
        m_timeDisplay->SetText(CReadingRules::FormatElapsed(0));

        SpeakSourceFile(strText, strBaseName);

        m_bItemFinished = true;
        strText.clear();
        if (!m_bBusy)
            break;
        if (m_bPaused)
            ResumeAfterItem();
    }

    if (!m_pVoice)
        return;
    m_bBusy = false;
    m_pVoiceToken.reset();
    PlayMusic();
    m_btnOpen->setEnabled(true);
    m_radioInstant->setEnabled(true);
    // After a Stop the list may have changed while the reading unwound.
    for (QWidget* pControl :
         std::initializer_list<QWidget*>{m_btnDelete, m_btnReset, m_btnSpeak, m_btnSaveAudio})
        pControl->setEnabled(HasTextToRead());
    m_btnPause->setEnabled(false);
    m_btnStop->setEnabled(false);
}

void CSpeechDlg::SpeakSourceFile(const QString& strText, const QString& strBaseName)
{
    if (!m_pVoice)
    {
        CMessageBox::Show(this, QStringLiteral("voice is null"), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        return;
    }
    m_bSpeakingText = false;
    if (!SpeakAndWait(strBaseName))
        return;
    if (!m_bBusy)
        return;
    if (!m_pVoice->Speak(strText, SPF_ASYNC))
        return;
    m_bSpeakingText = true;
    WaitForVoice();
    if (m_bBusy)
        m_progress->SetPos(100);
}

void CSpeechDlg::SpeakInstantText()
{
    const QString strWindowText = GetPaneWindowText();
    m_nTextLength = quint32(strWindowText.size());
    if (m_nTextLength == 0)
        return;
    // The pane already holds this text: putting it back would only cost a
    // long text its layout again.
    QString strSpoken = strWindowText;
    strSpoken.replace(QStringLiteral("\r\n"), QStringLiteral(" "));

    m_radioFile->setEnabled(false);
    m_btnSpeak->setEnabled(false);
    m_btnSaveAudio->setEnabled(false);
    m_btnPause->setEnabled(true);
    m_btnStop->setEnabled(true);

    if (!ApplySelectedVoice())
    {
        m_radioFile->setEnabled(true);
        m_btnSpeak->setEnabled(true);
        m_btnSaveAudio->setEnabled(false);
        m_btnPause->setEnabled(false);
        m_btnStop->setEnabled(false);
        return;
    }

    m_timeDisplay->show();
    m_bStreamStarted = false;
    m_bStreamEnded = false;
    m_bPaused = false;
    m_nElapsedSeconds = 0;
    m_bBusy = true;
    m_bItemFinished = false;

    if (m_pVoice && m_pVoice->Speak(strSpoken, SPF_ASYNC))
        WaitForVoice();

    m_bItemFinished = true;
    if (m_bBusy)
        m_progress->SetPos(100);
    m_bBusy = false;
    if (m_bPaused)
        ResumeAfterItem();
    m_pVoiceToken.reset();
    // The pane may have been edited during the reading.
    m_btnSpeak->setEnabled(HasTextToRead());
    m_radioFile->setEnabled(true);
    m_btnSaveAudio->setEnabled(false);
    m_btnPause->setEnabled(false);
    m_btnStop->setEnabled(false);
}

// An item ended while the user had paused: the next one starts unpaused.
void CSpeechDlg::ResumeAfterItem()
{
    m_bPaused = false;
    if (m_pVoice)
        m_pVoice->Resume();
    SetSpeakButtonText(IDS_SPEAK);
    m_btnSpeak->setEnabled(false);
    m_btnPause->setEnabled(true);
    m_btnStop->setEnabled(true);
}

void CSpeechDlg::OnPause()
{
    if (m_bWorking || !m_pVoice || !m_bBusy)
        return;
    m_bPaused = true;
    m_btnPause->setEnabled(false);
    m_pVoice->Pause();
    SetSpeakButtonText(IDS_RESUME);
    m_btnSpeak->setEnabled(true);
    m_btnStop->setEnabled(false);
}

void CSpeechDlg::OnStop()
{
    if (m_bWorking)
        return;
    StopMusic();
    if (m_pVoice)
    {
        if (!m_pVoice->Speak(QString(), SPF_PURGEBEFORESPEAK))
            return;
        m_pVoiceToken.reset();
        m_btnStop->setEnabled(false);
        m_bBusy = false;
        m_btnSpeak->setEnabled(HasTextToRead());
        m_btnPause->setEnabled(false);
    }
    if (m_bAudioJob)
    {
        m_mp3Converter.Stop();
        g_bConversionDone = true;
        if (m_bAudioBatch)
        {
            m_bAudioJob = false;
            m_bAudioBatch = false;
        }
    }
}

void CSpeechDlg::OnSpeakFromFile()
{
    if (m_bBusy)
        return;
    m_nSpeakMode = 1;
    if (m_listFiles->count() == 0)
    {
        SetPaneText(QString());
        m_editText->setReadOnly(true);
        m_editText->setEnabled(true);
        for (QWidget* pControl :
             std::initializer_list<QWidget*>{m_btnEmpty, m_btnCopy, m_btnPaste, m_btnZoomIn,
                                             m_btnZoomOut, m_btnSpeak, m_btnSaveText})
            pControl->setEnabled(false);
        m_listFiles->setEnabled(true);
        m_btnOpen->setEnabled(true);
    }
    m_progress->hide();
    m_staticAnimation->hide();
    m_staticStatus->hide();
    m_timeDisplay->SetText(CReadingRules::FormatElapsed(0));
    m_timeDisplay->hide();
    FocusAfterModeChange(m_listFiles);
}

// An arrow key that picks a mode gives the focus back to the mode's button
// after the click, so the focus moves again once that key is handled.
void CSpeechDlg::FocusAfterModeChange(QWidget* pControl)
{
    pControl->setFocus();
    QMetaObject::invokeMethod(
        pControl, [pControl]() { pControl->setFocus(); }, Qt::QueuedConnection);
}

void CSpeechDlg::OnInstantSpeak()
{
    // The mode stays while a document is read or a reading or a batch runs;
    // the radio that was clicked gives way again.
    if (m_bWorking || m_bBusy)
    {
        if (m_nSpeakMode == 1)
            m_radioFile->setChecked(true);
        return;
    }
    m_editText->setReadOnly(false);
    m_nSpeakMode = 0;
    m_editText->setEnabled(true);
    if (!m_editText->textCursor().hasSelection())
        m_btnCopy->setEnabled(false);
    if (m_editText->document()->isEmpty())
        m_btnSpeak->setEnabled(false);
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_listFiles, m_btnOpen, m_btnDelete,
                                                             m_btnReset, m_btnSaveAudio})
        pControl->setEnabled(false);
    m_btnPaste->setEnabled(ClipboardHasText());
    m_progress->hide();
    m_staticAnimation->hide();
    m_staticStatus->hide();
    m_timeDisplay->SetText(CReadingRules::FormatElapsed(0));
    m_timeDisplay->hide();

    m_sourceFiles.clear();
    {
        const QSignalBlocker blocker(m_listFiles);
        m_listFiles->clear();
    }
    SetPaneText(QString());
    FocusAfterModeChange(m_editText);
    g_nCurrentFileIndex = -1;
}

void CSpeechDlg::OnTimer()
{
    if (CReadingRules::ClockCounts(m_bBusy, m_bStreamStarted, m_bPaused, m_bStreamEnded))
    {
        ++m_nElapsedSeconds;
        m_timeDisplay->SetText(CReadingRules::FormatElapsed(m_nElapsedSeconds));
    }
    if (CReadingRules::GapCounts(m_nSpeakMode, m_bItemFinished))
        ++m_nGapTicks;
}
