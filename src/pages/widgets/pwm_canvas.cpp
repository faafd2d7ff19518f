#include "pages/widgets/pwm_canvas.h"

#include "core/twips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <utility>

namespace {

QPointF Pixels(double x, double y) { return {x / TwipsPerPixel(), y / TwipsPerPixel()}; }
QLineF PixelLine(const pwm::SceneLine& l) { return {Pixels(l.at.x1, l.at.y1), Pixels(l.at.x2, l.at.y2)}; }
QColor Colour(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }
int PenWidth(const pwm::SceneLine& l) { return ScaledPixels(l.widthPixels); }

void DrawLine(QPainter& p, const pwm::SceneLine& l) {
    QPen pen(Colour(l.rgb), PenWidth(l));
    pen.setStyle(l.dotted ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(PixelLine(l));
}

// The widest edge label there is: two-digit edge number, the longest time.
const QString& WidestEdgeLabel() {
    static const QString text = QStringLiteral("T14 = 20.475us");
    return text;
}

}  // namespace

PWMCanvas::PWMCanvas(QWidget* parent) : QWidget(parent) {
    setFixedSize(TwipsToPixels(pwm::kPictureWidth), TwipsToPixels(pwm::kPictureHeight));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the kept picture
    setToolTip(QStringLiteral("Click and drag the rising/falling edges to program PWM data"));
    Relayout();
}

void PWMCanvas::SetScene(pwm::Scene scene) {
    if (scene == scene_) return;
    const bool stillChanged = scene.buttonFace != scene_.buttonFace || scene.stillLines != scene_.stillLines ||
                              !std::equal(scene.lines.begin(), scene.lines.begin() + scene.stillLines,
                                          scene_.lines.begin(), scene_.lines.begin() + scene_.stillLines);
    const pwm::Scene old = std::exchange(scene_, std::move(scene));
    // An item that stayed keeps its measured place; one that moved, appeared or went away
    // repaints at its old and its new place.
    QRegion dirty;
    auto remeasure = [&](const auto& before, const auto& after, std::vector<QRect>& at, size_t from) {
        std::vector<QRect> fresh(after.size());
        for (size_t k = 0; k < after.size(); ++k) {
            const bool same = k < before.size() && before[k] == after[k];
            fresh[k] = same ? at[k] : Bounds(after[k]);
            if (same || k < from) continue;
            dirty += fresh[k];
            if (k < before.size()) dirty += at[k];
        }
        for (size_t k = std::max(after.size(), from); k < before.size(); ++k) dirty += at[k];
        at = std::move(fresh);
    };
    remeasure(old.lines, scene_.lines, lineBounds_, scene_.stillLines);
    remeasure(old.texts, scene_.texts, textBounds_, 0);
    if (stillChanged) {
        stillDrawn_ = false;
        update();
    } else if (!dirty.isEmpty()) {
        update(dirty);
    }
}

const QFont& PWMCanvas::FontOf(const pwm::SceneText& t) const {
    return t.anchor == pwm::Anchor::EdgeLabel ? labelFont_ : font();
}

QPointF PWMCanvas::Baseline(const pwm::SceneText& t) const {
    const QFontMetrics metrics(FontOf(t));
    QPointF at = Pixels(t.x, t.y);
    if (t.anchor == pwm::Anchor::TopCentre) at.rx() -= metrics.horizontalAdvance(t.text) / 2.0;
    if (t.anchor == pwm::Anchor::EdgeLabel) at.setX(labelLeft_ / TwipsPerPixel());
    return {at.x(), at.y() + metrics.ascent()};
}

QRect PWMCanvas::Bounds(const pwm::SceneLine& l) const {
    const double reach = PenWidth(l) / 2.0 + 2;  // the pen on either side, and a pixel's rounding
    const QLineF at = PixelLine(l);
    return QRectF(at.p1(), at.p2()).normalized().adjusted(-reach, -reach, reach, reach).toAlignedRect();
}

QRectF PWMCanvas::TextBox(const pwm::SceneText& t) const {
    const QFontMetricsF metrics(FontOf(t));
    const QPointF base = Baseline(t);
    const QRectF advance(base.x(), base.y() - metrics.ascent(), metrics.horizontalAdvance(t.text), metrics.height());
    return advance.united(metrics.boundingRect(t.text).translated(base));
}

QRect PWMCanvas::Bounds(const pwm::SceneText& t) const { return TextBox(t).adjusted(-2, -2, 2, 2).toAlignedRect(); }

QList<PaintedCaption> PWMCanvas::Captions() const {
    QList<PaintedCaption> out;
    for (const pwm::SceneText& t : scene_.texts)
        if (!t.text.isEmpty()) out.push_back({t.text, TextBox(t)});
    return out;
}

QList<QLineF> PWMCanvas::Lines() const {
    QList<QLineF> out;
    for (const pwm::SceneLine& l : scene_.lines) out.push_back(PixelLine(l));
    return out;
}

void PWMCanvas::MeasureAll() {
    lineBounds_.clear();
    textBounds_.clear();
    for (const pwm::SceneLine& l : scene_.lines) lineBounds_.push_back(Bounds(l));
    for (const pwm::SceneText& t : scene_.texts) textBounds_.push_back(Bounds(t));
}

void PWMCanvas::Relayout() {
    labelFont_ = font();
    const double room = pwm::kEdgeLabelRoom / TwipsPerPixel();
    const double points = labelFont_.pointSizeF();
    const int pixels = labelFont_.pixelSize();
    for (double scale = 1.0; scale > 0.5; scale -= 0.025) {
        if (points > 0) labelFont_.setPointSizeF(points * scale);
        else labelFont_.setPixelSize(std::max(1, static_cast<int>(pixels * scale)));
        if (QFontMetrics(labelFont_).horizontalAdvance(WidestEdgeLabel()) <= room) break;
    }
    // Every edge label of every picture starts at one X, where the widest keeps its margin.
    labelLeft_ = pwm::EdgeLabelLeft(PixelsToTwips(QFontMetrics(labelFont_).horizontalAdvance(WidestEdgeLabel())));
    MeasureAll();
    stillDrawn_ = false;
    update();
}

void PWMCanvas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) Relayout();
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        stillDrawn_ = false;
        update();
    }
    QWidget::changeEvent(event);
}

void PWMCanvas::DrawStill() {
    const qreal ratio = devicePixelRatioF();
    still_ = QPixmap(size() * ratio);
    still_.setDevicePixelRatio(ratio);
    QPainter p(&still_);
    p.fillRect(rect(), scene_.buttonFace ? palette().color(QPalette::Button) : QColor(Qt::white));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    for (size_t k = 0; k < scene_.stillLines; ++k) DrawLine(p, scene_.lines[k]);
    stillDrawn_ = true;
}

void PWMCanvas::paintEvent(QPaintEvent* event) {
    if (!stillDrawn_ || still_.deviceIndependentSize() != QSizeF(size())) DrawStill();
    const QRegion& dirty = event->region();
    QPainter p(this);
    // Only the areas to paint: the whole pixmap under a clip of many small areas costs far more.
    const qreal ratio = still_.devicePixelRatio();
    for (const QRect& r : dirty) p.drawPixmap(r, still_, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
    // What lies outside the area to paint would draw nothing: skip it.
    for (size_t k = scene_.stillLines; k < scene_.lines.size(); ++k)
        if (dirty.intersects(lineBounds_[k])) DrawLine(p, scene_.lines[k]);
    for (size_t k = 0; k < scene_.texts.size(); ++k) {
        if (!dirty.intersects(textBounds_[k])) continue;
        const pwm::SceneText& t = scene_.texts[k];
        p.setFont(FontOf(t));
        p.setPen(Colour(t.rgb));
        p.drawText(Baseline(t), t.text);
    }
}

void PWMCanvas::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) onMouseDown(PixelsToTwips(1) * event->position().x());
}

void PWMCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(PixelsToTwips(1) * event->position().x());
}

void PWMCanvas::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
