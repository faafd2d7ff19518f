#pragma once
// Frequency-response models of the loop: the power stage with its output filter ("LC Filter"),
// the digital filter of a FilterSet, the feedback divider and the full loop; the curves the Bode
// plot draws and the loop's crossover and phase margin. Every evaluation returns NaN when it
// fails (no switching frequency, a zero duty cycle in DCM, R3 + R4 = 0, the root or logarithm
// of a negative number, overflow); the callers below say what a failed point becomes.
#include "filter/filter_codes.h"

#include <QString>
#include <cstdint>
#include <vector>

struct BodeGrid;
struct LoopModelInputs;

// The values of the page's model text boxes (ParseNumber of each), in the units typed.
struct ModelInputs {
    double L1 = 0, L2 = 0;                  // uH
    double C1 = 0, C2 = 0, C3 = 0, C4 = 0;  // uF
    double ESR1 = 0, ESR2 = 0;              // milliohm
    double RL = 0;                          // ohm
    double Vin = 0;                         // V
    double Duty = 0;                        // percent
    double N1 = 0, N2 = 0;                  // turns
    double R3 = 0, R4 = 0;                  // kilohm
    double FreqKHz = 0;                     // ParseNumber of the switching-frequency list's text
};
ModelInputs ModelInputsFrom(const LoopModelInputs& in, const QString& freqText);

inline constexpr float kTwoPi = 6.28318f;

// a x b / (a + b) in single precision.
float ParallelValue(float a, float b);
// Angle of re + j im in degrees, imaginary part first.
float Atan2Degrees(double im, double re);

// The power stage's transfer function, with the N1 and RL guards applied to the inputs.
struct PowerStageModel {
    bool Valid = false;
    bool DCM = false;
    double K0 = 0, a1 = 0, a2 = 0, a3 = 0, a4 = 0, b1 = 0, b2 = 0;
};
PowerStageModel MakePowerStage(const ModelInputs& in);

float PowerStageGain(const ModelInputs& in, float f);   // dB
float PowerStagePhase(const ModelInputs& in, float f);  // degrees
float DigitalFilterGain(const FilterSet& set, float f);
float DigitalFilterPhase(const FilterSet& set, float f);
float FeedbackGain(const ModelInputs& in, float f);
float FeedbackPhase(const ModelInputs& in, float f);
// Sums of the three models at f.
float LoopGain(const ModelInputs& in, const FilterSet& set, float f);
float LoopPhase(const ModelInputs& in, const FilterSet& set, float f);

// The plot sweep: 10^e for e from 2 to 6 in single-precision steps of 0.02 (201 points).
std::vector<float> PlotSweepFrequencies();
// The margin sweep after its start at 1 Hz: e from 0.001 to 6 in steps of 0.01 (600 points).
std::vector<float> MarginSweepFrequencies();

// The legend check boxes.
struct CurveSelection {
    bool DigFilter = true, DigFilterPhase = true;
    bool LCFilter = false, LCFilterPhase = false;
    bool FullLoop = false, FullLoopPhase = false;
    bool FB = false, FBPhase = false;
};

enum class CurveKind { DigitalFilterPhase, PowerStagePhase, PowerStageGain, FeedbackPhase, FeedbackGain,
                       FullLoopPhase, FullLoopGain };

struct PlotPoint {
    float X = 0;
    float Y = 0;
};

inline constexpr int kCurvePenWidth = 2;

struct BodeCurve {
    CurveKind Kind;
    uint32_t Color;  // RGB
    std::vector<PlotPoint> Points;  // joined in order
};

// Every ticked curve in drawing order. A failed point of the digital-filter phase or the full
// loop takes the previous point's value (0 before the first); a failed point of the power stage
// or the feedback is left out.
std::vector<BodeCurve> PlotCurves(const BodeGrid& grid, const ModelInputs& in, const FilterSet& set,
                                  const CurveSelection& show);

struct LoopMargins {
    bool Crossed = false;
    float CrossoverHz = 0;   // the last sign change of the loop gain
    QString BandwidthText;   // "<kHz> kHz"; empty when there is no crossing (the label keeps its text)
    QString PhaseMarginText; // whole degrees (a blank before a non-negative value), or "-"
};
LoopMargins ComputeLoopMargins(const ModelInputs& in, const FilterSet& set);
