#include "page_test_support.h"
#include "sense_picture_checks.h"
#include "text_fit.h"

#include "pages/current_sense_logic.h"

#include <QCheckBox>
#include <QLabel>
#include <algorithm>

namespace {

class CurrentSenseTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
    void Preset(uint8_t r21, uint8_t r23, uint8_t r24, uint8_t r25) {
        auto& regs = board.Regs(0x48);
        regs[0x21] = r21;
        regs[0x23] = r23;
        regs[0x24] = r24;
        regs[0x25] = r25;
    }
    CurrentSenseLogic page;
};

TEST_F(CurrentSenseTest, SetUpRunsEveryHandlerAndLeavesTheRegistersAsTheyWere) {
    Preset(0xE4, 0xC5, 0xD5, 0x9A);
    page.SetupFormAfterLoad(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 21", "R 48 21", "W 48 21 E4", "R 48 21", "W 48 21 E4",
                                     "R 48 23", "R 48 23", "W 48 23 C5", "R 48 23", "W 48 23 C5", "R 48 23", "W 48 23 C5",
                                     "R 48 24", "R 48 24", "W 48 24 D5", "R 48 24", "W 48 24 D5", "R 48 24", "W 48 24 D5",
                                     "R 48 25", "W 48 25 9A"}));
    EXPECT_EQ(page.cmbCS1GainTrim.Text(), "100");
    EXPECT_EQ(page.cmbCS1GainPol.Text(), "Negative");
    EXPECT_EQ(page.cmbCS2GainTrim.Text(), "5");
    EXPECT_EQ(page.cmbCS2GainPol.Text(), "Positive");
    EXPECT_EQ(page.cmbFullVoltage.Code(), 3);
    EXPECT_EQ(page.chkHighSideSense.Code(), 1);
    EXPECT_EQ(page.cmbCS2OffsetPol.Text(), "Negative");
    EXPECT_EQ(page.cmbCS2OffsetTrim.Text(), "21");
    EXPECT_EQ(page.cmbDigitalTrim.Text(), "154");
    // Code 3 of the full-load voltage survives opening the page (it is not rewritten as 2).
    EXPECT_EQ(board.Regs(0x48)[0x23], 0xC5);

    // The box is already ticked when the page is opened again: its handler does not run.
    board.ClearLog();
    page.SetupFormAfterLoad(0x48);
    const Trace again = TraceOf(board);
    EXPECT_EQ(std::count(again.begin(), again.end(), "W 48 24 D5"), 2);
    EXPECT_EQ(again.size(), 19u);
}

TEST_F(CurrentSenseTest, EachChoiceWritesItsFieldAtOnce) {
    struct Case {
        uint8_t r21, r23, r24;
        const char* control;
        int choice;
        Trace trace;
    } cases[] = {
        {0x80, 0, 0, "cmbCS1GainTrim", 100, {"R 48 21", "W 48 21 E4"}},
        {0x05, 0, 0, "cmbCS1GainPol", 1, {"R 48 21", "W 48 21 85"}},
        {0, 0x05, 0, "cmbFullVoltage", 3, {"R 48 23", "W 48 23 C5"}},
        {0, 0xC5, 0, "cmbFullVoltage", 2, {"R 48 23", "W 48 23 85"}},
        {0, 0x3F, 0, "cmbCS2GainPol", 0, {"R 48 23", "W 48 23 1F"}},
        {0, 0xE0, 0, "cmbCS2GainTrim", 31, {"R 48 23", "W 48 23 FF"}},
        {0, 0, 0x15, "cmbCS2OffsetPol", 1, {"R 48 24", "W 48 24 55"}},
        {0, 0, 0xC0, "cmbCS2OffsetTrim", 63, {"R 48 24", "W 48 24 FF"}},
        {0, 0, 0x00, "chkHighSideSense", 1, {"R 48 24", "W 48 24 80"}},
        {0, 0, 0x80, "chkHighSideSense", 0, {"R 48 24", "W 48 24 00"}},
        {0, 0, 0, "cmbDigitalTrim", 0x7B, {"W 48 25 7B"}},
    };
    for (const Case& c : cases) {
        CurrentSenseLogic fresh;
        Preset(c.r21, c.r23, c.r24, 0);
        fresh.SetupFormAfterLoad(0x48);
        board.ClearLog();
        const std::pair<const char*, ListControl*> lists[] = {
            {"cmbCS1GainTrim", &fresh.cmbCS1GainTrim},   {"cmbCS1GainPol", &fresh.cmbCS1GainPol},
            {"cmbFullVoltage", &fresh.cmbFullVoltage},   {"cmbCS2GainPol", &fresh.cmbCS2GainPol},
            {"cmbCS2GainTrim", &fresh.cmbCS2GainTrim},   {"cmbCS2OffsetPol", &fresh.cmbCS2OffsetPol},
            {"cmbCS2OffsetTrim", &fresh.cmbCS2OffsetTrim}, {"cmbDigitalTrim", &fresh.cmbDigitalTrim}};
        bool found = false;
        for (auto [name, list] : lists)
            if (std::string(name) == c.control) {
                fresh.Choose(0x48, *list, c.choice);
                found = true;
            }
        if (!found) fresh.Choose(0x48, fresh.chkHighSideSense, c.choice);
        EXPECT_EQ(TraceOf(board), c.trace) << c.control << " " << c.choice;
    }
}

TEST_F(CurrentSenseTest, OpenFlagAndLiveValuesFollowTheCaptionsDevice) {
    Shared().Devices[0].InputCurrent = 0.25f;
    Shared().Devices[0].OutputCurrent = -1.504f;
    page.SetupFormAfterLoad(0x48);
    EXPECT_TRUE(Shared().CurrentSenseFormOpen[0]);
    page.DisplayValues(0x48);
    EXPECT_EQ(page.lblCS1Val, " .25A");
    EXPECT_EQ(page.lblCS2Val, "-1.5A");
    page.Form_Unload(0x48);
    EXPECT_FALSE(Shared().CurrentSenseFormOpen[0]);

    CurrentSenseLogic stranger;
    board.AddChip(0x50);
    stranger.SetupFormAfterLoad(0x50);
    stranger.DisplayValues(0x50);
    EXPECT_FALSE(Shared().CurrentSenseFormOpen[0] || Shared().CurrentSenseFormOpen[1]);
    EXPECT_TRUE(stranger.lblCS1Val.isEmpty());
}

class CurrentSenseWidgetTest : public PageWidgetFixture {};

TEST_F(CurrentSenseWidgetTest, ListsWriteAtOnceAndTheMasterTimerRefreshesTheCurrents) {
    board.Regs(0x48)[0x23] = 0xC0;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::CurrentSense, 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Current Sensing (0x48)");
    auto* full = Child<QComboBox>(w, "cmbFullVoltage");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->currentIndex(), 3);

    board.ClearLog();
    emit full->activated(1);
    Child<QCheckBox>(w, "chkHighSideSense")->click();
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 23", "W 48 23 40", "R 48 24", "W 48 24 80"}));
    EXPECT_EQ(full->currentIndex(), 1);

    Shared().Devices[0].InputCurrent = 1.234f;
    Shared().Devices[0].OutputCurrent = 2.5f;
    main->tmrMaster_Timer();
    EXPECT_EQ(Child<QLabel>(w, "lblCS1Val")->text(), " 1.23A");
    EXPECT_EQ(Child<QLabel>(w, "lblCS2Val")->text(), " 2.5A");

    w->Unload();
    FlushDeletes();
    EXPECT_FALSE(Shared().CurrentSenseFormOpen[0]);
}

}  // namespace

namespace {

TEST(CurrentSensePicture, SceneLiesOnThePictureAndSettingsPointAtTheirParts) {
    const SenseScene& s = CurrentSenseScene();
    ExpectSceneOnItsPicture(s);
    // Each dashed setting line ends on the part it sets: the amplifiers' edges, a junction or the ADC.
    int settings = 0;
    for (const SenseWire& w : s.Wires) {
        if (!w.Setting) continue;
        ++settings;
        bool onPart = false;
        for (const SensePart& p : s.Parts) {
            const int x = w.Line.X2, y = w.Line.Y2;
            if (x < p.Rect.Left || x > p.Rect.Left + p.Rect.Width) continue;
            if (p.Shape == SenseShape::Amplifier)
                onPart |= y == AmplifierEdgeY(p.Rect, x, true) || y == AmplifierEdgeY(p.Rect, x, false);
            else
                onPart |= y == p.Rect.Top || y == p.Rect.Top + p.Rect.Height;
        }
        EXPECT_TRUE(onPart) << w.Line.X2 << "," << w.Line.Y2;
    }
    EXPECT_EQ(settings, 8);  // two gains, two polarities of gain, offset and its polarity, digital offset, range
}

TEST(CurrentSensePicture, AmplifierEdges) {
    const TwipsRect r{2100, 1440, 840, 720};
    EXPECT_EQ(AmplifierEdgeY(r, 2100, true), 1440);
    EXPECT_EQ(AmplifierEdgeY(r, 2520, true), 1620);
    EXPECT_EQ(AmplifierEdgeY(r, 2520, false), 1980);
    EXPECT_EQ(AmplifierEdgeY(r, 2940, true), 1800);
    EXPECT_EQ(AmplifierEdgeY(r, 2940, false), 1800);
}

TEST_F(CurrentSenseWidgetTest, ControlsSitOnTheDrawingAndNothingIsCut) {
    board.Regs(0x48)[0x23] = 0x80;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::CurrentSense, 0);
    ASSERT_TRUE(w);
    Shared().Devices[0].InputCurrent = -12.345f;
    Shared().Devices[0].OutputCurrent = 123.25f;
    w->DisplayValues();
    ExpectPageOnItsPicture(w, CurrentSenseScene(),
                           {"CS1", "CS2-", "CS2+", "ADC", "CS1 Gain Trim", "CS1 Gain Polarity", "CS1 Value",
                            "CS2 Gain Trim", "CS2 Gain Polarity", "CS2 Offset Trim", "CS2 Offset Polarity",
                            "Digital Offset Trim", "Nominal Full Load Voltage", "CS2 Value"});
    EXPECT_EQ(Child<QLabel>(w, "Label1")->text(), "ZVC7140");
    EXPECT_EQ(CutTexts(w), QStringList());
}

}  // namespace
