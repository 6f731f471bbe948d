#pragma once

#include "widgets/colorref.h"
#include "widgets/paintbuffer.h"

#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

// Push button that draws itself: a flat face that shows a raised edge and
// the hover colour while the mouse is over it, an icon beside the caption,
// an embossed look when disabled and a one-pixel shift while pressed.
class CButtonST : public QPushButton
{
    Q_OBJECT
public:
    enum
    {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN,
        BTNST_COLOR_BK_OUT,
        BTNST_COLOR_FG_OUT,
        BTNST_COLOR_BK_FOCUS,
        BTNST_COLOR_FG_FOCUS,
        BTNST_MAX_COLORS
    };
    enum
    {
        BTNST_OK = 0,
        BTNST_INVALIDINDEX = 3
    };
    enum
    {
        ST_ALIGN_HORIZ = 0,
        ST_ALIGN_VERT = 1,
        ST_ALIGN_HORIZ_RIGHT = 2
    };

    explicit CButtonST(QWidget* pParent = nullptr);

    // The button keeps its own copies; the ones set before are dropped.
    void SetButtonIcons(const QIcon& iconIn, const QIcon& iconOut = QIcon());
    void SetFlatLook(bool bFlat, bool bRepaint);
    bool GetFlatLook() const { return m_bIsFlat; }
    void SetDrawBorder(bool bDraw, bool bRepaint);
    void SetDrawFlatFocus(bool bDraw, bool bRepaint);
    void SetAlign(int nAlign, bool bRepaint);
    // BTNST_INVALIDINDEX for an index outside 0..5, which changes nothing.
    int SetStateColour(int nIndex, COLORREF cr, bool bRepaint);
    COLORREF GetStateColour(int nIndex) const;
    // The six colours back to the system's button face and button text.
    void SetDefaultColors(bool bRepaint);
    bool IsMouseOver() const { return m_bMouseOnButton; }

    // Draws the button in its current state into the image, at its size.
    void Render(QImage& image) const;
    // What Render needs to show the icon and the whole caption on one line
    // inside the focus rectangle.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void focusOutEvent(QFocusEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    void CancelHover();
    void Repaint(bool bRepaint);

    bool m_bIsFlat = true;
    bool m_bDrawBorder = true;
    bool m_bAlwaysTrack = true;
    bool m_bDrawFlatFocus = false;
    bool m_bMouseOnButton = false;
    COLORREF m_crColors[BTNST_MAX_COLORS] = {};
    QIcon m_iconIn;
    QIcon m_iconOut;
    QSize m_sizeIconIn;
    QSize m_sizeIconOut;
    // Pixmaps made once per icon, so a paint only copies them.
    QPixmap m_pixIn;
    QPixmap m_pixInDisabled;
    QPixmap m_pixOut;
    QPixmap m_pixOutDisabled;
    int m_nAlign = ST_ALIGN_HORIZ;
    int m_nMarginH = 3;
    int m_nMarginV = 3;
    QPoint m_ptPressedOffset{1, 1};
    CPaintBuffer m_paintBuffer;
    QPalette m_systemPalette;
};
