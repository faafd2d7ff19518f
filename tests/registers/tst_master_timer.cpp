#include "fixture.h"

#include "registers/master_timer.h"

#include <QStringList>

namespace {

class RecordingTargets : public MasterTimerTargets {
public:
    QStringList calls;
    bool contRead = false;
    void PollReadings() override { calls << "Poll"; }
    void DeviceDisplayValues(int i) override { calls << QStringLiteral("Device%1").arg(i); }
    void VoltageSenseDisplayValues(int i) override { calls << QStringLiteral("VS%1").arg(i); }
    void CurrentSenseDisplayValues(int i) override { calls << QStringLiteral("CS%1").arg(i); }
    void LimitsRefresh(int i) override { calls << QStringLiteral("Limits%1").arg(i); }
    bool RegMapContinuousRead() override { return contRead; }
    void RegMapRead() override { calls << "RegMap"; }
};

class MasterTimerTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        clock.AutoStep = 0;
        clock.Now = 36000;
    }
    // Ticks every 50 ms for `seconds` and returns the calls.
    QStringList Run(double seconds) {
        targets.calls.clear();
        for (int i = 0; i < static_cast<int>(seconds / 0.05 + 0.5); ++i) {
            clock.Now += 0.05;
            timer.Tick(targets);
        }
        return targets.calls;
    }
    RecordingTargets targets;
    MasterTimer timer;
};

}  // namespace

TEST_F(MasterTimerTest, EveryPageOpenOrderAndPeriods) {
    auto& s = Shared();
    s.DeviceFormOpen = {true, true};
    s.VoltageSenseFormOpen = {true, true};
    s.CurrentSenseFormOpen = {true, true};
    s.LimitsFormOpen = {true, true};
    s.RegMapOpen = true;
    targets.contRead = true;
    clock.Now += 0.05;
    timer.Tick(targets);  // the first tick finds every clock due
    EXPECT_EQ(targets.calls, QStringList({"Poll", "Device0", "Device1", "VS0", "VS1", "CS0", "CS1", "Limits0",
                                          "Limits1", "RegMap"}));
    const QStringList second = Run(1.0);
    EXPECT_EQ(second.count("Poll"), 20);  // every tick
    // 10 Hz and 2 Hz on 50 ms ticks, each needing strictly more than its period.
    EXPECT_NEAR(second.count("Limits0"), 7, 1);
    EXPECT_NEAR(second.count("Device1"), 2, 1);
    EXPECT_EQ(second.count("Device1"), second.count("RegMap"));
}

TEST_F(MasterTimerTest, OnlyAVoltageSensePageOpenRefreshesWithoutPolling) {
    Shared().VoltageSenseFormOpen[0] = true;
    const QStringList calls = Run(2.0);
    EXPECT_EQ(calls.count("Poll"), 0);
    EXPECT_GT(calls.count("VS0"), 0);
}

TEST_F(MasterTimerTest, DisablePollingStopsAllButTheRegisterMap) {
    auto& s = Shared();
    s.DeviceFormOpen[0] = true;
    s.LimitsFormOpen[1] = true;
    s.RegMapOpen = true;
    s.PollingDisabled = true;
    targets.contRead = true;
    const QStringList calls = Run(2.0);
    EXPECT_EQ(calls.count("RegMap"), calls.size());
    EXPECT_EQ(calls.count("RegMap"), 4);
}

TEST_F(MasterTimerTest, ClosedPagesKeepTheirClocks) {
    Shared().DeviceFormOpen[0] = true;
    Run(0.1);
    const double t = timer.LastPollTime(MasterTimer::Device0);
    Shared().DeviceFormOpen[0] = false;
    Run(1.0);
    EXPECT_EQ(timer.LastPollTime(MasterTimer::Device0), t);
    EXPECT_EQ(timer.LastPollTime(MasterTimer::Limits0), 0);
}

TEST_F(MasterTimerTest, MidnightMakesEveryEnabledRefreshDue) {
    auto& s = Shared();
    s.DeviceFormOpen[0] = true;
    s.LimitsFormOpen[0] = true;
    s.CurrentSenseFormOpen[1] = true;
    clock.Now = 86399.9f;
    timer.Tick(targets);
    targets.calls.clear();
    clock.Now = 0.02;
    timer.Tick(targets);
    EXPECT_EQ(targets.calls, QStringList({"Poll", "Device0", "CS1", "Limits0"}));
}

TEST_F(MasterTimerTest, RegisterMapNeedsItsBoxAndItsWindow) {
    Shared().RegMapOpen = true;
    EXPECT_EQ(Run(1.0).count("RegMap"), 0);
    Shared().RegMapOpen = false;
    targets.contRead = true;
    EXPECT_EQ(Run(1.0).count("RegMap"), 0);
}
