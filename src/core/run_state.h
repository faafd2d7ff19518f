#pragma once
// The state shared by the whole run: one instance, reset by every test fixture.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

inline const QString kAppTitle = QStringLiteral("ZVC7140 Evaluation Software");

struct LoopModelInputs {
    float L[2] = {0, 0};
    float C[4] = {0, 0, 0, 0};
    float ESR[2] = {0, 0};
    float RL = 0;
    float Vin = 0;
    float Duty = 0;
    float N1 = 0;
    float N2 = 0;
    float R3 = 0;
    float R4 = 0;
    bool L2C2Enabled = false;
    bool C3C4Enabled = false;
};

struct FaultStatus {
    std::array<bool, 30> Flags{};
    float FirstFlagValue = 0;
    QString FirstFlagName;
    bool FirstFlagValid = false;
};

struct DeviceRecord {
    QString Name;
    int32_t Address = 0;
    float InputVoltage = 0;
    float InputCurrent = 0;
    float InputPower = 0;
    float VS1Voltage = 0;
    float VS2Voltage = 0;
    float OutputVoltage = 0;
    float OutputCurrent = 0;
    float OutputPower = 0;
    float Temperature = 0;
    float SubharmonicValue = 0;
    float ACSNSVoltage = 0;
    float ShareBusVoltage = 0;
    float DutyCycle = 0;
    float LineImpedanceValue = 0;
    float EfficiencyValue = 0;
    FaultStatus Faults;
    LoopModelInputs LoopModel;
};

struct ScaleFactors {
    float InputVoltageScale = 0;
    float InputCurrentScale = 0;
    float VS1Scale = 0;
    float VS2Scale = 0;
    float OutputVoltageScale = 0;
    float OutputCurrentScale = 0;
};

struct RegisterEntry {
    QString Name;
    int Address = 0;
};

struct RunState {
    std::array<DeviceRecord, 2> Devices;
    int DeviceCount = 0;
    std::array<uint8_t, 2> DeviceAddress{};
    bool SimulationMode = false;
    std::array<uint8_t, 256> SimRegs{};

    // Page-open flags, by device.
    std::array<bool, 2> DeviceFormOpen{};
    std::array<bool, 2> LimitsFormOpen{};
    std::array<bool, 2> VoltageSenseFormOpen{};
    std::array<bool, 2> CurrentSenseFormOpen{};
    std::array<bool, 2> PWMFormOpen{};
    // The single windows.
    bool RegMapOpen = false;
    bool SpyOpen = false;
    bool SpyPaused = false;
    bool IgnorePolledReads = false;
    bool PollingDisabled = false;
    // The fatal communication message has been shown: the run is ending.
    bool CommsErrorShown = false;

    double SwitchingFrequencyHz = 0;
    int PowerStageTopology = 1;
    int SavedTopologyIndex = -1;

    ScaleFactors DefaultScaleFactors;
    int PollPhase = 0;
    std::vector<RegisterEntry> RegTable;
};

RunState& Shared();
void ResetRunState();
