// The frequency-response models, the curves the plot draws and the loop margins.
#include "fixture.h"

#include "filter/bode_grid.h"
#include "filter/loop_models.h"
#include "registers/session.h"

#include <cmath>

namespace {

// The start-up model inputs.
ModelInputs StartInputs(const char* freq = "195kHz") {
    SetLoopModelDefaults();
    return ModelInputsFrom(Shared().Devices[0].LoopModel, QString::fromLatin1(freq));
}

FilterSet Defaults(float fs) { return FilterSetFromCodes(3, 238, 150, 15, fs); }

}  // namespace

TEST(LoopModels, PowerStageInCCM) {
    const ModelInputs in = StartInputs();
    const PowerStageModel m = MakePowerStage(in);
    EXPECT_TRUE(m.Valid);
    EXPECT_FALSE(m.DCM);  // K = 1.56 >= 0.2
    EXPECT_DOUBLE_EQ(m.K0, 25);
    EXPECT_NEAR(PowerStageGain(in, 100), 27.96, 0.005);
    EXPECT_NEAR(PowerStageGain(in, 5600), 41.49, 0.005);
    EXPECT_NEAR(PowerStageGain(in, 100000), -17.98, 0.005);
    // Well below the resonance no phase; well above it the double pole's -180 plus the ESR zero.
    EXPECT_NEAR(PowerStagePhase(in, 1), 0, 0.01);
    EXPECT_NEAR(PowerStagePhase(in, 1e6), -180 + 90, 5);
}

TEST(LoopModels, PowerStageInDCM) {
    ModelInputs in = StartInputs("49kHz");
    in.RL = 100;  // K = 0.00392 < 0.2
    const PowerStageModel m = MakePowerStage(in);
    EXPECT_TRUE(m.DCM);
    EXPECT_NEAR(m.K0, 0.3736, 5e-5);
    EXPECT_EQ(m.a4, 0);
    EXPECT_NEAR(PowerStageGain(in, 100), -8.58, 0.005);
}

TEST(LoopModels, PowerStageGuardsAndFailures) {
    // K = 0 = 1 - D: continuous, so no division by the zero Rd.
    ModelInputs in = StartInputs();
    in.L1 = 0;
    in.Duty = 100;
    EXPECT_FALSE(MakePowerStage(in).DCM);
    EXPECT_NEAR(PowerStageGain(in, 100), 27.96, 0.005);

    ModelInputs n1 = StartInputs(), one = StartInputs();
    n1.N1 = 0;
    one.N1 = 1;
    EXPECT_EQ(PowerStageGain(n1, 1000), PowerStageGain(one, 1000));
    ModelInputs rl = StartInputs(), tiny = StartInputs();
    rl.RL = 0;
    tiny.RL = 0.00001;
    EXPECT_EQ(PowerStageGain(rl, 1000), PowerStageGain(tiny, 1000));
    EXPECT_EQ(PowerStagePhase(rl, 1000), PowerStagePhase(tiny, 1000));

    const auto fails = [](ModelInputs bad) {
        EXPECT_FALSE(MakePowerStage(bad).Valid);
        EXPECT_TRUE(std::isnan(PowerStageGain(bad, 1000)));
        EXPECT_TRUE(std::isnan(PowerStagePhase(bad, 1000)));
    };
    ModelInputs noFreq = StartInputs("");
    fails(noFreq);
    noFreq.Duty = 100;  // continuous, yet still without a switching period
    fails(noFreq);
    ModelInputs dcm0 = StartInputs();
    dcm0.RL = 1000;
    dcm0.Duty = 0;  // DCM with no duty cycle
    fails(dcm0);
    ModelInputs noL1 = StartInputs();
    noL1.L1 = 0;  // DCM with Rd = 0
    fails(noL1);
}

TEST(LoopModels, FeedbackDivider) {
    ModelInputs in = StartInputs();
    for (float f : {1.0f, 1000.0f, 999991.0f}) {
        EXPECT_NEAR(FeedbackGain(in, f), -6.02, 0.005) << f;
        EXPECT_EQ(FeedbackPhase(in, f), 0.0f) << f;
    }
    in.C3 = 1;
    in.C4 = 1;  // (1 + jwT2) / (1 + jwT1) with T1 = 2 T2: a lag, -6 dB more at high frequency
    EXPECT_LT(FeedbackPhase(in, 200), 0.0f);
    EXPECT_NEAR(FeedbackGain(in, 1e6), -12.04, 0.01);
    in.R3 = 0;
    in.R4 = 0;
    EXPECT_TRUE(std::isnan(FeedbackGain(in, 1000)));
    EXPECT_TRUE(std::isnan(FeedbackPhase(in, 1000)));
}

TEST(LoopModels, DigitalFilter) {
    const FilterSet s = {40, 10000, 0, 1000};
    // Integrator at low frequency, flat at HF gain far above the pole.
    EXPECT_NEAR(DigitalFilterGain(s, 1), 40, 0.05);
    EXPECT_NEAR(DigitalFilterPhase(s, 1), -90, 0.1);
    EXPECT_NEAR(DigitalFilterGain(s, 1e6), 0, 0.01);
    EXPECT_GT(DigitalFilterPhase(s, 3000), 0.0f);
    const FilterSet noHF = {40, 10000, -20000, 1000};
    EXPECT_TRUE(std::isnan(DigitalFilterPhase(noHF, 1000)));
    EXPECT_FALSE(std::isnan(DigitalFilterGain(noHF, 1000)));
}

TEST(LoopModels, Atan2Degrees) {
    const struct {
        double im, re, deg;
    } cases[] = {{1, 0, 90}, {-1, 0, -90}, {0, 0, 0}, {1, -1, 135}, {-1, -1, -135}, {0, -1, 0}, {1, 1, 45}, {-1, 1, -45}};
    for (const auto& c : cases) EXPECT_NEAR(Atan2Degrees(c.im, c.re), c.deg, 1e-3) << c.im << "," << c.re;
    EXPECT_EQ(Atan2Degrees(1, 0), 90.0f);
    EXPECT_FLOAT_EQ(ParallelValue(2, 2), 1);
}

TEST(LoopModels, Sweeps) {
    const auto plot = PlotSweepFrequencies();
    ASSERT_EQ(plot.size(), 201u);
    EXPECT_EQ(plot.front(), 100.0f);
    EXPECT_NEAR(plot.back(), 999991, 1);
    const auto margin = MarginSweepFrequencies();
    ASSERT_EQ(margin.size(), 600u);
    EXPECT_NEAR(margin.front(), 1.0023, 1e-4);
    EXPECT_NEAR(margin.back(), 979585, 1);
}

TEST(LoopModels, CurvesInDrawingOrder) {
    const BodeGrid g = SetupPlotGrid();
    const ModelInputs in = StartInputs();
    const FilterSet s = Defaults(195000);
    CurveSelection only;
    only.DigFilterPhase = false;  // the digital filter's gain is its asymptotes, not a curve
    EXPECT_TRUE(PlotCurves(g, in, s, only).empty());

    CurveSelection all{true, true, true, true, true, true, true, true};
    const auto curves = PlotCurves(g, in, s, all);
    const CurveKind order[] = {CurveKind::DigitalFilterPhase, CurveKind::PowerStagePhase, CurveKind::PowerStageGain,
                               CurveKind::FeedbackPhase,      CurveKind::FeedbackGain,    CurveKind::FullLoopPhase,
                               CurveKind::FullLoopGain};
    const uint32_t colors[] = {0x00FF00, 0xFF8000, 0xFF00FF, 0x00C0C0, 0x808000, 0xFF0000, 0x000000};
    ASSERT_EQ(curves.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(curves[i].Kind, order[i]) << i;
        EXPECT_EQ(curves[i].Color, colors[i]) << i;
        ASSERT_EQ(curves[i].Points.size(), 201u) << i;
        EXPECT_EQ(curves[i].Points.front().X, 600.0f);
    }
    EXPECT_EQ(curves[2].Points[0].Y, GainToY(g, PowerStageGain(in, 100)));
    EXPECT_EQ(curves[3].Points[0].Y, PhaseToY(g, 0));
    const float f = PlotSweepFrequencies()[100];
    EXPECT_EQ(curves[6].Points[100].Y, GainToY(g, PowerStageGain(in, f) + DigitalFilterGain(s, f) + FeedbackGain(in, f)));
}

TEST(LoopModels, FailedPointsAreHeldOrLeftOut) {
    const BodeGrid g = SetupPlotGrid();
    const ModelInputs in = StartInputs("");  // no switching frequency: the power stage fails
    CurveSelection all{true, true, true, true, true, true, true, true};
    const auto curves = PlotCurves(g, in, Defaults(195000), all);
    ASSERT_EQ(curves.size(), 7u);
    EXPECT_TRUE(curves[1].Points.empty());
    EXPECT_TRUE(curves[2].Points.empty());
    EXPECT_EQ(curves[4].Points.size(), 201u);
    for (const PlotPoint& p : curves[5].Points) EXPECT_EQ(p.Y, PhaseToY(g, 0));  // held at 0
    for (const PlotPoint& p : curves[6].Points) EXPECT_EQ(p.Y, GainToY(g, 0));
    const LoopMargins m = ComputeLoopMargins(in, Defaults(195000));
    EXPECT_FALSE(m.Crossed);
    EXPECT_EQ(m.PhaseMarginText, "-");
}

TEST(LoopModels, Margins) {
    const ModelInputs in = StartInputs();
    const FilterSet s = Defaults(195000);
    const LoopMargins m = ComputeLoopMargins(in, s);
    ASSERT_TRUE(m.Crossed);
    EXPECT_EQ(m.BandwidthText, "15.52 kHz");
    EXPECT_EQ(m.PhaseMarginText, " 54");
    // The crossover is the last sign change of the sweep.
    bool after = false;
    const float sign = LoopGain(in, s, m.CrossoverHz) > 0 ? 1.0f : -1.0f;
    for (float f : MarginSweepFrequencies()) {
        if (f == m.CrossoverHz) after = true;
        if (after) {
            EXPECT_GT(sign * LoopGain(in, s, f), 0.0f) << f;
        }
    }
    EXPECT_TRUE(after);

    ModelInputs late = StartInputs();
    late.L2 = 5;
    late.ESR1 = 1;  // a second stage pushes the phase past -180 at the crossover
    const LoopMargins neg = ComputeLoopMargins(late, FilterSetFromCodes(3, 238, 150, 60, 195000));
    EXPECT_EQ(neg.PhaseMarginText, "-13");

    ModelInputs open = StartInputs();
    open.R4 = 0;  // no feedback: the loop gain never reaches 0 dB
    const LoopMargins none = ComputeLoopMargins(open, s);
    EXPECT_FALSE(none.Crossed);
    EXPECT_EQ(none.PhaseMarginText, "-");
    EXPECT_TRUE(none.BandwidthText.isEmpty());
}
