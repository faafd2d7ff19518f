#include "fixture.h"

#include "link/register_access.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/frmSpy.h"
#include "shell/monitor_log.h"
#include "shell/monitor_view.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>


namespace {

const QString kTab = QStringLiteral("\t");

QString ReadLine(int dev, int reg, int value) {
    return MonitorLineText(AccessKind::Read, dev, reg, value);
}

class Monitor : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        RegisterShellWindows();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1200, 900);
        main->show();
    }
    void TearDown() override {
        delete main;
        RunFixture::TearDown();
    }
    frmSpy* Open() { return dynamic_cast<frmSpy*>(main->OpenTool(ToolKind::Spy)); }
    // The lines as the list shows them, once the event loop has passed.
    static QStringList Shown(frmSpy* spy) {
        QApplication::processEvents();
        QStringList out;
        QAbstractItemModel* m = spy->lstSpy->model();
        for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, 0)).toString();
        return out;
    }
    static void Click(QAbstractButton* b) { b->click(); }
    // Close, and let the closed window go as the event loop would.
    static void Close(frmSpy* spy) {
        spy->cmdClose->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    frmMain* main = nullptr;
};

TEST_F(Monitor, WindowAsLoaded) {
    frmSpy* spy = Open();
    ASSERT_NE(spy, nullptr);
    EXPECT_EQ(spy->windowTitle(), "Device I/O  Monitor");
    EXPECT_TRUE(Shared().SpyOpen);
    EXPECT_EQ(spy->chkReads->text(), "Show Reads");
    EXPECT_EQ(spy->chkWrites->text(), "Show Writes");
    EXPECT_EQ(spy->chkIgnoreContinuousReads->text(), "Ignore Polled Reads");
    EXPECT_FALSE(spy->chkReads->isChecked());
    EXPECT_FALSE(spy->chkWrites->isChecked());
    EXPECT_EQ(spy->cmdPause->text(), "Pause");
    EXPECT_EQ(spy->cmdClear->text(), "Clear");
    EXPECT_EQ(spy->cmdClose->text(), "Close");
    auto* sub = qobject_cast<QMdiSubWindow*>(spy->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(sub->size(), QSize(416, 445));  // 6240 x 6675 twips
}

TEST_F(Monitor, ExactLinesInBothModes) {
    for (bool simulation : {false, true}) {
        SCOPED_TRACE(simulation);
        RunFixture::TearDown();
        RunFixture::SetUp();
        if (simulation)
            EnterSimulation();
        else
            UseBoardWithChips({0x48});
        frmSpy* spy = Open();
        // Nothing is logged until a box is ticked.
        ReadRegister(0x48, 0x3D);
        WriteRegister(0x48, 0x20, 1);
        EXPECT_TRUE(Shown(spy).isEmpty());
        Click(spy->chkReads);
        Click(spy->chkWrites);
        ReadRegister(0x48, 0x3D);
        ReadRegister(0x48, 5);
        int data = 300;
        WriteRegisterVar(0x48, 0x20, data);
        EXPECT_EQ(Shown(spy), QStringList({"Read" + kTab + "Dev Addr=0x48" + kTab + "Addr Ptr=0x3D" + kTab + "Data In=0x41",
                                           "Read" + kTab + "Dev Addr=0x48" + kTab + "Addr Ptr=0x05" + kTab + "Data In=0x00",
                                           "Write" + kTab + "Dev Addr=0x48" + kTab + "Addr Ptr=0x20" + kTab + "Data Out=0xFF"}));
        Click(spy->cmdClear);
        EXPECT_TRUE(Shown(spy).isEmpty());
        Close(spy);
        EXPECT_FALSE(Shared().SpyOpen);
    }
}

TEST_F(Monitor, PauseSurvivesAReopen) {
    EnterSimulation();
    frmSpy* spy = Open();
    Click(spy->chkReads);
    Click(spy->cmdPause);
    EXPECT_TRUE(Shared().SpyPaused);
    EXPECT_EQ(spy->cmdPause->text(), "Start");
    ReadRegister(0x48, 0x3D);
    EXPECT_TRUE(Shown(spy).isEmpty());
    Close(spy);

    spy = Open();
    EXPECT_EQ(spy->cmdPause->text(), "Start");
    EXPECT_FALSE(spy->chkReads->isChecked());  // the boxes start unticked at every load
    Click(spy->chkReads);
    ReadRegister(0x48, 0x3D);
    EXPECT_TRUE(Shown(spy).isEmpty());
    Click(spy->cmdPause);
    EXPECT_EQ(spy->cmdPause->text(), "Pause");
    ReadRegister(0x48, 0x3D);
    EXPECT_EQ(Shown(spy), QStringList({ReadLine(0x48, 0x3D, 0x41)}));
}

TEST_F(Monitor, IgnorePolledReadsFiltersThePollAndSurvivesAReopen) {
    UseBoardWithChips({0x48});
    SetReadingScaleFactors();
    frmSpy* spy = Open();
    Click(spy->chkReads);
    PollReadings();
    EXPECT_EQ(Shown(spy), QStringList({ReadLine(0x48, 0x12, 0), ReadLine(0x48, 0x12, 0), ReadLine(0x48, 0x13, 0),
                                       ReadLine(0x48, 0x13, 0)}));
    Click(spy->cmdClear);
    Click(spy->chkIgnoreContinuousReads);
    EXPECT_TRUE(Shared().IgnorePolledReads);
    for (int i = 0; i < 5; ++i) PollReadings();  // phases 1 to 4, then 0
    QStringList expected;
    for (int reg : {0x18, 0x18, 0x00, 0x01, 0x02, 0x03, 0x10, 0x11, 0x13, 0x13}) expected << ReadLine(0x48, reg, 0);
    EXPECT_EQ(Shown(spy), expected);

    Close(spy);
    EXPECT_TRUE(Shared().IgnorePolledReads);
    spy = Open();
    EXPECT_TRUE(spy->chkIgnoreContinuousReads->isChecked());
    EXPECT_TRUE(Shown(spy).isEmpty());  // the lines went with the window
    Click(spy->chkIgnoreContinuousReads);
    EXPECT_FALSE(Shared().IgnorePolledReads);
}

TEST_F(Monitor, ClosingWithTheMainWindowStopsLogging) {
    EnterSimulation();
    frmSpy* spy = Open();
    Click(spy->chkReads);
    delete main;  // the children go without their own close
    main = nullptr;
    EXPECT_FALSE(Shared().SpyOpen);
    EXPECT_EQ(CurrentAccessMonitor(), nullptr);
    EXPECT_EQ(ReadRegister(0x48, 0x3D), 0x41);
}

TEST_F(Monitor, ListShowsTheLastPage) {
    EnterSimulation();
    frmSpy* spy = Open();
    Click(spy->chkReads);
    for (int i = 0; i < 1000; ++i) ReadRegister(0x48, i & 0xFF);
    QApplication::processEvents();
    MonitorListView* v = spy->lstSpy;
    EXPECT_EQ(v->model()->rowCount(), 1000);
    v->ScrollToBottom();
    EXPECT_EQ(v->FirstVisibleRow() + v->viewport()->height() / v->RowHeight(), 1000);
    EXPECT_FALSE(v->grab().isNull());
}

}  // namespace
