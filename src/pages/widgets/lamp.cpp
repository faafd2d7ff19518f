#include "pages/widgets/lamp.h"

#include "core/twips.h"

#include <QPainter>

Lamp::Lamp(QWidget* parent) : QWidget(parent) { setFixedSize(sizeHint()); }

QSize Lamp::sizeHint() const { return {TwipsToPixels(495), TwipsToPixels(255)}; }

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
    const double corner = 5 * height() / 17.0;
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), corner, corner);
}
