// The filter page's Bode plot with all seven curves and the marker captions shown, at the
// page's normal size: a repaint after the model changed (the curves must be drawn again), a
// repaint with nothing changed, and one step of a pole drag (the move event and the paint it
// causes).
#include "core/run_state.h"
#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/filter_registry.h"
#include "filter/frmDigFilter.h"
#include "link/startup.h"
#include "registers/session.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

#include "offscreen_main.h"
#include "paint_counter.h"

namespace {


struct OpenFilterPage {
    frmMain* main = nullptr;
    frmDigFilter* page = nullptr;
    BodeCanvas* canvas = nullptr;
    PaintCounter counter;

    OpenFilterPage() {
        ResetRunState();
        SimulationSetup();
        SetLoopModelDefaults();
        auto& r = Shared().SimRegs;
        r[0x5D] = 0x92;
        r[0x3C] = 0xF9;
        const uint8_t ccm[] = {3, 238, 150, 15}, dcm[] = {5, 230, 120, 20};
        for (size_t i = 0; i < 4; ++i) {
            r[0x60 + i] = ccm[i];
            r[0x64 + i] = dcm[i];
        }
        RegisterFilterPages();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 900);
        main->show();
        page = static_cast<frmDigFilter*>(main->OpenDevicePage(PageKind::DigFilter, 0));
        canvas = page->pctFilter;
        for (const char* name : {"chkLCFilter", "chkLCFilterPhase", "chkFullLoop", "chkFullLoopPhase", "chkFB",
                                 "chkFBPhase", "chkShowLabels"}) {
            auto* box = page->findChild<QCheckBox*>(QString::fromLatin1(name));
            if (box && !box->isChecked()) box->click();
        }
        QApplication::processEvents();
        canvas->installEventFilter(&counter);
    }
    ~OpenFilterPage() {
        canvas->removeEventFilter(&counter);
        delete main;
        SetMainForm(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetRunState();
    }

    void Mouse(QEvent::Type type, QPointF twips) {
        const QPointF px = twips / TwipsPerPixel();
        const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, px, canvas->mapToGlobal(px), b, b == Qt::NoButton ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(canvas, &e);
    }
};

void Report(benchmark::State& state, const OpenFilterPage& p) {
    state.counters["curves"] = static_cast<double>(p.page->logic.Curves.size());
    state.counters["paints_per_step"] =
        benchmark::Counter(static_cast<double>(p.counter.paints), benchmark::Counter::kAvgIterations);
}

// The model changes outside the timed region; the paint then has to draw the curves again.
void BM_RepaintAfterModelChange(benchmark::State& state) {
    OpenFilterPage p;
    auto* vin = p.page->findChild<QLineEdit*>(QStringLiteral("txtVin"));
    bool low = false;
    for (auto _ : state) {
        state.PauseTiming();
        low = !low;
        vin->setText(low ? QStringLiteral("399") : QStringLiteral("400"));
        emit vin->textEdited(vin->text());
        state.ResumeTiming();
        p.canvas->repaint();
    }
    Report(state, p);
}
BENCHMARK(BM_RepaintAfterModelChange)->Unit(benchmark::kMicrosecond);

// Nothing changed since the last paint.
void BM_RepaintUnchanged(benchmark::State& state) {
    OpenFilterPage p;
    for (auto _ : state) p.canvas->repaint();
    Report(state, p);
}
BENCHMARK(BM_RepaintUnchanged)->Unit(benchmark::kMicrosecond);

// The pole is grabbed and follows the pointer between two allowed places, two dB apart.
void BM_PoleDragStep(benchmark::State& state) {
    OpenFilterPage p;
    const MarkerShape pole = p.page->logic.Plot.Markers.shpPole;
    const QPointF a(pole.CentreX(), pole.CentreY()), b(pole.CentreX() + 150, pole.CentreY() - 84);
    p.Mouse(QEvent::MouseButtonPress, a);
    p.Mouse(QEvent::MouseButtonRelease, a);
    QApplication::processEvents();
    p.counter.paints = 0;
    bool there = false;
    for (auto _ : state) {
        there = !there;
        p.Mouse(QEvent::MouseMove, there ? b : a);
        QApplication::processEvents();
    }
    Report(state, p);
    state.counters["grabbed"] = p.page->logic.Drag.Pole.Grabbed() ? 1 : 0;
}
BENCHMARK(BM_PoleDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

ZVC_OFFSCREEN_BENCHMARK_MAIN()
