#include "fixture.h"

#include "pages/widgets/strip_chart.h"
#include "pages/widgets/strip_chart_math.h"
#include "paint_counter.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

TEST(StripChartMath, HistoryIsBoundedAndKeepsTheNewestSamples) {
    TraceHistory h(3);
    for (int i = 0; i < 5; ++i) h.Append(i, i * 10);
    ASSERT_EQ(h.Size(), 3u);
    EXPECT_EQ(h.At(0).t, 2);
    EXPECT_EQ(h.Last().v, 40);
    TraceHistory one(0);  // no capacity still keeps the latest sample
    one.Append(1, 2);
    one.Append(3, 4);
    EXPECT_EQ(one.Size(), 1u);
    EXPECT_EQ(one.Last().t, 3);
}

TEST(StripChartMath, RunningClockCarriesOnPastMidnight) {
    RunningClock c;
    EXPECT_DOUBLE_EQ(c.Next(86399.5), 86399.5);
    EXPECT_DOUBLE_EQ(c.Next(0.25), 86400.25);
    EXPECT_DOUBLE_EQ(c.Next(1), 86401);
    EXPECT_DOUBLE_EQ(c.Next(0.9), 86400.9);  // a small step back is not a new day
}

TEST(StripChartMath, TimeAxisLabelsHoursMinutesSecondsOfTheDay) {
    const std::pair<double, const char*> cases[] = {
        {0, "00 00 00"},          {8 * 3600 + 5.9, "08 00 05"}, {86399, "23 59 59"},
        {86400 + 61, "00 01 01"}, {-1, "23 59 59"},             {std::nan(""), "00 00 00"}};
    for (auto [t, text] : cases) EXPECT_EQ(TimeAxisLabel(t).toStdString(), text) << t;
}

TEST(StripChartMath, TheWindowScrollsWithTheLatestSampleAndMapsTimeToX) {
    const TimeWindow w = ScrollingWindow(100, 60);
    EXPECT_EQ(w.left, 40);
    EXPECT_EQ(w.right, 100);
    EXPECT_DOUBLE_EQ(TimeToX(100, w, 50, 600), 650);
    EXPECT_DOUBLE_EQ(TimeToX(70, w, 50, 600), 350);
    EXPECT_DOUBLE_EQ(TimeToX(40, w, 50, 600), 50);
    EXPECT_DOUBLE_EQ(TimeToX(70, {5, 5}, 50, 600), 50);
    const TimeWindow bad = ScrollingWindow(10, 0);
    EXPECT_GT(bad.right, bad.left);
}

TEST(StripChartMath, ValueRangesHoldTheDataOnNiceStepsAndNeverCollapse) {
    const ValueRange r = AutoRange({12.1, 11.3, 12.05, 12});
    EXPECT_DOUBLE_EQ(r.lo, 11.2);
    EXPECT_DOUBLE_EQ(r.hi, 12.2);
    const ValueRange mixed = AutoRange({0.25, 2, 120});  // 0.25 would run along the bottom edge
    EXPECT_EQ(mixed.lo, -25);
    EXPECT_EQ(mixed.hi, 125);
    const ValueRange flat = AutoRange({5, 5, 5});
    EXPECT_LE(flat.lo, 4.5);
    EXPECT_GE(flat.hi, 5.5);
    const ValueRange none = AutoRange({std::nan(""), std::numeric_limits<double>::infinity()});
    EXPECT_EQ(none.lo, 0);
    EXPECT_EQ(none.hi, 1);
    EXPECT_NEAR(ValueToY(12.2, r, 10, 100), 10, 1e-9);
    EXPECT_NEAR(ValueToY(11.2, r, 10, 100), 110, 1e-9);
    EXPECT_DOUBLE_EQ(ValueToY(3, {3, 3}, 10, 100), 60);
    EXPECT_EQ(AxisTicks(0, 1, 0.25), (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
    EXPECT_TRUE(AxisTicks(0, 1, 0).empty());
    EXPECT_TRUE(AxisTicks(0, 1e30, 1).empty());  // no endless tick list
    const ValueRange huge = AutoRange({1e25, 1e25});
    EXPECT_TRUE(AxisTicks(huge.lo, huge.hi, 1).empty());  // beyond what a tick number can count
}

TEST(StripChartMath, ValueRangesLeaveRoomAboveAndBelowTheDataOnTickValues) {
    struct Case {
        std::vector<double> values;
        double lo, hi, step;
    } cases[] = {
        {{30, 24}, 22, 32, 2},                 // both traces on the ends of 24 to 30
        {{0.25, 2}, 0, 2.5, 0.5},              // one trace on the top of 0 to 2
        {{0, 10}, -2, 12, 2},                  // data on both ends
        {{30, 30, 30}, 29.4, 30.6, 0.2},       // constant
        {{0, 0}, -0.6, 0.6, 0.2},              // zero
        {{-1.5, -1.5}, -2, -1, 0.2},           // negative constant
        {{-5, -1}, -6, 0, 1},                  // negative, the top on a tick
        {{-3, 4}, -4, 6, 2},
        {{1000, 1000}, 990, 1010, 5},          // a constant large value gets 1 % each way
        {{11.3, 12.1}, 11.2, 12.2, 0.2},       // enough room already: no extra step
    };
    for (const Case& c : cases) {
        const ValueRange r = AutoRange(c.values);
        const double lo = *std::min_element(c.values.begin(), c.values.end());
        const double hi = *std::max_element(c.values.begin(), c.values.end());
        EXPECT_NEAR(r.lo, c.lo, 1e-9) << lo << " " << hi;
        EXPECT_NEAR(r.hi, c.hi, 1e-9) << lo << " " << hi;
        EXPECT_NEAR(r.step, c.step, 1e-12) << lo << " " << hi;
        EXPECT_GE(lo - r.lo, 0.03 * (r.hi - r.lo)) << lo << " " << hi;
        EXPECT_GE(r.hi - hi, 0.03 * (r.hi - r.lo)) << lo << " " << hi;
        // The ends are ticks of the range's own step.
        const std::vector<double> ticks = AxisTicks(r.lo, r.hi, r.step);
        ASSERT_GE(ticks.size(), 2u);
        EXPECT_NEAR(ticks.front(), r.lo, 1e-9);
        EXPECT_NEAR(ticks.back(), r.hi, 1e-9);
    }
    // The greatest single-precision readings keep a range with room, in double precision.
    const double big = 3.4028234663852886e38;
    const ValueRange top = AutoRange({big, big});
    EXPECT_LT(top.lo, big);
    EXPECT_GT(top.hi, big);
    const ValueRange both = AutoRange({-big, big});
    EXPECT_LT(both.lo, -big);
    EXPECT_GT(both.hi, big);
}

TEST(StripChartMath, DraggingAnEdgeArrowInwardsZoomsInAndOutwardsZoomsOut) {
    EXPECT_DOUBLE_EQ(ZoomSpan(60, 300, 600), 30);
    EXPECT_DOUBLE_EQ(ZoomSpan(60, -300, 600), 120);
    EXPECT_DOUBLE_EQ(ZoomSpan(60, 0, 600), 60);
    EXPECT_DOUBLE_EQ(ZoomSpan(60, 6000, 600), kMinSpan);
    EXPECT_DOUBLE_EQ(ZoomSpan(60, -6000, 600), kMaxSpan);
    EXPECT_DOUBLE_EQ(ZoomSpan(60, 300, 0), 60);
    EXPECT_DOUBLE_EQ(ZoomSpan(-1, 0, 600), kMinSpan);
}

class StripChartWidgetTest : public RunFixture {};

// One chart in view and the same chart out of sight take the same samples at the same times: the
// one in view repaints only the newest pieces (and the plot when the window moves on), the other
// nothing, and what the first shows is what the second draws whole.
TEST_F(StripChartWidgetTest, AChartInViewDrawsOnlyWhatANewSampleChangesAndShowsWhatAWholeDrawingShows) {
    clock.AutoStep = 0;
    StripChart shown, hidden;
    for (StripChart* c : {&shown, &hidden}) {
        c->SetAxes({"Voltage (V)", "Current (A)"});
        c->AddTrace("I/P Voltage", 0);
        c->AddTrace("I/P Current", 1);
        c->resize(420, 300);
    }
    shown.show();
    PaintNow();
    PaintCounter paints;
    paints.Watch(&shown);
    paints.Watch(&hidden);
    const int whole = shown.width() * shown.height();
    int small = 0, moved = 0;
    auto sample = [&](int i, double v0, double v1) {
        clock.Now = 3600 + 0.1 * i;
        for (StripChart* c : {&shown, &hidden}) {
            c->AppendSample(0, v0);
            c->AppendSample(1, v1);
        }
        paints.Clear();
        PaintNow();
    };
    for (int i = 0; i < 150; ++i) {
        sample(i, 12 + 0.3 * std::sin(i * 0.2), i % 40 == 7 ? std::nan("") : 0.25 + 0.01 * std::cos(i * 0.3));
        EXPECT_FALSE(paints.count.contains(&hidden)) << i;
        // Until both traces have swung their whole way, new extremes may set new ranges.
        if (i >= 40) {
            ASSERT_LE(paints.count.value(&shown), 1) << i;
            const QRegion area = paints.areas.value(&shown);
            EXPECT_FALSE(area.contains(QPoint(2, 2))) << i;  // the legend and the axes stay as drawn
            EXPECT_LT(Area(area), whole * 3 / 4) << i;
            (Area(area) < whole / 20 ? small : moved) += 1;
        }
        if (i % 10 == 0) {
            EXPECT_EQ(Shown(shown), Whole(shown)) << i;
            EXPECT_EQ(Whole(shown), Whole(hidden)) << i;
        }
    }
    EXPECT_GT(small, 20);  // samples within a column of the last: only their pieces
    EXPECT_GT(moved, 20);  // the window moved on by a column or more
    // A value beyond the axis's range draws the chart anew with a new range.
    sample(150, 40, 0.25);
    EXPECT_EQ(Area(paints.areas.value(&shown)), whole);
    EXPECT_EQ(Shown(shown), Whole(shown));
    EXPECT_EQ(Whole(shown), Whole(hidden));
}

TEST_F(StripChartWidgetTest, SamplesGoToTheirTraceAtTheTimerTimeAndTheRightArrowZooms) {
    StripChart chart;
    chart.SetAxes({"Voltage (V)", "Current (A)"});
    chart.AddTrace("I/P Voltage", 0);
    chart.AddTrace("I/P Current", 1);
    chart.AddTrace("Stray", 7);  // kept on the last axis
    EXPECT_EQ(chart.TraceCount(), 3);
    clock.AutoStep = 0;
    clock.Now = 3600;
    chart.AppendSample(0, 120);
    chart.AppendSample(1, 0.25);
    chart.AppendSample(5, 1);  // no such trace
    chart.AppendSample(-1, 1);
    clock.Now = 3600.5f;
    chart.AppendSample(0, std::numeric_limits<double>::quiet_NaN());
    ASSERT_EQ(chart.History(0)->Size(), 2u);
    EXPECT_EQ(chart.History(1)->Size(), 1u);
    EXPECT_EQ(chart.History(0)->At(0).t, 3600);
    EXPECT_EQ(chart.History(0)->Last().t, 3600.5);
    EXPECT_EQ(chart.History(5), nullptr);

    chart.resize(630, 480);
    EXPECT_FALSE(chart.grab().isNull());
    // The right arrow sits at the right end under the time axis; dragging it left zooms in.
    const QPointF arrow(630 - 14 - 6, 480 - 8);
    auto send = [&](QEvent::Type type, QPointF p) {
        QMouseEvent e(type, p, chart.mapToGlobal(p), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&chart, &e);
    };
    const double span = chart.Span();
    send(QEvent::MouseButtonPress, arrow);
    send(QEvent::MouseMove, arrow - QPointF(100, 0));
    send(QEvent::MouseButtonRelease, arrow - QPointF(100, 0));
    EXPECT_LT(chart.Span(), span);
    EXPECT_FALSE(chart.grab().isNull());
}

}  // namespace
