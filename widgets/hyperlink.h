#pragma once

#include <QLabel>

// A label that shows its text as a link and opens its address when clicked.
class CHyperLink : public QLabel
{
    Q_OBJECT
public:
    explicit CHyperLink(QWidget* pParent = nullptr);

    void SetURL(const QString& strUrl);
    QString GetURL() const { return m_strUrl; }
    void SetLinkText(const QString& strText);

Q_SIGNALS:
    void Clicked(const QString& strUrl);

protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    QString m_strUrl;
};
