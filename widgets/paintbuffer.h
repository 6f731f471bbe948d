#pragma once

#include <QImage>

class QWidget;

// The off-screen image a self-drawn control renders into and then copies to
// the screen in one piece, so a repaint never shows an erased control. The
// image is kept while the control's size stays, so a paint allocates none.
class CPaintBuffer
{
public:
    explicit CPaintBuffer(QImage::Format format = QImage::Format_ARGB32_Premultiplied)
        : m_format(format)
    {
    }

    // The image at the control's size in device pixels, its contents left
    // from the last paint.
    QImage& Prepare(const QWidget& widget);
    // Copies the image to the control; call from its paintEvent.
    void Show(QWidget& widget) const;

private:
    QImage::Format m_format;
    QImage m_image;
};
