#include "registers/master_timer.h"

#include "core/run_state.h"
#include "core/system_timer.h"

bool MasterTimer::Due(Clock c, double period) {
    const double now = SystemTimer();
    double& t = LastPollTime_[c];
    if (now > t + period || now < t) {
        t = now;
        return true;
    }
    return false;
}

void MasterTimer::Tick(MasterTimerTargets& targets) {
    const RunState& s = Shared();
    if (!s.PollingDisabled) {
        if (s.DeviceFormOpen[0] || s.DeviceFormOpen[1] || s.LimitsFormOpen[0] || s.LimitsFormOpen[1])
            targets.PollReadings();
        if (s.DeviceFormOpen[0] && Due(Device0, 0.5)) targets.DeviceDisplayValues(0);
        if (s.DeviceFormOpen[1] && Due(Device1, 0.5)) targets.DeviceDisplayValues(1);
        if (s.VoltageSenseFormOpen[0] && Due(VoltageSense0, 0.5)) targets.VoltageSenseDisplayValues(0);
        if (s.VoltageSenseFormOpen[1] && Due(VoltageSense1, 0.5)) targets.VoltageSenseDisplayValues(1);
        if (s.CurrentSenseFormOpen[0] && Due(CurrentSense0, 0.5)) targets.CurrentSenseDisplayValues(0);
        if (s.CurrentSenseFormOpen[1] && Due(CurrentSense1, 0.5)) targets.CurrentSenseDisplayValues(1);
        if (s.LimitsFormOpen[0] && Due(Limits0, 0.1)) targets.LimitsRefresh(0);
        if (s.LimitsFormOpen[1] && Due(Limits1, 0.1)) targets.LimitsRefresh(1);
    }
    if (s.RegMapOpen && targets.RegMapContinuousRead() && Due(RegMap, 0.5)) targets.RegMapRead();
}
