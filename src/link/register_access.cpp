#include "link/register_access.h"

#include "core/run_state.h"
#include "core/system_timer.h"
#include "link/access_log.h"
#include "link/platform.h"

namespace {

bool ValidAccess(int32_t RegAddr) { return RegAddr >= 0 && RegAddr <= 255; }

}  // namespace

int16_t ReadRegister(int32_t DevAddr, int32_t RegAddr) {
    if (!ValidAccess(RegAddr)) return 0;
    RunState& s = Shared();
    int16_t value;
    if (!s.SimulationMode) {
        uint8_t IOBuffer[65] = {};
        const int16_t result = Plat().Board ? Plat().Board->VendorIORequest(0xDE, DevAddr, RegAddr, 1, 1, IOBuffer) : -1;
        if (result != 0) ReportCommsError(3);
        value = IOBuffer[0];
    } else {
        value = s.SimRegs[static_cast<size_t>(RegAddr)];
    }
    AccessMonitor* m = CurrentAccessMonitor();
    if (m && s.SpyOpen && !s.SpyPaused && m->ShowReads() && ShouldLogRead(RegAddr)) m->AppendRead(DevAddr, RegAddr, value);
    return value;
}

void WriteRegisterVar(int32_t DevAddr, int32_t RegAddr, int32_t& Data) {
    if (!ValidAccess(RegAddr) || Data < 0) return;
    if (Data > 255) Data = 255;
    RunState& s = Shared();
    if (!s.SimulationMode) {
        uint8_t buffer[1] = {0};
        const int16_t result =
            Plat().Board ? Plat().Board->VendorIORequest(0xDE, DevAddr, Data * 256 + RegAddr, 0, 0, buffer) : -1;
        if (result != 0) ReportCommsError(3);
    } else {
        s.SimRegs[static_cast<size_t>(RegAddr)] = static_cast<uint8_t>(Data);
    }
    AccessMonitor* m = CurrentAccessMonitor();
    if (m && s.SpyOpen && !s.SpyPaused && m->ShowWrites()) m->AppendWrite(DevAddr, RegAddr, Data);
}

void WriteRegister(int32_t DevAddr, int32_t RegAddr, int32_t Data) { WriteRegisterVar(DevAddr, RegAddr, Data); }

const char* CommsErrorText(int code) {
    switch (code) {
    case 0: return "Firmware failed to download - Check USB connections";
    case 1: return "SMBus enable error  - Check USB connections";
    case 2: return "Initial Connection Failed - Check USB connections";
    case 3: return "Communications Interrupted - Check USB connections";
    case 4: return "Device not found - Check USB connections";
    default: return nullptr;
    }
}

void ReportCommsError(int16_t code) {
    if (Plat().StopMasterTimer) Plat().StopMasterTimer();
    // Failures behind the box, or in the windows' unload handling, add no second box.
    if (!Shared().CommsErrorShown) {
        Shared().CommsErrorShown = true;
        if (const char* text = CommsErrorText(code))
            MsgBox(QString::fromLatin1(text), MsgButtons::OK, MsgIcon::Critical, kAppTitle);
    }
    EndProgram(1);
}

void Delay(float Milliseconds) {
    const float start = SystemTimer();
    const float until = start + Milliseconds / 1000.0f;
    for (;;) {
        const float now = SystemTimer();
        if (now > until || now < start) return;
    }
}

void InitSimulatedRegisters() {
    auto& r = Shared().SimRegs;
    r[0x00] = 0x85;
    r[0x01] = 0x71;
    r[0x02] = 0xFF;
    r[0x03] = 0x22;
    r[0x08] = 0x45;
    r[0x09] = 0x21;
    r[0x0A] = 0xFF;
    r[0x0B] = 0xCA;
    r[0x0C] = 0x19;
    r[0x0D] = 0x82;
    r[0x0E] = 0xE3;
    r[0x3D] = 0x41;
}
