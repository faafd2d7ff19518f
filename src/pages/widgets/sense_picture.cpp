#include "pages/widgets/sense_picture.h"

#include "core/twips.h"
#include "shell/block_diagram_picture.h"
#include "shell/live_text.h"

#include <QLabel>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace {

// Edges rounded one by one, so that a caption that ends where its control begins still does at
// every scale.
QRect ToPixels(const TwipsRect& r) {
    const int left = TwipsToPixels(r.Left), top = TwipsToPixels(r.Top);
    return {left, top, TwipsToPixels(r.Left + r.Width) - left, TwipsToPixels(r.Top + r.Height) - top};
}

QPolygonF AmplifierShape(const QRectF& r) { return QPolygonF({r.topLeft(), QPointF(r.right(), r.center().y()), r.bottomLeft()}); }

// A junction's circle as the polygon a caption must stay inside.
QPolygonF CircleOutline(const QRectF& r) {
    QPolygonF ring;
    for (int i = 0; i < 24; ++i) {
        const double a = 2 * std::numbers::pi * i / 24;
        ring << r.center() + QPointF(r.width() / 2 * std::cos(a), r.height() / 2 * std::sin(a));
    }
    return ring;
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

void SensePicture::PlaceValue(LiveText* value) {
    StyleLiveValue(value);
    Place(value);
    value->HoldSize();
}

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
            p.drawPolygon(AmplifierShape(r));
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

TwipsLayout SensePicture::Layout() const {
    TwipsLayout layout(*this);
    layout.AddOutline(ToRect(scene_.Chip));
    for (const SenseWire& w : scene_.Wires) layout.AddLine(ToLine(w.Line));
    for (const SensePart& part : scene_.Parts) {
        const QRectF r = ToRect(part.Rect);
        switch (part.Shape) {
        case SenseShape::Pin:
        case SenseShape::Box: layout.AddOutline(r); break;
        case SenseShape::Amplifier: layout.AddOutline(AmplifierShape(r)); break;
        case SenseShape::Junction: layout.AddOutline(CircleOutline(r)); break;
        }
        if (*part.Text) layout.AddText(QString::fromLatin1(part.Text), r, Qt::AlignCenter);
    }
    for (const SenseText& t : scene_.Texts) layout.AddText(QString::fromLatin1(t.Text), QPointF(t.X, t.Y));
    layout.AddLabels();
    return layout;
}

QList<PaintedCaption> SensePicture::Captions() const { return Layout().Captions(); }

QList<QLineF> SensePicture::Lines() const { return Layout().Lines(); }
