#include "pages/pwm_diagram.h"

#include "core/numbers.h"
#include "core/twips.h"

#include <algorithm>
#include <cmath>

namespace pwm {

Levels LevelsOf(int output) { return output >= kAux ? Levels{120, 720} : Levels{240, 840}; }

float EdgeCountToX(long count, long periodCounts) {
    if (periodCounts <= 0) return static_cast<float>(kStartX);
    return static_cast<float>(kStartX + (kMidX - kStartX) * static_cast<double>(count) / static_cast<double>(periodCounts));
}

float XToEdgeCount(double x, long periodCounts) {
    if (periodCounts <= 0) return 0;
    return static_cast<float>(RoundHalfEven((x - kStartX) * static_cast<double>(periodCounts) / (kMidX - kStartX), 0));
}

bool InFirstPeriod(double x) { return x >= kStartX && x <= kMidX; }

double MouseX(double x) {
    const double half = TwipsPerPixel() / 2.0;
    return x >= kMidX - half && x < kMidX + half ? kMidX : x;
}

Waveform BuildWaveform(double r, double f, Levels levels) {
    const bool inOrder = r <= f;
    const double before = inOrder ? levels.low : levels.high;  // level outside the two edges
    const double between = inOrder ? levels.high : levels.low;
    Waveform w{};
    w[0] = {kStartX, before, inOrder ? r : f, before};
    w[1] = {r, levels.high, r, levels.low};
    w[2] = {r, between, f, between};
    w[3] = {f, levels.high, f, levels.low};
    w[4] = {inOrder ? f : r, before, kMidX, before};
    for (int k = 0; k < 5; ++k) {
        const Segment& a = w[k];
        w[k + 5] = {kMidX + a.x1 - kStartX, a.y1, kMidX + a.x2 - kStartX, a.y2};
    }
    return w;
}

Arrow ModulationArrow(int a, double x, float length) {
    const double h = a < kOutputs ? 605 : 455;
    const double x1 = x - length / 2.0;
    const double x2 = x + length / 2.0;
    return {Segment{x1, h, x2, h},
            Segment{x1, h - 5, x1 + 150, h - 65},
            Segment{x1, h - 5, x1 + 150, h + 35},
            Segment{x2 + 5, h - 5, x2 - 145, h - 65},
            Segment{x2 + 5, h, x2 - 145, h + 40}};
}

Edge HitTest(double x, double risingX, double fallingX, int tolerance) {
    const auto near = [&](double e) { return e - tolerance < x && x < e + tolerance; };
    if (near(risingX)) return Edge::Rising;
    if (near(fallingX)) return Edge::Falling;
    return Edge::None;
}

void EdgeDrag::MouseDown(double x, double risingX, double fallingX) {
    state_ = state_ == Edge::None ? HitTest(x, risingX, fallingX) : Edge::None;
    green_ = state_ != Edge::None;
}

Pointer HoverPointer(double x, double risingX, double fallingX, int tolerance) {
    return HitTest(x, risingX, fallingX, tolerance) == Edge::None ? Pointer::Default : Pointer::SizeWE;
}

std::optional<Nudged> Nudge(const QString& label, int edgeNumber, int direction, float stepUs, float periodUs,
                            int decimals) {
    const double step = stepUs;
    if (!(step > 0)) return std::nullopt;  // no step, no count to convert to
    const qsizetype eq = label.indexOf(u'=');
    const double t = ParseNumber(label.mid(eq + 1));
    const double moved = direction < 0 ? t - step : t + step;
    if (direction < 0 && moved < 0) return std::nullopt;
    if (direction > 0 && moved > periodUs) return std::nullopt;
    const double n = RoundHalfEven(moved, decimals);
    const QString text = QStringLiteral("T") + NumberText(edgeNumber) + QStringLiteral(" = ") + NumberText(n) +
                         QStringLiteral("us");
    return Nudged{text, static_cast<long>(RoundHalfEven(n / step, 0))};
}

uint32_t OutputColour(int output) { return output <= 3 ? kRed : kBlue; }

Scene BuildScene(const OutputView& v) {
    Scene s;
    s.buttonFace = v.disabled;
    const Levels levels = LevelsOf(v.output);
    auto dotted = [&](double x1, double x2, double bottom) {
        s.lines.push_back({{x1, 0, x2, bottom}, kBlack, 1, true});
    };
    // The first period's start and end are named under the baseline: their lines stop on it.
    dotted(kStartX, kStartX, levels.low);
    dotted(kMidX, kMidX, levels.low);
    dotted(kEndX, kEndX2, kPictureHeight);
    dotted(kGridX, kGridX, kPictureHeight);
    s.lines.push_back({{0, levels.low, kEndX2, levels.low}, kBlack, 1, false});
    s.stillLines = s.lines.size();

    const double r = v.risingX;
    const double f = v.fallingX;
    const Waveform w = BuildWaveform(r, f, levels);
    const uint32_t trace = v.disabled ? kBlack : OutputColour(v.output);
    for (int k = 0; k < 10; ++k) {
        // Only the first period's edge line shows the grab.
        const bool grabbed = v.grabGreen && v.grabbed != Edge::None && k == static_cast<int>(v.grabbed);
        s.lines.push_back({w[k], grabbed ? kGreen : trace, 2, false});
    }
    auto arrow = [&](int a, double x) {
        for (const Segment& seg : ModulationArrow(a, x)) s.lines.push_back({seg, kBlack, 2, false});
    };
    if (v.modRising) arrow(v.output, r);
    if (v.modFalling) arrow(v.output + kOutputs, f);

    const uint32_t grabbedLabel = OutputColour(v.output);
    s.texts.push_back({kStartX, levels.low + 15, QStringLiteral("0"), kBlack, Anchor::TopCentre});
    s.texts.push_back({kMidX, levels.low + 15, v.periodLabel, kBlack, Anchor::TopCentre});
    s.texts.push_back({kEdgeLabelX, kRisingLabelY, v.risingLabel, v.grabbed == Edge::Rising ? grabbedLabel : kBlack,
                       Anchor::EdgeLabel});
    s.texts.push_back({kEdgeLabelX, kFallingLabelY, v.fallingLabel,
                       v.grabbed == Edge::Falling ? grabbedLabel : kBlack, Anchor::EdgeLabel});
    return s;
}

double EdgeLabelLeft(double width) { return std::max(kEdgeLabelMinX, std::min(kEdgeLabelX, kEdgeLabelRight - width)); }

}  // namespace pwm
