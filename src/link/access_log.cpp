#include "link/access_log.h"

#include "core/run_state.h"

namespace {
AccessMonitor*& Monitor() {
    static AccessMonitor* monitor = nullptr;
    return monitor;
}
}  // namespace

void SetAccessMonitor(AccessMonitor* monitor) { Monitor() = monitor; }
AccessMonitor* CurrentAccessMonitor() { return Monitor(); }

bool IsPolledReadingRegister(int32_t RegAddr) {
    // 0x12 to 0x20 except 0x13 and 0x18.
    return RegAddr >= 0x12 && RegAddr <= 0x20 && RegAddr != 0x13 && RegAddr != 0x18;
}

bool ShouldLogRead(int32_t RegAddr) { return !(Shared().IgnorePolledReads && IsPolledReadingRegister(RegAddr)); }
