#include "filter/bode_canvas.h"

#include "core/twips.h"
#include "filter/dig_filter_logic.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr double kFarPixels = 1e6;  // values far outside the picture are drawn as far, not as huge

QPointF P(double X, double Y) {
    return {std::clamp(X / kTwipsPerPixel, -kFarPixels, kFarPixels), std::clamp(Y / kTwipsPerPixel, -kFarPixels, kFarPixels)};
}

QColor Rgb(uint32_t c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

void Line(QPainter& p, const PlotLine& l) { p.drawLine(P(l.X1, l.Y1), P(l.X2, l.Y2)); }

// Text with its top-left corner at (left, top) twips.
void TextAt(QPainter& p, double left, double top, const QString& text) {
    const QFontMetricsF fm(p.font());
    p.drawText(P(left, top) + QPointF(0, fm.ascent()), text);
}

double TextWidthTwips(const QPainter& p, const QString& text) {
    return QFontMetricsF(p.font()).horizontalAdvance(text) * kTwipsPerPixel;
}

double TextHeightTwips(const QPainter& p) { return QFontMetricsF(p.font()).height() * kTwipsPerPixel; }

void Caption(QPainter& p, const MarkerCaption& c) {
    const double left = c.Centred ? c.X - TextWidthTwips(p, c.Text) / 2 : c.X;
    TextAt(p, left, c.Bottom - kCaptionHeight, c.Text);
}

void Marker(QPainter& p, const MarkerShape& s, uint32_t color) {
    p.setPen(QPen(Rgb(color), 1));
    p.setBrush(Rgb(color));
    p.drawEllipse(QRectF(P(s.Left, s.Top), P(s.Left + s.Width, s.Top + s.Height)));
    p.setBrush(Qt::NoBrush);
}

}  // namespace

BodeCanvas::BodeCanvas(const DigFilterLogic& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("pctFilter"));
    setMouseTracking(true);  // click to grab, then move with no button held
    setGeometry(TwipsToPixels(kPlotLeft), TwipsToPixels(kPlotTop), TwipsToPixels(kPlotWidth), TwipsToPixels(kPlotHeight));
    QFont f = font();
    f.setPointSizeF(7);
    setFont(f);
}

void BodeCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setClipRect(rect());
    const MarkerPlot& plot = logic_.Plot;
    const BodeGrid& g = plot.Grid;
    const FilterMarkers& m = plot.Markers;

    // The curves lie under everything else, as drawing under the picture's controls.
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const BodeCurve& c : logic_.Curves) {
        if (c.Points.empty()) continue;
        QPainterPath path(P(c.Points.front().X, c.Points.front().Y));
        for (const PlotPoint& pt : c.Points) path.lineTo(P(pt.X, pt.Y));
        p.setPen(QPen(Rgb(c.Color), kCurvePenWidth));
        p.drawPath(path);
    }
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(QPen(QColor(128, 128, 128), 1));
    for (float x : g.X) p.drawLine(P(x, g.BottomY), P(x, g.VerticalTop));
    for (float y : g.Y) p.drawLine(P(g.HorizontalX1, y), P(g.HorizontalX2, y));
    p.drawLine(P(g.HorizontalX1, g.BottomY), P(g.BottomX2, g.BottomY));

    const double h = TextHeightTwips(p);
    p.setPen(Qt::black);
    constexpr double kFrequencyLabelTop = 6960;
    TextAt(p, g.X[0] - TextWidthTwips(p, kFirstFrequencyLabel) / 2, kFrequencyLabelTop, kFirstFrequencyLabel);
    for (const GridTick& t : FrequencyTicks(g)) TextAt(p, t.Pos - TextWidthTwips(p, t.Text) / 2, kFrequencyLabelTop, t.Text);
    p.setPen(QColor(0, 0, 192));
    // Right-aligned just left of the grid, so the widest text never runs into it.
    for (const GridTick& t : GainTicks(g)) TextAt(p, g.X[0] - 30 - TextWidthTwips(p, t.Text), t.Pos - h / 2, t.Text);
    p.setPen(QColor(0, 192, 0));
    for (const GridTick& t : PhaseTicks(g)) TextAt(p, PhaseLabelLeft(g), t.Pos - h / 2, t.Text);

    if (logic_.FilterMarksVisible) {
        const QColor range(160, 0, 160);
        p.setPen(QPen(range, 3));
        p.drawLine(P(plot.PoleZero.X1, g.BottomY), P(plot.PoleZero.X2, g.BottomY));
        p.drawLine(P(plot.Gains.LFX, plot.Gains.LFY1), P(plot.Gains.LFX, plot.Gains.LFY2));
        const QString pole = QStringLiteral("Pole/Zero Frequency Range");
        TextAt(p, plot.PoleZero.Centre() - TextWidthTwips(p, pole) / 2, g.BottomY - h - 20, pole);
        TextAt(p, plot.Gains.LFLabelLeft, plot.Gains.LFLabelTop, QStringLiteral("LF Gain Range"));

        p.setPen(QPen(Rgb(kAsymptoteColor), 2));
        Line(p, m.lnIstSlope);
        Line(p, m.LnHor1);
        Line(p, m.ln2ndSlope);
        Line(p, m.LnHor2);
        p.setRenderHint(QPainter::Antialiasing, true);
        Marker(p, m.shpPole, kPoleColor);
        Marker(p, m.shpZero, kZeroColor);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(range, 3));
        p.drawLine(P(plot.Gains.HFX, plot.Gains.HFY1), P(plot.Gains.HFX, plot.Gains.HFY2));
        const QString hf = QStringLiteral("HF Gain Range");
        TextAt(p, plot.Gains.HFX - TextWidthTwips(p, hf) - 50, plot.Gains.HFLabelTop, hf);
    }
    if (logic_.CaptionsVisible) {
        p.setPen(Qt::black);
        Caption(p, m.lblPolePos);
        Caption(p, m.lblZeroPos);
        Caption(p, m.lblLowGainPos);
    }
}

void BodeCanvas::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position() * kTwipsPerPixel;
    emit mousePressedAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

// The second click of a quick pair is a click of its own: it drops what the first one grabbed.
void BodeCanvas::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void BodeCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position() * kTwipsPerPixel;
    emit mouseMovedTo(static_cast<float>(at.x()), static_cast<float>(at.y()));
}
