#include "filter/bode_canvas.h"

#include "core/twips.h"
#include "filter/dig_filter_logic.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

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

double TextWidthTwips(const QFont& f, const QString& text) { return QFontMetricsF(f).horizontalAdvance(text) * kTwipsPerPixel; }
double TextWidthTwips(const QPainter& p, const QString& text) { return TextWidthTwips(p.font(), text); }

double TextHeightTwips(const QPainter& p) { return QFontMetricsF(p.font()).height() * kTwipsPerPixel; }

double CaptionLeft(const QFont& f, const MarkerCaption& c) { return c.Centred ? c.X - TextWidthTwips(f, c.Text) / 2 : c.X; }

void Caption(QPainter& p, const MarkerCaption& c) { TextAt(p, CaptionLeft(p.font(), c), c.Bottom - kCaptionHeight, c.Text); }

void Marker(QPainter& p, const MarkerShape& s, uint32_t color) {
    p.setPen(QPen(Rgb(color), 1));
    p.setBrush(Rgb(color));
    p.drawEllipse(QRectF(P(s.Left, s.Top), P(s.Left + s.Width, s.Top + s.Height)));
    p.setBrush(Qt::NoBrush);
}

const QColor kRangeColor(160, 0, 160);
const QString kHFLabel = QStringLiteral("HF Gain Range");

// Equal to the bit, so a NaN compares equal to itself and the kept layer is not redrawn for it.
bool Same(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

template <size_t N>
bool Same(const std::array<float, N>& a, const std::array<float, N>& b) {
    return std::memcmp(a.data(), b.data(), sizeof(float) * N) == 0;
}

bool Same(const BodeGrid& a, const BodeGrid& b) {
    const BodeScale &s = a.Scale, &t = b.Scale;
    return s.dBPerDiv == t.dBPerDiv && s.dBMin == t.dBMin && s.dB0Index == t.dB0Index && s.degPerDiv == t.degPerDiv &&
           s.degMin == t.degMin && s.deg0Index == t.deg0Index && Same(a.Width, b.Width) && Same(a.X, b.X) &&
           Same(a.VerticalTop, b.VerticalTop) && Same(a.Y, b.Y) && Same(a.HorizontalX1, b.HorizontalX1) &&
           Same(a.HorizontalX2, b.HorizontalX2) && Same(a.BottomY, b.BottomY) && Same(a.BottomX2, b.BottomX2);
}

bool Same(const std::vector<BodeCurve>& a, const std::vector<BodeCurve>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const BodeCurve &c = a[i], &d = b[i];
        if (c.Kind != d.Kind || c.Color != d.Color || c.Points.size() != d.Points.size()) return false;
        static_assert(sizeof(PlotPoint) == 2 * sizeof(float));
        if (!c.Points.empty() && std::memcmp(c.Points.data(), d.Points.data(), c.Points.size() * sizeof(PlotPoint)) != 0)
            return false;
    }
    return true;
}

bool Same(const PoleZeroRange& a, const PoleZeroRange& b) { return Same(a.X1, b.X1) && Same(a.X2, b.X2); }

bool SameLF(const GainRanges& a, const GainRanges& b) {
    return Same(a.LFX, b.LFX) && Same(a.LFY1, b.LFY1) && Same(a.LFY2, b.LFY2) && Same(a.LFLabelTop, b.LFLabelTop) &&
           Same(a.LFLabelLeft, b.LFLabelLeft);
}

bool SameHF(const GainRanges& a, const GainRanges& b) {
    return Same(a.HFX, b.HFX) && Same(a.HFY1, b.HFY1) && Same(a.HFY2, b.HFY2) && Same(a.HFLabelTop, b.HFLabelTop);
}

bool Same(const MarkerShape& a, const MarkerShape& b) {
    return Same(a.Left, b.Left) && Same(a.Top, b.Top) && Same(a.Width, b.Width) && Same(a.Height, b.Height);
}

bool Same(const PlotLine& a, const PlotLine& b) {
    return Same(a.X1, b.X1) && Same(a.Y1, b.Y1) && Same(a.X2, b.X2) && Same(a.Y2, b.Y2);
}

bool Same(const MarkerCaption& a, const MarkerCaption& b) {
    return a.Text == b.Text && Same(a.X, b.X) && Same(a.Bottom, b.Bottom) && a.Centred == b.Centred;
}

// The part of a segment inside the box, if any (Liang-Barsky).
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF a0 = a;
    a = a0 + t0 * QPointF(dx, dy);
    b = a0 + t1 * QPointF(dx, dy);
    return true;
}

QRect Padded(const QRectF& r, double pad) { return r.normalized().adjusted(-pad, -pad, pad, pad).toAlignedRect(); }

// A thin line as a few boxes along it, so a sloping asymptote does not claim its whole bounding box.
void AddLine(QRegion& region, const QRectF& bounds, QPointF a, QPointF b, double pad) {
    if (!ClipSegment(a, b, bounds)) return;
    constexpr double kPiece = 12;  // pixels across the line's shorter extent per box
    const double minor = std::min(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
    const int n = std::clamp(static_cast<int>(std::ceil(minor / kPiece)), 1, 128);
    for (int i = 0; i < n; ++i) {
        const QPointF from = a + (b - a) * (static_cast<double>(i) / n);
        const QPointF to = a + (b - a) * (static_cast<double>(i + 1) / n);
        region += Padded(QRectF(from, to), pad);
    }
}

void AddText(QRegion& region, const QFont& f, double left, double top, const QString& text) {
    const QFontMetricsF fm(f);
    const QPointF at = P(left, top);
    region += Padded(QRectF(at.x(), at.y(), fm.horizontalAdvance(text), fm.height()), 3);
}

}  // namespace

BodeCanvas::BodeCanvas(const DigFilterLogic& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("pctFilter"));
    setMouseTracking(true);  // click to grab, then move with no button held
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the kept layer
    setGeometry(TwipsToPixels(kPlotLeft), TwipsToPixels(kPlotTop), TwipsToPixels(kPlotWidth), TwipsToPixels(kPlotHeight));
    QFont f = font();
    f.setPointSizeF(7);
    setFont(f);
}

BodeCanvas::StillState BodeCanvas::CurrentStill() const {
    return {logic_.Curves, logic_.Plot.Grid, logic_.Plot.PoleZero, logic_.Plot.Gains, logic_.FilterMarksVisible,
            size(), devicePixelRatioF(), font()};
}

BodeCanvas::MovingState BodeCanvas::CurrentMoving() const {
    return {logic_.Plot.Markers, logic_.Plot.Gains, logic_.FilterMarksVisible, logic_.CaptionsVisible};
}

bool BodeCanvas::CacheIsCurrent() const {
    if (!stillValid_) return false;
    const StillState& d = stillDrawn_;
    const MarkerPlot& plot = logic_.Plot;
    return d.MarksVisible == logic_.FilterMarksVisible && d.Size == size() && d.PixelRatio == devicePixelRatioF() &&
           Same(d.Grid, plot.Grid) && Same(d.PoleZero, plot.PoleZero) && SameLF(d.Gains, plot.Gains) &&
           d.Font == font() && Same(d.Curves, logic_.Curves);
}

void BodeCanvas::InvalidateCache() {
    stillValid_ = false;
    update();
}

bool BodeCanvas::SameMoving(const MovingState& s, const MovingState& t) {
    const FilterMarkers &a = s.Markers, &b = t.Markers;
    if (s.CaptionsVisible != t.CaptionsVisible || s.MarksVisible != t.MarksVisible) return false;
    if (t.CaptionsVisible &&
        !(Same(a.lblPolePos, b.lblPolePos) && Same(a.lblZeroPos, b.lblZeroPos) && Same(a.lblLowGainPos, b.lblLowGainPos)))
        return false;
    return !t.MarksVisible || (Same(a.shpPole, b.shpPole) && Same(a.shpZero, b.shpZero) &&
                               Same(a.lnIstSlope, b.lnIstSlope) && Same(a.LnHor1, b.LnHor1) &&
                               Same(a.ln2ndSlope, b.ln2ndSlope) && Same(a.LnHor2, b.LnHor2) && SameHF(s.Gains, t.Gains));
}

void BodeCanvas::Refresh() {
    MovingState now = CurrentMoving();
    const bool stillCurrent = CacheIsCurrent();
    if (stillCurrent && movingKnown_ && SameMoving(movingScheduled_, now)) return;
    const QRegion region = MovingRegion(now);
    if (stillCurrent)
        update(movingOnScreen_ | region);
    else
        update();
    // Once the scheduled paint has run, the moving layer stands only here.
    movingOnScreen_ = region;
    movingScheduled_ = std::move(now);
    movingKnown_ = true;
}

QRegion BodeCanvas::MovingRegion(const MovingState& s) const {
    QRegion r;
    const QRectF bounds = QRectF(rect()).adjusted(-4, -4, 4, 4);
    const FilterMarkers& m = s.Markers;
    if (s.MarksVisible) {
        for (const PlotLine* l : {&m.lnIstSlope, &m.LnHor1, &m.ln2ndSlope, &m.LnHor2})
            AddLine(r, bounds, P(l->X1, l->Y1), P(l->X2, l->Y2), 3);
        for (const MarkerShape* sh : {&m.shpPole, &m.shpZero})
            r += Padded(QRectF(P(sh->Left, sh->Top), P(sh->Left + sh->Width, sh->Top + sh->Height)), 3);
        AddLine(r, bounds, P(s.Gains.HFX, s.Gains.HFY1), P(s.Gains.HFX, s.Gains.HFY2), 4);
        AddText(r, font(), s.Gains.HFX - TextWidthTwips(font(), kHFLabel) - 50, s.Gains.HFLabelTop, kHFLabel);
    }
    if (s.CaptionsVisible)
        for (const MarkerCaption* c : {&m.lblPolePos, &m.lblZeroPos, &m.lblLowGainPos})
            AddText(r, font(), CaptionLeft(font(), *c), c->Bottom - kCaptionHeight, c->Text);
    return r & rect();
}

void BodeCanvas::DrawStillLayer() {
    stillDrawn_ = CurrentStill();
    const qreal ratio = stillDrawn_.PixelRatio;
    const QSize device(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
    if (still_.size() != device || still_.devicePixelRatio() != ratio) {
        still_ = QPixmap(device);
        still_.setDevicePixelRatio(ratio);
    }
    still_.fill(Qt::white);
    stillValid_ = true;

    QPainter p(&still_);
    p.setFont(font());
    p.setClipRect(rect());
    const MarkerPlot& plot = logic_.Plot;
    const BodeGrid& g = plot.Grid;

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
        p.setPen(QPen(kRangeColor, 3));
        p.drawLine(P(plot.PoleZero.X1, g.BottomY), P(plot.PoleZero.X2, g.BottomY));
        p.drawLine(P(plot.Gains.LFX, plot.Gains.LFY1), P(plot.Gains.LFX, plot.Gains.LFY2));
        const QString pole = QStringLiteral("Pole/Zero Frequency Range");
        TextAt(p, plot.PoleZero.Centre() - TextWidthTwips(p, pole) / 2, g.BottomY - h - 20, pole);
        TextAt(p, plot.Gains.LFLabelLeft, plot.Gains.LFLabelTop, QStringLiteral("LF Gain Range"));
    }
}

void BodeCanvas::PaintMovingLayer(QPainter& p) const {
    const MarkerPlot& plot = logic_.Plot;
    const FilterMarkers& m = plot.Markers;
    if (logic_.FilterMarksVisible) {
        p.setPen(QPen(Rgb(kAsymptoteColor), 2));
        Line(p, m.lnIstSlope);
        Line(p, m.LnHor1);
        Line(p, m.ln2ndSlope);
        Line(p, m.LnHor2);
        p.setRenderHint(QPainter::Antialiasing, true);
        Marker(p, m.shpPole, kPoleColor);
        Marker(p, m.shpZero, kZeroColor);
        p.setRenderHint(QPainter::Antialiasing, false);
        // The HF range stays in front of the pole that moves within it.
        p.setPen(QPen(kRangeColor, 3));
        p.drawLine(P(plot.Gains.HFX, plot.Gains.HFY1), P(plot.Gains.HFX, plot.Gains.HFY2));
        TextAt(p, plot.Gains.HFX - TextWidthTwips(p, kHFLabel) - 50, plot.Gains.HFLabelTop, kHFLabel);
    }
    if (logic_.CaptionsVisible) {
        p.setPen(Qt::black);
        Caption(p, m.lblPolePos);
        Caption(p, m.lblZeroPos);
        Caption(p, m.lblLowGainPos);
    }
}

void BodeCanvas::paintEvent(QPaintEvent* event) {
    if (!CacheIsCurrent()) DrawStillLayer();
    QPainter p(this);
    p.setClipRect(rect());
    // Rectangle by rectangle: one blit each, not one span-by-span copy through a ragged clip. At a
    // fractional pixel ratio a rectangle's edges fall between device pixels: one copy, clipped.
    const qreal ratio = still_.devicePixelRatio();
    if (ratio == std::floor(ratio)) {
        for (const QRect& r : event->region())
            p.drawPixmap(r, still_, QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    } else {
        p.drawPixmap(0, 0, still_);
    }
    PaintMovingLayer(p);

    // Only ever added here, also when painting elsewhere (a grab): the screen may show it later.
    MovingState shown = CurrentMoving();
    if (!movingKnown_ || !SameMoving(movingScheduled_, shown)) movingOnScreen_ |= MovingRegion(shown);
}

void BodeCanvas::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position() * kTwipsPerPixel;
    emit mousePressedAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

// The second press of a double click is part of the same click: it neither drops nor grabs.
void BodeCanvas::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void BodeCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position() * kTwipsPerPixel;
    emit mouseMovedTo(static_cast<float>(at.x()), static_cast<float>(at.y()));
}
