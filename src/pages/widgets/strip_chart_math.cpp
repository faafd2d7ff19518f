#include "pages/widgets/strip_chart_math.h"

#include "pages/widgets/gauge_math.h"

#include <algorithm>
#include <cmath>

void TraceHistory::Append(double t, double v) {
    samples_.push_back({t, v});
    while (samples_.size() > capacity_) samples_.pop_front();
}

double RunningClock::Next(double s) {
    if (!started_) {
        started_ = true;
    } else if (s + offset_ < last_ - 43200) {
        offset_ += 86400;  // the timer passed midnight
    }
    last_ = s + offset_;
    return last_;
}

TimeWindow ScrollingWindow(double latest, double span) {
    if (!(span > 0) || !std::isfinite(span)) span = kMinSpan;
    return {latest - span, latest};
}

double TimeToX(double t, TimeWindow w, double x0, double width) {
    const double span = w.right - w.left;
    if (!(span > 0)) return x0;
    return x0 + (t - w.left) / span * width;
}

ValueRange AutoRange(const std::vector<double>& values, int maxIntervals) {
    bool any = false;
    double lo = 0, hi = 0;
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        if (!any) lo = hi = v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        any = true;
    }
    if (!any) return {0, 1, 0.25};
    const double dataLo = lo, dataHi = hi;
    if (hi - lo < 1e-12 * std::max(1.0, std::fabs(hi))) {
        const double half = std::max(0.5, 0.01 * std::max(std::fabs(lo), std::fabs(hi)));
        lo -= half;
        hi += half;
    }
    if (!std::isfinite(hi - lo)) return {lo, hi};
    const double step = NiceStep(hi - lo, maxIntervals);
    lo = std::floor(lo / step) * step;
    hi = std::ceil(hi / step) * step;
    // Just under the margin, so that rounding noise does not decide an exact fit.
    const double room = kRangeMargin * (hi - lo) * (1 - 1e-9);
    if (dataLo - lo < room) lo -= step;
    if (hi - dataHi < room) hi += step;
    return {lo, hi, step};
}

double RightColumn(double latest, double secondsPerPixel) {
    if (!(secondsPerPixel > 0) || !std::isfinite(latest / secondsPerPixel)) return 0;
    return std::ceil(latest / secondsPerPixel);
}

TimeWindow ColumnWindow(double rightColumn, double secondsPerPixel, double span) {
    const double right = rightColumn * secondsPerPixel;
    return {right - span, right};
}

double ValueTickStep(ValueRange r, double height, double lineHeight) {
    const double range = r.hi - r.lo;
    double step = r.step > 0 ? r.step : NiceStep(range, 5);
    // Labels at least one and a half lines apart.
    const double fit = lineHeight > 0 ? height / (1.5 * lineHeight) : 1000;
    const int room = static_cast<int>(std::clamp(std::isfinite(fit) ? fit : 1.0, 1.0, 1000.0));
    if (range / step > room) step = NiceStep(range, room);
    return step;
}

double TimeTickStep(double span, double width, double labelWidth) {
    // Six intervals at most, each wide enough for a label and half as much again between them.
    const double fit = labelWidth > 0 ? width / (1.5 * labelWidth) : 6;
    const int room = static_cast<int>(std::clamp(std::isfinite(fit) ? fit : 1.0, 1.0, 6.0));
    return NiceStep(span, room);
}

double ValueToY(double v, ValueRange r, double top, double height) {
    const double range = r.hi - r.lo;
    if (!(range > 0) || !std::isfinite(range)) return top + height / 2;
    return top + (r.hi - v) / range * height;
}

std::vector<double> AxisTicks(double lo, double hi, double step) {
    std::vector<double> ticks;
    if (!(step > 0) || !(hi >= lo) || !std::isfinite(hi - lo) || (hi - lo) / step > 1000) return ticks;
    // Tick numbers must fit the integer that counts them.
    constexpr double kMaxTick = 1e15;
    if (std::fabs(lo / step) > kMaxTick || std::fabs(hi / step) > kMaxTick) return ticks;
    const double eps = step * 1e-6;
    const long long first = static_cast<long long>(std::ceil((lo - eps) / step));
    const long long last = static_cast<long long>(std::floor((hi + eps) / step));
    for (long long n = first; n <= last; ++n) ticks.push_back(std::fabs(n * step) < eps ? 0.0 : n * step);
    return ticks;
}

QString TimeAxisLabel(double seconds) {
    if (!std::isfinite(seconds)) seconds = 0;
    long long s = static_cast<long long>(std::floor(seconds));
    s %= 86400;
    if (s < 0) s += 86400;
    return QStringLiteral("%1 %2 %3")
        .arg(s / 3600, 2, 10, QChar(u'0'))
        .arg(s / 60 % 60, 2, 10, QChar(u'0'))
        .arg(s % 60, 2, 10, QChar(u'0'));
}

double ZoomSpan(double span, double dxTowardsCentre, double width) {
    if (!(span > 0) || !std::isfinite(span)) span = kMinSpan;
    if (!(width > 0) || !std::isfinite(dxTowardsCentre)) return std::clamp(span, kMinSpan, kMaxSpan);
    // Dragging half the plot's width towards the centre halves the span; away doubles it.
    const double factor = std::pow(2.0, -2 * dxTowardsCentre / width);
    return std::clamp(span * factor, kMinSpan, kMaxSpan);
}
