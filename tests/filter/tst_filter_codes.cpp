// Filter register codes and their engineering values, the frequency and threshold lists, the
// HF gain limits, the validity test of a set and the PWM edge rescale arithmetic.
#include "fixture.h"

#include "filter/bode_grid.h"
#include "filter/filter_codes.h"

#include <cmath>

TEST(FilterCodes, CornerFrequencyEnds) {
    EXPECT_EQ(CodeToCornerFreq(0, 49000), 15597.0f);
    EXPECT_EQ(CodeToCornerFreq(255, 49000), 30.0f);
    EXPECT_EQ(CodeToCornerFreq(0, 694000), std::floor(694000 / double(3.14159f)));
}

TEST(FilterCodes, LowFrequencyGain) {
    const float g1 = 20 * SafeLog10(CodeToLowFreqGain(1));
    EXPECT_NEAR(g1, 20 * std::log10(1.56e6 / 603.185302734375 / 256), 1e-4);
    EXPECT_NEAR(g1, 20.09, 0.005);
    EXPECT_EQ(CodeToLowFreqGain(0), 0.0f);
    EXPECT_EQ(FilterSetFromCodes(0, 238, 150, 15, 49000).LFGain, -20000.0f);
}

TEST(FilterCodes, DefaultsReadAt49kHz) {
    const FilterSet s = FilterSetFromCodes(kDefaultLFCode, kDefaultZeroCode, kDefaultPoleCode, kDefaultHFCode, 49000);
    EXPECT_EQ(s.Zero, 568.0f);
    EXPECT_EQ(s.Pole, 4072.0f);
    EXPECT_NEAR(s.LFGain, 29.63, 0.005);
    EXPECT_NEAR(s.HFGain, -2.73, 0.005);
}

TEST(FilterCodes, HighFrequencyGainAddsTheZeroWithoutPi) {
    // (PI x Pole + fs) x 10x / (Zero + fs), from the code of x = 128/256.
    const float g = CodeToHighFreqGain(128, 1000, 500, 100000);
    EXPECT_FLOAT_EQ(g, static_cast<float>((3.14159f * 1000.0 + 100000) * 5 / (500 + 100000.0)));
}

// Every code read at every listed frequency and written back: pole and zero unchanged, a gain
// code unchanged or one lower.
TEST(FilterCodes, CodesSurviveTheRoundTrip) {
    for (int f = 0; f < kFrequencyCount; ++f) {
        const float fs = SwitchingFrequencyOfCode(f);
        for (int code = 0; code < 256; ++code) {
            const FilterSet s = FilterSetFromCodes(code, code, 255 - code, code, fs);
            EXPECT_EQ(CornerFreqToCode(s.Zero, fs), code) << fs << " " << code;
            EXPECT_EQ(CornerFreqToCode(s.Pole, fs), 255 - code) << fs << " " << code;
            // Every code comes back as itself, so an Apply that changed nothing changes no register.
            EXPECT_EQ(LowFreqGainToCode(s.LFGain), code) << fs << " " << code;
            EXPECT_EQ(HighFreqGainToCode(s.HFGain, s.Pole, s.Zero, fs), code) << fs << " " << code;
        }
    }
    const FilterSet d = FilterSetFromCodes(3, 238, 150, 15, 49000);
    EXPECT_EQ(LowFreqGainToCode(d.LFGain), 3);  // 29.63 dB in single precision is just under code 3
}

TEST(FilterCodes, CodesStayInsideARegister) {
    // A high HF gain with a low pole exceeds 255 and is held there, as the chip would take it.
    EXPECT_EQ(HighFreqGainToCode(23.9f, 100, 50, 49000), 255);
    // A corner above fs / PI has no code of its own: the highest corner, code 0.
    EXPECT_EQ(CornerFreqToCode(20000, 49000), 0);
    EXPECT_EQ(LowFreqGainToCode(400), 255);
    EXPECT_EQ(LowFreqGainToCode(1000), 255);  // beyond single precision
    EXPECT_EQ(HighFreqGainToCode(1000, 4072, 568, 49000), 255);
    EXPECT_EQ(LowFreqGainToCode(-20000), 0);
}

TEST(FilterCodes, NoCodeWithoutAFrequencyOrANumber) {
    const float nan = std::nanf("");
    EXPECT_EQ(CornerFreqToCode(568, 0), std::nullopt);
    EXPECT_EQ(HighFreqGainToCode(-2.73f, 4072, 568, 0), std::nullopt);
    EXPECT_EQ(CornerFreqToCode(nan, 49000), std::nullopt);
    EXPECT_EQ(HighFreqGainToCode(nan, 4072, 568, 49000), std::nullopt);
    EXPECT_EQ(LowFreqGainToCode(nan), std::nullopt);
    EXPECT_EQ(LowFreqGainToCode(29.63f), 3);  // the LF gain does not depend on the frequency
}

TEST(FilterCodes, ReadingWithNoFrequencyGivesNumbers) {
    const FilterSet s = FilterSetFromCodes(3, 238, 150, 15, 0);
    EXPECT_EQ(s.Zero, 0.0f);
    EXPECT_EQ(s.Pole, 0.0f);
    EXPECT_FALSE(std::isnan(s.HFGain));
    EXPECT_FALSE(std::isnan(s.LFGain));
}

TEST(FilterCodes, FrequencyAndThresholdLists) {
    const float hz[] = {49000, 74500, 98000, 125000, 149000, 195000, 250000, 298000, 390000, 500000, 595000, 694000};
    for (int c = 0; c < kFrequencyCount; ++c) {
        EXPECT_EQ(SwitchingFrequencyOfCode(c), hz[c]);
        EXPECT_EQ(SwitchingFrequencyCode(SwitchingFrequencyTexts()[static_cast<size_t>(c)]), c);
    }
    EXPECT_EQ(SwitchingFrequencyTexts()[1], "74.5kHz");
    EXPECT_EQ(SwitchingFrequencyOfCode(12), 0.0f);
    EXPECT_EQ(SwitchingFrequencyCode(QString()), 12);
    EXPECT_EQ(SwitchingFrequencyCode(QStringLiteral("49 kHz")), 12);
    EXPECT_EQ(ThresholdCode(QStringLiteral("35%")), 7);
    EXPECT_EQ(ThresholdCode(QString()), 8);
}

TEST(FilterCodes, GainLimits) {
    const struct {
        int code;
        float upper, lower;
    } cases[] = {{0, 24, -24}, {1, 22, -26}, {2, 21, -27}, {3, 21, -27}, {4, 20, -28},
                 {11, 20, -28}, {12, 0, 0},  {-1, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetGainLimit(0, c.code), c.upper) << c.code;
        EXPECT_EQ(GetGainLimit(1, c.code), c.lower) << c.code;
    }
    EXPECT_EQ(GetGainLimit(2, 0), 0.0f);
}

TEST(FilterCodes, ValiditySet) {
    const BodeGrid g = SetupPlotGrid();
    const FilterSet defaults = FilterSetFromCodes(3, 238, 150, 15, 49000);
    EXPECT_TRUE(IsFilterSetValid(g, defaults));

    FilterSet s = defaults;
    s.Zero = s.Pole;  // the zero must lie below the pole
    EXPECT_FALSE(IsFilterSetValid(g, s));
    s = defaults;
    s.Zero = s.Pole + 1;
    EXPECT_FALSE(IsFilterSetValid(g, s));
    // Zero 1 kHz at -20 dB, pole 10 kHz at 0 dB; 40 dB at 1 Hz would meet the zero point itself.
    s = {40.1f, 10000, 0, 1000};
    EXPECT_FALSE(IsFilterSetValid(g, s));
    s.LFGain = 39.9f;
    EXPECT_TRUE(IsFilterSetValid(g, s));
    // An integrator above both corner points.
    s = {90, 10000, 0, 9000};
    EXPECT_FALSE(IsFilterSetValid(g, s));
    s = {39.9f, 10000, std::nanf(""), 1000};
    EXPECT_FALSE(IsFilterSetValid(g, s));
}

TEST(FilterCodes, EdgeArithmetic) {
    EXPECT_EQ(EdgeCount(0x80, 0x0D), 2048);
    EXPECT_EQ(EdgeCount(0xFF, 0x1F), 4081);
    EXPECT_EQ(EdgeHighByte(4081), 0xFF);
    EXPECT_EQ(EdgeLowByte(4081, 0x2B), 0x1B);
    EXPECT_EQ(RescaleEdgeCount(98000, 1020, 49000), 2040);
    EXPECT_EQ(RescaleEdgeCount(49000, 3, 98000), 2);    // 1.5, half to even
    EXPECT_EQ(RescaleEdgeCount(49000, 5, 98000), 2);    // 2.5
    EXPECT_EQ(RescaleEdgeCount(74500, 1234, 74500), 1234);
    EXPECT_EQ(RescaleEdgeCount(49000, 1234, 0), 1234);  // no new frequency: left alone
    // Held at the last count 12 bits take, never wrapped.
    EXPECT_EQ(RescaleEdgeCount(694000, 289, 49000), 4093);
    EXPECT_EQ(RescaleEdgeCount(694000, 290, 49000), 4095);
    EXPECT_EQ(RescaleEdgeCount(694000, 4095, 49000), 4095);
}
