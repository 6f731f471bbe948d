#include "widgets/paintbuffer.h"

#include <QPainter>
#include <QWidget>

QImage& CPaintBuffer::Prepare(const QWidget& widget)
{
    const qreal dRatio = widget.devicePixelRatioF();
    const QSize pixels = (QSizeF(widget.size()) * dRatio).toSize();
    if (m_image.size() != pixels)
    {
        m_image = QImage(pixels, m_format);
        m_image.setDevicePixelRatio(dRatio);
    }
    return m_image;
}

void CPaintBuffer::Show(QWidget& widget) const
{
    QPainter painter(&widget);
    painter.drawImage(0, 0, m_image);
}
