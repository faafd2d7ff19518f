#include "page_test_support.h"

#include "core/numbers.h"
#include "pages/pwm_logic.h"

namespace {

std::string Access(char kind, int reg, int value = -1) {
    QString s = QStringLiteral("%1 48 %2").arg(QChar(kind)).arg(TwoDigitHex(reg));
    if (value >= 0) s += QStringLiteral(" ") + TwoDigitHex(value);
    return s.toStdString();
}

// Program's accesses for one output: the two timing bytes, then each setting byte over a fresh read.
void AddProgramOutput(Trace& t, int i, int timing1, int timing2, int setting1, int setting2) {
    const int n = EdgeRegister(i);
    t.push_back(Access('W', n, timing1));
    t.push_back(Access('W', n + 2, timing2));
    t.push_back(Access('R', n + 1));
    t.push_back(Access('W', n + 1, setting1));
    t.push_back(Access('R', n + 3));
    t.push_back(Access('W', n + 3, setting2));
}

class PWMTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
    uint8_t& Reg(int r) { return board.Regs(0x48)[r]; }
    void Edges(int i, int timing1, int setting1, int timing2, int setting2) {
        const int n = EdgeRegister(i);
        Reg(n) = static_cast<uint8_t>(timing1);
        Reg(n + 1) = static_cast<uint8_t>(setting1);
        Reg(n + 2) = static_cast<uint8_t>(timing2);
        Reg(n + 3) = static_cast<uint8_t>(setting2);
    }
    void SetUpPage(int freq = 0x90) {
        Reg(0x5D) = static_cast<uint8_t>(freq);
        page.Form_Load();
        page.SetupFormAfterLoad(0x48);
        board.ClearLog();
    }
    // The edge registers and 0x40 as Program leaves them, one line per output.
    std::vector<int> EdgeBytes(int i) {
        const int n = EdgeRegister(i);
        return {Reg(n), Reg(n + 1), Reg(n + 2), Reg(n + 3)};
    }
    PWMLogic page;
};

TEST_F(PWMTest, SetUpReadsEveryOutputThenTheFrequenciesAndWritesNothing) {
    Edges(0, 0x80, 0x0D, 0x40, 0x02);
    Reg(0x40) = 0x04;
    Reg(0x5D) = 0x90;
    page.Form_Load();
    page.SetupFormAfterLoad(0x48);
    Trace expected;
    for (int i = 0; i < 7; ++i) {
        const int n = EdgeRegister(i);
        for (int r : {n, n + 1, n + 2, n + 3, 0x40}) expected.push_back(Access('R', r));
    }
    expected.push_back("R 48 5D");
    expected.push_back("R 48 5D");
    EXPECT_EQ(TraceOf(board), expected);
    EXPECT_EQ(expected.size(), 37u);

    EXPECT_EQ(page.cmbFreq.Text(), "49kHz");
    EXPECT_EQ(page.lblPWMFreq, "49kHz");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(page.lblT[i], "20.408us");
    EXPECT_EQ(page.PeriodCounts, 4081);
    EXPECT_EQ(page.cmbAuxFreq.Text(), "500kHz");
    EXPECT_EQ(page.lblT[6], "2us");
    EXPECT_EQ(page.AuxPeriodCounts, 400);
    EXPECT_EQ(page.TimeDecimals, 5);  // the AUX handler ran last

    EXPECT_EQ(page.PWMOutputs[0].Edge1, 2048);
    EXPECT_TRUE(page.PWMOutputs[0].Mod1);
    EXPECT_TRUE(page.PWMOutputs[0].Sign1);
    EXPECT_EQ(page.PWMOutputs[0].Edge2, 1024);
    EXPECT_FALSE(page.PWMOutputs[0].Mod2);
    EXPECT_FALSE(page.PWMOutputs[0].Sign2);
    EXPECT_EQ(page.lblT1[0], "T1 = 10.240us");
    EXPECT_EQ(page.lblT2[0], "T2 = 5.120us");
    EXPECT_EQ(page.lblT1[6], "T13 = 0.000us");
    EXPECT_EQ(page.chkEnableT1Mod[0].Code(), 1);
    EXPECT_EQ(page.SignCaption(0, 1), "Positive Modulation on T1 Edge");
    EXPECT_EQ(page.SignCaption(0, 3), "Inverted Modulation on T2 Edge");
    EXPECT_EQ(page.chkDisable[1].Code(), 1);  // bit 2 of 0x40 is OUTB's
    EXPECT_EQ(page.chkDisable[0].Code(), 0);
    EXPECT_TRUE(Shared().PWMFormOpen[0]);
    page.Form_Unload(0x48);
    EXPECT_FALSE(Shared().PWMFormOpen[0]);
}

TEST_F(PWMTest, EachFrequencyCodeGivesItsPeriodCountAndDecimals) {
    struct Case {
        const char* text;
        const char* period;
        long counts;
        int decimals;
    } table[12] = {{"49kHz", "20.408us", 4081, 3},  {"74.5kHz", "13.423us", 2684, 3}, {"98kHz", "10.204us", 2040, 3},
                   {"125kHz", "8us", 1600, 4},      {"149kHz", "6.711us", 1342, 4},   {"195kHz", "5.128us", 1025, 4},
                   {"250kHz", "4us", 800, 4},       {"298kHz", "3.356us", 671, 4},    {"390kHz", "2.564us", 512, 4},
                   {"500kHz", "2us", 400, 5},       {"595kHz", "1.681us", 336, 5},    {"694kHz", "1.441us", 288, 5}};
    for (int code = 0; code < 12; ++code) {
        PWMLogic fresh;
        Reg(0x5D) = static_cast<uint8_t>(code * 16 + code);
        Edges(0, 0xFF, 0xF0, 0x00, 0x00);  // 4095: shown at the end of every period
        fresh.SetupFormAfterLoad(0x48);
        const Case& c = table[code];
        EXPECT_EQ(fresh.lblPWMFreq, c.text);
        EXPECT_EQ(fresh.lblT[0], c.period) << code;
        EXPECT_EQ(fresh.lblT[6], c.period) << code;
        EXPECT_EQ(fresh.PeriodCounts, c.counts) << code;
        EXPECT_EQ(fresh.AuxPeriodCounts, c.counts) << code;
        EXPECT_EQ(fresh.TimeDecimals, c.decimals) << code;
        EXPECT_EQ(fresh.rising[0].count, c.counts) << code;
        EXPECT_EQ(fresh.PWMFreqHz, static_cast<float>(ParseNumber(QString::fromLatin1(c.text)) * 1000));
    }
}

TEST(PWMFormat, MicrosecondsWithThreeDecimalsAndNoLeadingZero) {
    PWMLogic page;
    for (int decimals : {3, 4, 5}) {
        page.TimeDecimals = decimals;
        const std::pair<float, const char*> cases[] = {{0, "0.000us"},    {1, ".005us"},     {100, ".500us"},
                                                       {500, "2.500us"},  {510, "2.550us"},  {2000, "10.000us"},
                                                       {4081, "20.405us"}, {4095, "20.475us"}, {10, ".050us"}};
        for (auto [count, text] : cases) EXPECT_EQ(page.FormatMicroseconds(count), text) << count;
    }
}

TEST_F(PWMTest, ProgramWritesTheLabelsWithTheBoxesOverFreshlyReadLowBits) {
    Edges(0, 0x80, 0x0D, 0xFF, 0xF2);  // rising 2048 (modulated, positive); falling 4095 clamped to 4081
    Edges(6, 0x00, 0x00, 0x00, 0x03);
    Reg(0x40) = 0x88;  // OUTC and AUX disabled
    SetUpPage();
    EXPECT_EQ(page.lblT1[0], "T1 = 10.240us");
    EXPECT_EQ(page.lblT2[0], "T2 = 20.405us");
    page.cmdProgram_Click(0x48);
    Trace expected;
    AddProgramOutput(expected, 0, 0x80, 0xFF, 0x0D, 0x12);
    for (int i = 1; i < 6; ++i) AddProgramOutput(expected, i, 0, 0, 0, 0);
    AddProgramOutput(expected, 6, 0, 0, 0, 0x03);
    expected.push_back("W 48 40 89");
    expected.push_back("R 48 5D");
    expected.push_back("W 48 5D 90");
    EXPECT_EQ(TraceOf(board), expected);
    EXPECT_EQ(Shared().SavedTopologyIndex, -1);

    // Bits 1:0 changed on the chip since the set-up survive; the page programs again unchanged.
    Reg(0x42) = 0x0E;
    Reg(0x5D) = 0x95;  // the main code is the filter designer's: kept
    board.ClearLog();
    page.cmdProgram_Click(0x48);
    EXPECT_EQ(Reg(0x42), 0x0E);
    EXPECT_EQ(Reg(0x5D), 0x95);
    EXPECT_EQ(TraceOf(board).size(), 45u);
}

TEST_F(PWMTest, BoxesAndAuxFrequencyChangeThePageOnlyUntilProgram) {
    Edges(3, 0x10, 0x0C, 0x20, 0x0C);
    SetUpPage(0x00);
    page.Tick(page.chkT2Sign[3], 0);
    EXPECT_EQ(page.SignCaption(3, 3), "Inverted Modulation on T8 Edge");
    page.Tick(page.chkDisable[2], 1);
    page.Tick(page.chkDisable[6], 1);
    page.Tick(page.chkEnableT1Mod[5], 1);
    page.ChooseAuxFreq(11);
    EXPECT_EQ(page.lblT[6], "1.441us");
    EXPECT_TRUE(board.AccessTrace().empty());

    page.cmdProgram_Click(0x48);
    EXPECT_EQ(EdgeBytes(3), (std::vector<int>{0x10, 0x0C, 0x20, 0x08}));  // bit 2 of 0x50 cleared
    EXPECT_EQ(EdgeBytes(5), (std::vector<int>{0x00, 0x08, 0x00, 0x00}));
    EXPECT_EQ(Reg(0x40), 0x89);
    EXPECT_EQ(Reg(0x5D), 0xB0);
}

TEST_F(PWMTest, ChangedMainFrequencyKeepsThePlaceAndRelabelsWithoutWriting) {
    Edges(1, 0x00, 0x00, 0x7F, 0x80);  // falling edge at 2040 of 4081: T4 = 10.200us
    SetUpPage(0x00);
    EXPECT_EQ(page.lblT2[1], "T4 = 10.200us");
    EXPECT_TRUE(page.SetFrequencyText("98kHz"));
    EXPECT_EQ(page.lblT2[1], "T4 = 5.100us");
    EXPECT_EQ(page.falling[1].count, 1020);
    EXPECT_EQ(page.lblPWMFreq, "98kHz");
    EXPECT_EQ(page.lblT[0], "10.204us");
    EXPECT_EQ(page.lblT[6], "20.408us");  // the AUX period is not the main one
    EXPECT_FALSE(page.SetFrequencyText("12kHz"));
    EXPECT_EQ(page.lblPWMFreq, "98kHz");
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_EQ(Reg(0x5D), 0x00);

    page.cmdProgram_Click(0x48);
    EXPECT_EQ(EdgeBytes(1), (std::vector<int>{0x00, 0x00, 0x3F, 0xC0}));
    EXPECT_EQ(Reg(0x5D), 0x00);  // the main code is the filter designer's to write
}

TEST_F(PWMTest, FrequencyChangesThereAndBackGiveTheSameEdges) {
    Edges(0, 0x80, 0x0D, 0x40, 0x02);  // T1 = 10.240us (2048), T2 = 5.120us (1024)
    Edges(6, 0x0A, 0x00, 0x00, 0x00);  // T13 at 160 of the 400-count AUX period
    SetUpPage(0x90);
    EXPECT_TRUE(page.SetFrequencyText("694kHz"));
    EXPECT_EQ(page.lblT1[0], "T1 = .725us");  // 144.53 of 288
    EXPECT_TRUE(page.SetFrequencyText("49kHz"));
    EXPECT_EQ(page.lblT1[0], "T1 = 10.240us");

    // Through every period and back: the edges stand where they stood, the labels agree.
    const double r = page.RisingX(0);
    const double f = page.FallingX(0);
    for (int round = 0; round < 2; ++round)
        for (const QString& text : SwitchingFrequencyItems()) EXPECT_TRUE(page.SetFrequencyText(text));
    EXPECT_TRUE(page.SetFrequencyText("49kHz"));
    EXPECT_EQ(page.RisingX(0), r);
    EXPECT_EQ(page.FallingX(0), f);
    EXPECT_EQ(page.lblT1[0], "T1 = 10.240us");
    EXPECT_EQ(page.lblT2[0], "T2 = 5.120us");
    for (int i = 0; i < 12; ++i) page.ChooseAuxFreq(i);
    page.ChooseAuxFreq(9);
    EXPECT_EQ(page.rising[6].count, 160);
    EXPECT_TRUE(board.AccessTrace().empty());

    page.cmdProgram_Click(0x48);
    EXPECT_EQ(EdgeBytes(0), (std::vector<int>{0x80, 0x0D, 0x40, 0x02}));
    EXPECT_EQ(EdgeBytes(6), (std::vector<int>{0x0A, 0x00, 0x00, 0x00}));
}

TEST_F(PWMTest, ADraggedEdgeStaysAtTheMouseAndFollowsTheFrequencyFromThere) {
    Edges(0, 0x40, 0x00, 0xC0, 0x00);
    SetUpPage(0x00);
    page.pctPWM_MouseDown(0, page.RisingX(0));
    page.pctPWM_MouseMove(0, 1800);  // 814.16 counts: the label rounds, the line does not
    page.pctPWM_MouseDown(0, 1800);
    EXPECT_EQ(page.RisingX(0), 1800);
    EXPECT_EQ(page.View(0).risingX, 1800);
    EXPECT_EQ(page.lblT1[0], "T1 = 4.070us");
    EXPECT_TRUE(page.SetFrequencyText("500kHz"));
    EXPECT_EQ(page.lblT1[0], "T1 = .400us");  // 79.80 of 400
    EXPECT_EQ(page.RisingX(0), 1800);
    EXPECT_TRUE(page.SetFrequencyText("49kHz"));
    EXPECT_EQ(page.lblT1[0], "T1 = 4.070us");

    // A nudge moves one count from the label's count and puts the line on that count.
    page.cmdRisingRight_Click(0);
    EXPECT_EQ(page.lblT1[0], "T1 = 4.075us");
    EXPECT_FLOAT_EQ(page.RisingX(0), pwm::EdgeCountToX(815, 4081));
}

TEST_F(PWMTest, ADragReachesTheEndOfThePeriodFromTheLastPixel) {
    Edges(0, 0x40, 0x00, 0xC0, 0x00);
    SetUpPage(0x00);
    page.pctPWM_MouseDown(0, page.FallingX(0));
    page.pctPWM_MouseMove(0, 4200);  // pixel 280 holds the period end at 4207.5
    EXPECT_EQ(page.lblT2[0], "T2 = 20.405us");
    EXPECT_EQ(page.FallingX(0), pwm::kMidX);
    page.pctPWM_MouseMove(0, 4185);
    EXPECT_EQ(page.lblT2[0], "T2 = 20.250us");
    page.pctPWM_MouseMove(0, 4215);  // the next pixel lies past it: ignored
    EXPECT_EQ(page.lblT2[0], "T2 = 20.250us");
}

TEST_F(PWMTest, ADisableBoxRecoloursAGrabbedEdgeToo) {
    Edges(0, 0x40, 0x00, 0xC0, 0x00);
    SetUpPage(0x00);
    auto line = [&](int k) { return pwm::BuildScene(page.View(0)).lines[5 + static_cast<size_t>(k)].rgb; };
    page.pctPWM_MouseDown(0, page.RisingX(0));
    EXPECT_EQ(line(1), pwm::kGreen);
    page.Tick(page.chkDisable[0], 0);  // no change: no handler, still green
    EXPECT_EQ(line(1), pwm::kGreen);
    page.Tick(page.chkDisable[0], 1);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(line(k), pwm::kBlack) << k;
    EXPECT_EQ(page.DragState[0].State(), pwm::Edge::Rising);  // still carried
    page.pctPWM_MouseMove(0, 2000);
    EXPECT_EQ(line(1), pwm::kBlack);
    page.Tick(page.chkDisable[0], 0);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(line(k), pwm::kRed) << k;
    EXPECT_EQ(pwm::BuildScene(page.View(0)).texts[2].rgb, pwm::kRed);  // the label keeps the grab's colour

    // Another output's box leaves this grab green; a preset's change of the box recolours.
    page.pctPWM_MouseDown(0, 0);
    page.pctPWM_MouseDown(0, page.RisingX(0));
    page.Tick(page.chkDisable[1], 1);
    EXPECT_EQ(line(1), pwm::kGreen);
    page.ChooseTopology(0);  // OUTA stays enabled: no click, still green
    EXPECT_EQ(line(1), pwm::kGreen);
    page.ChooseTopology(4);  // OUTA enabled, OUTB unchanged
    EXPECT_EQ(line(1), pwm::kGreen);
    page.Tick(page.chkDisable[0], 1);
    page.ChooseTopology(4);
    EXPECT_EQ(line(1), pwm::kRed);
}

TEST_F(PWMTest, ClickToGrabMoveAndClickToDrop) {
    Edges(0, 0x40, 0x00, 0xC0, 0x00);  // 1024 and 3072 of 4081
    SetUpPage(0x00);
    const double r = page.RisingX(0);
    const double f = page.FallingX(0);

    page.pctPWM_MouseMove(0, r + 99);
    EXPECT_EQ(page.MousePointer, pwm::Pointer::SizeWE);
    page.pctPWM_MouseMove(0, r + 100);
    EXPECT_EQ(page.MousePointer, pwm::Pointer::Default);
    page.pctPWM_MouseDown(0, r - 100);  // exactly 100 away: nothing
    EXPECT_EQ(page.DragState[0].State(), pwm::Edge::None);
    page.pctPWM_MouseDown(0, r - 99);
    EXPECT_EQ(page.DragState[0].State(), pwm::Edge::Rising);
    EXPECT_EQ(page.View(0).grabbed, pwm::Edge::Rising);

    page.pctPWM_MouseMove(0, pwm::kMidX);  // the period's end: the full count
    EXPECT_EQ(page.lblT1[0], "T1 = 20.405us");
    page.pctPWM_MouseMove(0, pwm::kMidX + 15);  // past it: ignored
    EXPECT_EQ(page.lblT1[0], "T1 = 20.405us");
    EXPECT_EQ(page.rising[0].count, 4081);
    EXPECT_EQ(page.MousePointer, pwm::Pointer::Default);  // a move while carrying leaves the pointer

    // Past the falling edge: high-low-high in both periods.
    const pwm::Waveform w = pwm::BuildWaveform(page.RisingX(0), page.FallingX(0), pwm::LevelsOf(0));
    EXPECT_EQ(w[0].y1, 240);
    EXPECT_EQ(w[2].y1, 840);
    EXPECT_EQ(w[4].y1, 240);
    EXPECT_EQ(w[9].y1, 240);

    page.pctPWM_MouseMove(0, 1800);
    const QString dropped = page.lblT1[0];
    page.pctPWM_MouseDown(0, 3000);  // the drop's X is not applied
    EXPECT_EQ(page.DragState[0].State(), pwm::Edge::None);
    EXPECT_EQ(page.lblT1[0], dropped);
    page.pctPWM_MouseMove(0, 2500);  // hovering no longer moves it
    EXPECT_EQ(page.lblT1[0], dropped);
    EXPECT_EQ(page.rising[0].count, 814);
    EXPECT_EQ(dropped, "T1 = 4.070us");

    // Each picture has its own state: a grab on OUTB leaves OUTA alone.
    page.pctPWM_MouseDown(1, page.RisingX(1));
    page.pctPWM_MouseMove(0, f);
    EXPECT_EQ(page.rising[0].count, 814);
    EXPECT_EQ(page.DragState[1].State(), pwm::Edge::Rising);
    EXPECT_TRUE(board.AccessTrace().empty());

    page.Form_MouseMove();
    EXPECT_EQ(page.MousePointer, pwm::Pointer::Default);
    page.cmdProgram_Click(0x48);
    EXPECT_EQ(EdgeBytes(0), (std::vector<int>{0x32, 0xE0, 0xC0, 0x00}));
}

TEST_F(PWMTest, NudgesMoveOneFiveNanosecondStepAndProgramWritesIt) {
    Edges(0, 0x00, 0x10, 0xFF, 0x00);  // T1 = .005us, T2 = 20.400us (4080)
    Edges(6, 0x18, 0xF0, 0x00, 0x00);  // T13 at 399 of the 400-count AUX period
    SetUpPage(0x90);
    page.cmdRisingLeft_Click(0);
    EXPECT_EQ(page.lblT1[0], "T1 = 0us");
    page.cmdRisingLeft_Click(0);
    EXPECT_EQ(page.lblT1[0], "T1 = 0us");
    EXPECT_EQ(page.rising[0].count, 0);
    page.cmdFallingRight_Click(0);
    EXPECT_EQ(page.lblT2[0], "T2 = 20.405us");
    page.cmdFallingRight_Click(0);
    EXPECT_EQ(page.lblT2[0], "T2 = 20.405us");
    EXPECT_EQ(page.falling[0].count, 4081);
    page.cmdFallingLeft_Click(0);
    page.cmdFallingLeft_Click(0);
    EXPECT_EQ(page.lblT2[0], "T2 = 20.395us");
    page.cmdRisingRight_Click(6);
    EXPECT_EQ(page.lblT1[6], "T13 = 2us");
    page.cmdRisingRight_Click(6);
    EXPECT_EQ(page.rising[6].count, 400);
    EXPECT_TRUE(board.AccessTrace().empty());

    page.cmdProgram_Click(0x48);
    EXPECT_EQ(EdgeBytes(0), (std::vector<int>{0x00, 0x00, 0xFE, 0xF0}));  // 4079 = 0xFEF
    EXPECT_EQ(EdgeBytes(6), (std::vector<int>{0x19, 0x00, 0x00, 0x00}));  // 400 = 0x190
}

TEST_F(PWMTest, FullBridgeWithSynchronousRectifierAt49kHz) {
    for (int i = 0; i < 7; ++i) Edges(i, 0x11, 0x0C, 0x22, 0x0C);  // every sign box positive
    Reg(0x40) = 0xFE;
    SetUpPage(0x00);
    page.Tick(page.chkEnableT1Mod[6], 1);
    page.ChooseTopology(0);
    EXPECT_TRUE(board.AccessTrace().empty());
    const std::pair<const char*, const char*> labels[6] = {
        {"T1 = 0.000us", "T2 = 10.200us"},   {"T3 = 10.200us", "T4 = 15.305us"}, {"T5 = 10.200us", "T6 = 20.405us"},
        {"T7 = 0.000us", "T8 = 5.100us"},    {"T9 = 15.305us", "T10 = 10.200us"}, {"T11 = 5.100us", "T12 = 20.405us"}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(page.lblT1[i], labels[i].first) << i;
        EXPECT_EQ(page.lblT2[i], labels[i].second) << i;
        EXPECT_EQ(page.chkDisable[i].Code(), 0) << i;
        EXPECT_EQ(page.chkT1Sign[i].Code(), 1);
    }
    EXPECT_EQ(page.chkDisable[6].Code(), 1);
    // AUX keeps its edges and its modulation boxes.
    EXPECT_EQ(page.rising[6].count, 0x110);
    EXPECT_EQ(page.chkEnableT1Mod[6].Code(), 1);
    std::vector<std::string> modulated;
    for (int i = 0; i < 6; ++i) {
        if (page.chkEnableT1Mod[i].Code()) modulated.push_back("T" + std::to_string(2 * i + 1));
        if (page.chkEnableT2Mod[i].Code()) modulated.push_back("T" + std::to_string(2 * i + 2));
    }
    EXPECT_EQ(modulated, (std::vector<std::string>{"T4", "T8", "T9", "T11"}));

    // Half bridge next: outputs from OUTC on are disabled and keep the previous edges.
    page.ChooseTopology(2);
    EXPECT_EQ(page.lblT1[1], "T3 = 0.000us");
    EXPECT_EQ(page.lblT2[1], "T4 = 5.100us");
    EXPECT_EQ(page.lblT1[4], "T9 = 15.305us");
    for (int i = 2; i < 7; ++i) EXPECT_EQ(page.chkDisable[i].Code(), 1) << i;
    EXPECT_EQ(page.chkEnableT1Mod[4].Code(), 0);
    EXPECT_EQ(page.chkEnableT1Mod[5].Code(), 0);
    EXPECT_EQ(page.chkEnableT2Mod[1].Code(), 1);
    EXPECT_EQ(page.chkEnableT2Mod[3].Code(), 0);
    EXPECT_EQ(Shared().SavedTopologyIndex, -1);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(PWMTest, EveryPresetsDisablesModulationAndPlacesAt195kHz) {
    struct Case {
        int preset;
        const char* disabled;   // one character per output, 1 = ticked
        const char* modulated;  // T1Mod and T2Mod of outputs 0 to 5
        std::vector<std::pair<long, long>> edges;
    } cases[] = {
        {0, "0000001", "00 01 00 01 10 10", {{0, 512}, {512, 769}, {512, 1025}, {0, 256}, {769, 512}, {256, 1025}}},
        {1, "0000111", "00 01 00 01 00 00", {{0, 512}, {512, 769}, {512, 1025}, {0, 256}}},
        {2, "0011111", "00 01 00 00 00 00", {{0, 512}, {0, 256}}},
        {3, "0000111", "01 01 01 01 00 00", {{0, 256}, {256, 512}, {512, 769}, {769, 1025}}},
        {4, "0111111", "01 00 00 00 00 00", {{0, 512}}},
        {5, "0111111", "01 00 00 00 00 00", {{0, 512}}},
        {6, "0011111", "01 01 00 00 00 00", {{0, 512}, {0, 512}}},
        {7, "0011111", "01 01 00 00 00 00", {{0, 512}, {512, 1025}}},
    };
    for (const Case& c : cases) {
        PWMLogic fresh;
        for (int i = 0; i < 7; ++i) Edges(i, 0x03, 0x00, 0x04, 0x00);  // 48 and 64 everywhere
        Reg(0x5D) = 0x05;
        fresh.SetupFormAfterLoad(0x48);
        for (int i = 0; i < 6; ++i) {
            fresh.Tick(fresh.chkEnableT1Mod[i], 1);
            fresh.Tick(fresh.chkEnableT2Mod[i], 1);
        }
        fresh.ApplyTopologyPreset(TopologyItems()[c.preset]);
        for (int i = 0; i < 7; ++i) EXPECT_EQ(fresh.chkDisable[i].Code(), c.disabled[i] - '0') << c.preset << i;
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(fresh.chkEnableT1Mod[i].Code(), c.modulated[3 * i] - '0') << c.preset << " " << i;
            EXPECT_EQ(fresh.chkEnableT2Mod[i].Code(), c.modulated[3 * i + 1] - '0') << c.preset << " " << i;
        }
        for (int i = 0; i < 7; ++i) {
            const bool placed = i < static_cast<int>(c.edges.size());
            EXPECT_EQ(fresh.rising[i].count, placed ? c.edges[i].first : 48) << c.preset << " " << i;
            EXPECT_EQ(fresh.falling[i].count, placed ? c.edges[i].second : 64) << c.preset << " " << i;
        }
    }
    // A name that is not in the list does nothing.
    PWMLogic page;
    page.ApplyTopologyPreset("Buck converter");
    EXPECT_EQ(page.chkDisable[6].Code(), 0);
    for (const std::string& line : TraceOf(board)) EXPECT_EQ(line[0], 'R') << line;
}

TEST_F(PWMTest, ProgramRemembersTheTopologyForPagesLoadedLater) {
    Edges(0, 0x12, 0x34, 0x56, 0x78);
    SetUpPage(0x00);
    page.ChooseTopology(7);
    EXPECT_EQ(Shared().SavedTopologyIndex, -1);  // not before Program
    page.cmdProgram_Click(0x48);
    EXPECT_EQ(Shared().SavedTopologyIndex, 7);

    Edges(0, 0x12, 0x34, 0x56, 0x78);
    Reg(0x40) = 0;
    PWMLogic later;
    later.Form_Load();
    EXPECT_EQ(later.cmbTopology.Text(), "Push-Pull");
    later.SetupFormAfterLoad(0x48);
    EXPECT_EQ(later.rising[0].count, 0x123);  // the chip's contents, not the preset's
    EXPECT_EQ(later.chkDisable[2].Code(), 0);

    PWMLogic none;
    none.SetupFormAfterLoad(0x48);
    none.cmdProgram_Click(0x48);
    EXPECT_EQ(Shared().SavedTopologyIndex, -1);
}

TEST_F(PWMTest, FrequencyCodesWithoutAFrequencyKeepTheChipsEdgesAndCodes) {
    Edges(0, 0xFF, 0xF9, 0x80, 0x06);  // 4095 and 2048
    Edges(6, 0x12, 0x30, 0x00, 0x00);
    SetUpPage(0xFD);
    EXPECT_EQ(page.cmbFreq.Code(), -1);
    EXPECT_EQ(page.cmbAuxFreq.Code(), -1);
    EXPECT_EQ(page.PeriodCounts, 0);
    EXPECT_EQ(page.lblT1[0], "T1 = 20.475us");
    EXPECT_EQ(page.lblT2[0], "T2 = 10.240us");
    // Drawn on the scale of every count a register holds, each edge where its count puts it.
    EXPECT_FLOAT_EQ(page.RisingX(0), pwm::kMidX);
    EXPECT_FLOAT_EQ(page.FallingX(0), pwm::EdgeCountToX(2048, 4095));

    // Nothing divides by the missing period: nudges, drags and presets stay on the page.
    page.cmdRisingRight_Click(0);
    EXPECT_EQ(page.lblT1[0], "T1 = 20.475us");
    page.cmdFallingLeft_Click(0);
    EXPECT_EQ(page.lblT2[0], "T2 = 10.235us");
    page.cmdFallingRight_Click(0);
    page.cmdProgram_Click(0x48);
    EXPECT_EQ(EdgeBytes(0), (std::vector<int>{0xFF, 0xF9, 0x7F, 0xF6}));  // 10.235us = 2047
    EXPECT_EQ(EdgeBytes(6), (std::vector<int>{0x12, 0x30, 0x00, 0x00}));
    EXPECT_EQ(Reg(0x5D), 0xFD);  // no AUX code without a frequency is written

    // A frequency chosen later keeps the counts that fit in its period.
    EXPECT_TRUE(page.SetFrequencyText("49kHz"));
    EXPECT_EQ(page.lblT1[0], "T1 = 20.405us");
    EXPECT_EQ(page.lblT2[0], "T2 = 10.235us");

    PWMLogic other;
    Reg(0x5D) = 0xFF;
    other.SetupFormAfterLoad(0x48);
    other.pctPWM_MouseDown(0, pwm::kStartX);  // no edge there: a move changes nothing
    other.pctPWM_MouseMove(0, 3000);
    EXPECT_EQ(other.lblT1[0], "T1 = 20.475us");
    other.pctPWM_MouseDown(0, other.FallingX(0));
    EXPECT_EQ(other.DragState[0].State(), pwm::Edge::Falling);
    other.pctPWM_MouseMove(0, 3000);  // 2450.9 of 4095
    EXPECT_EQ(other.lblT2[0], "T2 = 12.255us");
    EXPECT_EQ(other.lblT1[0], "T1 = 20.475us");
    other.ChooseTopology(0);
    EXPECT_EQ(other.lblT2[5], "T12 = 0.000us");
}

// The page set up again on the chip (reopened) after its codes lost their frequencies: it shows
// and programs the chip's counts and codes, never the period of the set-up before.
TEST_F(PWMTest, ASecondSetUpWithoutFrequenciesKeepsNothingOfTheFirstPeriods) {
    SetUpPage(0x90);
    EXPECT_EQ(page.PeriodCounts, 4081);
    EXPECT_EQ(page.AuxPeriodCounts, 400);

    Edges(0, 0xFF, 0xF1, 0xBB, 0x88);  // 4095, and 3000 modulated
    Edges(6, 0xFA, 0x00, 0x19, 0x12);  // 4000 and 401
    Reg(0x5D) = 0xDD;
    page.SetupFormAfterLoad(0x48);
    EXPECT_EQ(page.cmbFreq.Code(), -1);
    EXPECT_EQ(page.cmbAuxFreq.Code(), -1);
    EXPECT_EQ(page.lblPWMFreq, "");
    EXPECT_EQ(page.lblT[0], "");
    EXPECT_EQ(page.lblT[6], "");
    EXPECT_EQ(page.lblT1[0], "T1 = 20.475us");
    EXPECT_EQ(page.lblT2[0], "T2 = 15.000us");
    EXPECT_EQ(page.lblT1[6], "T13 = 20.000us");
    EXPECT_EQ(page.lblT2[6], "T14 = 2.005us");
    // Both edges of every output stand apart, where their counts put them on the full scale.
    EXPECT_FLOAT_EQ(page.RisingX(6), pwm::EdgeCountToX(4000, 4095));
    EXPECT_FLOAT_EQ(page.FallingX(6), pwm::EdgeCountToX(401, 4095));

    board.ClearLog();
    page.cmdProgram_Click(0x48);
    Trace expected;
    AddProgramOutput(expected, 0, 0xFF, 0xBB, 0xF1, 0x88);
    for (int i = 1; i < 6; ++i) AddProgramOutput(expected, i, 0, 0, 0, 0);
    AddProgramOutput(expected, 6, 0xFA, 0x19, 0x00, 0x12);
    expected.push_back("W 48 40 01");
    expected.push_back("R 48 5D");
    expected.push_back("W 48 5D DD");  // neither code of the earlier set-up
    EXPECT_EQ(TraceOf(board), expected);

    // And back on known frequencies, the new periods limit the counts.
    Reg(0x5D) = 0x02;
    page.SetupFormAfterLoad(0x48);
    EXPECT_EQ(page.lblPWMFreq, "98kHz");
    EXPECT_EQ(page.lblT1[0], "T1 = 10.200us");  // 2040
    EXPECT_EQ(page.lblT2[0], "T2 = 10.200us");
    EXPECT_EQ(page.lblT1[6], "T13 = 20.000us");  // AUX at 49kHz
}

TEST_F(PWMTest, TheSecondDevicesPageKeepsItsOwnOpenFlag) {
    board.AddChip(0x4A);
    Shared().DeviceAddress[1] = 0x4A;
    Shared().DeviceCount = 2;
    page.SetupFormAfterLoad(0x4A);
    EXPECT_FALSE(Shared().PWMFormOpen[0]);
    EXPECT_TRUE(Shared().PWMFormOpen[1]);
    page.cmdProgram_Click(0x4A);
    EXPECT_EQ(board.AccessTrace().front(), "R 4A 41");
    page.Form_Unload(0x4A);
    EXPECT_FALSE(Shared().PWMFormOpen[1]);
}

}  // namespace
