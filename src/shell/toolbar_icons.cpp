#include "shell/toolbar_icons.h"

#include "core/twips.h"

#include <QPainter>
#include <QPixmap>

namespace {

// The icons are drawn on a 24-pixel grid, at any size.
QPixmap DrawIcon(const QString& key, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    p.setPen(QPen(QColor(0, 0, 128), 1.5));
    if (key == QLatin1String("File")) {
        p.setBrush(QColor(255, 255, 230));
        p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(15, 3), QPointF(19, 7), QPointF(19, 21), QPointF(5, 21)}));
        for (int y = 9; y <= 17; y += 4) p.drawLine(8, y, 16, y);
    } else if (key == QLatin1String("Tree")) {
        p.drawLine(6, 4, 6, 20);
        for (int y : {8, 14, 20}) {
            p.drawLine(6, y, 11, y);
            p.setBrush(QColor(255, 220, 120));
            p.drawRect(11, y - 2, 8, 4);
        }
    } else if (key == QLatin1String("Graph")) {
        p.setBrush(Qt::black);
        p.drawRect(3, 4, 18, 16);
        p.setPen(QPen(QColor(0, 220, 0), 1.5));
        p.drawPolyline(QPolygonF({QPointF(4, 15), QPointF(8, 9), QPointF(12, 14), QPointF(16, 7), QPointF(20, 12)}));
    } else {
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(5, 5, 14, 14);
        for (int i = 7; i <= 17; i += 5) {
            p.drawLine(i, 2, i, 5);
            p.drawLine(i, 19, i, 22);
            p.drawLine(2, i, 5, i);
            p.drawLine(19, i, 22, i);
        }
    }
    p.end();
    return pm;
}

}  // namespace

QIcon ToolbarIcon(const QString& key) {
    QIcon icon(DrawIcon(key, 24));
    // A larger font asks for larger icons: draw those too, rather than blow the small one up.
    if (LayoutScale() > 1)
        for (int size : {ScaledPixels(24), ScaledPixels(32)}) icon.addPixmap(DrawIcon(key, size));
    return icon;
}
