#include "page_test_support.h"

#include "pages/frmShare.h"
#include "pages/share_logic.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

class ShareTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
    ShareLogic page;
};

TEST(ShareBandwidth, AllThirtyTwoItemsInCodeOrder) {
    const char* expected[32] = {"100Hz",    "258.06Hz", "416.13Hz", "574.19Hz", "732.26Hz", "890.32Hz", "1.048kHz",
                                "1.206kHz", "1.365kHz", "1.523kHz", "1.681kHz", "1.839kHz", "1.997kHz", "2.155kHz",
                                "2.313kHz", "2.471kHz", "2.629kHz", "2.787kHz", "2.945kHz", "3.103kHz", "3.261kHz",
                                "3.419kHz", "3.577kHz", "3.735kHz", "3.894kHz", "4.052kHz", "4.21kHz",  "4.368kHz",
                                "4.526kHz", "4.684kHz", "4.842kHz", "5kHz"};
    ShareLogic page;
    ASSERT_EQ(page.cmbBandwidth.items.size(), 32);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(page.cmbBandwidth.items[k].toStdString(), expected[k]) << k;
    EXPECT_EQ(page.cmbOffset.items.size(), 256);
    EXPECT_EQ(page.cmbOffset.items.back(), "255");
    EXPECT_EQ(page.cmbCapture.items, (QStringList{"1%", "2%", "3%", "4%"}));
}

TEST_F(ShareTest, SetUpReadsThreeRegistersAndApplyWritesThemBackComposed) {
    struct Case {
        int offset, slope, bus;
        const char* bandwidth;
        const char* capture;
        int enabled;
        const char* applied;  // register 0x2A as Apply writes it
    } cases[] = {
        {0x00, 0xFF, 0x4D, "1.523kHz", "3%", 1, "4D"},
        {0x80, 0x01, 0x00, "100Hz", "1%", 0, "00"},
        {0x12, 0x34, 0xFF, "5kHz", "4%", 1, "FF"},
        {0x07, 0x70, 0xD2, "4.21kHz", "2%", 0, "D2"},
    };
    for (const Case& c : cases) {
        board.Regs(0x48)[0x28] = static_cast<uint8_t>(c.offset);
        board.Regs(0x48)[0x29] = static_cast<uint8_t>(c.slope);
        board.Regs(0x48)[0x2A] = static_cast<uint8_t>(c.bus);
        board.ClearLog();
        page.SetupFormAfterLoad(0x48);
        EXPECT_EQ(TraceOf(board), (Trace{"R 48 28", "R 48 29", "R 48 2A"}));
        EXPECT_EQ(page.cmbOffset.Code(), c.offset);
        EXPECT_EQ(page.cmbSlope.Code(), c.slope);
        EXPECT_EQ(page.cmbBandwidth.Text(), c.bandwidth);
        EXPECT_EQ(page.cmbCapture.Text(), c.capture);
        EXPECT_EQ(page.chkEnableShare.Code(), c.enabled);

        board.ClearLog();
        page.cmdApply_Click(0x48);
        const QString offset = QStringLiteral("W 48 28 %1").arg(c.offset, 2, 16, QChar(u'0')).toUpper();
        const QString slope = QStringLiteral("W 48 29 %1").arg(c.slope, 2, 16, QChar(u'0')).toUpper();
        EXPECT_EQ(TraceOf(board),
                  (Trace{offset.toStdString(), slope.toStdString(), std::string("W 48 2A ") + c.applied}));
    }
}

TEST_F(ShareTest, EditsWriteNothingUntilApplyWhichComposesTheWholeRegister) {
    board.Regs(0x48)[0x2A] = 0x4D;
    page.SetupFormAfterLoad(0x48);
    board.ClearLog();
    page.Choose(0x48, page.chkEnableShare, 0);
    page.Choose(0x48, page.cmbBandwidth, 31);
    page.Choose(0x48, page.cmbCapture, 0);
    page.Choose(0x48, page.cmbOffset, 200);
    EXPECT_TRUE(board.AccessTrace().empty());
    page.cmdApply_Click(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 28 C8", "W 48 29 00", "W 48 2A F8"}));
}

TEST_F(ShareTest, ReopeningReplacesUnappliedEdits) {
    board.Regs(0x48)[0x2A] = 0x4D;
    page.SetupFormAfterLoad(0x48);
    page.Choose(0x48, page.chkEnableShare, 0);
    page.Choose(0x48, page.cmbBandwidth, 0);
    page.SetupFormAfterLoad(0x48);
    EXPECT_EQ(page.cmbBandwidth.Code(), 9);
    EXPECT_EQ(page.chkEnableShare.Code(), 1);
}

class ShareWidgetTest : public PageWidgetFixture {};

TEST_F(ShareWidgetTest, MenuOpensThePageAndItsControlsReachTheChipOnlyThroughOkOrApply) {
    board.Regs(0x48)[0x28] = 0x05;
    board.Regs(0x48)[0x2A] = 0x4D;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::Share, 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Share Bus Settings (0x48)");
    auto* bandwidth = Child<QComboBox>(w, "cmbBandwidth");
    auto* capture = Child<QComboBox>(w, "cmbCapture");
    auto* enable = Child<QCheckBox>(w, "chkEnableShare");
    ASSERT_TRUE(bandwidth && capture && enable);
    EXPECT_EQ(bandwidth->count(), 32);
    EXPECT_EQ(bandwidth->currentText(), "1.523kHz");
    EXPECT_EQ(capture->currentText(), "3%");
    EXPECT_TRUE(enable->isChecked());
    EXPECT_EQ(Child<QComboBox>(w, "cmbOffset")->currentText(), "5");

    board.ClearLog();
    bandwidth->setCurrentIndex(1);
    emit bandwidth->activated(1);
    enable->click();
    EXPECT_TRUE(board.AccessTrace().empty());
    Child<QPushButton>(w, "cmdApply")->click();
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 28 05", "W 48 29 00", "W 48 2A 0C"}));
    ASSERT_TRUE(w);

    board.ClearLog();
    Child<QPushButton>(w, "cmdCancel")->click();
    FlushDeletes();
    EXPECT_FALSE(w);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(ShareWidgetTest, OkWritesThenCloses) {
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::Share, 0);
    ASSERT_TRUE(w);
    board.ClearLog();
    Child<QPushButton>(w, "cmdOK")->click();
    FlushDeletes();
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 28 00", "W 48 29 00", "W 48 2A 00"}));
    EXPECT_FALSE(w);
}

}  // namespace
