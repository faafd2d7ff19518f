#include "filter/loop_models.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "filter/bode_grid.h"

#include <cmath>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr double kPi = 3.14159f;

// A model's result in single precision; anything that is not a finite single is a failure.
float Result(double v) {
    if (!(std::fabs(v) <= std::numeric_limits<float>::max())) return kNaN;
    return static_cast<float>(v);
}

// The inputs in SI units, with the guards applied right after reading.
struct Physical {
    double Vin, N1, N2, RL, L1, L2, C1, C2, ESR1, ESR2, D, Ts, R3, R4, C3, C4;
};

Physical ToPhysical(const ModelInputs& in) {
    Physical p;
    p.Vin = in.Vin;
    p.N1 = in.N1 == 0 ? 1 : in.N1;
    p.N2 = in.N2;
    p.RL = in.RL == 0 ? 0.00001 : in.RL;
    p.L1 = in.L1 * 1e-6;
    p.L2 = in.L2 * 1e-6;
    p.C1 = in.C1 * 1e-6;
    p.C2 = in.C2 * 1e-6;
    p.ESR1 = in.ESR1 * 1e-3;
    p.ESR2 = in.ESR2 * 1e-3;
    p.D = in.Duty / 100;
    const double fsw = in.FreqKHz * 1000;
    p.Ts = fsw == 0 ? std::numeric_limits<double>::quiet_NaN() : 1 / fsw;
    p.R3 = in.R3 * 1000;
    p.R4 = in.R4 * 1000;
    p.C3 = in.C3 * 1e-6;
    p.C4 = in.C4 * 1e-6;
    return p;
}

double P(double a, double b) { return ParallelValue(static_cast<float>(a), static_cast<float>(b)); }

// Wraps a negative angle into 0 to 360.
double Wrap(double a) { return a < 0 ? a + 360 : a; }

bool Finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

}  // namespace

ModelInputs ModelInputsFrom(const LoopModelInputs& in, const QString& freqText) {
    ModelInputs m;
    m.L1 = in.L[0];
    m.L2 = in.L[1];
    m.C1 = in.C[0];
    m.C2 = in.C[1];
    m.C3 = in.C[2];
    m.C4 = in.C[3];
    m.ESR1 = in.ESR[0];
    m.ESR2 = in.ESR[1];
    m.RL = in.RL;
    m.Vin = in.Vin;
    m.Duty = in.Duty;
    m.N1 = in.N1;
    m.N2 = in.N2;
    m.R3 = in.R3;
    m.R4 = in.R4;
    m.FreqKHz = ParseNumber(freqText);
    return m;
}

float ParallelValue(float a, float b) { return static_cast<float>(double(a) * b / (double(a) + b)); }

float Atan2Degrees(double im, double re) {
    if (re == 0) return im > 0 ? 90.0f : (im < 0 ? -90.0f : 0.0f);
    double angle;
    const double t = std::atan(std::fabs(im) / std::fabs(re));
    if (im == 0) angle = t;
    else if (re > 0 && im > 0) angle = t;
    else if (re < 0 && im > 0) angle = kPi - t;
    else if (re < 0 && im < 0) angle = t - kPi;
    else angle = -t;
    return Result(angle * 180 / kPi);
}

PowerStageModel MakePowerStage(const ModelInputs& in) {
    const Physical p = ToPhysical(in);
    PowerStageModel m;
    const double L1 = p.L1, L2 = p.L2, C1 = p.C1, C2 = p.C2, E1 = p.ESR1, E2 = p.ESR2, RL = p.RL, D = p.D;
    const double K = 2 * L1 / (RL * p.Ts);
    m.DCM = K < 1 - D;
    if (!m.DCM) {
        m.K0 = p.Vin * p.N2 / p.N1;
        m.a1 = L2 / RL + L1 / RL + E1 * C1 + E2 * C2;
        m.a2 = ((E2 + RL) * C2 + (E1 + RL) * C1) * (L1 / RL) + ((E2 + RL) * C2 + E1 * C1) * (L2 / RL) + E1 * C1 * C2 * E2;
        m.a3 = (L1 / RL) * C1 * (E1 + RL) * C2 * (P(E1, RL) + E2) + (L1 / RL) * C1 * L2 +
               (L2 / RL) * C1 * E1 * C2 * (E2 + RL);
        m.a4 = (L1 / RL) * C1 * L2 * C2 * (E2 + RL);
    } else {
        const double Rd = 2 * L1 / (D * D * p.Ts);
        const double M = 2 / (1 + std::sqrt(1 + 4 * Rd / RL));
        const double R = M * M * Rd;
        const double Rp = P(R, RL);
        m.K0 = Rp * 2 * (1 - M) * p.Vin * p.N2 / (p.N1 * D * M * Rd);
        m.a1 = L2 / (R + RL) + (Rp + E1) * C1 + (Rp + E2) * C2;
        m.a2 = ((E1 + R) * C1 + (E2 + RL) * C2) * L2 / (R + RL) + (Rp + E1) * C1 * C2 * (P(R, P(E1, RL)) + E2);
        m.a3 = L2 / (R + RL) * C1 * (E1 + R) * C2 * (E2 + RL);
        m.a4 = 0;
    }
    m.b1 = E2 * C2 + E1 * C1;
    m.b2 = E1 * C1 * C2 * E2;
    m.Valid = Finite({K, m.K0, m.a1, m.a2, m.a3, m.a4, m.b1, m.b2});
    return m;
}

namespace {

struct Complex {
    double re, im;
};

void PowerStageTerms(const PowerStageModel& m, float f, Complex& num, Complex& den) {
    const double w = double(kTwoPi) * f;
    num = {1 - w * w * m.b2, w * m.b1};
    den = {w * w * w * w * m.a4 + (1 - w * w * m.a2), w * m.a1 - w * w * w * m.a3};
}

}  // namespace

float PowerStageGain(const ModelInputs& in, float f) {
    const PowerStageModel m = MakePowerStage(in);
    if (!m.Valid) return kNaN;
    Complex n, d;
    PowerStageTerms(m, f, n, d);
    return Result(20 * (double(SafeLog10(std::sqrt(n.re * n.re + n.im * n.im))) + SafeLog10(m.K0) -
                        SafeLog10(std::sqrt(d.re * d.re + d.im * d.im))));
}

float PowerStagePhase(const ModelInputs& in, float f) {
    const PowerStageModel m = MakePowerStage(in);
    if (!m.Valid) return kNaN;
    Complex n, d;
    PowerStageTerms(m, f, n, d);
    return Result(Wrap(Atan2Degrees(n.im, n.re)) - Wrap(Atan2Degrees(d.im, d.re)));
}

namespace {

void DigitalFilterTerms(const FilterSet& s, float f, double& re, double& im) {
    const double a = double(s.Pole) / f;
    const double b = double(s.Zero) / f;
    const double hf = std::pow(10.0, double(s.HFGain) / 20);
    const double lf = std::pow(10.0, double(s.LFGain) / 20);
    re = hf * (1 + a * b) / (1 + a * a);
    im = hf * (a - b) / (1 + a * a) - lf / f;
}

}  // namespace

float DigitalFilterGain(const FilterSet& set, float f) {
    double re, im;
    DigitalFilterTerms(set, f, re, im);
    return Result(20 * double(SafeLog10(std::sqrt(re * re + im * im))));
}

float DigitalFilterPhase(const FilterSet& set, float f) {
    double re, im;
    DigitalFilterTerms(set, f, re, im);
    if (re == 0) return kNaN;  // no ratio to take the arctangent of
    return Result(std::atan(im / re) * 180 / kPi);
}

namespace {

void FeedbackTerms(const ModelInputs& in, float f, double& K, double& re, double& im) {
    const Physical p = ToPhysical(in);
    K = p.R4 / (p.R4 + p.R3);
    const double Rpar = p.R3 * p.R4 / (p.R4 + p.R3);
    const double T1 = (p.C4 + p.C3) * Rpar;
    const double T2 = p.C3 * Rpar;
    const double w = double(kTwoPi) * f;
    const double den = (w * T1) * (w * T1) + 1;
    re = (T1 * T2 * w * w + 1) / den;
    im = (w * T2 - w * T1) / den;
}

}  // namespace

float FeedbackGain(const ModelInputs& in, float f) {
    double K, re, im;
    FeedbackTerms(in, f, K, re, im);
    if (!Finite({K, re, im})) return kNaN;
    return Result(20 * (double(SafeLog10(std::sqrt(re * re + im * im))) + SafeLog10(K)));
}

float FeedbackPhase(const ModelInputs& in, float f) {
    double K, re, im;
    FeedbackTerms(in, f, K, re, im);
    if (!Finite({K, re, im})) return kNaN;
    return Atan2Degrees(im, re);
}

float LoopGain(const ModelInputs& in, const FilterSet& set, float f) {
    return Result(double(DigitalFilterGain(set, f)) + PowerStageGain(in, f) + FeedbackGain(in, f));
}

float LoopPhase(const ModelInputs& in, const FilterSet& set, float f) {
    return Result(double(PowerStagePhase(in, f)) + DigitalFilterPhase(set, f) + FeedbackPhase(in, f));
}

namespace {

std::vector<float> Sweep(float from, double step) {
    std::vector<float> out;
    for (float e = from; e <= 6; e = static_cast<float>(double(e) + step))
        out.push_back(static_cast<float>(std::pow(10.0, double(e))));
    return out;
}

}  // namespace

std::vector<float> PlotSweepFrequencies() { return Sweep(2, 0.02); }
std::vector<float> MarginSweepFrequencies() { return Sweep(0.001f, 0.01); }

std::vector<BodeCurve> PlotCurves(const BodeGrid& grid, const ModelInputs& in, const FilterSet& set,
                                  const CurveSelection& show) {
    const std::vector<float> freqs = PlotSweepFrequencies();
    std::vector<BodeCurve> out;
    enum Failed { Hold, Skip };
    auto sweep = [&](CurveKind kind, uint32_t color, bool gain, Failed failed, auto value) {
        BodeCurve c{kind, color, {}};
        float last = 0;
        for (float f : freqs) {
            float v = value(f);
            if (std::isnan(v)) {
                if (failed == Skip) continue;
                v = last;
            }
            last = v;
            c.Points.push_back({FreqToX(grid, f), gain ? GainToY(grid, v) : PhaseToY(grid, v)});
        }
        out.push_back(std::move(c));
    };
    // The digital filter's gain box shows its asymptotes, which are not drawn here.
    if (show.DigFilterPhase)
        sweep(CurveKind::DigitalFilterPhase, 0x00FF00, false, Hold, [&](float f) { return DigitalFilterPhase(set, f); });
    if (show.LCFilter || show.LCFilterPhase) {
        if (show.LCFilterPhase)
            sweep(CurveKind::PowerStagePhase, 0xFF8000, false, Skip, [&](float f) { return PowerStagePhase(in, f); });
        if (show.LCFilter)
            sweep(CurveKind::PowerStageGain, 0xFF00FF, true, Skip, [&](float f) { return PowerStageGain(in, f); });
    }
    if (show.FB || show.FBPhase) {
        if (show.FBPhase)
            sweep(CurveKind::FeedbackPhase, 0x00C0C0, false, Skip, [&](float f) { return FeedbackPhase(in, f); });
        if (show.FB) sweep(CurveKind::FeedbackGain, 0x808000, true, Skip, [&](float f) { return FeedbackGain(in, f); });
    }
    if (show.FullLoop || show.FullLoopPhase) {
        if (show.FullLoopPhase)
            sweep(CurveKind::FullLoopPhase, 0xFF0000, false, Hold, [&](float f) { return LoopPhase(in, set, f); });
        if (show.FullLoop)
            sweep(CurveKind::FullLoopGain, 0x000000, true, Hold, [&](float f) { return LoopGain(in, set, f); });
    }
    return out;
}

LoopMargins ComputeLoopMargins(const ModelInputs& in, const FilterSet& set) {
    LoopMargins r;
    float prev = LoopGain(in, set, 1);
    for (float f : MarginSweepFrequencies()) {
        const float g = LoopGain(in, set, f);
        if (std::isnan(g)) continue;  // a failed point is passed over
        if ((g > 0 && prev < 0) || (g < 0 && prev > 0)) {
            r.Crossed = true;
            r.CrossoverHz = f;  // only the most recent crossing counts
        }
        prev = g;
    }
    if (!r.Crossed) {
        r.PhaseMarginText = QStringLiteral("-");
        return r;
    }
    r.BandwidthText = NumberText(RoundHalfEven(double(r.CrossoverHz) / 1000, 2)) + QStringLiteral(" kHz");
    const float pm = static_cast<float>(180 + (double(PowerStagePhase(in, r.CrossoverHz)) +
                                               DigitalFilterPhase(set, r.CrossoverHz) +
                                               FeedbackPhase(in, r.CrossoverHz)));
    if (std::isnan(pm)) {
        r.PhaseMarginText = QStringLiteral("-");
        return r;
    }
    const double rounded = RoundHalfEven(pm, 0);
    r.PhaseMarginText = rounded >= 0 ? QStringLiteral(" ") + NumberText(rounded) : NumberText(rounded);
    return r;
}
