#pragma once

#include "widgets/colorref.h"
#include "widgets/paintbuffer.h"

#include <QImage>
#include <QPushButton>
#include <QString>

class CColourPopup;

// A push button that shows its colour and, when clicked, opens a colour
// popup just below it. Its parent learns of the popup's life through the
// five notifications, each with a colour and the button's control id.
class CColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CColorButton(QWidget* pParent = nullptr);

    void SetColor(COLORREF cr);
    COLORREF GetColor() const { return m_crColour; }
    void SetFallbackColour(COLORREF cr);
    COLORREF GetFallbackColour() const { return m_crFallback; }
    // On: while the popup is open, the button shows the colour under the
    // mouse.
    void SetHoverPreview(bool bPreview) { m_bHoverPreview = bPreview; }
    bool GetHoverPreview() const { return m_bHoverPreview; }
    void SetFallbackBoxText(const QString& strText) { m_strFallbackText = strText; }
    QString GetFallbackBoxText() const { return m_strFallbackText; }
    void SetCustomBoxText(const QString& strText) { m_strCustomText = strText; }
    QString GetCustomBoxText() const { return m_strCustomText; }
    bool IsPopupActive() const { return m_bPopupActive; }
    CColourPopup* GetPopup() const { return m_pPopup; }
    // The control id: the button's object name as a number.
    int GetDlgCtrlID() const;

    // Draws the button in its current state into the image, at its size.
    void Render(QImage& image) const;

Q_SIGNALS:
    void PickerHover(COLORREF cr, int nId);
    void PickerOpened(COLORREF cr, int nId);
    void PickerClosed(COLORREF cr, int nId);
    // The button has taken the colour already.
    void PickerChosen(COLORREF cr, int nId);
    // The button has its old colour back.
    void PickerCancelled(COLORREF cr, int nId);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private Q_SLOTS:
    void OnClicked();
    void OnPopupHover(COLORREF cr);
    void OnPopupEnded(COLORREF cr, bool bChosen);

private:
    COLORREF m_crColour = CLR_DEFAULT;
    COLORREF m_crFallback;
    COLORREF m_crBeforePopup = CLR_DEFAULT;
    QString m_strFallbackText;
    QString m_strCustomText;
    bool m_bPopupActive = false;
    bool m_bHoverPreview = false;
    CColourPopup* m_pPopup = nullptr;
    CPaintBuffer m_paintBuffer;
};
