#include "page_test_support.h"

#include "pages/orfet_logic.h"

#include <QCheckBox>
#include <QPushButton>
#include <QWheelEvent>

namespace {

class OrFETTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
    OrFETLogic page;
};

TEST_F(OrFETTest, SetUpShowsEachFieldAndWritesTheRegisterBackOncePerFieldShown) {
    struct Case {
        uint8_t reg;
        const char *off, *on, *filter;
        int box;
    } cases[] = {
        {0xB7, "10%", "8%", "400 nsecs", 1},
        {0x01, "0%", "1%", "100 nsecs", 0},
        {0x48, "5%", "1%", "50 nsecs", 0},
    };
    for (const Case& c : cases) {
        OrFETLogic fresh;
        board.Regs(0x48)[0x30] = c.reg;
        board.ClearLog();
        fresh.SetupFormAfterLoad(0x48);
        EXPECT_EQ(fresh.cmbReverseOff.Text(), c.off);
        EXPECT_EQ(fresh.cmbReverseOn.Text(), c.on);
        EXPECT_EQ(fresh.cmbFilter.Text(), c.filter);
        EXPECT_EQ(fresh.chkOrFETOffDisable.Code(), c.box);
        const std::string back = "W 48 30 " + QStringLiteral("%1").arg(c.reg, 2, 16, QChar(u'0')).toUpper().toStdString();
        Trace expected{"R 48 30"};
        for (int i = 0; i < 3 + c.box; ++i) expected.insert(expected.end(), {"R 48 30", back});
        EXPECT_EQ(TraceOf(board), expected) << int(c.reg);
        EXPECT_EQ(board.Regs(0x48)[0x30], c.reg);
    }
}

TEST_F(OrFETTest, EachChoiceIsAFreshReadModifyWriteThatKeepsBit3) {
    struct Case {
        uint8_t before;
        int control;  // 0 off, 1 on, 2 filter, 3 box
        int choice;
        const char* written;
    } cases[] = {
        {0x08, 0, 3, "C8"}, {0xFF, 0, 0, "3F"}, {0x08, 1, 2, "28"}, {0xFF, 1, 0, "CF"},
        {0x08, 2, 3, "0B"}, {0xFF, 2, 1, "FD"}, {0xFF, 3, 0, "FB"}, {0x08, 3, 1, "0C"},
    };
    for (const Case& c : cases) {
        OrFETLogic fresh;
        board.Regs(0x48)[0x30] = c.before;
        fresh.SetupFormAfterLoad(0x48);
        board.ClearLog();
        ListControl* lists[] = {&fresh.cmbReverseOff, &fresh.cmbReverseOn, &fresh.cmbFilter};
        if (c.control < 3)
            fresh.Choose(0x48, *lists[c.control], c.choice);
        else
            fresh.Choose(0x48, fresh.chkOrFETOffDisable, c.choice);
        EXPECT_EQ(TraceOf(board), (Trace{"R 48 30", std::string("W 48 30 ") + c.written}))
            << int(c.before) << " " << c.control;
    }
}

class OrFETWidgetTest : public PageWidgetFixture {};

TEST_F(OrFETWidgetTest, ControlsWriteAtOnceTheWheelPassesOverAndCloseWritesNothing) {
    board.Regs(0x48)[0x30] = 0x08;
    QPointer<PageWindow> w = main->OpenDevicePage(PageKind::OrFET, 0);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "OrFET Control (0x48)");
    EXPECT_EQ(TraceOf(board),
              (Trace{"R 48 30", "R 48 30", "W 48 30 08", "R 48 30", "W 48 30 08", "R 48 30", "W 48 30 08"}));
    auto* off = Child<QComboBox>(w, "cmbReverseOff");
    auto* box = Child<QCheckBox>(w, "chkOrFETOffDisable");
    ASSERT_TRUE(off && box);
    EXPECT_EQ(off->currentText(), "0%");
    EXPECT_FALSE(Child<QCheckBox>(w, "chkReverseCurrent")->isEnabled());

    board.ClearLog();
    off->setCurrentIndex(3);
    emit off->activated(3);
    box->click();
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 30", "W 48 30 C8", "R 48 30", "W 48 30 CC"}));

    // A wheel turn over a list the user has not focused neither moves it nor writes.
    board.ClearLog();
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    ASSERT_FALSE(off->hasFocus());
    QCoreApplication::sendEvent(off, &wheel);
    EXPECT_EQ(off->currentIndex(), 3);
    EXPECT_TRUE(board.AccessTrace().empty());

    Child<QPushButton>(w, "cmdApply")->click();
    EXPECT_TRUE(board.AccessTrace().empty());
    Child<QPushButton>(w, "cmdClose")->click();
    FlushDeletes();
    EXPECT_FALSE(w);
    EXPECT_TRUE(board.AccessTrace().empty());
}

}  // namespace
