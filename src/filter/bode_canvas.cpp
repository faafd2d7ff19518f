#include "filter/bode_canvas.h"

#include "core/twips.h"
#include "filter/dig_filter_logic.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr double kFarPixels = 1e6;  // values far outside the picture are drawn as far, not as huge

QPointF P(double X, double Y) {
    return {std::clamp(X / TwipsPerPixel(), -kFarPixels, kFarPixels), std::clamp(Y / TwipsPerPixel(), -kFarPixels, kFarPixels)};
}

QColor Rgb(uint32_t c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

void Line(QPainter& p, const PlotLine& l) { p.drawLine(P(l.X1, l.Y1), P(l.X2, l.Y2)); }

// Text with its top-left corner at (left, top) twips.
void TextAt(QPainter& p, double left, double top, const QString& text) {
    const QFontMetricsF fm(p.font());
    p.drawText(P(left, top) + QPointF(0, fm.ascent()), text);
}

void Marker(QPainter& p, const MarkerShape& s, uint32_t color) {
    p.setPen(QPen(Rgb(color), 1));
    p.setBrush(Rgb(color));
    p.drawEllipse(QRectF(P(s.Left, s.Top), P(s.Left + s.Width, s.Top + s.Height)));
    p.setBrush(Qt::NoBrush);
}

PlotBox MarkerBox(const MarkerShape& s) { return {s.Left, s.Top, s.Width, s.Height}; }

// Pens in pixels of the design font; they grow with the layout like everything else.
constexpr double kAsymptotePen = 2, kRangePen = 3;
double PenWidth(double designPixels) { return designPixels * LayoutScale(); }

const QColor kRangeColor(160, 0, 160);
const QString kHFLabel = QStringLiteral("HF Gain Range");
const QString kPoleZeroLabel = QStringLiteral("Pole/Zero Frequency Range");
const QString kLFLabel = QStringLiteral("LF Gain Range");
// Gain labels end this far left of the grid, clear of the LF range line on its left edge.
constexpr double kGainLabelGap = 60;
// The pole/zero range label stands this far above its line.
constexpr double kPoleZeroLabelGap = 60;
constexpr double kFrequencyLabelTop = 6960;

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

// Where a polyline turns, the pixels ahead of the line through the corner halfway between the two
// directions belong to the later segment, the others to the earlier one: each pixel is blended once.
// Row y meets that line at column At + y * PerRow (pixel indices, centres at +0.5). Both segments
// ask the same edge, so they split every row at the same column.
struct Edge {
    double At = 0, PerRow = 0;
    int Sign = 0;  // +1: ahead are the columns right of it, -1: left of it, 0: it runs along the rows
    double My = 0, Y = 0;
};

// Clamped before the cast, a NaN to the low end: no value reaches int outside its range.
double IntRange(double x) { return x >= -1e9 ? std::min(x, 1e9) : -1e9; }
int Floor(double x) {
    x = IntRange(x);
    const int i = static_cast<int>(x);
    return i - (x < i);
}
int Ceil(double x) {
    x = IntRange(x);
    const int i = static_cast<int>(x);
    return i + (x > i);
}

// The line through (x, y) across the mean direction (mx, my), "ahead" meaning along it.
Edge JointEdge(double x, double y, double mx, double my) {
    Edge e;
    e.My = my, e.Y = y;
    // Along the rows also when mx is so small (a denormal, say) that the slope would overflow.
    if (std::abs(mx) <= 1e-12 * std::abs(my)) return e;
    // mx * (col + 0.5 - x) + my * (row + 0.5 - y) = 0
    e.PerRow = -my / mx;
    e.At = x - 0.5 - my * (0.5 - y) / mx;
    e.Sign = mx > 0 ? 1 : -1;
    return e;
}

// Narrows [lo, hi] to the columns of the row ahead of (or behind) the edge.
void KeepSide(const Edge& e, int y, bool ahead, int& lo, int& hi) {
    if (e.Sign == 0) {
        if ((e.My * (y + 0.5 - e.Y) >= 0) != ahead) hi = lo - 1;
        return;
    }
    const double at = e.At + y * e.PerRow;
    if (e.Sign > 0) {
        const int first = Ceil(at);  // the first column ahead
        if (ahead) lo = std::max(lo, first);
        else hi = std::min(hi, first - 1);
    } else {
        const int last = Floor(at);
        if (ahead) hi = std::min(hi, last);
        else lo = std::max(lo, last + 1);
    }
}

// A band k . (p - a) within (-r, r) of direction k = (kx, ky): the columns it spans in each row,
// at From + y * PerRow to To + y * PerRow, or the rows it holds when it runs along them.
struct Band {
    double From = 0, To = 0, PerRow = 0;
    bool Rows = false;  // kx is 0: the band holds whole rows
    double Ky = 0, Ay = 0, R = 0;
};

Band MakeBand(double kx, double ky, QPointF a, double offset, double r) {
    Band b;
    if (std::abs(kx) < 1e-12) {
        b.Rows = true, b.Ky = ky, b.Ay = a.y() + (ky != 0 ? offset / ky : 0), b.R = r;
        return b;
    }
    // kx * (col + 0.5 - ax) + ky * (row + 0.5 - ay) - offset = +-r
    b.PerRow = -ky / kx;
    const double base = a.x() - 0.5 + (offset - ky * (0.5 - a.y())) / kx;
    b.From = base - r / std::abs(kx);
    b.To = base + r / std::abs(kx);
    return b;
}

void KeepBand(const Band& b, int y, int& lo, int& hi) {
    if (b.Rows) {
        if (!(std::abs(b.Ky * (y + 0.5 - b.Ay)) < b.R)) hi = lo - 1;
        return;
    }
    lo = std::max(lo, Floor(b.From + y * b.PerRow));
    hi = std::min(hi, Ceil(b.To + y * b.PerRow));
}

// Pens wider than this draw as this wide: it covers any picture many times over.
constexpr double kMaxPenWidth = 1e6;
// How far beyond the clip a curve is followed: farther than any pen reaches, near enough that
// every figure of the rasteriser stays far inside the ranges of double and int.
constexpr double kCurveReach = 4e6;

struct CurveBox {
    double Left, Top, Right, Bottom;
    bool Holds(QPointF p) const { return p.x() >= Left && p.x() <= Right && p.y() >= Top && p.y() <= Bottom; }
    double Side(int i) const { return i == 0 ? Left : i == 1 ? Right : i == 2 ? Top : Bottom; }
};

// The point at t along a to b, with h = b / 2 - a / 2: from the nearer end, so that nothing
// overflows where b - a would. On the box edge `edge` that coordinate is the edge's own.
QPointF PointAlong(QPointF a, QPointF b, QPointF h, double t, const CurveBox& box, int edge) {
    QPointF p = t <= 0.5 ? a + (2 * t) * h : b - (2 * (1 - t)) * h;
    if (edge == 0 || edge == 1) p.setX(box.Side(edge));
    if (edge == 2 || edge == 3) p.setY(box.Side(edge));
    return {std::clamp(p.x(), box.Left, box.Right), std::clamp(p.y(), box.Top, box.Bottom)};
}

// The part of segment a-b in the box, for any finite ends (Liang-Barsky on half the difference,
// which cannot overflow). Where an end is cut it lands on the box; where the ends are so far
// apart that double cannot place the part, it is as near as double allows.
bool CutToBox(QPointF& a, QPointF& b, const CurveBox& box) {
    const QPointF h(b.x() / 2 - a.x() / 2, b.y() / 2 - a.y() / 2);
    double t0 = 0, t1 = 1;
    int in = -1, out = -1;
    const double p[4] = {-h.x(), h.x(), -h.y(), h.y()};
    const double q[4] = {a.x() - box.Left, box.Right - a.x(), a.y() - box.Top, box.Bottom - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / 2 / p[i];  // finite or infinite, never NaN
        if (p[i] < 0 && t > t0) t0 = t, in = i;
        if (p[i] > 0 && t < t1) t1 = t, out = i;
        if (t0 > t1) return false;
    }
    const QPointF from = in < 0 ? a : PointAlong(a, b, h, t0, box, in);
    const QPointF to = out < 0 ? b : PointAlong(a, b, h, t1, box, out);
    a = from, b = to;
    return true;
}

// One unbroken polyline of at least two points (two equal points: a dot), within kCurveReach of
// the clip, half its pen's width at most kMaxPenWidth / 2.
void DrawRun(QImage& image, int clipLeft, int clipTop, int clipRight, int clipBottom, const std::vector<QPointF>& pts,
             uint32_t rgb, double half) {
    const size_t segments = pts.size() - 1;
    std::vector<QPointF> dir(segments);
    std::vector<double> length(segments);
    for (size_t i = 0; i < segments; ++i) {
        const QPointF d = pts[i + 1] - pts[i];
        length[i] = std::hypot(d.x(), d.y());
        dir[i] = length[i] > 0 ? d / length[i] : QPointF(1, 0);
    }
    std::vector<Edge> joints(pts.size());  // at the inner points
    for (size_t i = 1; i + 1 < pts.size(); ++i) {
        QPointF m = dir[i - 1] + dir[i];
        if (std::abs(m.x()) + std::abs(m.y()) < 1e-9) m = dir[i];  // turning back
        joints[i] = JointEdge(pts[i].x(), pts[i].y(), m.x(), m.y());
    }

    const int cr = (rgb >> 16) & 0xFF, cg = (rgb >> 8) & 0xFF, cb = rgb & 0xFF;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();

    for (size_t i = 0; i < segments; ++i) {
        const QPointF a = pts[i], u = dir[i];
        const double len = length[i], ux = u.x(), uy = u.y(), nx = -uy, ny = ux;
        const bool startCap = i == 0, endCap = i + 1 == segments;
        // One pixel's width across the edge: the ramp of the antialiasing, the same along and across.
        const double footprint = std::abs(ux) + std::abs(uy);
        const double reach = half + footprint / 2;  // no coverage beyond
        const double top = (0.5 + half / footprint) * 255 + 0.5, slope = 255 / footprint;
        // Across: |n . (p - a)| < reach; along: u . (p - a) within [-reach, len + reach].
        const Band across = MakeBand(nx, ny, a, 0, reach), along = MakeBand(ux, uy, a, len / 2, len / 2 + reach);
        const double corner = reach * footprint;  // how far the band's corners stand above and below its ends
        const double yMin = std::min(a.y(), pts[i + 1].y()) - corner, yMax = std::max(a.y(), pts[i + 1].y()) + corner;
        const int y0 = std::max(clipTop, Floor(yMin)), y1 = std::min(clipBottom - 1, Ceil(yMax));
        for (int y = y0; y <= y1; ++y) {
            const double ry = y + 0.5 - a.y();
            int lo = clipLeft, hi = clipRight - 1;
            KeepBand(across, y, lo, hi);
            KeepBand(along, y, lo, hi);
            if (!startCap) KeepSide(joints[i], y, true, lo, hi);
            if (!endCap) KeepSide(joints[i + 1], y, false, lo, hi);
            if (lo > hi) continue;
            auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
            // The distance across, in coverage steps, moves by the same amount from pixel to pixel.
            const double rx0 = lo + 0.5 - a.x();
            double acrossAt = (nx * rx0 + ny * ry) * slope, alongAt = (ux * rx0 + uy * ry) * slope;
            const double acrossStep = nx * slope, alongStep = ux * slope, lenAt = len * slope;
            for (int x = lo; x <= hi; ++x, acrossAt += acrossStep, alongAt += alongStep) {
                double c = top - std::abs(acrossAt);
                if (startCap) c = std::min(c, top + alongAt);
                if (endCap) c = std::min(c, top + lenAt - alongAt);
                if (!(c >= 1)) continue;
                const int alpha = static_cast<int>(std::min(c, 255.0));  // limited before the cast
                const QRgb o = row[x];
                auto mix = [alpha](int from, int to) { return (from * (255 - alpha) + to * alpha + 127) / 255; };
                row[x] = qRgb(mix(qRed(o), cr), mix(qGreen(o), cg), mix(qBlue(o), cb));
            }
        }
    }
}

}  // namespace

// An antialiased polyline with square ends, its pixels' coverage falling off linearly across the
// pixel's own width from the edge of the ideal stroke: what a stroker and a fill would draw, without
// building the outline. Any doubles are taken: points that are not finite are left out, a clip or
// pen that is not a number draws nothing, and what lies farther beyond the clip than any pen
// reaches is cut off there.
void DrawCurve(QImage& image, const QRectF& clip, const std::vector<QPointF>& input, uint32_t rgb, double width) {
    if (image.isNull() || image.format() != QImage::Format_RGB32) return;
    if (!(width >= 0)) return;
    const double half = std::min(width, kMaxPenWidth) / 2;
    const double left = clip.left(), top = clip.top(), right = clip.right(), bottom = clip.bottom();
    if (std::isnan(left) || std::isnan(top) || std::isnan(right) || std::isnan(bottom)) return;
    // The clip within the picture, so the clip and everything measured from it stay small.
    const double w = image.width(), h = image.height();
    const CurveBox inside{std::clamp(left, 0.0, w), std::clamp(top, 0.0, h), std::clamp(right, 0.0, w),
                     std::clamp(bottom, 0.0, h)};
    const CurveBox far{inside.Left - kCurveReach, inside.Top - kCurveReach, inside.Right + kCurveReach,
                  inside.Bottom + kCurveReach};
    const int clipLeft = Floor(inside.Left), clipTop = Floor(inside.Top);
    const int clipRight = Ceil(inside.Right), clipBottom = Ceil(inside.Bottom);
    if (clipLeft >= clipRight || clipTop >= clipBottom) return;

    std::vector<QPointF> pts;
    pts.reserve(input.size());
    for (const QPointF& at : input)
        if (std::isfinite(at.x()) && std::isfinite(at.y()) && (pts.empty() || at != pts.back())) pts.push_back(at);  // as a path skips it
    if (pts.empty()) return;
    if (pts.size() == 1) {  // a square of the pen's width
        if (far.Holds(pts.front())) DrawRun(image, clipLeft, clipTop, clipRight, clipBottom, {pts[0], pts[0]}, rgb, half);
        return;
    }
    // Where the curve goes beyond the far box it is cut at the box, and starts anew where it comes back.
    std::vector<QPointF> run;
    auto flush = [&] {
        if (run.size() >= 2) DrawRun(image, clipLeft, clipTop, clipRight, clipBottom, run, rgb, half);
        run.clear();
    };
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        QPointF a = pts[i], b = pts[i + 1];
        const bool aHeld = far.Holds(a), bHeld = far.Holds(b);
        if (!(aHeld && bHeld) && !CutToBox(a, b, far)) {
            flush();
            continue;
        }
        if (!aHeld) flush();
        if (run.empty()) run.push_back(a);
        if (b != run.back()) run.push_back(b);
        if (!bHeld) flush();
    }
    flush();
}

namespace {

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

QLineF Pixels(const PlotLine& l) { return {P(l.X1, l.Y1), P(l.X2, l.Y2)}; }
QRectF Pixels(const PlotBox& b) { return {P(b.Left, b.Top), P(b.Right(), b.Bottom())}; }

}  // namespace

BodeCanvas::BodeCanvas(const DigFilterLogic& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("pctFilter"));
    setMouseTracking(true);  // click to grab, then move with no button held
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the kept layer
    setGeometry(TwipsToPixels(kPlotLeft), TwipsToPixels(kPlotTop), TwipsToPixels(kPlotWidth), TwipsToPixels(kPlotHeight));
    // The plot's small print, grown with the layout so that it keeps its place among the lines.
    QFont f = font();
    f.setPointSizeF(7 * LayoutScale());
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
    // Captions step aside from the marks, so where they stand depends on the marks as well.
    return !(t.MarksVisible || t.CaptionsVisible) ||
           (Same(a.shpPole, b.shpPole) && Same(a.shpZero, b.shpZero) && Same(a.lnIstSlope, b.lnIstSlope) &&
            Same(a.LnHor1, b.LnHor1) && Same(a.ln2ndSlope, b.ln2ndSlope) && Same(a.LnHor2, b.LnHor2) &&
            SameHF(s.Gains, t.Gains));
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

double BodeCanvas::TextWidth(const QString& text) const {
    return QFontMetricsF(font()).horizontalAdvance(text) * TwipsPerPixel();
}

double BodeCanvas::TextHeight() const { return QFontMetricsF(font()).height() * TwipsPerPixel(); }

PlotBox BodeCanvas::BoxOf(const PlotText& t) const { return {t.Left, t.Top, TextWidth(t.Text), TextHeight()}; }

PlotLine BodeCanvas::BottomLine() const {
    const BodeGrid& g = logic_.Plot.Grid;
    return {g.HorizontalX1, g.BottomY, g.BottomX2, g.BottomY};
}

std::vector<BodeCanvas::PlotText> BodeCanvas::TickTexts() const {
    const BodeGrid& g = logic_.Plot.Grid;
    const double h = TextHeight();
    std::vector<PlotText> out;
    out.push_back({kFirstFrequencyLabel, g.X[0] - TextWidth(kFirstFrequencyLabel) / 2, kFrequencyLabelTop, Qt::black});
    for (const GridTick& t : FrequencyTicks(g))
        out.push_back({t.Text, t.Pos - TextWidth(t.Text) / 2, kFrequencyLabelTop, Qt::black});
    // Right-aligned just left of the grid, so the widest text never runs into it.
    for (const GridTick& t : GainTicks(g))
        out.push_back({t.Text, g.X[0] - kGainLabelGap - TextWidth(t.Text), t.Pos - h / 2, QColor(0, 0, 192)});
    for (const GridTick& t : PhaseTicks(g))
        out.push_back({t.Text, PhaseLabelLeft(g), t.Pos - h / 2, QColor(0, 192, 0)});
    return out;
}

std::vector<BodeCanvas::PlotText> BodeCanvas::RangeTexts() const {
    if (!logic_.FilterMarksVisible) return {};
    const MarkerPlot& plot = logic_.Plot;
    const double h = TextHeight();
    // The LF label lies under the gain label of its line's lower end, whose height is the font's.
    const double lfTop = std::max<double>(plot.Gains.LFLabelTop, plot.Gains.LFY2 + h / 2 + kCaptionTextGap);
    const double poleZeroLeft = plot.PoleZero.Centre() - TextWidth(kPoleZeroLabel) / 2;
    return {{kPoleZeroLabel, poleZeroLeft, plot.Grid.BottomY - h - kPoleZeroLabelGap, kRangeColor},
            {kLFLabel, plot.Gains.LFLabelLeft, lfTop, kRangeColor}};
}

std::vector<PlotLine> BodeCanvas::StillMarks() const {
    if (!logic_.FilterMarksVisible) return {};
    const MarkerPlot& plot = logic_.Plot;
    const float bottom = plot.Grid.BottomY;
    return {{plot.PoleZero.X1, bottom, plot.PoleZero.X2, bottom},
            {plot.Gains.LFX, plot.Gains.LFY1, plot.Gains.LFX, plot.Gains.LFY2}};
}

std::vector<PlotLine> BodeCanvas::MovingMarks(const MovingState& s) const {
    if (!s.MarksVisible) return {};
    const FilterMarkers& m = s.Markers;
    return {m.lnIstSlope, m.LnHor1, m.ln2ndSlope, m.LnHor2, {s.Gains.HFX, s.Gains.HFY1, s.Gains.HFX, s.Gains.HFY2}};
}

const std::vector<BodeCanvas::PlotText>& BodeCanvas::MovingTexts(const MovingState& s) const {
    const MarkerPlot& plot = logic_.Plot;
    if (placed_ && SameMoving(placed_->Moving, s) && Same(placed_->Grid, plot.Grid) &&
        Same(placed_->PoleZero, plot.PoleZero) && SameLF(placed_->Gains, plot.Gains) && placed_->Font == font())
        return placed_->Texts;
    placed_ = Placed{s, plot.Grid, plot.PoleZero, plot.Gains, font(), PlaceMovingTexts(s)};
    return placed_->Texts;
}

std::vector<BodeCanvas::PlotText> BodeCanvas::PlaceMovingTexts(const MovingState& s) const {
    std::vector<PlotText> out;
    if (!s.MarksVisible && !s.CaptionsVisible) return out;
    const BodeGrid& g = logic_.Plot.Grid;
    const FilterMarkers& m = s.Markers;
    const double h = TextHeight();

    // What the captions must keep clear of: the marks, the range labels and the markers.
    PlotObstacles o;
    o.Lines = StillMarks();
    o.Lines.push_back(BottomLine());
    for (const PlotLine& l : MovingMarks(s)) o.Lines.push_back(l);
    for (const PlotText& t : RangeTexts()) o.Boxes.push_back(BoxOf(t));
    if (s.MarksVisible) {
        o.Boxes.push_back(MarkerBox(m.shpPole));
        o.Boxes.push_back(MarkerBox(m.shpZero));
    }
    const double x0 = g.X[0], xr = g.X[kVerticalGridLines - 1];
    o.Bounds = {x0 + kCaptionClearance, 0, xr - x0 - 2 * kCaptionClearance, g.BottomY - kCaptionClearance};
    auto place = [&](const QString& text, const std::vector<PlotBox>& places, const QColor& color) {
        const PlotBox b = FirstClear(places, o);
        o.Boxes.push_back(b);
        out.push_back({text, b.Left, b.Top, color});
    };
    if (s.MarksVisible) place(kHFLabel, HFLabelPlaces(s.Gains, TextWidth(kHFLabel), h), kRangeColor);
    if (s.CaptionsVisible) {
        // The integrator's caption has the fewest places to go: it goes first.
        const MarkerCaption& low = m.lblLowGainPos;
        place(low.Text, LowGainCaptionPlaces(low, TextWidth(low.Text), h), Qt::black);
        for (auto [c, marker] : {std::pair{&m.lblZeroPos, &m.shpZero}, std::pair{&m.lblPolePos, &m.shpPole}})
            place(c->Text, MarkerCaptionPlaces(*c, *marker, TextWidth(c->Text), h), Qt::black);
    }
    return out;
}

QRegion BodeCanvas::MovingRegion(const MovingState& s) const {
    QRegion r;
    const QRectF bounds = QRectF(rect()).adjusted(-4, -4, 4, 4);
    const FilterMarkers& m = s.Markers;
    const double pad = PenWidth(4);  // past the widest pen's half, and its antialiasing
    if (s.MarksVisible) {
        for (const PlotLine& l : MovingMarks(s)) AddLine(r, bounds, P(l.X1, l.Y1), P(l.X2, l.Y2), pad);
        for (const MarkerShape* sh : {&m.shpPole, &m.shpZero})
            r += Padded(QRectF(P(sh->Left, sh->Top), P(sh->Left + sh->Width, sh->Top + sh->Height)), pad);
    }
    for (const PlotText& t : MovingTexts(s)) r += Padded(Pixels(BoxOf(t)), pad);
    return r & rect();
}

void BodeCanvas::DrawStillLayer() {
    stillDrawn_ = CurrentStill();
    const qreal ratio = stillDrawn_.PixelRatio;
    const QSize device(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
    if (still_.size() != device || still_.devicePixelRatio() != ratio) {
        still_ = QImage(device, QImage::Format_RGB32);
        still_.setDevicePixelRatio(ratio);
    }
    still_.fill(Qt::white);
    stillValid_ = true;

    // The curves lie under everything else, as drawing under the picture's controls.
    const QRectF clip(0, 0, width() * ratio, height() * ratio);
    std::vector<QPointF> points;
    for (const BodeCurve& c : logic_.Curves) {
        points.clear();
        for (const PlotPoint& pt : c.Points) points.push_back(P(pt.X, pt.Y) * ratio);
        DrawCurve(still_, clip, points, c.Color, PenWidth(kCurvePenWidth) * ratio);
    }

    QPainter p(&still_);
    p.setFont(font());
    p.setClipRect(rect());
    const BodeGrid& g = logic_.Plot.Grid;

    p.setPen(QPen(QColor(128, 128, 128), 1));
    for (float x : g.X) p.drawLine(P(x, g.BottomY), P(x, g.VerticalTop));
    for (float y : g.Y) p.drawLine(P(g.HorizontalX1, y), P(g.HorizontalX2, y));
    p.drawLine(P(g.HorizontalX1, g.BottomY), P(g.BottomX2, g.BottomY));

    p.setPen(QPen(kRangeColor, PenWidth(kRangePen)));
    for (const PlotLine& l : StillMarks()) Line(p, l);
    for (const auto& texts : {TickTexts(), RangeTexts()})
        for (const PlotText& t : texts) {
            p.setPen(t.Color);
            TextAt(p, t.Left, t.Top, t.Text);
        }
}

void BodeCanvas::PaintMovingLayer(QPainter& p) const {
    const MovingState s = CurrentMoving();
    const FilterMarkers& m = s.Markers;
    if (s.MarksVisible) {
        const std::vector<PlotLine> marks = MovingMarks(s);
        p.setPen(QPen(Rgb(kAsymptoteColor), PenWidth(kAsymptotePen)));
        for (size_t i = 0; i + 1 < marks.size(); ++i) Line(p, marks[i]);
        p.setRenderHint(QPainter::Antialiasing, true);
        Marker(p, m.shpPole, kPoleColor);
        Marker(p, m.shpZero, kZeroColor);
        p.setRenderHint(QPainter::Antialiasing, false);
        // The HF range stays in front of the pole that moves within it.
        p.setPen(QPen(kRangeColor, PenWidth(kRangePen)));
        Line(p, marks.back());
    }
    for (const PlotText& t : MovingTexts(s)) {
        p.setPen(t.Color);
        TextAt(p, t.Left, t.Top, t.Text);
    }
}

QList<PaintedCaption> BodeCanvas::Captions() const {
    QList<PaintedCaption> out;
    for (const auto& texts : {TickTexts(), RangeTexts(), MovingTexts(CurrentMoving())})
        for (const PlotText& t : texts) out.push_back({t.Text, Pixels(BoxOf(t))});
    return out;
}

QList<QLineF> BodeCanvas::Lines() const {
    QList<QLineF> out{Pixels(BottomLine())};
    for (const PlotLine& l : StillMarks()) out.push_back(Pixels(l));
    for (const PlotLine& l : MovingMarks(CurrentMoving())) out.push_back(Pixels(l));
    return out;
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
            p.drawImage(r, still_, QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    } else {
        p.drawImage(0, 0, still_);
    }
    PaintMovingLayer(p);

    // Only ever added here, also when painting elsewhere (a grab): the screen may show it later.
    MovingState shown = CurrentMoving();
    if (!movingKnown_ || !SameMoving(movingScheduled_, shown)) movingOnScreen_ |= MovingRegion(shown);
}

void BodeCanvas::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position() * TwipsPerPixel();
    emit mousePressedAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

// The second press of a double click is part of the same click: it neither drops nor grabs.
void BodeCanvas::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void BodeCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position() * TwipsPerPixel();
    emit mouseMovedTo(static_cast<float>(at.x()), static_cast<float>(at.y()));
}
