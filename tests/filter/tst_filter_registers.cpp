// The filter page's register side against the emulated board: whole access traces of the reads,
// the validity offer of defaults and Apply with its PWM edge rescale.
#include "filter_chip.h"
#include "fixture.h"

#include "core/numbers.h"
#include "filter/bode_grid.h"
#include "filter/filter_registers.h"

#include <algorithm>

using Trace = std::vector<QString>;

namespace {

QString R(int reg) { return QStringLiteral("R 48 %1").arg(reg, 2, 16, QChar(u'0')).toUpper(); }
QString W(int reg, int v) {
    return QStringLiteral("W 48 %1 %2").arg(reg, 2, 16, QChar(u'0')).arg(v, 2, 16, QChar(u'0')).toUpper();
}
void Append(Trace& t, const Trace& more) { t.insert(t.end(), more.begin(), more.end()); }

}  // namespace

class FilterRegistersTest : public RunFixture {
public:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
        auto& r = regs();
        PutFilterChip(r);
        r[0x40] = 0x84;
        // Edge counts 100 x (k + 1) and 50 x (k + 1) + 3, setting nibbles k and 15 - k.
        for (int k = 0; k < kPwmOutputs; ++k) {
            const int rise = 100 * (k + 1), fall = 50 * (k + 1) + 3;
            const size_t n = static_cast<size_t>(EdgeRegister(k));
            r[n] = static_cast<uint8_t>(EdgeHighByte(rise));
            r[n + 1] = static_cast<uint8_t>(EdgeLowByte(rise, k));
            r[n + 2] = static_cast<uint8_t>(EdgeHighByte(fall));
            r[n + 3] = static_cast<uint8_t>(EdgeLowByte(fall, 15 - k));
        }
        logic.FrequencyItemSelected = [this] { ++clicks; };
        logic.HideWindow = [this] { ++hides; };
        logic.UpdateFilterMarkers = [this] { ++markerUpdates; };
    }
    std::array<uint8_t, 256>& regs() { return board.Regs(0x48); }
    void ReadAll() {
        logic.ReadSwitchingFrequency();
        logic.ReadCCMDCMThreshold();
        logic.ReadFilterSet(0);
        logic.ReadFilterSet(1);
        board.ClearLog();
    }
    // The rescale's part of an Apply: every edge read, then written at newCount(count).
    template <class F>
    Trace EdgeTrace(F newCount) {
        Trace t;
        for (int k = 0; k < kPwmOutputs; ++k) {
            const int n = EdgeRegister(k);
            const auto& r = regs();
            const int a = r[static_cast<size_t>(n)], b = r[static_cast<size_t>(n + 1)];
            const int c = r[static_cast<size_t>(n + 2)], d = r[static_cast<size_t>(n + 3)];
            const int e1 = newCount(EdgeCount(a, b)), e2 = newCount(EdgeCount(c, d));
            Append(t, {R(n), R(n + 1), R(n + 2), R(n + 3), W(n, EdgeHighByte(e1)), W(n + 1, EdgeLowByte(e1, b)),
                       W(n + 2, EdgeHighByte(e2)), W(n + 3, EdgeLowByte(e2, d))});
        }
        return t;
    }

    FilterRegisterLogic logic{0x48};
    BodeGrid grid = SetupPlotGrid();
    int clicks = 0, hides = 0, markerUpdates = 0;
};

TEST_F(FilterRegistersTest, ReadsTheFrequencyThresholdAndBothSets) {
    QString textAtClick;
    logic.FrequencyItemSelected = [&] { textAtClick = logic.FreqText(), ++clicks; };
    logic.ReadSwitchingFrequency();
    logic.ReadCCMDCMThreshold();
    logic.ReadFilterSet(0);
    logic.ReadFilterSet(1);
    EXPECT_EQ(board.AccessTrace(), (Trace{R(0x5D), R(0x3C), R(0x61), R(0x62), R(0x60), R(0x63), R(0x65), R(0x66),
                                          R(0x64), R(0x67)}));
    EXPECT_EQ(logic.FreqCode, 2);
    EXPECT_EQ(logic.FreqText(), "98kHz");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(textAtClick, "98kHz");  // the list's handler sees the item already chosen
    EXPECT_EQ(CurrentSwitchingFrequency(), 98000.0f);
    EXPECT_EQ(logic.ThresholdCode, 1);
    EXPECT_EQ(logic.ThresholdText(), "5%");
    const FilterSet ccm = FilterSetFromCodes(3, 238, 150, 15, 98000);
    EXPECT_EQ(logic.Sets[0].Zero, ccm.Zero);
    EXPECT_EQ(logic.Sets[0].Pole, ccm.Pole);
    EXPECT_EQ(logic.Sets[0].LFGain, ccm.LFGain);
    EXPECT_EQ(logic.Sets[0].HFGain, ccm.HFGain);
    EXPECT_EQ(logic.Sets[1].Pole, CodeToCornerFreq(120, 98000));
}

TEST_F(FilterRegistersTest, AnUnlistedFrequencyCodeChangesNothing) {
    Shared().SwitchingFrequencyHz = 250000;
    logic.FreqCode = 6;
    regs()[0x5D] = 0x9D;
    logic.ReadSwitchingFrequency();
    EXPECT_EQ(logic.FreqCode, 6);
    EXPECT_EQ(CurrentSwitchingFrequency(), 250000.0f);
    EXPECT_EQ(clicks, 0);
}

TEST_F(FilterRegistersTest, ChoosingAFrequencyReadsBothSetsAgain) {
    ReadAll();
    logic.Sets[0].Pole = 1234;  // a drag not yet applied
    logic.ChooseFrequency(5);
    EXPECT_EQ(board.AccessTrace(), (Trace{R(0x61), R(0x62), R(0x60), R(0x63), R(0x65), R(0x66), R(0x64), R(0x67)}));
    EXPECT_EQ(CurrentSwitchingFrequency(), 195000.0f);
    EXPECT_EQ(logic.Sets[0].Pole, CodeToCornerFreq(150, 195000));
}

TEST_F(FilterRegistersTest, ValidSetPlacesTheMarkers) {
    ReadAll();
    EXPECT_TRUE(logic.ValidateFilterSet(0, grid));
    EXPECT_TRUE(logic.ValidateFilterSet(1, grid));
    EXPECT_EQ(markerUpdates, 2);
    EXPECT_EQ(hides, 0);
    EXPECT_TRUE(prompts.Shown.empty());
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(FilterRegistersTest, RefusedSetWritesNothingOnCancel) {
    regs()[0x65] = 120;  // zero above the pole
    regs()[0x66] = 230;
    ReadAll();
    prompts.Answers = {MsgResult::Cancel};
    EXPECT_FALSE(logic.ValidateFilterSet(1, grid));
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, "The DCM Digital Filter settings are invalid\r\nClick OK to program default values.");
    EXPECT_EQ(prompts.Shown[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(prompts.Shown[0].title, kAppTitle);
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(markerUpdates, 0);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(FilterRegistersTest, RefusedSetTakesTheDefaultsOnOK) {
    regs()[0x61] = 150;
    regs()[0x62] = 150;  // pole = zero
    ReadAll();
    prompts.Answers = {MsgResult::OK};
    EXPECT_TRUE(logic.ValidateFilterSet(0, grid));
    EXPECT_EQ(prompts.Shown.at(0).text, "The CCM Digital Filter settings are invalid\r\nClick OK to program default values.");
    EXPECT_EQ(board.AccessTrace(), (Trace{W(0x60, 3), W(0x61, 238), W(0x62, 150), W(0x63, 15), R(0x61), R(0x62),
                                          R(0x60), R(0x63)}));
    EXPECT_EQ(logic.Sets[0].Pole, CodeToCornerFreq(150, 98000));
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(markerUpdates, 1);
}

TEST_F(FilterRegistersTest, ApplyAtTheSameFrequencyRewritesEverything) {
    ReadAll();
    logic.ThresholdCode = 6;
    const FilterSet s0 = logic.Sets[0], s1 = logic.Sets[1];
    logic.cmdApply_Click();
    Trace expected{R(0x5D)};
    Append(expected, EdgeTrace([](int c) { return c; }));
    const int lf0 = LowFreqGainToCode(s0.LFGain).value(), hf0 = HighFreqGainToCode(s0.HFGain, s0.Pole, s0.Zero, 98000).value();
    const int lf1 = LowFreqGainToCode(s1.LFGain).value(), hf1 = HighFreqGainToCode(s1.HFGain, s1.Pole, s1.Zero, 98000).value();
    Append(expected, {W(0x5D, 0x92), R(0x3C), W(0x3C, 0xFE), R(0x40), W(0x40, 0x85), W(0x62, 150), W(0x61, 238),
                      W(0x63, hf0), W(0x60, lf0), W(0x66, 120), W(0x65, 230), W(0x67, hf1), W(0x64, lf1)});
    EXPECT_EQ(board.AccessTrace(), expected);
    // Nothing was changed, so every filter register gets its own code back.
    EXPECT_EQ(lf0, 3);
    EXPECT_EQ(hf0, 15);
}

TEST_F(FilterRegistersTest, ApplyAtHalfTheFrequencyDoublesEveryEdge) {
    regs()[0x5D] = 0xA2;
    ReadAll();
    logic.ChooseFrequency(0);
    board.ClearLog();
    const Trace edges = EdgeTrace([](int c) { return 2 * c; });
    logic.cmdApply_Click();
    const Trace t = board.AccessTrace();
    ASSERT_GE(t.size(), 1 + edges.size() + 1);
    EXPECT_EQ(Trace(t.begin() + 1, t.begin() + 1 + static_cast<long>(edges.size())), edges);
    EXPECT_EQ(t[1 + edges.size()], W(0x5D, 0xA0));  // AUX code kept
    EXPECT_EQ(EdgeCount(regs()[0x59], regs()[0x5A]), 1400);
    EXPECT_EQ(regs()[0x5A] & 15, 6);
    EXPECT_EQ(regs()[0x5C] & 15, 9);
}

TEST_F(FilterRegistersTest, EdgesPushedPastTwelveBitsByALongerPeriodHoldAtTheLastCount) {
    regs()[0x5D] = 0x9B;  // main 694 kHz
    struct Edge {
        int output, rise, fall;
    } edges[] = {
        {0, 289, 290},    // 4093 fits, 4107 would wrap to 11
        {3, 4095, 300},   // both beyond
        {6, 1000, 0},     // AUX alike; 0 stays 0
    };
    for (const Edge& e : edges) {
        const size_t n = static_cast<size_t>(EdgeRegister(e.output));
        regs()[n] = static_cast<uint8_t>(EdgeHighByte(e.rise));
        regs()[n + 1] = static_cast<uint8_t>(EdgeLowByte(e.rise, 0x0B));
        regs()[n + 2] = static_cast<uint8_t>(EdgeHighByte(e.fall));
        regs()[n + 3] = static_cast<uint8_t>(EdgeLowByte(e.fall, 0x06));
    }
    ReadAll();
    logic.FreqCode = 0;  // 49 kHz chosen
    const Trace expected =
        EdgeTrace([](int c) { return std::min(4095, static_cast<int>(RoundHalfEven(694000.0 * c / 49000, 0))); });
    logic.cmdApply_Click();
    const Trace t = board.AccessTrace();
    ASSERT_GE(t.size(), 1 + expected.size());
    EXPECT_EQ(Trace(t.begin() + 1, t.begin() + 1 + static_cast<long>(expected.size())), expected);
    // The setting bits beside a held count are kept.
    const auto& r = regs();
    EXPECT_EQ(r[0x41], 0xFF);
    EXPECT_EQ(r[0x42], 0xDB);  // 4093
    EXPECT_EQ(r[0x43], 0xFF);
    EXPECT_EQ(r[0x44], 0xF6);  // held at 4095
    for (int reg : {0x4D, 0x4F, 0x59}) EXPECT_EQ(r[static_cast<size_t>(reg)], 0xFF) << reg;
    EXPECT_EQ(r[0x4E], 0xFB);
    EXPECT_EQ(r[0x50], 0xF6);
    EXPECT_EQ(r[0x5A], 0xFB);
    EXPECT_EQ(EdgeCount(r[0x5B], r[0x5C]), 0);
    EXPECT_EQ(r[0x5C], 0x06);
}

TEST_F(FilterRegistersTest, ApplyWithNoFrequencyLeavesEdgesFrequencyAndCorners) {
    regs()[0x5D] = 0x9D;  // no listed code, and no page has set a frequency
    logic.ReadSwitchingFrequency();
    logic.ReadCCMDCMThreshold();
    logic.ReadFilterSet(0);
    logic.ReadFilterSet(1);
    for (const FilterSet& s : logic.Sets) EXPECT_FALSE(std::isnan(s.HFGain));
    board.ClearLog();
    logic.cmdApply_Click();
    EXPECT_EQ(board.AccessTrace(),
              (Trace{R(0x5D), R(0x3C), W(0x3C, 0xF9), R(0x40), W(0x40, 0x85)}));
}

TEST_F(FilterRegistersTest, RescaleRefusesAnUnknownOldFrequency) {
    EXPECT_FALSE(RescalePWMEdges(0x48, 12, 49000));
    EXPECT_FALSE(RescalePWMEdges(0x48, 0, 0));
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_TRUE(RescalePWMEdges(0x48, 11, 694000));
    EXPECT_EQ(board.AccessTrace(), EdgeTrace([](int c) { return c; }));
}

TEST_F(FilterRegistersTest, AnotherDevicesFrequencyDoesNotBendThisDevicesApply) {
    ReadAll();
    // The second device's page, opened since, read 49 kHz into the shared frequency.
    Shared().SwitchingFrequencyHz = 49000;
    logic.cmdApply_Click();
    const Trace t = board.AccessTrace();
    const Trace filters(t.end() - 8, t.end());
    EXPECT_EQ(filters, (Trace{W(0x62, 150), W(0x61, 238), W(0x63, 15), W(0x60, 3), W(0x66, 120), W(0x65, 230),
                              W(0x67, 20), W(0x64, 5)}));
    EXPECT_EQ(CurrentSwitchingFrequency(), 98000.0f);
}

TEST_F(FilterRegistersTest, NoFrequencyMeansNoOfferOfDefaults) {
    regs()[0x5D] = 0x9D;  // no listed code, and no page has set a frequency
    regs()[0x61] = 120;   // a zero above the pole would be refused with a frequency
    ReadAll();
    EXPECT_TRUE(logic.ValidateFilterSet(0, grid));
    EXPECT_TRUE(prompts.Shown.empty());
    EXPECT_TRUE(board.AccessTrace().empty());
}
