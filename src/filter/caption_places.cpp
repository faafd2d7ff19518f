#include "filter/caption_places.h"

#include <algorithm>

namespace {

PlotBox Grown(const PlotBox& b, double by) { return {b.Left - by, b.Top - by, b.Width + 2 * by, b.Height + 2 * by}; }

bool Inside(const PlotBox& b, double x, double y) { return b.Left < x && x < b.Right() && b.Top < y && y < b.Bottom(); }

bool Overlap(const PlotBox& a, const PlotBox& b) {
    return a.Left < b.Right() && b.Left < a.Right() && a.Top < b.Bottom() && b.Top < a.Bottom();
}

// The segments (a, b) and (c, d) cross or touch.
bool Cross(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy) {
    auto side = [](double px, double py, double qx, double qy, double rx, double ry) {
        const double v = (qx - px) * (ry - py) - (qy - py) * (rx - px);
        return (v > 0) - (v < 0);
    };
    const int s1 = side(ax, ay, bx, by, cx, cy), s2 = side(ax, ay, bx, by, dx, dy);
    const int s3 = side(cx, cy, dx, dy, ax, ay), s4 = side(cx, cy, dx, dy, bx, by);
    if (s1 * s2 > 0 || s3 * s4 > 0) return false;
    if (s1 == 0 && s2 == 0)  // on one line: do their extents meet?
        return std::max(std::min(ax, bx), std::min(cx, dx)) <= std::min(std::max(ax, bx), std::max(cx, dx)) &&
               std::max(std::min(ay, by), std::min(cy, dy)) <= std::min(std::max(ay, by), std::max(cy, dy));
    return true;
}

bool Meets(const PlotBox& b, const PlotLine& l) {
    if (Inside(b, l.X1, l.Y1) || Inside(b, l.X2, l.Y2)) return true;
    const double x[4] = {b.Left, b.Right(), b.Right(), b.Left}, y[4] = {b.Top, b.Top, b.Bottom(), b.Bottom()};
    for (int i = 0; i < 4; ++i)
        if (Cross(l.X1, l.Y1, l.X2, l.Y2, x[i], y[i], x[(i + 1) % 4], y[(i + 1) % 4])) return true;
    return false;
}

}  // namespace

bool IsClear(const PlotBox& box, const PlotObstacles& o) {
    const PlotBox& in = o.Bounds;
    if (box.Left < in.Left || box.Top < in.Top || box.Right() > in.Right() || box.Bottom() > in.Bottom()) return false;
    const PlotBox wide = Grown(box, kCaptionClearance);
    return std::none_of(o.Lines.begin(), o.Lines.end(), [&](const PlotLine& l) { return Meets(wide, l); }) &&
           std::none_of(o.Boxes.begin(), o.Boxes.end(), [&](const PlotBox& b) { return Overlap(wide, b); });
}

PlotBox FirstClear(const std::vector<PlotBox>& candidates, const PlotObstacles& o) {
    for (const PlotBox& b : candidates)
        if (IsClear(b, o)) return b;
    return candidates.empty() ? PlotBox{} : candidates.front();
}

double CaptionTop(double bottom, double textHeight) {
    return bottom - std::max<double>(kCaptionHeight, textHeight + kCaptionTextGap);
}

namespace {
constexpr int kSteps = 6;  // half a text height each, up and down
}

std::vector<PlotBox> MarkerCaptionPlaces(const MarkerCaption& c, const MarkerShape& marker, double width,
                                         double height) {
    const double centred = c.Centred ? c.X - width / 2 : c.X;
    const double lefts[3] = {centred, c.X + marker.Width / 2 - width, c.X - marker.Width / 2};
    const double above = CaptionTop(c.Bottom, height);
    const double below = marker.Top + marker.Height + 2 * kCaptionTextGap;
    std::vector<PlotBox> out;
    for (int k = 0; k <= kSteps; ++k)
        for (double top : {above - k * height / 2, below + k * height / 2})
            for (double left : lefts) out.push_back({left, top, width, height});
    return out;
}

std::vector<PlotBox> LowGainCaptionPlaces(const MarkerCaption& c, double width, double height) {
    const double above = CaptionTop(c.Bottom, height), below = c.Bottom + kCaptionTextGap;
    std::vector<PlotBox> out;
    for (int k = 0; k <= 2 * kSteps; ++k) {
        out.push_back({c.X, above - k * height / 2, width, height});
        out.push_back({c.X, below + k * height / 2, width, height});
    }
    return out;
}

std::vector<PlotBox> HFLabelPlaces(const GainRanges& g, double width, double height) {
    const double left = g.HFX - width - std::max(50.0, kCaptionClearance + 5);
    std::vector<PlotBox> out{{left, g.HFLabelTop, width, height}};
    for (double top = g.HFLabelTop + height / 2; top + height <= g.HFY2; top += height / 2)
        out.push_back({left, top, width, height});
    return out;
}
