#include "core/system_timer.h"

namespace {
std::function<double()>& Source() {
    static std::function<double()> source;
    return source;
}

constexpr qint64 kMsecsPerMinute = 60 * 1000;
constexpr qint64 kMsecsPerDay = 24 * 60 * kMsecsPerMinute;

qint64 FloorDiv(qint64 a, qint64 b) { return a / b - (a % b < 0 ? 1 : 0); }
}  // namespace

LocalClock::LocalClock()
    : LocalClock([] { return QDateTime::currentMSecsSinceEpoch(); },
                 [](qint64 utc) { return QDateTime::fromMSecsSinceEpoch(utc, Qt::LocalTime).offsetFromUtc(); }) {}

LocalClock::LocalClock(UtcSource utc, OffsetSource offset) : utc_(std::move(utc)), offset_(std::move(offset)) {}

qint64 LocalClock::LocalMsecs() {
    const qint64 utc = utc_();
    const qint64 minute = FloorDiv(utc, kMsecsPerMinute);
    if (!known_ || minute != minute_) {
        offsetSeconds_ = offset_(utc);
        minute_ = minute;
        known_ = true;
        ++lookups_;
    }
    return utc + offsetSeconds_ * qint64{1000};
}

QDateTime LocalClock::Now() {
    const qint64 local = LocalMsecs();
    return QDateTime::fromMSecsSinceEpoch(local - offsetSeconds_ * qint64{1000}, Qt::OffsetFromUTC, offsetSeconds_);
}

double LocalClock::SecondsSinceMidnight() {
    const qint64 local = LocalMsecs();
    return static_cast<double>(local - FloorDiv(local, kMsecsPerDay) * kMsecsPerDay) / 1000.0;
}

qint64 LocalClock::LocalSecond() { return FloorDiv(LocalMsecs(), 1000); }

LocalClock& SystemLocalClock() {
    static LocalClock clock;
    return clock;
}

float SystemTimer() {
    if (Source()) return static_cast<float>(Source()());
    return static_cast<float>(SystemLocalClock().SecondsSinceMidnight());
}

void SetClockSource(std::function<double()> secondsSinceMidnight) { Source() = std::move(secondsSinceMidnight); }
