// The readings page's refresh, as the master timer runs it every 0.1 s, with the paint it causes,
// for each live tab in front: readings that change at every refresh, and readings that stay.
#include "core/run_state.h"
#include "core/system_timer.h"
#include "link/startup.h"
#include "pages/page_registry.h"
#include "shell/frmMain.h"
#include "shell/page_window.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cmath>

#include "offscreen_main.h"
#include "paint_counter.h"

namespace {


// The simulated chip's readings page in a shown main window, a minute of refreshes behind it so
// that the charts are full.
struct OpenReadingsPage {
    frmMain* main = nullptr;
    PageWindow* page = nullptr;
    PaintCounter counter;
    double now = 8 * 3600.0;
    long refreshes = 0;
    bool varying;

    OpenReadingsPage(int tab, bool vary) : varying(vary) {
        ResetRunState();
        SimulationSetup();
        SetClockSource([this] { return now; });
        RegisterShellWindows();
        RegisterConfigurationPages();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 1000);
        main->show();
        page = main->OpenDevicePage(PageKind::Limits, 0);
        page->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(tab);
        SetReadings(0);
        for (int i = 0; i < 650; ++i) Refresh(false);
        QApplication::processEvents();
        for (QWidget* w : page->findChildren<QWidget*>()) w->installEventFilter(&counter);
    }
    ~OpenReadingsPage() {
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetClockSource({});
        ResetRunState();
    }
    static void SetReadings(double s) {
        DeviceRecord& r = Shared().Devices[0];
        r.InputVoltage = static_cast<float>(120 + 5 * s);
        r.InputCurrent = static_cast<float>(0.25 + 0.02 * s);
        r.InputPower = r.InputVoltage * r.InputCurrent;
        r.OutputVoltage = static_cast<float>(12 + 0.1 * s);
        r.OutputCurrent = static_cast<float>(2 + 0.1 * s);
        r.OutputPower = r.OutputVoltage * r.OutputCurrent;
        r.VS1Voltage = static_cast<float>(12.1 + 0.1 * s);
        r.VS2Voltage = static_cast<float>(12.05 + 0.1 * s);
        r.ACSNSVoltage = static_cast<float>(20 + s);
        r.Temperature = static_cast<float>(25 + s);
        r.ShareBusVoltage = static_cast<float>(4 + 0.1 * s);
        r.DutyCycle = static_cast<float>(45 + s);
    }
    // New readings as the poll would leave them, then the page's refresh.
    void Refresh(bool paint) {
        now += 0.1;
        ++refreshes;
        if (varying) SetReadings(std::sin(refreshes * 0.05));
        main->LimitsRefresh(0);
        if (paint) QApplication::processEvents();
    }
};

void Refresh(benchmark::State& state, int tab, bool varying) {
    OpenReadingsPage p(tab, varying);
    const long paints0 = p.counter.paints, pixels0 = p.counter.pixels;
    for (auto _ : state) p.Refresh(true);
    const double n = static_cast<double>(state.iterations());
    state.counters["paints"] = static_cast<double>(p.counter.paints - paints0) / n;
    state.counters["pixels"] = static_cast<double>(p.counter.pixels - pixels0) / n;
}

constexpr int kFlags = 0, kReadings = 2, kGraphs = 3;
BENCHMARK_CAPTURE(Refresh, Flags_Varying, kFlags, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Refresh, Flags_Constant, kFlags, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Refresh, Gauges_Varying, kReadings, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Refresh, Gauges_Constant, kReadings, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Refresh, Graphs_Varying, kGraphs, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Refresh, Graphs_Constant, kGraphs, false)->Unit(benchmark::kMicrosecond);

}  // namespace

ZVC_OFFSCREEN_BENCHMARK_MAIN()
