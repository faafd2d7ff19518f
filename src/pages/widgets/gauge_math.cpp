#include "pages/widgets/gauge_math.h"

#include <algorithm>
#include <cmath>

double ClampToScale(double value, GaugeScale scale) {
    const double lo = std::min(scale.min, scale.max);
    const double hi = std::max(scale.min, scale.max);
    if (std::isnan(value)) return lo;
    return std::clamp(value, lo, hi);
}

double ValueToAngle(double value, GaugeScale scale) {
    const double range = scale.max - scale.min;
    if (!(std::fabs(range) > 0) || !std::isfinite(range)) return kGaugeStart;
    const double f = (ClampToScale(value, scale) - scale.min) / range;
    return kGaugeStart + f * kGaugeSweep;
}

double AngleToValue(double angle, GaugeScale scale) {
    if (std::isnan(angle)) return scale.min;
    const double a = std::clamp(angle, kGaugeStart, kGaugeStart + kGaugeSweep);
    return scale.min + (a - kGaugeStart) / kGaugeSweep * (scale.max - scale.min);
}

double ValueAtOffset(double dx, double dy, GaugeScale scale) {
    if (dx == 0 && dy == 0) return scale.min;
    // Clockwise from straight up; y grows downwards on screen.
    const double angle = std::atan2(dx, -dy) * 180.0 / M_PI;
    // The gap below the dial: split it at the bottom between the two ends.
    if (angle > kGaugeStart + kGaugeSweep) return scale.max;
    if (angle < kGaugeStart) return scale.min;
    return AngleToValue(angle, scale);
}

double NiceStep(double range, int maxIntervals) {
    range = std::fabs(range);
    if (!(range > 0) || !std::isfinite(range) || maxIntervals < 1) return 1;
    const double rough = range / maxIntervals;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * power >= rough * (1 - 1e-9)) return m * power;
    return 10 * power;
}

std::vector<ScaleTick> ScaleTicks(GaugeScale scale, int maxMajorIntervals) {
    std::vector<ScaleTick> ticks;
    const double lo = std::min(scale.min, scale.max);
    const double hi = std::max(scale.min, scale.max);
    if (!(hi > lo) || !std::isfinite(hi - lo)) return ticks;
    const double step = NiceStep(hi - lo, maxMajorIntervals);
    const double minor = step / 5;
    const double eps = minor * 1e-6;
    // Count in minor steps from a multiple of the major step, so a tick's value carries no drift.
    const long long first = static_cast<long long>(std::ceil((lo - eps) / minor));
    const long long last = static_cast<long long>(std::floor((hi + eps) / minor));
    for (long long n = first; n <= last; ++n) {
        double v = static_cast<double>(n) * minor;
        if (std::fabs(v) < eps) v = 0;
        ticks.push_back({v, ValueToAngle(v, scale), n % 5 == 0});
    }
    return ticks;
}

int SliderAt(double dx, double dy, double angle2, double angle3) {
    const double r = std::hypot(dx, dy);
    const double half = kGaugeLogicalSize / 2;
    if (r < half * 0.6 || r > half * 1.05) return 0;
    const double a = std::atan2(dx, -dy) * 180.0 / M_PI;
    const double d2 = std::fabs(a - angle2);
    const double d3 = std::fabs(a - angle3);
    constexpr double kReach = 12;
    if (d2 > kReach && d3 > kReach) return 0;
    return d2 <= d3 ? 2 : 3;
}

DialPoint NumberCentre(double angle, double reach, double width, double height) {
    const double rad = angle * M_PI / 180;
    const double ux = std::sin(rad), uy = -std::cos(rad);
    const double r = reach - (std::fabs(ux) * width + std::fabs(uy) * height) / 2;
    return {ux * r, uy * r};
}
