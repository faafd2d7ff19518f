// The filter page as a window in the main window, offscreen: opening, the chip's values in its
// controls, a click-move-click drag of a marker, the frequency hand-over to the PWM page, the
// power-stage picture, printing and closing.
#include "filter_chip.h"
#include "fixture.h"

#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/filter_registry.h"
#include "filter/frmDigFilter.h"
#include "filter/power_stage_picture.h"
#include "registers/session.h"
#include "shell/file_dialogs.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

using Trace = std::vector<QString>;

namespace {

// Stands in for the PWM page: records the frequency texts it is handed.
class PwmStandIn : public PageWindow {
public:
    void SetupFormAfterLoad() override { Shared().PWMFormOpen[0] = true; }
    void Form_Unload() override { Shared().PWMFormOpen[0] = false; }
    void ChooseSwitchingFrequency(const QString& text) override { Handed.push_back(text); }
    static inline QStringList Handed;
};

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

void SendMouse(QWidget* w, QEvent::Type type, QPointF pixels) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pixels, w->mapToGlobal(pixels), button, button == Qt::NoButton ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPointF twips) {
    const QPointF px = twips / TwipsPerPixel();
    SendMouse(w, QEvent::MouseButtonPress, px);
    SendMouse(w, QEvent::MouseButtonRelease, px);
}

void Move(QWidget* w, QPointF twips) { SendMouse(w, QEvent::MouseMove, twips / TwipsPerPixel()); }

class DigFilterPageTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
        SetLoopModelDefaults();
        auto& r = board.Regs(0x48);
        PutFilterChip(r);
        RegisterFilterPages();
        main = new frmMain;
        SetMainForm(main);
        main->resize(1400, 900);
        main->show();
        PwmStandIn::Handed.clear();
    }
    void TearDown() override {
        SetPrinterHook({});
        delete main.data();
        SetMainForm(nullptr);
        RegisterPageFactory(PageKind::DigFilter, {});
        RegisterPageFactory(PageKind::PWM, {});
        RunFixture::TearDown();
    }
    frmDigFilter* Open() { return static_cast<frmDigFilter*>(main->OpenDevicePage(PageKind::DigFilter, 0)); }
    template <class T>
    T* Child(QWidget* w, const char* name) {
        return w->findChild<T*>(QString::fromLatin1(name));
    }

    QPointer<frmMain> main;
};

TEST_F(DigFilterPageTest, OpensWithTheChipsSettingsOnTheSecondTab) {
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Filter Settings (0x48)");
    EXPECT_EQ(w->parentWidget()->frameGeometry().size(), QSize(1018, 667));  // 15270 x 10005 twips
    EXPECT_TRUE(w->isVisible());
    auto* tabs = Child<QTabWidget>(w, "SSTab1");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "LC Filter Stage");
    EXPECT_EQ(tabs->tabText(1), "Full Loop Gain and Phase Plots");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(board.AccessTrace().size(), 18u);
    for (const QString& line : board.AccessTrace()) EXPECT_TRUE(line.startsWith(QStringLiteral("R "))) << line.toStdString();

    auto* freq = Child<QComboBox>(w, "cmbFreq");
    ASSERT_TRUE(freq);
    EXPECT_EQ(freq->count(), 12);
    EXPECT_EQ(freq->currentText(), "98kHz");
    EXPECT_EQ(Child<QComboBox>(w, "cmbCCMDCM")->currentText(), "5%");
    EXPECT_EQ(Child<QLineEdit>(w, "txtVin")->text(), "400");
    EXPECT_EQ(Child<QLineEdit>(w, "txtESR(1)")->text(), "10000000");
    EXPECT_TRUE(Child<QLineEdit>(w, "txtL(1)")->isHidden());
    EXPECT_TRUE(Child<QLineEdit>(w, "txtC3")->isHidden());
    EXPECT_FALSE(Child<QLineEdit>(w, "txtL(0)")->isHidden());
    EXPECT_EQ(Child<QLabel>(w, "lblPoleFreq")->text(), w->logic.Plot.Markers.lblPoleFreq);
    EXPECT_FALSE(w->logic.Plot.Markers.lblPoleFreq.isEmpty());
    EXPECT_EQ(Child<QLabel>(w, "lblLoopPhaseMargin")->text(), w->logic.lblLoopPhaseMargin);
    EXPECT_TRUE(Child<QCheckBox>(w, "chkDigFilter")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(w, "chkDigFilterPhase")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(w, "chkFullLoop")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(w, "chkShowLabels")->isChecked());
    EXPECT_FALSE(w->lblPrinting->isVisibleTo(w));
    EXPECT_TRUE(Child<QRadioButton>(w, "optFilterMode(0)")->isChecked());
    // The canvas paints without trouble.
    EXPECT_FALSE(w->grab().isNull());
}

TEST_F(DigFilterPageTest, ClickMoveClickDragsThePoleAndOnlyApplyWrites) {
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    auto* canvas = Child<BodeCanvas>(w, "pctFilter");
    ASSERT_TRUE(canvas);
    const MarkerShape pole = w->logic.Plot.Markers.shpPole;
    const float hfBefore = w->logic.Registers.Sets[0].HFGain;
    board.ClearLog();

    Move(canvas, {pole.CentreX(), pole.CentreY()});
    EXPECT_EQ(w->cursor().shape(), Qt::SizeAllCursor);
    Click(canvas, {pole.CentreX(), pole.CentreY()});
    EXPECT_TRUE(w->logic.Drag.Pole.Grabbed());
    const QPointF to(pole.CentreX() + 450, pole.CentreY() - 84);  // 2 dB up, no button held
    Move(canvas, to);
    EXPECT_NEAR(w->logic.Plot.Markers.shpPole.CentreX(), to.x(), 0.01);
    EXPECT_NEAR(w->logic.Registers.Sets[0].HFGain, hfBefore + 2, 0.011);
    EXPECT_EQ(Child<QLabel>(w, "lblHighFGain")->text(), w->logic.Plot.Markers.lblHighFGain);
    const int redraws = w->logic.RedrawCount;
    Click(canvas, to);
    EXPECT_FALSE(w->logic.Drag.Pole.Grabbed());
    EXPECT_EQ(w->logic.RedrawCount, redraws + 1);
    Move(canvas, {to.x() + 600, to.y()});  // dropped: it stays
    EXPECT_NEAR(w->logic.Plot.Markers.shpPole.CentreX(), to.x(), 0.01);
    EXPECT_TRUE(board.AccessTrace().empty());

    const FilterSet s0 = w->logic.Registers.Sets[0];
    Child<QPushButton>(w, "cmdApply")->click();
    const Trace t = board.AccessTrace();
    ASSERT_EQ(t.size(), 70u);
    EXPECT_EQ(t[t.size() - 8], QStringLiteral("W 48 62 %1").arg(*CornerFreqToCode(s0.Pole, 98000), 2, 16, QChar(u'0')).toUpper());
}

TEST_F(DigFilterPageTest, FrequencyChoiceRereadsTheSetsAndReachesTheOpenPwmPage) {
    RegisterPageFactory(PageKind::PWM, [] { return new PwmStandIn; });
    ASSERT_TRUE(main->OpenDevicePage(PageKind::PWM, 0));
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(PwmStandIn::Handed, QStringList{"98kHz"});  // the set-up's own choice
    board.ClearLog();
    auto* freq = Child<QComboBox>(w, "cmbFreq");
    freq->setCurrentIndex(5);
    emit freq->activated(5);
    EXPECT_EQ(PwmStandIn::Handed, (QStringList{"98kHz", "195kHz"}));
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 61", "R 48 62", "R 48 60", "R 48 63", "R 48 65", "R 48 66", "R 48 64",
                                          "R 48 67"}));
    EXPECT_EQ(Shared().SwitchingFrequencyHz, 195000.0);
    EXPECT_EQ(Child<QLabel>(w, "lblPoleFreq")->text(), w->logic.Plot.Markers.lblPoleFreq);
}

TEST_F(DigFilterPageTest, PowerStageIsOurDrawingUnlessItsPictureFileIsThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Plat().ProgramFolder = dir.path();
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(PowerStagePicturePath(dir.path(), 2), "JPG"));
    EXPECT_TRUE(PowerStagePicturePath(dir.path(), 2).endsWith(QStringLiteral("/PwrStg2.jpg")));

    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->pctPowerOptions->Topology(), 1);
    EXPECT_FALSE(w->pctPowerOptions->ShowsFile());
    Child<QCheckBox>(w, "chkL2C2")->click();
    EXPECT_EQ(w->pctPowerOptions->Topology(), 2);
    EXPECT_TRUE(w->pctPowerOptions->ShowsFile());
    EXPECT_FALSE(Child<QLineEdit>(w, "txtL(1)")->isHidden());
    EXPECT_EQ(Shared().PowerStageTopology, 2);
    Child<QCheckBox>(w, "chkC3C4")->click();
    EXPECT_EQ(w->pctPowerOptions->Topology(), 4);
    EXPECT_FALSE(w->pctPowerOptions->ShowsFile());  // no PwrStg4.jpg: our drawing
    EXPECT_FALSE(Child<QLineEdit>(w, "txtC4")->isHidden());
    for (int n = 1; n <= 4; ++n) {
        w->pctPowerOptions->SetPowerStageTopology(n, QStringLiteral("/no/such/folder"));
        EXPECT_FALSE(w->pctPowerOptions->grab().isNull());
    }
}

TEST_F(DigFilterPageTest, TypedInputReachesTheModelAndTheCurves) {
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    Child<QCheckBox>(w, "chkLCFilter")->click();
    ASSERT_EQ(w->logic.Curves.size(), 2u);
    const std::vector<PlotPoint> before = w->logic.Curves[1].Points;
    auto* vin = Child<QLineEdit>(w, "txtVin");
    int redraws = w->logic.RedrawCount;
    vin->setText(QStringLiteral("12a"));
    emit vin->textEdited(vin->text());
    EXPECT_EQ(Shared().Devices[0].LoopModel.Vin, 12);
    EXPECT_EQ(w->logic.RedrawCount, redraws);
    vin->setText(QStringLiteral("40"));
    emit vin->textEdited(vin->text());
    EXPECT_EQ(w->logic.RedrawCount, redraws + 1);
    EXPECT_NE(w->logic.Curves[1].Points[0].Y, before[0].Y);  // 20 dB lower
    EXPECT_NEAR(w->logic.Curves[1].Points[0].Y - before[0].Y, 840, 0.5);
}

TEST_F(DigFilterPageTest, ARefusedTextStandsOutUntilTheBoxHoldsANumberAgain) {
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    auto* l1 = Child<QLineEdit>(w, "txtL(0)");
    ASSERT_TRUE(l1);
    auto type = [l1](const QString& text) {
        l1->setText(text);
        emit l1->textEdited(text);
    };
    EXPECT_TRUE(l1->styleSheet().isEmpty());
    type(QString(45, u'1'));
    EXPECT_EQ(l1->text(), QString(45, u'1'));  // the user's text stays
    EXPECT_FALSE(l1->styleSheet().isEmpty());
    EXPECT_EQ(l1->toolTip(), "Not a usable number: the model keeps 4");
    EXPECT_EQ(Shared().Devices[0].LoopModel.L[0], 4);
    type(QStringLiteral("6"));
    EXPECT_TRUE(l1->styleSheet().isEmpty());
    EXPECT_TRUE(l1->toolTip().isEmpty());
    // Leaving the box makes its value the one a later refused text falls back to.
    emit l1->editingFinished();
    type(QStringLiteral("6e99"));
    EXPECT_EQ(l1->toolTip(), "Not a usable number: the model keeps 6");
    EXPECT_EQ(Shared().Devices[0].LoopModel.L[0], 6);
}

TEST_F(DigFilterPageTest, ResistanceCaptionsShowTheOhmSign) {
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    QStringList captions;
    for (const QLabel* l : w->pctPowerOptions->findChildren<QLabel*>()) captions << l->text();
    for (const char* c : {"ESR1 (m\u03A9)", "ESR2 (m\u03A9)", "R3 (k\u03A9)", "R4 (k\u03A9)", "Rload (Ohm)", "L1 (uH)"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(c))) << c;
    for (const QString& c : captions) EXPECT_FALSE(c.contains(u'?')) << c.toStdString();
}

TEST_F(DigFilterPageTest, PrintShowsItsNoteWhilePrinting) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("filter.pdf"));
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    bool noteShown = false;
    SetPrinterHook([&] {
        noteShown = w->lblPrinting->isVisible();
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(pdf);
        return p;
    });
    Child<QPushButton>(w, "cmdPrint")->click();
    EXPECT_TRUE(noteShown);
    EXPECT_FALSE(w->lblPrinting->isVisible());
    EXPECT_TRUE(prompts.Shown.empty());
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST_F(DigFilterPageTest, RefusedSetKeepsThePageOffScreenAndCloseWritesNothing) {
    board.Regs(0x48)[0x61] = 150;
    board.Regs(0x48)[0x62] = 150;
    prompts.Answers = {MsgResult::Cancel};
    EXPECT_FALSE(main->OpenDevicePage(PageKind::DigFilter, 0));
    FlushDeletes();
    EXPECT_FALSE(main->Form(PageKind::DigFilter, 0));
    for (const QString& line : board.AccessTrace()) EXPECT_TRUE(line.startsWith(QStringLiteral("R "))) << line.toStdString();

    board.Regs(0x48)[0x62] = 200;
    QPointer<frmDigFilter> w = Open();
    ASSERT_TRUE(w);
    board.ClearLog();
    Child<QPushButton>(w, "cmdCancel")->click();
    FlushDeletes();
    EXPECT_FALSE(w);
    EXPECT_TRUE(board.AccessTrace().empty());
}

}  // namespace
