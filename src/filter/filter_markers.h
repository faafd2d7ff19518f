#pragma once
// The digital filter's straight-line gain plot on the Bode picture: the pole and zero markers,
// the integrator line, the four asymptote segments and the marker captions, all in twips of the
// plot picture (Y growing downwards). Pure numbers; the canvas draws what they hold.
#include "filter/bode_grid.h"
#include "filter/filter_codes.h"

#include <QString>

// A circle marker by its bounding rectangle.
struct MarkerShape {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    float CentreX() const { return Left + Width / 2; }
    float CentreY() const { return Top + Height / 2; }
    // Strictly inside the rectangle: a point on its edge does not count.
    bool Contains(float X, float Y) const { return Left < X && X < Left + Width && Top < Y && Y < Top + Height; }
};

struct PlotLine {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// A caption label: its text, the X it is centred on (or its left edge) and its bottom edge.
// The canvas measures the text and places the label from these.
struct MarkerCaption {
    QString Text;
    float X = 0;
    float Bottom = 0;
    bool Centred = true;
};

inline constexpr float kPoleMarkerSize = 160;
inline constexpr float kZeroMarkerSize = 165;
inline constexpr float kCaptionGap = 30;           // between a marker and its caption
inline constexpr float kLowGainCaptionLeft = 720;  // the integrator caption never moves sideways
inline constexpr uint32_t kPoleColor = 0xFF0000;
inline constexpr uint32_t kZeroColor = 0x00FF00;
inline constexpr uint32_t kAsymptoteColor = 0x0000FF;

struct FilterMarkers {
    MarkerShape shpPole{0, 0, kPoleMarkerSize, kPoleMarkerSize};
    MarkerShape shpZero{0, 0, kZeroMarkerSize, kZeroMarkerSize};
    PlotLine lnIstSlope;  // the integrator, from the plot's left edge to the zero's level
    PlotLine LnHor1;      // flat, to the zero
    PlotLine ln2ndSlope;  // rising, from the zero to the pole
    PlotLine LnHor2;      // flat, from the pole to 1 MHz
    // The page's value labels of the shown set.
    QString lblPoleFreq, lblHighFGain, lblZeroFreq, lblLowFGain;
    MarkerCaption lblPolePos, lblZeroPos, lblLowGainPos{QString(), kLowGainCaptionLeft, 0, false};
};

// "<kHz> kHz" of a frequency in Hz, to two decimals.
QString FrequencyValueText(double hz);
// "<dB>dB" to two decimals.
QString GainValueText(double dB);
// The integrator's value label: "<dB>dB " with a trailing blank.
QString LowGainValueText(double dB);
// A value caption rewritten with exactly two decimals and its unit ("dB" or "kHz"), no blank.
QString FormatMarkerValue(const QString& text);
QString PoleCaptionText(const QString& gainText, const QString& freqText);
QString ZeroCaptionText(const QString& freqText);
QString LowGainCaptionText(const QString& lowGainText);

// The zero marker's centre Y: on the +20 dB per decade line through the pole marker's centre.
float ComputeZeroMarkerY(const BodeGrid& g, const FilterMarkers& m, float zeroHz);

void PositionPoleMarker(const BodeGrid& g, FilterMarkers& m, const FilterSet& set);
void PositionZeroMarker(const BodeGrid& g, FilterMarkers& m, const FilterSet& set);
void PositionLowGainMarker(const BodeGrid& g, FilterMarkers& m, const FilterSet& set);
// The four segments from the markers and the left end of the integrator line.
void DrawFilterAsymptotes(const BodeGrid& g, FilterMarkers& m);
// Everything from the set: pole, zero (on the pole's line), integrator, then the segments.
void UpdateFilterMarkers(const BodeGrid& g, FilterMarkers& m, const FilterSet& set);
