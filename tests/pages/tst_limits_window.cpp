#include "page_test_support.h"

#include "pages/frmLimits.h"
#include "pages/widgets/gauge.h"
#include "pages/widgets/lamp.h"
#include "pages/widgets/strip_chart.h"
#include "registers/readings.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <algorithm>

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
    // The width the closed box gives its text, and the width its longest item needs.
    static int TextRoom(QComboBox* box) {
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        return box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box).width();
    }
    static int LongestItem(QComboBox* box) {
        int widest = 0;
        for (int i = 0; i < box->count(); ++i) widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->itemText(i)));
        return widest;
    }
    // Every item shows whole in the closed box and in its drop-down, and the box lies inside the window.
    static void ExpectWholeItems(PageWindow* w, QComboBox* box) {
        const std::string name = box->objectName().toStdString();
        EXPECT_GE(TextRoom(box), LongestItem(box)) << name;
        EXPECT_LE(box->mapTo(w, QPoint(box->width(), 0)).x(), w->width()) << name;
        box->showPopup();
        QAbstractItemView* list = box->view();
        EXPECT_EQ(list->font(), box->font()) << name;  // the drop-down shows the items as the box does
        // Room for the longest item and the menu item's margins.
        EXPECT_GE(list->viewport()->width(), LongestItem(box) + 16) << name;
        box->hidePopup();
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

TEST_F(LimitsWindowTest, FaultConfigurationListsShowWholeItemsAndTheCaptionsAlign) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    w->grab();  // lays the window out at its own size, as it shows
    auto* frame = Child<QGroupBox>(w, "Frame3");
    ASSERT_TRUE(frame);
    int captionRight = -1;
    for (int k = 0; k < 12; ++k) {
        for (const char* list : {"cmbConfig", "cmbResolve", "cmbTiming"}) {
            auto* box = Child<QComboBox>(w, (list + std::to_string(k)).c_str());
            ASSERT_TRUE(box);
            ExpectWholeItems(w, box);
        }
        auto* caption = Child<QLabel>(w, ("lblFault" + std::to_string(k)).c_str());
        ASSERT_TRUE(caption);
        const QRect at(caption->mapTo(frame, QPoint(0, 0)), caption->size());
        if (captionRight < 0) captionRight = at.right();
        EXPECT_NEAR(at.right(), captionRight, 1) << k;  // every caption ends where the others do
        const QRect row(Child<QComboBox>(w, ("cmbConfig" + std::to_string(k)).c_str())->mapTo(frame, QPoint(0, 0)),
                        Child<QComboBox>(w, ("cmbConfig" + std::to_string(k)).c_str())->size());
        EXPECT_NEAR(at.center().y(), row.center().y(), 2) << k;
        if (k == 10) {  // two lines, each whole, none cut at the top or bottom
            EXPECT_EQ(caption->text(), "Ext Flag Input (FLAGIN)");
            EXPECT_GE(caption->contentsRect().width(), caption->fontMetrics().horizontalAdvance(QStringLiteral("Ext Flag Input")));
            EXPECT_GE(caption->height(), caption->heightForWidth(caption->width()));
            EXPECT_GE(caption->height(), 2 * caption->fontMetrics().height());
        } else {
            EXPECT_GE(caption->contentsRect().width(), caption->fontMetrics().horizontalAdvance(caption->text())) << k;
        }
    }
    // The graph chooser shows the chosen chart's name whole.
    auto* tabs = Child<QTabWidget>(w, "SSTab1");
    tabs->setCurrentIndex(3);
    w->grab();
    ExpectWholeItems(w, Child<QComboBox>(w, "cmbGraph"));
}

TEST_F(LimitsWindowTest, TheEqualsSignsOfTheDefaultsTabLineUp) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    auto* tabs = Child<QTabWidget>(w, "SSTab1");
    tabs->setCurrentIndex(4);
    w->grab();
    auto* frame = Child<QGroupBox>(w, "Frame6");
    ASSERT_TRUE(frame);
    const char* codes[] = {"3000", "3000", "3000", "3000", "3000", "3000", "3000", "200", "100", "200", "200", "?", "?"};
    int equalsRight = -1;
    for (int r = 0; r < 13; ++r) {
        auto* label = Child<QLabel>(w, ("lblCode" + std::to_string(r)).c_str());
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), QStringLiteral(" ") + QString::fromLatin1(codes[r]) + QStringLiteral("            ="));
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << r;
        // Where the painted text ends: the right edge of its "=".
        const QImage image = label->grab().toImage();
        const QRgb background = label->palette().color(label->backgroundRole()).rgb();
        int last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qGray(image.pixel(x, y)) < qGray(background) - 60) last = x;
        ASSERT_GE(last, 0) << r;
        const int right = label->mapTo(frame, QPoint(last * label->width() / image.width(), 0)).x();
        if (equalsRight < 0) equalsRight = right;
        EXPECT_NEAR(right, equalsRight, 1) << r;
    }
}

TEST_F(LimitsWindowTest, EveryTraceOfTheSimulatedReadingsRunsInsideItsChart) {
    EnterSimulation();
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    for (int i = 0; i < 40; ++i) {
        clock.Now += 0.05;
        main->tmrMaster_Timer();
    }
    const auto& charts = Charts();
    for (std::size_t c = 0; c < charts.size(); ++c) {
        auto* chart = Child<StripChart>(w, ("stpGraph" + std::to_string(c)).c_str());
        for (std::size_t t = 0; t < charts[c].traces.size(); ++t) {
            ASSERT_FALSE(chart->History(static_cast<int>(t))->Empty());
            const double v = chart->History(static_cast<int>(t))->Last().v;
            const ValueRange r = chart->AxisRange(charts[c].traces[t].axis);
            const double room = 0.03 * (r.hi - r.lo);
            EXPECT_GE(v - r.lo, room) << charts[c].item << " / " << charts[c].traces[t].name << " " << v;
            EXPECT_GE(r.hi - v, room) << charts[c].item << " / " << charts[c].traces[t].name << " " << v;
        }
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
