#pragma once
// The maths of the painted strip chart, with no widgets: bounded sample history, the scrolling
// time window, value ranges, axis ticks and labels, and the zoom of the time span.
#include <QString>
#include <cstddef>
#include <deque>
#include <vector>

struct StripSample {
    double t;  // seconds on the chart's own running clock
    double v;
};

// One trace's samples, oldest first; the oldest go once the capacity is reached, so a page left
// open for days keeps a bounded history.
class TraceHistory {
public:
    explicit TraceHistory(std::size_t capacity = 6000) : capacity_(capacity ? capacity : 1) {}
    void Append(double t, double v);
    std::size_t Size() const { return samples_.size(); }
    const StripSample& At(std::size_t i) const { return samples_[i]; }
    const StripSample& Last() const { return samples_.back(); }
    bool Empty() const { return samples_.empty(); }

private:
    std::size_t capacity_;
    std::deque<StripSample> samples_;
};

// The system timer counts seconds since midnight: turns its readings into a clock that keeps
// running past midnight, so the chart scrolls on instead of jumping back a day.
class RunningClock {
public:
    double Next(double secondsSinceMidnight);

private:
    bool started_ = false;
    double last_ = 0;
    double offset_ = 0;
};

struct TimeWindow {
    double left;
    double right;
};
// The window of the given span that ends at the latest sample, so the chart scrolls with time.
TimeWindow ScrollingWindow(double latest, double span);
// Horizontal place of a time within a window drawn from x0 over width; an empty window gives x0.
double TimeToX(double t, TimeWindow w, double x0, double width);

struct ValueRange {
    double lo;
    double hi;
    double step = 0;  // between the axis ticks; 0: not known
};
// A range on multiples of a nice step that holds every finite value with room above and below, so
// no trace runs along the chart's frame: an end that comes closer than kRangeMargin of the range
// to its data moves out by one more step. Flat data gets a band of at least 0.5 (or 1 % of the
// value) each way, no data the range 0 to 1.
inline constexpr double kRangeMargin = 0.04;
ValueRange AutoRange(const std::vector<double>& values, int maxIntervals = 5);
// The chart draws on whole device pixels so that, as time goes on, the picture drawn so far moves
// by whole columns and only the newest part is drawn. Column c covers the times up to
// c x secondsPerPixel; the window ends at the column of the latest sample.
double RightColumn(double latest, double secondsPerPixel);
TimeWindow ColumnWindow(double rightColumn, double secondsPerPixel, double span);

// The step between labelled ticks: the range's own step (or the nice step of the span), made
// coarser where labels lineHeight (or labelWidth) apart would crowd the height (or width).
double ValueTickStep(ValueRange r, double height, double lineHeight);
double TimeTickStep(double span, double width, double labelWidth);

// Vertical place of a value in a range drawn from top over height (greater values higher).
double ValueToY(double v, ValueRange r, double top, double height);
// Multiples of step inside the range.
std::vector<double> AxisTicks(double lo, double hi, double step);

// "HH MM SS" of a time in seconds since midnight (any day), as the time axis labels it.
QString TimeAxisLabel(double seconds);

// The span after the user drags an edge arrow by dx pixels on a plot of the given width:
// towards the centre zooms in, away from it zooms out, kept between minSpan and maxSpan.
inline constexpr double kMinSpan = 5;
inline constexpr double kMaxSpan = 600;
double ZoomSpan(double span, double dxTowardsCentre, double width);
