#pragma once
// The master timer's schedule: the readings poll on every tick and nine refresh clocks.
#include <array>

// What one tick may call; the main window forwards these to its open pages.
class MasterTimerTargets {
public:
    virtual ~MasterTimerTargets() = default;
    virtual void PollReadings() = 0;
    virtual void DeviceDisplayValues(int i) = 0;
    virtual void VoltageSenseDisplayValues(int i) = 0;
    virtual void CurrentSenseDisplayValues(int i) = 0;
    virtual void LimitsRefresh(int i) = 0;  // PlotData, DisplayData, UpdateFlags
    virtual bool RegMapContinuousRead() = 0; // the register map's continuous-read box is ticked
    virtual void RegMapRead() = 0;
};

class MasterTimer {
public:
    enum Clock { Limits0, Limits1, Device0, Device1, VoltageSense0, VoltageSense1, CurrentSense0, CurrentSense1, RegMap };
    void Tick(MasterTimerTargets& targets);
    double LastPollTime(Clock c) const { return LastPollTime_[c]; }

private:
    // Due when the period has passed, or when the clock went back past midnight.
    bool Due(Clock c, double period);
    std::array<double, 9> LastPollTime_{};
};
