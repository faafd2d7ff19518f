#include "fixture.h"

#include "link/startup.h"

void RunFixture::SetUp() {
    ResetRunState();
    Platform& p = Plat();
    p = Platform{};
    p.Board = &board;
    p.Dialogs = &prompts;
    p.ProgramFolder = QStringLiteral("/opt/zvc");
    p.StopMasterTimer = [this] { ++stopTimerCalls; };
    p.UnloadAllWindows = [this] { ++unloadAllCalls; };
    p.ProcessEvents = [] {};
    p.EndProgram = [](int code) { throw ProgramEnded{code}; };
    SetClockSource([this] { return clock.Read(); });
}

void RunFixture::TearDown() {
    SetClockSource({});
    Plat() = Platform{};
    ResetRunState();
}

void RunFixture::EnterSimulation() {
    SimulationSetup();
    Shared().Devices[0].Name = Shared().Devices[1].Name = QStringLiteral("ZVC7140");
}

void RunFixture::UseBoardWithChips(std::initializer_list<int> addresses) {
    RunState& s = Shared();
    s.Devices[0].Name = s.Devices[1].Name = QStringLiteral("ZVC7140");
    for (int a : addresses) {
        board.AddChip(a);
        if (s.DeviceCount < 2) {
            s.DeviceAddress[static_cast<size_t>(s.DeviceCount)] = static_cast<uint8_t>(a);
            s.Devices[static_cast<size_t>(s.DeviceCount)].Address = a;
            ++s.DeviceCount;
        }
    }
}
