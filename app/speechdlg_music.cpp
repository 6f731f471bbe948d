// The music player of the main window: made at start-up or by the Music
// page, played when a reading ends and stopped when the next one starts.
#include "app/speechapp.h"
#include "app/speechdlg.h"

#include <QAudioOutput>
#include <QFile>
#include <QMediaPlayer>
#include <QUrl>

void CSpeechDlg::CreateMusicWindow()
{
    CSpeechApp* pApp = App();
    const QString strMode = pApp->GetSetting(QStringLiteral("Misc"),
                                             QStringLiteral("MusicPlayMode"), QStringLiteral("0"));
    const QString strFile =
        pApp->GetSetting(QStringLiteral("Misc"), QStringLiteral("MusicFilePath"), QString());
    if (strMode.toInt() != 1 || strFile.isEmpty())
        return;
    OpenMusicWindow(strFile);
}

bool CSpeechDlg::OpenMusicWindow(const QString& strFile)
{
    QFile probe(strFile);
    if (!probe.open(QIODevice::ReadOnly))
        return false;
    probe.close();
    CloseMusicWindow();
    m_hMusicWnd = new QMediaPlayer(this);
    m_pMusicOutput = new QAudioOutput(this);
    m_hMusicWnd->setAudioOutput(m_pMusicOutput);
    m_hMusicWnd->setSource(QUrl::fromLocalFile(strFile));
    return true;
}

bool CSpeechDlg::CloseMusicWindow()
{
    if (!m_hMusicWnd)
        return false;
    const bool bPlaying = m_hMusicWnd->playbackState() == QMediaPlayer::PlayingState;
    StopMusic();
    delete m_hMusicWnd;
    m_hMusicWnd = nullptr;
    delete m_pMusicOutput;
    m_pMusicOutput = nullptr;
    return bPlaying;
}

void CSpeechDlg::StopMusic()
{
    if (m_hMusicWnd && m_hMusicWnd->playbackState() == QMediaPlayer::PlayingState)
        m_hMusicWnd->stop();
}

void CSpeechDlg::PlayMusic()
{
    if (!m_hMusicWnd)
        return;
    // A player whose output waited long after loading the file stalls and
    // drops the start of its sound; a fresh output plays all of it. Not
    // while the file still loads: the flush that follows could deadlock
    // with the loading thread.
    const QMediaPlayer::MediaStatus status = m_hMusicWnd->mediaStatus();
    if (m_hMusicWnd->playbackState() != QMediaPlayer::PlayingState &&
        (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::EndOfMedia))
    {
        m_hMusicWnd->setAudioOutput(nullptr);
        m_hMusicWnd->setAudioOutput(m_pMusicOutput);
    }
    m_hMusicWnd->play();
}
