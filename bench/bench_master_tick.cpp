// One master-timer tick with the block diagrams of two simulated devices open.
#include "core/run_state.h"
#include "core/system_timer.h"
#include "link/board_api.h"
#include "link/platform.h"
#include "link/startup.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include "offscreen_main.h"

namespace {

// A board whose chips answer bytes that change with every read, so the shown values change too.
class MovingBoard : public BoardApi {
public:
    int16_t LoadFirmWare(uint8_t*) override { return 0; }
    int16_t VendorIORequest(int16_t, int32_t, int32_t, int16_t direction, int16_t, uint8_t* buffer) override {
        if (direction == 1) buffer[0] = static_cast<uint8_t>(++counter_ * 37);
        return 0;
    }

private:
    unsigned counter_ = 0;
};

struct TwoDiagrams {
    frmMain* main = nullptr;
    double now = 8 * 3600.0;
    TwoDiagrams(bool simulation, BoardApi* board, double clockStep) {
        ResetRunState();
        RunState& s = Shared();
        if (simulation) SimulationSetup();
        Plat().Board = board;
        s.SimulationMode = simulation;
        s.DeviceCount = 2;
        s.DeviceAddress = {0x48, 0x4A};
        s.Devices[0].Address = 0x48;
        s.Devices[1].Address = 0x4A;
        SetReadingScaleFactors();
        // Every read of the clock moves it on by clockStep seconds.
        SetClockSource([this, clockStep] { return now += clockStep; });
        RegisterShellWindows();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 1000);
        main->show();
        main->OpenDevicePage(PageKind::Device, 0);
        main->OpenDevicePage(PageKind::Device, 1);
        QApplication::processEvents();
    }
    ~TwoDiagrams() {
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetClockSource({});
        Plat().Board = nullptr;
        ResetRunState();
    }
};

// Both diagrams are due on every tick: the poll plus two refreshes of three values each.
void BM_TickBothDiagramsRefresh(benchmark::State& state) {
    TwoDiagrams run(true, nullptr, 0.6);
    for (auto _ : state) run.main->tmrMaster_Timer();
}
BENCHMARK(BM_TickBothDiagramsRefresh)->Unit(benchmark::kMicrosecond);

// The ticks between refreshes: the poll only.
void BM_TickPollOnly(benchmark::State& state) {
    TwoDiagrams run(true, nullptr, 0.0);
    run.main->tmrMaster_Timer();  // the first tick refreshes; the clock then stands still
    for (auto _ : state) run.main->tmrMaster_Timer();
}
BENCHMARK(BM_TickPollOnly)->Unit(benchmark::kMicrosecond);

// As the first, with values that change on every tick, so every label takes a new text.
void BM_TickBothDiagramsNewValues(benchmark::State& state) {
    MovingBoard board;
    TwoDiagrams run(false, &board, 0.6);
    for (auto _ : state) run.main->tmrMaster_Timer();
}
BENCHMARK(BM_TickBothDiagramsNewValues)->Unit(benchmark::kMicrosecond);

}  // namespace

ZVC_OFFSCREEN_BENCHMARK_MAIN()
