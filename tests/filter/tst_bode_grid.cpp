// The Bode plot's grid and its coordinate mappings, at the design size.
#include "fixture.h"

#include "filter/bode_grid.h"
#include "filter/filter_codes.h"

#include <cmath>

TEST(BodeGrid, SafeLog10) {
    EXPECT_EQ(SafeLog10(0), -1000.0f);
    EXPECT_EQ(SafeLog10(1000), 3.0f);
    EXPECT_EQ(SafeLog10(1), 0.0f);
    EXPECT_TRUE(std::isnan(SafeLog10(-1)));
    EXPECT_TRUE(std::isnan(SafeLog10(std::nan(""))));
}

TEST(BodeGrid, LayoutAtDesignSize) {
    const BodeGrid g = SetupPlotGrid();
    EXPECT_EQ(g.X[0], 600.0f);
    EXPECT_EQ(g.X[9], 3353.75f);
    EXPECT_EQ(g.X[18], 6107.5f);
    EXPECT_EQ(g.X[36], 11615.0f);
    EXPECT_EQ(g.HorizontalX2, 11615.0f);
    EXPECT_EQ(g.BottomX2, 12615.0f);
    for (int i = 0; i < kHorizontalGridLines; ++i) EXPECT_EQ(g.Y[static_cast<size_t>(i)], 6300.0f - 420 * i) << i;
    for (int i = 1; i < kVerticalGridLines; ++i) {
        EXPECT_GT(g.X[static_cast<size_t>(i)], g.X[static_cast<size_t>(i - 1)]) << i;
        EXPECT_NEAR(g.X[static_cast<size_t>(i)], FreqToX(g, GridLineFrequency(i)), 1e-3) << i;
    }
    EXPECT_EQ(GridLineFrequency(10), 2000);
    EXPECT_EQ(GridLineFrequency(27), 100000);
    EXPECT_EQ(GridLineFrequency(36), 1000000);
}

TEST(BodeGrid, Mappings) {
    const BodeGrid g = SetupPlotGrid();
    EXPECT_EQ(FreqToX(g, 100), 600.0f);
    EXPECT_EQ(FreqToX(g, 1000), 3353.75f);
    EXPECT_EQ(FreqToX(g, 1000000), 11615.0f);
    EXPECT_EQ(ExponentToX(g, 4), 6107.5f);
    EXPECT_NEAR(FreqToX(g, 0), 600 - 2753.75 * 1002, 1);
    EXPECT_EQ(XToFreq(g, 600), 100.0f);
    EXPECT_EQ(XToFreq(g, 11615), 1000000.0f);
    for (float x : {700.0f, 1234.5f, 5000.0f, 9876.0f}) {
        const float f = XToFreq(g, x);
        EXPECT_EQ(f, static_cast<float>(std::round(double(f) * 100) / 100)) << x;  // two decimals at most
        EXPECT_NEAR(FreqToX(g, f), x, 0.1) << x;
    }
    EXPECT_EQ(GainToY(g, 0), 3360.0f);
    EXPECT_EQ(GainToY(g, 20), 2520.0f);
    EXPECT_EQ(GainToY(g, -70), 6300.0f);
    for (float dB : {-70.0f, -2.73f, 0.0f, 15.0f, 29.63f}) EXPECT_NEAR(YToGain(g, GainToY(g, dB)), dB, 1e-4);
    EXPECT_EQ(PhaseToY(g, 0), 2940.0f);
    EXPECT_EQ(PhaseToY(g, -180), 5460.0f);
    EXPECT_EQ(PhaseToY(g, 150), 840.0f);
    const SlopeGeometry sl = SlopeGeometryOf(g);
    EXPECT_EQ(sl.X0, 600.0f);
    EXPECT_EQ(sl.D, 2753.75f);
    EXPECT_EQ(sl.H20, 840.0f);
    EXPECT_NEAR(sl.s, 0.30504, 1e-5);
}

TEST(BodeGrid, AxisLabels) {
    const BodeGrid g = SetupPlotGrid();
    const auto f = FrequencyTicks(g);
    ASSERT_EQ(f.size(), 12u);
    EXPECT_EQ(f[0].Text, "500Hz");
    EXPECT_EQ(f[0].Pos, g.X[4]);
    EXPECT_EQ(f[1].Text, "1kHz");
    EXPECT_EQ(f[1].Pos, 3353.75f);
    EXPECT_EQ(f[4].Text, "200Hz");
    EXPECT_EQ(f[4].Line, 1);
    EXPECT_EQ(f[11].Text, "1MHz");
    EXPECT_EQ(f[11].Pos, 11615.0f);

    const auto dB = GainTicks(g);
    ASSERT_EQ(dB.size(), 14u);
    EXPECT_EQ(dB[0].Text, "-70dB");
    EXPECT_EQ(dB[6].Text, "-10dB");
    EXPECT_EQ(dB[7].Text, " 0dB");
    EXPECT_EQ(dB[7].Pos, 3360.0f);
    EXPECT_EQ(dB[13].Text, " 60dB");
    const auto ph = PhaseTicks(g);
    ASSERT_EQ(ph.size(), 14u);
    EXPECT_EQ(ph[0].Text, QStringLiteral("-240\u00B0"));
    EXPECT_EQ(ph[8].Text, QStringLiteral(" 0\u00B0"));
    EXPECT_EQ(ph[13].Text, QStringLiteral(" 150\u00B0"));
    EXPECT_EQ(ph[13].Pos, 840.0f);
    EXPECT_EQ(PhaseLabelLeft(g), 11665.0f);
}

TEST(BodeGrid, RangeIndicators) {
    const BodeGrid g = SetupPlotGrid();
    const GainRanges r49 = GainRangesFor(g, 0);
    EXPECT_EQ(r49.HFX, 11615.0f);
    EXPECT_EQ(r49.HFY1, 2352.0f);  // +24 dB
    EXPECT_EQ(r49.HFY2, 4368.0f);  // -24 dB
    EXPECT_EQ(r49.HFLabelTop, 2402.0f);
    EXPECT_EQ(r49.LFY1, 2520.0f);  // +20 dB
    EXPECT_EQ(r49.LFY2, 4620.0f);  // the -30 dB line, not -28 dB
    EXPECT_EQ(r49.LFX, 600.0f);
    EXPECT_EQ(r49.LFLabelTop, 4700.0f);
    EXPECT_EQ(GainLineIndex(g.Scale, -28), 4);
    const GainRanges none = GainRangesFor(g, 12);
    EXPECT_EQ(none.HFY1, 3360.0f);
    EXPECT_EQ(none.HFY2, 3360.0f);

    const struct {
        int code;
        double low, high;
    } ranges[] = {{0, 100, 15500},  {1, 100, 15500},  {2, 100, 31000},  {4, 100, 31000},   {5, 200, 62000},
                  {7, 200, 62000},  {8, 400, 124000}, {9, 400, 124000}, {10, 800, 186000}, {11, 1000, 217000}};
    for (const auto& c : ranges) {
        const auto r = PoleZeroRangeFor(g, c.code);
        ASSERT_TRUE(r) << c.code;
        EXPECT_EQ(r->X1, FreqToX(g, c.low)) << c.code;
        EXPECT_EQ(r->X2, FreqToX(g, c.high)) << c.code;
    }
    EXPECT_EQ(PoleZeroRangeFor(g, 12), std::nullopt);
    EXPECT_EQ(PoleZeroRangeFor(g, 0)->Centre(), (600 + FreqToX(g, 15500)) / 2);
}
