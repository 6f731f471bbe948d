#pragma once

#include "widgets/colorref.h"
#include "widgets/paintbuffer.h"

#include <QBasicTimer>
#include <QFont>
#include <QImage>
#include <QProgressBar>
#include <optional>

struct PBRANGE
{
    int iLow = 0;
    int iHigh = 0;
};

// Progress bar that draws itself: a sunken frame, the filled and the empty
// part, and a text (by default the percentage) whose colour changes exactly
// at the bar's edge. It keeps its own position and range; the base class
// never paints.
class CTextProgressCtrl : public QProgressBar
{
    Q_OBJECT
public:
    enum : int
    {
        PBS_VERTICAL = 4,
        PBS_MARQUEE = 8
    };
    enum : int
    {
        ALIGN_START = 0,
        ALIGN_CENTER = 1,
        ALIGN_END = 2
    };

    explicit CTextProgressCtrl(QWidget* pParent = nullptr);
    ~CTextProgressCtrl() override;

    // The progress-bar messages; each returns what the message returns.
    int SetRange(quint16 nLower, quint16 nUpper);
    int SetRange32(int nMin, int nMax);
    int GetRange(bool bWhichLow, PBRANGE* pRange) const;
    void GetRange(int& nLower, int& nUpper) const;
    int SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    int OffsetPos(int nIncrement);
    int SetStep(int nStep);
    int StepIt();
    bool SetMarquee(bool bOn, int nInterval);
    COLORREF SetBarColor(COLORREF cr);
    COLORREF SetBkColor(COLORREF cr);
    COLORREF SetTextColor(COLORREF cr);
    COLORREF SetTextBkColor(COLORREF cr);
    // Effective colours: the system colour where the sentinel is stored.
    COLORREF GetBarColor() const;
    COLORREF GetBkColor() const;
    COLORREF GetTextColor() const;
    COLORREF GetTextBkColor() const;
    bool SetShowPercent(bool bShow);
    int SetTextAlign(int nAlign);
    void SetMarqueeSize(int nPercent);
    // A null font means "the parent's font"; the control never owns it.
    int SetFont(const std::optional<QFont>& font, bool bRedraw);
    std::optional<QFont> GetFont() const { return m_font; }
    // The marquee tick; timer 1 is the marquee timer.
    void OnTimer(int nIdEvent);

    void SetWindowText(const QString& strText);
    QString GetWindowText() const { return m_strWindowText; }
    void SetVertical(bool bVertical);
    int GetStyle() const { return m_nStyle; }
    static int GetMarqueeDirection() { return s_nMarqueeDirection; }

    // Draws the whole control into the image, at the image's size.
    void Render(QImage& image) const;
    // The upper limit of the position: the range's maximum, extended by the
    // block length in marquee mode.
    int GetUpperLimit() const;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void Redraw();
    int SetPosition(qint64 nPos);
    QFont EffectiveFont() const;
    int ExtendedMax() const;

    bool m_bShowPercent = true;
    mutable std::optional<QFont> m_fontVertical;
    COLORREF m_crBar = CLR_SYSTEM_SENTINEL;
    COLORREF m_crBack = CLR_SYSTEM_SENTINEL;
    COLORREF m_crTextBack = CLR_SYSTEM_SENTINEL;
    COLORREF m_crText = CLR_SYSTEM_SENTINEL;
    int m_nTextAlign = ALIGN_CENTER;
    int m_nPos = 0;
    int m_nStep = 10;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nMarqueeSize = 20;
    std::optional<QFont> m_font;

    int m_nStyle = 0;
    QString m_strWindowText;
    QBasicTimer m_timerMarquee;
    CPaintBuffer m_paintBuffer;

    static int s_nMarqueeDirection;
};
