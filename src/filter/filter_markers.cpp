#include "filter/filter_markers.h"

#include "core/numbers.h"

#include <cmath>

QString FrequencyValueText(double hz) { return NumberText(RoundHalfEven(hz / 1000, 2)) + QStringLiteral(" kHz"); }
QString GainValueText(double dB) { return NumberText(RoundHalfEven(dB, 2)) + QStringLiteral("dB"); }
QString LowGainValueText(double dB) { return NumberText(RoundHalfEven(dB, 2)) + QStringLiteral("dB "); }

QString FormatMarkerValue(const QString& text) {
    const QString unit = text.contains(QStringLiteral("dB")) ? QStringLiteral("dB") : QStringLiteral("kHz");
    const float v = static_cast<float>(RoundHalfEven(ParseNumber(text), 2));
    // The fraction's text tells how many decimals are there to pad.
    const QString t = NumberText(RoundHalfEven(double(v) - std::floor(double(v)), 3));
    QString suffix;
    if (t.size() <= 1) suffix = QStringLiteral(".00");
    else if (t.size() == 2) suffix = QStringLiteral("0");
    return NumberText(v) + suffix + unit;
}

QString PoleCaptionText(const QString& gainText, const QString& freqText) {
    return QStringLiteral("Pole (") + FormatMarkerValue(gainText) + QStringLiteral(" @ ") + FormatMarkerValue(freqText) +
           QStringLiteral(")");
}

QString ZeroCaptionText(const QString& freqText) {
    return QStringLiteral("Zero (") + FormatMarkerValue(freqText) + QStringLiteral(")");
}

QString LowGainCaptionText(const QString& lowGainText) {
    return QStringLiteral("Low Gain (") + lowGainText + QStringLiteral("@ 1Hz)");
}

float ComputeZeroMarkerY(const BodeGrid& g, const FilterMarkers& m, float zeroHz) {
    const SlopeGeometry sg = SlopeGeometryOf(g);
    const float pcx = m.shpPole.CentreX(), pcy = m.shpPole.CentreY();
    const float x = FreqToX(g, zeroHz);
    const float slope = -sg.H20 / sg.D;
    const float b = pcy - slope * pcx;
    return slope * x + b;
}

void PositionPoleMarker(const BodeGrid& g, FilterMarkers& m, const FilterSet& set) {
    m.shpPole.Left = FreqToX(g, set.Pole) - m.shpPole.Width / 2;
    m.shpPole.Top = GainToY(g, set.HFGain) - m.shpPole.Height / 2;
    m.lblPoleFreq = FrequencyValueText(XToFreq(g, m.shpPole.CentreX()));
    m.lblHighFGain = GainValueText(YToGain(g, m.shpPole.CentreY()));
    m.lblPolePos = {PoleCaptionText(m.lblHighFGain, m.lblPoleFreq), m.shpPole.CentreX(), m.shpPole.Top - kCaptionGap, true};
}

void PositionZeroMarker(const BodeGrid& g, FilterMarkers& m, const FilterSet& set) {
    m.shpZero.Left = FreqToX(g, set.Zero) - m.shpZero.Width / 2;
    m.shpZero.Top = ComputeZeroMarkerY(g, m, set.Zero) - m.shpZero.Height / 2;
    m.lblZeroFreq = FrequencyValueText(XToFreq(g, m.shpZero.CentreX()));
    m.lblZeroPos = {ZeroCaptionText(m.lblZeroFreq), m.shpZero.CentreX(), m.shpZero.Top - kCaptionGap, true};
}

void PositionLowGainMarker(const BodeGrid& g, FilterMarkers& m, const FilterSet& set) {
    const SlopeGeometry sg = SlopeGeometryOf(g);
    // The integrator falls 20 dB per decade through its gain at 1 Hz, two decades left of the plot.
    const float y1Hz = GainToY(g, set.LFGain);
    m.lnIstSlope.X1 = sg.X0;
    m.lnIstSlope.Y1 = y1Hz + sg.s * (sg.X0 - FreqToX(g, 1));
    m.lblLowFGain = LowGainValueText(set.LFGain);
    m.lblLowGainPos.Bottom = m.lnIstSlope.Y1;
    m.lblLowGainPos.Text = LowGainCaptionText(m.lblLowFGain);
}

void DrawFilterAsymptotes(const BodeGrid& g, FilterMarkers& m) {
    const float s = SlopeGeometryOf(g).s;
    const float zcx = m.shpZero.CentreX(), zcy = m.shpZero.CentreY();
    const float pcx = m.shpPole.CentreX(), pcy = m.shpPole.CentreY();
    const float b = m.lnIstSlope.Y1 - s * m.lnIstSlope.X1;
    const float xi = (zcy - b) / s;
    m.ln2ndSlope = {zcx, zcy, pcx, pcy};
    m.LnHor1 = {xi, zcy, zcx, zcy};
    m.LnHor2 = {pcx, pcy, g.X[kVerticalGridLines - 1], pcy};
    m.lnIstSlope.X2 = xi;
    m.lnIstSlope.Y2 = zcy;
}

void UpdateFilterMarkers(const BodeGrid& g, FilterMarkers& m, const FilterSet& set) {
    PositionPoleMarker(g, m, set);
    PositionZeroMarker(g, m, set);
    PositionLowGainMarker(g, m, set);
    DrawFilterAsymptotes(g, m);
}
