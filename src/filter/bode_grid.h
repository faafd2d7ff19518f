#pragma once
// The Bode plot's frame: grid positions in twips inside the plot picture and the mappings between
// frequency, gain or phase and picture coordinates. Pure numbers; the page draws what they give.
#include <QString>
#include <array>
#include <optional>
#include <vector>

// Base-10 logarithm in single precision; -1000 for 0. A negative or NaN argument has no
// logarithm and gives NaN, which every caller treats as an unusable value.
float SafeLog10(double x);

// Gain and phase scale of the horizontal grid lines.
struct BodeScale {
    int dBPerDiv = 10;
    int dBMin = -70;
    int dB0Index = 7;  // the 0 dB line
    int degPerDiv = 30;
    int degMin = -240;
    int deg0Index = 8;  // the 0 degree line
};

inline constexpr int kVerticalGridLines = 37;    // LnGrid(0..36): 100 Hz to 1 MHz
inline constexpr int kHorizontalGridLines = 14;  // lnHGrid(0..13), index growing upwards

// Design geometry of the plot picture and its first grid lines.
inline constexpr float kPlotDesignWidth = 12615;
inline constexpr float kGridDesignX0 = 600;      // LnGrid(0), 100 Hz, never moved
inline constexpr float kHGridDesignY0 = 6300;    // lnHGrid(0)
inline constexpr float kBottomDesignY = 6720;    // LnBottom

// The grid as laid out: every position the mappings read.
struct BodeGrid {
    BodeScale Scale;
    float Width = kPlotDesignWidth;              // of the plot picture
    std::array<float, kVerticalGridLines> X{};   // LnGrid(i).X1 (= X2)
    float VerticalTop = 0;                       // LnGrid(i).Y2, the design top
    std::array<float, kHorizontalGridLines> Y{}; // lnHGrid(i).Y1 (= Y2)
    float HorizontalX1 = kGridDesignX0;          // lnHGrid(i).X1
    float HorizontalX2 = 0;                      // lnHGrid(i).X2 = LnGrid(36).X1
    float BottomY = kBottomDesignY;              // LnBottom.Y1 (= Y2); also LnGrid(i).Y1
    float BottomX2 = 0;                          // LnBottom.X2 = the picture's width

    // lnHGrid(i).Y1 with the index held inside the grid, so no scale can read outside it.
    float HLineY(int i) const;
};

// Frequency of vertical grid line i (0 to 36), in Hz.
double GridLineFrequency(int i);

// Lays the grid out for a picture of the given width (SetupPlotGrid).
BodeGrid SetupPlotGrid(float width = kPlotDesignWidth, BodeScale scale = {});

// X of the frequency 10^e, from the picture's width.
float ExponentToX(const BodeGrid& g, double e);
float FreqToX(const BodeGrid& g, double f);
// Frequency in Hz at X, rounded to 2 decimals with halves to even.
float XToFreq(const BodeGrid& g, float X);
float GainToY(const BodeGrid& g, double dB);
float YToGain(const BodeGrid& g, float Y);
float PhaseToY(const BodeGrid& g, double degrees);

// Index of the horizontal line of a gain: dB / dBPerDiv + dB0Index, rounded half to even.
int GainLineIndex(const BodeScale& s, int dB);

// The straight-line geometry of 20 dB per decade on the laid-out grid (Y per X of the slope,
// downwards for a falling line), which the filter's asymptotes and its validity test share.
struct SlopeGeometry {
    float X0 = 0;   // the plot's left edge, 100 Hz
    float D = 0;    // width of one decade, 100 Hz to 1 kHz
    float H20 = 0;  // height of 20 dB, positive
    float s = 0;    // H20 / D
};
SlopeGeometry SlopeGeometryOf(const BodeGrid& g);

// One axis label: its text and the coordinate its centre sits on (X for frequency labels, Y for
// gain and phase labels). The page places a label at Pos minus half its own size.
struct GridTick {
    QString Text;
    float Pos = 0;
    int Line = 0;  // the grid line it belongs to
};

// Frequency labels lblF(1) to lblF(12), each centred on its vertical line. lblF(0) ("100Hz")
// keeps its design place and is not among them.
std::vector<GridTick> FrequencyTicks(const BodeGrid& g);
inline const QString kFirstFrequencyLabel = QStringLiteral("100Hz");
// Gain labels lbldB(0..13) and phase labels lblPhase(0..13), centred on their horizontal line.
std::vector<GridTick> GainTicks(const BodeGrid& g);
std::vector<GridTick> PhaseTicks(const BodeGrid& g);
// Left of every phase label: just right of the 1 MHz line.
float PhaseLabelLeft(const BodeGrid& g);

// The allowed pole/zero frequency range on the bottom line for a switching-frequency code;
// nothing for a code with no entry (the range line then stays where it was).
struct PoleZeroRange {
    float X1 = 0;
    float X2 = 0;
    float Centre() const { return (X1 + X2) / 2; }  // lblPole is centred here
};
std::optional<PoleZeroRange> PoleZeroRangeFor(const BodeGrid& g, int freqCode);

// The allowed high- and low-frequency gain ranges (lnHFGain, lnLFGain) and their labels' anchors.
struct GainRanges {
    float HFX = 0, HFY1 = 0, HFY2 = 0;  // HFY1 the upper limit
    float LFX = kGridDesignX0, LFY1 = 0, LFY2 = 0;
    float HFLabelTop = 0;    // lblHF.Top; its Left is HFX - its width - 50
    float LFLabelTop = 0;    // lblLF.Top
    float LFLabelLeft = 100;
};
GainRanges GainRangesFor(const BodeGrid& g, int freqCode);
