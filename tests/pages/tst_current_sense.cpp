#include "page_test_support.h"

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
