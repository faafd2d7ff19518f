#include "fixture.h"
#include "../pages/text_fit.h"

#include "core/numbers.h"
#include "shell/frmDevice.h"
#include "shell/frmMain.h"
#include "shell/frmMultiDevice.h"
#include "shell/program_icon.h"
#include "shell/qt_prompts.h"
#include "shell/shell_windows.h"
#include "core/twips.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QStringList>
#include <QToolBar>

namespace {

QStringList events;

// A page that records the protocol's calls, as every page will see them.
class RecordingPage : public PageWindow {
public:
    bool closeInSetup = false;
    void Form_Load() override { events << "load"; }
    void SetupFormAfterLoad() override {
        events << QStringLiteral("setup %1 visible=%2 device=%3").arg(windowTitle()).arg(IsShown()).arg(DeviceIndexOrNone());
        if (closeInSetup) Unload();
    }
    void Form_Unload() override { events << "unload"; }
    bool IsShown() const { return parentWidget() ? parentWidget()->isVisible() : isVisible(); }
};

class MainWindowTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        events.clear();
        RegisterShellWindows();
        RegisterPageFactory(PageKind::General, [] { return new RecordingPage; });
        RegisterPageFactory(PageKind::PWM, [this] {
            auto* p = new RecordingPage;
            p->closeInSetup = closeNextPage;
            return p;
        });
    }
    void TearDown() override {
        if (main) {
            main->close();
            QApplication::processEvents();
        }
        delete chooser.data();
        RegisterPageFactory(PageKind::General, {});
        RegisterPageFactory(PageKind::PWM, {});
        SetMainForm(nullptr);
        RunFixture::TearDown();
    }
    // The chooser's OK, as the user presses it.
    void ChooseOK() {
        chooser = new frmMultiDevice;
        chooser->show();
        chooser->cmdOK->click();
        main = MainForm();
        ASSERT_TRUE(main);
    }
    QStringList ChildTitles() const {
        QStringList t;
        for (QMdiSubWindow* s : main->MdiArea()->subWindowList()) t << s->windowTitle();
        return t;
    }
    bool closeNextPage = false;
    QPointer<frmMultiDevice> chooser;
    QPointer<frmMain> main;
};

}  // namespace

TEST_F(MainWindowTest, ChooserListsTheDevicesFound) {
    struct Case {
        std::vector<int> chips;
        QStringList lines;
    } cases[] = {{{0x48}, {"ZVC7140 at address 0x48"}},
                 {{0x48, 0x4A}, {"ZVC7140 at address 0x48", "ZVC7140 at address 0x4A"}},
                 {{0x05}, {"ZVC7140 at address 0x5"}}};
    for (const Case& c : cases) {
        ResetRunState();
        for (int a : c.chips) {
            Shared().DeviceAddress[static_cast<size_t>(Shared().DeviceCount++)] = static_cast<uint8_t>(a);
        }
        frmMultiDevice dlg;
        EXPECT_EQ(dlg.windowTitle(), "ZVC7140 Devices Found");
        EXPECT_EQ(dlg.Label1->text(), "The following devices have  been detected:");
        QStringList lines;
        for (int i = 0; i < dlg.lstDevices->count(); ++i) lines << dlg.lstDevices->item(i)->text();
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_F(MainWindowTest, OKInSimulationOpensTheMainWindowAndTheFirstBlockDiagram) {
    EnterSimulation();
    ChooseOK();
    EXPECT_EQ(main->windowTitle(), "ZVC7140 Evaluation Software (simulation mode)");
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(chooser.isNull() || !chooser->isVisible());

    QStringList menus;
    for (QAction* a : main->menuBar()->actions()) menus << a->text() + (a->isEnabled() ? "" : " (greyed)");
    EXPECT_EQ(menus, QStringList({"&File", "Device&1", "Device&2 (greyed)", "&Common", "&Window"}));
    QStringList items;
    for (QAction* a : main->mnuDevice[0]->actions()) items << a->text();
    EXPECT_EQ(items, QStringList({"Block Diagram", "General Settings", "PWM Control", "Digital Filter",
                                  "Readings and Limits", "Current Sense Settings", "Voltage Sense Settings",
                                  "Share Bus Settings", "OrFET Control"}));
    QStringList buttons;
    for (QAction* a : main->tbToolBar->actions())
        buttons << (a->isSeparator() ? QStringLiteral("|") : a->text() + (a->isEnabled() ? "" : " (greyed)"));
    EXPECT_EQ(buttons, QStringList({"Reg", "File", "Spy", "|", "|", "Dev1", "Dev2 (greyed)"}));

    EXPECT_EQ(ChildTitles(), QStringList{"ZVC7140 at SMBus Address = 0x48"});
    EXPECT_TRUE(Shared().DeviceFormOpen[0]);
    EXPECT_TRUE(main->MasterTimerRunning());
    EXPECT_EQ(Shared().RegTable.size(), 132u);
    EXPECT_FLOAT_EQ(Shared().DefaultScaleFactors.InputVoltageScale, 670);
    EXPECT_FLOAT_EQ(Shared().Devices[0].LoopModel.ESR[1], 10000000);
    EXPECT_FLOAT_EQ(Shared().Devices[1].LoopModel.Duty, 80);
    EXPECT_FALSE(Shared().Devices[1].LoopModel.L2C2Enabled);
    EXPECT_EQ(Shared().SavedTopologyIndex, -1);
}

TEST_F(MainWindowTest, TwoDevicesKeepTheSecondMenu) {
    UseBoardWithChips({0x48, 0x4A});
    ChooseOK();
    EXPECT_EQ(main->windowTitle(), "ZVC7140 Evaluation Software");
    EXPECT_TRUE(main->mnuDevice[1]->menuAction()->isEnabled());
    EXPECT_TRUE(main->tbButtons[6]->isEnabled());
    main->tbToolBar_ButtonClick("Device2");
    EXPECT_EQ(ChildTitles(), QStringList({"ZVC7140 at SMBus Address = 0x48", "ZVC7140 at SMBus Address = 0x4A"}));
    EXPECT_TRUE(Shared().DeviceFormOpen[1]);
    EXPECT_TRUE(board.Log.empty());  // opening windows writes nothing
}

TEST_F(MainWindowTest, PageOpeningProtocol) {
    UseBoardWithChips({0x48, 0x4A});
    ChooseOK();
    events.clear();
    PageWindow* page = main->OpenDevicePage(PageKind::General, 1);
    ASSERT_TRUE(page);
    EXPECT_EQ(events, QStringList({"load", "setup General Settings (0x4A) visible=0 device=1"}));
    EXPECT_TRUE(page->parentWidget()->isVisible());
    EXPECT_EQ(page->PageAddress(), 0x4A);

    // Again: no second window, set up anew, brought forward.
    main->OpenDevicePage(PageKind::Device, 0);
    events.clear();
    EXPECT_EQ(main->OpenDevicePage(PageKind::General, 1), page);
    EXPECT_EQ(events, QStringList({"setup General Settings (0x4A) visible=1 device=1"}));
    EXPECT_EQ(main->MdiArea()->activeSubWindow(), page->parentWidget());
    EXPECT_EQ(ChildTitles().count("General Settings (0x4A)"), 1);

    // Closing unloads it once; the next opening loads a new instance.
    events.clear();
    page->Unload();
    QApplication::processEvents();
    EXPECT_EQ(events, QStringList({"unload"}));
    EXPECT_FALSE(main->Form(PageKind::General, 1));
    main->OpenDevicePage(PageKind::General, 1);
    EXPECT_EQ(events.mid(1), QStringList({"load", "setup General Settings (0x4A) visible=0 device=1"}));
}

TEST_F(MainWindowTest, ThePageTellsItsDeviceFromTheCaption) {
    UseBoardWithChips({0x48, 0x4A});
    ChooseOK();
    // The block diagram gives its own address to the pages it opens.
    PageWindow* page = main->OpenDevicePage(PageKind::General, 0, "General Settings (0x", 0x4A);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->DeviceIndexOrNone(), 1);
    page->setWindowTitle("General Settings (0x3F)");
    EXPECT_EQ(page->DeviceIndexOrNone(), -1);
    EXPECT_EQ(AddressFromCaption("ZVC7140 at SMBus Address = 0x5"), 5);
    EXPECT_EQ(AddressFromCaption("Limits and Graphs (0x4A)"), 0x4A);
}

TEST_F(MainWindowTest, APageThatClosesItselfDuringSetUpIsNotShown) {
    EnterSimulation();
    ChooseOK();
    closeNextPage = true;
    events.clear();
    EXPECT_EQ(main->OpenDevicePage(PageKind::PWM, 0), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(events.last(), "unload");
    EXPECT_FALSE(ChildTitles().contains("PWM Output Control (0x48)"));
}

TEST_F(MainWindowTest, PagesNotBuiltOpenNothing) {
    EnterSimulation();
    ChooseOK();
    EXPECT_EQ(main->OpenDevicePage(PageKind::OrFET, 0), nullptr);
    main->tbToolBar_ButtonClick("Spy");  // may not exist yet: nothing happens
    EXPECT_EQ(main->OpenDevicePage(PageKind::General, 5), nullptr);
}

TEST_F(MainWindowTest, ClosingTheMainWindowUnloadsEveryChild) {
    EnterSimulation();
    ChooseOK();
    main->OpenDevicePage(PageKind::General, 0);
    events.clear();
    main->close();
    QApplication::processEvents();
    EXPECT_EQ(events, QStringList{"unload"});
    EXPECT_FALSE(Shared().DeviceFormOpen[0]);
    EXPECT_FALSE(MainForm());
}

// As on any desktop: the window that comes forward when one closes is the one the user had
// active before it, whatever order the windows were opened in.
TEST_F(MainWindowTest, ClosingAWindowBringsForwardTheOneActiveBeforeIt) {
    UseBoardWithChips({0x48, 0x4A});
    ChooseOK();
    QMdiArea* mdi = main->MdiArea();
    auto frame = [](PageWindow* w) { return w ? w->parentWidget() : nullptr; };
    auto front = [mdi]() -> QWidget* {
        const QList<QMdiSubWindow*> stack = mdi->subWindowList(QMdiArea::StackingOrder);
        return stack.isEmpty() ? nullptr : stack.last();
    };
    PageWindow* first = main->Form(PageKind::Device, 0);
    PageWindow* second = main->OpenDevicePage(PageKind::Device, 1);
    main->findChild<QAction*>(QStringLiteral("mnuRegMap"))->trigger();
    PageWindow* regMap = main->Tool(ToolKind::RegMap);
    main->findChild<QAction*>(QStringLiteral("mnuSpy"))->trigger();
    PageWindow* monitor = main->Tool(ToolKind::Spy);
    ASSERT_TRUE(first && second && regMap && monitor);
    ASSERT_EQ(mdi->activeSubWindow(), frame(monitor));
    // The Window menu lists them in the order they were opened, as before.
    EXPECT_EQ(ChildTitles(), QStringList({first->windowTitle(), second->windowTitle(), regMap->windowTitle(),
                                          monitor->windowTitle()}));

    monitor->Unload();
    QApplication::processEvents();
    EXPECT_EQ(mdi->activeSubWindow(), frame(regMap));
    EXPECT_EQ(front(), frame(regMap));

    // The user brings the first block diagram forward and closes it with its close box.
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(frame(first)));
    ASSERT_EQ(front(), frame(first));
    qobject_cast<QMdiSubWindow*>(frame(first))->close();
    QApplication::processEvents();
    EXPECT_EQ(mdi->activeSubWindow(), frame(regMap));
    EXPECT_EQ(front(), frame(regMap));

    regMap->Unload();
    QApplication::processEvents();
    EXPECT_EQ(mdi->activeSubWindow(), frame(second));
    EXPECT_EQ(front(), frame(second));
}

TEST_F(MainWindowTest, CancelEndsTheProgram) {
    EnterSimulation();
    chooser = new frmMultiDevice;
    chooser->show();
    EXPECT_THROW(chooser->cmdCancel_Click(), ProgramEnded);
}

TEST_F(MainWindowTest, TheTimerTickDrivesOpenPages) {
    EnterSimulation();
    ChooseOK();
    main->StopMasterTimer();
    clock.AutoStep = 0;
    clock.Now = 1000;
    int shown = 0;
    class Values : public RecordingPage {
    public:
        int* count;
        void DisplayValues() override { ++*count; }
    };
    RegisterPageFactory(PageKind::CurrentSense, [&shown] {
        auto* p = new Values;
        p->count = &shown;
        return p;
    });
    main->OpenDevicePage(PageKind::CurrentSense, 0);
    Shared().CurrentSenseFormOpen[0] = true;
    for (int i = 0; i < 30; ++i) {
        clock.Now += 0.05;
        main->tmrMaster_Timer();
    }
    EXPECT_EQ(shown, 3);
    RegisterPageFactory(PageKind::CurrentSense, {});
}

namespace {

void PressEnter(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(target, &press);
}

// Enter in the chooser presses OK, wherever the focus is but on Cancel, which Enter presses.
TEST_F(MainWindowTest, EnterInTheChooserPressesOK) {
    EnterSimulation();
    chooser = new frmMultiDevice;
    chooser->show();
    EXPECT_EQ(CutTexts(chooser), QStringList());
    chooser->lstDevices->setFocus();
    PressEnter(chooser->lstDevices);
    main = MainForm();
    ASSERT_TRUE(main);
    EXPECT_EQ(ChildTitles(), QStringList{"ZVC7140 at SMBus Address = 0x48"});
    EXPECT_TRUE(chooser.isNull() || !chooser->isVisible());
}

// (Cancel's own handler ends the program, which a test cannot let happen inside an event.)
TEST_F(MainWindowTest, EnterOnTheFocusedCancelPressesCancel) {
    EnterSimulation();
    chooser = new frmMultiDevice;
    chooser->show();
    QObject::disconnect(chooser->cmdCancel, &QPushButton::clicked, chooser, nullptr);
    int cancels = 0;
    QObject::connect(chooser->cmdCancel, &QPushButton::clicked, [&cancels] { ++cancels; });
    chooser->cmdCancel->setFocus();
    PressEnter(chooser->cmdCancel);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(MainForm());
}

// Where CenterForm puts a child of the main window at its present size.
QPoint CentredIn(const frmMain* main, const QWidget* sub) {
    const int left = main->frameGeometry().width() / 2 - sub->frameGeometry().width() / 2;
    const int top = main->frameGeometry().height() / 2 - sub->frameGeometry().height() / 2 - TwipsToPixels(1000);
    return {std::max(0, left), std::max(0, top)};
}

// The first block diagram stays centred while the main window takes its final size, until the
// user moves it.
TEST_F(MainWindowTest, FirstBlockDiagramIsCentredOnTheFinalSize) {
    EnterSimulation();
    ChooseOK();
    QMdiSubWindow* sub = main->MdiArea()->subWindowList().value(0);
    ASSERT_TRUE(sub);
    main->setWindowState(Qt::WindowNoState);
    for (QSize size : {QSize(1000, 760), QSize(1500, 1100)}) {
        main->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(main->size(), size);
        EXPECT_EQ(sub->pos(), CentredIn(main, sub)) << size.width();
    }
    const QPoint moved(12, 34);
    sub->move(moved);
    main->resize(1200, 900);
    QApplication::processEvents();
    EXPECT_EQ(sub->pos(), moved);
}

// Every window shows the program's icon, the page frames inside the main window too.
TEST_F(MainWindowTest, WindowsShowTheProgramIcon) {
    const QIcon before = QApplication::windowIcon();
    QApplication::setWindowIcon(ProgramIcon());
    EnterSimulation();
    ChooseOK();
    const QImage icon = ProgramIcon().pixmap(16, 16).toImage();
    EXPECT_FALSE(icon.isNull());
    QMdiSubWindow* sub = main->MdiArea()->subWindowList().value(0);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->windowIcon().pixmap(16, 16).toImage(), icon);
    EXPECT_EQ(main->windowIcon().pixmap(16, 16).toImage(), icon);
    QApplication::setWindowIcon(before);
}

}  // namespace

namespace {

// The platform sizes a message box for its text and buttons only: our boxes are at least as wide
// as their title needs, and a box with wider text keeps its own width.
TEST(MessageBoxes, AreWideEnoughForTheirWholeTitle) {
    struct Case {
        const char* text;
        const char* title;
    };
    const Case cases[] = {
        {"Apply?", "ZVC7140 Evaluation Software"},
        {"No ZVC7140 devices found - Continue in simulation mode?", "ZVC7140 Evaluation Software"},
        {"OK", "A considerably longer title than any box text, to be read whole"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QMessageBox> box = MakeMessageBox(QString::fromLatin1(c.text), MsgButtons::YesNo, MsgIcon::None,
                                                          QString::fromLatin1(c.title), nullptr);
        box->show();
        QApplication::processEvents();
        EXPECT_GE(box->width(), MessageBoxTitleWidth(box->windowTitle(), box->font())) << c.title;
        const int textWidth = QFontMetrics(box->font()).horizontalAdvance(QString::fromLatin1(c.text));
        EXPECT_GE(box->width(), std::min(textWidth, 500)) << c.text;
        EXPECT_EQ(box->windowTitle(), QString::fromLatin1(c.title));
        EXPECT_EQ(box->text(), QString::fromLatin1(c.text));
    }
}

}  // namespace
