#include "page_test_support.h"
#include "paint_counter.h"
#include "painted_fit.h"
#include "text_fit.h"

#include "pages/frmLimits.h"
#include "pages/widgets/gauge.h"
#include "pages/widgets/lamp.h"
#include "pages/widgets/strip_chart.h"
#include "registers/readings.h"
#include "shell/layout_font.h"
#include "core/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <algorithm>
#include <functional>

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
    // Readings as a working supply gives them, shown by a few refreshes.
    void ShowReadings() {
        DeviceRecord& r = Shared().Devices[0];
        r.InputVoltage = 120.25f;
        r.InputCurrent = 0.25f;
        r.InputPower = 30.06f;
        r.OutputVoltage = 12.01f;
        r.OutputCurrent = 2.5f;
        r.OutputPower = 30.03f;
        r.VS1Voltage = 12.1f;
        r.VS2Voltage = 12.05f;
        r.ACSNSVoltage = 20;
        r.Temperature = -25.5f;
        r.ShareBusVoltage = 4;
        r.DutyCycle = 45.67f;
        for (int i = 0; i < 30; ++i) {
            clock.Now += 0.1;
            main->LimitsRefresh(0);
        }
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

TEST_F(LimitsWindowTest, ARefreshRepaintsOnlyTheInstrumentsWhoseReadingOrFlagChanged) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    main->resize(1400, 1000);
    main->show();
    ShowReadings();
    auto* tabs = Child<QTabWidget>(w, "SSTab1");
    PaintCounter paints;
    paints.WatchAll<Gauge>(w);
    paints.WatchAll<Lamp>(w);
    paints.WatchAll<StripChart>(w);
    paints.Watch(Child<QLabel>(w, "lblFlag"));
    paints.Watch(Child<QLabel>(w, "lblFlagValue"));
    DeviceRecord& r = Shared().Devices[0];
    const struct {
        int tab;
        std::function<void()> change;
        QStringList painted;
    } steps[] = {
        {2, [] {}, {}},
        {2, [&] { r.InputVoltage = 121; }, {"ggeReadings0"}},
        {2, [&] { r.Temperature = -26; }, {"ggeReadings10"}},
        {2, [&] { r.DutyCycle = 300; }, {"ggeReadings12"}},
        {2, [&] { r.DutyCycle = 400; }, {"ggeReadings12"}},  // the needle rests at the end: the value only
        {2, [&] { r.Faults.Flags[0] = true; }, {}},           // the lamps are out of sight
        {0, [] {}, {}},
        {0, [&] { r.Faults.Flags[20] = true; }, {"tglStatus21"}},
        {0, [&] { r.Faults.Flags[20] = false; }, {"tglStatus21"}},
        {0,
         [&] {
             r.Faults.FirstFlagValid = true;
             r.Faults.FirstFlagName = QStringLiteral("Line Impedance");
             r.Faults.FirstFlagValue = 5;
         },
         {"lblFlag", "lblFlagValue", "tglStatus32"}},
        {0, [&] { r.InputVoltage = 90; }, {}},  // the gauges are out of sight
        {3, [] {}, {"stpGraph0"}},               // the chart in view takes its samples, the others none
    };
    int tab = -1, n = 0;
    for (const auto& step : steps) {
        ++n;
        if (step.tab != tab) {
            tabs->setCurrentIndex(tab = step.tab);
            PaintNow();
            main->LimitsRefresh(0);
            PaintNow();
        }
        step.change();
        paints.Clear();
        main->LimitsRefresh(0);
        PaintNow();
        EXPECT_EQ(paints.Painted(), step.painted) << "step " << n;
        // A gauge repaints its needle or its value, not its whole face.
        for (auto it = paints.areas.begin(); it != paints.areas.end(); ++it)
            if (auto* g = qobject_cast<const Gauge*>(it.key())) {
                EXPECT_LT(Area(it.value()), g->width() * g->height() / 2) << g->objectName().toStdString();
            }
    }
}

// The dials fill the width of their columns; the labels and gauges stand in the middle of each
// frame, with no empty band under them; what shows around a dial is what lies under the gauge.
TEST_F(LimitsWindowTest, TheGaugesUseTheirSlotsOverTheirFrames) {
    QPointer<PageWindow> w = Open();
    ASSERT_TRUE(w);
    ShowReadings();
    Child<QTabWidget>(w, "SSTab1")->setCurrentIndex(2);
    const QImage before = w->grab().toImage();
    for (const char* name : {"Input", "Output", "General"}) {
        auto* frame = Child<QGroupBox>(w, name);
        ASSERT_TRUE(frame);
        const QList<Gauge*> gauges = frame->findChildren<Gauge*>();
        ASSERT_FALSE(gauges.isEmpty());
        const QRect inner = frame->contentsRect();
        int top = inner.bottom(), bottom = inner.top();
        for (QLabel* l : frame->findChildren<QLabel*>()) top = std::min(top, l->geometry().top());
        for (Gauge* g : gauges) {
            EXPECT_NEAR(g->height(), g->heightForWidth(g->width()), 2) << name;
            EXPECT_GE(g->width(), inner.width() / gauges.size() - ScaledPixels(6)) << name;
            bottom = std::max(bottom, g->geometry().bottom());
        }
        EXPECT_NEAR(top - inner.top(), inner.bottom() - bottom, ScaledPixels(6)) << name;
    }
    // The corners of each gauge, outside its dial and its texts, with the gauge and without it.
    for (Gauge* g : w->findChildren<Gauge*>()) {
        QSizePolicy keep = g->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        g->setSizePolicy(keep);
    }
    std::vector<std::pair<QPoint, QRgb>> corners;
    for (Gauge* g : w->findChildren<Gauge*>())
        for (QPoint c : {QPoint(1, 1), QPoint(g->width() - 2, 1), QPoint(1, g->height() - 2), QPoint(g->width() - 2, g->height() - 2)}) {
            const QPoint at = g->mapTo(w, c);
            corners.emplace_back(at, before.pixel(at));
        }
    for (Gauge* g : w->findChildren<Gauge*>()) g->hide();
    const QImage under = w->grab().toImage();
    for (const auto& [at, colour] : corners) EXPECT_EQ(under.pixel(at), colour) << at.x() << "," << at.y();
}

// Every text of every tab whole, and the painted captions of the instruments in view clear of
// each other and of their lines, at the fonts desktops give (or only at ZVC_FONT_POINTS).
TEST_F(LimitsWindowTest, EveryTabIsWholeAtTheCommonDesktopFonts) {
    const QFont saved = QApplication::font();
    std::vector<double> sizes{9, 10, 11, 12, 14};
    if (qEnvironmentVariableIsSet("ZVC_FONT_POINTS")) sizes = {qEnvironmentVariable("ZVC_FONT_POINTS").toDouble()};
    const double ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1;
    for (double points : sizes) {
        QFont f = saved;
        f.setPointSizeF(points);
        QApplication::setFont(f);
        FollowApplicationFont();
        delete main.data();  // windows take the new font when they are made
        main = new frmMain;
        SetMainForm(main);
        main->resize(TwipsToPixels(21000), TwipsToPixels(15000));
        main->show();
        QPointer<PageWindow> w = Open();
        ASSERT_TRUE(w);
        EXPECT_EQ(w->devicePixelRatioF(), ratio);
        ShowReadings();
        auto* tabs = Child<QTabWidget>(w, "SSTab1");
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            PaintNow();
            const std::string at = std::to_string(points) + " pt, " + tabs->tabText(t).toStdString();
            EXPECT_EQ(CutTexts(w), QStringList()) << at;
            int pictures = 0;
            for (QWidget* picture : w->findChildren<QWidget*>()) {
                auto* layout = dynamic_cast<PaintedLayout*>(picture);
                if (!layout || !picture->isVisible()) continue;
                ++pictures;
                EXPECT_EQ(PaintedFaults(picture), QStringList()) << at;
            }
            EXPECT_EQ(pictures, t == 2 ? 12 : t == 3 ? 1 : 0) << at;
        }
        w->Unload();
        FlushDeletes();
    }
    QApplication::setFont(saved);
    FollowApplicationFont();
}

}  // namespace
