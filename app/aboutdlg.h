#pragma once

#include <QDialog>

class CHyperLink;
class QLabel;
class QPushButton;

// The About box: version notice, the home page link and the program icon.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

private:
    QLabel* m_staticIcon = nullptr;
    QLabel* m_staticText = nullptr;
    CHyperLink* m_hyperLink = nullptr;
    QPushButton* m_btnOk = nullptr;
};
