#pragma once
// A painted strip chart: named traces on one or more value axes, scrolling with time; the arrows
// at the ends of the time axis drag to zoom the time span. A chart out of sight draws nothing; one
// in view keeps its axes and the traces drawn so far, moves them by whole pixels as time goes on
// and draws only each new sample's piece of trace.
#include "pages/widgets/strip_chart_math.h"
#include "shell/painted_layout.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <vector>

class StripChart : public QWidget, public PaintedLayout {
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

    QSize sizeHint() const override;

    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    struct Trace {
        QString name;
        int axis;
        TraceHistory history;
    };
    // Where everything lies at the present size, font, pixel ratio, span and samples.
    struct Geometry {
        QSize size;
        qreal ratio = 1;
        QFont font;
        double line = 0, ascent = 0;  // of the chart's font
        double tick = 0, gap = 0, pen = 0;
        std::vector<QPointF> legend;      // where each trace's entry starts
        std::vector<double> axisX;        // each value axis's line
        std::vector<double> titleX;       // the left edge of each axis's rotated title
        std::vector<ValueRange> ranges;   // of each axis
        std::vector<double> valueSteps;   // between each axis's labelled ticks
        QRect plotDevice;                 // the plot on device pixels
        QRectF plot;                      // the same in widget pixels
        double timeTop = 0, arrowTop = 0, arrowSize = 0;
        double secondsPerPixel = 1;       // of a device pixel
        double right = 0;                 // the window's right edge, as a column
        double timeStep = 1;
        int margin = 0;                   // columns kept beside the plot on either side
    };
    struct Label {
        QString text;
        QPointF baseline;
        QRectF box;
    };
    QFont ChartFont() const;
    Geometry Measure() const;
    TimeWindow WindowOf(const Geometry& g) const;
    std::vector<ValueRange> RangesIn(TimeWindow w, std::vector<std::pair<double, double>>* extents) const;
    std::vector<Label> ValueLabels(const Geometry& g) const;
    std::vector<Label> TimeLabels(const Geometry& g) const;
    std::vector<QLineF> AxisLines(const Geometry& g) const;
    QRectF ArrowRect(const Geometry& g, bool right) const;
    // The trace layer: a column of the layer for a time, a row for a value on an axis.
    double LayerX(const Geometry& g, double t) const;
    double LayerY(const Geometry& g, int axis, double v) const;
    void DrawStill();
    void DrawLayer();
    void DrawGrid(QPainter& p, double fromColumn, double toColumn) const;
    void DrawSegment(QPainter& p, int trace, std::size_t i) const;
    // After a sample of a chart in view: moves the layer on and draws the sample's piece.
    void Advance(int trace);
    void Invalidate();

    QStringList axes_;
    std::vector<Trace> traces_;
    RunningClock clock_;
    double latest_ = 0;
    bool anySample_ = false;
    double span_ = 60;
    int dragArrow_ = 0;  // -1 left, 1 right
    double dragStartX_ = 0;
    double dragStartSpan_ = 0;

    // What is drawn: valid only while drawn_.
    bool drawn_ = false;
    Geometry g_;
    std::vector<std::pair<double, double>> extents_;  // the finite values' extremes on each axis
    QPixmap still_;  // background, legend, value axes and arrows
    QPixmap layer_;  // the plot's grid and traces, margin columns beside it; device pixels
};
