#pragma once

#include <QSlider>

// Vertical slider whose lit part rises from the bottom also when its minimum
// sits at the top, so the lit length follows a level that is shown as the
// maximum minus the position. Handle, ticks, mouse and keys are the plain
// slider's.
class CLevelSlider : public QSlider
{
    Q_OBJECT
public:
    explicit CLevelSlider(QWidget* pParent = nullptr);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
