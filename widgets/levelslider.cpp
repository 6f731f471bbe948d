#include "widgets/levelslider.h"

#include <QStyleOptionSlider>
#include <QStylePainter>

CLevelSlider::CLevelSlider(QWidget* pParent) : QSlider(Qt::Vertical, pParent) {}

void CLevelSlider::paintEvent(QPaintEvent* /*pEvent*/)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (tickPosition() != NoTicks)
        option.subControls |= QStyle::SC_SliderTickmarks;
    // Styles light the groove from the minimum's end; the mirrored range
    // keeps the handle on its pixel and moves the minimum to the bottom.
    if (!option.upsideDown)
    {
        option.upsideDown = true;
        option.sliderPosition = option.minimum + option.maximum - option.sliderPosition;
        option.sliderValue = option.minimum + option.maximum - option.sliderValue;
    }
    QStylePainter painter(this);
    painter.drawComplexControl(QStyle::CC_Slider, option);
}
