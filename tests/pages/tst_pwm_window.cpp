#include "page_test_support.h"

#include "core/twips.h"
#include "pages/frmPWM.h"
#include "pages/widgets/pwm_canvas.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <cmath>

namespace {

class PWMWindowTest : public PageWidgetFixture {
protected:
    frmPWM* Open() {
        PageWindow* w = main->OpenDevicePage(PageKind::PWM, 0);
        return qobject_cast<frmPWM*>(w);
    }
    static void Mouse(QWidget* w, QEvent::Type type, double xTwips) {
        const QPointF at(xTwips / 15, w->height() / 2.0);
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

}  // namespace
