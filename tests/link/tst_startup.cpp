#include "fixture.h"

#include "link/startup.h"

#include <QStringList>

namespace {

class RecordingSplash : public SplashView {
public:
    QStringList statuses;
    std::vector<int> widths;
    bool shown = false;
    int ProgressDesignWidth() const override { return 5415; }
    void SetProgressWidth(int twips) override { widths.push_back(twips); }
    void SetStatus(const QString& text) override { statuses << text; }
    void ShowProgress() override { shown = true; }
};

class Startup : public RunFixture {
protected:
    // Runs the start-up; true when it came back, false when the program ended.
    bool Start() {
        try {
            RunBoardStartup(splash);
            return true;
        } catch (const ProgramEnded& e) {
            endCode = e.code;
            return false;
        }
    }
    int ConnectRequests() const {
        return static_cast<int>(std::count_if(board.Log.begin(), board.Log.end(), [](const BoardRequest& r) {
            return r == BoardRequest{0xDD, 0x30, 0x33, 0, 0};
        }));
    }
    int SearchReads() const {
        return static_cast<int>(std::count_if(board.Log.begin(), board.Log.end(),
                                              [](const BoardRequest& r) { return r.request == 0xDE; }));
    }
    RecordingSplash splash;
    int endCode = -1;
};

const QString kNotFound = QStringLiteral("The ZVC7140 evaluation board has not been found.\r\nContinue in simulation mode?");
const QString kNoChip = QStringLiteral("No ZVC7140 devices found - Continue in simulation mode?");

}  // namespace

TEST_F(Startup, ChipsAt48And4A) {
    board.AddChip(0x48);
    board.AddChip(0x4A);
    ASSERT_TRUE(Start());
    const RunState& s = Shared();
    EXPECT_FALSE(s.SimulationMode);
    EXPECT_EQ(s.DeviceCount, 2);
    EXPECT_EQ(s.DeviceAddress[0], 0x48);
    EXPECT_EQ(s.DeviceAddress[1], 0x4A);
    EXPECT_EQ(s.Devices[0].Address, 0x48);
    EXPECT_EQ(s.Devices[1].Address, 0x4A);
    EXPECT_EQ(s.Devices[1].Name, "ZVC7140");
    EXPECT_TRUE(prompts.Shown.empty());
    EXPECT_EQ(board.FirmwarePaths, std::vector<QString>{QStringLiteral("/opt/zvc/ZVC7140FW.Hex")});

    EXPECT_EQ(splash.statuses, QStringList({"Downloading Firmware...", "Enumerating...", "Connecting...",
                                            "Searching for ZVC7140 on USB...", "Found  2 ZVC7140(s) on the USB port"}));
    EXPECT_TRUE(splash.shown);
    std::vector<int> widths{0, 54 * 33};
    for (int w = 54 * 33; w < 54 * 50;) widths.push_back(w += 27);
    widths.push_back(54 * 76);
    widths.push_back(54 * 100);
    EXPECT_EQ(splash.widths, widths);

    // One connect, then the search: register 0x3D of every address in ascending order.
    ASSERT_EQ(board.Log.size(), 129u);
    EXPECT_EQ(board.Log[0], (BoardRequest{0xDD, 0x30, 0x33, 0, 0}));
    for (int a = 0; a < 128; ++a) EXPECT_EQ(board.Log[static_cast<size_t>(a + 1)], (BoardRequest{0xDE, a, 0x3D, 1, 1}));
}

TEST_F(Startup, ThreeChipsUseTheFirstTwo) {
    for (int a : {0x05, 0x48, 0x4A}) board.AddChip(a);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Shared().DeviceCount, 2);
    EXPECT_EQ(Shared().DeviceAddress[0], 0x05);
    EXPECT_EQ(Shared().DeviceAddress[1], 0x48);
    EXPECT_EQ(SearchReads(), 128);
}

TEST_F(Startup, OneChip) {
    board.AddChip(0x48);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Shared().DeviceCount, 1);
    EXPECT_EQ(Shared().DeviceAddress[1], 0);
    EXPECT_EQ(splash.statuses.back(), "Found  1 ZVC7140(s) on the USB port");
}

TEST_F(Startup, ConnectSucceedingOnTry20GoesOnToTheSearch) {
    board.AddChip(0x48);
    board.ConnectSucceedsOnTry = 20;
    ASSERT_TRUE(Start());
    EXPECT_EQ(ConnectRequests(), 20);
    EXPECT_EQ(SearchReads(), 128);
    EXPECT_EQ(Shared().DeviceCount, 1);
}

TEST_F(Startup, ConnectFailing20TimesEndsTheProgram) {
    board.AddChip(0x48);
    board.ConnectSucceedsOnTry = 0;
    EXPECT_FALSE(Start());
    EXPECT_EQ(ConnectRequests(), 20);
    EXPECT_EQ(SearchReads(), 0);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, "Initial Connection Failed - Check USB connections");
    EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Critical);
}

TEST_F(Startup, BoardAbsent) {
    struct Case {
        const char* name;
        bool noLibrary;
        MsgResult answer;
    } cases[] = {{"negative result, Yes", false, MsgResult::Yes},
                 {"negative result, No", false, MsgResult::No},
                 {"no library, Yes", true, MsgResult::Yes}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRunState();
        board = EmulatedBoard{};
        board.FirmwareResult = -1;
        board.AddChip(0x48);
        Plat().Board = c.noLibrary ? nullptr : &board;
        prompts = ScriptedPrompts{};
        prompts.Answers = {c.answer};
        splash = RecordingSplash{};
        const bool returned = Start();
        ASSERT_GE(prompts.Shown.size(), 1u);
        EXPECT_EQ(prompts.Shown[0].text, kNotFound);
        EXPECT_EQ(prompts.Shown[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::None);
        EXPECT_TRUE(board.Log.empty());  // no connect and no search
        EXPECT_EQ(splash.statuses, QStringList{"Downloading Firmware..."});
        if (c.answer == MsgResult::Yes) {
            EXPECT_TRUE(returned);
            EXPECT_TRUE(Shared().SimulationMode);
            EXPECT_EQ(Shared().DeviceCount, 1);
            EXPECT_EQ(Shared().DeviceAddress[0], 0x48);
            EXPECT_EQ(Shared().Devices[0].Address, 0x48);
            EXPECT_EQ(Shared().SimRegs[0x3D], 0x41);
            EXPECT_EQ(prompts.Shown.size(), 1u);
        } else {
            EXPECT_FALSE(returned);
            ASSERT_EQ(prompts.Shown.size(), 2u);
            EXPECT_EQ(prompts.Shown[1].text, "Firmware failed to download - Check USB connections");
            EXPECT_EQ(prompts.Shown[1].icon, MsgIcon::Critical);
        }
    }
}

TEST_F(Startup, NoChipOffersSimulation) {
    prompts.Answers = {MsgResult::Yes};
    ASSERT_TRUE(Start());
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, kNoChip);
    EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(Shared().SimulationMode);
    EXPECT_EQ(Shared().DeviceCount, 1);
    EXPECT_EQ(Shared().DeviceAddress[0], 0x48);
    EXPECT_EQ(Shared().DeviceAddress[1], 0);
    EXPECT_EQ(splash.statuses.back(), "Found  0 ZVC7140(s) on the USB port");
}

TEST_F(Startup, NoChipDeclinedEndsWithoutFurtherMessage) {
    prompts.Answers = {MsgResult::No};
    EXPECT_FALSE(Start());
    EXPECT_EQ(endCode, 0);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, kNoChip);
    EXPECT_EQ(unloadAllCalls, 1);
}

TEST_F(Startup, AFirmwarePathTooLongForTheBufferCountsAsBoardNotFound) {
    Plat().ProgramFolder = QStringLiteral("/") + QString(600, u'd');
    board.AddChip(0x48);
    prompts.Answers = {MsgResult::Yes};
    ASSERT_TRUE(Start());
    EXPECT_TRUE(board.FirmwarePaths.empty());
    EXPECT_EQ(prompts.Shown.at(0).text, kNotFound);
    EXPECT_TRUE(Shared().SimulationMode);
}

TEST_F(Startup, AFailedReadDuringTheSearchIsFatal) {
    board.AddChip(0x48);
    board.FailRequestNumber = 1 + 50;  // the connect, then the 50th read
    EXPECT_FALSE(Start());
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, "Communications Interrupted - Check USB connections");
}

TEST_F(Startup, RunsOnTheTestClock) {
    board.AddChip(0x48);
    const double before = clock.Now;
    ASSERT_TRUE(Start());
    // About 1.7 s of animation, 0.2 s connect, 1 s and 2 s waits, all on the test clock.
    EXPECT_NEAR(clock.Now - before, 4.9, 0.15);
}
