#include "fixture.h"

#include "link/access_log.h"
#include "link/register_access.h"

#include <set>
#include <vector>

namespace {

class MonitorFilter : public RunFixture {};

// Records what the register access procedures hand over.
class RecordingMonitor : public AccessMonitor {
public:
    bool reads = true, writes = true;
    std::vector<std::vector<int>> lines;  // kind (0 read, 1 write), device, register, data
    bool ShowReads() const override { return reads; }
    bool ShowWrites() const override { return writes; }
    void AppendRead(int32_t d, int32_t r, int32_t v) override { lines.push_back({0, d, r, v}); }
    void AppendWrite(int32_t d, int32_t r, int32_t v) override { lines.push_back({1, d, r, v}); }
};

TEST_F(MonitorFilter, PolledRegistersAreLeftOutOnlyWhileIgnoring) {
    const std::set<int> filtered = {0x12, 0x14, 0x15, 0x16, 0x17, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20};
    for (int reg = -1; reg <= 256; ++reg) EXPECT_TRUE(ShouldLogRead(reg)) << reg;
    Shared().IgnorePolledReads = true;
    for (int reg = -1; reg <= 256; ++reg) EXPECT_EQ(ShouldLogRead(reg), filtered.count(reg) == 0) << reg;
}

TEST_F(MonitorFilter, HandOverFollowsTheFlagsAndTheBoxes) {
    EnterSimulation();
    RecordingMonitor m;
    SetAccessMonitor(&m);
    ReadRegister(0x48, 0x3D);  // monitor closed
    Shared().SpyOpen = true;
    ReadRegister(0x48, 0x3D);
    WriteRegister(0x48, 0x20, 300);
    Shared().IgnorePolledReads = true;
    ReadRegister(0x48, 0x1E);  // a page's own read of a filtered register is not shown either
    ReadRegister(0x48, 0x13);
    WriteRegister(0x48, 0x1E, 1);  // writes are never filtered
    m.reads = false;
    ReadRegister(0x48, 0x13);
    m.writes = false;
    WriteRegister(0x48, 0x13, 1);
    m.reads = m.writes = true;
    Shared().SpyPaused = true;
    ReadRegister(0x48, 0x13);
    WriteRegister(0x48, 0x13, 1);
    SetAccessMonitor(nullptr);
    const std::vector<std::vector<int>> expected = {
        {0, 0x48, 0x3D, 0x41}, {1, 0x48, 0x20, 255}, {0, 0x48, 0x13, 0}, {1, 0x48, 0x1E, 1}};
    EXPECT_EQ(m.lines, expected);
}

TEST_F(MonitorFilter, FailedWriteIsNotLogged) {
    UseBoardWithChips({0x48});
    RecordingMonitor m;
    SetAccessMonitor(&m);
    Shared().SpyOpen = true;
    board.FailRequestNumber = 1;
    EXPECT_THROW(WriteRegister(0x48, 0x68, 0xA7), ProgramEnded);
    SetAccessMonitor(nullptr);
    EXPECT_TRUE(m.lines.empty());
}

}  // namespace
