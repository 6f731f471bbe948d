#pragma once

#include <QLabel>

// Static text that renders a small subset of HTML markup.
class CPPHtmlStatic : public QLabel
{
    Q_OBJECT
public:
    explicit CPPHtmlStatic(QWidget* pParent = nullptr);

    void SetWindowText(const QString& strMarkup);
    QString GetWindowText() const { return m_strText; }

private:
    QString m_strText;
};
