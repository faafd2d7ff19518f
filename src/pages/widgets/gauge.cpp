#include "pages/widgets/gauge.h"

#include "core/numbers.h"
#include "core/twips.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStaticText>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kHalf = kGaugeLogicalSize / 2;
// Logical radii: the rim's inner edge, the ticks, where the numbers end.
constexpr double kRimInner = kHalf - 3.5;
constexpr double kTickOuter = kHalf - 6;
constexpr double kMajorInner = kHalf - 20;
constexpr double kMinorInner = kHalf - 13;
constexpr double kNumberReach = kMajorInner - 4;
constexpr double kNumberPixels = 16;
const QColor kNeedleColour(200, 30, 30);
const QColor kSliderColour(30, 90, 200);

QPointF Polar(double angle, double r) {
    const double rad = angle * M_PI / 180;
    return {std::sin(rad) * r, -std::cos(rad) * r};
}

// The needle and its hub, pointing straight up, in logical units.
const QPointF kNeedle[] = {{-4, 10}, {0, -(kHalf - 18)}, {4, 10}};
constexpr double kHubRadius = 7;
// A slider's mark on the rim, pointing straight up.
const QPointF kSliderMark[] = {{0, -(kHalf - 22)}, {-8, -(kHalf - 4)}, {8, -(kHalf - 4)}};

QFont Scaled(QFont f, double k) {
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * k);
    else f.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pixelSize() * k))));
    return f;
}

// The font shrunk so that the text fits the width, as a reading far off its scale can need.
QFont Fitted(QFont f, const QString& text, double width) {
    const double w = QFontMetricsF(f).horizontalAdvance(text);
    return w > width && width > 0 ? Scaled(f, width / w) : f;
}

// A text centred in a line: its box, from the top of the line to the bottom of its descent.
QRectF CentredBox(const QRectF& line, const QFont& f, const QString& text) {
    const QFontMetricsF m(f);
    const double w = m.horizontalAdvance(text);
    return {line.center().x() - w / 2, line.top(), w, m.ascent() + m.descent()};
}
}  // namespace

Gauge::Gauge(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setMinimumSize(ScaledPixels(40), ScaledPixels(100));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    // The gauge paints every pixel itself, over a kept copy of what lies under it, so that a
    // moving needle repaints none of the frames and tabs around it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Gauge::sizeHint() const { return {ScaledPixels(60), heightForWidth(ScaledPixels(60))}; }

int Gauge::heightForWidth(int width) const { return static_cast<int>(std::ceil(width + TextBlockHeight())); }

QFont Gauge::ValueFont() const { return Scaled(font(), 1.2); }

QFont Gauge::LimitFont() const { return Scaled(font(), 0.85); }

QFont Gauge::NumberFont() const {
    QFont f = font();
    f.setPixelSize(static_cast<int>(kNumberPixels));
    return f;
}

double Gauge::TextBlockHeight() const {
    return ScaledPixels(2) + QFontMetricsF(ValueFont()).height() + 2 * QFontMetricsF(LimitFont()).height();
}

Gauge::Places Gauge::Layout() const {
    Places at;
    const double ratio = devicePixelRatioF();
    const double text = TextBlockHeight();
    // The dial on whole device pixels, so that its kept face lands on them unchanged.
    const double side = std::max(1.0, std::floor(std::min<double>(width(), height() - text) * ratio));
    const double left = std::floor((width() * ratio - side) / 2);
    at.dial = QRectF(left / ratio, 0, side / ratio, side / ratio);
    double y = at.dial.bottom() + ScaledPixels(2);
    const double valueLine = QFontMetricsF(ValueFont()).height();
    const double limitLine = QFontMetricsF(LimitFont()).height();
    at.value = QRectF(0, y, width(), valueLine);
    y += valueLine;
    at.limits[0] = QRectF(0, y, width(), limitLine);
    at.limits[1] = QRectF(0, y + limitLine, width(), limitLine);
    return at;
}

const Gauge::Places& Gauge::At() const {
    // A hidden widget is resized without a resize event: follow the size itself.
    if (!placesValid_ || placesSize_ != size() || placesRatio_ != devicePixelRatioF()) {
        places_ = Layout();
        placesSize_ = size();
        placesRatio_ = devicePixelRatioF();
        placesValid_ = true;
    }
    return places_;
}

void Gauge::Relayout() {
    placesValid_ = false;
    for (ShownText& t : texts_) t.valid = false;
    faceDrawn_ = false;
}

QString Gauge::LimitText(int line) const {
    const double low = std::min(slider2_, slider3_), high = std::max(slider2_, slider3_);
    return line == 0 ? QStringLiteral("Low ") + NumberText(low) : QStringLiteral("High ") + NumberText(high);
}

QTransform Gauge::DialTransform() const {
    const QRectF dial = At().dial;
    const double k = dial.width() / kGaugeLogicalSize;
    return QTransform::fromTranslate(dial.center().x(), dial.center().y()).scale(k, k);
}

QPointF Gauge::ToLogical(QPointF p) const { return DialTransform().inverted().map(p); }

QRect Gauge::NeedleArea(double angle) const {
    const QTransform t = QTransform().rotate(angle) * DialTransform();
    QPolygonF shape;
    for (const QPointF& p : kNeedle) shape << p;
    const QRectF hub(-kHubRadius, -kHubRadius, 2 * kHubRadius, 2 * kHubRadius);
    return (t.map(shape).boundingRect() | t.mapRect(hub)).adjusted(-2, -2, 2, 2).toAlignedRect();
}

QRect Gauge::SliderArea(double value) const {
    const QTransform t = QTransform().rotate(ValueToAngle(value, scale_)) * DialTransform();
    QPolygonF shape;
    for (const QPointF& p : kSliderMark) shape << p;
    return t.map(shape).boundingRect().adjusted(-2, -2, 2, 2).toAlignedRect();
}

void Gauge::SetScale(GaugeScale scale) {
    if (scale.min == scale_.min && scale.max == scale_.max) return;
    scale_ = scale;
    faceDrawn_ = false;
    update();
}

void Gauge::SetNeedle(float value) {
    const double was = ValueToAngle(needle_, scale_);
    needle_ = value;
    const double now = ValueToAngle(needle_, scale_);
    // A reading that moves the needle by nothing (off the scale, say) shows nothing new.
    if (now == was || !isVisible()) return;
    update(NeedleArea(was) | NeedleArea(now));
}

void Gauge::SetCaption(const QString& text) {
    if (text == caption_) return;
    caption_ = text;
    texts_[0].valid = false;
    update(At().value.toAlignedRect());
}

void Gauge::SetSliderValue(int slider, double value) {
    double* at = slider == 2 ? &slider2_ : slider == 3 ? &slider3_ : nullptr;
    if (!at || *at == value) return;
    const QRect was = SliderArea(*at);
    *at = value;
    faceDrawn_ = false;
    texts_[1].valid = texts_[2].valid = false;
    update(was);
    update(SliderArea(value));
    update(At().limits[0].toAlignedRect() | At().limits[1].toAlignedRect());
}

double Gauge::SliderValue(int slider) const {
    if (slider == 2) return slider2_;
    if (slider == 3) return slider3_;
    return 0;
}

void Gauge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        Relayout();
        backdropDrawn_ = false;
        updateGeometry();
        update();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
               event->type() == QEvent::ParentChange || event->type() == QEvent::EnabledChange) {
        faceDrawn_ = false;
        backdropDrawn_ = false;
        update();
    }
    QWidget::changeEvent(event);
}

Gauge::BackdropKey Gauge::BackdropNow() const {
    const QWidget* top = window();
    return {size(), devicePixelRatioF(), mapTo(top, QPoint(0, 0)), top->size(),
            parentWidget() ? parentWidget()->size() : QSize()};
}

void Gauge::DrawBackdrop() {
    const qreal ratio = devicePixelRatioF();
    backdrop_ = QPixmap(size() * ratio);
    backdrop_.setDevicePixelRatio(ratio);
    backdrop_.fill(palette().color(QPalette::Window));
    // What the widgets under the gauge paint there, from the window down to its parent, each
    // without its children, as the window itself would compose a see-through gauge.
    QList<QWidget*> under;
    for (QWidget* w = isWindow() ? nullptr : parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        under.prepend(w);
    for (QWidget* w : under) {
        const QRegion here(QRect(mapTo(w, QPoint(0, 0)), size()));
        w->render(&backdrop_, QPoint(), here,
                  w->isWindow() || w->autoFillBackground() ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
    }
    backdropKey_ = BackdropNow();
    backdropDrawn_ = true;
}

void Gauge::DrawFace() {
    const qreal ratio = devicePixelRatioF();
    const QRectF dial = At().dial;
    const int side = static_cast<int>(std::lround(dial.width() * ratio));
    face_ = QPixmap(side, side);
    face_.setDevicePixelRatio(ratio);
    face_.fill(Qt::transparent);
    QPainter p(&face_);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = dial.width() / kGaugeLogicalSize;
    p.translate(dial.width() / 2, dial.width() / 2);
    p.scale(k, k);

    p.setPen(QPen(palette().color(QPalette::Mid), 3));
    p.setBrush(palette().color(QPalette::Base));
    p.drawEllipse(QPointF(0, 0), kHalf - 2, kHalf - 2);

    const QFont numbers = NumberFont();
    const QFontMetricsF m(numbers);
    p.setFont(numbers);
    p.setPen(palette().color(QPalette::Text));
    for (const ScaleTick& t : ScaleTicks(scale_)) {
        p.drawLine(Polar(t.angle, kTickOuter), Polar(t.angle, t.major ? kMajorInner : kMinorInner));
        if (!t.major) continue;
        const QString text = NumberText(t.value);
        const double w = m.horizontalAdvance(text), h = m.ascent() + m.descent();
        const DialPoint c = NumberCentre(t.angle, kNumberReach, w, h);
        p.drawText(QPointF(c.x - w / 2, c.y - h / 2 + m.ascent()), text);
    }

    p.setPen(Qt::NoPen);
    p.setBrush(kSliderColour);
    for (double value : {slider2_, slider3_}) {
        p.save();
        p.rotate(ValueToAngle(value, scale_));
        p.drawPolygon(kSliderMark, 3);
        p.restore();
    }
    faceDrawn_ = true;
}

void Gauge::paintEvent(QPaintEvent* event) {
    const Places& at = At();
    if (!faceDrawn_ || face_.devicePixelRatio() != placesRatio_ || face_.deviceIndependentSize() != at.dial.size())
        DrawFace();
    if (!backdropDrawn_ || !(backdropKey_ == BackdropNow())) DrawBackdrop();
    const QRect dirty = event->rect();
    QPainter p(this);
    p.drawPixmap(QPointF(0, 0), backdrop_);
    p.setRenderHint(QPainter::Antialiasing);
    if (dirty.intersects(at.dial.toAlignedRect())) {
        p.drawPixmap(at.dial.topLeft(), face_);
        p.save();
        p.setTransform(QTransform().rotate(ValueToAngle(needle_, scale_)) * DialTransform(), true);
        p.setPen(Qt::NoPen);
        p.setBrush(kNeedleColour);
        p.drawPolygon(kNeedle, 3);
        p.setBrush(palette().color(QPalette::Text));
        p.drawEllipse(QPointF(0, 0), kHubRadius, kHubRadius);
        p.restore();
    }
    for (int k = 0; k < 3; ++k) {
        const ShownText& t = TextOf(k);
        if (t.text.isEmpty() || !dirty.intersects(t.area.toAlignedRect())) continue;
        p.setFont(t.font);
        p.setPen(k == 0 ? palette().color(QPalette::WindowText) : kSliderColour);
        p.drawStaticText(t.box.topLeft(), t.glyphs);
    }
}

const Gauge::ShownText& Gauge::TextOf(int k) const {
    ShownText& t = texts_[static_cast<size_t>(k)];
    const QRectF& area = k == 0 ? At().value : At().limits[k - 1];
    if (t.valid && t.area == area) return t;
    t.text = k == 0 ? caption_ : LimitText(k - 1);
    t.area = area;
    t.font = Fitted(k == 0 ? ValueFont() : LimitFont(), t.text, area.width());
    t.box = CentredBox(area, t.font, t.text);
    t.glyphs = QStaticText(t.text);
    t.glyphs.setTextFormat(Qt::PlainText);
    t.glyphs.prepare(QTransform(), t.font);
    t.valid = true;
    return t;
}

QList<PaintedCaption> Gauge::Captions() const {
    QList<PaintedCaption> out;
    const QTransform t = DialTransform();
    const QFontMetricsF m(NumberFont());
    for (const ScaleTick& tick : ScaleTicks(scale_)) {
        if (!tick.major) continue;
        const QString text = NumberText(tick.value);
        const double w = m.horizontalAdvance(text), h = m.ascent() + m.descent();
        const DialPoint c = NumberCentre(tick.angle, kNumberReach, w, h);
        out.push_back({text, t.mapRect(QRectF(c.x - w / 2, c.y - h / 2, w, h))});
    }
    for (int k = 0; k < 3; ++k)
        if (!TextOf(k).text.isEmpty()) out.push_back({TextOf(k).text, TextOf(k).box});
    return out;
}

QList<QLineF> Gauge::Lines() const {
    QList<QLineF> out;
    const QTransform t = DialTransform();
    for (const ScaleTick& tick : ScaleTicks(scale_))
        out.push_back(t.map(QLineF(Polar(tick.angle, kTickOuter), Polar(tick.angle, tick.major ? kMajorInner : kMinorInner))));
    // The rim, as chords along its inner edge.
    constexpr int kChords = 72;
    for (int i = 0; i < kChords; ++i)
        out.push_back(t.map(QLineF(Polar(360.0 * i / kChords, kRimInner), Polar(360.0 * (i + 1) / kChords, kRimInner))));
    return out;
}

void Gauge::mousePressEvent(QMouseEvent* e) {
    const QPointF at = ToLogical(e->position());
    grabbed_ = SliderAt(at.x(), at.y(), ValueToAngle(slider2_, scale_), ValueToAngle(slider3_, scale_));
    if (!grabbed_) QWidget::mousePressEvent(e);
}

void Gauge::mouseMoveEvent(QMouseEvent* e) {
    if (!grabbed_) return QWidget::mouseMoveEvent(e);
    const QPointF at = ToLogical(e->position());
    SetSliderValue(grabbed_, ValueAtOffset(at.x(), at.y(), scale_));
    emit SliderChange(index_);
}

void Gauge::mouseReleaseEvent(QMouseEvent* e) {
    if (!grabbed_) return QWidget::mouseReleaseEvent(e);
    mouseMoveEvent(e);
    grabbed_ = 0;
}
