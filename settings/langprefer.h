#pragma once

#include "widgets/propertypage.h"

class CSpeechDlg;
class QLabel;
class QListWidget;
class QRadioButton;

// The Language page: the content language the main window starts with,
// either the system's or one picked from the main window's catalogue
// ([Misc] LangInitType and LangInitCode). The choice applies at the next
// start.
class CLangPrefer : public CPropertyPage
{
    Q_OBJECT
public:
    explicit CLangPrefer(const CSpeechDlg* pMainWnd, QWidget* pParent = nullptr);

    void OnOK() override;

protected:
    bool OnInitDialog() override;

private Q_SLOTS:
    void OnSystemLanguage();
    void OnMoreLanguages();
    void OnLanguageSelected();

private:
    // Lists the catalogue by display name and selects the entry of the code
    // (any case); an unknown code leaves nothing selected.
    void FillLanguageList(const QString& strCode);

    const CSpeechDlg* m_pMainWnd;
    int m_nInitType = 0;
    QString m_strLangCode;

    QLabel* m_staticInfo = nullptr;
    QRadioButton* m_radioSystemLanguage = nullptr;
    QRadioButton* m_radioMoreLanguages = nullptr;
    QListWidget* m_listLanguages = nullptr;
};
