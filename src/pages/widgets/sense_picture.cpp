#include "pages/widgets/sense_picture.h"

#include "core/twips.h"
#include "shell/block_diagram_picture.h"

#include <QLabel>
#include <QPainter>

namespace {

QRect ToPixels(const TwipsRect& r) {
    return {TwipsToPixels(r.Left), TwipsToPixels(r.Top), TwipsToPixels(r.Width), TwipsToPixels(r.Height)};
}

const QColor kBlockPen(0, 0, 150), kBlockFill(214, 226, 250), kBlockText(0, 0, 120);
const QColor kWire(60, 60, 60), kSetting(0, 0, 150);

}  // namespace

SensePicture::SensePicture(const SenseScene& scene, QWidget* parent) : QWidget(parent), scene_(scene) {
    setObjectName(QStringLiteral("Picture1"));
    setFixedSize(TwipsToPixels(scene.Width), TwipsToPixels(scene.Height));
    for (const SenseCaption& c : scene.Captions) {
        auto* l = new QLabel(QString::fromLatin1(c.Text), this);
        l->setGeometry(ToPixels(c.Rect));
        if (c.Centred) l->setAlignment(Qt::AlignCenter);
    }
}

void SensePicture::Place(QWidget* control) {
    const TwipsRect r = scene_.ControlRect(control->objectName().toLatin1().constData());
    control->setParent(this);
    control->setGeometry(ToPixels(r));
}

void SensePicture::StyleValue(QLabel* value) { StyleLiveValue(value); }

void SensePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    StartTwipsPicture(p, *this);
    DrawChipOutline(p, scene_.Chip);

    for (const SenseWire& w : scene_.Wires) {
        QPen pen(w.Setting ? kSetting : kWire, w.Setting ? 15 : 20);
        if (w.Setting) pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        p.drawLine(w.Line.X1, w.Line.Y1, w.Line.X2, w.Line.Y2);
        if (w.Arrow) DrawArrowHead(p, w.Line, pen.color());
    }

    for (const SensePart& part : scene_.Parts) {
        const QRectF r = ToRect(part.Rect);
        p.setPen(QPen(kBlockPen, 20));
        p.setBrush(kBlockFill);
        switch (part.Shape) {
        case SenseShape::Pin:
            p.setPen(QPen(QColor(70, 70, 70), 20));
            p.setBrush(QColor(236, 236, 236));
            p.drawRect(r);
            break;
        case SenseShape::Box: p.drawRect(r); break;
        case SenseShape::Amplifier:
            p.drawPolygon(QPolygonF({r.topLeft(), QPointF(r.right(), r.center().y()), r.bottomLeft()}));
            break;
        case SenseShape::Junction: p.drawEllipse(r); break;
        }
        if (*part.Text) {
            p.setPen(kBlockText);
            p.drawText(r, Qt::AlignCenter, QString::fromLatin1(part.Text));
        }
    }

    p.setPen(QColor(20, 20, 20));
    for (const SenseText& t : scene_.Texts) p.drawText(QPointF(t.X, t.Y), QString::fromLatin1(t.Text));
}
