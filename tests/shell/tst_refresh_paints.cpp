// What the master timer's refreshes and the status-bar clock repaint: nothing when nothing shown
// changed, and only the widgets of a reading that did, in their own area.
#include "fixture.h"

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
#include <map>
#include <set>

namespace {

// Every paint of a window and its children since the last Clear, in the window's coordinates.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* top) : top_(top) {
        top->installEventFilter(this);
        for (QWidget* w : top->findChildren<QWidget*>()) w->installEventFilter(this);
    }
    void Clear() { painted.clear(); }
    std::set<QWidget*> Widgets() const {
        std::set<QWidget*> s;
        for (const auto& [w, r] : painted) s.insert(w);
        return s;
    }
    QRegion Area(QWidget* w) const { return painted.count(w) ? painted.at(w) : QRegion(); }
    QRegion InTop(QWidget* w) const { return QRegion(QRect(w->mapTo(top_, QPoint(0, 0)), w->size())); }
    std::map<QWidget*, QRegion> painted;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            auto* w = static_cast<QWidget*>(o);
            painted[w] += static_cast<QPaintEvent*>(e)->region().translated(w->mapTo(top_, QPoint(0, 0)));
        }
        return false;
    }

private:
    QWidget* top_;
};

std::string Names(const std::set<QWidget*>& widgets) {
    std::string s;
    for (QWidget* w : widgets)
        s += (w->objectName().isEmpty() ? std::string(w->metaObject()->className()) : w->objectName().toStdString()) + " ";
    return s;
}

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

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
        Settle();
        RunTimer(2.0);  // every value shown once
        Settle();
        paints = std::make_unique<PaintRecorder>(main);
    }
    void TearDown() override {
        paints.reset();
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
        Settle();
    }
    // Exactly these widgets were painted, and nothing else was painted outside them (the widgets
    // under a box that is not opaque paint the box's area with it).
    void ExpectPaintedOnly(const std::set<QWidget*>& expected) {
        QRegion allowed;
        for (QWidget* w : expected) allowed += paints->InTop(w);
        std::set<QWidget*> painted;
        for (QWidget* w : paints->Widgets()) {
            EXPECT_TRUE((paints->Area(w) - allowed).isEmpty()) << "painted outside what changed: " << Names({w});
            if (expected.count(w)) painted.insert(w);
        }
        EXPECT_EQ(Names(painted), Names(expected));
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
    std::unique_ptr<PaintRecorder> paints;
};

TEST_F(RefreshPaints, ARefreshThatChangesNothingPaintsNothing) {
    ASSERT_FALSE(Child(main->Form(PageKind::Device, 0), "lblOutputCurrent")->text().isEmpty());
    RunTimer(2.0);
    EXPECT_EQ(Names(paints->Widgets()), "");
    // The clock in the status bar: a new second repaints the time alone.
    QLabel* time = main->statusBar()->findChildren<QLabel*>().back();
    main->RefreshStatusClock();
    Settle();
    EXPECT_EQ(Names(paints->Widgets()), "");
    utc_ += 1000;
    main->RefreshStatusClock();
    Settle();
    ExpectPaintedOnly({time});
    EXPECT_EQ(paints->painted.count(main->statusBar()), 0u) << "the panel is opaque: the bar stays as it is";
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
        EXPECT_EQ(paints->painted.count(picture), 0u) << Names({picture});
}

}  // namespace
