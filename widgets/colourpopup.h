#pragma once

#include "widgets/colorref.h"
#include "widgets/paintbuffer.h"

#include <QImage>
#include <QString>
#include <QWidget>

// The drop-down of a colour button: a fallback box, a grid of 40 named
// colours in 8 columns and a custom box that opens the system colour
// dialog. It reports the colour under the mouse (or the keyboard's
// selection) while open, and how the selection ended.
class CColourPopup : public QWidget
{
    Q_OBJECT
public:
    // Box indices besides the grid cells 0..39.
    enum : int
    {
        BOX_NONE = -1,
        BOX_CUSTOM = -2,
        BOX_FALLBACK = -3
    };
    enum : int
    {
        GRID_COLUMNS = 8
    };

    explicit CColourPopup(QWidget* pParent = nullptr);

    static int GetColourCount();
    static int GetRowCount();
    // 0x00BBGGRR of a grid cell, or 0 past the grid.
    static COLORREF GetColour(int nIndex);
    // The cell's name in the current interface language.
    static QString GetColourName(int nIndex);

    // Shows the popup with its top-left corner at the screen point, moved
    // up and left where the screen would cut it off.
    void Open(const QPoint& ptScreen, COLORREF crCurrent, COLORREF crFallback,
              const QString& strFallbackText, const QString& strCustomText);
    bool IsActive() const { return m_bActive; }
    int GetSelection() const { return m_nSelected; }
    int GetCurrent() const { return m_nCurrent; }

    // Layout in the popup's coordinates.
    QRect GetBoxRect(int nIndex) const;
    int HitTest(const QPoint& point) const;

    // Draws the popup into the image, at the image's size.
    void Render(QImage& image) const;

Q_SIGNALS:
    // The colour under the mouse or the keyboard's selection; the colour the
    // popup was opened with where nothing is selected.
    void SelectionHover(COLORREF cr);
    // The popup closed: chosen with the colour, or cancelled with the colour
    // it was opened with.
    void SelectionEnded(COLORREF cr, bool bChosen);

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    void Layout();
    void ChangeSelection(int nIndex);
    void EndSelection(bool bChosen);
    int StepSelection(int nKey) const;
    COLORREF ColourOfBox(int nIndex) const;
    QString TextOfBox(int nIndex) const;
    void DrawTextBox(QPainter& painter, int nIndex) const;
    void DrawCellFrame(QPainter& painter, const QRect& rect, int nIndex) const;

    COLORREF m_crInitial = 0;
    COLORREF m_crFallback = 0;
    QString m_strFallbackText;
    QString m_strCustomText;
    int m_nSelected = BOX_NONE;
    int m_nCurrent = BOX_NONE;
    bool m_bActive = false;
    QRect m_rectFallback;
    QRect m_rectCustom;
    QPoint m_ptGrid;
    CPaintBuffer m_paintBuffer;
};
