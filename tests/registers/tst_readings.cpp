#include "fixture.h"

#include "link/access_log.h"
#include "registers/readings.h"

#include <QStringList>
#include <cmath>

namespace {

class Readings : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        SetReadingScaleFactors();
    }
    // Runs polls until the given phase is the next one, then clears the board's log.
    void AdvanceTo(int phase) {
        while (Shared().PollPhase != phase) PollReadings();
        board.ClearLog();
    }
    QStringList Trace() const {
        QStringList out;
        for (const QString& line : board.AccessTrace()) out << line;
        return out;
    }
};

TEST_F(Readings, TwelveBitCodesAndScaling) {
    struct Case {
        uint8_t first, second;
        float inputVoltage;  // scale 670
    } cases[] = {
        {0x9C, 0x40, 558.333f},     // code 2500
        {0x00, 0x00, 0.0f},
        {0xFF, 0xF0, 914.55f},      // code 4095
        {0x9C, 0x4F, 558.543f},     // code 2500.9375
    };
    UseBoardWithChips({0x48});
    for (const Case& c : cases) {
        AdvanceTo(0);
        board.ScriptReads(0x48, 0x12, {c.first, c.second});
        PollReadings();
        EXPECT_EQ(Shared().Devices[0].InputVoltage, c.inputVoltage) << int(c.first) << " " << int(c.second);
    }
    // Temperature is the unscaled code, fraction kept.
    const std::pair<std::vector<uint8_t>, float> temps[] = {
        {{0x9C, 0x40}, 2500.0f}, {{0xFF, 0xF0}, 4095.0f}, {{0x9C, 0x4F}, 2500.9375f}, {{0, 0}, 0.0f}};
    for (const auto& [bytes, code] : temps) {
        AdvanceTo(3);
        board.ScriptReads(0x48, 0x1A, bytes);
        PollReadings();
        EXPECT_EQ(Shared().Devices[0].Temperature, code);
    }
}

TEST_F(Readings, PowerIsTheProductOfTheRoundedValues) {
    UseBoardWithChips({0x48});
    board.ScriptReads(0x48, 0x12, {0x9C, 0x40});  // 558.333 V
    board.ScriptReads(0x48, 0x13, {0x9C, 0x40});  // 2500 * 0.4 / 3000 = 0.333 A
    PollReadings();
    const DeviceRecord& d = Shared().Devices[0];
    EXPECT_FLOAT_EQ(d.InputCurrent, 0.333f);
    EXPECT_EQ(d.InputPower, 186.0f);  // 558.333 * 0.333 = 185.92...

    AdvanceTo(2);
    board.ScriptReads(0x48, 0x17, {0x9C, 0x40});  // 2500 * 14.1 / 3000 = 11.75 V
    board.ScriptReads(0x48, 0x18, {0x9C, 0x40});  // 2500 * 2.4 / 3000 = 2 A
    PollReadings();
    EXPECT_FLOAT_EQ(d.OutputVoltage, 11.75f);
    EXPECT_FLOAT_EQ(d.OutputCurrent, 2.0f);
    EXPECT_FLOAT_EQ(d.OutputPower, 23.5f);
}

TEST_F(Readings, TheGreatestCodeGivesTheFullScaleReadingAndPowerThatTheScaleCheckUses) {
    UseBoardWithChips({0x48});
    for (int reg : {0x12, 0x13, 0x17, 0x18}) board.Regs(0x48)[reg] = 0xFF;  // code 4095.9375
    ScaleFactors& f = Shared().DefaultScaleFactors;
    f.InputVoltageScale = 2.4e38f;
    f.OutputVoltageScale = -1e20f;
    f.OutputCurrentScale = 3e18f;
    for (int i = 0; i < 5; ++i) PollReadings();
    const DeviceRecord& d = Shared().Devices[0];
    EXPECT_EQ(d.InputVoltage, ScaledReading(kFullScaleCode, f.InputVoltageScale));
    EXPECT_EQ(d.InputCurrent, ScaledReading(kFullScaleCode, f.InputCurrentScale));
    EXPECT_EQ(d.InputPower, PowerReading(d.InputVoltage, d.InputCurrent, 0));
    EXPECT_EQ(d.OutputVoltage, ScaledReading(kFullScaleCode, f.OutputVoltageScale));
    EXPECT_EQ(d.OutputPower, PowerReading(d.OutputCurrent, d.OutputVoltage, 3));
    EXPECT_TRUE(std::isfinite(d.InputPower));
    EXPECT_TRUE(std::isinf(d.OutputPower));  // what Set Values keeps from happening
    EXPECT_TRUE(std::isinf(ScaledReading(kFullScaleCode, 2.5e38f)));
}

TEST_F(Readings, PhaseThreeBytesAndDutyCycle) {
    UseBoardWithChips({0x48});
    auto& r = board.Regs(0x48);
    r[0x1B] = 7;
    r[0x1D] = 0x33;
    r[0x1F] = 9;
    r[0x20] = 200;
    const std::pair<uint8_t, float> duty[] = {{0x80, 50.2f}, {0xFF, 100.0f}, {0, 0.0f}, {1, 0.39f}};
    for (const auto& [byte, percent] : duty) {
        r[0x1E] = byte;
        AdvanceTo(3);
        PollReadings();
        EXPECT_FLOAT_EQ(Shared().Devices[0].DutyCycle, percent) << int(byte);
    }
    const DeviceRecord& d = Shared().Devices[0];
    EXPECT_EQ(d.SubharmonicValue, 7.0f);
    EXPECT_EQ(d.ShareBusVoltage, 51.0f);
    EXPECT_EQ(d.LineImpedanceValue, 9.0f);
    EXPECT_EQ(d.EfficiencyValue, 200.0f);
}

TEST_F(Readings, FirstFlagAndFlagTable) {
    UseBoardWithChips({0x48});
    auto& r = board.Regs(0x48);
    r[0x10] = 0x27;
    r[0x11] = 0x5A;
    ReadFaultFlags(0x48);
    const FaultStatus& f = Shared().Devices[0].Faults;
    EXPECT_TRUE(f.FirstFlagValid);
    EXPECT_EQ(f.FirstFlagName, "Power Supply");
    EXPECT_EQ(f.FirstFlagValue, 90.0f);
    r[0x10] = 0x07;
    ReadFaultFlags(0x48);
    EXPECT_FALSE(f.FirstFlagValid);
    EXPECT_EQ(f.FirstFlagName, "Power Supply");

    // The reserved bits carry no flag.
    r[0x02] = 0x08;
    r[0x03] = 0x80;
    ReadFaultFlags(0x48);
    for (bool flag : f.Flags) EXPECT_FALSE(flag);

    // Each flag bit lands on its own flag, most significant bit first.
    struct Bit {
        int reg, bit, flag;
    } bits[] = {{0, 7, 0}, {0, 0, 7}, {1, 7, 8}, {1, 0, 15}, {2, 7, 16}, {2, 4, 19}, {2, 2, 20}, {2, 0, 22},
                {3, 6, 23}, {3, 0, 29}};
    for (const Bit& b : bits) {
        r[0] = r[1] = r[2] = r[3] = 0;
        r[static_cast<size_t>(b.reg)] = static_cast<uint8_t>(1 << b.bit);
        ReadFaultFlags(0x48);
        for (int i = 0; i < 30; ++i) EXPECT_EQ(f.Flags[static_cast<size_t>(i)], i == b.flag) << b.reg << "." << b.bit;
    }
    EXPECT_EQ(Trace().mid(Trace().size() - 6),
              QStringList({"R 48 00", "R 48 01", "R 48 02", "R 48 03", "R 48 10", "R 48 11"}));
}

TEST_F(Readings, FlagNames) {
    const char* names[] = {"OCP CS2", "OCP CS1", "Fast OCP (CS1)", "SR OFF", "PGOOD2 Fault", "PGOOD1 Fault", "OrFET",
                           "Power Supply", "Local OVP", "Load OVP", "GND Fault", "VddOV", "VddUV", "Reverse Voltage",
                           "UVP", "Voltage Continuity", "External Flag", "Efficiency", "Line Impedance", "Reserved",
                           "Constant Power", "Chip Temp Alert", "Share Bus", "OTP", "EEPROM Unlocked", "CRC Fault",
                           "Duty Cycle", "Subharmonic", "DCM", "ADDRESS", "ACNS", "Reserved"};
    for (int i = 0; i < 32; ++i) EXPECT_EQ(GetFlagName(i), QString::fromLatin1(names[i])) << i;
    EXPECT_EQ(GetFlagName(-1), "");
    EXPECT_EQ(GetFlagName(32), "");
}

TEST_F(Readings, FiveCallsWithTwoDevicesReadEveryGroupOnce) {
    UseBoardWithChips({0x48, 0x4A});
    for (int i = 0; i < 5; ++i) PollReadings();
    EXPECT_EQ(Shared().PollPhase, 0);
    const QStringList expected = {
        "R 48 12", "R 48 12", "R 48 13", "R 48 13", "R 4A 12", "R 4A 12", "R 4A 13", "R 4A 13",
        "R 48 15", "R 48 15", "R 48 16", "R 48 16", "R 4A 15", "R 4A 15", "R 4A 16", "R 4A 16",
        "R 48 17", "R 48 17", "R 48 18", "R 48 18", "R 4A 17", "R 4A 17", "R 4A 18", "R 4A 18",
        "R 48 1A", "R 48 1A", "R 48 1B", "R 48 1D", "R 48 1E", "R 48 1F", "R 48 20",
        "R 4A 1A", "R 4A 1A", "R 4A 1B", "R 4A 1D", "R 4A 1E", "R 4A 1F", "R 4A 20",
        "R 48 00", "R 48 01", "R 48 02", "R 48 03", "R 48 10", "R 48 11",
        "R 4A 00", "R 4A 01", "R 4A 02", "R 4A 03", "R 4A 10", "R 4A 11"};
    EXPECT_EQ(Trace(), expected);

    // The second device's flags go to the second record.
    board.Regs(0x4A)[0x00] = 0x80;
    AdvanceTo(4);
    PollReadings();
    EXPECT_FALSE(Shared().Devices[0].Faults.Flags[0]);
    EXPECT_TRUE(Shared().Devices[1].Faults.Flags[0]);
}

TEST_F(Readings, ScaleChangeTakesEffectAtTheNextPollOfItsGroup) {
    UseBoardWithChips({0x48});
    board.Regs(0x48)[0x15] = 0x9C;  // both reads give 0x9C: code 2505.75
    PollReadings();
    PollReadings();
    const float before = Shared().Devices[0].VS1Voltage;
    EXPECT_FLOAT_EQ(before, 11.861f);  // 2505.75 * 14.2 / 3000 = 11.86055
    Shared().DefaultScaleFactors.VS1Scale = 28.4f;
    for (int i = 0; i < 4; ++i) PollReadings();
    EXPECT_EQ(Shared().Devices[0].VS1Voltage, before);
    PollReadings();
    EXPECT_FLOAT_EQ(Shared().Devices[0].VS1Voltage, 23.721f);
}

TEST_F(Readings, SimulationShowsFixedValuesAndSimulatedFlags) {
    EnterSimulation();
    for (int call = 0; call < 5; ++call) {
        PollReadings();
        const DeviceRecord& d = Shared().Devices[0];
        EXPECT_EQ(d.InputVoltage, 120.0f);
        EXPECT_EQ(d.InputCurrent, 0.25f);
        EXPECT_EQ(d.InputPower, 30.0f);
        EXPECT_EQ(d.VS1Voltage, 12.1f);
        EXPECT_EQ(d.VS2Voltage, 12.05f);
        EXPECT_EQ(d.OutputVoltage, 12.0f);
        EXPECT_EQ(d.OutputCurrent, 2.0f);
        EXPECT_EQ(d.OutputPower, 24.0f);
        EXPECT_EQ(d.Temperature, 25.0f);
        EXPECT_EQ(d.ACSNSVoltage, 20.0f);
        EXPECT_EQ(d.ShareBusVoltage, 4.0f);
        EXPECT_EQ(d.DutyCycle, 45.0f);
        EXPECT_EQ(Shared().Devices[1].OutputVoltage, 12.0f);
    }
    EXPECT_TRUE(board.Log.empty());
    // Fault 1 preset 0x85: bits 7, 2 and 0.
    const auto& flags = Shared().Devices[0].Faults.Flags;
    for (int i = 0; i < 8; ++i) EXPECT_EQ(flags[static_cast<size_t>(i)], i == 0 || i == 5 || i == 7) << i;
}

}  // namespace
