#include "app/speechdlg.h"

#include "app/audiosavesettings.h"
#include "app/speechapp.h"
#include "audio/audiobatchrules.h"
#include "res/messageevent.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/spstream.h"
#include "widgets/buttonst.h"
#include "widgets/exlistbox.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"

#include <QElapsedTimer>

// Save as Audio: every listed document rendered into a WAV file with its
// spoken heading, then converted into an MP3 file beside it.

namespace
{
// The pause after each document of a batch.
constexpr int g_nDocumentPauseMs = 500;
constexpr int g_nAnimationMs = 200;
} // namespace

bool g_bFirstAudioSaveDialog = true;

void CSpeechDlg::OnSaveAsAudio()
{
    if (m_bWorking)
        return;
    if (!m_pVoice)
    {
        CMessageBox::Show(this, QStringLiteral("voice is null"), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        return;
    }
    if (!m_pVoice->Speak(QString(), SPF_PURGEBEFORESPEAK))
        return;
    StopMusic();
    ResetReadingDisplay();
    if (!ApplySelectedVoice())
        return;
    if (m_sourceFiles.isEmpty())
        return;
    CSpeechApp* pApp = App();
    const int nSaveType =
        pApp->GetSetting(QStringLiteral("Audio"), QStringLiteral("SaveType"), QStringLiteral("0"))
            .toInt();

    m_bBusy = true;
    m_bAudioBatch = true;
    m_btnSpeak->setEnabled(false);
    m_btnStop->setEnabled(true);
    m_btnSaveAudio->setEnabled(false);
    m_audioFailures.clear();

    // The batch works on the list as it was when it began.
    const QStringList files = m_sourceFiles;
    int n = 0;
    while (n < files.size())
    {
        m_bAudioJob = true;
        m_bBusy = true;
        g_bConversionDone = false;
        SelectFileItem(n);
        g_nCurrentFileIndex = n;

        const QString strBaseName = CAudioBatchRules::BaseName(files[n]);
        QString strPrelude;
        GetPreludeText(strPrelude);

        QString strWavPath;
        if (nSaveType == 1)
        {
            strWavPath =
                CAudioBatchRules::WavPath(CAudioSaveSettings::SaveFolder(*pApp), strBaseName);
        }
        else
        {
            // Other values come only from a hand-edited file: asking is the
            // choice that never writes where the user did not say.
            if (n > 0)
                m_staticAnimation->SetFrameInterval(0);
            strWavPath = CFileDialog::GetSaveFileName(
                this, QStringLiteral("wav file (*.wav)|*.wav||"), QStringLiteral("wav"),
                strBaseName, g_bFirstAudioSaveDialog ? pApp->GetDefaultSaveFolder() : QString());
            if (strWavPath.isEmpty())
            {
                ++n;
                continue;
            }
            g_bFirstAudioSaveDialog = false;
        }

        m_staticAnimation->SetFrameInterval(g_nAnimationMs);
        m_staticAnimation->show();
        m_staticStatus->SetWindowText(CStringTable::Get(IDS_EXTRACTING));
        m_staticStatus->show();

        m_bWorking = true;
        QString strText;
        // A document whose text was not read would give only its heading.
        const bool bText = GetTextFromFile(files[n], strText);
        const QString strHeading = CAudioBatchRules::Heading(strPrelude, strBaseName);
        m_staticStatus->SetWindowText(CStringTable::Get(IDS_CREATING_WAVE));
        m_bWorking = false;
        const bool bWave = bText && RenderToWave(strHeading, strText, strWavPath);
        if (!bText)
            m_audioFailures.append(strWavPath);

        if (m_bAudioJob && bWave && StartMp3Conversion(strWavPath))
        {
            WaitUntil([]() { return g_bConversionDone; });
            // A conversion cut short by Stop has no room for the later times.
            if (m_pTimings && m_bAudioBatch &&
                m_mp3Converter.GetLastExitCode() == CWaveToMP3Converter::EXIT_DONE)
                m_pTimings->WriteBeside(m_mp3Converter.GetMp3Path(), m_nRenderedMs,
                                        &m_audioFailures);
        }
        g_bConversionDone = true;
        m_pTimings.reset();

        if (!m_bAudioBatch)
            break;
        ++n;
        QElapsedTimer pause;
        pause.start();
        WaitUntil([&pause]() { return pause.elapsed() >= g_nDocumentPauseMs; });
        // A Stop in the pause would otherwise be undone by the next document.
        if (!m_bAudioBatch)
            break;
    }

    m_bBusy = false;
    m_bAudioBatch = false;
    m_staticAnimation->SetFrameInterval(0);
    m_staticStatus->SetWindowText(
        CStringTable::Get(CAudioBatchRules::EndStatusId(n, files.size(), m_audioFailures)));
    // After a Stop the list or the mode may have changed while the batch
    // unwound.
    m_btnSpeak->setEnabled(HasTextToRead());
    m_btnSaveAudio->setEnabled(m_nSpeakMode == 1 && HasTextToRead());
    m_btnStop->setEnabled(false);
    m_pVoice->SetOutput(nullptr, true);
    const QString strFailures = CAudioBatchRules::FailureMessage(m_audioFailures);
    if (!strFailures.isEmpty())
        CMessageBox::Show(this, strFailures, Title(), CMessageBox::MB_ICONEXCLAMATION);
}

bool CSpeechDlg::RenderToWave(const QString& strHeading, const QString& strText,
                              const QString& strWavPath)
{
    if (!ApplySelectedVoice())
    {
        m_audioFailures.append(strWavPath);
        return false;
    }
    WAVEFORMATEX format;
    const CSpStreamPtr pCurrent = m_pVoice->GetOutputStream();
    if (!(pCurrent ? pCurrent->GetFormat(&format) : m_pVoice->GetFormat(&format)))
        m_pVoice->GetFormat(&format);
    // Made under a hidden name: a WAV cut by a crash or a full disk never
    // stands under its own, and an earlier one stays until this one is whole.
    auto pStream = std::make_shared<CSpStream>();
    if (!pStream->BindToFile(CWaveToMP3Converter::PartPathFor(strWavPath), format, strWavPath))
    {
        CMessageBox::Show(this, CStringTable::Get(IDS_CLOSE_PLAYER), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        m_audioFailures.append(strWavPath);
        return false;
    }
    m_pVoice->SetOutput(pStream, true);
    const bool bTimings = App()->GetSetting(QStringLiteral("Audio"), QStringLiteral("WordTiming"),
                                            QString()) == QStringLiteral("1");
    m_pTimings.reset(bTimings ? new CWordTimings(format.nAvgBytesPerSec) : nullptr);
    ULONG nStream = 0;
    if (m_pVoice->Speak(strHeading, SPF_ASYNC | SPF_IS_XML, &nStream))
    {
        if (m_pTimings)
            m_pTimings->AddUtterance(nStream, strHeading, true);
        WaitForVoice();
    }
    bool bTextFailed = false;
    if (m_bBusy)
    {
        bTextFailed = !m_pVoice->Speak(strText, SPF_ASYNC, &nStream);
        if (!bTextFailed)
        {
            if (m_pTimings)
                m_pTimings->AddUtterance(nStream, strText, false);
            WaitForVoice();
        }
    }
    if (!bTextFailed)
        m_pVoice->WaitUntilDone(-1);
    // Events the window has not taken yet still carry word times.
    if (m_pTimings)
    {
        SPEVENT event;
        while (m_pVoice->GetEvents(1, &event, nullptr))
            m_pTimings->AddEvent(event);
    }
    m_nRenderedMs = quint32(pStream->GetDataBytes() * 1000 / qMax(1u, format.nAvgBytesPerSec));
    m_pVoice->SetOutput(nullptr, true);
    if (!pStream->Close())
    {
        m_audioFailures.append(strWavPath);
        return false;
    }
    return true;
}

bool CSpeechDlg::StartMp3Conversion(const QString& strWavPath)
{
    CAudioSaveSettings::ApplyTag(m_mp3Converter, CAudioSaveSettings::CurrentYear());
    m_mp3Converter.SetExtraId3Frames(m_pTimings ? m_pTimings->SyltFrame(3) : QByteArray());
    // Nothing would ever tell the end of a conversion that did not start.
    if (m_mp3Converter.Start(strWavPath, CAudioSaveSettings::MONO_BITRATE) == 0)
        return true;
    m_audioFailures.append(CWaveToMP3Converter::Mp3PathFor(strWavPath) +
                           QStringLiteral(": the MP3 encoder cannot be started"));
    return false;
}

void CSpeechDlg::OnMp3Done(const QVariant& payload)
{
    g_bConversionDone = true;
    const QVariantMap result = payload.toMap();
    if (!result.value(QStringLiteral("ok"), true).toBool())
    {
        const QString strError = result.value(QStringLiteral("error")).toString();
        m_audioFailures.append(result.value(QStringLiteral("path")).toString() +
                               (strError.isEmpty() ? QString() : QStringLiteral(": ") + strError));
    }
}
