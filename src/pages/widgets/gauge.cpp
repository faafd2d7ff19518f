#include "pages/widgets/gauge.h"

#include "core/numbers.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

Gauge::Gauge(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setMinimumSize(40, 100);
}

void Gauge::SetScale(GaugeScale scale) {
    scale_ = scale;
    update();
}

void Gauge::SetNeedle(float value) {
    needle_ = value;
    update();
}

void Gauge::SetCaption(const QString& text) {
    caption_ = text;
    update();
}

void Gauge::SetSliderValue(int slider, double value) {
    if (slider == 2) slider2_ = value;
    else if (slider == 3) slider3_ = value;
    else return;
    update();
}

double Gauge::SliderValue(int slider) const {
    if (slider == 2) return slider2_;
    if (slider == 3) return slider3_;
    return 0;
}

QRectF Gauge::DialRect() const {
    const double captionHeight = fontMetrics().height() + 4;
    const double side = std::max(1.0, std::min<double>(width(), height() - captionHeight));
    return {(width() - side) / 2, 0, side, side};
}

QPointF Gauge::ToLogical(QPointF p) const {
    const QRectF dial = DialRect();
    const double k = kGaugeLogicalSize / dial.width();
    return (p - dial.center()) * k;
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF dial = DialRect();
    const double half = kGaugeLogicalSize / 2;

    p.save();
    p.translate(dial.center());
    p.scale(dial.width() / kGaugeLogicalSize, dial.width() / kGaugeLogicalSize);

    p.save();  // face and rim
    p.setPen(QPen(palette().color(QPalette::Mid), 3));
    p.setBrush(palette().color(QPalette::Base));
    p.drawEllipse(QPointF(0, 0), half - 2, half - 2);
    p.restore();

    p.save();  // ticks and labels
    QFont f = font();
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(palette().color(QPalette::Text));
    for (const ScaleTick& t : ScaleTicks(scale_)) {
        p.save();
        p.rotate(t.angle);
        p.drawLine(QPointF(0, -(half - 6)), QPointF(0, -(half - (t.major ? 20 : 13))));
        p.restore();
        if (!t.major) continue;
        const double rad = t.angle * M_PI / 180;
        const QPointF at(std::sin(rad) * (half - 36), -std::cos(rad) * (half - 36));
        p.drawText(QRectF(at.x() - 40, at.y() - 10, 80, 20), Qt::AlignCenter, NumberText(t.value));
    }
    p.restore();

    for (double value : {slider2_, slider3_}) {  // limit sliders on the rim
        p.save();
        p.rotate(ValueToAngle(value, scale_));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 200));
        QPainterPath mark;
        mark.moveTo(0, -(half - 22));
        mark.lineTo(-8, -(half - 4));
        mark.lineTo(8, -(half - 4));
        mark.closeSubpath();
        p.drawPath(mark);
        p.restore();
    }

    p.save();  // needle
    p.rotate(ValueToAngle(needle_, scale_));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    const QPointF needle[] = {{-4, 10}, {0, -(half - 18)}, {4, 10}};
    p.drawPolygon(needle, 3);
    p.setBrush(palette().color(QPalette::Text));
    p.drawEllipse(QPointF(0, 0), 7, 7);
    p.restore();

    p.restore();

    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(0, dial.bottom() + 2, width(), height() - dial.bottom() - 2), Qt::AlignHCenter | Qt::AlignTop,
               caption_);
}

void Gauge::mousePressEvent(QMouseEvent* e) {
    const QPointF at = ToLogical(e->position());
    grabbed_ = SliderAt(at.x(), at.y(), ValueToAngle(slider2_, scale_), ValueToAngle(slider3_, scale_));
    if (!grabbed_) QWidget::mousePressEvent(e);
}

void Gauge::mouseMoveEvent(QMouseEvent* e) {
    if (!grabbed_) return QWidget::mouseMoveEvent(e);
    const QPointF at = ToLogical(e->position());
    SetSliderValue(grabbed_, ValueAtOffset(at.x(), at.y(), scale_));
    emit SliderChange(index_);
}

void Gauge::mouseReleaseEvent(QMouseEvent* e) {
    if (!grabbed_) return QWidget::mouseReleaseEvent(e);
    mouseMoveEvent(e);
    grabbed_ = 0;
}
