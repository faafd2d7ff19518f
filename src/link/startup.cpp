#include "link/startup.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "link/platform.h"
#include "link/register_access.h"

#include <QDir>
#include <QFile>
#include <array>
#include <cmath>

namespace {
void ProcessEvents() {
    if (Plat().ProcessEvents) Plat().ProcessEvents();
}
}  // namespace

QString FirmwarePath() { return Plat().ProgramFolder + QDir::separator() + QStringLiteral("ZVC7140FW.Hex"); }

int16_t LoadAdapterFirmware() {
    const QByteArray bytes = QFile::encodeName(FirmwarePath());
    if (!Plat().Board || bytes.size() > kMaxFirmwarePathBytes) return -1;
    std::array<uint8_t, kMaxFirmwarePathBytes + 1> PathBytes{};
    for (qsizetype i = 0; i < bytes.size(); ++i) PathBytes[static_cast<size_t>(i)] = static_cast<uint8_t>(bytes[i]);
    PathBytes[static_cast<size_t>(bytes.size())] = 0;
    return Plat().Board->LoadFirmWare(PathBytes.data());
}

void SimulationSetup() {
    RunState& s = Shared();
    s.SimulationMode = true;
    s.DeviceCount = 1;
    s.DeviceAddress[0] = 0x48;
    s.Devices[0].Address = 0x48;
    InitSimulatedRegisters();
}

void InitialiseEvaluationBoard(SplashView& splash) {
    RunState& s = Shared();
    const int Step = static_cast<int>(std::floor(std::lround(splash.ProgressDesignWidth()) / 100.0));
    splash.SetProgressWidth(0);
    splash.SetStatus(QStringLiteral("Downloading Firmware..."));
    splash.ShowProgress();
    s.Devices[0].Name = QStringLiteral("ZVC7140");
    s.Devices[1].Name = QStringLiteral("ZVC7140");

    if (LoadAdapterFirmware() < 0) {
        const MsgResult answer = MsgBox(QStringLiteral("The ZVC7140 evaluation board has not been found.\r\n"
                                                       "Continue in simulation mode?"),
                                        MsgButtons::YesNo);
        if (answer == MsgResult::Yes) {
            SimulationSetup();
            return;
        }
        ReportCommsError(0);
    }

    double width = Step * 33;
    splash.SetProgressWidth(static_cast<int>(width));
    splash.SetStatus(QStringLiteral("Enumerating..."));
    do {
        width += Step / 2.0;
        splash.SetProgressWidth(static_cast<int>(width));
        Delay(50);
        ProcessEvents();
    } while (width < Step * 50);

    splash.SetStatus(QStringLiteral("Connecting..."));
    bool connected = false;
    for (int tries = 0; tries < 20 && !connected; ++tries) {
        uint8_t buffer[1] = {0};
        const int16_t result = Plat().Board->VendorIORequest(0xDD, 0x30, 0x33, 0, 0, buffer);
        Delay(200);
        ProcessEvents();
        connected = result == 0;
    }
    if (!connected) ReportCommsError(2);

    splash.SetProgressWidth(Step * 76);
    splash.SetStatus(QStringLiteral("Searching for ") + s.Devices[0].Name + QStringLiteral(" on USB..."));
    Delay(1000);

    for (int32_t address = 0; address <= 127; ++address) {
        if (ReadRegister(address, 0x3D) == 0x41 && s.DeviceCount < 2) {
            s.DeviceAddress[static_cast<size_t>(s.DeviceCount)] = static_cast<uint8_t>(address);
            s.Devices[static_cast<size_t>(s.DeviceCount)].Address = address;
            ++s.DeviceCount;
        }
    }

    splash.SetProgressWidth(Step * 100);
    splash.SetStatus(QStringLiteral("Found ") + QStringLiteral(" ") + NumberText(s.DeviceCount) + QStringLiteral(" ") +
                     s.Devices[0].Name + QStringLiteral("(s) on the USB port"));
    Delay(2000);
}

void RunBoardStartup(SplashView& splash) {
    InitialiseEvaluationBoard(splash);
    if (Shared().DeviceCount == 0) {
        if (MsgBox(QStringLiteral("No ZVC7140 devices found - Continue in simulation mode?"), MsgButtons::YesNo) ==
            MsgResult::Yes)
            SimulationSetup();
        else
            EndProgram(0);
    }
}
