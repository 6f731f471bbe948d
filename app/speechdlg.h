#pragma once

#include "audio/lamelibrary.h"
#include "speech/languagerecord.h"
#include "speech/spvoice.h"
#include "widgets/colorref.h"

#include <QDialog>
#include <QIcon>
#include <QStringList>
#include <memory>
#include <vector>

class CButtonST;
class CDigiStatic;
class CExListBox;
class CPPHtmlStatic;
class CTextProgressCtrl;
class QBoxLayout;
class QComboBox;
class QLabel;
class QListWidget;
class QMediaPlayer;
class QAudioOutput;
class QMenuBar;
class QPlainTextEdit;
class QRadioButton;
class QSlider;
class QTextBrowser;

// Set by the MP3 converter's completion message; the audio batch waits for it.
extern bool g_bConversionDone;

// The program's main window: the controls, the start-up of the window, the
// window-level commands (About, web pages, closing) and the clean-up.
class CSpeechDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSpeechDlg(QWidget* pParent = nullptr);
    ~CSpeechDlg() override;

    // Texts of the controls from the string table of the current resource
    // module, and the two slider labels.
    void ApplyControlTexts();
    void SetButtonHoverColor(COLORREF cr);
    void SetupTimerDisplay();
    void SetupProgressBar();
    // Opens an address in the user's browser; true when a program started.
    bool OpenUrl(const QString& strAddress);
    void ShowShowcase();

    // The content-language catalogue and the voices of a language.
    void BuildLanguageCatalogue();
    void FillLanguageCombo(const QString& strCode);
    QString FindLanguageCode(const QString& strDisplayName) const;
    void FillVoiceList(const QString& strCode);
    // Applies the voice chosen in the voice list before a reading; false
    // when none is chosen or the registry cannot be read.
    bool ApplySelectedVoice();
    // The progress bar position for a word: (pos + len) x 100 / length, in
    // 64 bits so that texts past 42 million characters do not wrap; 0 for
    // an empty text.
    static int ProgressPercent(quint32 nPos, quint32 nLen, quint32 nTextLength);
    // The plain text of a source document, normalised for the text pane;
    // empty when nothing could be read (the user is told why). Waits with
    // the window responsive.
    void GetTextFromFile(const QString& strPath, QString& strText);
    // Line breaks in the text pane's one-character form, so that positions
    // in the text are positions in the pane.
    void NormalizeText(QString& strText) const;

    // The control with the given id, or null.
    QWidget* GetDlgItem(int nId) const;
    // True while start-up decided that the window must close (a missing
    // library); it closes as soon as its loop runs.
    bool IsEndRequested() const { return m_bEndRequested; }

    // Reading state (driven by the reading control).
    bool m_bSpeakingText = false;
    quint32 m_nTextLength = 0;
    int m_nElapsedSeconds = 0;
    bool m_bStreamEnded = false;
    bool m_bStreamStarted = false;
    bool m_bPaused = false;
    bool m_bItemFinished = false;
    int m_nGapTicks = 0;
    int m_nTimerId = 0;
    bool m_bAudioJob = false;
    bool m_bAudioBatch = false;
    qint32 m_nSpeakMode = 1;
    bool m_bBusy = false;
    bool m_bWorking = false;
    QString m_szLangCode;
    std::vector<LanguageRecord> m_languages;
    std::unique_ptr<CSpVoice> m_pVoice;
    CSpObjectTokenPtr m_pVoiceToken;

    // Exposed for the settings pages and tests.
    QMediaPlayer* m_hMusicWnd = nullptr;
    CLameLibrary m_hLameDll;

public Q_SLOTS:
    void reject() override;

protected:
    bool event(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private Q_SLOTS:
    void OnAbout();
    void OnFaqOnline();
    void OnUsageOnline();
    void OnGoOnline();
    void OnDrawClipboard();
    void OnVolumeChanged();
    void OnRateChanged();
    void OnBrowserLinkClicked(const QUrl& url);
    void OnLanguageChanged();

private:
    void CreateControls();
    void CreateMenu();
    void ConnectSignals();
    bool OnInitDialog();
    void BuildLayout();
    void ApplyButtonStyle(const QString& strImageRoot);
    void LoadAnimation(const QString& strImageRoot);
    void CreateMusicWindow();
    void StopMusicIfPlaying();
    void OnDestroy();
    void UpdateSliderLabels();
    bool CreateVoice();
    void OnSpeechEvent();
    void OnWorkerError(const QString& strText);
    void OnMp3Progress(double dPercent);
    void RequestEnd();
    QString StringOrFail(int nId, bool& bFailed) const;

    QIcon m_hIcon;
    QAudioOutput* m_pMusicOutput = nullptr;
    bool m_bEndRequested = false;
    bool m_bDestroyed = false;
    quint32 m_nAnimationHandle = 0;

    QMenuBar* m_pMenuBar = nullptr;
    QComboBox* m_cmbLanguage = nullptr;
    QPlainTextEdit* m_editText = nullptr;
    QPlainTextEdit* m_editScratch = nullptr;
    CPPHtmlStatic* m_staticStatus = nullptr;
    CPPHtmlStatic* m_staticAnimation = nullptr;
    CTextProgressCtrl* m_progress = nullptr;
    QListWidget* m_listVoices = nullptr;
    CDigiStatic* m_timeDisplay = nullptr;
    QSlider* m_sliderRate = nullptr;
    QSlider* m_sliderVolume = nullptr;
    CExListBox* m_listFiles = nullptr;
    QTextBrowser* m_browser = nullptr;
    QTextBrowser* m_browserScratch = nullptr;
    CButtonST* m_btnOpen = nullptr;
    CButtonST* m_btnDelete = nullptr;
    CButtonST* m_btnReset = nullptr;
    CButtonST* m_btnCopy = nullptr;
    CButtonST* m_btnPaste = nullptr;
    CButtonST* m_btnEmpty = nullptr;
    CButtonST* m_btnSaveText = nullptr;
    CButtonST* m_btnZoomIn = nullptr;
    CButtonST* m_btnZoomOut = nullptr;
    CButtonST* m_btnSpeak = nullptr;
    CButtonST* m_btnPause = nullptr;
    CButtonST* m_btnStop = nullptr;
    CButtonST* m_btnSaveAudio = nullptr;
    CButtonST* m_btnGoOnline = nullptr;
    QRadioButton* m_radioFile = nullptr;
    QRadioButton* m_radioInstant = nullptr;
    QLabel* m_staticVolume = nullptr;
    QLabel* m_staticRate = nullptr;
    QLabel* m_staticLanguage = nullptr;
    QLabel* m_staticVoice = nullptr;
    QLabel* m_staticScale[6] = {};
};
