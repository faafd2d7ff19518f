#pragma once
// Counts the paints of the widgets it filters and the pixels they cover, so that a figure is
// known to include its paint.
#include <QEvent>
#include <QObject>
#include <QPaintEvent>

class PaintCounter : public QObject {
public:
    long paints = 0;
    long pixels = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region()) pixels += r.width() * r.height();
        }
        return false;
    }
};
