#pragma once

#include "widgets/colorref.h"
#include "widgets/paintbuffer.h"

#include <QImage>
#include <QLabel>
#include <memory>
#include <vector>

class CDigiChar;

// Elapsed-time display: the text as a row of seven-segment digits and colon
// cells, scaled to the control and centred.
class CDigiStatic : public QLabel
{
    Q_OBJECT
public:
    enum : int
    {
        DS_STYLE_HIDE_UNLIT = 8,
        DS_STYLE_KEEP_ASPECT = 4,
        DS_STYLE_BLEND_OUTLINE = 16
    };

    explicit CDigiStatic(QWidget* pParent = nullptr);
    ~CDigiStatic() override;

    // "?" stands for the control's window text.
    void SetText(const QString& strText);
    QString GetText() const { return m_strText; }
    void SetColor(COLORREF crOff, COLORREF crOn);
    COLORREF SetBkColor(COLORREF cr);
    COLORREF GetOnColor() const { return m_crOn; }
    COLORREF GetOffColor() const { return m_crOff; }
    COLORREF GetBkColor() const { return m_crBackground; }
    void SetStyle(int nStyle);
    int GetStyle() const { return m_nStyle; }
    // False: a change only schedules a repaint; true: it repaints at once.
    void SetRedrawNow(bool bNow) { m_bRedrawNow = bNow; }

    // Draws the display into the image, at the image's size.
    void Render(QImage& image);
    // The characters as built for the current text (rebuilt if needed).
    const std::vector<std::unique_ptr<CDigiChar>>& GetChars();
    // The digits as tall as a line of the font, in their own proportions.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void Redraw();
    void BuildChars();

    QString m_strText = QStringLiteral("?");
    bool m_bModified = true;
    std::vector<std::unique_ptr<CDigiChar>> m_chars;
    COLORREF m_crOff = 0x3400;
    COLORREF m_crOn = 0xFF00;
    COLORREF m_crBackground = 0;
    int m_nStyle = DS_STYLE_KEEP_ASPECT | DS_STYLE_BLEND_OUTLINE;
    bool m_bRedrawNow = false;
    CPaintBuffer m_paintBuffer{QImage::Format_RGB32};
};
