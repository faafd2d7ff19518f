#pragma once
// The PWM timing diagram without widgets: its geometry in twips of one output's picture, edge
// counts to X and back, the waveform an edge position gives, the modulation arrows, the hit test,
// the click-to-grab state of one picture, the nudge rule and the scene a picture paints.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pwm {

constexpr int kOutputs = 7;
constexpr int kAux = 6;  // the output on the AUX frequency; every index from here counts as AUX

// One picture per output on the page, and the lines inside it.
constexpr double kPictureLeft = 1200;
constexpr double kPictureTop = 960;
constexpr double kPictureStep = 1200;
constexpr double kPictureWidth = 8775;
constexpr double kPictureHeight = 1095;
constexpr double kStartX = 1200;                            // LnStart: start of the first period
constexpr double kEndX = 7215;                              // LnEnd X1: end of the second period
constexpr double kEndX2 = 7200;                             // LnEnd X2, and the baseline's end
constexpr double kMidX = (kEndX - kStartX) / 2 + kStartX;   // LnMid: 4207.5
constexpr double kGridX = (kStartX + kMidX) / 2;            // LnGrid: middle of the first period
constexpr double kEdgeLabelX = 7320;
constexpr double kRisingLabelY = 240;
constexpr double kFallingLabelY = 480;
// An edge label keeps this much room to the picture's border, and never starts left of the
// second period's end.
constexpr double kEdgeLabelMargin = 60;
constexpr double kEdgeLabelMinX = kEndX + 45;
constexpr double kEdgeLabelRight = kPictureWidth - 15 - kEdgeLabelMargin;  // the border is one pixel
constexpr double kEdgeLabelRoom = kEdgeLabelRight - kEdgeLabelMinX;
constexpr int kHitToleranceTwips = 100;
constexpr float kArrowLengthTwips = 500;

struct Levels {
    double high;
    double low;
};
Levels LevelsOf(int output);

// The largest count an edge register holds: the diagram's scale while the period is unknown, so
// the chip's counts keep their places and the two edges stay apart.
constexpr long kFullScaleCounts = 4095;
constexpr long DiagramScale(long periodCounts) { return periodCounts > 0 ? periodCounts : kFullScaleCounts; }

// X of an edge count; the period start while the period is unknown (0), so nothing divides by it.
float EdgeCountToX(long count, long periodCounts);
// Edge count of an X, a whole number; 0 while the period is unknown.
float XToEdgeCount(double x, long periodCounts);
// Edges move only inside the first period, its ends included.
bool InFirstPeriod(double x);
// Mouse X arrives in whole pixels (15 twips) and no pixel falls on the period end at 4207.5:
// the pixel that holds the end stands for it, so a drag can reach the full period count.
double MouseX(double x);

struct Segment {
    double x1, y1, x2, y2;
    bool operator==(const Segment&) const = default;
};
// Ln(10i + k), k = 0 to 9: level, rising edge, level, falling edge, level, then the same one
// period to the right. A falling edge before the rising edge draws high-low-high.
using Waveform = std::array<Segment, 10>;
Waveform BuildWaveform(double risingX, double fallingX, Levels levels);

// Lmain, LLU, LLL, LRU, LRL of arrow a (a < 7 a rising edge, else a falling edge) centred on x.
using Arrow = std::array<Segment, 5>;
Arrow ModulationArrow(int arrowIndex, double x, float length = kArrowLengthTwips);

// Values are the segment numbers of the edges, as the drag state holds them.
enum class Edge { None = 0, Rising = 1, Falling = 3 };
// The edge strictly within reach of x; the rising edge wins when both are.
Edge HitTest(double x, double risingX, double fallingX, int tolerance = kHitToleranceTwips);

// Click to grab, move, click to drop, for one picture: a click near an edge grabs it, the next
// click anywhere on the picture drops it where the last move left it.
class EdgeDrag {
public:
    Edge State() const { return state_; }
    void MouseDown(double x, double risingX, double fallingX);
    // A grab turns the edge green until the output's disable box recolours its whole trace.
    bool Green() const { return state_ != Edge::None && green_; }
    void Recoloured() { green_ = false; }

private:
    Edge state_ = Edge::None;
    bool green_ = false;
};

// The page's pointer while hovering: the west-east sizing arrow near an edge.
enum class Pointer { Default = 0, SizeWE = 9 };
Pointer HoverPointer(double x, double risingX, double fallingX, int tolerance = kHitToleranceTwips);

// One nudge of an edge label such as "T2 = 2.500us" by one step earlier (-1) or later (+1).
struct Nudged {
    QString label;  // "T2 = 2.505us", decimals not padded
    long count;
};
// Nothing when the nudge would pass 0 or the period.
std::optional<Nudged> Nudge(const QString& label, int edgeNumber, int direction, float stepUs, float periodUs,
                            int decimals);

// What one picture paints, in twips of the picture.
constexpr uint32_t kBlack = 0x000000, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;
uint32_t OutputColour(int output);

struct OutputView {
    int output = 0;
    double risingX = kStartX, fallingX = kStartX;  // twips, where the edges stand
    bool disabled = false, modRising = false, modFalling = false;
    Edge grabbed = Edge::None;
    bool grabGreen = false;  // the grabbed edge's line is green (its label takes the colour anyway)
    QString periodLabel, risingLabel, fallingLabel;
};

struct SceneLine {
    Segment at;
    uint32_t rgb;
    int widthPixels;
    bool dotted;
    bool operator==(const SceneLine&) const = default;
};
enum class Anchor { TopCentre, EdgeLabel };
struct SceneText {
    double x, y;  // top-centre; the edge labels' left follows their font (EdgeLabelLeft)
    QString text;
    uint32_t rgb;
    Anchor anchor;
    bool operator==(const SceneText&) const = default;
};
struct Scene {
    bool buttonFace = false;  // a disabled output's picture takes the system button face
    std::vector<SceneLine> lines;
    std::vector<SceneText> texts;
    // The first lines (grid and baseline) change only with the picture; the rest follow the edges.
    size_t stillLines = 0;
    bool operator==(const Scene&) const = default;
};
Scene BuildScene(const OutputView& view);

// Left of the edge labels when the widest is this wide (twips): kEdgeLabelX when it fits before
// the margin, else moved left, though never past kEdgeLabelMinX.
double EdgeLabelLeft(double widthTwips);

}  // namespace pwm
