#include "fixture.h"

#include "link/access_log.h"
#include "link/register_access.h"

#include <QStringList>

namespace {

// Records what the register access hands to the monitor.
class RecordingMonitor : public AccessMonitor {
public:
    bool reads = true, writes = true;
    QStringList lines;
    bool ShowReads() const override { return reads; }
    bool ShowWrites() const override { return writes; }
    void AppendRead(int32_t d, int32_t r, int32_t v) override { lines << QStringLiteral("Read %1 %2 %3").arg(d).arg(r).arg(v); }
    void AppendWrite(int32_t d, int32_t r, int32_t v) override { lines << QStringLiteral("Write %1 %2 %3").arg(d).arg(r).arg(v); }
};

class RegisterAccess : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        SetAccessMonitor(&monitor);
        Shared().SpyOpen = true;
    }
    void TearDown() override {
        SetAccessMonitor(nullptr);
        RunFixture::TearDown();
    }
    RecordingMonitor monitor;
};

}  // namespace

TEST_F(RegisterAccess, RealModeSendsExactlyOneRequestPerAccess) {
    UseBoardWithChips({0x48});
    board.Regs(0x48)[0x3D] = 0x41;
    EXPECT_EQ(ReadRegister(0x48, 0x3D), 0x41);
    WriteRegister(0x48, 0x68, 0xA7);
    ASSERT_EQ(board.Log.size(), 2u);
    EXPECT_EQ(board.Log[0], (BoardRequest{0xDE, 0x48, 0x3D, 1, 1}));
    EXPECT_EQ(board.Log[1], (BoardRequest{0xDE, 0x48, 0xA7 * 256 + 0x68, 0, 0}));
    EXPECT_EQ(monitor.lines, QStringList({"Read 72 61 65", "Write 72 104 167"}));
}

TEST_F(RegisterAccess, DataAbove255IsSentAs255AndLeftInTheVariable) {
    UseBoardWithChips({0x48});
    int32_t data = 300;
    WriteRegisterVar(0x48, 0x10, data);
    EXPECT_EQ(data, 255);
    int32_t same = 255;
    WriteRegisterVar(0x48, 0x10, same);
    EXPECT_EQ(same, 255);
    ASSERT_EQ(board.Log.size(), 2u);
    EXPECT_EQ(board.Log[0].index, 255 * 256 + 0x10);
    EXPECT_EQ(monitor.lines.front(), "Write 72 16 255");
}

TEST_F(RegisterAccess, OutOfRangeAddressesAndNegativeDataAreRefusedBeforeAnything) {
    UseBoardWithChips({0x48});
    EXPECT_EQ(ReadRegister(0x48, 256), 0);
    EXPECT_EQ(ReadRegister(0x48, -1), 0);
    WriteRegister(0x48, 300, 1);
    WriteRegister(0x48, 0x10, -5);
    EXPECT_TRUE(board.Log.empty());
    EXPECT_TRUE(monitor.lines.isEmpty());
    Shared().SimulationMode = true;
    WriteRegister(0x48, 1000, 7);
    EXPECT_EQ(ReadRegister(0x48, 1000), 0);
    EXPECT_TRUE(monitor.lines.isEmpty());
}

TEST_F(RegisterAccess, SimulationUsesOneFileForEveryAddressAndSendsNothing) {
    EnterSimulation();
    EXPECT_EQ(ReadRegister(0x10, 0x3D), 0x41);
    EXPECT_EQ(ReadRegister(0x48, 0x3D), 0x41);
    EXPECT_EQ(ReadRegister(0x48, 0x50), 0);
    EXPECT_EQ(ReadRegister(0x48, 0x00), 0x85);
    EXPECT_EQ(ReadRegister(0x48, 0x0E), 0xE3);
    WriteRegister(0x22, 0x50, 0x5A);
    EXPECT_EQ(ReadRegister(0x48, 0x50), 0x5A);
    EXPECT_TRUE(board.Log.empty());
    EXPECT_EQ(monitor.lines.size(), 7);  // the monitor still logs under the same rules
}

TEST_F(RegisterAccess, SimulatedPresets) {
    EnterSimulation();
    const std::pair<int, int> presets[] = {{0, 0x85},    {1, 0x71},    {2, 0xFF},    {3, 0x22},
                                           {8, 0x45},    {9, 0x21},    {0x0A, 0xFF}, {0x0B, 0xCA},
                                           {0x0C, 0x19}, {0x0D, 0x82}, {0x0E, 0xE3}, {0x3D, 0x41}};
    int nonZero = 0;
    for (int r = 0; r < 256; ++r) nonZero += Shared().SimRegs[static_cast<size_t>(r)] != 0;
    EXPECT_EQ(nonZero, 12);
    for (auto [reg, value] : presets) EXPECT_EQ(Shared().SimRegs[static_cast<size_t>(reg)], value) << reg;
}

TEST_F(RegisterAccess, MonitorRulesFollowOpenPausedAndBoxes) {
    EnterSimulation();
    Shared().SpyPaused = true;
    ReadRegister(0x48, 1);
    Shared().SpyPaused = false;
    monitor.reads = false;
    ReadRegister(0x48, 1);
    monitor.writes = false;
    WriteRegister(0x48, 1, 1);
    Shared().SpyOpen = false;
    monitor.reads = monitor.writes = true;
    ReadRegister(0x48, 1);
    EXPECT_TRUE(monitor.lines.isEmpty());
}

TEST_F(RegisterAccess, AFailedRequestIsFatalOnTheFirstAndTheThousandthAccess) {
    for (int failing : {1, 1000}) {
        ResetRunState();
        board = EmulatedBoard{};
        prompts.Shown.clear();
        unloadAllCalls = stopTimerCalls = 0;
        UseBoardWithChips({0x48});
        board.FailRequestNumber = failing;
        int done = 0;
        try {
            for (; done < 2000; ++done) (done % 2) ? WriteRegister(0x48, 5, 1) : (void)ReadRegister(0x48, 5);
            FAIL() << "the program did not end";
        } catch (const ProgramEnded& e) {
            EXPECT_EQ(e.code, 1);
        }
        EXPECT_EQ(done, failing - 1);
        ASSERT_EQ(prompts.Shown.size(), 1u);
        EXPECT_EQ(prompts.Shown[0].text, "Communications Interrupted - Check USB connections");
        EXPECT_EQ(prompts.Shown[0].title, "ZVC7140 Evaluation Software");
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(prompts.Shown[0].buttons, MsgButtons::OK);
        EXPECT_EQ(stopTimerCalls, 1);  // the timer stops before the box
        EXPECT_EQ(unloadAllCalls, 1);
    }
}

TEST_F(RegisterAccess, FailuresBehindTheFatalBoxShowNoSecondBox) {
    UseBoardWithChips({0x48});
    // The box's own event loop lets another failing access run behind it.
    class NestedPrompts : public Prompts {
    public:
        int boxes = 0;
        MsgResult MsgBox(const QString&, MsgButtons, MsgIcon, const QString&) override {
            ++boxes;
            if (boxes == 1) {
                try {
                    ReadRegister(0x48, 1);
                } catch (const ProgramEnded&) {
                }
            }
            return MsgResult::OK;
        }
    } nested;
    Plat().Dialogs = &nested;
    struct FailAll : BoardApi {
        int16_t LoadFirmWare(uint8_t*) override { return 0; }
        int16_t VendorIORequest(int16_t, int32_t, int32_t, int16_t, int16_t, uint8_t*) override { return 1; }
    } failing;
    Plat().Board = &failing;
    EXPECT_THROW(ReadRegister(0x48, 0), ProgramEnded);
    EXPECT_EQ(nested.boxes, 1);
}

TEST_F(RegisterAccess, AFailureDuringTheUnloadAddsNoSecondBox) {
    UseBoardWithChips({0x48});
    // A window whose unload handling reads the chip, while the run ends.
    Plat().UnloadAllWindows = [this] {
        ++unloadAllCalls;
        if (unloadAllCalls == 1) {
            EXPECT_THROW(ReadRegister(0x48, 2), ProgramEnded);
        }
    };
    struct FailAll : BoardApi {
        int16_t LoadFirmWare(uint8_t*) override { return 0; }
        int16_t VendorIORequest(int16_t, int32_t, int32_t, int16_t, int16_t, uint8_t*) override { return 1; }
    } failing;
    Plat().Board = &failing;
    EXPECT_THROW(ReadRegister(0x48, 1), ProgramEnded);
    EXPECT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(unloadAllCalls, 2);
}

TEST_F(RegisterAccess, CommsErrorTable) {
    const char* expected[] = {"Firmware failed to download - Check USB connections",
                              "SMBus enable error  - Check USB connections",
                              "Initial Connection Failed - Check USB connections",
                              "Communications Interrupted - Check USB connections",
                              "Device not found - Check USB connections"};
    for (int code = 0; code < 5; ++code) EXPECT_STREQ(CommsErrorText(code), expected[code]);
    EXPECT_EQ(CommsErrorText(5), nullptr);
    EXPECT_THROW(ReportCommsError(7), ProgramEnded);
    EXPECT_TRUE(prompts.Shown.empty());  // other codes show nothing, yet the program ends
}

TEST_F(RegisterAccess, DelayWaitsOnTheClockAndEndsAtMidnight) {
    clock.Now = 1000;
    clock.AutoStep = 0.01;
    Delay(200);
    EXPECT_GE(clock.Now, 1000.2);
    EXPECT_LT(clock.Now, 1000.3);
    clock.Now = 86399.95;
    Delay(1000);  // would need 86400.95: the wrap past midnight ends the wait
    EXPECT_LT(clock.Now, 1.0);
}
