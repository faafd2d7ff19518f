#include "page_test_support.h"

#include "pages/general_logic.h"
#include "text_fit.h"

#include <QPushButton>

namespace {

class GeneralTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
    void Preset(uint8_t r2B, uint8_t r2C, uint8_t r2D, uint8_t r3C) {
        auto& regs = board.Regs(0x48);
        regs[0x2B] = r2B;
        regs[0x2C] = r2C;
        regs[0x2D] = r2D;
        regs[0x3C] = r3C;
    }
    GeneralLogic page;
};

TEST(GeneralItems, ThresholdTexts) {
    GeneralLogic page;
    ASSERT_EQ(page.cmbOTPThreshold.items.size(), 16);
    EXPECT_EQ(page.cmbOTPThreshold.items[0], "0V");
    EXPECT_EQ(page.cmbOTPThreshold.items[1], ".05V");
    EXPECT_EQ(page.cmbOTPThreshold.items[3], ".15V");
    EXPECT_EQ(page.cmbOTPThreshold.items[15], ".75V");
    EXPECT_EQ(page.cmbSyncRectOff.items.first(), "0");
    EXPECT_EQ(page.cmbSyncRectOff.items.last(), "35%");
}

TEST_F(GeneralTest, SetUpReadsFourRegistersAndApplyWritesThemInOrder) {
    struct Case {
        uint8_t r2B, r2C, r2D, r3C;
        const char *lin, *therm, *otp, *pson, *soft, *pgood, *gate, *psonPol, *sync;
        Trace apply;
    } cases[] = {
        {0x3A, 0xE7, 0x07, 0x5B, "Linearization Enabled", "100K", ".5V", "Hardware PSON", "40ms", "Inverted",
         "Inverted", "Inverted", "15%",
         {"W 48 2B 3A", "R 48 2C", "W 48 2C E7", "R 48 2D", "W 48 2D 07", "R 48 3C", "W 48 3C 5B"}},
        {0xC5, 0x02, 0xFA, 0x00, "Normal Mode", "10K", ".25V", "Software PSON", "10ms", "Non-Inverted", "Inverted",
         "Non-Inverted", "0",
         {"W 48 2B 05", "R 48 2C", "W 48 2C 02", "R 48 2D", "W 48 2D FA", "R 48 3C", "W 48 3C 00"}},
    };
    for (const Case& c : cases) {
        GeneralLogic fresh;
        Preset(c.r2B, c.r2C, c.r2D, c.r3C);
        board.ClearLog();
        fresh.SetupFormAfterLoad(0x48);
        EXPECT_EQ(TraceOf(board), (Trace{"R 48 2B", "R 48 2C", "R 48 2D", "R 48 3C"}));
        EXPECT_EQ(fresh.cmbLinearize.Text(), c.lin);
        EXPECT_EQ(fresh.cmbThermistorVal.Text(), c.therm);
        EXPECT_EQ(fresh.cmbOTPThreshold.Text(), c.otp);
        EXPECT_EQ(fresh.cmbPSON.Text(), c.pson);
        EXPECT_EQ(fresh.cmbSoftStart.Text(), c.soft);
        EXPECT_EQ(fresh.cmbPGOOD.Text(), c.pgood);
        EXPECT_EQ(fresh.cmbGate.Text(), c.gate);
        EXPECT_EQ(fresh.cmbPSONPol.Text(), c.psonPol);
        EXPECT_EQ(fresh.cmbSyncRectOff.Text(), c.sync);
        board.ClearLog();
        fresh.cmdApply_Click(0x48);
        EXPECT_EQ(TraceOf(board), c.apply);
    }
}

TEST_F(GeneralTest, ApplyComposesTheChoicesOverAFreshReadKeepingBits7To3) {
    Preset(0x00, 0xE7, 0x07, 0x5B);
    page.SetupFormAfterLoad(0x48);
    for (ListControl* l : {&page.cmbPGOOD, &page.cmbGate, &page.cmbPSONPol, &page.cmbPSON}) page.Choose(0x48, *l, 0);
    page.Choose(0x48, page.cmbSoftStart, 1);
    page.Choose(0x48, page.cmbSyncRectOff, 0);
    page.Choose(0x48, page.cmbLinearize, 1);
    page.Choose(0x48, page.cmbOTPThreshold, 15);
    // Someone else changed the upper bits since set-up: Apply keeps what the chip holds now.
    board.Regs(0x48)[0x2D] = 0xAF;
    board.ClearLog();
    page.cmdApply_Click(0x48);
    EXPECT_EQ(TraceOf(board),
              (Trace{"W 48 2B 2F", "R 48 2C", "W 48 2C E2", "R 48 2D", "W 48 2D A8", "R 48 3C", "W 48 3C 58"}));
}

class GeneralWidgetTest : public PageWidgetFixture {};

TEST_F(GeneralWidgetTest, ListsWaitForApplyAndCancelWritesNothing) {
    board.Regs(0x48)[0x2B] = 0x3A;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::General, 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "General Settings (0x48)");
    auto* otp = Child<QComboBox>(w, "cmbOTPThreshold");
    ASSERT_TRUE(otp);
    EXPECT_EQ(otp->currentText(), ".5V");
    board.ClearLog();
    emit otp->activated(3);
    EXPECT_TRUE(board.AccessTrace().empty());
    Child<QPushButton>(w, "cmdApply")->click();
    EXPECT_EQ(TraceOf(board).front(), "W 48 2B 33");
    board.ClearLog();
    Child<QPushButton>(w, "cmdCancel")->click();
    FlushDeletes();
    EXPECT_FALSE(w);
    EXPECT_TRUE(board.AccessTrace().empty());
}

}  // namespace

namespace {
// Every caption and every list item shows whole on the page as laid out.
TEST_F(GeneralWidgetTest, NothingIsCut) {
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::General, 0);
    ASSERT_TRUE(w);
    QCoreApplication::processEvents();
    EXPECT_EQ(CutTexts(w), QStringList());
}
}  // namespace
