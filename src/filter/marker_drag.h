#pragma once
// Dragging the filter's pole, zero and integrator handles on the Bode picture: click to grab,
// move, click to drop, with the move rules that keep the straight-line plot well formed. Pure
// numbers in twips of the plot picture; the page forwards the mouse and draws the result.
#include "filter/bode_grid.h"
#include "filter/filter_codes.h"
#include "filter/filter_markers.h"
#include "filter/loop_models.h"

// Everything a handle reads and moves: the grid, the marker geometry, the allowed ranges and the
// filter set the handles edit (the shown one).
struct MarkerPlot {
    BodeGrid Grid = SetupPlotGrid();
    FilterMarkers Markers;
    PoleZeroRange PoleZero{kGridDesignX0, kGridDesignX0};  // lnPoleLocation X1..X2
    GainRanges Gains;                                        // lnHFGain and lnLFGain
    bool DigFilterShown = true;                              // chkDigFilter
    FilterSet* Set = nullptr;
};

enum class HandleKind { Pole = 1, Zero = 2, LowGain = 3 };

// True when moving the handle to (X, Y) keeps the asymptote plot well formed; changes nothing.
bool ValidateMarkerMove(const MarkerPlot& p, float X, float Y, int Marker);
// The rising line through the zero centre is, at X, on or above the bottom line.
bool CheckZeroSlopeLine(const MarkerPlot& p, float X, float Y);

// One thing on a canvas that the user can pick up and move.
class CanvasItem {
public:
    virtual ~CanvasItem() = default;
    // A click here picks the item up.
    virtual bool HitTest(float X, float Y) const = 0;
    // Proposes the pointer's place; true when the item moved there, false when the move was refused
    // (the item then stays where it was).
    virtual bool Drag(float X, float Y) = 0;
    // The point the item is held by, which DragBy moves from.
    virtual PlotPoint Anchor() const = 0;
    bool DragBy(float dX, float dY) {
        const PlotPoint a = Anchor();
        return Drag(a.X + dX, a.Y + dY);
    }
    void Grab() { grabbed_ = true; }
    void Release() { grabbed_ = false; }
    bool Grabbed() const { return grabbed_; }

private:
    bool grabbed_ = false;
};

class PoleHandle : public CanvasItem {
public:
    explicit PoleHandle(MarkerPlot& p) : p_(p) {}
    bool HitTest(float X, float Y) const override;
    bool Drag(float X, float Y) override;
    PlotPoint Anchor() const override;

private:
    MarkerPlot& p_;
};

class ZeroHandle : public CanvasItem {
public:
    explicit ZeroHandle(MarkerPlot& p) : p_(p) {}
    bool HitTest(float X, float Y) const override;
    bool Drag(float X, float Y) override;  // follows X only
    PlotPoint Anchor() const override;

private:
    MarkerPlot& p_;
};

// The integrator line: moves parallel to itself through the pointer.
class LowGainHandle : public CanvasItem {
public:
    explicit LowGainHandle(MarkerPlot& p) : p_(p) {}
    bool HitTest(float X, float Y) const override;
    bool Drag(float X, float Y) override;
    PlotPoint Anchor() const override;

private:
    MarkerPlot& p_;
};

// The mouse pointer of the page.
enum class PointerShape { Default = 0, UpDown = 7, LeftRight = 9, Move = 15 };

// Click to grab, move, click to drop, for the three handles together. The button and shift
// state are not looked at.
class MarkerDrag {
public:
    explicit MarkerDrag(MarkerPlot& p) : Pole(p), Zero(p), LowGain(p), p_(p) {}
    // Drops every grabbed handle and grabs every free one under the pointer; returns how many
    // were dropped (the curves are redrawn once for each).
    int MouseDown(float X, float Y);
    // Sets the pointer shape and moves the grabbed handles where their rules allow.
    void MouseMove(float X, float Y);

    PoleHandle Pole;
    ZeroHandle Zero;
    LowGainHandle LowGain;
    PointerShape Pointer = PointerShape::Default;
    bool OverPole = false;

private:
    bool NearLowGainLine(float X, float Y) const;
    MarkerPlot& p_;
};
