// The PWM page under the mouse: one step of dragging an edge, and a move with nothing grabbed,
// each with the paint it causes (the event loop runs the pending paints inside the figure).
#include "core/run_state.h"
#include "link/register_access.h"
#include "link/startup.h"
#include "pages/frmPWM.h"
#include "pages/page_registry.h"
#include "pages/widgets/pwm_canvas.h"
#include "shell/frmMain.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <array>
#include <benchmark/benchmark.h>

#include "offscreen_main.h"
#include "paint_counter.h"

namespace {


// A simulated chip at 49 kHz with every output's edges at a quarter and three quarters of the
// period, OUTA's rising edge modulated, and its PWM page open in a shown main window.
struct OpenPWMPage {
    frmMain* main = nullptr;
    frmPWM* page = nullptr;
    std::array<PWMCanvas*, 7> canvases{};
    PaintCounter counter;

    OpenPWMPage() {
        ResetRunState();
        SimulationSetup();
        RegisterShellWindows();
        RegisterConfigurationPages();
        for (int i = 0; i < 7; ++i) {
            const int n = 0x41 + 4 * i;
            WriteRegister(0x48, n, 0x3F);      // 1020
            WriteRegister(0x48, n + 1, i == 0 ? 0xCC : 0xC4);
            WriteRegister(0x48, n + 2, 0xBF);  // 3061
            WriteRegister(0x48, n + 3, 0x54);
        }
        WriteRegister(0x48, 0x40, 0x01);
        WriteRegister(0x48, 0x5D, 0x00);
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 1000);
        main->show();
        page = qobject_cast<frmPWM*>(main->OpenDevicePage(PageKind::PWM, 0));
        for (int i = 0; i < 7; ++i) {
            canvases[i] = page->findChild<PWMCanvas*>(QStringLiteral("pctPWM_%1").arg(i));
            canvases[i]->installEventFilter(&counter);
        }
        QApplication::processEvents();
    }
    ~OpenPWMPage() {
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetRunState();
    }
    static void Send(QWidget* w, QEvent::Type type, double xPixels) {
        const QPointF at(xPixels, w->height() / 2.0);
        const bool press = type == QEvent::MouseButtonPress;
        QMouseEvent e(type, at, w->mapToGlobal(at), press ? Qt::LeftButton : Qt::NoButton,
                      press ? Qt::MouseButtons(Qt::LeftButton) : Qt::MouseButtons(Qt::NoButton), Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    void Report(benchmark::State& state, long paints0, long pixels0) {
        const double steps = static_cast<double>(state.iterations());
        state.counters["paints_per_step"] = static_cast<double>(counter.paints - paints0) / steps;
        state.counters["pixels_per_step"] = static_cast<double>(counter.pixels - pixels0) / steps;
    }
};

// Back and forth one pixel at a time between pixels 100 and 250 of the first period.
struct Sweep {
    int x = 100, step = 1;
    int Next() {
        x += step;
        if (x == 250 || x == 100) step = -step;
        return x;
    }
};

// OUTA's rising edge (and its modulation arrow and label) follows the mouse.
void BM_DragStep(benchmark::State& state) {
    OpenPWMPage p;
    PWMCanvas* outa = p.canvases[0];
    const double r = p.page->logic.RisingX(0) / 15.0;
    OpenPWMPage::Send(outa, QEvent::MouseButtonPress, r);
    OpenPWMPage::Send(outa, QEvent::MouseButtonRelease, r);
    QApplication::processEvents();
    Sweep sweep;
    const long paints0 = p.counter.paints, pixels0 = p.counter.pixels;
    for (auto _ : state) {
        OpenPWMPage::Send(outa, QEvent::MouseMove, sweep.Next());
        QApplication::processEvents();
    }
    p.Report(state, paints0, pixels0);
    state.SetLabel(p.page->logic.lblT1[0].toStdString());
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

// The mouse crosses a diagram away from its edges with nothing grabbed.
void BM_HoverMoveOverDiagram(benchmark::State& state) {
    OpenPWMPage p;
    PWMCanvas* outb = p.canvases[1];
    const long paints0 = p.counter.paints, pixels0 = p.counter.pixels;
    Sweep sweep;
    for (auto _ : state) {
        OpenPWMPage::Send(outb, QEvent::MouseMove, sweep.Next() + 200);  // the second period
        QApplication::processEvents();
    }
    p.Report(state, paints0, pixels0);
}
BENCHMARK(BM_HoverMoveOverDiagram)->Unit(benchmark::kMicrosecond);

// The mouse crosses the page between the diagrams.
void BM_HoverMoveOverPage(benchmark::State& state) {
    OpenPWMPage p;
    const long paints0 = p.counter.paints, pixels0 = p.counter.pixels;
    Sweep sweep;
    for (auto _ : state) {
        OpenPWMPage::Send(p.page, QEvent::MouseMove, sweep.Next());
        QApplication::processEvents();
    }
    p.Report(state, paints0, pixels0);
}
BENCHMARK(BM_HoverMoveOverPage)->Unit(benchmark::kMicrosecond);

}  // namespace

ZVC_OFFSCREEN_BENCHMARK_MAIN()
