// The filter's markers, asymptotes, captions and the drag rules, with numbers only, on the plot
// laid out at its design size.
#include "filter/filter_markers.h"
#include "filter/marker_drag.h"

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// A plot at 49 kHz with the given set shown and its markers placed.
class MarkerPlotTest : public ::testing::Test {
protected:
    void Place(FilterSet s, int freqCode = 0) {
        set = s;
        plot.Set = &set;
        plot.PoleZero = *PoleZeroRangeFor(plot.Grid, freqCode);
        plot.Gains = GainRangesFor(plot.Grid, freqCode);
        UpdateFilterMarkers(plot.Grid, plot.Markers, set);
    }
    void SetUp() override { Place({30, 4000, 0, 500}); }  // LF gain, pole, HF gain, zero
    float s() const { return SlopeGeometryOf(plot.Grid).s; }
    const FilterMarkers& m() const { return plot.Markers; }
    float X(double hz) const { return FreqToX(plot.Grid, hz); }
    float Y(double dB) const { return GainToY(plot.Grid, dB); }
    // A click, as the page forwards it: grab or drop.
    int Click(float x, float y) { return drag.MouseDown(x, y); }

    FilterSet set;
    MarkerPlot plot;
    MarkerDrag drag{plot};
};

TEST_F(MarkerPlotTest, MarkersAndSegmentsAtTheDesignSize) {
    Place({40, 10000, 0, 1000});
    EXPECT_NEAR(m().shpPole.CentreX(), 6107.5, 0.01);
    EXPECT_NEAR(m().shpPole.CentreY(), 3360, 0.01);
    EXPECT_NEAR(m().shpZero.CentreX(), 3353.75, 0.01);
    EXPECT_NEAR(m().shpZero.CentreY(), 4200, 0.01);  // a decade lower, 20 dB lower
    EXPECT_EQ(m().shpPole.Width, 160);
    EXPECT_EQ(m().shpZero.Width, 165);
    // 40 dB at 1 Hz is 0 dB at 100 Hz, and the integrator meets the zero's level at the zero.
    EXPECT_EQ(m().lnIstSlope.X1, 600);
    EXPECT_NEAR(m().lnIstSlope.Y1, 3360, 0.01);
    EXPECT_NEAR(m().LnHor1.X1, m().LnHor1.X2, 0.05);
    // The four segments join: integrator, flat, rising, flat to 1 MHz.
    EXPECT_EQ(m().lnIstSlope.X2, m().LnHor1.X1);
    EXPECT_EQ(m().lnIstSlope.Y2, m().shpZero.CentreY());
    EXPECT_EQ(m().ln2ndSlope.X1, m().shpZero.CentreX());
    EXPECT_EQ(m().ln2ndSlope.Y2, m().shpPole.CentreY());
    EXPECT_EQ(m().LnHor2.X1, m().shpPole.CentreX());
    EXPECT_EQ(m().LnHor2.X2, 11615);
    EXPECT_EQ(m().LnHor2.Y1, m().LnHor2.Y2);
    // Captions 30 twips above their markers; the integrator's directly above its left end.
    EXPECT_EQ(m().lblPolePos.Bottom, m().shpPole.Top - 30);
    EXPECT_EQ(m().lblPolePos.X, m().shpPole.CentreX());
    EXPECT_EQ(m().lblZeroPos.Bottom, m().shpZero.Top - 30);
    EXPECT_FALSE(m().lblLowGainPos.Centred);
    EXPECT_EQ(m().lblLowGainPos.X, 720);
    EXPECT_EQ(m().lblLowGainPos.Bottom, m().lnIstSlope.Y1);
}

TEST_F(MarkerPlotTest, ValueLabelsAndCaptions) {
    Place({29.63f, 150, 15, 100});
    EXPECT_EQ(m().lblPoleFreq, ".15 kHz");
    EXPECT_EQ(m().lblHighFGain, "15dB");
    EXPECT_EQ(m().lblPolePos.Text, "Pole (15.00dB @ .15kHz)");
    EXPECT_EQ(m().lblLowFGain, "29.63dB ");
    EXPECT_EQ(m().lblLowGainPos.Text, "Low Gain (29.63dB @ 1Hz)");
    Place({30, 12500, -3.25f, 2380});
    EXPECT_EQ(m().lblPoleFreq, "12.5 kHz");
    EXPECT_EQ(m().lblHighFGain, "-3.25dB");
    EXPECT_EQ(m().lblPolePos.Text, "Pole (-3.25dB @ 12.50kHz)");
    EXPECT_EQ(m().lblZeroFreq, "2.38 kHz");
    EXPECT_EQ(m().lblZeroPos.Text, "Zero (2.38kHz)");
}

TEST(FormatMarkerValue, TwoDecimalsAndTheUnitWithNoBlank) {
    const std::pair<const char*, const char*> cases[] = {
        {"15dB", "15.00dB"},     {"-3.2dB", "-3.20dB"}, {"0dB", "0.00dB"},     {".15 kHz", ".15kHz"},
        {"12.5 kHz", "12.50kHz"}, {"-.5dB", "-.50dB"},  {"29.63dB ", "29.63dB"}, {"1.005 kHz", "1.00kHz"},
        {"", "0.00kHz"},         {"abc", "0.00kHz"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(FormatMarkerValue(QString::fromLatin1(in)), out) << in;
}

TEST_F(MarkerPlotTest, AClickOnAMarkersEdgeNeitherGrabsNorShowsItsPointer) {
    const MarkerShape pole = m().shpPole;
    drag.MouseMove(pole.Left, pole.CentreY());
    EXPECT_EQ(drag.Pointer, PointerShape::Default);
    EXPECT_EQ(Click(pole.Left, pole.CentreY()), 0);
    EXPECT_EQ(Click(pole.Left + pole.Width, pole.CentreY()), 0);
    EXPECT_FALSE(drag.Pole.Grabbed());
    drag.MouseMove(pole.Left + 1, pole.CentreY());
    EXPECT_EQ(drag.Pointer, PointerShape::Move);
    Click(pole.Left + 1, pole.CentreY());
    EXPECT_TRUE(drag.Pole.Grabbed());
    EXPECT_EQ(Click(0, 0), 1);  // any click drops it
    EXPECT_FALSE(drag.Pole.Grabbed());

    drag.MouseMove(m().shpZero.CentreX(), m().shpZero.CentreY());
    EXPECT_EQ(drag.Pointer, PointerShape::LeftRight);
    Click(m().shpZero.CentreX(), m().shpZero.CentreY());
    EXPECT_TRUE(drag.Zero.Grabbed());
    EXPECT_FALSE(drag.Pole.Grabbed());
}

TEST_F(MarkerPlotTest, TheIntegratorLineGrabsWithinAHundredTwips) {
    const float x = 1000, yl = s() * (x - 600) + m().lnIstSlope.Y1;
    struct Case {
        float x, y;
        bool grabs;
        PointerShape pointer;
    } cases[] = {
        {x, yl - 99, true, PointerShape::UpDown},
        {x, yl + 99, true, PointerShape::UpDown},
        {x, yl - 100, false, PointerShape::Default},
        {x, yl + 100, false, PointerShape::Default},
        // Beyond the zero's level the line is not the integrator's any more.
        {4000, s() * (4000 - 600) + m().lnIstSlope.Y1, false, PointerShape::Default},
        // Left of the plot the line's extension grabs, with no pointer shape.
        {300, s() * (300 - 600) + m().lnIstSlope.Y1, true, PointerShape::Default},
    };
    for (const Case& c : cases) {
        drag.MouseMove(c.x, c.y);
        EXPECT_EQ(drag.Pointer, c.pointer) << c.x << " " << c.y;
        Click(c.x, c.y);
        EXPECT_EQ(drag.LowGain.Grabbed(), c.grabs) << c.x << " " << c.y;
        if (drag.LowGain.Grabbed()) {
            EXPECT_EQ(Click(-5000, -5000), 1);
        }
    }
    plot.DigFilterShown = false;  // the hover shape follows the Digital Filter box, the grab does not
    drag.MouseMove(x, yl);
    EXPECT_EQ(drag.Pointer, PointerShape::Default);
}

TEST_F(MarkerPlotTest, PoleMovesWithinItsRulesAndTakesTheZeroAlong) {
    const float zcx = m().shpZero.CentreX();
    Click(m().shpPole.CentreX(), m().shpPole.CentreY());
    ASSERT_TRUE(drag.Pole.Grabbed());

    drag.MouseMove(X(8000), Y(6));
    EXPECT_EQ(set.Pole, 8000);
    EXPECT_EQ(set.HFGain, 6);
    EXPECT_EQ(set.Zero, 500);  // the zero keeps its frequency on the new rising line
    EXPECT_NEAR(m().shpZero.CentreX(), zcx, 0.01);
    EXPECT_NEAR(m().shpZero.CentreY(), Y(6 - 20 * std::log10(16.0)), 0.05);
    EXPECT_EQ(m().ln2ndSlope.X2, m().shpPole.CentreX());
    EXPECT_EQ(m().LnHor2.Y1, m().shpPole.CentreY());
    EXPECT_EQ(m().lblPolePos.Text, "Pole (6.00dB @ 8.00kHz)");

    const FilterSet before = set;
    const MarkerShape at = m().shpPole;
    const struct {
        float x, y;
    } refused[] = {
        {zcx, Y(0)},                      // at the zero's X
        {zcx - 50, Y(0)},                 // left of it
        {X(16000), Y(0)},                 // beyond the pole/zero range
        {X(8000), Y(24) - 1},             // above the HF gain range
        {X(8000), Y(-24) + 1},            // below it
    };
    for (const auto& r : refused) {
        drag.MouseMove(r.x, r.y);
        EXPECT_EQ(set.Pole, before.Pole) << r.x << " " << r.y;
        EXPECT_EQ(set.HFGain, before.HFGain) << r.x << " " << r.y;
        EXPECT_EQ(m().shpPole.Left, at.Left);
    }
    // The stored pole is the shown one, to 10 Hz.
    drag.MouseMove(X(12345.67), Y(8));
    EXPECT_EQ(m().lblPoleFreq, "12.35 kHz");
    EXPECT_EQ(set.Pole, 12350);
    // Nudged by a dB from where it is held.
    EXPECT_TRUE(drag.Pole.DragBy(0, 42));
    EXPECT_EQ(set.HFGain, 7);
}

TEST_F(MarkerPlotTest, PoleRangeEdgesThemselvesAreAllowed) {
    Click(m().shpPole.CentreX(), m().shpPole.CentreY());
    drag.MouseMove(plot.PoleZero.X2, Y(8));
    EXPECT_EQ(m().shpPole.CentreX(), plot.PoleZero.X2);
    EXPECT_EQ(set.Pole, 15500);
    Place({55, 4000, 20, 500});  // a higher integrator lets the pole rise to the top
    drag.MouseMove(X(4000), plot.Gains.HFY1);
    EXPECT_EQ(set.HFGain, 24);
    Place({11, 4000, -20, 500});  // a lower one lets it fall to the bottom
    drag.MouseMove(X(4000), plot.Gains.HFY2);
    EXPECT_EQ(set.HFGain, -24);
    EXPECT_TRUE(drag.Pole.Grabbed());
}

TEST_F(MarkerPlotTest, ZeroStaysRightOfTheRangeAndLeftOfThePole) {
    Place({30, 20000, 0, 2000}, 11);  // 694 kHz: pole/zero range from 1 kHz
    const float pcx = m().shpPole.CentreX();
    Click(m().shpZero.CentreX(), m().shpZero.CentreY());
    ASSERT_TRUE(drag.Zero.Grabbed());
    drag.MouseMove(X(5000), 0);  // the zero follows X only
    EXPECT_EQ(set.Zero, 5000);
    EXPECT_NEAR(m().shpZero.CentreY(), Y(-20 * std::log10(4.0)), 0.05);
    EXPECT_EQ(m().lblZeroPos.Text, "Zero (5.00kHz)");
    EXPECT_EQ(m().LnHor1.X2, m().shpZero.CentreX());

    for (float x : {pcx, pcx + 10, plot.PoleZero.X1}) {
        drag.MouseMove(x, 0);
        EXPECT_EQ(set.Zero, 5000) << x;
    }
    drag.MouseMove(plot.PoleZero.X1 + 1, 0);
    EXPECT_EQ(set.Zero, 1000);

    Place({60, 20000, 10, 5000}, 11);  // an integrator high enough for the zero to near the pole
    drag.MouseMove(pcx, 0);
    EXPECT_EQ(set.Zero, 5000);
    drag.MouseMove(pcx - 1, 0);
    EXPECT_LT(set.Zero, 20000);
    EXPECT_GT(set.Zero, 19900);
}

TEST_F(MarkerPlotTest, ZeroSlopeLineMeetsTheBottomLine) {
    const float zcx = m().shpZero.CentreX(), zcy = m().shpZero.CentreY();
    const float atBottom = zcx - (plot.Grid.BottomY - zcy) / s();
    EXPECT_TRUE(CheckZeroSlopeLine(plot, atBottom + 1, 0));
    EXPECT_FALSE(CheckZeroSlopeLine(plot, atBottom - 1, 0));
}

TEST_F(MarkerPlotTest, IntegratorStaysInsideTheLowGainRange) {
    // The 100 Hz gain may lie strictly between +20 dB and -30 dB: 60 to 10 dB at 1 Hz.
    auto grabAndMoveTo = [&](float y0) {
        const float x = 1000, grabAt = -300;  // left of the plot the line is above the zero's level
        Click(grabAt, s() * (grabAt - 600) + m().lnIstSlope.Y1);
        EXPECT_TRUE(drag.LowGain.Grabbed());
        drag.MouseMove(x, y0 + s() * (x - 600));
        Click(-5000, -5000);
    };
    Place({35, 10000, 20, 1000});  // the zero at 0 dB, so the integrator can rise to +20 dB
    grabAndMoveTo(Y(20));
    EXPECT_EQ(set.LFGain, 35);
    grabAndMoveTo(Y(20) + 1);
    EXPECT_EQ(set.LFGain, 59.98f);
    EXPECT_EQ(m().lblLowFGain, "59.98dB ");
    EXPECT_EQ(m().lblLowGainPos.Text, "Low Gain (59.98dB @ 1Hz)");
    EXPECT_NEAR(m().lnIstSlope.Y1, Y(20) + 1, 0.01);
    EXPECT_EQ(m().lblLowGainPos.Bottom, m().lnIstSlope.Y1);

    Place({11, 4000, -24, 500});  // the zero low enough for the integrator to reach -30 dB
    grabAndMoveTo(Y(-30));
    EXPECT_EQ(set.LFGain, 11);
    grabAndMoveTo(Y(-30) - 1);
    EXPECT_EQ(set.LFGain, 10.02f);
    // Never above the zero at its X, never with its left end below the zero's level.
    grabAndMoveTo(m().shpZero.CentreY() + 1);
    EXPECT_EQ(set.LFGain, 10.02f);
}

TEST_F(MarkerPlotTest, OneClickDropsEveryGrabbedHandle) {
    Place({40, 10000, 0, 1000});  // the integrator runs through the zero's centre
    const float zcx = m().shpZero.CentreX(), zcy = m().shpZero.CentreY();
    EXPECT_EQ(Click(zcx, zcy - 10), 0);
    EXPECT_TRUE(drag.Zero.Grabbed());
    EXPECT_TRUE(drag.LowGain.Grabbed());
    EXPECT_EQ(Click(zcx, zcy - 10), 2);  // and grabs nothing again: these were drops
    EXPECT_FALSE(drag.Zero.Grabbed() || drag.LowGain.Grabbed() || drag.Pole.Grabbed());
}

TEST_F(MarkerPlotTest, MoveValidationAnswersForKnownMarkersOnly) {
    EXPECT_FALSE(ValidateMarkerMove(plot, X(8000), Y(0), 0));
    EXPECT_FALSE(ValidateMarkerMove(plot, X(8000), Y(0), 4));
    EXPECT_TRUE(ValidateMarkerMove(plot, X(8000), Y(6), 1));
    EXPECT_FALSE(ValidateMarkerMove(plot, X(8000), Y(0), 1));  // the zero would fall under the integrator
    const FilterMarkers before = m();
    EXPECT_EQ(m().shpPole.Left, before.shpPole.Left);
}

}  // namespace
