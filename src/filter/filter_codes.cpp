#include "filter/filter_codes.h"

#include "core/numbers.h"
#include "filter/bode_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Codes run through x = code / 256 held in single precision.
float CodeFraction(int code) { return static_cast<float>(code) / 256.0f; }

// Rounds to single precision; beyond its range gives infinity instead of an undefined value.
float ToSingle(double v) {
    if (v > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (v < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

std::optional<int> HeldCode(double v) {
    if (std::isnan(v)) return std::nullopt;
    return static_cast<int>(std::clamp(v, 0.0, 255.0));
}

// A value read from a code comes back a hair below it in single precision; truncating that would
// hand the chip a code one lower on every Apply that changed nothing.
constexpr double kCodeTolerance = 1e-3;
double CodeFloor(double v) { return std::floor(v + kCodeTolerance); }

}  // namespace

const std::array<QString, kThresholdCount>& ThresholdTexts() {
    static const std::array<QString, kThresholdCount> texts = {
        QStringLiteral("0%"),  QStringLiteral("5%"),  QStringLiteral("10%"), QStringLiteral("15%"),
        QStringLiteral("20%"), QStringLiteral("25%"), QStringLiteral("30%"), QStringLiteral("35%"),
    };
    return texts;
}

int ThresholdCode(const QString& text) {
    const auto& t = ThresholdTexts();
    return static_cast<int>(std::find(t.begin(), t.end(), text) - t.begin());
}

float CodeToCornerFreq(int code, float fs) {
    const double x = CodeFraction(code);
    return static_cast<float>(std::floor(double(fs) / double(kFilterPi) * (1 - x) / (1 + x)));
}

float CodeToLowFreqGain(int code) {
    const double x = CodeFraction(code);
    return static_cast<float>(x * kGLF / double(kWLF));
}

float CodeToHighFreqGain(int code, float Pole, float Zero, float fs) {
    const double x = CodeFraction(code);
    const double den = double(Zero) + double(fs);
    // With no switching frequency known every corner reads as 0: no gain to speak of.
    if (den == 0) return 0;
    return static_cast<float>((double(kFilterPi) * Pole + fs) * (10 * x) / den);
}

std::optional<int> CornerFreqToCode(float f, float fs) {
    if (!(fs > 0)) return std::nullopt;
    const double pf = double(kFilterPi) * f;
    return HeldCode(CodeFloor(256 * (double(fs) - pf) / (double(fs) + pf)));
}

std::optional<int> LowFreqGainToCode(float LFGain) {
    const float g = ToSingle(std::pow(10.0, double(LFGain) / 20));
    return HeldCode(CodeFloor(double(g) * double(kKLF) / kGLF));
}

std::optional<int> HighFreqGainToCode(float HFGain, float Pole, float Zero, float fs) {
    if (!(fs > 0)) return std::nullopt;
    const float g = ToSingle(std::pow(10.0, double(HFGain) / 20));
    return HeldCode(CodeFloor((double(fs) + Zero) * (double(g) * 256) / ((double(kFilterPi) * Pole + fs) * 10)));
}

FilterSet FilterSetFromCodes(int lfCode, int zeroCode, int poleCode, int hfCode, float fs) {
    FilterSet s;
    s.Zero = CodeToCornerFreq(zeroCode, fs);
    s.Pole = CodeToCornerFreq(poleCode, fs);
    s.LFGain = static_cast<float>(20 * double(SafeLog10(CodeToLowFreqGain(lfCode))));
    s.HFGain = static_cast<float>(20 * double(SafeLog10(CodeToHighFreqGain(hfCode, s.Pole, s.Zero, fs))));
    return s;
}

float GetGainLimit(int which, int freqCode) {
    if (which != 0 && which != 1) return 0;
    if (freqCode == 0) return which == 0 ? 24 : -24;
    if (freqCode == 1) return which == 0 ? 22 : -26;
    if (freqCode == 2 || freqCode == 3) return which == 0 ? 21 : -27;
    if (freqCode >= 4 && freqCode <= 11) return which == 0 ? 20 : -28;
    return 0;
}

bool IsFilterSetValid(const BodeGrid& grid, const FilterSet& set) {
    // A value that is not a number passes every comparison below as false: refuse it outright.
    if (std::isnan(set.LFGain) || std::isnan(set.Pole) || std::isnan(set.HFGain) || std::isnan(set.Zero)) return false;
    const float s = SlopeGeometryOf(grid).s;
    const float Px = FreqToX(grid, set.Pole);
    const float Py = GainToY(grid, set.HFGain);
    const float Zx = FreqToX(grid, set.Zero);
    const float Zy = static_cast<float>(double(Py) + double(s) * (double(Px) - Zx));
    const float gZ = YToGain(grid, Zy);
    const float Yi0 = GainToY(grid, set.LFGain);
    const float X1Hz = FreqToX(grid, 1);
    auto Yi = [&](float X) { return static_cast<float>(double(Yi0) + double(s) * (double(X) - X1Hz)); };
    if (set.Pole <= set.Zero) return false;
    if (gZ >= set.HFGain) return false;
    if (Yi(Zx) <= GainToY(grid, gZ)) return false;
    if (Yi(Px) <= Py) return false;
    return true;
}

int RescaleEdgeCount(float fOld, int count, float newHz) {
    if (!(newHz > 0)) return count;
    const double e = RoundHalfEven(double(fOld) * count / double(newHz), 0);
    if (std::isnan(e)) return count;
    // A longer period can push an edge past what 12 bits hold: wrapping it would land the edge
    // near the start of the period, so it stays at the last count instead.
    return static_cast<int>(std::clamp(e, 0.0, double(kMaxEdgeCount)));
}
