#pragma once
// Where the Bode plot's moving captions go: the place they are drawn for when it is clear of the
// plot's marks and of what is already placed there, else the first clear one of a few places
// nearby. Twips of the plot picture; the canvas measures the texts and hands their sizes in.
#include "filter/bode_grid.h"
#include "filter/filter_markers.h"

#include <vector>

// A caption label's design height; its text is drawn from the label's top.
inline constexpr int kCaptionHeight = 195;
// Kept between a caption and any mark or other caption: the widest pen's half and a small gap.
inline constexpr double kCaptionClearance = 50;
// Between a caption's text and the marker or line it belongs to.
inline constexpr double kCaptionTextGap = 30;

struct PlotBox {
    double Left = 0, Top = 0, Width = 0, Height = 0;
    double Right() const { return Left + Width; }
    double Bottom() const { return Top + Height; }
};

// What a caption must stay clear of.
struct PlotObstacles {
    std::vector<PlotLine> Lines;  // marks, by their centre lines
    std::vector<PlotBox> Boxes;   // captions and markers already there
    PlotBox Bounds;               // the area captions must lie in
};

// The box lies inside the bounds and keeps kCaptionClearance from every line and box.
bool IsClear(const PlotBox& box, const PlotObstacles& o);
// The first clear candidate; the first one when none is clear.
PlotBox FirstClear(const std::vector<PlotBox>& candidates, const PlotObstacles& o);

// The text's top-left corner for a caption whose label ends at bottom: as drawn for its design
// height when the text fits in it with the gap below, else just high enough.
double CaptionTop(double bottom, double textHeight);

// Candidate places, the designed one first. A pole or zero caption: centred over its marker,
// then beside the centre and below the marker, then further up and down.
std::vector<PlotBox> MarkerCaptionPlaces(const MarkerCaption& c, const MarkerShape& marker, double width,
                                         double height);
// The integrator's caption keeps its left edge and moves only up or down from its line's start.
std::vector<PlotBox> LowGainCaptionPlaces(const MarkerCaption& c, double width, double height);
// The HF range label: just left of its line (clear of its pen), from the line's upper end downwards.
std::vector<PlotBox> HFLabelPlaces(const GainRanges& g, double width, double height);
