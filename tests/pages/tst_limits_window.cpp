#include "page_test_support.h"

#include "pages/frmLimits.h"
#include "pages/widgets/gauge.h"
#include "pages/widgets/lamp.h"
#include "pages/widgets/strip_chart.h"
#include "registers/readings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

class LimitsWindowTest : public PageWidgetFixture {
protected:
    void SetUp() override {
        PageWidgetFixture::SetUp();
        SetReadingScaleFactors();
    }
    PageWindow* Open() {
        board.Regs(0x48)[0x08] = 0x58;
        board.Regs(0x48)[0x0B] = 0xB6;
        board.Regs(0x48)[0x0E] = 0x2D;
        board.Regs(0x48)[0x2E] = 0x53;
        return main->OpenDevicePage(PageKind::Limits, 0);
    }
    static void Pick(QComboBox* box, int i) {
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    std::vector<size_t> Samples(PageWindow* w) {
        std::vector<size_t> n;
        for (int c = 0; c < 4; ++c) {
            auto* chart = Child<StripChart>(w, ("stpGraph" + std::to_string(c)).c_str());
            for (int t = 0; t < chart->TraceCount(); ++t) n.push_back(chart->History(t)->Size());
        }
        return n;
    }
};

TEST_F(LimitsWindowTest, MenuOpensOnFaultConfigurationWithTheChipsSettingsAndCloseClearsTheFlag) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Limits and Graphs (0x48)");
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 08", "R 48 09", "R 48 0A", "R 48 0B", "R 48 0C", "R 48 0D", "R 48 0E",
                                     "R 48 2E"}));
    auto* tabs = Child<QTabWidget>(w, "SSTab1");
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "Fault Configuration");
    EXPECT_EQ(Child<QComboBox>(w, "cmbConfig6")->currentText(), "Disable Power Supply");
    EXPECT_EQ(Child<QComboBox>(w, "cmbResolve7")->currentText(), "Remain Disabled. Only PSON can re-enable");
    EXPECT_EQ(Child<QComboBox>(w, "cmbTiming6")->currentText(), "Immediately");
    EXPECT_TRUE(Child<QComboBox>(w, "cmbConfig12")->isHidden());
    EXPECT_FALSE(Child<QComboBox>(w, "cmbConfig11")->isHidden());
    EXPECT_EQ(Child<QLineEdit>(w, "txtDefault4")->text(), ".4");
    EXPECT_EQ(Child<QLineEdit>(w, "txtDefault9")->text(), "");
    auto* duty = Child<Gauge>(w, "ggeReadings12");
    ASSERT_TRUE(duty);
    EXPECT_EQ(duty->SliderValue(2), 15);
    EXPECT_EQ(duty->SliderValue(3), 65);
    EXPECT_EQ(Child<QPushButton>(w, "cmdSet")->text(), "Set  Values");
    EXPECT_FALSE(Child<StripChart>(w, "stpGraph0")->isHidden());
    for (const char* hidden : {"stpGraph1", "stpGraph2", "stpGraph3"}) EXPECT_TRUE(Child<StripChart>(w, hidden)->isHidden());
    EXPECT_TRUE(Shared().LimitsFormOpen[0]);

    board.ClearLog();
    Child<QPushButton>(w, "cmdClose")->click();
    FlushDeletes();
    EXPECT_FALSE(w);
    EXPECT_FALSE(Shared().LimitsFormOpen[0]);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(LimitsWindowTest, BlockDiagramTitleOpensTheSamePage) {
    QPointer<PageWindow> w =
        main->OpenDevicePage(PageKind::Limits, 0, QStringLiteral("Fault Status and Configuration (0x"), 0x48);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Fault Status and Configuration (0x48)");
    EXPECT_TRUE(Shared().LimitsFormOpen[0]);
    EXPECT_EQ(w, main->OpenDevicePage(PageKind::Limits, 0));
    EXPECT_EQ(w->windowTitle(), "Limits and Graphs (0x48)");
}

TEST_F(LimitsWindowTest, ListChoicesReachTheChipOnlyThroughApply) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    board.ClearLog();
    Pick(Child<QComboBox>(w, "cmbConfig0"), 3);
    Pick(Child<QComboBox>(w, "cmbTiming1"), 1);
    Pick(Child<QComboBox>(w, "cmbResolve9"), 1);
    Pick(Child<QComboBox>(w, "cmbGraph"), 2);
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_FALSE(Child<StripChart>(w, "stpGraph2")->isHidden());
    EXPECT_TRUE(Child<StripChart>(w, "stpGraph0")->isHidden());
    Child<QPushButton>(w, "cmdApply")->click();
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 08 78", "W 48 09 00", "W 48 0A 00", "W 48 0B B6", "W 48 0C 04",
                                     "W 48 0D 00", "W 48 0E 2D"}));
}

TEST_F(LimitsWindowTest, SetValuesTakesTheTypedTextAndRefusesTextThatIsNoNumber) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    board.ClearLog();
    auto type = [&](const char* name, const QString& text) {
        auto* box = Child<QLineEdit>(w, name);
        box->setText(text);
        emit box->textEdited(text);
    };
    type("txtDefault2", QStringLiteral("12.5"));
    type("txtDefault0", QStringLiteral("volts"));
    Child<QPushButton>(w, "cmdSet")->click();
    EXPECT_EQ(Shared().DefaultScaleFactors.VS1Scale, 12.5f);
    EXPECT_EQ(Shared().DefaultScaleFactors.InputVoltageScale, 670.0f);
    EXPECT_EQ(Child<QLineEdit>(w, "txtDefault0")->text(), "670");
    EXPECT_EQ(prompts.Shown.size(), 1u);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(LimitsWindowTest, MasterTimerRefreshShowsTheRecordAndGrowsEveryChart) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    DeviceRecord& r = Shared().Devices[0];
    r.InputVoltage = 120;
    r.OutputCurrent = -1.5f;
    r.Temperature = 25;
    r.DutyCycle = 200;  // off the scale: still shown
    r.Faults.Flags[20] = true;
    r.Faults.FirstFlagValid = true;
    r.Faults.FirstFlagName = QStringLiteral("Line Impedance");
    r.Faults.FirstFlagValue = 5;
    board.ClearLog();
    const std::vector<size_t> before = Samples(w);
    EXPECT_EQ(before, std::vector<size_t>(16, 0));
    main->LimitsRefresh(0);
    main->LimitsRefresh(0);
    EXPECT_EQ(Samples(w), std::vector<size_t>(16, 2));
    EXPECT_EQ(Child<StripChart>(w, "stpGraph0")->History(0)->Last().v, 120);
    EXPECT_EQ(Child<StripChart>(w, "stpGraph3")->TraceName(1), "O/P Power");
    EXPECT_EQ(Child<Gauge>(w, "ggeReadings0")->Caption(), " 120V");
    EXPECT_EQ(Child<Gauge>(w, "ggeReadings6")->Caption(), "-1.5A");
    EXPECT_EQ(Child<Gauge>(w, "ggeReadings10")->Caption(), " 25°C");
    EXPECT_EQ(Child<Gauge>(w, "ggeReadings12")->Caption(), " 200%");
    EXPECT_EQ(Child<Gauge>(w, "ggeReadings12")->Needle(), 200.0f);
    EXPECT_EQ(Child<QLabel>(w, "lblFlag")->text(), "Line Impedance");
    EXPECT_EQ(Child<QLabel>(w, "lblFlagValue")->text(), "0x5");
    EXPECT_EQ(Child<Lamp>(w, "tglStatus21")->State(), 1);
    EXPECT_EQ(Child<Lamp>(w, "tglStatus20")->State(), 0);
    EXPECT_EQ(Child<Lamp>(w, "tglStatus32")->State(), 1);
    EXPECT_TRUE(board.AccessTrace().empty());

    // Every tab paints, with readings off their scales.
    r.InputVoltage = -1e30f;
    main->LimitsRefresh(0);
    auto* tabs = Child<QTabWidget>(w, "SSTab1");
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        EXPECT_FALSE(w->grab().isNull()) << t;
    }
}

TEST_F(LimitsWindowTest, DraggingTheDutyCycleSlidersKeepsThemInRangeAndWritesNothing) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    board.ClearLog();
    auto* duty = Child<Gauge>(w, "ggeReadings12");
    duty->SetSliderValue(2, 20);
    duty->SetSliderValue(3, 30);
    emit duty->SliderChange(12);
    EXPECT_EQ(duty->SliderValue(2), 15);
    EXPECT_EQ(duty->SliderValue(3), 40);
    auto* vs1 = Child<Gauge>(w, "ggeReadings3");
    vs1->SetSliderValue(3, 2);
    emit vs1->SliderChange(3);
    EXPECT_EQ(vs1->SliderValue(3), 2);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(LimitsWindowTest, TheMasterTimerRefreshesTheOpenPageAndStopsAfterItCloses) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    for (int i = 0; i < 40; ++i) {
        clock.Now += 0.05;
        main->tmrMaster_Timer();
    }
    // Every 0.1 s over two seconds: about twenty refreshes.
    EXPECT_GE(Samples(w)[0], 15u);
    EXPECT_LE(Samples(w)[0], 21u);
    w->Unload();
    EXPECT_FALSE(Shared().LimitsFormOpen[0]);
    FlushDeletes();
    for (int i = 0; i < 40; ++i) main->tmrMaster_Timer();  // no page: nothing to refresh, no crash
    EXPECT_FALSE(w);
}

}  // namespace
