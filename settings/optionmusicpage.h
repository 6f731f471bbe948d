#pragma once

#include "widgets/propertypage.h"

#include <QString>

class CSpeechDlg;
class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Until the user confirms a music file dialog, it starts in the Music folder.
extern bool g_bFirstMusicBrowse;

// The Music page of the settings sheet: no music, or one file that the main
// window plays when a reading ends. OK takes effect at once.
class COptionMusicPage : public CPropertyPage
{
    Q_OBJECT
public:
    // The window whose music player the page replaces; with none, the page
    // only edits the settings.
    explicit COptionMusicPage(CSpeechDlg* pMainWnd, QWidget* pParent = nullptr);

    void OnOK() override;

protected:
    bool OnInitDialog() override;
    bool event(QEvent* pEvent) override;

private Q_SLOTS:
    void OnNoMusic();
    void OnPlayMusic();
    void OnBrowse();

private:
    void OnPageMessage(const QString& strText);
    void EnableFileControls(bool bEnable);

    CSpeechDlg* m_pMainWnd;
    QString m_strMusicFile;
    int m_nPlayMode = 0;
    // A new file was picked since the page opened.
    bool m_bFileChanged = false;

    QLabel* m_staticInfo = nullptr;
    QRadioButton* m_radioNoMusic = nullptr;
    QRadioButton* m_radioPlayMusic = nullptr;
    QLineEdit* m_editMusicFile = nullptr;
    QPushButton* m_btnBrowse = nullptr;
};
