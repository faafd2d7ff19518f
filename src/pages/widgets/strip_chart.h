#pragma once
// A painted strip chart: named traces on one or more value axes, scrolling with time; the arrows
// at the ends of the time axis drag to zoom the time span.
#include "pages/widgets/strip_chart_math.h"

#include <QStringList>
#include <QWidget>
#include <vector>

class StripChart : public QWidget {
    Q_OBJECT
public:
    explicit StripChart(QWidget* parent = nullptr);

    void SetAxes(const QStringList& captions);
    QStringList Axes() const { return axes_; }
    // Traces in the order they are added; each on one of the axes.
    void AddTrace(const QString& name, int axis = 0);
    int TraceCount() const { return static_cast<int>(traces_.size()); }
    QString TraceName(int trace) const;
    // One sample of a trace at the current time; a trace number out of range is ignored.
    void AppendSample(int trace, double value);
    const TraceHistory* History(int trace) const;
    double Span() const { return span_; }
    // The value range of an axis as drawn now: that of the samples within the time window.
    ValueRange AxisRange(int axis) const;
    void SetSpan(double seconds);

    QSize sizeHint() const override { return {630, 480}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    struct Trace {
        QString name;
        int axis;
        TraceHistory history;
    };
    QFont SmallFont() const;
    // Where each trace's legend entry starts; the legend wraps onto as many lines as it needs.
    std::vector<QPointF> LegendPlaces(double* height) const;
    QRectF PlotRect() const;
    QRectF ArrowRect(bool right) const;
    TimeWindow Window() const;
    QStringList axes_;
    std::vector<Trace> traces_;
    RunningClock clock_;
    double latest_ = 0;
    bool anySample_ = false;
    double span_ = 60;
    int dragArrow_ = 0;  // -1 left, 1 right
    double dragStartX_ = 0;
    double dragStartSpan_ = 0;
};
