#pragma once

#include "widgets/colorref.h"
#include "widgets/propertypage.h"

#include <QString>

class CColorButton;
class CSpeechDlg;
class QComboBox;
class QGroupBox;
class QLabel;

// The User Interface page of the settings sheet: the language of the
// program's own texts and six colours of the main window. OK and Apply
// store what the user changed and apply it to the main window at once.
class CUIOptionDLG : public CPropertyPage
{
    Q_OBJECT
public:
    explicit CUIOptionDLG(QWidget* pParent = nullptr);

    void OnOK() override;

    QString m_strUILangID;
    COLORREF m_crButtonHighlight = 0;
    COLORREF m_crTimer = 0;
    COLORREF m_crBar = 0;
    COLORREF m_crBarBack = 0;
    COLORREF m_crTextOnBar = 0;
    COLORREF m_crTextOnBack = 0;
    bool m_bUILangChanged = false;
    bool m_bButtonHighlightChanged = false;
    bool m_bTimerChanged = false;
    bool m_bBarChanged = false;
    bool m_bBarBackChanged = false;
    bool m_bTextOnBarChanged = false;
    bool m_bTextOnBackChanged = false;

protected:
    bool OnInitDialog() override;

private Q_SLOTS:
    void OnUILanguageSelected();
    void OnColourChosen(COLORREF cr, int nId);

private:
    struct SColourItem;
    static const SColourItem s_colourItems[];

    // The program's main window, or null when there is none.
    static CSpeechDlg* MainWindow();

    QComboBox* m_cmbUILanguage = nullptr;
    CColorButton* m_btnButtonHighlight = nullptr;
    CColorButton* m_btnTimer = nullptr;
    CColorButton* m_btnBar = nullptr;
    CColorButton* m_btnBarBack = nullptr;
    CColorButton* m_btnTextOnBar = nullptr;
    CColorButton* m_btnTextOnBack = nullptr;
    QLabel* m_staticUILanguage = nullptr;
    QLabel* m_staticButtonHighlight = nullptr;
    QLabel* m_staticTimer = nullptr;
    QGroupBox* m_groupProgressBar = nullptr;
    QLabel* m_staticBar = nullptr;
    QLabel* m_staticBarBack = nullptr;
    QLabel* m_staticTextOnBar = nullptr;
    QLabel* m_staticTextOnBack = nullptr;
};
