#include "pages/widgets/lamp.h"

#include <QPainter>

Lamp::Lamp(QWidget* parent) : QWidget(parent) { setFixedSize(33, 17); }

void Lamp::SetState(int state) {
    const int s = state ? 1 : 0;
    if (s == state_) return;
    state_ = s;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor on = state_ ? QColor(220, 30, 30) : QColor(30, 180, 60);
    p.setPen(QPen(on.darker(160), 1));
    p.setBrush(on);
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
}
