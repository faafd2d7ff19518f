#pragma once
// The maths of the painted dial gauge, with no widgets: needle and slider angles, scale ticks and
// the value under a point. Angles are in degrees, clockwise from straight up, as QPainter rotates.
#include <vector>

// The dial sweeps 270 degrees: the scale's minimum at -135, its maximum at +135.
inline constexpr double kGaugeSweep = 270;
inline constexpr double kGaugeStart = -135;
// Gauges draw on a square of this many logical units, centred on the origin.
inline constexpr double kGaugeLogicalSize = 200;

struct GaugeScale {
    double min = 0;
    double max = 100;
};

// The value held within the scale; NaN rests at the minimum.
double ClampToScale(double value, GaugeScale scale);
// Angle of the needle (or a slider) for a value; a value outside the scale rests at the end it
// passed, and an empty scale puts everything at the start.
double ValueToAngle(double value, GaugeScale scale);
// The value at an angle, clamped to the sweep.
double AngleToValue(double angle, GaugeScale scale);
// The value pointed at from the dial's centre by the offset (dx right, dy down), as a slider drag
// picks it. Points below the dial, outside the sweep, go to the nearer end.
double ValueAtOffset(double dx, double dy, GaugeScale scale);

// A step of 1, 2, 2.5 or 5 times a power of ten that cuts the range into at most maxIntervals.
double NiceStep(double range, int maxIntervals);
struct ScaleTick {
    double value;
    double angle;
    bool major;  // labelled
};
// Major ticks at multiples of NiceStep within the scale, with four minor ticks between each pair.
std::vector<ScaleTick> ScaleTicks(GaugeScale scale, int maxMajorIntervals = 5);

// The centre of a number's box (width by height, logical units) for the tick at an angle, placed so
// that the box reaches no farther than `reach` from the centre in the tick's direction: the number
// stays inside the ticks whatever its width.
struct DialPoint {
    double x, y;
};
DialPoint NumberCentre(double angle, double reach, double width, double height);

// Which limit slider (2 or 3) a press at the logical offset (dx, dy) from the centre grabs, or 0:
// the press must fall in the dial's outer ring within a few degrees of the slider, and the nearer
// slider wins.
int SliderAt(double dx, double dy, double angle2, double angle3);
