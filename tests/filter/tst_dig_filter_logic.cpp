// The filter page's logic against the emulated board: whole access traces of the set-up, the
// frequency choice, the validity offers and Apply; the model inputs, the power-stage variants,
// the legend and the drags.
#include "filter_chip.h"
#include "fixture.h"

#include "core/numbers.h"
#include "filter/dig_filter_logic.h"
#include "registers/session.h"
#include "registers/settings_file.h"

#include <cmath>
#include <memory>

using Trace = std::vector<QString>;

namespace {

QString Hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QChar(u'0')).toUpper(); }
QString R(int reg, int dev = 0x48) { return QStringLiteral("R %1 %2").arg(Hex2(dev), Hex2(reg)); }
QString W(int reg, int v, int dev = 0x48) { return QStringLiteral("W %1 %2 %3").arg(Hex2(dev), Hex2(reg), Hex2(v)); }
void Append(Trace& t, const Trace& more) { t.insert(t.end(), more.begin(), more.end()); }
Trace SetReads(int dev = 0x48) {
    return {R(0x61, dev), R(0x62, dev), R(0x60, dev), R(0x63, dev),
            R(0x65, dev), R(0x66, dev), R(0x64, dev), R(0x67, dev)};
}

void PresetChip(std::array<uint8_t, 256>& r) {
    PutFilterChip(r);
    r[0x40] = 0x84;
}

double InputOf(const ModelInputs& in, ModelBox box) {
    switch (box) {
    case ModelBox::L1: return in.L1;
    case ModelBox::L2: return in.L2;
    case ModelBox::C1: return in.C1;
    case ModelBox::C2: return in.C2;
    case ModelBox::C3: return in.C3;
    case ModelBox::C4: return in.C4;
    case ModelBox::ESR1: return in.ESR1;
    case ModelBox::ESR2: return in.ESR2;
    case ModelBox::RL: return in.RL;
    case ModelBox::Vin: return in.Vin;
    case ModelBox::Duty: return in.Duty;
    case ModelBox::N1: return in.N1;
    case ModelBox::N2: return in.N2;
    case ModelBox::R3: return in.R3;
    case ModelBox::R4: return in.R4;
    case ModelBox::Count: break;
    }
    return NAN;
}

bool AllFinite(const std::vector<BodeCurve>& curves) {
    for (const BodeCurve& c : curves)
        for (const PlotPoint& p : c.Points)
            if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return false;
    return true;
}

}  // namespace

class DigFilterLogicTest : public RunFixture {
public:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
        SetLoopModelDefaults();
        PresetChip(board.Regs(0x48));
        Hook(page);
    }
    void Hook(DigFilterLogic& p) {
        p.ShowWindow = [this] { ++shows; };
        p.HideWindow = [this] { ++hides; };
        p.UnloadWindow = [this] { ++unloads; };
        p.HandFrequencyToPwmPage = [this](int d, const QString& t) { handed.push_back({d, t}); };
    }
    LoopModelInputs& model(int i = 0) { return Shared().Devices[static_cast<size_t>(i)].LoopModel; }
    void SetUpPage() {
        ASSERT_TRUE(page.SetupFormAfterLoad(0x48));
        board.ClearLog();
    }

    DigFilterLogic page;
    int shows = 0, hides = 0, unloads = 0;
    std::vector<std::pair<int, QString>> handed;
};

TEST_F(DigFilterLogicTest, SetUpReadsFrequencyThresholdAndSetsAndWritesNothing) {
    ASSERT_TRUE(page.SetupFormAfterLoad(0x48));
    // Selecting the frequency item runs the list's handler, which reads both sets once already.
    Trace expected{R(0x5D)};
    Append(expected, SetReads());
    expected.push_back(R(0x3C));
    Append(expected, SetReads());
    EXPECT_EQ(board.AccessTrace(), expected);

    EXPECT_EQ(page.Registers.FreqText(), "98kHz");
    EXPECT_EQ(page.Registers.ThresholdText(), "5%");
    EXPECT_EQ(Shared().SwitchingFrequencyHz, 98000.0);
    EXPECT_EQ(page.FilterMode, 0);
    EXPECT_TRUE(page.Visible);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(hides, 0);
    EXPECT_TRUE(page.InputsReady);
    EXPECT_TRUE(page.C3C4EditEnabled);
    const char* texts[kModelBoxCount] = {"4", "0", "200", "0", "0", "0", "10", "10000000",
                                         "1", "400", "80", "16", "1", "1000", "1000"};
    for (int i = 0; i < kModelBoxCount; ++i) EXPECT_EQ(page.Text[static_cast<size_t>(i)], texts[i]) << i;
    EXPECT_EQ(page.PictureTopology, 1);
    EXPECT_FALSE(page.StageTwoVisible || page.C3C4Visible || page.chkL2C2 || page.chkC3C4);
    // Markers from the chip's CCM set, at 98 kHz.
    const FilterSet ccm = FilterSetFromCodes(3, 238, 150, 15, 98000);
    EXPECT_EQ(page.Plot.Markers.lblPoleFreq, FrequencyValueText(XToFreq(page.Plot.Grid, FreqToX(page.Plot.Grid, ccm.Pole))));
    EXPECT_EQ(page.Plot.Markers.shpPole.CentreX(), FreqToX(page.Plot.Grid, ccm.Pole));
    EXPECT_EQ(page.Plot.PoleZero.X2, FreqToX(page.Plot.Grid, 31000));
    EXPECT_EQ(page.Plot.Gains.HFY1, GainToY(page.Plot.Grid, 21));
    EXPECT_TRUE(page.lblLoopPhaseMargin.endsWith(QStringLiteral("\u00B0")));
    EXPECT_TRUE(handed.empty());  // no PWM page open
}

TEST_F(DigFilterLogicTest, SingleStageKeepsC3C4InTheModelUntilTheStageIsShown) {
    model().L[1] = 3;
    model().C[1] = 5;
    model().ESR[1] = 20;
    model().C[2] = 7;
    model().C[3] = 8;
    SetUpPage();
    EXPECT_EQ(model().L[1], 0);
    EXPECT_EQ(model().C[1], 0);
    EXPECT_EQ(model().ESR[1], 10000000);
    EXPECT_EQ(model().C[2], 7);
    EXPECT_EQ(model().C[3], 8);
    EXPECT_EQ(page.Text[static_cast<size_t>(ModelBox::C3)], "0");
    EXPECT_FALSE(model().L2C2Enabled || model().C3C4Enabled);

    page.SetC3C4(true);
    EXPECT_EQ(Shared().PowerStageTopology, 3);
    EXPECT_EQ(page.PictureTopology, 3);
    EXPECT_TRUE(page.C3C4Visible);
    EXPECT_EQ(page.Text[static_cast<size_t>(ModelBox::C3)], "7");
    EXPECT_EQ(page.Text[static_cast<size_t>(ModelBox::C4)], "8");
    EXPECT_TRUE(model().C3C4Enabled);
    // Hidden after set-up, the boxes do store their zeros.
    page.SetL2C2(true);
    EXPECT_EQ(Shared().PowerStageTopology, 4);
    page.SetC3C4(false);
    EXPECT_EQ(Shared().PowerStageTopology, 2);
    EXPECT_EQ(model().C[2], 0);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(DigFilterLogicTest, TopologyIsSharedWhileEachDeviceKeepsItsValues) {
    board.AddChip(0x4A);
    Shared().DeviceAddress[1] = 0x4A;
    Shared().DeviceCount = 2;
    PresetChip(board.Regs(0x4A));
    SetUpPage();
    page.SetL2C2(true);
    page.SetText(ModelBox::L2, QStringLiteral("2.5"));
    EXPECT_EQ(Shared().PowerStageTopology, 2);

    DigFilterLogic second;
    Hook(second);
    model(1).L[1] = 6;
    ASSERT_TRUE(second.SetupFormAfterLoad(0x4A));
    EXPECT_EQ(second.DeviceIndex, 1);
    EXPECT_TRUE(second.chkL2C2);
    EXPECT_FALSE(second.chkC3C4);
    EXPECT_TRUE(second.StageTwoVisible);
    EXPECT_EQ(second.Text[static_cast<size_t>(ModelBox::L2)], "6");
    EXPECT_EQ(model(0).L[1], 2.5f);
    EXPECT_EQ(model(1).L[1], 6);
    EXPECT_TRUE(model(1).L2C2Enabled);
}

TEST_F(DigFilterLogicTest, TypedTextIsStoredAsItsNumberAndOnlyANumberRedraws) {
    SetUpPage();
    struct Case {
        const char* text;
        float stored;  // NaN: refused, the value from before the typing is in use
        bool redraws;  // a refused text redraws when it brings that value back
    } cases[] = {
        {"12a", 12, false}, {"12", 12, true},   {" 12 ", 12, true},  {"", 0, false},
        {"abc", 0, false},  {"0", 0, true},     {"-1", -1, true},    {"1e999", NAN, true},
        {"-1e39", NAN, false}, {"1e-50", 0, true}, {"&H1F", 31, true}, {".", 0, false},
        {"3.4e38", 3.4e38f, true}, {"3.41e38", NAN, true}, {"-3.4e38", -3.4e38f, true},
    };
    // Every model reads the boxes: draw them all so every input reaches every model.
    for (LegendBox b : {LegendBox::LCFilter, LegendBox::LCFilterPhase, LegendBox::FullLoop, LegendBox::FullLoopPhase,
                        LegendBox::FB, LegendBox::FBPhase})
        page.SetLegend(b, true);
    for (int i = 0; i < kModelBoxCount; ++i) {
        const auto box = static_cast<ModelBox>(i);
        const float start = ModelField(model(), box);
        for (const Case& c : cases) {
            SCOPED_TRACE(ModelBoxName(box).toStdString() + " <- \"" + c.text + "\"");
            const bool refused = std::isnan(c.stored);
            const int redraws = page.RedrawCount;
            page.SetText(box, QString::fromLatin1(c.text));
            EXPECT_EQ(ModelField(model(), box), refused ? start : c.stored);
            EXPECT_EQ(page.Refused[static_cast<size_t>(i)], refused);
            EXPECT_EQ(page.RedrawCount - redraws, c.redraws ? 1 : 0);
            // The curves read the very value the record holds.
            EXPECT_EQ(static_cast<float>(InputOf(page.CurrentModelInputs(), box)), ModelField(model(), box));
            page.RedrawPlot();
            EXPECT_TRUE(AllFinite(page.Curves));
            for (const QString& label : {page.lblLoopPhaseMargin, page.lblLoopBandwidth})
                EXPECT_FALSE(label.contains(QStringLiteral("nan"), Qt::CaseInsensitive) ||
                             label.contains(QStringLiteral("inf"), Qt::CaseInsensitive))
                    << label.toStdString();
        }
        page.SetText(box, NumberText(start));
    }
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(DigFilterLogicTest, ARefusedTextIsRefusedWholeByTheRecordAndTheCurves) {
    SetUpPage();
    for (LegendBox b : {LegendBox::LCFilter, LegendBox::FullLoop, LegendBox::FullLoopPhase}) page.SetLegend(b, true);
    const std::vector<BodeCurve> atStart = page.Curves;
    const QString marginAtStart = page.lblLoopPhaseMargin;
    const size_t l1 = static_cast<size_t>(ModelBox::L1);

    // Digit after digit: 39 ones still fit single precision, the 40th does not.
    QString typed;
    for (int n = 1; n <= 45; ++n) {
        typed += u'1';
        page.SetText(ModelBox::L1, typed);
        EXPECT_EQ(page.Refused[l1], n >= 40) << n;
    }
    EXPECT_EQ(model().L[0], 4);  // the value from before the typing, not a prefix of the text
    EXPECT_EQ(page.Value[l1], 4);
    EXPECT_EQ(page.Text[l1], typed);  // the box keeps what the user typed
    ASSERT_EQ(page.Curves.size(), atStart.size());
    for (size_t k = 0; k < atStart.size(); ++k) {
        ASSERT_EQ(page.Curves[k].Points.size(), atStart[k].Points.size());
        for (size_t p = 0; p < atStart[k].Points.size(); ++p) {
            EXPECT_EQ(page.Curves[k].Points[p].X, atStart[k].Points[p].X);
            EXPECT_EQ(page.Curves[k].Points[p].Y, atStart[k].Points[p].Y);
        }
    }
    EXPECT_EQ(page.lblLoopPhaseMargin, marginAtStart);
    EXPECT_TRUE(SettingsFileBody(0x48).contains(QStringLiteral("\r\nL1 = 4 uH\r\n")));

    // Back to a number: it is the value in use again.
    typed.chop(6);
    page.SetText(ModelBox::L1, typed);
    EXPECT_FALSE(page.Refused[l1]);
    EXPECT_EQ(model().L[0], static_cast<float>(ParseNumber(typed)));
    EXPECT_EQ(page.Value[l1], ParseNumber(typed));

    // A finished entry is what a later refused text falls back to.
    page.SetText(ModelBox::L1, QStringLiteral("5"));
    page.FinishEdit(ModelBox::L1);
    for (const char* t : {"5e", "5e9", "5e99", "5e999"}) page.SetText(ModelBox::L1, QString::fromLatin1(t));
    EXPECT_TRUE(page.Refused[l1]);
    EXPECT_EQ(model().L[0], 5);
    EXPECT_EQ(page.CurrentModelInputs().L1, 5);
    EXPECT_TRUE(SettingsFileBody(0x48).contains(QStringLiteral("\r\nL1 = 5 uH\r\n")));
    // Texts the page puts in itself count as finished too.
    page.SetText(ModelBox::L2, QStringLiteral("1e40"));
    EXPECT_EQ(model().L[1], 0);
    for (const QString& line : board.AccessTrace())
        EXPECT_TRUE(line.startsWith(QStringLiteral("R "))) << line.toStdString();
}

TEST_F(DigFilterLogicTest, ChoosingAFrequencyRereadsBothSetsAndHandsTheTextToThePwmPage) {
    SetUpPage();
    const FilterMarkers& m = page.Plot.Markers;
    page.pctFilter_MouseDown(m.shpPole.CentreX(), m.shpPole.CentreY());
    page.pctFilter_MouseMove(m.shpPole.CentreX() + 200, m.shpPole.CentreY());
    page.pctFilter_MouseDown(0, 0);
    ASSERT_NE(page.Registers.Sets[0].Pole, FilterSetFromCodes(3, 238, 150, 15, 98000).Pole);

    Shared().PWMFormOpen[0] = true;
    page.ChooseFrequency(5);
    EXPECT_EQ(board.AccessTrace(), SetReads());
    EXPECT_EQ(Shared().SwitchingFrequencyHz, 195000.0);
    const FilterSet at195 = FilterSetFromCodes(3, 238, 150, 15, 195000);
    EXPECT_EQ(page.Registers.Sets[0].Pole, at195.Pole);
    EXPECT_EQ(page.Registers.Sets[0].HFGain, at195.HFGain);
    EXPECT_EQ(page.Plot.Markers.shpPole.CentreX(), FreqToX(page.Plot.Grid, at195.Pole));
    EXPECT_EQ(page.Plot.PoleZero.X2, FreqToX(page.Plot.Grid, 62000));
    EXPECT_EQ(page.Plot.Gains.HFY1, GainToY(page.Plot.Grid, 20));
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], std::make_pair(0, QStringLiteral("195kHz")));

    Shared().PWMFormOpen[0] = false;
    page.ChooseFrequency(0);
    EXPECT_EQ(handed.size(), 1u);
}

TEST_F(DigFilterLogicTest, TheSecondDevicesPageHandsToItsOwnPwmPage) {
    board.AddChip(0x4A);
    Shared().DeviceAddress[1] = 0x4A;
    Shared().DeviceCount = 2;
    PresetChip(board.Regs(0x4A));
    Shared().PWMFormOpen[1] = true;
    ASSERT_TRUE(page.SetupFormAfterLoad(0x4A));  // the set-up's own frequency item hands over too
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], std::make_pair(1, QStringLiteral("98kHz")));
    Trace expected{R(0x5D, 0x4A)};
    Append(expected, SetReads(0x4A));
    expected.push_back(R(0x3C, 0x4A));
    Append(expected, SetReads(0x4A));
    EXPECT_EQ(board.AccessTrace(), expected);
}

// Two chips whose pages show different frequencies: 0x48 at 98 kHz with a refused DCM set, 0x4A
// at 49 kHz or at a code no list item names. Whichever page is opened last has set the shared
// frequency; neither page may read or write its sets at the other's.
class TwoDevicePagesTest : public DigFilterLogicTest {
public:
    void SetUp() override {
        DigFilterLogicTest::SetUp();
        board.AddChip(0x4A);
        Shared().DeviceAddress[1] = 0x4A;
        Shared().DeviceCount = 2;
        PresetChip(board.Regs(0x4A));
        board.Regs(0x48)[0x65] = 150;  // DCM pole = zero: refused, defaults offered
        board.Regs(0x48)[0x66] = 150;
    }
    // Fresh pages for 0x48 (first) and 0x4A (second), set up in the order asked.
    void Open(bool firstPageFirst) {
        first = std::make_unique<DigFilterLogic>();
        second = std::make_unique<DigFilterLogic>();
        Hook(*first);
        Hook(*second);
        if (firstPageFirst) {
            ASSERT_TRUE(first->SetupFormAfterLoad(0x48));
            ASSERT_TRUE(second->SetupFormAfterLoad(0x4A));
        } else {
            ASSERT_TRUE(second->SetupFormAfterLoad(0x4A));
            ASSERT_TRUE(first->SetupFormAfterLoad(0x48));
        }
        board.ClearLog();
    }
    // The eight filter writes of an Apply that hands every register its own code back.
    static Trace FilterWrites(const uint8_t ccm[4], const uint8_t dcm[4], int dev) {
        return {W(0x62, ccm[2], dev), W(0x61, ccm[1], dev), W(0x63, ccm[3], dev), W(0x60, ccm[0], dev),
                W(0x66, dcm[2], dev), W(0x65, dcm[1], dev), W(0x67, dcm[3], dev), W(0x64, dcm[0], dev)};
    }
    // The second page's Apply on its chip at a code no list item names, with no frequency chosen:
    // only the threshold and the pin bit are written, and the box says why.
    void ExpectApplyKeepsTheUnlistedFrequency() {
        board.ClearLog();
        prompts.Shown.clear();
        second->cmdApply_Click();
        EXPECT_EQ(board.AccessTrace(), (Trace{R(0x5D, 0x4A), R(0x3C, 0x4A), W(0x3C, 0xF9, 0x4A), R(0x40, 0x4A),
                                              W(0x40, 0x85, 0x4A)}));
        ASSERT_EQ(prompts.Shown.size(), 1u);
        EXPECT_EQ(prompts.Shown[0].text, FilterRegisterLogic::UnlistedFrequencyMessage());
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Exclamation);
    }
    static void ExpectSet(const FilterSet& s, const FilterSet& expected) {
        EXPECT_EQ(s.Zero, expected.Zero);
        EXPECT_EQ(s.Pole, expected.Pole);
        EXPECT_EQ(s.LFGain, expected.LFGain);
        EXPECT_EQ(s.HFGain, expected.HFGain);
    }

    std::unique_ptr<DigFilterLogic> first, second;
};

TEST_F(TwoDevicePagesTest, EachPageReadsAndWritesItsSetsAtTheFrequencyItShows) {
    const uint8_t defaults[] = {3, 238, 150, 15}, ccm[] = {3, 238, 150, 15}, dcm[] = {5, 230, 120, 20};
    for (bool firstPageFirst : {true, false}) {
        SCOPED_TRACE(firstPageFirst ? "0x48 opened first" : "0x4A opened first");
        board.Regs(0x4A)[0x5D] = 0x90;  // 49 kHz
        board.Regs(0x48)[0x65] = 150;
        board.Regs(0x48)[0x66] = 150;
        prompts.Answers = {MsgResult::OK, MsgResult::OK};
        Open(firstPageFirst);
        EXPECT_EQ(first->Registers.FreqText(), "98kHz");
        EXPECT_EQ(second->Registers.FreqText(), "49kHz");
        ExpectSet(first->Registers.Sets[0], FilterSetFromCodes(3, 238, 150, 15, 98000));
        ExpectSet(second->Registers.Sets[0], FilterSetFromCodes(3, 238, 150, 15, 49000));

        // The defaults accepted on the mode switch are read back at 98 kHz, whichever page set
        // the shared frequency last.
        first->optFilterMode_Click(1);
        EXPECT_EQ(board.AccessTrace(), (Trace{W(0x64, 3), W(0x65, 238), W(0x66, 150), W(0x67, 15), R(0x65), R(0x66),
                                              R(0x64), R(0x67)}));
        const FilterSet at98 = FilterSetFromCodes(3, 238, 150, 15, 98000);
        ExpectSet(first->Registers.Sets[1], at98);
        EXPECT_EQ(first->Plot.Markers.shpPole.CentreX(), FreqToX(first->Plot.Grid, at98.Pole));
        EXPECT_EQ(first->CurrentModelInputs().FreqKHz, 98);
        second->RedrawPlot();
        EXPECT_EQ(second->CurrentModelInputs().FreqKHz, 49);

        // Each Apply hands every filter register its own code back, at its own frequency.
        for (DigFilterLogic* p : {first.get(), second.get()}) {
            const int dev = p == first.get() ? 0x48 : 0x4A;
            board.ClearLog();
            p->cmdApply_Click();
            const Trace t = board.AccessTrace();
            ASSERT_EQ(t.size(), 1u + 7 * 8 + 5 + 8);
            EXPECT_EQ(t[57], W(0x5D, p == first.get() ? 0x92 : 0x90, dev));
            EXPECT_EQ(Trace(t.end() - 8, t.end()), FilterWrites(ccm, p == first.get() ? defaults : dcm, dev));
        }
        prompts.Shown.clear();
    }
}

TEST_F(TwoDevicePagesTest, AChipAtAnUnlistedFrequencyNeverTakesTheOtherPagesFrequency) {
    for (bool firstPageFirst : {true, false}) {
        SCOPED_TRACE(firstPageFirst ? "0x48 opened first" : "0x4A opened first");
        board.Regs(0x4A)[0x5D] = 0x9D;  // main code 13: no list item
        Open(firstPageFirst);
        EXPECT_EQ(second->Registers.FreqText(), "");
        EXPECT_EQ(second->Registers.PageFrequency(), 0);
        // Not decoded at 98 kHz: with no frequency of its own every corner reads as 0 Hz.
        ExpectSet(second->Registers.Sets[0], FilterSetFromCodes(3, 238, 150, 15, 0));
        ExpectSet(second->Registers.Sets[1], FilterSetFromCodes(5, 230, 120, 20, 0));
        ExpectSet(first->Registers.Sets[0], FilterSetFromCodes(3, 238, 150, 15, 98000));

        // Its Apply leaves the frequency, the edges and the filter as the chip has them, and says so.
        ExpectApplyKeepsTheUnlistedFrequency();
        board.ClearLog();
        first->cmdApply_Click();
        const uint8_t ccm[] = {3, 238, 150, 15}, dcm[] = {5, 150, 150, 20};  // not validated yet
        const Trace t = board.AccessTrace();
        ASSERT_EQ(t.size(), 1u + 7 * 8 + 5 + 8);
        EXPECT_EQ(Trace(t.end() - 8, t.end()), FilterWrites(ccm, dcm, 0x48));
        Shared().SwitchingFrequencyHz = 0;
    }
}

TEST_F(TwoDevicePagesTest, AChipAtAnUnlistedFrequencyTakesTheFrequencyChosenOnItsPage) {
    board.Regs(0x4A)[0x5D] = 0x6F;  // main code 15, as an erased chip might read; AUX code 6
    for (int r = 0x41; r <= 0x5C; ++r) board.Regs(0x4A)[static_cast<size_t>(r)] = static_cast<uint8_t>(r * 3);
    const auto edges = board.Regs(0x4A);
    Open(true);
    second->ChooseFrequency(2);  // 98 kHz: both sets read again at it
    ExpectSet(second->Registers.Sets[0], FilterSetFromCodes(3, 238, 150, 15, 98000));
    board.ClearLog();
    prompts.Shown.clear();
    second->cmdApply_Click();
    // The frequency with the AUX bits kept, threshold and pin bit as ever, then both sets at 98 kHz;
    // no edge register is read or written, for there is no old period to scale them from.
    Trace expected{R(0x5D, 0x4A), W(0x5D, 0x62, 0x4A), R(0x3C, 0x4A), W(0x3C, 0xF9, 0x4A), R(0x40, 0x4A),
                   W(0x40, 0x85, 0x4A)};
    const uint8_t ccm[] = {3, 238, 150, 15}, dcm[] = {5, 230, 120, 20};
    Append(expected, FilterWrites(ccm, dcm, 0x4A));
    EXPECT_EQ(board.AccessTrace(), expected);
    for (int r = 0x41; r <= 0x5C; ++r) EXPECT_EQ(board.Regs(0x4A)[static_cast<size_t>(r)], edges[static_cast<size_t>(r)]) << r;
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, FilterRegisterLogic::UnscaledEdgesMessage());
    EXPECT_TRUE(prompts.Shown[0].text.contains(QStringLiteral("PWM page")));
    EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Shared().SwitchingFrequencyHz, 98000.0);

    // From now on the chip's frequency is one the list holds: the next Apply rescales as ever.
    board.ClearLog();
    prompts.Shown.clear();
    second->cmdApply_Click();
    EXPECT_EQ(board.AccessTrace().size(), 1u + 7 * 8 + 5 + 8);
    EXPECT_TRUE(prompts.Shown.empty());
    Shared().SwitchingFrequencyHz = 0;
}

TEST_F(TwoDevicePagesTest, DefaultsAcceptedAtAReopeningAreReadAtTheFrequencyThePageShows) {
    board.Regs(0x4A)[0x5D] = 0x90;
    Open(false);  // 0x48 last: the shared frequency is 98 kHz
    board.Regs(0x4A)[0x5D] = 0x9D;  // since changed to a code no list item names
    board.Regs(0x4A)[0x61] = 150;   // and a refused CCM set
    board.Regs(0x4A)[0x62] = 150;
    prompts.Answers = {MsgResult::OK};
    ASSERT_TRUE(second->SetupFormAfterLoad(0x4A));
    EXPECT_EQ(second->Registers.FreqText(), "49kHz");  // the list keeps its item
    Trace expected{R(0x5D, 0x4A), R(0x3C, 0x4A)};
    Append(expected, SetReads(0x4A));
    Append(expected, {W(0x60, 3, 0x4A), W(0x61, 238, 0x4A), W(0x62, 150, 0x4A), W(0x63, 15, 0x4A), R(0x61, 0x4A),
                      R(0x62, 0x4A), R(0x60, 0x4A), R(0x63, 0x4A)});
    EXPECT_EQ(board.AccessTrace(), expected);
    ExpectSet(second->Registers.Sets[0], FilterSetFromCodes(3, 238, 150, 15, 49000));
    EXPECT_EQ(Shared().SwitchingFrequencyHz, 98000.0);
    // The item the list kept is no choice of the user's: Apply leaves the frequency as it is.
    ExpectApplyKeepsTheUnlistedFrequency();
}

TEST_F(DigFilterLogicTest, RefusedSetAtSetUpUnloadsThePageAndStopsTheSetUp) {
    board.Regs(0x48)[0x61] = 120;  // zero above the pole
    board.Regs(0x48)[0x62] = 230;
    prompts.Answers = {MsgResult::Cancel};
    EXPECT_FALSE(page.SetupFormAfterLoad(0x48));
    Trace expected{R(0x5D)};
    Append(expected, SetReads());
    expected.push_back(R(0x3C));
    Append(expected, SetReads());
    EXPECT_EQ(board.AccessTrace(), expected);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, "The CCM Digital Filter settings are invalid\r\nClick OK to program default values.");
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(shows, 0);
    EXPECT_FALSE(page.Visible);
    EXPECT_EQ(page.PictureTopology, 0);  // nothing after the refusal ran
    EXPECT_FALSE(page.C3C4EditEnabled);
}

TEST_F(DigFilterLogicTest, AcceptedDefaultsAreWrittenThenReadBack) {
    board.Regs(0x48)[0x61] = 150;
    board.Regs(0x48)[0x62] = 150;  // pole = zero
    prompts.Answers = {MsgResult::OK};
    ASSERT_TRUE(page.SetupFormAfterLoad(0x48));
    Trace expected{R(0x5D)};
    Append(expected, SetReads());
    expected.push_back(R(0x3C));
    Append(expected, SetReads());
    Append(expected, {W(0x60, 3), W(0x61, 238), W(0x62, 150), W(0x63, 15), R(0x61), R(0x62), R(0x60), R(0x63)});
    EXPECT_EQ(board.AccessTrace(), expected);
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(page.Visible);
    EXPECT_EQ(page.Registers.Sets[0].Pole, CodeToCornerFreq(150, 98000));
}

TEST_F(DigFilterLogicTest, ModeSwitchValidatesTheOtherSet) {
    SetUpPage();
    page.optFilterMode_Click(1);
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_EQ(page.Plot.Markers.shpPole.CentreX(), FreqToX(page.Plot.Grid, page.Registers.Sets[1].Pole));
    EXPECT_EQ(page.Plot.Set, &page.Registers.Sets[1]);

    // A refused set leaves the new mode, the plot as it was and the window hidden.
    board.Regs(0x48)[0x61] = 150;
    board.Regs(0x48)[0x62] = 150;
    page.ChooseFrequency(2);
    board.ClearLog();
    prompts.Answers = {MsgResult::Cancel};
    const int redraws = page.RedrawCount;
    const float poleX = page.Plot.Markers.shpPole.CentreX();
    page.optFilterMode_Click(0);
    EXPECT_EQ(page.FilterMode, 0);
    EXPECT_FALSE(page.Visible);
    EXPECT_EQ(page.RedrawCount, redraws);
    EXPECT_EQ(page.Plot.Markers.shpPole.CentreX(), poleX);
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_EQ(unloads, 0);
}

TEST_F(DigFilterLogicTest, ApplyWritesTheDraggedSetWithFrequencyAndThreshold) {
    SetUpPage();
    page.ChooseThreshold(6);
    const FilterMarkers& m = page.Plot.Markers;
    const float hfBefore = page.Registers.Sets[0].HFGain;
    page.pctFilter_MouseDown(m.shpPole.CentreX(), m.shpPole.CentreY());
    page.pctFilter_MouseMove(m.shpPole.CentreX() + 300, m.shpPole.CentreY() - 42);
    page.pctFilter_MouseDown(1, 1);
    const FilterSet s0 = page.Registers.Sets[0], s1 = page.Registers.Sets[1];
    EXPECT_NEAR(s0.HFGain, hfBefore + 1, 0.011);
    board.ClearLog();
    page.cmdApply_Click();
    const Trace t = board.AccessTrace();
    ASSERT_EQ(t.size(), 1u + 7 * 8 + 13);
    EXPECT_EQ(t[0], R(0x5D));
    const Trace tail(t.end() - 13, t.end());
    auto code = [](std::optional<int> c) { return c.value(); };
    EXPECT_EQ(tail, (Trace{W(0x5D, 0x92), R(0x3C), W(0x3C, 0xFE), R(0x40), W(0x40, 0x85),
                           W(0x62, code(CornerFreqToCode(s0.Pole, 98000))), W(0x61, 238),
                           W(0x63, code(HighFreqGainToCode(s0.HFGain, s0.Pole, s0.Zero, 98000))),
                           W(0x60, code(LowFreqGainToCode(s0.LFGain))), W(0x66, 120), W(0x65, 230),
                           W(0x67, code(HighFreqGainToCode(s1.HFGain, s1.Pole, s1.Zero, 98000))),
                           W(0x64, code(LowFreqGainToCode(s1.LFGain)))}));
    EXPECT_NE(code(CornerFreqToCode(s0.Pole, 98000)), 150);
}

TEST_F(DigFilterLogicTest, LegendBoxesShowTheMarksAndCurves) {
    SetUpPage();
    EXPECT_TRUE(page.FilterMarksVisible);
    EXPECT_FALSE(page.CaptionsVisible);
    EXPECT_EQ(page.Curves.size(), 1u);  // the digital filter's phase
    page.SetShowLabels(true);
    EXPECT_TRUE(page.CaptionsVisible);
    int redraws = page.RedrawCount;
    page.SetLegend(LegendBox::DigFilter, false);
    EXPECT_FALSE(page.FilterMarksVisible || page.CaptionsVisible || page.Plot.DigFilterShown);
    EXPECT_EQ(page.RedrawCount, redraws + 1);
    page.SetShowLabels(false);
    page.SetShowLabels(true);
    EXPECT_FALSE(page.CaptionsVisible);  // not while the markers are hidden
    page.SetLegend(LegendBox::DigFilter, true);
    EXPECT_TRUE(page.CaptionsVisible);
    page.SetLegend(LegendBox::FullLoop, true);
    page.SetLegend(LegendBox::DigFilterPhase, false);
    ASSERT_EQ(page.Curves.size(), 1u);
    EXPECT_EQ(page.Curves[0].Kind, CurveKind::FullLoopGain);
    EXPECT_EQ(page.Curves[0].Points.size(), 201u);
    redraws = page.RedrawCount;
    page.SetLegend(LegendBox::FullLoop, true);  // no change, no click
    EXPECT_EQ(page.RedrawCount, redraws);
}

TEST_F(DigFilterLogicTest, DropsRedrawOncePerHandleAndMovesWriteNothing) {
    SetUpPage();
    const FilterMarkers& m = page.Plot.Markers;
    const int redraws = page.RedrawCount;
    page.pctFilter_MouseDown(m.shpZero.CentreX(), m.shpZero.CentreY());
    EXPECT_EQ(page.RedrawCount, redraws);
    const float zx = m.shpZero.CentreX();
    page.pctFilter_MouseMove(zx - 100, m.shpZero.CentreY());  // the zero follows X only
    EXPECT_EQ(page.Plot.Markers.shpZero.CentreX(), zx - 100);
    EXPECT_EQ(page.Registers.Sets[0].Zero,
              float(ParseNumber(FrequencyValueText(XToFreq(page.Plot.Grid, zx - 100))) * 1000));
    // The hover test comes before the move: the pointer shows over the zero at the next move.
    EXPECT_EQ(page.Drag.Pointer, PointerShape::Default);
    page.pctFilter_MouseMove(zx - 100, m.shpZero.CentreY());
    EXPECT_EQ(page.Drag.Pointer, PointerShape::LeftRight);
    EXPECT_EQ(page.RedrawCount, redraws);
    page.pctFilter_MouseDown(5, 5);
    EXPECT_EQ(page.RedrawCount, redraws + 1);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(DigFilterLogicTest, AnUnlistedFrequencyOnTheFirstPageLeavesNothingUndefined) {
    board.Regs(0x48)[0x5D] = 0x9D;  // no listed code, and no page has set a frequency yet
    prompts.Answers = {MsgResult::OK};  // every corner reads as 0 Hz: the set is refused
    ASSERT_TRUE(page.SetupFormAfterLoad(0x48));
    EXPECT_EQ(Shared().SwitchingFrequencyHz, 0.0);
    EXPECT_EQ(page.Registers.FreqText(), "");
    const FilterMarkers& m = page.Plot.Markers;
    for (float v : {m.shpPole.Left, m.shpPole.Top, m.shpZero.Left, m.shpZero.Top, m.lnIstSlope.Y1, m.LnHor1.X1,
                    m.ln2ndSlope.Y1, m.LnHor2.X1})
        EXPECT_TRUE(std::isfinite(v)) << v;
    for (const QString& t : {m.lblPoleFreq, m.lblHighFGain, m.lblZeroFreq, m.lblLowFGain, m.lblPolePos.Text})
        EXPECT_FALSE(t.contains(QStringLiteral("NaN")) || t.contains(QStringLiteral("Inf"))) << t.toStdString();
    EXPECT_TRUE(AllFinite(page.Curves));
    // With no frequency the page cannot drag a corner anywhere meaningful, and Apply leaves the
    // frequency bits and the edges alone.
    page.pctFilter_MouseDown(m.shpPole.CentreX(), m.shpPole.CentreY());
    page.pctFilter_MouseMove(3000, 3000);
    board.ClearLog();
    page.cmdApply_Click();
    for (const QString& line : board.AccessTrace()) EXPECT_FALSE(line.startsWith(QStringLiteral("W 48 5D"))) << line.toStdString();
    EXPECT_EQ(board.AccessTrace().front(), R(0x5D));
    EXPECT_EQ(board.AccessTrace()[1], R(0x3C));
}
