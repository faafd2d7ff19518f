#include "page_test_support.h"

#include "core/numbers.h"
#include "pages/current_sense_logic.h"
#include "pages/limits_logic.h"
#include "pages/voltage_sense_logic.h"
#include "registers/readings.h"

#include <cfloat>
#include <cmath>

namespace {

class LimitsTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
        SetReadingScaleFactors();
    }
    void Fill(std::array<uint8_t, 7> regs) {
        for (int i = 0; i < 7; ++i) board.Regs(0x48)[0x08 + i] = regs[static_cast<size_t>(i)];
    }
    std::string Row(int k) {
        const auto r = static_cast<size_t>(k);
        return (page.cmbConfig[r].Text() + " / " + page.cmbResolve[r].Text() + " / " + page.cmbTiming[r].Text())
            .toStdString();
    }
    LimitsLogic page;
};

TEST_F(LimitsTest, SetUpReadsTheSevenFaultRegistersThenThePwmLimitAndMarksThePageOpen) {
    Fill({0x00, 0x11, 0x22, 0xB6, 0x44, 0x55, 0xFF});
    board.Regs(0x48)[0x2E] = 0x53;
    page.SetupFormAfterLoad(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 08", "R 48 09", "R 48 0A", "R 48 0B", "R 48 0C", "R 48 0D", "R 48 0E",
                                     "R 48 2E"}));
    EXPECT_EQ(Row(6), "Disable Power Supply / Re-enable 1 second after flag=0 / Immediately");
    EXPECT_EQ(Row(7), "Disable OrFET / Remain Disabled. Only PSON can re-enable / After Delay");
    EXPECT_EQ(Row(0), "Ignore Flag Completely / Re-enable 1 second after flag=0 / After Delay");
    EXPECT_EQ(Row(3), "Disable Sync Rec / Re-enable 1 second after flag=0 / After Delay");
    EXPECT_EQ(Row(12), "Disable Power Supply / Remain Disabled. Only PSON can re-enable / Immediately");
    EXPECT_EQ(Row(13), Row(12));
    EXPECT_TRUE(Shared().LimitsFormOpen[0]);
    EXPECT_FALSE(Shared().LimitsFormOpen[1]);
    EXPECT_EQ(page.cmbGraph.Text(), "Voltage, Current and Power");
    EXPECT_EQ(page.visibleGraph, 0);
    EXPECT_EQ(page.txtDefault, (std::array<QString, 6>{"670", "14.1", "14.2", "14.2", ".4", "2.4"}));
    EXPECT_EQ(page.slider[12][0], 15);
    EXPECT_EQ(page.slider[12][1], 65);
}

TEST_F(LimitsTest, ApplyWithoutChangesWritesEveryRegisterBackAsReadInOrderWithoutReading) {
    const std::array<uint8_t, 7> cases[] = {
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {0x58, 0x0F, 0xF0, 0xB6, 0x6B, 0x9C, 0x3A},
    };
    for (const auto& regs : cases) {
        Fill(regs);
        page.SetupFormAfterLoad(0x48);
        board.ClearLog();
        page.cmdApply_Click(0x48);
        Trace expected;
        for (int i = 0; i < 7; ++i)
            expected.push_back("W 48 " + TwoDigitHex(0x08 + i).toStdString() + " " +
                               TwoDigitHex(regs[static_cast<size_t>(i)]).toStdString());
        EXPECT_EQ(TraceOf(board), expected);
    }
}

TEST_F(LimitsTest, ChoicesWriteNothingUntilApplyWhichComposesFromTheRowsAlone) {
    Fill({0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2D});
    page.SetupFormAfterLoad(0x48);
    board.ClearLog();
    page.Choose(page.cmbConfig[0], 1);   // Disable Sync Rec
    page.Choose(page.cmbResolve[0], 1);  // Remain Disabled
    page.Choose(page.cmbTiming[0], 0);   // After Delay
    page.Choose(page.cmbConfig[1], 0);   // Ignore Flag Completely
    page.Choose(page.cmbResolve[1], 0);  // Re-enable 1 second after flag=0
    page.Choose(page.cmbTiming[1], 1);   // Immediately
    page.Choose(page.cmbConfig[11], 3);
    page.Choose(page.cmbResolve[11], 5);  // no such item: nothing changes
    EXPECT_TRUE(board.AccessTrace().empty());
    // Another window changes a register meanwhile: Apply writes the page's older choice over it.
    board.Regs(0x48)[0x09] = 0x77;
    page.cmdApply_Click(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 08 58", "W 48 09 00", "W 48 0A 00", "W 48 0B 00", "W 48 0C 00",
                                     "W 48 0D 03", "W 48 0E 2D"}));
}

TEST_F(LimitsTest, DutyCycleSlidersFromThePwmLimitRegisterAndTheirDragRule) {
    const struct {
        uint8_t reg;
        double min, max;
    } cases[] = {{0x53, 15, 65}, {0xFF, 15, 75}, {0x00, 0, 40}, {0x8C, 0, 40}, {0x21, 5, 50}};
    for (const auto& c : cases) {
        board.Regs(0x48)[0x2E] = c.reg;
        board.ClearLog();
        page.ShowDutyCycleLimits(0x48);
        EXPECT_EQ(TraceOf(board), (Trace{"R 48 2E"}));
        EXPECT_EQ(page.slider[12][0], c.min) << int(c.reg);
        EXPECT_EQ(page.slider[12][1], c.max) << int(c.reg);
    }
    board.ClearLog();
    page.slider[12] = {20, 30};
    page.ggeReadings_SliderChange(12);
    EXPECT_EQ(page.slider[12], (std::array<double, 2>{15, 40}));
    page.slider[12] = {12.5, 88};
    page.ggeReadings_SliderChange(12);
    EXPECT_EQ(page.slider[12], (std::array<double, 2>{12.5, 88}));
    page.slider[3] = {20, 30};
    page.ggeReadings_SliderChange(3);
    EXPECT_EQ(page.slider[3], (std::array<double, 2>{20, 30}));
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(LimitsTest, SetValuesStoresTheSixFactorsForBothDevicesAndTouchesNoChip) {
    page.SetupFormAfterLoad(0x48);
    board.ClearLog();
    page.txtDefault = {"500", "  13.5V", "12.5", "&H10", "-1", "0"};
    EXPECT_TRUE(page.cmdSet_Click().isEmpty());
    const ScaleFactors& f = Shared().DefaultScaleFactors;
    EXPECT_EQ(f.InputVoltageScale, 500.0f);
    EXPECT_EQ(f.OutputVoltageScale, 13.5f);
    EXPECT_EQ(f.VS1Scale, 12.5f);
    EXPECT_EQ(f.VS2Scale, 16.0f);
    EXPECT_EQ(f.InputCurrentScale, -1.0f);
    EXPECT_EQ(f.OutputCurrentScale, 0.0f);
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_TRUE(prompts.Shown.empty());
    // The factors are shared: the other device's page shows them too.
    LimitsLogic other;
    other.SetupFormAfterLoad(0x48);
    EXPECT_EQ(other.txtDefault, (std::array<QString, 6>{"500", "13.5", "12.5", "16", "-1", "0"}));
}

TEST_F(LimitsTest, SetValuesKeepsAFactorWhoseBoxHoldsNoNumberAndSaysWhich) {
    page.SetupFormAfterLoad(0x48);
    page.txtDefault = {"abc", "", "7", ".", "1E39", "&Hz"};
    EXPECT_EQ(page.cmdSet_Click(), (QStringList{"I/P Voltage", "O/P Voltage (VS3)", "VS2", "I/P Current", "O/P Current"}));
    const ScaleFactors& f = Shared().DefaultScaleFactors;
    EXPECT_EQ(f.InputVoltageScale, 670.0f);
    EXPECT_EQ(f.OutputVoltageScale, 14.1f);
    EXPECT_EQ(f.VS1Scale, 7.0f);
    EXPECT_EQ(f.VS2Scale, 14.2f);
    EXPECT_EQ(f.InputCurrentScale, 0.4f);
    EXPECT_EQ(f.OutputCurrentScale, 2.4f);
    EXPECT_EQ(page.txtDefault, (std::array<QString, 6>{"670", "14.1", "7", "14.2", ".4", "2.4"}));
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(prompts.Shown[0].text.contains("I/P Voltage, O/P Voltage (VS3), VS2, I/P Current, O/P Current"));
}

// Every reading, power, caption, sample and sensed value that the full-scale codes give under the
// factors now set is a finite number.
void ExpectFullScaleReadingsFinite(EmulatedBoard& board, const std::string& why) {
    for (int reg : {0x12, 0x13, 0x15, 0x16, 0x17, 0x18}) board.Regs(0x48)[reg] = 0xFF;
    board.Regs(0x48)[0x31] = 0xFF;  // the highest output trim
    for (int i = 0; i < 5; ++i) PollReadings();
    const DeviceRecord& r = Shared().Devices[0];
    for (float v : {r.InputVoltage, r.InputCurrent, r.InputPower, r.VS1Voltage, r.VS2Voltage, r.OutputVoltage,
                    r.OutputCurrent, r.OutputPower})
        EXPECT_TRUE(std::isfinite(v)) << why << ": " << v;
    LimitsLogic page;
    page.SetupFormAfterLoad(0x48);
    ASSERT_TRUE(page.DisplayData(0x48));
    for (const GaugeSpec& g : Gauges()) {
        const auto k = static_cast<size_t>(g.number);
        EXPECT_TRUE(std::isfinite(page.needle[k])) << why << ": gauge " << g.number;
        EXPECT_FALSE(page.gaugeCaption[k].contains(QStringLiteral("Inf")) || page.gaugeCaption[k].contains(QStringLiteral("NaN")))
            << why << ": " << page.gaugeCaption[k].toStdString();
    }
    for (const PlotSample& s : page.PlotData(0x48)) EXPECT_TRUE(std::isfinite(s.value)) << why;
    VoltageSenseLogic sense;
    sense.SetupFormAfterLoad(0x48);
    sense.DisplayValues(0x48);
    CurrentSenseLogic current;
    current.SetupFormAfterLoad(0x48);
    current.DisplayValues(0x48);
    for (const QString& t : {sense.lblVS1Val, sense.lblVS2Val, sense.lblVS3Val, sense.lblOutputVal, current.lblCS1Val,
                             current.lblCS2Val})
        EXPECT_FALSE(t.contains(QStringLiteral("Inf")) || t.contains(QStringLiteral("NaN"))) << why << ": " << t.toStdString();
}

TEST_F(LimitsTest, SetValuesRefusesFactorsThatWouldMakeAReadingInfiniteOrVanish) {
    // Boxes in order: I/P Voltage, O/P Voltage (VS3), VS1, VS2, I/P Current, O/P Current.
    struct Case {
        std::vector<std::pair<int, const char*>> typed;
        QStringList refused;
    };
    const Case cases[] = {
        // The greatest code 4095.9375 times factor / 3000 must stay within single precision.
        {{{0, "2.4E38"}}, {}},
        {{{0, "2.5E38"}}, {"I/P Voltage"}},
        {{{0, "3.4E38"}}, {"I/P Voltage"}},
        {{{2, "-2.5E38"}, {3, "-2.4E38"}}, {"VS1"}},
        {{{4, "1E39"}}, {"I/P Current"}},
        // Each power multiplies two readings: a pair whose product overflows keeps both factors,
        // whichever of the two was typed.
        {{{0, "2E38"}, {4, "1"}}, {"I/P Voltage", "I/P Current"}},
        {{{4, "1E38"}}, {"I/P Voltage", "I/P Current"}},
        {{{5, "1E37"}}, {}},
        {{{5, "-2E37"}}, {"O/P Voltage (VS3)", "O/P Current"}},
        {{{0, "1E20"}, {4, "1E15"}}, {}},
        // The voltage sensing page shows the output voltage trimmed up to 125 %.
        {{{1, "2E38"}, {5, "0"}}, {"O/P Voltage (VS3)"}},
        {{{1, "1.9E38"}, {5, "0"}}, {}},
        {{{1, "2E38"}, {5, ".9"}}, {"O/P Voltage (VS3)"}},  // the current goes with the old voltage
        // A number that is not zero must not become 0 in single precision; a true zero is fine.
        {{{3, "1e-320"}}, {"VS2"}},
        {{{3, "1e-400"}}, {"VS2"}},
        {{{3, "-7E-50"}, {2, ".0001e-50"}}, {"VS1", "VS2"}},
        {{{3, "0.000"}, {2, "-0e-999"}, {1, "&H0"}}, {}},
        {{{3, "1e-40"}}, {}},
        {{{0, "abc"}, {3, "1e-320"}, {4, "1E38"}}, {"I/P Voltage", "VS2", "I/P Current"}},
    };
    for (const Case& c : cases) {
        SetReadingScaleFactors();
        page.SetupFormAfterLoad(0x48);
        prompts.Shown.clear();
        std::string why;
        for (auto [box, text] : c.typed) {
            page.txtDefault[static_cast<size_t>(box)] = QString::fromLatin1(text);
            why += std::to_string(box) + "=" + text + " ";
        }
        const std::array<QString, 6> typed = page.txtDefault;
        std::array<float, 6> before{};
        for (int b = 0; b < kScaleBoxes; ++b) before[static_cast<size_t>(b)] = ScaleFactorOfBox(b);
        EXPECT_EQ(page.cmdSet_Click(), c.refused) << why;
        EXPECT_EQ(prompts.Shown.size(), c.refused.isEmpty() ? 0u : 1u) << why;
        for (int b = 0; b < kScaleBoxes; ++b) {
            const auto k = static_cast<size_t>(b);
            if (c.refused.contains(ScaleRowCaption(b))) {  // the old factor, shown again
                EXPECT_EQ(ScaleFactorOfBox(b), before[k]) << why << b;
                EXPECT_EQ(page.txtDefault[k], NumberText(before[k])) << why << b;
            } else {
                EXPECT_EQ(ScaleFactorOfBox(b), static_cast<float>(ParseNumber(typed[k]))) << why << b;
            }
        }
        ExpectFullScaleReadingsFinite(board, why);
    }
}

TEST_F(LimitsTest, TheGraphChooserShowsExactlyTheChosenChart) {
    page.SetupFormAfterLoad(0x48);
    for (int k : {3, 1, 2, 0}) {
        page.Choose(page.cmbGraph, k);
        EXPECT_EQ(page.visibleGraph, k);
    }
    page.Choose(page.cmbGraph, 4);
    EXPECT_EQ(page.visibleGraph, 0);
}

TEST_F(LimitsTest, UnloadClearsTheFlagAndACaptionOfNoDeviceSetsNoneAndShowsNothing) {
    UseBoardWithChips({0x4A});
    page.SetupFormAfterLoad(0x4A);
    EXPECT_TRUE(Shared().LimitsFormOpen[1]);
    page.Form_Unload(0x4A);
    EXPECT_FALSE(Shared().LimitsFormOpen[1]);

    board.AddChip(0x50);
    Shared().Devices[0].InputVoltage = 120;
    page.SetupFormAfterLoad(0x50);
    EXPECT_EQ(Shared().LimitsFormOpen, (std::array<bool, 2>{false, false}));
    EXPECT_TRUE(page.PlotData(0x50).empty());
    EXPECT_FALSE(page.DisplayData(0x50));
    EXPECT_FALSE(page.UpdateFlags(0x50));
    EXPECT_TRUE(page.gaugeCaption[0].isEmpty());
    Shared().LimitsFormOpen[0] = true;
    page.Form_Unload(0x50);
    EXPECT_TRUE(Shared().LimitsFormOpen[0]);
}

TEST_F(LimitsTest, DisplayDataRoundsEachReadingToTwoDecimalsWithItsUnit) {
    UseBoardWithChips({0x4A});
    DeviceRecord& r = Shared().Devices[1];
    r.InputVoltage = 558.333f;
    r.InputCurrent = 0.25f;
    r.InputPower = 30;
    r.VS1Voltage = 12.1f;
    r.VS2Voltage = 12.004f;
    r.OutputVoltage = 0;
    r.OutputCurrent = -1.5f;
    r.OutputPower = 24;
    r.ACSNSVoltage = -0.001f;
    r.Temperature = 25;
    r.ShareBusVoltage = 4;
    r.DutyCycle = 45.67f;
    Shared().Devices[0].DutyCycle = 99;  // the other device's record is not shown
    EXPECT_TRUE(page.DisplayData(0x4A));
    const std::pair<int, const char*> captions[] = {
        {0, " 558.33V"}, {1, " .25A"}, {2, " 30W"}, {3, " 12.1V"},   {4, " 12V"},         {5, " 0V"},
        {6, "-1.5A"},    {7, " 24W"},  {9, " 0V"},  {10, " 25°C"}, {11, " 4V"},          {12, " 45.67%"}};
    for (auto [k, text] : captions) EXPECT_EQ(page.gaugeCaption[static_cast<size_t>(k)].toStdString(), text) << k;
    EXPECT_EQ(page.needle[0], 558.333f);
    EXPECT_EQ(page.needle[6], -1.5f);
    EXPECT_EQ(page.needle[12], 45.67f);
    EXPECT_TRUE(page.gaugeCaption[8].isEmpty());
}

TEST_F(LimitsTest, UpdateFlagsShowsTheFirstFlagOnlyWhileValidAndEachLampItsFlag) {
    FaultStatus& f = Shared().Devices[0].Faults;
    f.FirstFlagName = QStringLiteral("Power Supply");
    f.FirstFlagValue = 163;
    f.FirstFlagValid = false;
    EXPECT_TRUE(page.UpdateFlags(0x48));
    EXPECT_EQ(page.lblFlag, "");
    EXPECT_EQ(page.lblFlagValue, "");
    EXPECT_EQ(page.tglStatus[32], 0);

    f.FirstFlagValid = true;
    page.UpdateFlags(0x48);
    EXPECT_EQ(page.lblFlag, "Power Supply");
    EXPECT_EQ(page.lblFlagValue, "0xA3");
    EXPECT_EQ(page.tglStatus[32], 1);
    f.FirstFlagValue = 5;
    page.UpdateFlags(0x48);
    EXPECT_EQ(page.lblFlagValue, "0x5");

    // One flag at a time: the lamp of its bit lights, and only that one.
    const std::pair<int, int> flagToLamp[] = {{0, 0},   {7, 7},   {8, 8},   {15, 15}, {16, 16}, {19, 19},
                                              {20, 21}, {22, 23}, {23, 25}, {26, 28}, {29, 31}};
    for (auto [flag, lamp] : flagToLamp) {
        f.Flags = {};
        f.Flags[static_cast<size_t>(flag)] = true;
        page.UpdateFlags(0x48);
        for (int j = 0; j < 32; ++j) EXPECT_EQ(page.tglStatus[static_cast<size_t>(j)], j == lamp ? 1 : 0) << flag << " " << j;
    }
    f.Flags.fill(true);
    page.UpdateFlags(0x48);
    for (int j = 0; j < 32; ++j) EXPECT_EQ(page.tglStatus[static_cast<size_t>(j)], j == 20 || j == 24 ? 0 : 1) << j;
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(LimitsTest, PlotDataGivesSixteenSamplesInChartAndTraceOrder) {
    DeviceRecord& r = Shared().Devices[0];
    r.InputVoltage = 120;
    r.OutputVoltage = 12;
    r.VS1Voltage = 12.1f;
    r.VS2Voltage = 12.05f;
    r.InputCurrent = 0.25f;
    r.OutputCurrent = 2;
    r.InputPower = 30;
    r.OutputPower = 24;
    std::vector<std::tuple<int, int, double>> got;
    for (const PlotSample& s : page.PlotData(0x48)) got.emplace_back(s.chart, s.trace, s.value);
    const double v1 = static_cast<double>(12.1f), v2 = static_cast<double>(12.05f);
    EXPECT_EQ(got, (std::vector<std::tuple<int, int, double>>{
                       {0, 0, 120}, {0, 1, 12}, {0, 2, v1},   {0, 3, v2},   {0, 4, 0.25}, {0, 5, 2},
                       {0, 6, 30},  {0, 7, 24}, {1, 0, 120},  {1, 1, 12},   {1, 2, v1},   {1, 3, v2},
                       {2, 0, 0.25}, {2, 1, 2}, {3, 0, 30},   {3, 1, 24}}));
}

}  // namespace
