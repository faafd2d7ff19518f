#include "pages/widgets/strip_chart.h"

#include "core/numbers.h"
#include "core/system_timer.h"
#include "pages/widgets/gauge_math.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kAxisColumn = 46;
constexpr double kLegendLine = 16;
constexpr double kTimeAxisHeight = 34;
const QColor kTraceColours[] = {QColor(200, 30, 30), QColor(30, 90, 200),  QColor(30, 150, 60),
                                QColor(200, 130, 0), QColor(130, 40, 170), QColor(0, 150, 160),
                                QColor(120, 80, 40), QColor(90, 90, 90)};
}  // namespace

StripChart::StripChart(QWidget* parent) : QWidget(parent) { setMinimumSize(200, 120); }

void StripChart::SetAxes(const QStringList& captions) {
    axes_ = captions;
    update();
}

void StripChart::AddTrace(const QString& name, int axis) {
    traces_.push_back({name, std::clamp(axis, 0, std::max(0, static_cast<int>(axes_.size()) - 1)), TraceHistory()});
    update();
}

QString StripChart::TraceName(int trace) const {
    return trace >= 0 && trace < TraceCount() ? traces_[static_cast<size_t>(trace)].name : QString();
}

void StripChart::AppendSample(int trace, double value) {
    if (trace < 0 || trace >= TraceCount()) return;
    latest_ = clock_.Next(SystemTimer());
    anySample_ = true;
    traces_[static_cast<size_t>(trace)].history.Append(latest_, value);
    if (isVisible()) update();
}

const TraceHistory* StripChart::History(int trace) const {
    return trace >= 0 && trace < TraceCount() ? &traces_[static_cast<size_t>(trace)].history : nullptr;
}

void StripChart::SetSpan(double seconds) {
    span_ = ZoomSpan(seconds, 0, 1);
    update();
}

TimeWindow StripChart::Window() const { return ScrollingWindow(anySample_ ? latest_ : 0, span_); }

ValueRange StripChart::AxisRange(int axis) const {
    const TimeWindow window = Window();
    std::vector<double> values;
    for (const Trace& t : traces_) {
        if (t.axis != axis) continue;
        for (std::size_t i = t.history.Size(); i-- > 0;) {
            const StripSample& s = t.history.At(i);
            if (s.t < window.left) break;
            values.push_back(s.v);
        }
    }
    return AutoRange(values);
}

QFont StripChart::SmallFont() const {
    QFont small = font();
    small.setPixelSize(10);
    return small;
}

std::vector<QPointF> StripChart::LegendPlaces(double* height) const {
    const QFontMetricsF m(SmallFont());
    const double left = kAxisColumn * std::max<qsizetype>(1, axes_.size());
    const double right = std::max(left + 10, width() - 14.0);
    std::vector<QPointF> places;
    double x = left, y = 2;
    for (const Trace& t : traces_) {
        const double w = m.horizontalAdvance(t.name) + 26;
        if (x > left && x + w > right) {
            x = left;
            y += kLegendLine;
        }
        places.emplace_back(x, y);
        x += w;
    }
    if (height) *height = y + kLegendLine;
    return places;
}

QRectF StripChart::PlotRect() const {
    double legend = 0;
    LegendPlaces(&legend);
    const double left = kAxisColumn * std::max<qsizetype>(1, axes_.size());
    return QRectF(left, legend + 4, std::max(10.0, width() - left - 14),
                  std::max(10.0, height() - legend - 4 - kTimeAxisHeight));
}

QRectF StripChart::ArrowRect(bool right) const {
    const QRectF plot = PlotRect();
    const double x = right ? plot.right() - 12 : plot.left();
    return QRectF(x, plot.bottom() + kTimeAxisHeight - 14, 12, 12);
}

void StripChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const QRectF plot = PlotRect();
    const TimeWindow window = Window();
    p.setFont(SmallFont());

    const int axisCount = std::max<int>(1, static_cast<int>(axes_.size()));
    std::vector<ValueRange> ranges;
    for (int a = 0; a < axisCount; ++a) ranges.push_back(AxisRange(a));

    p.save();  // grid and time axis
    p.setPen(QPen(palette().color(QPalette::Midlight), 1, Qt::DotLine));
    const double timeStep = NiceStep(span_, 6);
    for (double t : AxisTicks(window.left, window.right, timeStep)) {
        const double x = TimeToX(t, window, plot.left(), plot.width());
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.save();
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(x - 30, plot.bottom() + 2, 60, 14), Qt::AlignCenter, TimeAxisLabel(t));
        p.restore();
    }
    p.setPen(palette().color(QPalette::Text));
    p.drawRect(plot);
    p.restore();

    for (int a = 0; a < axisCount; ++a) {  // value axes, side by side on the left
        p.save();
        const ValueRange r = ranges[static_cast<size_t>(a)];
        const double x = plot.left() - kAxisColumn * a;
        p.setPen(palette().color(QPalette::Text));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const double step = r.step > 0 ? r.step : NiceStep(r.hi - r.lo, 5);
        for (double v : AxisTicks(r.lo, r.hi, step)) {
            const double y = ValueToY(v, r, plot.top(), plot.height());
            p.drawLine(QPointF(x - 3, y), QPointF(x, y));
            p.drawText(QRectF(x - kAxisColumn + 10, y - 7, kAxisColumn - 14, 14), Qt::AlignRight | Qt::AlignVCenter,
                       NumberText(v));
        }
        if (a < axes_.size()) {
            p.translate(x - kAxisColumn + 6, plot.center().y());
            p.rotate(-90);
            p.drawText(QRectF(-plot.height() / 2, -6, plot.height(), 12), Qt::AlignCenter, axes_[a]);
        }
        p.restore();
    }

    p.save();  // traces, clipped to the plot
    p.setClipRect(plot);
    for (std::size_t k = 0; k < traces_.size(); ++k) {
        const Trace& t = traces_[k];
        const ValueRange r = ranges[static_cast<size_t>(t.axis)];
        QPainterPath path;
        bool started = false;
        std::size_t first = t.history.Size();
        while (first > 0 && t.history.At(first - 1).t >= window.left) --first;
        if (first > 0) --first;  // one sample before the window, so the line enters from the edge
        for (std::size_t i = first; i < t.history.Size(); ++i) {
            const StripSample& s = t.history.At(i);
            if (!std::isfinite(s.v)) {
                started = false;
                continue;
            }
            const QPointF at(TimeToX(s.t, window, plot.left(), plot.width()),
                             ValueToY(s.v, r, plot.top(), plot.height()));
            if (started) path.lineTo(at);
            else path.moveTo(at);
            started = true;
        }
        p.setPen(QPen(kTraceColours[k % 8], 1.5));
        p.drawPath(path);
    }
    p.restore();

    p.save();  // legend
    const std::vector<QPointF> places = LegendPlaces(nullptr);
    for (std::size_t k = 0; k < traces_.size(); ++k) {
        const QPointF at = places[k];
        p.setPen(QPen(kTraceColours[k % 8], 3));
        p.drawLine(at + QPointF(0, kLegendLine / 2), at + QPointF(12, kLegendLine / 2));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(at + QPointF(16, kLegendLine / 2 + 4), traces_[k].name);
    }
    p.restore();

    p.save();  // zoom arrows at both ends of the time axis
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::Highlight));
    for (bool right : {false, true}) {
        const QRectF a = ArrowRect(right);
        QPainterPath arrow;
        if (right) {
            arrow.moveTo(a.right(), a.center().y());
            arrow.lineTo(a.left(), a.top());
            arrow.lineTo(a.left(), a.bottom());
        } else {
            arrow.moveTo(a.left(), a.center().y());
            arrow.lineTo(a.right(), a.top());
            arrow.lineTo(a.right(), a.bottom());
        }
        arrow.closeSubpath();
        p.drawPath(arrow);
    }
    p.restore();
}

void StripChart::mousePressEvent(QMouseEvent* e) {
    dragArrow_ = ArrowRect(false).adjusted(-4, -4, 4, 4).contains(e->position())  ? -1
                 : ArrowRect(true).adjusted(-4, -4, 4, 4).contains(e->position()) ? 1
                                                                                   : 0;
    dragStartX_ = e->position().x();
    dragStartSpan_ = span_;
    if (!dragArrow_) QWidget::mousePressEvent(e);
}

void StripChart::mouseMoveEvent(QMouseEvent* e) {
    if (!dragArrow_) return QWidget::mouseMoveEvent(e);
    // Moving the left arrow right, or the right arrow left, goes towards the centre.
    const double towardsCentre = (e->position().x() - dragStartX_) * -dragArrow_;
    span_ = ZoomSpan(dragStartSpan_, towardsCentre, PlotRect().width());
    update();
}

void StripChart::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragArrow_) return QWidget::mouseReleaseEvent(e);
    mouseMoveEvent(e);
    dragArrow_ = 0;
}
