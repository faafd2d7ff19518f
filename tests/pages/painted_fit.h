#pragma once
// Finds the painted captions a reader cannot read whole: outside their picture, on each other,
// or crossed by a line of the picture, for every painted picture (PaintedLayout) in a window.
#include "text_fit.h"

#include "shell/painted_layout.h"

#include <QWidget>
#include <algorithm>

// Whether the line meets the closed rectangle (clipping the line's run to the rectangle's sides).
inline bool LineMeets(const QLineF& l, const QRectF& r) {
    double from = 0, to = 1;
    const double dx = l.dx(), dy = l.dy();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {l.x1() - r.left(), r.right() - l.x1(), l.y1() - r.top(), r.bottom() - l.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
        if (from > to) return false;
    }
    return true;
}

inline QString BoxText(const QRectF& b) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(b.x(), 0, 'f', 1).arg(b.y(), 0, 'f', 1).arg(b.width(), 0, 'f', 1).arg(b.height(), 0, 'f', 1);
}

inline QStringList PaintedFaults(const QWidget* root) {
    QStringList faults;
    QList<const QWidget*> widgets{root};
    for (const QWidget* w : root->findChildren<QWidget*>()) widgets << w;
    for (const QWidget* w : widgets) {
        const auto* picture = dynamic_cast<const PaintedLayout*>(w);
        if (!picture || !w->isVisibleTo(root)) continue;
        const QString name = ControlName(w);
        const QList<PaintedCaption> captions = picture->Captions();
        const QList<QLineF> lines = picture->Lines();
        const QRectF area(w->rect());
        for (qsizetype i = 0; i < captions.size(); ++i) {
            const PaintedCaption& c = captions[i];
            if (!area.contains(c.Box)) faults << name + QStringLiteral(": \"%1\" %2 leaves the picture").arg(c.Text, BoxText(c.Box));
            for (qsizetype j = i + 1; j < captions.size(); ++j)
                if (c.Box.intersects(captions[j].Box))
                    faults << name + QStringLiteral(": \"%1\" lies on \"%2\"").arg(c.Text, captions[j].Text);
            // Touching a line is meeting it: the pen covers the line's edge.
            for (const QLineF& l : lines)
                if (LineMeets(l, c.Box))
                    faults << name + QStringLiteral(": \"%1\" %2 meets the line %3,%4-%5,%6")
                                         .arg(c.Text, BoxText(c.Box))
                                         .arg(l.x1(), 0, 'f', 1).arg(l.y1(), 0, 'f', 1).arg(l.x2(), 0, 'f', 1).arg(l.y2(), 0, 'f', 1);
        }
    }
    return faults;
}
