#pragma once

#include "audio/lamelibrary.h"
#include "audio/wavetomp3converter.h"
#include "audio/wordtimings.h"
#include "speech/languagerecord.h"
#include "speech/spvoice.h"
#include "text/introlib/prelude.h"
#include "widgets/colorref.h"

#include <QDialog>
#include <QIcon>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class CButtonST;
class CSpeechApp;
class CDigiStatic;
class CExListBox;
class CPPHtmlStatic;
class CTextProgressCtrl;
class QBoxLayout;
class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QMediaPlayer;
class QAction;
class QAudioOutput;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QRadioButton;
class QSlider;
class QTextBrowser;

// Set by the MP3 converter's completion message; the audio batch waits for it.
extern bool g_bConversionDone;
// The source document shown or being read; -1 for none.
extern int g_nCurrentFileIndex;
// Until the user confirms an "Open ..." dialog, it starts in Documents.
extern bool g_bFirstOpenDialog;
// Until the user confirms a "Save as" dialog, it starts in the save folder.
extern bool g_bFirstTextSaveDialog;
// Until the user confirms a Save as Audio dialog, it starts there too.
extern bool g_bFirstAudioSaveDialog;

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
    // Switches the interface language at once (menus, control texts,
    // language names, voice list, web panel); a library that cannot be
    // loaded leaves everything as it was.
    void ApplyUILanguage(const QString& strCode);
    CDigiStatic* GetTimeDisplay() const { return m_timeDisplay; }
    CTextProgressCtrl* GetProgressBar() const { return m_progress; }
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
    // False when the document gave no text and the user was told why.
    bool GetTextFromFile(const QString& strPath, QString& strText);
    // Line breaks in the text pane's one-character form, so that positions
    // in the text are positions in the pane.
    void NormalizeText(QString& strText) const;

    // Lists files as "Open ..." does, in order; the first one listed in an
    // empty list is shown. Ignored during a reading or a file operation.
    void AddSourceFiles(const QStringList& files);
    const QStringList& GetSourceFiles() const { return m_sourceFiles; }

    // The pane's text as a window text gives it: line ends as CR LF.
    QString GetPaneWindowText() const;

    // The prelude of the content language chosen now, at most 300
    // characters; what an audio file's heading begins with.
    void GetPreludeText(QString& strText);

    // The control with the given id, or null.
    QWidget* GetDlgItem(int nId) const;
    // The text pane's right-click menu while it is open, for tests.
    QMenu* GetOpenTextMenu() const { return m_pTextMenu; }
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

    // The music player for a file that can be read, replacing any other;
    // false leaves the window without one.
    bool OpenMusicWindow(const QString& strFile);
    // Stops and closes the music player; true when it was playing.
    bool CloseMusicWindow();
    void PlayMusic();

    // Exposed for the settings pages and tests.
    QMediaPlayer* m_hMusicWnd = nullptr;
    CLameLibrary m_hLameDll;
    CWaveToMP3Converter m_mp3Converter;

public Q_SLOTS:
    void reject() override;

protected:
    bool event(QEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private Q_SLOTS:
    void OnMenuCommand(QAction* pAction);
    void OnSettings();
    void OnAbout();
    void OnFaqOnline();
    void OnUsageOnline();
    void OnGoOnline();
    void OnDrawClipboard();
    void OnVolumeChanged();
    void OnRateChanged();
    void OnBrowserLinkClicked(const QUrl& url);
    void OnLanguageChanged();

    // The source file list.
    void OnOpenFile();
    void OnFileSelChange();
    void OnDeleteFile();
    void OnResetList();

    // The reading.
    void OnSpeak();
    void OnPause();
    void OnStop();
    void OnSpeakFromFile();
    void OnInstantSpeak();

    // Save as Audio.
    void OnSaveAsAudio();

    // The text pane.
    void OnCopyText();
    void OnPasteText();
    void OnEmptyText();
    void OnSaveText();
    void OnCutText();
    void OnUndoText();
    void OnSelectAllText();
    void OnTextSelChange();
    void OnTextChange();
    void ShowTextMenu(const QPoint& point);

private:
    void CreateControls();
    void CreateMenu();
    void ConnectSignals();
    bool OnInitDialog();
    void BuildLayout();
    void SetTabOrder();
    // Each control's minimum from its current text and font, so the window
    // cannot shrink below showing every text whole.
    void UpdateMinimumSizes();
    // The window, frame included, over the work area of its screen.
    void FitToWorkArea();
    void ApplyButtonStyle(const QString& strImageRoot);
    void LoadAnimation(const QString& strImageRoot);
    void CreateMusicWindow();
    void StopMusic();
    void ResetReadingDisplay();
    bool AddSourceFile(const QString& strPath);
    // Selects a row of the file list without it counting as the user's
    // choice.
    void SelectFileItem(int nIndex);
    void OnTimer();
    // Keeps the window's events flowing until the condition holds.
    void WaitUntil(const std::function<bool()>& fnDone);
    bool SpeakAndWait(const QString& strText);
    void SpeakSourceFile(const QString& strText, const QString& strBaseName);
    void SpeakInstantText();
    void WaitForVoice();
    void SetSpeakButtonText(int nStringId);
    void FocusAfterModeChange(QWidget* pControl);
    void ResumeAfterItem();
    // True when the WAV stands complete under its name; a failure is added
    // to the batch's list.
    bool RenderToWave(const QString& strHeading, const QString& strText, const QString& strWavPath);
    bool StartMp3Conversion(const QString& strWavPath);
    void OnMp3Done(const QVariant& payload);
    void SetPaneText(const QString& strText);
    // True when the pane holds more than white space.
    bool PaneHasVisibleText() const;
    // What Speak would read when the reading is idle: the listed files in
    // file mode, visible text in instant mode.
    bool HasTextToRead() const;
    static bool ClipboardHasText();
    static CSpeechApp* App();
    static QString Title();
    void OnDestroy();
    void UpdateSliderLabels();
    bool CreateVoice();
    void OnSpeechEvent();
    void OnWorkerError(const QString& strText);
    void OnMp3Progress(double dPercent);
    void RequestEnd();
    QString StringOrFail(int nId, bool& bFailed) const;

    QStringList m_sourceFiles;
    // What the pane was last given, to know when it holds a text already.
    QString m_strPaneText;
    // The audio files of the running batch that could not be made.
    QStringList m_audioFailures;
    // Word times of the document being rendered, when the settings ask for
    // them; null otherwise.
    std::unique_ptr<CWordTimings> m_pTimings;
    quint32 m_nRenderedMs = 0;
    CPrelude m_prelude;
    QMenu* m_pTextMenu = nullptr;
    // A reading command is still on the stack (it may be unwinding after
    // Stop); a new reading waits until it has returned.
    bool m_bReadingOnStack = false;

    QIcon m_hIcon;
    QAudioOutput* m_pMusicOutput = nullptr;
    bool m_bEndRequested = false;
    // Until the window manager has framed the window, the frame's size is
    // unknown and the start-up fit is done again once it is.
    bool m_bFrameFitPending = false;
    bool m_bDestroyed = false;
    quint32 m_nAnimationHandle = 0;

    QMenuBar* m_pMenuBar = nullptr;
    // The menus' titles and items in the string table's order; null for
    // separators.
    std::vector<QAction*> m_menuEntries;
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
    // The two mode radios as one group of their own: left to the window's
    // children, a radio of a settings page still open under the window would
    // count as the checked one and let a click uncheck the mode.
    QButtonGroup* m_groupMode = nullptr;
    QLabel* m_staticVolume = nullptr;
    QLabel* m_staticRate = nullptr;
    QLabel* m_staticLanguage = nullptr;
    QLabel* m_staticVoice = nullptr;
    QLabel* m_staticScale[6] = {};
};
