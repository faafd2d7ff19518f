// What the master timer's refreshes and the status-bar clock repaint: nothing when nothing shown
// changed, and only the widgets of a reading that did, in their own area.
#include "fixture.h"
#include "../pages/paint_counter.h"

#include "app/wiring.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/frmRegMap.h"
#include "shell/frmSpy.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QStatusBar>
#include <set>

namespace {

QRegion InWindow(const QWidget* w, const QWidget* top, const QRegion& r) { return r.translated(w->mapTo(top, QPoint(0, 0))); }

class RefreshPaints : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        savedClock_ = SystemLocalClock();
        SystemLocalClock() = LocalClock([this] { return utc_; }, [](qint64) { return 3600; });
        flashTime_ = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);  // no caret blinks between the refreshes
        UseBoardWithChips({0x48, 0x4A});
        board.Regs(0x48)[0x18] = 0x40;  // output current
        SetReadingScaleFactors();
        RegisterAllWindows();
        main = new frmMain;
        SetMainForm(main);
        main->resize(2700, 1400);
        main->show();
        // Every window side by side, so that each one's changes reach the screen.
        const struct {
            PageKind kind;
            int device, x, y;
        } pages[] = {{PageKind::Device, 0, 0, 0},          {PageKind::Device, 1, 900, 0},
                     {PageKind::VoltageSense, 0, 0, 650},  {PageKind::CurrentSense, 0, 560, 650},
                     {PageKind::VoltageSense, 1, 1290, 650}};
        for (const auto& p : pages) Frame(main->OpenDevicePage(p.kind, p.device))->move(p.x, p.y);
        regmap = qobject_cast<frmRegMap*>(main->OpenTool(ToolKind::RegMap, true));
        Frame(regmap)->move(1800, 0);
        regmap->Logic().AddrPtrText = QStringLiteral("18");
        regmap->Logic().DeviceIndex = 0;
        regmap->findChild<QCheckBox*>(QStringLiteral("chkContRead"))->click();
        spy = qobject_cast<frmSpy*>(main->OpenTool(ToolKind::Spy));
        Frame(spy)->move(1850, 650);
        PaintNow();
        RunTimer(2.0);  // every value shown once
        paints.Watch(main);
        paints.WatchAll<QWidget>(main);
        paints.Clear();
    }
    void TearDown() override {
        delete main;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::setCursorFlashTime(flashTime_);
        SystemLocalClock() = savedClock_;
        RunFixture::TearDown();
    }
    static QWidget* Frame(PageWindow* page) {
        EXPECT_NE(page, nullptr);
        return page->parentWidget();
    }
    // Master timer ticks 50 ms apart over the given time, then the event loop's repaint.
    void RunTimer(double seconds) {
        for (double t = 0; t < seconds; t += 0.05) {
            clock.Now += 0.05;
            main->tmrMaster_Timer();
        }
        PaintNow();
    }
    // Exactly these widgets were painted, and nothing else was painted outside them (the widgets
    // under a box that is not opaque paint the box's area with it).
    void ExpectPaintedOnly(const std::set<QWidget*>& expected) {
        QRegion allowed;
        QStringList names;
        for (QWidget* w : expected) {
            allowed += InWindow(w, main, w->rect());
            names << PaintCounter::Name(w);
        }
        QStringList painted;
        for (auto it = paints.areas.begin(); it != paints.areas.end(); ++it) {
            auto* w = static_cast<const QWidget*>(it.key());
            EXPECT_TRUE((InWindow(w, main, it.value()) - allowed).isEmpty())
                << "painted outside what changed: " << PaintCounter::Name(w).toStdString();
            if (expected.count(const_cast<QWidget*>(w))) painted << PaintCounter::Name(w);
        }
        names.sort();
        painted.sort();
        EXPECT_EQ(painted, names);
    }
    template <class W = QLabel>
    W* Child(PageWindow* page, const char* name) {
        auto* w = page->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    qint64 utc_ = QDateTime(QDate(2024, 5, 1), QTime(9, 30, 10), Qt::UTC).toMSecsSinceEpoch();
    LocalClock savedClock_;
    int flashTime_ = 0;
    frmMain* main = nullptr;
    frmRegMap* regmap = nullptr;
    frmSpy* spy = nullptr;
    PaintCounter paints;
};

TEST_F(RefreshPaints, ARefreshThatChangesNothingPaintsNothing) {
    ASSERT_FALSE(Child(main->Form(PageKind::Device, 0), "lblOutputCurrent")->text().isEmpty());
    RunTimer(2.0);
    EXPECT_EQ(paints.Painted(), QStringList());
    // The clock in the status bar: a new second repaints the time alone.
    QLabel* time = main->statusBar()->findChildren<QLabel*>().back();
    main->RefreshStatusClock();
    PaintNow();
    EXPECT_EQ(paints.Painted(), QStringList());
    utc_ += 1000;
    main->RefreshStatusClock();
    PaintNow();
    ExpectPaintedOnly({time});
    EXPECT_EQ(paints.count.value(main->statusBar()), 0) << "the panel is opaque: the bar stays as it is";
}

// The status-bar clock rides on the master timer's ticks while they run: a new minute shows at the
// next tick, and repaints the time alone.
TEST_F(RefreshPaints, TheClockShowsANewTimeAtTheNextTick) {
    QLabel* time = main->statusBar()->findChildren<QLabel*>().back();
    utc_ += 60000;
    clock.Now += 0.05;
    main->tmrMaster_Timer();
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(utc_, Qt::OffsetFromUTC, 3600);
    EXPECT_EQ(time->text(), QLocale().toString(local.time(), QLocale::ShortFormat));
    PaintNow();
    ExpectPaintedOnly({time});
}

// A new output current of the first chip: its value boxes on the block diagram and the current-sense
// page, and the register map's value and changed bits, repaint; the pictures under them and every
// other window do not, and nothing paints outside those widgets.
TEST_F(RefreshPaints, ANewReadingRepaintsOnlyItsOwnWidgets) {
    board.Regs(0x48)[0x18] = 0x50;
    RunTimer(1.0);
    PageWindow* device = main->Form(PageKind::Device, 0);
    PageWindow* current = main->Form(PageKind::CurrentSense, 0);
    EXPECT_EQ(Child(device, "lblOutputCurrent")->text(), QStringLiteral(" 1.03A"));
    // 0x404 becomes 0x505, shown as its 16 bits 0x4040 and 0x5050: bits 4 and 12 change.
    const std::set<QWidget*> expected = {Child(device, "lblOutputCurrent"), Child(current, "lblCS2Val"),
                                   Child(regmap, "lblHexVal"),       Child(regmap, "lblDecVal"),
                                   Child(regmap, "lblBit4"),          Child(regmap, "lblBit12")};
    ExpectPaintedOnly(expected);
    // The drawings under the value boxes are dear to paint: the boxes cover them.
    for (QWidget* picture : {static_cast<QWidget*>(device->findChild<QWidget*>(QStringLiteral("pctDevice"))),
                             current->findChild<QWidget*>(QStringLiteral("Picture1"))})
        EXPECT_EQ(paints.count.value(picture), 0) << PaintCounter::Name(picture).toStdString();
}

}  // namespace
