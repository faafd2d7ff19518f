#include "core/system_timer.h"

#include <QTime>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <ctime>

namespace {

qint64 Utc(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC).toMSecsSinceEpoch();
}

// The plain reading the clock stands in for: the instant converted through the local zone.
QDateTime PlainLocal(qint64 utc) { return QDateTime::fromMSecsSinceEpoch(utc, Qt::LocalTime); }

// Runs with TZ set to a zone, and puts the old TZ back.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) : had_(qEnvironmentVariableIsSet("TZ")), old_(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneScope() {
        if (had_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool had_;
    QByteArray old_;
};

}  // namespace

TEST(LocalClock, FollowsTheSystemClockAndZone) {
    LocalClock clock;
    for (int i = 0; i < 50; ++i) {
        const QDateTime before = QDateTime::currentDateTime();
        const double seconds = clock.SecondsSinceMidnight();
        const QDateTime now = clock.Now();
        const QDateTime after = QDateTime::currentDateTime();
        if (after.date() != before.date()) continue;  // midnight came between
        EXPECT_GE(seconds, before.time().msecsSinceStartOfDay() / 1000.0);
        EXPECT_LE(seconds, after.time().msecsSinceStartOfDay() / 1000.0);
        EXPECT_EQ(now.date(), before.date());
        EXPECT_GE(now.time(), before.time());
        EXPECT_LE(now.time(), after.time());
        EXPECT_EQ(now.offsetFromUtc(), before.offsetFromUtc());
    }
    // A minute may turn during the loop.
    EXPECT_GE(clock.OffsetLookups(), 1);
    EXPECT_LE(clock.OffsetLookups(), 2);
}

// Across daylight-saving changes and local midnights, in zones with whole-hour and half-hour
// steps, every reading equals the plain local reading, and the zone is looked up once a minute.
TEST(LocalClock, SameAsThePlainLocalReadingAcrossZoneChangesAndMidnight) {
    struct Case {
        const char* zone;
        qint64 around;  // a UTC instant where the local offset or the local date changes
        int offsetBefore, offsetAfter;
    } cases[] = {
        {"Europe/Berlin", Utc(2024, 3, 31, 1, 0), 3600, 7200},       // 02:00 CET becomes 03:00 CEST
        {"Europe/Berlin", Utc(2024, 10, 27, 1, 0), 7200, 3600},      // 03:00 CEST becomes 02:00 CET
        {"Europe/Berlin", Utc(2024, 6, 30, 22, 0), 7200, 7200},      // local midnight
        {"America/New_York", Utc(2024, 11, 3, 6, 0), -14400, -18000},
        {"Australia/Lord_Howe", Utc(2024, 4, 6, 15, 0), 39600, 37800},  // back by half an hour
        {"Asia/Kathmandu", Utc(2024, 1, 1, 18, 15), 20700, 20700},     // midnight at +5:45
    };
    for (const Case& c : cases) {
        ZoneScope zone(c.zone);
        if (PlainLocal(c.around - 60'000).offsetFromUtc() != c.offsetBefore ||
            PlainLocal(c.around).offsetFromUtc() != c.offsetAfter)
            GTEST_SKIP() << "no zone data for " << c.zone;
        qint64 utc = c.around - 3 * 60'000 - 1;
        LocalClock clock([&utc] { return utc; },
                         [](qint64 at) { return PlainLocal(at).offsetFromUtc(); });
        int minutes = 0;
        qint64 lastMinute = -1;
        for (; utc < c.around + 3 * 60'000; utc += 250) {
            const QDateTime plain = PlainLocal(utc);
            const QDateTime mine = clock.Now();
            ASSERT_EQ(mine.date(), plain.date()) << c.zone << " at " << utc;
            ASSERT_EQ(mine.time(), plain.time()) << c.zone << " at " << utc;
            ASSERT_EQ(clock.SecondsSinceMidnight(), plain.time().msecsSinceStartOfDay() / 1000.0) << c.zone;
            if (utc / 60'000 != lastMinute) ++minutes, lastMinute = utc / 60'000;
        }
        EXPECT_EQ(clock.OffsetLookups(), minutes) << c.zone;
    }
}

// The offset is looked up at the first reading of each minute, and not between: a change of offset
// at a minute shows from that minute's first reading on.
TEST(LocalClock, LooksTheOffsetUpOncePerMinute) {
    const qint64 start = Utc(2024, 5, 1, 23, 58, 0);
    qint64 utc = start;
    int offset = 3600;
    LocalClock clock([&utc] { return utc; }, [&offset](qint64) { return offset; });

    for (; utc < start + 60'000; utc += 50) clock.SecondsSinceMidnight();
    EXPECT_EQ(clock.OffsetLookups(), 1);
    utc = start + 59'950;
    EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 58 * 60 + 59.950);  // 00:58:59.950 local
    offset = 7200;  // a new offset takes effect on the minute
    EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 58 * 60 + 59.950);
    utc = start + 60'000;
    EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 3600 + 59 * 60);  // 01:59:00 local
    EXPECT_EQ(clock.OffsetLookups(), 2);
    // A clock set back into an earlier minute looks the offset up again.
    utc = start;
    clock.SecondsSinceMidnight();
    EXPECT_EQ(clock.OffsetLookups(), 3);
}

TEST(LocalClock, SystemTimerReadsTheProgramsClockUnlessATestSourceIsSet) {
    const LocalClock saved = SystemLocalClock();
    qint64 utc = Utc(2024, 5, 1, 21, 59, 59) + 500;
    SystemLocalClock() = LocalClock([&utc] { return utc; }, [](qint64) { return 7200; });
    EXPECT_FLOAT_EQ(SystemTimer(), 86399.5f);
    utc += 600;  // past local midnight
    EXPECT_FLOAT_EQ(SystemTimer(), 0.1f);
    EXPECT_EQ(SystemLocalClock().Now().date(), QDate(2024, 5, 2));
    SetClockSource([] { return 42.0; });
    EXPECT_FLOAT_EQ(SystemTimer(), 42.0f);
    SetClockSource({});
    SystemLocalClock() = saved;
}
