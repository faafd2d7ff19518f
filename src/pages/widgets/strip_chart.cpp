#include "pages/widgets/strip_chart.h"

#include "core/numbers.h"
#include "core/system_timer.h"
#include "core/twips.h"
#include "pages/widgets/gauge_math.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace {
const QColor kTraceColours[] = {QColor(200, 30, 30), QColor(30, 90, 200),  QColor(30, 150, 60),
                                QColor(200, 130, 0), QColor(130, 40, 170), QColor(0, 150, 160),
                                QColor(120, 80, 40), QColor(90, 90, 90)};
// The widest value label an axis column leaves room for, and the shape of a time label.
const QString kWidestValue = QStringLiteral("-88.88");
const QString kTimeShape = QStringLiteral("00 00 00");

bool SameRanges(const std::vector<ValueRange>& a, const std::vector<ValueRange>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ValueRange& x, const ValueRange& y) {
        return x.lo == y.lo && x.hi == y.hi && x.step == y.step;
    });
}

QColor TraceColour(std::size_t k) { return kTraceColours[k % 8]; }
}  // namespace

StripChart::StripChart(QWidget* parent) : QWidget(parent) {
    setMinimumSize(ScaledPixels(200), ScaledPixels(120));
    // Every pixel is the chart's own: nothing under it needs painting when it repaints.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize StripChart::sizeHint() const { return {ScaledPixels(630), ScaledPixels(480)}; }

void StripChart::SetAxes(const QStringList& captions) {
    axes_ = captions;
    // A trace keeps to the axes there are now, as AddTrace holds it to those of its time.
    for (Trace& t : traces_) t.axis = std::clamp(t.axis, 0, std::max(0, static_cast<int>(axes_.size()) - 1));
    Invalidate();
}

void StripChart::AddTrace(const QString& name, int axis) {
    traces_.push_back({name, std::clamp(axis, 0, std::max(0, static_cast<int>(axes_.size()) - 1)), TraceHistory()});
    Invalidate();
}

QString StripChart::TraceName(int trace) const {
    return trace >= 0 && trace < TraceCount() ? traces_[static_cast<size_t>(trace)].name : QString();
}

void StripChart::AppendSample(int trace, double value) {
    if (trace < 0 || trace >= TraceCount()) return;
    latest_ = clock_.Next(SystemTimer());
    anySample_ = true;
    traces_[static_cast<size_t>(trace)].history.Append(latest_, value);
    if (!isVisible()) {
        // Out of sight nothing is drawn; the chart is drawn whole when it shows again.
        if (drawn_) {
            drawn_ = false;
            still_ = QPixmap();
            layer_ = QPixmap();
        }
        return;
    }
    if (drawn_) Advance(trace);
    else update();
}

const TraceHistory* StripChart::History(int trace) const {
    return trace >= 0 && trace < TraceCount() ? &traces_[static_cast<size_t>(trace)].history : nullptr;
}

void StripChart::SetSpan(double seconds) {
    span_ = ZoomSpan(seconds, 0, 1);
    Invalidate();
}

void StripChart::Invalidate() {
    drawn_ = false;
    update();
}

ValueRange StripChart::AxisRange(int axis) const {
    const Geometry g = Measure();
    return axis >= 0 && axis < static_cast<int>(g.ranges.size()) ? g.ranges[static_cast<size_t>(axis)] : AutoRange({});
}

QFont StripChart::ChartFont() const {
    QFont f = font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * 5 / 6);
    else f.setPixelSize(std::max(1, f.pixelSize() * 5 / 6));
    return f;
}

TimeWindow StripChart::WindowOf(const Geometry& g) const { return ColumnWindow(g.right, g.secondsPerPixel, span_); }

std::vector<ValueRange> StripChart::RangesIn(TimeWindow w, std::vector<std::pair<double, double>>* extents) const {
    // A range depends only on the least and the greatest finite value in the window.
    const std::size_t axisCount = static_cast<std::size_t>(std::max<qsizetype>(1, axes_.size()));
    std::vector<std::pair<double, double>> ends(axisCount, {NAN, NAN});
    for (const Trace& t : traces_) {
        auto& [lo, hi] = ends[static_cast<size_t>(t.axis)];
        for (std::size_t i = t.history.Size(); i-- > 0;) {
            const StripSample& s = t.history.At(i);
            if (s.t < w.left) break;
            if (!std::isfinite(s.v)) continue;
            lo = std::isnan(lo) ? s.v : std::min(lo, s.v);
            hi = std::isnan(hi) ? s.v : std::max(hi, s.v);
        }
    }
    std::vector<ValueRange> ranges;
    for (const auto& [lo, hi] : ends) ranges.push_back(std::isnan(lo) ? AutoRange({}) : AutoRange({lo, hi}));
    if (extents) *extents = ends;
    return ranges;
}

StripChart::Geometry StripChart::Measure() const {
    Geometry g;
    g.size = size();
    g.ratio = devicePixelRatioF();
    g.font = ChartFont();
    const QFontMetricsF m(g.font);
    g.line = m.height();
    g.ascent = m.ascent();
    const double s = LayoutScale();
    g.tick = 3 * s;
    g.gap = 3 * s;
    g.pen = 1.5 * s;
    const double edge = 2, rightMargin = 14 * s;

    // Each value axis's column, from its line leftwards: ticks, labels, its title.
    const int axisCount = std::max<int>(1, static_cast<int>(axes_.size()));
    const double column = g.tick + g.gap + m.horizontalAdvance(kWidestValue) + g.gap + g.line + g.gap;
    const double plotLeft = edge + column * axisCount;

    // The legend above the plot and its axes wraps onto as many lines as it needs.
    const double legendLine = g.line + 2;
    double x = edge, y = edge;
    const double legendRight = std::max(edge + 10, width() - rightMargin);
    for (const Trace& t : traces_) {
        const double w = g.line + g.gap + m.horizontalAdvance(t.name) + 3 * g.gap;
        if (x > edge && x + w > legendRight) {
            x = edge;
            y += legendLine;
        }
        g.legend.emplace_back(x, y);
        x += w;
    }
    // The top tick labels stand half a line above the plot, clear of the legend.
    const double plotTop = y + legendLine + g.gap + (m.ascent() + m.descent()) / 2;

    g.arrowSize = std::round(g.line * 0.85);
    g.arrowTop = height() - edge - g.arrowSize;
    g.timeTop = g.arrowTop - 1 - g.line;
    const double plotBottom = g.timeTop - g.gap;

    const double r = g.ratio;
    const QRectF wanted(plotLeft, plotTop, std::max(10.0, width() - rightMargin - plotLeft), std::max(10.0, plotBottom - plotTop));
    g.plotDevice = QRect(static_cast<int>(std::lround(wanted.left() * r)), static_cast<int>(std::lround(wanted.top() * r)),
                         static_cast<int>(std::lround(wanted.width() * r)), static_cast<int>(std::lround(wanted.height() * r)));
    g.plot = QRectF(g.plotDevice.left() / r, g.plotDevice.top() / r, g.plotDevice.width() / r, g.plotDevice.height() / r);
    for (int a = 0; a < axisCount; ++a) {
        g.axisX.push_back(g.plot.left() - column * a);
        g.titleX.push_back(g.plot.left() - column * (a + 1) + g.gap);
    }

    g.margin = static_cast<int>(std::ceil(g.pen * r)) + 3;
    g.secondsPerPixel = span_ / g.plotDevice.width();
    g.right = anySample_ ? RightColumn(latest_, g.secondsPerPixel) : 0;
    g.ranges = RangesIn(WindowOf(g), nullptr);
    for (const ValueRange& range : g.ranges) g.valueSteps.push_back(ValueTickStep(range, g.plot.height(), g.line));
    g.timeStep = TimeTickStep(span_, g.plot.width(), m.horizontalAdvance(kTimeShape));
    return g;
}

std::vector<StripChart::Label> StripChart::ValueLabels(const Geometry& g) const {
    std::vector<Label> out;
    const QFontMetricsF m(g.font);
    const double h = m.ascent() + m.descent();
    for (std::size_t a = 0; a < g.ranges.size(); ++a) {
        const ValueRange r = g.ranges[a];
        const double right = g.axisX[a] - g.tick - g.gap;
        for (double v : AxisTicks(r.lo, r.hi, g.valueSteps[a])) {
            const double y = ValueToY(v, r, g.plot.top(), g.plot.height());
            const QString text = NumberText(v);
            const double w = m.horizontalAdvance(text);
            const QRectF box(right - w, y - h / 2, w, h);
            out.push_back({text, QPointF(box.left(), box.top() + m.ascent()), box});
        }
    }
    return out;
}

std::vector<StripChart::Label> StripChart::TimeLabels(const Geometry& g) const {
    std::vector<Label> out;
    const QFontMetricsF m(g.font);
    const TimeWindow w = WindowOf(g);
    const double firstColumn = g.right - g.plotDevice.width();
    for (double t : AxisTicks(w.left, w.right, g.timeStep)) {
        const double x = (g.plotDevice.left() + t / g.secondsPerPixel - firstColumn) / g.ratio;
        const QString text = TimeAxisLabel(t);
        const double width = m.horizontalAdvance(text);
        const QRectF box(x - width / 2, g.timeTop, width, m.ascent() + m.descent());
        // A label is shown whole or not at all: none reaches past the plot's left edge.
        if (box.left() < g.plot.left() || box.right() > g.size.width() - 2) continue;
        out.push_back({text, QPointF(box.left(), box.top() + m.ascent()), box});
    }
    return out;
}

std::vector<QLineF> StripChart::AxisLines(const Geometry& g) const {
    std::vector<QLineF> out;
    for (std::size_t a = 0; a < g.ranges.size(); ++a) {
        const double x = g.axisX[a];
        out.emplace_back(x, g.plot.top(), x, g.plot.bottom());
        const ValueRange r = g.ranges[a];
        for (double v : AxisTicks(r.lo, r.hi, g.valueSteps[a])) {
            const double y = ValueToY(v, r, g.plot.top(), g.plot.height());
            out.emplace_back(x - g.tick, y, x, y);
        }
    }
    return out;
}

QRectF StripChart::ArrowRect(const Geometry& g, bool right) const {
    const double x = right ? g.plot.right() - g.arrowSize : g.plot.left();
    return {x, g.arrowTop, g.arrowSize, g.arrowSize};
}

double StripChart::LayerX(const Geometry& g, double t) const {
    // Layer column 0 is this many columns left of the window's first.
    const double base = g.right - g.plotDevice.width() - g.margin;
    return t / g.secondsPerPixel - base;
}

double StripChart::LayerY(const Geometry& g, int axis, double v) const {
    return ValueToY(v, g.ranges[static_cast<size_t>(axis)], 0, g.plotDevice.height());
}

void StripChart::DrawStill() {
    const Geometry& g = g_;
    still_ = QPixmap(g.size * g.ratio);
    still_.setDevicePixelRatio(g.ratio);
    QPainter p(&still_);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(QPoint(0, 0), g.size), palette().color(QPalette::Base));
    p.setFont(g.font);
    const QColor text = palette().color(QPalette::Text);

    for (std::size_t k = 0; k < traces_.size(); ++k) {  // legend
        const QPointF at = g.legend[k];
        const double mid = at.y() + g.line / 2;
        p.setPen(QPen(TraceColour(k), 3 * LayoutScale()));
        p.drawLine(QPointF(at.x(), mid), QPointF(at.x() + g.line, mid));
        p.setPen(text);
        p.drawText(QPointF(at.x() + g.line + g.gap, at.y() + g.ascent), traces_[k].name);
    }

    p.setPen(text);  // value axes, side by side on the left
    for (const QLineF& l : AxisLines(g)) p.drawLine(l);
    for (const Label& l : ValueLabels(g)) p.drawText(l.baseline, l.text);
    const QFontMetricsF m(g.font);
    for (int a = 0; a < std::min<int>(static_cast<int>(axes_.size()), static_cast<int>(g.titleX.size())); ++a) {
        const QString& title = axes_[a];
        p.save();
        // Read from the bottom up, its top towards the axis's own labels.
        p.translate(g.titleX[static_cast<size_t>(a)] + g.ascent, g.plot.center().y() + m.horizontalAdvance(title) / 2);
        p.rotate(-90);
        p.drawText(QPointF(0, 0), title);
        p.restore();
    }

    p.setPen(Qt::NoPen);  // zoom arrows at both ends of the time axis
    p.setBrush(palette().color(QPalette::Highlight));
    for (bool right : {false, true}) {
        const QRectF a = ArrowRect(g, right);
        QPainterPath arrow;
        const double tip = right ? a.right() : a.left(), back = right ? a.left() : a.right();
        arrow.moveTo(tip, a.center().y());
        arrow.lineTo(back, a.top());
        arrow.lineTo(back, a.bottom());
        arrow.closeSubpath();
        p.drawPath(arrow);
    }
}

void StripChart::DrawGrid(QPainter& p, double fromColumn, double toColumn) const {
    const Geometry& g = g_;
    const int h = g.plotDevice.height();
    p.save();
    p.setClipRect(QRectF(fromColumn, 0, toColumn - fromColumn, h));
    p.setPen(QPen(palette().color(QPalette::Midlight), g.ratio, Qt::DotLine));
    const double base = g.right - g.plotDevice.width() - g.margin;
    // Lines just outside the strip too: their edges reach into it.
    for (double t : AxisTicks((base + fromColumn - 2) * g.secondsPerPixel, (base + toColumn + 2) * g.secondsPerPixel, g.timeStep)) {
        const double x = LayerX(g, t);
        p.drawLine(QPointF(x, 0), QPointF(x, h));
    }
    p.restore();
}

void StripChart::DrawSegment(QPainter& p, int trace, std::size_t i) const {
    const Trace& t = traces_[static_cast<size_t>(trace)];
    const StripSample& a = t.history.At(i - 1);
    const StripSample& b = t.history.At(i);
    if (!std::isfinite(a.v) || !std::isfinite(b.v)) return;
    p.setPen(QPen(TraceColour(static_cast<size_t>(trace)), g_.pen * g_.ratio, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(LayerX(g_, a.t), LayerY(g_, t.axis, a.v)), QPointF(LayerX(g_, b.t), LayerY(g_, t.axis, b.v)));
}

void StripChart::DrawLayer() {
    const Geometry& g = g_;
    layer_ = QPixmap(g.plotDevice.width() + 2 * g.margin, g.plotDevice.height());
    layer_.fill(palette().color(QPalette::Base));
    QPainter p(&layer_);
    p.setRenderHint(QPainter::Antialiasing);
    DrawGrid(p, 0, layer_.width());
    // The pieces in the order the samples came, as a chart in view drew them one by one.
    const double layerLeft = (g.right - g.plotDevice.width() - g.margin) * g.secondsPerPixel;
    std::vector<std::tuple<double, int, std::size_t>> pieces;
    for (std::size_t k = 0; k < traces_.size(); ++k) {
        const TraceHistory& h = traces_[k].history;
        std::size_t first = h.Size();
        while (first > 1 && h.At(first - 1).t >= layerLeft) --first;
        for (std::size_t i = std::max<std::size_t>(1, first); i < h.Size(); ++i)
            pieces.emplace_back(h.At(i).t, static_cast<int>(k), i);
    }
    std::sort(pieces.begin(), pieces.end());
    for (const auto& [t, k, i] : pieces) DrawSegment(p, k, i);
}

void StripChart::Advance(int trace) {
    Geometry& g = g_;
    const double right = RightColumn(latest_, g.secondsPerPixel);
    if (right < g.right) return Invalidate();  // the clock went back
    const bool moved = right > g.right;
    const Trace& t = traces_[static_cast<size_t>(trace)];
    const double v = t.history.Last().v;
    const auto& known = extents_[static_cast<size_t>(t.axis)];
    // The ranges change only with the window or with a value beyond the extremes drawn.
    if (moved || (std::isfinite(v) && !(v >= known.first && v <= known.second))) {
        Geometry next = g;
        next.right = right;
        std::vector<std::pair<double, double>> extents;
        if (!SameRanges(RangesIn(WindowOf(next), &extents), g.ranges)) return Invalidate();
        extents_ = extents;
    }
    if (moved) {
        const double step = right - g.right;
        if (step >= layer_.width() - g.margin) return Invalidate();
        const int d = static_cast<int>(step);
        layer_.scroll(-d, 0, layer_.rect());
        g.right = right;
        QPainter p(&layer_);
        p.setRenderHint(QPainter::Antialiasing);
        const int w = layer_.width();
        p.fillRect(QRect(w - d, 0, d, layer_.height()), palette().color(QPalette::Base));
        DrawGrid(p, w - d, w);
        if (t.history.Size() > 1) DrawSegment(p, trace, t.history.Size() - 1);
        // The plot moved, and the time labels under it.
        update(g.plot.toAlignedRect().adjusted(-1, -1, 1, 1));
        update(QRectF(g.plot.left(), g.timeTop, width() - g.plot.left(), g.line + 1).toAlignedRect());
        return;
    }
    if (t.history.Size() < 2) return;
    QPainter p(&layer_);
    p.setRenderHint(QPainter::Antialiasing);
    DrawSegment(p, trace, t.history.Size() - 1);
    const StripSample& a = t.history.At(t.history.Size() - 2);
    if (!std::isfinite(a.v) || !std::isfinite(v)) return;
    // The piece's box on the widget, with its pen's width around it.
    const double x0 = g.plotDevice.left() - g.margin;
    const QRectF piece = QRectF(QPointF(x0 + LayerX(g, a.t), g.plotDevice.top() + LayerY(g, t.axis, a.v)),
                                QPointF(x0 + LayerX(g, t.history.Last().t), g.plotDevice.top() + LayerY(g, t.axis, v)))
                             .normalized();
    const double reach = g.pen * g.ratio + 2;
    const QRectF device = piece.adjusted(-reach, -reach, reach, reach);
    const QRectF logical(device.topLeft() / g.ratio, device.size() / g.ratio);
    update((logical & g.plot).toAlignedRect());
}

void StripChart::paintEvent(QPaintEvent* event) {
    if (!drawn_ || g_.size != size() || g_.ratio != devicePixelRatioF() || layer_.isNull()) {
        g_ = Measure();
        RangesIn(WindowOf(g_), &extents_);
        DrawStill();
        DrawLayer();
        drawn_ = true;
    }
    const Geometry& g = g_;
    QPainter p(this);
    const QRectF source(g.margin, 0, g.plotDevice.width(), g.plotDevice.height());
    // The frame's edge reaches a pixel beyond the plot.
    const QRect plotArea = g.plot.toAlignedRect().adjusted(-1, -1, 1, 1);
    const QRectF timeBand(0, g.timeTop, width(), g.line + 1);
    std::vector<Label> times;
    if (event->region().intersects(timeBand.toAlignedRect())) times = TimeLabels(g);
    const QColor text = palette().color(QPalette::Text);
    // The pixels the trace layer covers whole: the still picture under them is not drawn.
    const QRect inner(QPoint(static_cast<int>(std::ceil(g.plot.left())), static_cast<int>(std::ceil(g.plot.top()))),
                      QPoint(static_cast<int>(std::floor(g.plot.right())) - 1, static_cast<int>(std::floor(g.plot.bottom())) - 1));
    for (const QRect& r : event->region()) {
        for (const QRect& q : QRegion(r).subtracted(inner)) {
            p.setClipRect(q);
            p.drawPixmap(QPointF(0, 0), still_);
        }
        p.setClipRect(r);
        if (!r.intersects(plotArea) && !r.intersects(timeBand.toAlignedRect())) continue;
        p.drawPixmap(g.plot, layer_, source);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(text);
        p.setBrush(Qt::NoBrush);
        p.drawRect(g.plot);
        p.setFont(g.font);
        for (const Label& l : times)
            if (r.intersects(l.box.toAlignedRect())) p.drawText(l.baseline, l.text);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
}

void StripChart::changeEvent(QEvent* event) {
    // The kept pictures hold the colours of the palette group they were drawn in.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange || event->type() == QEvent::EnabledChange)
        Invalidate();
    QWidget::changeEvent(event);
}

QList<PaintedCaption> StripChart::Captions() const {
    const Geometry g = Measure();
    QList<PaintedCaption> out;
    const QFontMetricsF m(g.font);
    const double h = m.ascent() + m.descent();
    for (std::size_t k = 0; k < traces_.size(); ++k)
        out.push_back({traces_[k].name, QRectF(g.legend[k].x() + g.line + g.gap, g.legend[k].y(), m.horizontalAdvance(traces_[k].name), h)});
    for (const Label& l : ValueLabels(g)) out.push_back({l.text, l.box});
    for (int a = 0; a < std::min<int>(static_cast<int>(axes_.size()), static_cast<int>(g.titleX.size())); ++a) {
        const double w = m.horizontalAdvance(axes_[a]);
        out.push_back({axes_[a], QRectF(g.titleX[static_cast<size_t>(a)], g.plot.center().y() - w / 2, h, w)});
    }
    for (const Label& l : TimeLabels(g)) out.push_back({l.text, l.box});
    return out;
}

QList<QLineF> StripChart::Lines() const {
    const Geometry g = Measure();
    QList<QLineF> out;
    for (const QLineF& l : AxisLines(g)) out.push_back(l);
    const QRectF p = g.plot;
    out << QLineF(p.topLeft(), p.topRight()) << QLineF(p.topRight(), p.bottomRight())
        << QLineF(p.bottomRight(), p.bottomLeft()) << QLineF(p.bottomLeft(), p.topLeft());
    for (const QPointF& at : g.legend) out.push_back(QLineF(at.x(), at.y() + g.line / 2, at.x() + g.line, at.y() + g.line / 2));
    for (bool right : {false, true}) {
        const QRectF a = ArrowRect(g, right);
        out << QLineF(a.topLeft(), a.topRight()) << QLineF(a.topRight(), a.bottomRight())
            << QLineF(a.bottomRight(), a.bottomLeft()) << QLineF(a.bottomLeft(), a.topLeft());
    }
    return out;
}

void StripChart::mousePressEvent(QMouseEvent* e) {
    // A resize since the last paint leaves the kept geometry behind.
    const Geometry g = drawn_ && g_.size == size() ? g_ : Measure();
    const double slack = ScaledPixels(4);
    auto near = [&](bool right) { return ArrowRect(g, right).adjusted(-slack, -slack, slack, slack).contains(e->position()); };
    dragArrow_ = near(false) ? -1 : near(true) ? 1 : 0;
    dragStartX_ = e->position().x();
    dragStartSpan_ = span_;
    if (!dragArrow_) QWidget::mousePressEvent(e);
}

void StripChart::mouseMoveEvent(QMouseEvent* e) {
    if (!dragArrow_) return QWidget::mouseMoveEvent(e);
    // Moving the left arrow right, or the right arrow left, goes towards the centre.
    const double towardsCentre = (e->position().x() - dragStartX_) * -dragArrow_;
    const double plotWidth = (drawn_ ? g_ : Measure()).plot.width();
    span_ = ZoomSpan(dragStartSpan_, towardsCentre, plotWidth);
    Invalidate();
}

void StripChart::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragArrow_) return QWidget::mouseReleaseEvent(e);
    mouseMoveEvent(e);
    dragArrow_ = 0;
}
