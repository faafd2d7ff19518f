#include "filter/marker_drag.h"

#include "core/numbers.h"

namespace {

constexpr float kLineGrabDistance = 100;  // twips either side of the integrator line

float Slope(const MarkerPlot& p) { return SlopeGeometryOf(p.Grid).s; }

// The integrator's intercept: its Y at x is s x + b.
float IntegratorIntercept(const MarkerPlot& p) {
    const PlotLine& l = p.Markers.lnIstSlope;
    return l.Y1 - Slope(p) * l.X1;
}

}  // namespace

bool ValidateMarkerMove(const MarkerPlot& p, float X, float Y, int Marker) {
    const FilterMarkers& m = p.Markers;
    const float s = Slope(p);
    const float bInt = IntegratorIntercept(p);
    const float pcx = m.shpPole.CentreX(), pcy = m.shpPole.CentreY();
    const float zcx = m.shpZero.CentreX(), zcy = m.shpZero.CentreY();
    switch (Marker) {
    case 1: {
        if (s * X + bInt < pcy || X <= zcx) return false;
        const float b = Y + s * X;
        const float yz = b - s * zcx;       // where the zero would go
        const float yi = (b + bInt) / 2;    // the new rising line meets the integrator
        return yz < yi && zcx >= m.lnIstSlope.X2 && yz > m.lnIstSlope.Y1;
    }
    case 2: {
        const float bp = pcy + s * pcx;
        const float yp = bp - s * X;
        const float yi = (bp + bInt) / 2;
        return yp < yi && X >= m.lnIstSlope.X2 && X < pcx && yp > m.lnIstSlope.Y1 && X > p.PoleZero.X1;
    }
    case 3: {
        const float b = Y - s * X;
        if (s * zcx + b < zcy) return false;
        return s * p.Grid.X[0] + b <= zcy;
    }
    default: return false;
    }
}

bool CheckZeroSlopeLine(const MarkerPlot& p, float X, float /*Y*/) {
    const SlopeGeometry sg = SlopeGeometryOf(p.Grid);
    const float m = -sg.H20 / sg.D;
    const float b = p.Markers.shpZero.CentreY() - m * p.Markers.shpZero.CentreX();
    return m * X + b <= p.Grid.BottomY;
}

bool PoleHandle::HitTest(float X, float Y) const { return p_.Markers.shpPole.Contains(X, Y); }

PlotPoint PoleHandle::Anchor() const { return {p_.Markers.shpPole.CentreX(), p_.Markers.shpPole.CentreY()}; }

bool PoleHandle::Drag(float X, float Y) {
    if (!p_.Set || !ValidateMarkerMove(p_, X, Y, 1)) return false;
    if (!(p_.PoleZero.X1 <= X && X <= p_.PoleZero.X2 && p_.Gains.HFY1 <= Y && Y <= p_.Gains.HFY2)) return false;
    FilterMarkers& m = p_.Markers;
    m.shpPole.Left = X - m.shpPole.Width / 2;
    m.shpPole.Top = Y - m.shpPole.Height / 2;
    // The stored values are the shown ones: the pole to 10 Hz, the gain to 0.01 dB.
    m.lblPoleFreq = FrequencyValueText(XToFreq(p_.Grid, m.shpPole.CentreX()));
    p_.Set->Pole = static_cast<float>(ParseNumber(m.lblPoleFreq) * 1000);
    m.lblHighFGain = GainValueText(YToGain(p_.Grid, m.shpPole.CentreY()));
    p_.Set->HFGain = static_cast<float>(ParseNumber(m.lblHighFGain));
    m.lblPolePos = {PoleCaptionText(m.lblHighFGain, m.lblPoleFreq), X, m.shpPole.Top - kCaptionGap, true};
    m.LnHor2.X1 = m.shpPole.CentreX();
    m.LnHor2.Y1 = m.shpPole.CentreY();
    m.LnHor2.Y2 = m.LnHor2.Y1;
    PositionZeroMarker(p_.Grid, m, *p_.Set);
    DrawFilterAsymptotes(p_.Grid, m);
    return true;
}

bool ZeroHandle::HitTest(float X, float Y) const { return p_.Markers.shpZero.Contains(X, Y); }

PlotPoint ZeroHandle::Anchor() const { return {p_.Markers.shpZero.CentreX(), p_.Markers.shpZero.CentreY()}; }

bool ZeroHandle::Drag(float X, float Y) {
    if (!p_.Set || !ValidateMarkerMove(p_, X, Y, 2) || !CheckZeroSlopeLine(p_, X, Y)) return false;
    FilterMarkers& m = p_.Markers;
    m.lblZeroFreq = FrequencyValueText(XToFreq(p_.Grid, X));
    p_.Set->Zero = static_cast<float>(ParseNumber(m.lblZeroFreq) * 1000);
    m.shpZero.Left = X - m.shpZero.Width / 2;
    m.shpZero.Top = ComputeZeroMarkerY(p_.Grid, m, p_.Set->Zero) - m.shpZero.Height / 2;
    m.lblZeroPos = {ZeroCaptionText(m.lblZeroFreq), X, m.shpZero.Top - kCaptionGap, true};
    DrawFilterAsymptotes(p_.Grid, m);
    return true;
}

bool LowGainHandle::HitTest(float X, float Y) const {
    const float yl = Slope(p_) * (X - p_.Grid.X[0]) + p_.Markers.lnIstSlope.Y1;
    return yl - kLineGrabDistance < Y && Y < yl + kLineGrabDistance && Y <= p_.Markers.shpZero.CentreY();
}

PlotPoint LowGainHandle::Anchor() const { return {p_.Markers.lnIstSlope.X1, p_.Markers.lnIstSlope.Y1}; }

bool LowGainHandle::Drag(float X, float Y) {
    if (!p_.Set || !ValidateMarkerMove(p_, X, Y, 3)) return false;
    const float s = Slope(p_);
    const float b = Y - s * X;
    const float y0 = s * p_.Grid.X[0] + b;
    if (!(p_.Gains.LFY1 < y0 && y0 < p_.Gains.LFY2)) return false;
    FilterMarkers& m = p_.Markers;
    m.lnIstSlope.Y1 = y0;
    DrawFilterAsymptotes(p_.Grid, m);
    const float g = YToGain(p_.Grid, s * FreqToX(p_.Grid, 1) + b);
    m.lblLowFGain = LowGainValueText(g);
    p_.Set->LFGain = static_cast<float>(ParseNumber(m.lblLowFGain));
    m.lblLowGainPos.Bottom = m.lnIstSlope.Y1;
    m.lblLowGainPos.Text = LowGainCaptionText(m.lblLowFGain);
    return true;
}

int MarkerDrag::MouseDown(float X, float Y) {
    int dropped = 0;
    for (CanvasItem* item : {static_cast<CanvasItem*>(&Pole), static_cast<CanvasItem*>(&Zero),
                             static_cast<CanvasItem*>(&LowGain)}) {
        if (item->Grabbed()) {
            item->Release();
            ++dropped;
        } else if (item->HitTest(X, Y)) {
            item->Grab();
        }
    }
    return dropped;
}

bool MarkerDrag::NearLowGainLine(float X, float Y) const {
    return LowGain.HitTest(X, Y) && X > p_.Grid.X[0] && p_.DigFilterShown;
}

void MarkerDrag::MouseMove(float X, float Y) {
    OverPole = Pole.HitTest(X, Y);
    Pointer = OverPole ? PointerShape::Move : PointerShape::Default;
    if (Pole.Grabbed()) Pole.Drag(X, Y);
    // The zero may just have moved with the pole: it is tested where it is now.
    if (Zero.HitTest(X, Y)) Pointer = PointerShape::LeftRight;
    else if (!OverPole) Pointer = PointerShape::Default;
    if (Zero.Grabbed()) Zero.Drag(X, Y);
    if (NearLowGainLine(X, Y)) Pointer = PointerShape::UpDown;
    if (LowGain.Grabbed()) LowGain.Drag(X, Y);
}
