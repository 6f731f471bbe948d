#pragma once

#include "widgets/colorref.h"
#include "widgets/paintbuffer.h"
#include "widgets/pphtmldrawer.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>

// Static text whose window text is drawn as simple HTML markup, and which can
// show the frames of an image strip as an animation.
class CPPHtmlStatic : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ANIMATION_TIMER_ID = 260;

    explicit CPPHtmlStatic(QWidget* pParent = nullptr);

    // New markup, drawn from the next paint; ends image-strip mode.
    void SetWindowText(const QString& strMarkup);
    QString GetWindowText() const { return m_strText; }

    // Shows an image strip registered in CBitmapHandles, from frame 0. A null
    // frame size lets the drawer cut the strip; -1 means no transparent colour.
    void SetFrameStrip(quint32 nBitmap, const std::optional<QSize>& frameSize, qint64 nTransparent);
    bool IsFrameStripMode() const { return m_bFrameStrip; }
    // 0 stops the animation; the period that already runs is not restarted.
    void SetFrameInterval(int nMilliseconds);
    int GetFrameInterval() const { return m_nFrameInterval; }
    bool IsAnimating() const { return m_timerAnimation.isActive(); }
    // Milliseconds to the next tick, -1 when stopped.
    int GetRemainingTime() const { return m_timerAnimation.remainingTime(); }
    // One animation tick: what the timer does, callable without waiting.
    void OnTimer(int nIdEvent);

    CPPHtmlDrawer& GetDrawer() { return m_drawer; }
    // Draws the control in its enabled or disabled look into the image.
    void Render(QImage& image);
    // How many times the content was drawn for the screen.
    int GetPaintCount() const { return m_nPaintCount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    void SetContent(const QString& strMarkup);
    void ApplyFontToBodyStyle();
    void SetHoverLink(int nLink);

    CPPHtmlDrawer m_drawer;
    QString m_strText;
    bool m_bFrameStrip = false;
    int m_nFrameInterval = 0;
    QTimer m_timerAnimation;
    CPaintBuffer m_paintBuffer;
    int m_nPaintCount = 0;
};
