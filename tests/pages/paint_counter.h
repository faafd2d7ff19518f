#pragma once
// Counts the paint events of watched widgets and keeps the areas they asked to paint.
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QImage>
#include <QScreen>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

class PaintCounter : public QObject {
public:
    void Watch(QWidget* w) { w->installEventFilter(this); }
    template <class T>
    void WatchAll(QWidget* root) {
        for (T* w : root->findChildren<T*>()) Watch(w);
    }
    void Clear() {
        count.clear();
        areas.clear();
    }
    // The widgets that painted, by object name (class name where they have none).
    QStringList Painted() const {
        QStringList names;
        for (auto it = count.begin(); it != count.end(); ++it) names << Name(it.key());
        names.sort();
        return names;
    }
    static QString Name(const QObject* o) {
        return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
    }
    QHash<const QObject*, int> count;
    QHash<const QObject*, QRegion> areas;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++count[o];
            areas[o] += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
};

// Lets the posted layouts and repaints of shown windows happen, however many rounds they take.
inline void PaintNow() {
    for (int i = 0; i < 8; ++i) QCoreApplication::processEvents();
}

// What a shown top-level widget shows now, as its repaints left it, and what a whole repaint of
// it would show.
inline QImage Shown(QWidget& w) {
    return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
inline QImage Whole(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Pixels in a region to paint.
inline int Area(const QRegion& r) {
    int a = 0;
    for (const QRect& x : r) a += x.width() * x.height();
    return a;
}
