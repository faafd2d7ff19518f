#include "shell/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on a 64-unit square and scaled, so every size keeps the same shape.
QPixmap DrawIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 160));
    for (int i = 0; i < 4; ++i) {
        const double y = 14 + i * 11;
        p.drawRect(QRectF(2, y, 8, 5));
        p.drawRect(QRectF(54, y, 8, 5));
    }
    p.setBrush(QColor(0, 0, 128));
    p.drawRoundedRect(QRectF(8, 6, 48, 52), 6, 6);

    // A PWM pulse train in the colour of the block diagram's highlight.
    QPen wave(QColor(255, 200, 0), 4.5);
    wave.setJoinStyle(Qt::MiterJoin);
    wave.setCapStyle(Qt::FlatCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(13, 42);
    path.lineTo(20, 42);
    path.lineTo(20, 22);
    path.lineTo(29, 22);
    path.lineTo(29, 42);
    path.lineTo(36, 42);
    path.lineTo(36, 22);
    path.lineTo(45, 22);
    path.lineTo(45, 42);
    path.lineTo(51, 42);
    p.drawPath(path);
    p.setPen(QPen(QColor(255, 60, 60), 3));
    p.drawLine(QPointF(13, 50), QPointF(51, 50));
    return pm;
}

}  // namespace

QIcon ProgramIcon() {
    static const QIcon icon = [] {
        QIcon i;
        for (int s : {16, 24, 32, 48, 64, 128}) i.addPixmap(DrawIcon(s));
        return i;
    }();
    return icon;
}
