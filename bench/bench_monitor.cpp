// The communications monitor at any length: the cost of a logged access, the memory per line,
// the list showing its last page over ten million lines, and the passes of the event loop that
// show new lines.
#include "core/run_state.h"
#include "link/register_access.h"
#include "link/startup.h"
#include "shell/frmMain.h"
#include "shell/frmSpy.h"
#include "shell/monitor_log.h"
#include "shell/monitor_view.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include "offscreen_main.h"
#include <malloc.h>

namespace {

constexpr int64_t kTenMillion = 10'000'000;

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;  // small blocks plus mmapped chunks
}

// A simulated run with the monitor open, reads and writes ticked.
struct OpenMonitor {
    frmMain* main = nullptr;
    frmSpy* spy = nullptr;
    OpenMonitor() {
        ResetRunState();
        SimulationSetup();
        RegisterShellWindows();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1000, 800);
        main->show();
        spy = dynamic_cast<frmSpy*>(main->OpenTool(ToolKind::Spy));
        spy->chkReads->setChecked(true);
        spy->chkWrites->setChecked(true);
        QApplication::processEvents();
    }
    ~OpenMonitor() {
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetRunState();
    }
};

void BM_LoggedRead(benchmark::State& state) {
    OpenMonitor m;
    int32_t reg = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadRegister(0x48, reg));
        reg = (reg + 1) & 0x7F;
    }
    state.counters["lines"] = static_cast<double>(m.spy->Lines()->Log().Size());
}
BENCHMARK(BM_LoggedRead)->Iterations(kTenMillion)->Unit(benchmark::kNanosecond);

void BM_LoggedWrite(benchmark::State& state) {
    OpenMonitor m;
    int32_t reg = 0;
    for (auto _ : state) {
        WriteRegister(0x48, 0x40 + reg, reg);
        reg = (reg + 1) & 0x3F;
    }
    state.counters["lines"] = static_cast<double>(m.spy->Lines()->Log().Size());
}
BENCHMARK(BM_LoggedWrite)->Iterations(kTenMillion)->Unit(benchmark::kNanosecond);

// Memory: the heap's growth while ten million accesses are logged, per line.
void BM_MemoryPerLine(benchmark::State& state) {
    OpenMonitor m;
    double perLine = 0, storePerLine = 0;
    for (auto _ : state) {
        m.spy->cmdClear->click();
        const size_t before = HeapInUse();
        for (int64_t i = 0; i < kTenMillion; ++i) ReadRegister(0x48, static_cast<int32_t>(i & 0x7F));
        QApplication::processEvents();  // the list takes the lines in
        const size_t after = HeapInUse();
        perLine = static_cast<double>(after - before) / kTenMillion;
        storePerLine = static_cast<double>(m.spy->Lines()->Log().MemoryBytes()) / kTenMillion;
    }
    state.counters["heap_bytes_per_line"] = perLine;
    state.counters["store_bytes_per_line"] = storePerLine;
}
BENCHMARK(BM_MemoryPerLine)->Iterations(1)->Unit(benchmark::kMillisecond);

// Ten million lines logged while the list was not yet told: the list takes them in, scrolls
// to the end and paints its last page.
void BM_ShowLastPage(benchmark::State& state) {
    OpenMonitor m;
    MonitorListView* view = m.spy->lstSpy;
    for (auto _ : state) {
        state.PauseTiming();
        m.spy->cmdClear->click();
        QApplication::processEvents();
        for (int64_t i = 0; i < kTenMillion; ++i) ReadRegister(0x48, static_cast<int32_t>(i & 0x7F));
        state.ResumeTiming();
        m.spy->Lines()->Publish();
        view->ScrollToBottom();
        const QPixmap page = view->viewport()->grab();
        benchmark::DoNotOptimize(page.cacheKey());
    }
    state.counters["rows"] = view->model()->rowCount();
    state.counters["first_shown"] = view->FirstVisibleRow();
}
BENCHMARK(BM_ShowLastPage)->Iterations(5)->Unit(benchmark::kMillisecond);

// Paging back and forth over the full list: every page costs the same.
void BM_PageOverTenMillion(benchmark::State& state) {
    OpenMonitor m;
    for (int64_t i = 0; i < kTenMillion; ++i) ReadRegister(0x48, static_cast<int32_t>(i & 0x7F));
    QApplication::processEvents();
    MonitorListView* view = m.spy->lstSpy;
    bool bottom = false;
    for (auto _ : state) {
        bottom = !bottom;
        if (bottom)
            view->ScrollToBottom();
        else
            view->ScrollToRow(0);
        const QPixmap page = view->viewport()->grab();
        benchmark::DoNotOptimize(page.cacheKey());
    }
}
BENCHMARK(BM_PageOverTenMillion)->Unit(benchmark::kMicrosecond);

// Passes of the event loop that each bring five new lines, with the repaint they cause: from an
// empty list until the screen is full (arg 0), or with the screen full and the list long (arg 1).
void BM_PassWithNewLines(benchmark::State& state) {
    OpenMonitor m;
    MonitorListView* view = m.spy->lstSpy;
    const bool full = state.range(0) == 1;
    const int page = view->viewport()->height() / view->RowHeight();
    int64_t passes = 0;
    int lines = 0;
    if (full)
        for (int i = 0; i < 2000; ++i) ReadRegister(0x48, i & 0x7F);
    QApplication::processEvents();
    for (auto _ : state) {
        if (!full && lines >= page) {
            state.PauseTiming();
            m.spy->cmdClear->click();
            QApplication::processEvents();
            lines = 0;
            state.ResumeTiming();
        }
        for (int i = 0; i < 5; ++i) ReadRegister(0x48, 0x12 + i);
        lines += 5;
        QApplication::processEvents();
        ++passes;
    }
    state.counters["passes"] = static_cast<double>(passes);
}
BENCHMARK(BM_PassWithNewLines)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

ZVC_OFFSCREEN_BENCHMARK_MAIN()
