#include "page_test_support.h"
#include "sense_picture_checks.h"
#include "text_fit.h"

#include "pages/voltage_sense_logic.h"

#include <QLabel>
#include <QPushButton>

namespace {

class VoltageSenseTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
    VoltageSenseLogic page;
};

TEST(VoltageSenseItems, ListTexts) {
    EXPECT_EQ(OutputTrimItem(0), "65%");
    EXPECT_EQ(OutputTrimItem(1), "65.235%");
    EXPECT_EQ(OutputTrimItem(2), "65.471%");
    EXPECT_EQ(OutputTrimItem(128), "95.118%");
    EXPECT_EQ(OutputTrimItem(149), "100.059%");
    EXPECT_EQ(OutputTrimItem(254), "124.765%");
    EXPECT_EQ(OutputTrimItem(255), "125%");
    VoltageSenseLogic page;
    EXPECT_EQ(page.cmbOVP[0].items.front(), "105%");
    EXPECT_EQ(page.cmbOVP[1].items.back(), "120%");
    EXPECT_EQ(page.cmbUVP.items.front(), "80%");
    EXPECT_EQ(page.cmbUVP.items.back(), "95%");
    EXPECT_EQ(page.cmbTrim[2].items.size(), 256);
    EXPECT_EQ(page.cmbVS3Debounce.items.last(), "400us Delay");
}

TEST_F(VoltageSenseTest, SetUpWritesBackTheImmediateSettingsOnlyAndApplyComposesTheLimits) {
    struct Case {
        uint8_t r31, r32, r33, r34, t0, t1, t2;
        const char *ovp1, *deb1, *ovp3, *deb3, *uvp;
        Trace apply;
    } cases[] = {
        {0x80, 0xFF, 0xFE, 0xFF, 1, 2, 3, "120%", "400us Delay", "120%", "300us Delay", "95%",
         {"W 48 32 F3", "W 48 33 F2", "W 48 34 0F"}},
        {0x00, 0x0C, 0x51, 0xA3, 0xFF, 0, 0x80, "105%", "100us Delay", "110%", "200us Delay", "83%",
         {"W 48 32 00", "W 48 33 51", "W 48 34 03"}},
    };
    for (const Case& c : cases) {
        VoltageSenseLogic fresh;
        auto& regs = board.Regs(0x48);
        regs[0x31] = c.r31;
        regs[0x32] = c.r32;
        regs[0x33] = c.r33;
        regs[0x34] = c.r34;
        regs[0x38] = c.t0;
        regs[0x39] = c.t1;
        regs[0x3A] = c.t2;
        board.ClearLog();
        fresh.SetupFormAfterLoad(0x48);
        auto hex = [](int v) { return QStringLiteral("%1").arg(v, 2, 16, QChar(u'0')).toUpper().toStdString(); };
        EXPECT_EQ(TraceOf(board), (Trace{"R 48 31", "W 48 31 " + hex(c.r31), "R 48 32", "R 48 33", "R 48 34",
                                         "R 48 38", "W 48 38 " + hex(c.t0), "R 48 39", "W 48 39 " + hex(c.t1),
                                         "R 48 3A", "W 48 3A " + hex(c.t2)}));
        EXPECT_EQ(fresh.cmbVS3Trim.Code(), c.r31);
        EXPECT_EQ(fresh.cmbOVP[0].Text(), c.ovp1);
        EXPECT_EQ(fresh.cmbVS1Debounce.Text(), c.deb1);
        EXPECT_EQ(fresh.cmbOVP[1].Text(), c.ovp3);
        EXPECT_EQ(fresh.cmbVS3Debounce.Text(), c.deb3);
        EXPECT_EQ(fresh.cmbUVP.Text(), c.uvp);
        EXPECT_EQ(fresh.cmbTrim[2].Text(), QString::number(c.t2));

        board.ClearLog();
        fresh.cmdApply_Click(0x48);
        EXPECT_EQ(TraceOf(board), c.apply);
    }
}

TEST_F(VoltageSenseTest, ImmediateListsWriteWithoutReadingAndLimitListsWaitForApply) {
    page.SetupFormAfterLoad(0x48);
    board.ClearLog();
    page.Choose(0x48, page.cmbVS3Trim, 200);
    page.Choose(0x48, page.cmbTrim[1], 77);
    page.Choose(0x48, page.cmbOVP[0], 15);
    page.Choose(0x48, page.cmbVS1Debounce, 2);
    page.Choose(0x48, page.cmbUVP, 9);
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 31 C8", "W 48 39 4D"}));
    board.ClearLog();
    page.cmdApply_Click(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 32 F2", "W 48 33 00", "W 48 34 09"}));
}

TEST_F(VoltageSenseTest, LiveValuesUseTheChosenOutputSetting) {
    Shared().Devices[0].VS1Voltage = 12.1f;
    Shared().Devices[0].VS2Voltage = -0.5f;
    Shared().Devices[0].OutputVoltage = 12.0f;
    page.SetupFormAfterLoad(0x48);
    EXPECT_TRUE(Shared().VoltageSenseFormOpen[0]);
    page.Choose(0x48, page.cmbVS3Trim, 149);  // 100.059%
    page.DisplayValues(0x48);
    EXPECT_EQ(page.lblVS1Val, " 12.1V");
    EXPECT_EQ(page.lblVS2Val, "-.5V");
    EXPECT_EQ(page.lblVS3Val, " 12V");
    EXPECT_EQ(page.lblOutputVal, " 12.01V");
    page.Form_Unload(0x48);
    EXPECT_FALSE(Shared().VoltageSenseFormOpen[0]);

    VoltageSenseLogic stranger;
    stranger.SetupFormAfterLoad(0x50);
    stranger.DisplayValues(0x50);
    EXPECT_FALSE(Shared().VoltageSenseFormOpen[0] || Shared().VoltageSenseFormOpen[1]);
    EXPECT_TRUE(stranger.lblVS1Val.isEmpty() && stranger.lblOutputVal.isEmpty());
}

class VoltageSenseWidgetTest : public PageWidgetFixture {};

TEST_F(VoltageSenseWidgetTest, TrimsWriteAtOnceOkAppliesAndClosesAndTheTimerRefreshes) {
    board.Regs(0x48)[0x31] = 149;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::VoltageSense, 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Voltage Sensing (0x48)");
    EXPECT_EQ(Child<QComboBox>(w, "cmbVS3Trim")->currentText(), "100.059%");

    board.ClearLog();
    emit Child<QComboBox>(w, "cmbTrim0")->activated(9);
    emit Child<QComboBox>(w, "cmbUVP")->activated(4);
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 38 09"}));

    Shared().Devices[0].OutputVoltage = 12.0f;
    main->tmrMaster_Timer();
    EXPECT_EQ(Child<QLabel>(w, "lblOutputVal")->text(), " 12.01V");

    board.ClearLog();
    Child<QPushButton>(w, "cmdOK")->click();
    FlushDeletes();
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 32 00", "W 48 33 00", "W 48 34 04"}));
    EXPECT_FALSE(w);
    EXPECT_FALSE(Shared().VoltageSenseFormOpen[0]);
}

}  // namespace

namespace {

TEST(VoltageSensePicture, SceneLiesOnThePicture) { ExpectSceneOnItsPicture(VoltageSenseScene()); }

TEST_F(VoltageSenseWidgetTest, TrimsAndValuesSitOnTheDrawingAndNothingIsCut) {
    board.Regs(0x48)[0x31] = 255;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::VoltageSense, 0);
    ASSERT_TRUE(w);
    for (float* v : {&Shared().Devices[0].VS1Voltage, &Shared().Devices[0].VS2Voltage, &Shared().Devices[0].OutputVoltage})
        *v = -123.45f;
    w->DisplayValues();
    ExpectPageOnItsPicture(w, VoltageSenseScene(),
                           {"VS1 Trim", "VS2 Trim", "VS3 Trim", "O/P Trim", "VS1 Value", "VS2 Value", "VS3 Value",
                            "O/P Voltage Value"});
    EXPECT_EQ(CutTexts(w), QStringList());
    // Picture, limits and buttons all inside the page at its size.
    QWidget* page = w;
    for (QWidget* c : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c->isVisibleTo(page)) {
            EXPECT_TRUE(page->rect().contains(c->geometry())) << c->objectName().toStdString();
        }
    }
}

}  // namespace
