// The register map's logic against the emulated board and the simulated register file.
#include "fixture.h"

#include "registers/master_timer.h"
#include "registers/register_table.h"
#include "shell/regmap_logic.h"

#include <algorithm>
#include <functional>

using Trace = std::vector<QString>;

namespace {

std::vector<QString> Captions(const RegMapLogic& m) {
    std::vector<QString> out;
    for (const RegMapLabel& b : m.Bits) out.push_back(b.Caption);
    return out;
}

// "1" at the listed lblBit indices, "0" elsewhere.
std::vector<QString> OnesAt(std::initializer_list<int> set) {
    std::vector<QString> out(16, QStringLiteral("0"));
    for (int i : set) out[static_cast<size_t>(i)] = QStringLiteral("1");
    return out;
}

}  // namespace

class RegMapTest : public RunFixture {
public:
    void Open(std::initializer_list<int> chips = {0x48}) {
        UseBoardWithChips(chips);
        map.Form_Load();
        board.ClearLog();
    }
    void ReadAt(const QString& address) {
        map.AddrPtrText = address;
        map.cmdRead_Click();
    }
    RegMapLogic map;
};

TEST(RegMapDecoding, RegisterKinds) {
    for (int r = 0; r < 256; ++r) {
        EXPECT_EQ(IsMultiByteRegister(r), r >= 0x12 && r <= 0x1A) << r;
        const bool sixteen = r == 0x12 || r == 0x13 || r == 0x14 || r == 0x15 || r == 0x19;
        EXPECT_EQ(Is16BitRegister(r), sixteen) << r;
    }
}

TEST(RegMapDecoding, TwelveBitRoundsHalfToEven) {
    EXPECT_EQ(TwelveBitValue(0xAB, 0xC8), 2748);  // 2748.5
    EXPECT_EQ(TwelveBitValue(0xAB, 0xD8), 2750);  // 2749.5
    EXPECT_EQ(TwelveBitValue(0xAB, 0xC9), 2749);  // 2748.5625
    EXPECT_EQ(TwelveBitValue(0, 0x07), 0);        // 0.4375
    EXPECT_EQ(TwelveBitValue(0xFF, 0xF0), 4095);
}

TEST(RegMapDecoding, TypedBytes) {
    const struct {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"3D", 0x3D},   {"3Dh", 0x3D},  {"3dh", 0x3D},  {"", 0},         {"zz", 0},
        {"FF", 0xFF},   {"0FF", 0xFF},  {"100", {}},    {"1FF", {}},     {"FFFFFFFF", {}},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", {}},       {"-5", 0},       {"7 F", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(TypedByte(QString::fromLatin1(c.text)), c.value) << c.text;
    EXPECT_EQ(RegisterDescription(QStringLiteral("3Dh - Manufacturers ID")), "Manufacturers ID");
    EXPECT_EQ(RegisterDescription(QStringLiteral("13h - CS1*VS1/PWM Value")), "CS1*VS1/PWM Value");
}

TEST_F(RegMapTest, TreeListsEveryRegisterButTheReserved) {
    Open();
    ASSERT_EQ(map.Nodes.size(), 127u);
    EXPECT_EQ(map.Nodes.front().Text, "00h - Fault 1");
    EXPECT_EQ(map.Nodes.front().Key, "00h - Fault 1,0");
    EXPECT_EQ(map.Nodes.back().Key, "83h - Reg 19,83");
    int previous = -1;
    for (const RegMapNode& n : map.Nodes) {
        const int address = n.Text.left(2).toInt(nullptr, 16);
        EXPECT_GT(address, previous);
        EXPECT_FALSE(IsReservedRegister(address)) << n.Text.toStdString();
        EXPECT_FALSE(n.Text.contains(QLatin1String("Reserved")));
        previous = address;
    }
    const auto id = std::find_if(map.Nodes.begin(), map.Nodes.end(),
                                 [](const RegMapNode& n) { return n.Text == "3Dh - Manufacturers ID"; });
    ASSERT_NE(id, map.Nodes.end());
    EXPECT_EQ(id->Key, "3Dh - Manufacturers ID,3D");
    EXPECT_TRUE(board.AccessTrace().empty());  // loading reads nothing
}

TEST_F(RegMapTest, LoadListsDevicesAndFlagsTheWindowOpen) {
    Open({0x48, 0x4A});
    EXPECT_EQ(map.DeviceItems, (QStringList{"48h", "4Ah"}));
    EXPECT_EQ(map.DeviceIndex, 0);
    EXPECT_TRUE(Shared().RegMapOpen);
    EXPECT_EQ(Shared().RegTable.size(), 132u);
    map.Form_Unload();
    EXPECT_FALSE(Shared().RegMapOpen);
}

TEST_F(RegMapTest, ReadsTheIdentityRegister) {
    Open();
    EXPECT_EQ(map.Label9, "Current Value (Hex)");
    ReadAt(QStringLiteral("3D"));
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 3D"}));
    EXPECT_EQ(map.ReadText, "41");
    EXPECT_EQ(map.HexVal, "41h");
    EXPECT_EQ(map.DecVal, "65");
    EXPECT_EQ(map.Label9, "Current value (Hex)");
    EXPECT_EQ(map.Label10, "Current value (Dec)");
    EXPECT_EQ(Captions(map), OnesAt({0, 6}));
    for (size_t i = 0; i < 16; ++i) EXPECT_EQ(map.Bits[i].Visible, i < 8) << i;
    // One row, numbered 7 to 0 from left to right.
    EXPECT_EQ(map.Bits[7].Left, 510);
    EXPECT_EQ(map.Bits[0].Left, 3870);
    EXPECT_EQ(map.Bits[0].Top, 600);
    EXPECT_EQ(map.Info[0].Caption, "7");
    EXPECT_EQ(map.Info[7].Caption, "0");
    EXPECT_EQ(map.Info[0].Top, 960);
}

TEST_F(RegMapTest, SixteenBitNodeReadsTwiceAndShowsTwoRows) {
    Open();
    board.ScriptReads(0x48, 0x13, {0x12, 0x34});
    map.TreeView1_NodeClick(QStringLiteral("13h - CS1 Value,13"));
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 13", "R 48 13"}));
    EXPECT_EQ(map.AddrPtrText, "13h");
    EXPECT_EQ(map.CurrentAddr, "13h");
    EXPECT_EQ(map.RegDescription, "CS1 Value");
    EXPECT_EQ(map.ReadText, "");
    EXPECT_EQ(map.HexVal, "1234h");
    EXPECT_EQ(map.DecVal, "4660");
    EXPECT_EQ(map.Label9, "Current 16-bit value (Hex)");
    EXPECT_EQ(map.Label10, "Current 16-bit value (Dec)");
    // Upper row: bits 15..8 (0x12); lower row: bits 7..0 (0x34).
    EXPECT_EQ(Captions(map), OnesAt({1, 4, 8 + 2, 8 + 4, 8 + 5}));
    for (const RegMapLabel& b : map.Bits) {
        EXPECT_TRUE(b.Visible);
        EXPECT_EQ(b.Color, kRegMapBlue);
    }
    EXPECT_EQ(map.Bits[7].Top, 240);
    EXPECT_EQ(map.Bits[15].Top, 960);
    EXPECT_EQ(map.Bits[15].Left, 510);
    EXPECT_EQ(map.Info[0].Caption, "15");
    EXPECT_EQ(map.Info[8].Caption, "7");
    EXPECT_EQ(map.Info[15].Caption, "0");
}

TEST_F(RegMapTest, TwelveBitRegisterRoundsAndFillsTheUpperBits) {
    Open();
    board.ScriptReads(0x48, 0x16, {0xAB, 0xC8});
    ReadAt(QStringLiteral("16"));
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 16", "R 48 16"}));
    EXPECT_EQ(map.HexVal, "ABCh");
    EXPECT_EQ(map.DecVal, "2748");
    EXPECT_EQ(map.Label9, "Current 12-bit value (Hex)");
    EXPECT_EQ(map.Label10, "Current 12-bit value (Dec)");
    // 2748 x 16 = 0xABC0: 0xAB in the upper row, 0xC in the left half of the lower row.
    EXPECT_EQ(Captions(map), OnesAt({0, 1, 3, 5, 7, 14, 15}));
    for (size_t i = 8; i <= 11; ++i) EXPECT_EQ(map.Bits[i].Color, kRegMapGrey) << i;
    EXPECT_EQ(map.Bits[12].Color, kRegMapBlue);
}

TEST_F(RegMapTest, BitClickWritesAtOnceAndReadsBack) {
    Open();
    board.Regs(0x48)[0x41] = 0x41;
    ReadAt(QStringLiteral("41h"));
    board.ClearLog();
    map.lblBit_Click(3);
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 48 41 49", "R 48 41"}));
    EXPECT_EQ(map.WriteText, "49");
    EXPECT_EQ(map.HexVal, "49h");
    EXPECT_EQ(Captions(map), OnesAt({0, 3, 6}));
    board.ClearLog();
    map.lblBit_Click(0);  // and back down
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 48 41 48", "R 48 41"}));
}

TEST_F(RegMapTest, BitClicksThatWriteNothing) {
    const struct {
        const char* name;
        std::function<void(RegMapTest&)> arrange;
        int index;
    } cases[] = {
        {"lower-row bit of a single byte", [](RegMapTest& t) { t.ReadAt(QStringLiteral("41")); }, 8},
        {"index past the display", [](RegMapTest& t) { t.ReadAt(QStringLiteral("41")); }, 16},
        {"upper-row bit of a 16-bit register", [](RegMapTest& t) { t.ReadAt(QStringLiteral("13")); }, 3},
        {"lower-row bit of a 12-bit register", [](RegMapTest& t) { t.ReadAt(QStringLiteral("16")); }, 12},
        {"nothing read yet", [](RegMapTest& t) { t.map.AddrPtrText = QStringLiteral("41"); }, 3},
        {"address typed after the read",
         [](RegMapTest& t) {
             t.ReadAt(QStringLiteral("3D"));
             t.map.AddrPtrText = QStringLiteral("41");
         },
         3},
        {"multi-byte read, then a single-byte address typed",
         [](RegMapTest& t) {
             t.ReadAt(QStringLiteral("13"));
             t.map.AddrPtrText = QStringLiteral("41");
         },
         3},
        {"other device chosen after the read",
         [](RegMapTest& t) {
             t.ReadAt(QStringLiteral("41"));
             t.map.DeviceIndex = 1;
         },
         3},
        {"address out of range", [](RegMapTest& t) { t.map.AddrPtrText = QStringLiteral("141"); }, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRunState();
        map = RegMapLogic{};
        Open({0x48, 0x4A});
        board.Regs(0x48)[0x41] = 0x41;
        board.Regs(0x4A)[0x41] = 0x0F;
        c.arrange(*this);
        const auto before = Captions(map);
        board.ClearLog();
        map.lblBit_Click(c.index);
        EXPECT_TRUE(board.AccessTrace().empty());
        EXPECT_EQ(Captions(map), before);
        EXPECT_TRUE(prompts.Shown.empty());
    }
}

TEST_F(RegMapTest, WriteThenReadBack) {
    Open({0x48, 0x4A});
    map.DeviceIndex = 1;
    map.AddrPtrText = QStringLiteral("30");
    map.WriteText = QStringLiteral("A5h");
    map.cmdWrite_Click();
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 4A 30 A5", "R 4A 30"}));
    EXPECT_EQ(map.HexVal, "A5h");
    EXPECT_EQ(board.Regs(0x48)[0x30], 0);
    board.ClearLog();
    map.WriteText.clear();  // empty text writes 0
    map.cmdWrite_Click();
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 4A 30 00", "R 4A 30"}));
}

TEST_F(RegMapTest, EmptyAddressReadsRegisterZero) {
    Open();
    board.Regs(0x48)[0] = 5;
    map.cmdRead_Click();
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 00"}));
    EXPECT_EQ(map.HexVal, "5h");
}

TEST_F(RegMapTest, ReservedRegisterReadAndWrittenByTypedAddress) {
    Open();
    map.AddrPtrText = QStringLiteral("1C");
    map.WriteText = QStringLiteral("3");
    map.cmdWrite_Click();
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 48 1C 03", "R 48 1C"}));
}

TEST_F(RegMapTest, OutOfRangeTextNeverReachesTheChipAndEachWriteSaysWhy) {
    const QString address = RegMapLogic::AddressRangeMessage(), data = RegMapLogic::DataRangeMessage();
    const struct {
        const char* address;
        const char* data;
        QString box;
    } cases[] = {
        {"100", "5", address}, {"13D", "5", address}, {"FFFFFFFFFFFF", "5", address},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "5", address},
        {"30", "100", data}, {"30", "1A5", data}, {"30", "FFFFFFFFFFFFFFFFFFFFFFFF", data},
        {"1FF", "1FF", RegMapLogic::AddressAndDataRangeMessage()},
    };
    Open();
    ReadAt(QStringLiteral("3D"));
    const RegMapLogic shown = map;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address + std::string(" / ") + c.data);
        board.ClearLog();
        prompts.Shown.clear();
        map.AddrPtrText = QString::fromLatin1(c.address);
        map.WriteText = QString::fromLatin1(c.data);
        map.cmdWrite_Click();
        ASSERT_EQ(prompts.Shown.size(), 1u);  // one box for the one click
        EXPECT_EQ(prompts.Shown[0].text, c.box);
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(prompts.Shown[0].buttons, MsgButtons::OK);
        // The read the timer makes stays silent.
        if (!TypedByte(map.AddrPtrText)) map.cmdRead_Click();
        EXPECT_EQ(prompts.Shown.size(), 1u);
        EXPECT_EQ(board.AccessTrace(), Trace{});
        EXPECT_EQ(map.HexVal, shown.HexVal);
        EXPECT_EQ(map.RegDescription, shown.RegDescription);
        EXPECT_EQ(Captions(map), Captions(shown));
    }
    EXPECT_EQ(board.Regs(0x48)[0x30], 0);
    EXPECT_EQ(board.Regs(0x48)[0x3D], 0x41);
}

TEST_F(RegMapTest, TheReadButtonSaysWhyAnAddressIsNotRead) {
    Open();
    map.AddrPtrText = QStringLiteral("1FF");
    map.cmdRead_ButtonClick();
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, RegMapLogic::AddressRangeMessage());
    EXPECT_TRUE(board.AccessTrace().empty());
    map.AddrPtrText = QStringLiteral("3D");
    map.cmdRead_ButtonClick();
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 3D"}));
    EXPECT_EQ(prompts.Shown.size(), 1u);
}

// Whatever brought the value on screen (tree, typed address, write, timer), the details beside it
// name its register.
TEST_F(RegMapTest, DetailsNameTheRegisterWhoseValueIsShown) {
    Open();
    map.TreeView1_NodeClick(QStringLiteral("16h - VS2 Voltage Value,16"));
    EXPECT_EQ(map.RegDescription, "VS2 Voltage Value");
    const struct {
        const char* typed;
        const char* name;
        const char* address;
    } cases[] = {
        {"3D", "Manufacturers ID", "3Dh"}, {"1c", "Reserved", "1Ch"},  {"5", "Latched Fault 2", "5h"},
        {"83h", "Reg 19", "83h"},          {"84", "", "84h"},           {"FF", "", "FFh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ReadAt(QString::fromLatin1(c.typed));
        EXPECT_EQ(map.RegDescription, QString::fromLatin1(c.name));
        EXPECT_EQ(map.CurrentAddr, QString::fromLatin1(c.address));
    }
    map.AddrPtrText = QStringLiteral("41");
    map.WriteText = QStringLiteral("7");
    map.cmdWrite_Click();
    EXPECT_EQ(map.CurrentAddr, "41h");
    EXPECT_EQ(map.RegDescription, RegisterDescription(Shared().RegTable[0x41].Name));
    // An address that is not read leaves the details with the value they describe.
    map.AddrPtrText = QStringLiteral("13D");
    map.cmdRead_Click();
    EXPECT_EQ(map.CurrentAddr, "41h");
    EXPECT_EQ(map.HexVal, "7h");
}

TEST_F(RegMapTest, SimulationModeLeavesTheFileAloneOnBadText) {
    EnterSimulation();
    map.Form_Load();
    EXPECT_EQ(map.DeviceItems, (QStringList{"48h"}));
    const auto before = Shared().SimRegs;
    map.AddrPtrText = QStringLiteral("3D");
    map.WriteText = QStringLiteral("1FF");  // would be 0xFF if masked or clamped
    map.cmdWrite_Click();
    map.AddrPtrText = QStringLiteral("13D");  // would be 0x3D if masked
    map.WriteText = QStringLiteral("7");
    map.cmdWrite_Click();
    EXPECT_EQ(Shared().SimRegs, before);
    EXPECT_TRUE(board.Log.empty());
    map.AddrPtrText = QStringLiteral("3D");
    map.cmdWrite_Click();
    EXPECT_EQ(Shared().SimRegs[0x3D], 7);
    EXPECT_EQ(map.HexVal, "7h");
}

TEST_F(RegMapTest, NodeClicksThatDoNothing) {
    Open();
    for (const char* key : {"Register Map", "no comma", "FFh - Nothing,FF", "1C0h - Too far,1C0"}) {
        map.TreeView1_NodeClick(QString::fromLatin1(key));
        EXPECT_EQ(map.AddrPtrText, "") << key;
        EXPECT_EQ(map.RegDescription, "Description") << key;
    }
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(RegMapTest, NodeClickOnAMultiByteAfterASingleByte) {
    Open();
    map.TreeView1_NodeClick(QStringLiteral("3Dh - Manufacturers ID,3D"));
    EXPECT_EQ(map.AddrPtrText, "3Dh");
    map.TreeView1_NodeClick(QStringLiteral("05h - Latched Fault 2,5"));
    EXPECT_EQ(map.AddrPtrText, "5h");
    EXPECT_EQ(map.CurrentAddr, "5h");
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 3D", "R 48 05"}));
}

TEST_F(RegMapTest, DisablePollingOutlivesTheWindow) {
    Open();
    map.chkDisablePolling_Click(true);
    EXPECT_TRUE(Shared().PollingDisabled);
    map.Form_Unload();
    EXPECT_TRUE(Shared().PollingDisabled);
    RegMapLogic again;
    again.Form_Load();
    EXPECT_TRUE(again.DisablePolling);
    EXPECT_TRUE(Shared().PollingDisabled);
    again.chkDisablePolling_Click(false);
    EXPECT_FALSE(Shared().PollingDisabled);
}

namespace {
// The master timer's targets with only the register map attached.
struct RegMapTargets : MasterTimerTargets {
    RegMapLogic& map;
    int polls = 0;
    explicit RegMapTargets(RegMapLogic& m) : map(m) {}
    void PollReadings() override { ++polls; }
    void DeviceDisplayValues(int) override {}
    void VoltageSenseDisplayValues(int) override {}
    void CurrentSenseDisplayValues(int) override {}
    void LimitsRefresh(int) override {}
    bool RegMapContinuousRead() override { return map.ContRead; }
    void RegMapRead() override { map.cmdRead_Click(); }
};
}  // namespace

TEST_F(RegMapTest, ContinuousReadEveryHalfSecondEvenWithPollingDisabled) {
    Open();
    Shared().DeviceFormOpen[0] = true;
    map.chkDisablePolling_Click(true);
    map.AddrPtrText = QStringLiteral("3D");
    MasterTimer timer;
    RegMapTargets targets(map);
    timer.Tick(targets);
    EXPECT_TRUE(board.AccessTrace().empty());  // box not ticked
    map.ContRead = true;
    timer.Tick(targets);
    timer.Tick(targets);
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 3D"}));
    clock.Now += 0.6;
    timer.Tick(targets);
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 3D", "R 48 3D"}));
    EXPECT_EQ(targets.polls, 0);
    // Bad text in the box: the timer's reads do nothing and show nothing.
    map.AddrPtrText = QStringLiteral("1FF");
    clock.Now += 0.6;
    timer.Tick(targets);
    EXPECT_EQ(board.AccessTrace().size(), 2u);
    EXPECT_TRUE(prompts.Shown.empty());
}

TEST_F(RegMapTest, FailedReadEndsTheProgram) {
    Open();
    board.FailRequestNumber = static_cast<int>(board.Log.size()) + 1;
    map.AddrPtrText = QStringLiteral("3D");
    EXPECT_THROW(map.cmdRead_Click(), ProgramEnded);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, "Communications Interrupted - Check USB connections");
}
