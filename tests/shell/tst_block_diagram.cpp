#include "fixture.h"
#include "font_size.h"
#include "../pages/text_fit.h"

#include "core/twips.h"
#include "registers/readings.h"
#include "shell/block_diagram_layout.h"
#include "shell/block_diagram_picture.h"
#include "shell/frmDevice.h"
#include "shell/frmMain.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <cmath>


namespace {

// A stand-in for the pages the blocks open.
class FakePage : public PageWindow {
public:
    int setups = 0;
    void SetupFormAfterLoad() override { ++setups; }
};

const PageKind kPageKinds[] = {PageKind::General, PageKind::PWM,          PageKind::DigFilter,
                               PageKind::Limits,  PageKind::CurrentSense, PageKind::VoltageSense,
                               PageKind::Share,   PageKind::OrFET};

TEST(BlockDiagramLayout, BlocksFramesAndHitTest) {
    for (int i = 0; i < kBlockCount; ++i) {
        const TwipsRect r = BlockRect(i);
        EXPECT_EQ(BlockAt(r.Left, r.Top), i);
        EXPECT_EQ(BlockAt(r.Left + r.Width / 2, r.Top + r.Height / 2), i);
        EXPECT_EQ(BlockAt(r.Left + r.Width - 1, r.Top + r.Height - 1), i);
    }
    EXPECT_EQ(BlockAt(5399, 4500), -1);
    EXPECT_EQ(BlockAt(5400 + 1455, 4500), -1);
    EXPECT_EQ(BlockAt(100, 100), -1);
    const TwipsRect general = BlockRect(7);
    EXPECT_EQ(general.Left, 2640);
    EXPECT_EQ(general.Top, 6720);
    EXPECT_EQ(general.Width, 1935);
    EXPECT_EQ(general.Height, 375);

    struct Frame {
        int index, x1, x2, y1, y2;
    } frames[] = {{0, 5380, 6840, 4100, 5040}, {3, 10500, 11400, 5300, 6000}, {9, 360, 2760, 5280, 5520}};
    for (const Frame& f : frames) {
        const auto l = BlockFrameLines(f.index);
        EXPECT_EQ(l[0].X1, f.x1);
        EXPECT_EQ(l[0].X2, f.x2);
        EXPECT_EQ(l[0].Y1, f.y1);
        EXPECT_EQ(l[1].Y1, f.y2);
        EXPECT_EQ(l[2].Y2, f.y2);
        EXPECT_EQ(l[3].X1, f.x2);
    }
}

TEST(BlockDiagramLayout, LiveValueTexts) {
    const struct {
        float value;
        const char* unit;
        const char* text;
    } cases[] = {{12.004f, "V", " 12V"}, {2.125f, "A", " 2.12A"}, {12.05f, "V", " 12.05V"}, {2.0f, "A", " 2A"},
                 {0.0f, "V", " 0V"},      {-1.5f, "V", "-1.5V"},  {0.5f, "A", " .5A"},     {2.135f, "A", " 2.13A"}};
    for (const auto& c : cases)
        EXPECT_EQ(DeviceValueText(c.value, QString::fromLatin1(c.unit)), QString::fromLatin1(c.text)) << c.value;
}

class BlockDiagram : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        RegisterShellWindows();
        for (PageKind k : kPageKinds) RegisterPageFactory(k, [] { return new FakePage; });
        RegisterToolFactory(ToolKind::RegMap, [] { return new FakePage; });
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 1000);
        main->show();
    }
    void TearDown() override {
        delete main;
        for (PageKind k : kPageKinds) RegisterPageFactory(k, {});
        RegisterToolFactory(ToolKind::RegMap, {});
        RunFixture::TearDown();
    }
    frmDevice* OpenDiagram(int index) { return dynamic_cast<frmDevice*>(main->OpenDevicePage(PageKind::Device, index)); }
    FakePage* Opened(PageKind kind, int index) { return dynamic_cast<FakePage*>(main->Form(kind, index)); }
    static void Send(QWidget* w, QEvent::Type type, int block, Qt::MouseButton button = Qt::LeftButton) {
        const TwipsRect r = BlockRect(block);
        const QPointF p = block < 0 ? QPointF(2, 2)
                                    : QPointF(TwipsToPixels(r.Left + r.Width / 2), TwipsToPixels(r.Top + r.Height / 2));
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent e(type, p, w->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void MoveTo(QWidget* w, QPoint at) {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void ClickBlock(frmDevice* page, int block) {
        Send(page->pctDevice, QEvent::MouseButtonPress, block);
        Send(page->pctDevice, QEvent::MouseButtonRelease, block);
    }

    frmMain* main = nullptr;
};

TEST_F(BlockDiagram, OpensWithItsCaptionAndFlag) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->windowTitle(), "ZVC7140 at SMBus Address = 0x48");
    EXPECT_TRUE(Shared().DeviceFormOpen[0]);
    EXPECT_EQ(page->Label1->text(), "ZVC7140 Block Diagram");
    EXPECT_EQ(page->Label2->text(), "Click on the blocks to access the related functions ");
    EXPECT_EQ(page->Label4[0]->text(), "Output Voltage (VS3) ");
    EXPECT_EQ(page->Label4[1]->text(), "Output Current");
    EXPECT_EQ(page->Label4[2]->text(), "Share Bus Voltage");
    EXPECT_EQ(page->cmdUpdateEEPROM->text(), "Update EEPROM");
    EXPECT_FALSE(page->Label3->toolTip().isEmpty());
    EXPECT_FALSE(page->lblVantrel->toolTip().isEmpty());
    EXPECT_EQ(page->pctDevice->size(), QSize(889, 545));
    page->Unload();
    EXPECT_FALSE(Shared().DeviceFormOpen[0]);
}

TEST_F(BlockDiagram, DeletedWithTheMainWindowClearsItsFlag) {
    UseBoardWithChips({0x48, 0x4A});
    OpenDiagram(1);
    EXPECT_TRUE(Shared().DeviceFormOpen[1]);
    delete main;  // the children go without their own close
    main = nullptr;
    EXPECT_FALSE(Shared().DeviceFormOpen[1]);
}

TEST_F(BlockDiagram, MasterTimerShowsTheLiveValues) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    clock.Now += 1;
    main->tmrMaster_Timer();
    EXPECT_EQ(page->lblVS3->text(), " 12V");
    EXPECT_EQ(page->lblOutputCurrent->text(), " 2A");
    EXPECT_EQ(page->lblShareVoltage->text(), " 4V");

    // A caption of neither device: no values.
    page->setWindowTitle("ZVC7140 at SMBus Address = 0x50");
    Shared().Devices[0].OutputVoltage = 5;
    page->DisplayValues();
    EXPECT_EQ(page->lblVS3->text(), " 12V");
}

TEST_F(BlockDiagram, UpdateEepromWritesTheTwoRegisters) {
    UseBoardWithChips({0x48});
    frmDevice* page = OpenDiagram(0);
    board.ClearLog();
    page->cmdUpdateEEPROM->click();
    EXPECT_EQ(board.AccessTrace(), (std::vector<QString>{"W 48 68 A7", "W 48 83 A7"}));
}

TEST_F(BlockDiagram, BlocksOpenTheirPagesForTheirDevice) {
    UseBoardWithChips({0x48, 0x4A});
    struct Case {
        int block;
        PageKind kind;
        const char* caption;
    } cases[] = {
        {0, PageKind::PWM, "PWM Output Control (0x%1)"},
        {1, PageKind::DigFilter, "Filter Settings (0x%1)"},
        {2, PageKind::Limits, "Fault Status and Configuration (0x%1)"},
        {3, PageKind::Share, "Share Bus Settings (0x%1)"},
        {4, PageKind::CurrentSense, "Current Sensing (0x%1)"},
        {5, PageKind::VoltageSense, "Voltage Sensing (0x%1)"},
        {6, PageKind::OrFET, "OrFET Control (0x%1)"},
        {7, PageKind::General, "General Settings (0x%1)"},
        {9, PageKind::VoltageSense, "Voltage Sensing (0x%1)"},
    };
    for (int device : {0, 1}) {
        frmDevice* page = OpenDiagram(device);
        const QString address = device == 0 ? "48" : "4A";
        for (const Case& c : cases) {
            ClickBlock(page, c.block);
            FakePage* opened = Opened(c.kind, device);
            ASSERT_NE(opened, nullptr) << c.block;
            EXPECT_EQ(opened->windowTitle(), QString::fromLatin1(c.caption).arg(address)) << c.block;
            EXPECT_EQ(main->MdiArea()->activeSubWindow(), opened->parentWidget());
        }
    }
    EXPECT_EQ(board.Log.size(), 0u);  // opening pages through the blocks reads nothing of its own

    // The register map block brings the register map forward, even when it is open already.
    frmDevice* page = OpenDiagram(0);
    ClickBlock(page, 8);
    PageWindow* regmap = main->Tool(ToolKind::RegMap);
    ASSERT_NE(regmap, nullptr);
    EXPECT_EQ(main->MdiArea()->activeSubWindow(), regmap->parentWidget());
    main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(page->parentWidget()));
    ClickBlock(page, 8);
    EXPECT_EQ(main->Tool(ToolKind::RegMap), regmap);
    EXPECT_EQ(main->MdiArea()->activeSubWindow(), regmap->parentWidget());
}

TEST_F(BlockDiagram, OneDeviceAlwaysUsesTheFirstInstances) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    page->setWindowTitle("ZVC7140 at SMBus Address = 0x50");
    page->lblSelection_Click(1);
    ASSERT_NE(Opened(PageKind::DigFilter, 0), nullptr);
    EXPECT_EQ(Opened(PageKind::DigFilter, 0)->windowTitle(), "Filter Settings (0x50)");
}

TEST_F(BlockDiagram, DoubleClickSetsUpAgainForTheFirstEightBlocks) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    for (int block : {1, 7, 9}) {
        ClickBlock(page, block);
        Send(page->pctDevice, QEvent::MouseButtonDblClick, block);
        Send(page->pctDevice, QEvent::MouseButtonRelease, block);
    }
    EXPECT_EQ(Opened(PageKind::DigFilter, 0)->setups, 2);
    EXPECT_EQ(Opened(PageKind::General, 0)->setups, 2);
    EXPECT_EQ(Opened(PageKind::VoltageSense, 0)->setups, 1);

    // When the page a double click opened takes the closing release, the next click still counts.
    ClickBlock(page, 4);
    Send(page->pctDevice, QEvent::MouseButtonDblClick, 4);
    ClickBlock(page, 3);
    ASSERT_NE(Opened(PageKind::Share, 0), nullptr);
    EXPECT_EQ(Opened(PageKind::Share, 0)->setups, 1);
}

TEST_F(BlockDiagram, PagesNotBuiltOpenNothing) {
    EnterSimulation();
    for (PageKind k : kPageKinds) RegisterPageFactory(k, {});
    RegisterToolFactory(ToolKind::RegMap, {});
    frmDevice* page = OpenDiagram(0);
    const int before = static_cast<int>(main->MdiArea()->subWindowList().size());
    for (int block = 0; block < kBlockCount; ++block) ClickBlock(page, block);
    EXPECT_EQ(static_cast<int>(main->MdiArea()->subWindowList().size()), before);
}

TEST_F(BlockDiagram, RedFrameFollowsTheMouse) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    BlockDiagramPicture* pic = page->pctDevice;
    Send(pic, QEvent::MouseMove, 4);
    EXPECT_EQ(pic->Highlight(), 4);
    Send(pic, QEvent::MouseMove, 6);
    EXPECT_EQ(pic->Highlight(), 6);

    // The frame is drawn red along block 6's top line, and no other frame is drawn.
    const QImage img = pic->grab().toImage();
    auto red = [&](int xTwips, int yTwips) {
        const QColor c = img.pixelColor(TwipsToPixels(xTwips), TwipsToPixels(yTwips));
        return c.red() > 200 && c.green() < 90 && c.blue() < 90;
    };
    EXPECT_TRUE(red((9200 + 11080) / 2, 3240));
    EXPECT_TRUE(red(9200, (3240 + 3760) / 2));
    EXPECT_FALSE(red((7040 + 8930) / 2, 3220));

    Send(pic, QEvent::MouseMove, -1);
    EXPECT_EQ(pic->Highlight(), -1);
    const QImage none = pic->grab().toImage();
    EXPECT_FALSE(none.pixelColor(TwipsToPixels((9200 + 11080) / 2), TwipsToPixels(3240)).red() > 200 &&
                 none.pixelColor(TwipsToPixels((9200 + 11080) / 2), TwipsToPixels(3240)).green() < 90);
}

// At a larger font the picture grows, and the mouse still finds each block from its corners in,
// with the red frame drawn where the block now is.
TEST_F(BlockDiagram, MouseFindsTheBlocksAtLargerFonts) {
    EnterSimulation();
    for (double points : {11.0, 14.0}) {
        const FontSize font(points);
        frmDevice* page = OpenDiagram(0);
        ASSERT_TRUE(page);
        BlockDiagramPicture* pic = page->pctDevice;
        EXPECT_EQ(pic->width(), TwipsToPixels(kPictureRect.Width)) << points;
        EXPECT_GT(pic->width(), 877) << points;
        for (int block = 0; block < kBlockCount; ++block) {
            const TwipsRect r = BlockRect(block);
            // The first and the last whole pixel inside the block.
            const int left = static_cast<int>(std::ceil(r.Left / TwipsPerPixel()));
            const int top = static_cast<int>(std::ceil(r.Top / TwipsPerPixel()));
            const int right = static_cast<int>(std::ceil((r.Left + r.Width) / TwipsPerPixel())) - 1;
            const int bottom = static_cast<int>(std::ceil((r.Top + r.Height) / TwipsPerPixel())) - 1;
            for (QPoint at : {QPoint(left, top), QPoint(right, bottom)}) {
                MoveTo(pic, at);
                EXPECT_EQ(pic->Highlight(), block) << points << " pt, " << at.x() << "," << at.y();
            }
            MoveTo(pic, QPoint(left - 2, top - 2));
            EXPECT_NE(pic->Highlight(), block) << points << " pt";
        }
        Send(pic, QEvent::MouseMove, 6);
        const QImage img = pic->grab().toImage();
        const QColor c = img.pixelColor(TwipsToPixels((9200 + 11080) / 2), TwipsToPixels(3240));
        EXPECT_TRUE(c.red() > 200 && c.green() < 90 && c.blue() < 90) << points;
        page->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace

namespace {
// The frame goes when the mouse leaves the picture, whether onto the page around it or out of
// the window, and comes back on the next move over a block.
TEST_F(BlockDiagram, RedFrameGoesWhenTheMouseLeaves) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    BlockDiagramPicture* pic = page->pctDevice;
    Send(pic, QEvent::MouseMove, 4);
    ASSERT_EQ(pic->Highlight(), 4);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(pic, &leave);
    EXPECT_EQ(pic->Highlight(), -1);
    Send(pic, QEvent::MouseMove, 6);
    EXPECT_EQ(pic->Highlight(), 6);
}

TEST_F(BlockDiagram, NothingIsCut) {
    EnterSimulation();
    frmDevice* page = OpenDiagram(0);
    Shared().Devices[0].OutputVoltage = -123.456f;
    Shared().Devices[0].OutputCurrent = 123.456f;
    Shared().Devices[0].ShareBusVoltage = 12.5f;
    page->DisplayValues();
    EXPECT_EQ(CutTexts(page), QStringList());
}
}  // namespace
