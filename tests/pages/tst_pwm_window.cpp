#include "page_test_support.h"
#include "text_fit.h"

#include "core/numbers.h"
#include "core/twips.h"
#include "pages/frmPWM.h"
#include "pages/widgets/pwm_canvas.h"
#include "shell/layout_font.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

class PWMWindowTest : public PageWidgetFixture {
protected:
    frmPWM* Open() {
        PageWindow* w = main->OpenDevicePage(PageKind::PWM, 0);
        return qobject_cast<frmPWM*>(w);
    }
    static void Mouse(QWidget* w, QEvent::Type type, double xTwips) {
        const QPointF at(xTwips / TwipsPerPixel(), w->height() / 2.0);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
                                          ? Qt::MouseButtons(Qt::LeftButton)
                                          : Qt::MouseButtons(Qt::NoButton);
        QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    static QString Text(const PWMCanvas* c, int k) { return c->CurrentScene().texts[static_cast<size_t>(k)].text; }
    uint8_t& Reg(int r) { return board.Regs(0x48)[r]; }
};

TEST_F(PWMWindowTest, ReopenedOnAChipWithoutAMainFrequencyTheEdgesKeepTheChipsCounts) {
    Reg(0x41) = 0x40;  // 1024 and 3072 of 4081
    Reg(0x43) = 0xC0;
    Reg(0x5D) = 0x00;
    QPointer<frmPWM> w = Open();
    ASSERT_TRUE(w);
    auto* outa = Child<PWMCanvas>(w, "pctPWM_0");
    EXPECT_EQ(Child<QLabel>(w, "lblPWMFreq")->text(), "49kHz");

    Reg(0x41) = 0xFF;  // 4095, past every period
    Reg(0x42) = 0xF0;
    Reg(0x43) = 0xBB;  // 3000
    Reg(0x44) = 0x80;
    Reg(0x5D) = 0x9C;  // main code 12: no frequency
    ASSERT_EQ(Open(), w.data());  // the open page, set up again
    EXPECT_EQ(Child<QLabel>(w, "lblPWMFreq")->text(), "");
    EXPECT_EQ(Text(outa, 1), "");
    EXPECT_EQ(Text(outa, 2), "T1 = 20.475us");
    EXPECT_EQ(Text(outa, 3), "T2 = 15.000us");

    // The falling edge is grabbed on its own and moved on the 4095-count scale.
    board.ClearLog();
    Mouse(outa, QEvent::MouseButtonPress, w->logic.FallingX(0));
    EXPECT_EQ(w->logic.DragState[0].State(), pwm::Edge::Falling);
    Mouse(outa, QEvent::MouseMove, 3600);  // 3267.8 of 4095
    Mouse(outa, QEvent::MouseButtonPress, 3600);
    EXPECT_EQ(Text(outa, 3), "T2 = 16.340us");
    EXPECT_EQ(Text(outa, 2), "T1 = 20.475us");
    Child<QPushButton>(w, "cmdProgram")->click();
    const Trace t = TraceOf(board);
    ASSERT_EQ(t.size(), 45u);
    EXPECT_EQ(Trace(t.begin(), t.begin() + 6),
              (Trace{"W 48 41 FF", "W 48 43 CC", "R 48 42", "W 48 42 F0", "R 48 44", "W 48 44 40"}));
    EXPECT_EQ(t.back(), "W 48 5D 9C");
}

// The page on screen (offscreen, in the main window's backing store), with each diagram's paints
// recorded.
class PWMOnScreenTest : public PWMWindowTest, public QObject {
protected:
    void SetUp() override {
        PWMWindowTest::SetUp();
        for (int i = 0; i < 7; ++i) {
            const int n = 0x41 + 4 * i;
            Reg(n) = 0x3F;  // 1020 and 3061 of 4081
            Reg(n + 1) = 0xC4;
            Reg(n + 2) = 0xBF;
            Reg(n + 3) = 0x54;
        }
        Reg(0x42) = 0xCC;  // T1 modulated: an arrow moves with it
        main->resize(1400, 1000);
        main->show();
        page = Open();
        ASSERT_TRUE(page);
        for (int i = 0; i < 7; ++i) {
            canvas[i] = Child<PWMCanvas>(page, ("pctPWM_" + std::to_string(i)).c_str());
            canvas[i]->installEventFilter(this);
        }
        Settle();
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            for (int i = 0; i < 7; ++i)
                if (o == canvas[i]) painted[i] += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    // Runs the pending paints; then nothing counts as painted.
    void Settle() {
        QCoreApplication::processEvents();
        painted.fill(QRegion());
    }
    std::vector<int> PaintedDiagrams() {
        QCoreApplication::processEvents();
        std::vector<int> out;
        for (int i = 0; i < 7; ++i)
            if (!painted[i].isEmpty()) out.push_back(i);
        return out;
    }
    static long Area(const QRegion& r) {
        long a = 0;
        for (const QRect& rect : r) a += static_cast<long>(rect.width()) * rect.height();
        return a;
    }
    // What the window shows of a diagram now, after however many partial paints.
    static QImage Shown(QWidget* w) {
        QWidget* top = w->window();
        const QPoint at = w->mapTo(top, QPoint(0, 0));
        return top->screen()
            ->grabWindow(top->winId(), at.x(), at.y(), w->width(), w->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The same scene painted whole, on a picture of its own.
    static QImage PaintedWhole(const PWMCanvas* c) {
        PWMCanvas fresh;
        fresh.setFont(c->font());
        fresh.setPalette(c->palette());
        fresh.SetScene(c->CurrentScene());
        return fresh.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QPointer<frmPWM> page;
    std::array<PWMCanvas*, 7> canvas{};
    std::array<QRegion, 7> painted{};
};

TEST_F(PWMWindowTest, MenuOpensThePageShowingTheChipAndClosingWritesNothing) {
    Reg(0x41) = 0x80;
    Reg(0x42) = 0x0D;
    Reg(0x40) = 0x80;
    Reg(0x5D) = 0x90;
    QPointer<frmPWM> w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "PWM Output Control (0x48)");
    EXPECT_TRUE(Shared().PWMFormOpen[0]);
    EXPECT_EQ(TraceOf(board).size(), 37u);

    auto* freq = Child<QLabel>(w, "lblPWMFreq");
    ASSERT_TRUE(freq);
    EXPECT_EQ(freq->text(), "49kHz");
    EXPECT_EQ(freq->toolTip(), "PWM Switching Frequency is programmable in the Digital Filter Window");
    EXPECT_FALSE(Child<QComboBox>(w, "cmbFreq")->isVisibleTo(w));
    EXPECT_EQ(Child<QComboBox>(w, "cmbAuxFreq")->currentText(), "500kHz");
    EXPECT_EQ(Child<QComboBox>(w, "cmbTopology")->count(), 8);
    EXPECT_EQ(Child<QComboBox>(w, "cmbTopology")->currentIndex(), -1);
    EXPECT_EQ(Child<QCheckBox>(w, "chkT1Sign_0")->text(), "Positive Modulation on T1 Edge");
    EXPECT_EQ(Child<QCheckBox>(w, "chkT2Sign_3")->text(), "Inverted Modulation on T8 Edge");
    EXPECT_TRUE(Child<QCheckBox>(w, "chkDisable_6")->isChecked());
    EXPECT_EQ(Child<QCheckBox>(w, "chkDisable_6")->text(), "Disable AUX");
    EXPECT_EQ(Child<QCheckBox>(w, "chkEnableT2Mod_6")->text(), "Enable Modulation on T14 Edge");

    auto* outa = Child<PWMCanvas>(w, "pctPWM_0");
    auto* aux = Child<PWMCanvas>(w, "pctPWM_6");
    ASSERT_TRUE(outa && aux);
    EXPECT_EQ(outa->size(), QSize(585, 73));
    EXPECT_EQ(Text(outa, 1), "20.408us");
    EXPECT_EQ(Text(outa, 2), "T1 = 10.240us");
    EXPECT_EQ(Text(aux, 1), "2us");
    EXPECT_TRUE(aux->CurrentScene().buttonFace);
    EXPECT_EQ(outa->CurrentScene().lines.size(), 20u);  // OUTA's rising edge carries an arrow
    EXPECT_FALSE(w->grab().isNull());

    board.ClearLog();
    Child<QPushButton>(w, "cmdCancel")->click();
    FlushDeletes();
    EXPECT_FALSE(w);
    EXPECT_FALSE(Shared().PWMFormOpen[0]);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(PWMWindowTest, ClickMoveClickOnThePictureThenProgram) {
    Reg(0x41) = 0x40;  // 1024 of 4081
    Reg(0x43) = 0xC0;
    QPointer<frmPWM> w = Open();
    ASSERT_TRUE(w);
    auto* outa = Child<PWMCanvas>(w, "pctPWM_0");
    const double r = w->logic.RisingX(0);
    board.ClearLog();

    Mouse(outa, QEvent::MouseMove, r + 45);
    EXPECT_EQ(w->cursor().shape(), Qt::SizeHorCursor);
    Mouse(outa, QEvent::MouseButtonPress, r + 45);
    Mouse(outa, QEvent::MouseButtonRelease, r + 45);
    EXPECT_EQ(outa->CurrentScene().lines[6].rgb, pwm::kGreen);
    Mouse(outa, QEvent::MouseMove, 1800);
    EXPECT_EQ(Text(outa, 2), "T1 = 4.070us");
    EXPECT_EQ(outa->CurrentScene().texts[2].rgb, pwm::kRed);
    Mouse(outa, QEvent::MouseButtonPress, 3000);
    Mouse(outa, QEvent::MouseMove, 3000);
    EXPECT_EQ(Text(outa, 2), "T1 = 4.070us");
    EXPECT_EQ(outa->CurrentScene().lines[6].rgb, pwm::kRed);
    EXPECT_TRUE(board.AccessTrace().empty());

    Child<QPushButton>(w, "cmdProgram")->click();
    const Trace t = TraceOf(board);
    ASSERT_EQ(t.size(), 45u);
    EXPECT_EQ(t[0], "W 48 41 32");
    EXPECT_EQ(t[3], "W 48 42 E0");
    EXPECT_EQ(t[1], "W 48 43 C0");
    EXPECT_TRUE(w);  // Program leaves the page open
}

TEST_F(PWMWindowTest, ADoubleClickGrabsOnceAndTheLastPixelReachesThePeriodEnd) {
    Reg(0x41) = 0x40;
    Reg(0x43) = 0xC0;
    QPointer<frmPWM> w = Open();
    ASSERT_TRUE(w);
    auto* outa = Child<PWMCanvas>(w, "pctPWM_0");
    const double r = std::round(w->logic.RisingX(0) / 15) * 15;
    board.ClearLog();

    // Press, release, double click, release: one grab, not a grab and a drop.
    Mouse(outa, QEvent::MouseButtonPress, r);
    Mouse(outa, QEvent::MouseButtonRelease, r);
    Mouse(outa, QEvent::MouseButtonDblClick, r);
    Mouse(outa, QEvent::MouseButtonRelease, r);
    EXPECT_EQ(w->logic.DragState[0].State(), pwm::Edge::Rising);
    EXPECT_EQ(outa->CurrentScene().lines[6].rgb, pwm::kGreen);

    Mouse(outa, QEvent::MouseMove, PixelsToTwips(280));
    EXPECT_EQ(Text(outa, 2), "T1 = 20.405us");
    EXPECT_DOUBLE_EQ(outa->CurrentScene().lines[6].at.x1, pwm::kMidX);
    Mouse(outa, QEvent::MouseMove, PixelsToTwips(281));
    EXPECT_EQ(Text(outa, 2), "T1 = 20.405us");

    // Ticking and unticking the disable box recolours the carried edge with its trace.
    auto* disable = Child<QCheckBox>(w, "chkDisable_0");
    disable->click();
    EXPECT_EQ(outa->CurrentScene().lines[6].rgb, pwm::kBlack);
    disable->click();
    EXPECT_EQ(outa->CurrentScene().lines[6].rgb, pwm::kRed);
    EXPECT_EQ(outa->CurrentScene().texts[2].rgb, pwm::kRed);
    Mouse(outa, QEvent::MouseButtonPress, 2000);
    EXPECT_EQ(w->logic.DragState[0].State(), pwm::Edge::None);
    EXPECT_EQ(outa->CurrentScene().texts[2].rgb, pwm::kBlack);

    Child<QPushButton>(w, "cmdProgram")->click();
    EXPECT_EQ(Reg(0x41), 0xFF);  // 4081 = 0xFF1
    EXPECT_EQ(Reg(0x42) >> 4, 0x1);
}

TEST_F(PWMWindowTest, NudgesPresetsAndTheFiltersFrequencyReachTheChipOnlyThroughProgram) {
    Reg(0x5D) = 0x00;
    QPointer<frmPWM> w = Open();
    ASSERT_TRUE(w);
    board.ClearLog();

    auto* topology = Child<QComboBox>(w, "cmbTopology");
    topology->setCurrentIndex(4);
    emit topology->activated(4);
    EXPECT_TRUE(Child<QCheckBox>(w, "chkDisable_1")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(w, "chkEnableT2Mod_0")->isChecked());
    EXPECT_EQ(w->logic.lblT2[0], "T2 = 10.200us");

    Child<QPushButton>(w, "cmdFallingRight_0")->click();
    EXPECT_EQ(Text(Child<PWMCanvas>(w, "pctPWM_0"), 3), "T2 = 10.205us");

    // The filter designer's hand-over, through the page interface it knows.
    static_cast<PageWindow*>(w.data())->ChooseSwitchingFrequency(QStringLiteral("98kHz"));
    EXPECT_EQ(Child<QLabel>(w, "lblPWMFreq")->text(), "98kHz");
    EXPECT_EQ(w->logic.lblT2[0], "T2 = 5.100us");  // 2041 of 4081 keeps its place: 1020 of 2040

    Child<QCheckBox>(w, "chkT1Sign_2")->click();
    EXPECT_EQ(Child<QCheckBox>(w, "chkT1Sign_2")->text(), "Positive Modulation on T5 Edge");
    auto* auxFreq = Child<QComboBox>(w, "cmbAuxFreq");
    auxFreq->setCurrentIndex(3);
    emit auxFreq->activated(3);
    EXPECT_EQ(Text(Child<PWMCanvas>(w, "pctPWM_6"), 1), "8us");
    EXPECT_TRUE(board.AccessTrace().empty());

    Child<QPushButton>(w, "cmdProgram")->click();
    EXPECT_EQ(Reg(0x43), 0x3F);
    EXPECT_EQ(Reg(0x44), 0xC8);  // 1020, modulated, inverted
    EXPECT_EQ(Reg(0x4A), 0x04);
    EXPECT_EQ(Reg(0x40), 0xFD);
    EXPECT_EQ(Reg(0x5D), 0x30);
    EXPECT_EQ(Shared().SavedTopologyIndex, 4);

    // Reopened after closing, the page preselects the programmed topology and shows the chip.
    w->Unload();
    FlushDeletes();
    Reg(0x40) = 0;
    QPointer<frmPWM> again = Open();
    ASSERT_TRUE(again);
    EXPECT_EQ(Child<QComboBox>(again, "cmbTopology")->currentText(), "Forward converter");
    EXPECT_FALSE(Child<QCheckBox>(again, "chkDisable_1")->isChecked());
}

TEST_F(PWMOnScreenTest, AMoveWithNothingGrabbedPaintsNothingAndADragOnlyItsOwnDiagram) {
    PWMCanvas* outa = canvas[0];
    const double r = page->logic.RisingX(0);
    Mouse(canvas[1], QEvent::MouseMove, 6000);  // away from every edge
    EXPECT_EQ(PaintedDiagrams(), std::vector<int>{});
    Mouse(canvas[1], QEvent::MouseMove, page->logic.FallingX(1));  // the pointer changes, nothing else
    EXPECT_EQ(page->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(PaintedDiagrams(), std::vector<int>{});
    Mouse(page, QEvent::MouseMove, 100);  // over the page outside the diagrams
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(PaintedDiagrams(), std::vector<int>{});
    Mouse(outa, QEvent::MouseButtonPress, 6000);  // a click near no edge changes nothing
    EXPECT_EQ(PaintedDiagrams(), std::vector<int>{});

    Mouse(outa, QEvent::MouseButtonPress, r);
    EXPECT_EQ(PaintedDiagrams(), std::vector<int>{0});  // the edge turns green, its label red
    Settle();
    const long whole = static_cast<long>(outa->width()) * outa->height();
    for (double x = r + 15; x < r + 150; x += 15) {
        Mouse(outa, QEvent::MouseMove, x);
        EXPECT_EQ(PaintedDiagrams(), std::vector<int>{0}) << x;
        EXPECT_LT(Area(painted[0]), whole / 4) << x;  // the edge's lines, its arrow and its label
        Settle();
    }
    Mouse(outa, QEvent::MouseMove, pwm::kMidX + 300);  // outside the first period: no change
    EXPECT_EQ(PaintedDiagrams(), std::vector<int>{});
}

TEST_F(PWMOnScreenTest, PartialRepaintsShowWhatAWholePaintShows) {
    PWMCanvas* outa = canvas[0];
    auto expectSame = [&](const char* step) {
        QCoreApplication::processEvents();
        for (int i = 0; i < 7; ++i) {
            const QImage shown = Shown(canvas[i]);
            ASSERT_EQ(shown.size(), canvas[i]->size()) << step;
            EXPECT_TRUE(shown == PaintedWhole(canvas[i])) << step << " diagram " << i;
            EXPECT_TRUE(shown == canvas[i]->grab().toImage().convertToFormat(QImage::Format_RGB32)) << step << i;
        }
    };
    expectSame("set up");

    // The rising edge carried with its arrow past the falling edge and back, one pixel a step.
    Mouse(outa, QEvent::MouseButtonPress, page->logic.RisingX(0));
    QCoreApplication::processEvents();
    for (double x = page->logic.RisingX(0); x < page->logic.FallingX(0) + 300; x += 15) {
        Mouse(outa, QEvent::MouseMove, x);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(outa->CurrentScene().lines[5].at.y1, 240);  // high-low-high now
    expectSame("carried past the falling edge");
    for (double x = pwm::kMidX; x > pwm::kStartX + 600; x -= 45) {
        Mouse(outa, QEvent::MouseMove, x);
        QCoreApplication::processEvents();
    }
    expectSame("carried back");

    // Boxes and a preset while the edge is still grabbed, then the drop.
    Child<QCheckBox>(page, "chkEnableT1Mod_0")->click();  // the carried edge's arrow goes
    QCoreApplication::processEvents();
    Child<QCheckBox>(page, "chkEnableT2Mod_0")->click();  // the other edge's comes
    expectSame("arrows changed");
    Child<QCheckBox>(page, "chkDisable_0")->click();
    expectSame("disabled mid-drag");
    auto* topology = Child<QComboBox>(page, "cmbTopology");
    topology->setCurrentIndex(0);
    emit topology->activated(0);
    QCoreApplication::processEvents();
    Mouse(outa, QEvent::MouseMove, 2500);
    QCoreApplication::processEvents();
    Mouse(outa, QEvent::MouseButtonPress, 2500);
    expectSame("preset and drop");
}

// The widest labels there are, in the page's font and in a large one: nothing drawn in the last
// four pixels before the border, nor over the end of the second period.
TEST(PWMCanvasLabels, TheWidestEdgeLabelsKeepClearOfTheBorder) {
    pwm::OutputView v;
    v.output = 6;
    v.risingX = 2000;
    v.fallingX = 3000;
    v.risingLabel = "T13 = 20.475us";
    v.fallingLabel = "T14 = 20.475us";
    v.periodLabel = "20.408us";
    for (double points : {0.0, 14.0}) {
        PWMCanvas c;
        if (points > 0) {
            QFont big = c.font();
            big.setPointSizeF(points);
            c.setFont(big);
        }
        c.SetScene(pwm::BuildScene(v));
        const QImage img = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int w = img.width();
        for (int y = 1; y < img.height() - 1; ++y) {
            for (int x = w - 5; x < w - 1; ++x) EXPECT_EQ(img.pixel(x, y), qRgb(255, 255, 255)) << points << " " << x << "," << y;
            EXPECT_EQ(img.pixel(482, y), qRgb(255, 255, 255)) << points << " " << y;
        }
        bool inked = false;  // and the labels are there
        for (int y = 16; y < 48; ++y)
            for (int x = 484; x < w - 5; ++x) inked = inked || img.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_TRUE(inked) << points;
    }
}

// Whether a segment runs through the inside of a box; along its edge does not count.
bool Crosses(const QLineF& l, const QRectF& r) {
    double t0 = 0, t1 = 1;
    auto clip = [&](double p, double q) {  // keeps the part where p * t < q
        if (p == 0) return q > 0;
        const double t = q / p;
        if (p < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        return t0 < t1;
    };
    return clip(-l.dx(), l.x1() - r.left()) && clip(l.dx(), r.right() - l.x1()) && clip(-l.dy(), l.y1() - r.top()) &&
           clip(l.dy(), r.bottom() - l.y1());
}

TEST(PWMCanvasLabels, CrossesCountsOnlyTheInsideOfABox) {
    const QRectF box(10, 10, 20, 10);
    EXPECT_TRUE(Crosses({20, 0, 20, 15}, box));
    EXPECT_TRUE(Crosses({0, 0, 40, 30}, box));
    EXPECT_FALSE(Crosses({20, 0, 20, 10}, box));  // ends on its top
    EXPECT_FALSE(Crosses({0, 10, 40, 10}, box));  // along its top
    EXPECT_FALSE(Crosses({0, 0, 5, 40}, box));
}

// The page opened at the desktop's font: the main window was made at the toolkit's default, as it
// is while a test or the desktop changes the application font.
class PWMLayoutTest : public PWMWindowTest {
protected:
    void SetUp() override {
        PWMWindowTest::SetUp();
        Reg(0x5D) = 0x22;  // 98 kHz on every output: "10.204us"
        for (int i = 0; i < 7; ++i) {
            Reg(0x41 + 4 * i) = 0x40;  // a quarter and three quarters of 2040
            Reg(0x43 + 4 * i) = 0xBF;
        }
        main->resize(2000, 1400);
        main->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        QApplication::setFont(font0);
        FollowApplicationFont();
        QCoreApplication::processEvents();
        PWMWindowTest::TearDown();
    }
    void UseFont(double points) {
        QFont f = font0;
        f.setPointSizeF(points);
        QApplication::setFont(f);
        FollowApplicationFont();
    }
    frmPWM* OpenShown() {
        frmPWM* w = Open();
        QCoreApplication::processEvents();
        return w;
    }
    const QFont font0 = QApplication::font();
};

TEST_F(PWMLayoutTest, WholeAtEveryCommonFontAtTheFirstOpening) {
    for (double points : {9.0, 10.0, 11.0, 12.0, 14.0}) {
        SCOPED_TRACE(points);
        UseFont(points);
        QPointer<frmPWM> w = OpenShown();
        ASSERT_TRUE(w);
        EXPECT_EQ(CutTexts(w), QStringList());
        // Never squeezed below what its rows need: the diagrams and the boxes beside them keep apart.
        EXPECT_GE(w->width(), w->minimumSizeHint().width());
        EXPECT_GE(w->height(), w->minimumSizeHint().height());
        for (int i = 0; i < 7; ++i) {
            auto* c = Child<PWMCanvas>(w, ("pctPWM_" + std::to_string(i)).c_str());
            ASSERT_TRUE(c);
            SCOPED_TRACE(i);
            EXPECT_EQ(c->size(), QSize(TwipsToPixels(pwm::kPictureWidth), TwipsToPixels(pwm::kPictureHeight)));
            for (const QObject* o : w->children()) {
                const auto* other = qobject_cast<const QWidget*>(o);
                if (other && other != c && other->isVisibleTo(w)) {
                    EXPECT_FALSE(c->geometry().intersects(other->geometry())) << ControlName(other).toStdString();
                }
            }
            const QList<PaintedCaption> captions = c->Captions();
            ASSERT_EQ(captions.size(), 4);
            EXPECT_EQ(captions[1].Text, "10.204us");
            // The texts grow with the geometry: the picture paints in the page's font.
            EXPECT_NEAR(captions[1].Box.height(), QFontMetricsF(QApplication::font()).height(), 1);
            const QList<QLineF> lines = c->Lines();
            for (int k = 0; k < captions.size(); ++k) {
                const QRectF box = captions[k].Box;
                EXPECT_TRUE(QRectF(c->rect()).contains(box)) << captions[k].Text.toStdString();
                for (int j = k + 1; j < captions.size(); ++j)
                    EXPECT_FALSE(box.intersects(captions[j].Box)) << captions[k].Text.toStdString();
                for (const QLineF& l : lines)
                    EXPECT_FALSE(Crosses(l, box)) << captions[k].Text.toStdString() << " " << l.x1() << "," << l.y1()
                                                  << " " << l.x2() << "," << l.y2();
            }
        }
        w->Unload();
        FlushDeletes();
    }
}

// At a larger font the mouse arrives in whole pixels of the larger picture: an edge is grabbed
// where it is drawn, follows the pointer's pixel, and the pixel of the period end reaches it.
TEST_F(PWMLayoutTest, GrabAndDragAtALargerFontLandWhereTheyAreDrawn) {
    UseFont(14);
    ASSERT_GT(LayoutScale(), 1.3);
    QPointer<frmPWM> w = OpenShown();
    ASSERT_TRUE(w);
    auto* outa = Child<PWMCanvas>(w, "pctPWM_0");
    auto pixelMouse = [&](QEvent::Type type, int px) { Mouse(outa, type, px * TwipsPerPixel()); };
    auto drawnEdge = [&] { return outa->Lines()[6].x1(); };
    auto labelTime = [&] { return ParseNumber(Text(outa, 2).mid(Text(outa, 2).indexOf(u'=') + 1)); };
    board.ClearLog();

    const int edge = static_cast<int>(std::lround(drawnEdge()));
    pixelMouse(QEvent::MouseMove, edge + 3);
    EXPECT_EQ(w->cursor().shape(), Qt::SizeHorCursor);
    pixelMouse(QEvent::MouseButtonPress, edge + 3);
    ASSERT_EQ(w->logic.DragState[0].State(), pwm::Edge::Rising);
    for (int px : {TwipsToPixels(1800), TwipsToPixels(3333)}) {
        pixelMouse(QEvent::MouseMove, px);
        EXPECT_NEAR(drawnEdge(), px, 0.5) << px;
        // The label reads the time of the place drawn, to the count.
        const double placed = (drawnEdge() * TwipsPerPixel() - pwm::kStartX) / (pwm::kMidX - pwm::kStartX) * 10.2;
        EXPECT_NEAR(labelTime(), placed, 0.0051) << px;
    }
    const int end = TwipsToPixels(pwm::kMidX);
    pixelMouse(QEvent::MouseMove, end);
    EXPECT_EQ(Text(outa, 2), "T1 = 10.200us");
    EXPECT_DOUBLE_EQ(outa->CurrentScene().lines[6].at.x1, pwm::kMidX);
    pixelMouse(QEvent::MouseMove, end + 1);
    EXPECT_EQ(Text(outa, 2), "T1 = 10.200us");
    pixelMouse(QEvent::MouseButtonPress, TwipsToPixels(2000));
    EXPECT_EQ(w->logic.DragState[0].State(), pwm::Edge::None);
    EXPECT_TRUE(board.AccessTrace().empty());

    Child<QPushButton>(w, "cmdProgram")->click();
    EXPECT_EQ(Reg(0x41), 0x7F);  // 2040 = 0x7F8
    EXPECT_EQ(Reg(0x42) >> 4, 0x8);
}

}  // namespace
