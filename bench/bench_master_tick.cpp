// One master-timer tick with the block diagrams of two simulated devices open; then ticks with
// the repaint they cause, as the event loop runs it, over a board whose readings keep changing.
#include "app/wiring.h"
#include "core/run_state.h"
#include "core/system_timer.h"
#include "link/board_api.h"
#include "link/platform.h"
#include "link/startup.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/frmSpy.h"
#include "shell/monitor_log.h"
#include "shell/monitor_view.h"
#include "shell/shell_windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <benchmark/benchmark.h>

#include "emulated_board.h"

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

// A session on the emulated board whose reading registers move with every read. The clock
// moves on 50 ms per tick, as the master timer does, so the refreshes come at their own periods.
struct MovingReadings {
    EmulatedBoard board;
    frmMain* main = nullptr;
    frmSpy* spy = nullptr;
    double now = 8 * 3600.0;

    explicit MovingReadings(int devices) {
        ResetRunState();
        RunState& s = Shared();
        Plat().Board = &board;
        board.VaryReadings = true;
        const int addresses[2] = {0x48, 0x4A};
        for (int i = 0; i < devices; ++i) {
            board.AddChip(addresses[i]);
            s.DeviceAddress[static_cast<size_t>(i)] = static_cast<uint8_t>(addresses[i]);
            s.Devices[static_cast<size_t>(i)].Address = addresses[i];
        }
        s.DeviceCount = devices;
        s.Devices[0].Name = s.Devices[1].Name = QStringLiteral("ZVC7140");
        SetReadingScaleFactors();
        // A hair of time per reading of the clock, so that any wait in a page's set-up ends.
        SetClockSource([this] { return now += 1e-7; });
        RegisterAllWindows();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 1000);
        main->show();
        QApplication::processEvents();
    }
    ~MovingReadings() {
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetClockSource({});
        Plat().Board = nullptr;
        ResetRunState();
    }
    // Every page of the device, chosen from its menu from top to bottom, as a user would.
    void OpenEveryPage(int device) {
        for (QAction* item : main->mnuDevice[static_cast<size_t>(device)]->actions()) item->trigger();
    }
    // The monitor on top, logging reads and writes, as the user ticks its boxes.
    void OpenMonitor() {
        spy = dynamic_cast<frmSpy*>(main->OpenTool(ToolKind::Spy));
        spy->chkReads->click();
        spy->chkWrites->click();
    }
    void Settle() {
        // The first passes paint the new windows whole; the ticks are measured after them.
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    void Tick(bool paint) {
        now += 0.05;
        main->tmrMaster_Timer();
        if (paint) QApplication::processEvents();
    }
};

enum Scenario { kBothDiagrams, kEveryPage, kEveryPageMonitor, kEveryPageMonitorFollowed };

void TickScenario(benchmark::State& state, Scenario scenario, bool paint) {
    MovingReadings run(scenario == kBothDiagrams ? 2 : 1);
    if (scenario == kBothDiagrams) {
        run.main->OpenDevicePage(PageKind::Device, 0);
        run.main->OpenDevicePage(PageKind::Device, 1);
    } else {
        run.OpenEveryPage(0);
    }
    if (scenario >= kEveryPageMonitor) run.OpenMonitor();
    run.Settle();
    if (scenario != kBothDiagrams && !run.main->Form(PageKind::OrFET, 0)) state.SkipWithError("pages did not open");
    if (scenario == kEveryPageMonitorFollowed) {
        // The user keeps the monitor at the end of the list, so every tick shows new rows.
        for (auto _ : state) {
            run.Tick(false);
            run.spy->Lines()->Publish();
            run.spy->lstSpy->ScrollToBottom();
            if (paint) QApplication::processEvents();
        }
    } else {
        for (auto _ : state) run.Tick(paint);
    }
    if (run.spy) state.counters["monitor_lines"] = static_cast<double>(run.spy->Lines()->Log().Size());
}

// Ticks alone and ticks with the repaint that follows them, one tick per iteration.
BENCHMARK_CAPTURE(TickScenario, BothDiagrams_TickOnly, kBothDiagrams, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TickScenario, BothDiagrams_TickAndPaint, kBothDiagrams, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TickScenario, EveryPage_TickOnly, kEveryPage, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TickScenario, EveryPage_TickAndPaint, kEveryPage, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TickScenario, EveryPageMonitor_TickOnly, kEveryPageMonitor, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TickScenario, EveryPageMonitor_TickAndPaint, kEveryPageMonitor, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TickScenario, EveryPageMonitorFollowed_TickAndPaint, kEveryPageMonitorFollowed, true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

ZVC_OFFSCREEN_BENCHMARK_MAIN()
