#include "pages/widgets/pwm_canvas.h"

#include "core/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace {

QPointF Pixels(double x, double y) { return {x / kTwipsPerPixel, y / kTwipsPerPixel}; }
QColor Colour(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

}  // namespace

PWMCanvas::PWMCanvas(QWidget* parent) : QWidget(parent) {
    setFixedSize(TwipsToPixels(pwm::kPictureWidth), TwipsToPixels(pwm::kPictureHeight));
    setMouseTracking(true);
    setToolTip(QStringLiteral("Click and drag the rising/falling edges to program PWM data"));
}

void PWMCanvas::SetScene(pwm::Scene scene) {
    scene_ = std::move(scene);
    update();
}

void PWMCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), scene_.buttonFace ? palette().color(QPalette::Button) : QColor(Qt::white));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    for (const pwm::SceneLine& l : scene_.lines) {
        QPen pen(Colour(l.rgb), l.widthPixels);
        pen.setStyle(l.dotted ? Qt::DotLine : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(Pixels(l.at.x1, l.at.y1), Pixels(l.at.x2, l.at.y2));
    }
    const QFontMetrics metrics(font());
    for (const pwm::SceneText& t : scene_.texts) {
        p.setPen(Colour(t.rgb));
        QPointF at = Pixels(t.x, t.y);
        if (t.centred) at.rx() -= metrics.horizontalAdvance(t.text) / 2.0;
        p.drawText(QPointF(at.x(), at.y() + metrics.ascent()), t.text);
    }
}

void PWMCanvas::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) onMouseDown(PixelsToTwips(1) * event->position().x());
}

void PWMCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(PixelsToTwips(1) * event->position().x());
}

void PWMCanvas::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
