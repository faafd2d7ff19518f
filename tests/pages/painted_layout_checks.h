#pragma once
// Checks a painted picture's captions: each inside the picture, none on another, no line of the
// picture through one.
#include "shell/painted_layout.h"

#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cmath>

// Whether the segment passes through the inside of the box (touching its edge is not enough).
inline bool CrossesBox(const QLineF& l, const QRectF& box) {
    double t0 = 0, t1 = 1;
    const double dx = l.dx(), dy = l.dy();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {l.x1() - box.left(), box.right() - l.x1(), l.y1() - box.top(), box.bottom() - l.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] <= 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    return t1 - t0 > 1e-9;
}

inline QStringList PaintedFaults(const QWidget* picture, const PaintedLayout& layout) {
    QStringList faults;
    const QString name = picture->objectName();
    const QRectF inside(0, 0, picture->width(), picture->height());
    const QList<PaintedCaption> captions = layout.Captions();
    const QList<QLineF> lines = layout.Lines();
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const PaintedCaption& c = captions[i];
        if (!inside.contains(c.Box)) faults << name + QStringLiteral(": \"") + c.Text + QStringLiteral("\" leaves the picture");
        for (qsizetype j = i + 1; j < captions.size(); ++j)
            if (c.Box.intersects(captions[j].Box))
                faults << name + QStringLiteral(": \"") + c.Text + QStringLiteral("\" on \"") + captions[j].Text + u'"';
        for (const QLineF& l : lines)
            if (CrossesBox(l, c.Box)) {
                faults << name + QStringLiteral(": a line through \"") + c.Text + u'"';
                break;
            }
    }
    return faults;
}
