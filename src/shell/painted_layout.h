#pragma once
// What a painted picture draws that a reader must be able to read: each caption's box and the
// lines that no caption may cross, in the widget's own pixels at the present font and scale.
// The window tests check every picture through this at every font size.
#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QString>

struct PaintedCaption {
    QString Text;
    QRectF Box;
};

class PaintedLayout {
public:
    virtual ~PaintedLayout() = default;
    virtual QList<PaintedCaption> Captions() const = 0;
    virtual QList<QLineF> Lines() const = 0;
};

// The sides of a drawn shape, closed or not (a rectangle converts to a closed polygon).
inline QList<QLineF> EdgesOf(const QPolygonF& shape) {
    QList<QLineF> edges;
    const qsizetype n = shape.isClosed() ? shape.size() - 1 : shape.size();
    for (qsizetype i = 0; n > 1 && i < n; ++i) edges << QLineF(shape[i], shape[(i + 1) % shape.size()]);
    return edges;
}
