#pragma once
#include <QDateTime>
#include <functional>

// Seconds since midnight in single precision: the clock of the master timer and of Delay.
float SystemTimer();

// Replaces the wall clock (tests); an empty function restores it.
void SetClockSource(std::function<double()> secondsSinceMidnight);

// Local time read without a look at the time-zone file each time: the UTC clock plus the offset
// from UTC, which is looked up again only when the UTC minute changes. Zones and daylight saving
// change their offsets on whole minutes, so a reading is never older than the offset in force,
// and a zone the user changes shows within a minute.
class LocalClock {
public:
    using UtcSource = std::function<qint64()>;        // milliseconds since the epoch
    using OffsetSource = std::function<int(qint64)>;  // seconds ahead of UTC at that instant

    LocalClock();  // the system's clock and time zone
    LocalClock(UtcSource utc, OffsetSource offset);

    // The local date and time, as a fixed offset from UTC.
    QDateTime Now();
    double SecondsSinceMidnight();
    // The local second now, counted from the epoch: a shown time changes when it does.
    qint64 LocalSecond();
    int OffsetLookups() const { return lookups_; }

private:
    qint64 LocalMsecs();
    UtcSource utc_;
    OffsetSource offset_;
    qint64 minute_ = 0;  // the UTC minute the offset was looked up in
    bool known_ = false;
    int offsetSeconds_ = 0;
    int lookups_ = 0;
};

// The program's local clock, read by SystemTimer and the status bar; tests may assign another.
LocalClock& SystemLocalClock();
