#include "fixture.h"
#include "font_size.h"

#include "link/register_access.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/frmSpy.h"
#include "shell/monitor_log.h"
#include "shell/monitor_view.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>


namespace {

const QString kTab = QStringLiteral("\t");

QString ReadLine(int dev, int reg, int value) {
    return MonitorLineText(AccessKind::Read, dev, reg, value);
}

// The areas a widget was asked to paint.
class PaintLog : public QObject {
public:
    explicit PaintLog(QWidget* w) { w->installEventFilter(this); }
    std::vector<QRect> rects;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
        return false;
    }
};

// Passes of the event loop enough for the list and its scroll bar to come to rest.
void Settle() {
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
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

TEST_F(Monitor, RepaintsOnlyRowsThatChangeOnScreen) {
    EnterSimulation();
    frmSpy* spy = Open();
    Click(spy->chkReads);
    MonitorListView* v = spy->lstSpy;
    Settle();
    PaintLog rows(v->viewport()), bar(v->verticalScrollBar());
    const int h = v->RowHeight();
    const int page = v->viewport()->height() / h;
    ASSERT_GT(page, 10);

    // Lines of one pass of the event loop come in one paint of their own rows.
    for (int i = 0; i < 3; ++i) ReadRegister(0x48, i);
    Settle();
    EXPECT_EQ(rows.rects, std::vector<QRect>({QRect(0, 0, v->viewport()->width(), 3 * h)}));
    rows.rects.clear();
    ReadRegister(0x48, 3);
    Settle();
    EXPECT_EQ(rows.rects, std::vector<QRect>({QRect(0, 3 * h, v->viewport()->width(), h)}));

    // A pass without new lines, and lines below the last row shown, paint no row.
    for (int i = 4; i < 5000; ++i) ReadRegister(0x48, i & 0xFF);
    Settle();
    rows.rects.clear();
    bar.rects.clear();
    const int range = v->verticalScrollBar()->maximum();
    Settle();
    EXPECT_TRUE(bar.rects.empty());
    for (int i = 0; i < 5; ++i) ReadRegister(0x48, 0x12);
    Settle();
    EXPECT_TRUE(rows.rects.empty());
    EXPECT_EQ(v->verticalScrollBar()->maximum(), range + 5);
    // Nor does the scroll bar paint again when its slider keeps its place to the pixel.
    EXPECT_TRUE(bar.rects.empty());

    // Scrolling by a few rows paints only the rows that come into view.
    v->ScrollToRow(2);
    Settle();
    EXPECT_EQ(rows.rects.size(), 1u);
    if (!rows.rects.empty()) {
        EXPECT_LE(rows.rects[0].height(), 3 * h);
    }
    EXPECT_FALSE(bar.rects.empty());
}

// The list as painted bit by bit on screen is the list painted whole, at every step.
TEST_F(Monitor, PaintedBitByBitMatchesAWholeRepaint) {
    EnterSimulation();
    frmSpy* spy = Open();
    Click(spy->chkReads);
    Click(spy->chkWrites);
    MonitorListView* v = spy->lstSpy;
    Settle();
    const int page = v->viewport()->height() / v->RowHeight();
    int n = 0;
    auto add = [&n](int lines) {
        for (int i = 0; i < lines; ++i, ++n) {
            if (n % 3 == 2)
                WriteRegister(0x48, 0x40 + (n & 0x3F), n * 7);
            else
                ReadRegister(n % 5 ? 0x48 : 0x7F, n & 0xFF);
        }
        Settle();
    };
    auto scrollTo = [v](int row) {
        v->ScrollToRow(row);
        Settle();
    };
    auto screenMatchesWhole = [this, v](const char* step) {
        SCOPED_TRACE(step);
        const QPoint at = v->mapTo(main, QPoint(0, 0));
        const QImage onScreen = main->screen()
                                    ->grabWindow(main->winId(), at.x(), at.y(), v->width(), v->height())
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        const QImage whole = v->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(onScreen.size(), whole.size());
        EXPECT_TRUE(onScreen == whole);
    };
    add(2);
    add(5);
    screenMatchesWhole("lines added to a short list");
    add(page);
    screenMatchesWhole("the screen filled, the scroll bar come");
    add(40);
    scrollTo(3);
    screenMatchesWhole("scrolled by three rows");
    add(7);
    scrollTo(1);
    screenMatchesWhole("lines below the screen, scrolled back");
    v->ScrollToBottom();
    Settle();
    add(9);
    scrollTo(v->FirstVisibleRow() - 4);
    screenMatchesWhole("at the end, lines below, scrolled back");
}

// Every field of the widest lines shows in its own column, and the whole line fits the window
// at the size it opens with, the scroll bar beside it, at the common desktop fonts.
TEST_F(Monitor, ColumnsFitTheWidestLinesAtTheWindowsSize) {
    EnterSimulation();
    for (double points : {9.0, 10.0, 11.0, 12.0, 14.0}) {
        const FontSize font(points);
        frmSpy* spy = Open();
        Click(spy->chkReads);
        for (int i = 0; i < 200; ++i) ReadRegister(0x48, i);
        Settle();
        MonitorListView* v = spy->lstSpy;
        ASSERT_TRUE(v->verticalScrollBar()->isVisible()) << points;
        EXPECT_LE(v->ContentWidth(), v->viewport()->width()) << points;
        EXPECT_EQ(v->horizontalScrollBar()->maximum(), 0) << points;
        const QFontMetrics fm = v->fontMetrics();
        const auto& col = v->Columns();
        for (int dev : {0x00, 0x48, 0x4A, 0x7F})
            for (int value : {0x00, 0x88, 0xDD, 0xFF})
                for (AccessKind kind : {AccessKind::Read, AccessKind::Write}) {
                    const QStringList fields = MonitorLineText(kind, dev, value, value).split(u'\t');
                    ASSERT_EQ(fields.size(), 4);
                    for (int f = 0; f < 4; ++f) {
                        const int end = f < 3 ? col[static_cast<size_t>(f) + 1] : v->ContentWidth();
                        EXPECT_LT(col[static_cast<size_t>(f)] + fm.horizontalAdvance(fields[f]), end)
                            << fields[f].toStdString() << " at " << points << " pt";
                    }
                }
        Close(spy);
    }
}

}  // namespace
