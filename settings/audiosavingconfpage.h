#pragma once

#include "widgets/propertypage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Audio Output page: how Save as Audio names its files ([Audio]
// SaveType and SavePath), and whether it writes word timings beside them
// ([Audio] WordTiming).
class CAudioSavingConfPage : public CPropertyPage
{
    Q_OBJECT
public:
    explicit CAudioSavingConfPage(QWidget* pParent = nullptr);

    void OnOK() override;

protected:
    // Repairs a missing, unreadable or unwritable SavePath and stores the
    // repair at once, whatever the user then does with the sheet.
    bool OnInitDialog() override;

private Q_SLOTS:
    void OnAskEachTime();
    void OnUseFolder();
    void OnFolderChanged();
    void OnBrowse();
    void OnWordTimingChanged();

private:
    void EnableFolderControls(bool bEnable);

    int m_nSaveType = 0;
    // WordTiming as stored, so that an untouched box writes nothing.
    bool m_bWordTiming = false;

    QLabel* m_staticInfo = nullptr;
    QRadioButton* m_radioAskEachTime = nullptr;
    QRadioButton* m_radioUseFolder = nullptr;
    QLineEdit* m_editFolder = nullptr;
    QPushButton* m_btnBrowse = nullptr;
    QCheckBox* m_checkWordTiming = nullptr;
};
