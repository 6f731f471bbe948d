#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QStackedLayout;
class QVBoxLayout;

namespace TreePropSheet
{
// The right-hand side of a tree sheet: a caption bar naming the active page
// above the page itself, or a message where the selected node has no page.
// Derived frames decide how the bar and the message look.
class CPropPageFrame : public QWidget
{
    Q_OBJECT
public:
    explicit CPropPageFrame(QWidget* pParent = nullptr);

    void SetShowCaption(bool bShowCaption);
    bool GetShowCaption() const { return m_bShowCaption; }
    void SetCaption(const QString& strCaption, const QIcon& icon = QIcon());
    QString GetCaption() const { return m_strCaption; }
    QIcon GetCaptionIcon() const { return m_hIcon; }
    // Drawn only while no page is shown.
    void SetMsgText(const QString& strMsgText);
    QString GetMsgText() const { return m_strMsgText; }

    // Hosts the page below the caption bar (the frame becomes its parent);
    // null shows the message instead.
    void ShowPage(QWidget* pPage);
    QWidget* GetShownPage() const { return m_pShownPage; }

protected:
    virtual int GetCaptionHeight() const;
    QRect CalcCaptionArea() const;
    QRect CalcMsgArea() const;
    virtual void DrawCaption(QPainter& painter, const QRect& rect, const QString& strCaption,
                             const QIcon& icon) = 0;
    virtual void DrawMsg(QPainter& painter, const QRect& rect, const QString& strMsgText) = 0;

    void paintEvent(QPaintEvent* pEvent) override;

private:
    void UpdateMargins();

    QVBoxLayout* m_pOuter = nullptr;
    QStackedLayout* m_pStack = nullptr;
    // Stands in for a page so the layout keeps its place while the message
    // shows through.
    QWidget* m_pEmptyPage = nullptr;
    QWidget* m_pShownPage = nullptr;
    bool m_bShowCaption = false;
    QString m_strCaption;
    QIcon m_hIcon;
    QString m_strMsgText;
};
} // namespace TreePropSheet
