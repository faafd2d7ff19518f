#include "registers/readings.h"

#include "core/numbers.h"
#include "link/register_access.h"

#include <array>

namespace {

const std::array<const char*, 32> kFlagNames = {
    "OCP CS2",       "OCP CS1",         "Fast OCP (CS1)",  "SR OFF",         "PGOOD2 Fault",   "PGOOD1 Fault",
    "OrFET",         "Power Supply",    "Local OVP",       "Load OVP",       "GND Fault",      "VddOV",
    "VddUV",         "Reverse Voltage", "UVP",             "Voltage Continuity", "External Flag", "Efficiency",
    "Line Impedance", "Reserved",       "Constant Power",  "Chip Temp Alert", "Share Bus",     "OTP",
    "EEPROM Unlocked", "CRC Fault",     "Duty Cycle",      "Subharmonic",    "DCM",            "ADDRESS",
    "ACNS",          "Reserved"};

// The bits of each fault register that carry a flag, in flag order (bit 3 of Fault 3 and bit 7 of
// Fault 4 are reserved).
struct FlagBits {
    int reg;
    std::array<int, 8> bits;
    int count;
};
const std::array<FlagBits, 4> kFlagBits = {{
    {0x00, {7, 6, 5, 4, 3, 2, 1, 0}, 8},
    {0x01, {7, 6, 5, 4, 3, 2, 1, 0}, 8},
    {0x02, {7, 6, 5, 4, 2, 1, 0, 0}, 7},
    {0x03, {6, 5, 4, 3, 2, 1, 0, 0}, 7},
}};

// Two reads of the same register: first * 16 + second / 16, keeping the fraction.
float TwelveBitCode(int32_t address, int32_t reg) {
    const int16_t first = ReadRegister(address, reg);
    const int16_t second = ReadRegister(address, reg);
    return static_cast<float>(first * 16) + static_cast<float>(second) / 16.0f;
}

float ScaledCode(float code, float perCode) { return static_cast<float>(RoundHalfEven(code * perCode, 3)); }

float Scaled(int32_t address, int32_t reg, float perCode) { return ScaledCode(TwelveBitCode(address, reg), perCode); }

float Byte(int32_t address, int32_t reg) { return static_cast<float>(ReadRegister(address, reg)); }

}  // namespace

float ScaledReading(float code, float factor) { return ScaledCode(code, factor / 3000.0f); }

float PowerReading(float a, float b, int digits) { return static_cast<float>(RoundHalfEven(a * b, digits)); }

void SetReadingScaleFactors() {
    ScaleFactors& f = Shared().DefaultScaleFactors;
    f.InputVoltageScale = 670;
    f.InputCurrentScale = 0.4f;
    f.VS1Scale = 14.2f;
    f.VS2Scale = 14.2f;
    f.OutputVoltageScale = 14.1f;
    f.OutputCurrentScale = 2.4f;
}

QString GetFlagName(int index) {
    if (index < 0 || index >= static_cast<int>(kFlagNames.size())) return QString();
    // Made once and shared: the fault poll asks for a name several times a second.
    static const std::array<QString, 32> names = [] {
        std::array<QString, 32> n;
        for (size_t i = 0; i < n.size(); ++i) n[i] = QString::fromLatin1(kFlagNames[i]);
        return n;
    }();
    return names[static_cast<size_t>(index)];
}

void ReadFaultFlags(int32_t DevAddr) {
    RunState& s = Shared();
    FaultStatus& f = s.Devices[DevAddr == s.DeviceAddress[0] ? 0 : 1].Faults;
    std::array<int16_t, 4> fault{};
    for (size_t r = 0; r < fault.size(); ++r) fault[r] = ReadRegister(DevAddr, static_cast<int32_t>(r));
    const int16_t id = ReadRegister(DevAddr, 0x10);
    const int16_t value = ReadRegister(DevAddr, 0x11);

    f.FirstFlagValid = (id & 0x20) == 0x20;
    f.FirstFlagValue = static_cast<float>(value);
    f.FirstFlagName = GetFlagName(id & 0x1F);
    size_t flag = 0;
    for (const FlagBits& fb : kFlagBits)
        for (int k = 0; k < fb.count; ++k) f.Flags[flag++] = ((fault[static_cast<size_t>(fb.reg)] >> fb.bits[static_cast<size_t>(k)]) & 1) != 0;
}

void SetSimulatedReadings() {
    for (DeviceRecord& d : Shared().Devices) {
        d.InputVoltage = 120;
        d.InputCurrent = 0.25f;
        d.InputPower = 30;
        d.VS1Voltage = 12.1f;
        d.VS2Voltage = 12.05f;
        d.OutputVoltage = 12;
        d.OutputCurrent = 2;
        d.OutputPower = 24;
        d.Temperature = 25;
        d.ACSNSVoltage = 20;
        d.ShareBusVoltage = 4;
        d.DutyCycle = 45;
    }
}

void PollReadings() {
    RunState& s = Shared();
    const ScaleFactors& f = s.DefaultScaleFactors;
    const float inputVoltage = f.InputVoltageScale / 3000.0f;
    const float inputCurrent = f.InputCurrentScale / 3000.0f;
    const float vs1 = f.VS1Scale / 3000.0f;
    const float vs2 = f.VS2Scale / 3000.0f;
    const float outputVoltage = f.OutputVoltageScale / 3000.0f;
    const float outputCurrent = f.OutputCurrentScale / 3000.0f;

    const int count = s.DeviceCount < 2 ? s.DeviceCount : 2;
    for (int i = 0; i < count; ++i) {
        DeviceRecord& d = s.Devices[static_cast<size_t>(i)];
        const int32_t a = d.Address;
        switch (s.PollPhase) {
        case 0:
            d.InputVoltage = Scaled(a, 0x12, inputVoltage);
            d.InputCurrent = Scaled(a, 0x13, inputCurrent);
            d.InputPower = PowerReading(d.InputVoltage, d.InputCurrent, 0);
            break;
        case 1:
            d.VS1Voltage = Scaled(a, 0x15, vs1);
            d.VS2Voltage = Scaled(a, 0x16, vs2);
            break;
        case 2:
            d.OutputVoltage = Scaled(a, 0x17, outputVoltage);
            d.OutputCurrent = Scaled(a, 0x18, outputCurrent);
            d.OutputPower = PowerReading(d.OutputCurrent, d.OutputVoltage, 3);
            break;
        case 3: {
            const int16_t first = ReadRegister(a, 0x1A);
            const int16_t second = ReadRegister(a, 0x1A);
            d.Temperature = static_cast<float>(first * 16 + second / 16.0);
            d.SubharmonicValue = Byte(a, 0x1B);
            d.ShareBusVoltage = Byte(a, 0x1D);
            d.DutyCycle = static_cast<float>(RoundHalfEven(ReadRegister(a, 0x1E) / 255.0 * 100.0, 2));
            d.LineImpedanceValue = Byte(a, 0x1F);
            d.EfficiencyValue = Byte(a, 0x20);
            break;
        }
        default:
            ReadFaultFlags(a);
            break;
        }
        if (i == count - 1) s.PollPhase = s.PollPhase >= 4 || s.PollPhase < 0 ? 0 : s.PollPhase + 1;
    }
    if (s.SimulationMode) SetSimulatedReadings();
}
