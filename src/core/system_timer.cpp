#include "core/system_timer.h"

#include <QTime>

namespace {
std::function<double()>& Source() {
    static std::function<double()> source;
    return source;
}
}  // namespace

float SystemTimer() {
    if (Source()) return static_cast<float>(Source()());
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}

void SetClockSource(std::function<double()> secondsSinceMidnight) { Source() = std::move(secondsSinceMidnight); }
