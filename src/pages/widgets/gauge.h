#pragma once
// A painted dial gauge: one needle, a caption under the dial and two limit sliders (numbered 2
// and 3) that the user drags along the dial's rim.
#include "pages/widgets/gauge_math.h"

#include <QWidget>

class Gauge : public QWidget {
    Q_OBJECT
public:
    explicit Gauge(int index, QWidget* parent = nullptr);

    int Index() const { return index_; }
    void SetScale(GaugeScale scale);
    GaugeScale Scale() const { return scale_; }
    void SetNeedle(float value);
    float Needle() const { return needle_; }
    void SetCaption(const QString& text);
    QString Caption() const { return caption_; }
    // Sliders 2 and 3; a value set here raises no slider event. Other numbers are ignored.
    void SetSliderValue(int slider, double value);
    double SliderValue(int slider) const;

    QSize sizeHint() const override { return {60, 190}; }

signals:
    // The user moved a slider (while dragging and at the drop).
    void SliderChange(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QRectF DialRect() const;
    QPointF ToLogical(QPointF p) const;
    int index_;
    GaugeScale scale_;
    float needle_ = 0;
    QString caption_;
    double slider2_ = 0, slider3_ = 100;
    int grabbed_ = 0;
};
