#include "filter/bode_grid.h"

#include "core/numbers.h"
#include "filter/filter_codes.h"

#include <algorithm>
#include <cmath>
#include <limits>

float SafeLog10(double x) {
    if (x == 0) return -1000;
    if (!(x > 0)) return std::numeric_limits<float>::quiet_NaN();
    return static_cast<float>(std::log(x) / std::log(10.0));
}

float BodeGrid::HLineY(int i) const { return Y[static_cast<size_t>(std::clamp(i, 0, kHorizontalGridLines - 1))]; }

double GridLineFrequency(int i) {
    if (i <= 0) return 100;
    if (i <= 9) return (i + 1) * 100.0;
    if (i <= 18) return (i - 8) * 1000.0;
    if (i <= 27) return (i - 17) * 10000.0;
    return (std::min(i, 36) - 26) * 100000.0;
}

BodeGrid SetupPlotGrid(float width, BodeScale scale) {
    BodeGrid g;
    g.Scale = scale;
    g.Width = width;
    g.X[0] = kGridDesignX0;
    g.BottomX2 = width;
    for (int i = 1; i < kVerticalGridLines; ++i)
        g.X[static_cast<size_t>(i)] = ExponentToX(g, SafeLog10(GridLineFrequency(i)));
    const float d = kBottomDesignY - kHGridDesignY0;
    g.Y[0] = kHGridDesignY0;
    for (size_t i = 1; i < g.Y.size(); ++i) g.Y[i] = g.Y[i - 1] - d;
    g.HorizontalX2 = g.X[kVerticalGridLines - 1];
    return g;
}

float ExponentToX(const BodeGrid& g, double e) {
    const double x0 = g.X[0];
    return static_cast<float>(x0 + (e - 2) * (double(g.Width) - 1000 - x0) / 4);
}

float FreqToX(const BodeGrid& g, double f) {
    const double x0 = g.X[0];
    const double xr = g.X[kVerticalGridLines - 1];
    return static_cast<float>(x0 + (xr - x0) * (double(SafeLog10(f)) - 2) / 4);
}

float XToFreq(const BodeGrid& g, float X) {
    const double x0 = g.X[0];
    const float e = static_cast<float>((double(X) - x0) * 4 / (double(g.Width) - 1000 - x0) + 2);
    const double f = RoundHalfEven(std::pow(10.0, double(e)), 2);
    // Far right of any picture: beyond single precision, so infinite rather than undefined.
    if (f > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    return static_cast<float>(f);
}

float GainToY(const BodeGrid& g, double dB) {
    const double div = double(g.HLineY(1)) - g.HLineY(2);
    return static_cast<float>(g.HLineY(g.Scale.dB0Index) - div * dB / g.Scale.dBPerDiv);
}

float YToGain(const BodeGrid& g, float Y) {
    const double div = double(g.HLineY(1)) - g.HLineY(2);
    return static_cast<float>((double(g.HLineY(g.Scale.dB0Index)) - Y) * g.Scale.dBPerDiv / div);
}

float PhaseToY(const BodeGrid& g, double degrees) {
    const double div = double(g.HLineY(4)) - g.HLineY(3);
    return static_cast<float>(g.HLineY(g.Scale.deg0Index) + div * degrees / g.Scale.degPerDiv);
}

int GainLineIndex(const BodeScale& s, int dB) {
    return static_cast<int>(RoundHalfEven(double(dB) / s.dBPerDiv + s.dB0Index, 0));
}

SlopeGeometry SlopeGeometryOf(const BodeGrid& g) {
    SlopeGeometry r;
    r.X0 = g.X[0];
    r.D = g.X[9] - g.X[0];
    r.H20 = g.HLineY(g.Scale.dB0Index) - g.HLineY(GainLineIndex(g.Scale, 20));
    r.s = r.H20 / r.D;
    return r;
}

std::vector<GridTick> FrequencyTicks(const BodeGrid& g) {
    static const struct {
        const char* text;
        int line;
    } labels[] = {{"500Hz", 4},  {"1kHz", 9},   {"5kHz", 13},   {"10kHz", 18},  {"200Hz", 1},  {"2kHz", 10},
                  {"20kHz", 19}, {"50kHz", 22}, {"100kHz", 27}, {"200kHz", 28}, {"500kHz", 31}, {"1MHz", 36}};
    std::vector<GridTick> out;
    for (const auto& l : labels) out.push_back({QString::fromLatin1(l.text), g.X[static_cast<size_t>(l.line)], l.line});
    return out;
}

namespace {

// Str of a whole number: a blank in front of a non-negative value.
QString StrText(int v) { return (v >= 0 ? QStringLiteral(" ") : QString()) + NumberText(v); }

}  // namespace

std::vector<GridTick> GainTicks(const BodeGrid& g) {
    std::vector<GridTick> out;
    for (int i = 0; i < kHorizontalGridLines; ++i)
        out.push_back({StrText(g.Scale.dBPerDiv * i + g.Scale.dBMin) + QStringLiteral("dB"), g.HLineY(i), i});
    return out;
}

std::vector<GridTick> PhaseTicks(const BodeGrid& g) {
    std::vector<GridTick> out;
    for (int i = 0; i < kHorizontalGridLines; ++i)
        out.push_back({StrText(g.Scale.degPerDiv * i + g.Scale.degMin) + QStringLiteral("\u00B0"), g.HLineY(i), i});
    return out;
}

float PhaseLabelLeft(const BodeGrid& g) { return g.X[kVerticalGridLines - 1] + 50; }

std::optional<PoleZeroRange> PoleZeroRangeFor(const BodeGrid& g, int freqCode) {
    double low, high;
    switch (freqCode) {
    case 0: case 1: low = 100; high = 15500; break;
    case 2: case 3: case 4: low = 100; high = 31000; break;
    case 5: case 6: case 7: low = 200; high = 62000; break;
    case 8: case 9: low = 400; high = 124000; break;
    case 10: low = 800; high = 186000; break;
    case 11: low = 1000; high = 217000; break;
    default: return std::nullopt;
    }
    return PoleZeroRange{FreqToX(g, low), FreqToX(g, high)};
}

GainRanges GainRangesFor(const BodeGrid& g, int freqCode) {
    GainRanges r;
    r.HFX = g.X[kVerticalGridLines - 1];
    r.HFY1 = GainToY(g, GetGainLimit(0, freqCode));
    r.HFY2 = GainToY(g, GetGainLimit(1, freqCode));
    r.HFLabelTop = r.HFY1 + 50;
    r.LFY1 = g.HLineY(GainLineIndex(g.Scale, 20));
    r.LFY2 = g.HLineY(GainLineIndex(g.Scale, -28));
    r.LFLabelTop = r.LFY2 + 80;
    return r;
}
