#pragma once
// The digital filter's register codes and their engineering values, the CCM/DCM threshold codes
// and the edge-count rescale of a frequency change; the frequency list and the edge-register
// layout are those of registers/switching_frequency.h.
#include "registers/switching_frequency.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct BodeGrid;

// One filter setting in engineering units.
struct FilterSet {
    float LFGain = 0;  // dB, the integrator's gain at 1 Hz
    float Pole = 0;    // Hz
    float HFGain = 0;  // dB
    float Zero = 0;    // Hz
};

inline constexpr float kFilterPi = 3.14159f;
inline constexpr double kGLF = 1.56e6;
inline constexpr float kWLF = 603.185302734375f;  // 2 x PI x 96 in single precision
inline constexpr float kKLF = 154415.4375f;       // kWLF x 256

// Register of set m (0 CCM, 1 DCM).
inline constexpr int32_t LFGainRegister(int m) { return 0x60 + 4 * m; }
inline constexpr int32_t ZeroRegister(int m) { return 0x61 + 4 * m; }
inline constexpr int32_t PoleRegister(int m) { return 0x62 + 4 * m; }
inline constexpr int32_t HFGainRegister(int m) { return 0x63 + 4 * m; }

inline constexpr int32_t kThresholdRegister = 0x3C;

// Codes a refused set is offered.
inline constexpr int kDefaultLFCode = 3;
inline constexpr int kDefaultZeroCode = 238;
inline constexpr int kDefaultPoleCode = 150;
inline constexpr int kDefaultHFCode = 15;

inline constexpr int kThresholdCount = 8;
const std::array<QString, kThresholdCount>& ThresholdTexts();
int ThresholdCode(const QString& text);

// Code to value, at switching frequency fs (Hz).
float CodeToCornerFreq(int code, float fs);
float CodeToLowFreqGain(int code);
// Linear gain; 0 when there is no frequency to scale by (fs, Pole and Zero all 0).
float CodeToHighFreqGain(int code, float Pole, float Zero, float fs);

// Value to code, at switching frequency fs. A code is held to 0..255 (what a register can take);
// nothing when it cannot be computed (no switching frequency, or a value that is not a number),
// so such a register is left as it is.
std::optional<int> CornerFreqToCode(float f, float fs);
std::optional<int> LowFreqGainToCode(float LFGain);
std::optional<int> HighFreqGainToCode(float HFGain, float Pole, float Zero, float fs);

// The set of four codes at fs (ReadFilterSet's conversions): zero, pole, LF gain, then HF gain
// from the converted pole and zero.
FilterSet FilterSetFromCodes(int lfCode, int zeroCode, int poleCode, int hfCode, float fs);

// Upper (which = 0) or lower (1) limit of the HF gain in dB for a switching-frequency code.
float GetGainLimit(int which, int freqCode);

// The asymptotic gain plot of a set is well formed on the laid-out grid: zero below the pole in
// frequency and the integrator strictly below both corner points.
bool IsFilterSetValid(const BodeGrid& grid, const FilterSet& set);

// A count at fOld Hz moved to the same fraction of the period at newHz, to the nearest count,
// held to the 12 bits an edge register takes.
int RescaleEdgeCount(float fOld, int count, float newHz);
