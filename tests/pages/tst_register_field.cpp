#include "page_test_support.h"

#include "pages/register_field.h"

namespace {

class RegisterFieldTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
    }
};

TEST(RegisterField, DecodeAndEncodeAtTheFieldsBits) {
    const RegisterField f{0x2A, 0xF8};
    EXPECT_EQ(f.Shift(), 3);
    EXPECT_EQ(f.Decode(0x4D), 9);
    EXPECT_EQ(f.Encode(9), 0x48);
    EXPECT_EQ(f.Encode(40), 0x40);  // a code too wide for the field stays inside it
    EXPECT_EQ((RegisterField{0x30, 0x04}.Decode(0xB7)), 1);
    EXPECT_EQ((RegisterField{0x25, 0xFF}.Decode(0xA7)), 0xA7);
}

TEST(ListControl, CodeIsTheSelectedPositionEvenWhenTextsRepeat) {
    ListControl l;
    l.SetItems({"100mV", "200mV", "400mV", "400mV"});
    EXPECT_EQ(l.Code(), 0);
    EXPECT_TRUE(l.Select(3));
    EXPECT_EQ(l.Code(), 3);
    EXPECT_EQ(l.Text(), "400mV");
    EXPECT_FALSE(l.Select(4));
    EXPECT_FALSE(l.Select(-1));
    EXPECT_EQ(l.Code(), 3);
    EXPECT_TRUE(l.SelectText("400mV"));
    EXPECT_EQ(l.Code(), 2);  // a choice by text takes the first equal item
}

TEST(CheckControl, RaisesOnlyOnChange) {
    CheckControl c;
    EXPECT_FALSE(c.Set(0));
    EXPECT_TRUE(c.Set(1));
    EXPECT_FALSE(c.Set(1));
    EXPECT_TRUE(c.Set(0));
}

TEST_F(RegisterFieldTest, WriteNowReadsClearsAndSetsASharedRegisterAndWritesAWholeOneDirectly) {
    board.Regs(0x48)[0x24] = 0x15;
    WriteFieldNow(0x48, {0x24, 0x40}, 1);
    WriteFieldNow(0x48, {0x25, 0xFF}, 0x33);
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 24", "W 48 24 55", "W 48 25 33"}));
}

TEST_F(RegisterFieldTest, SetUpReadsEachRegisterOnceAndRunsTheHandlersOfFieldsThatWriteAtOnce) {
    ListControl low, high, whole, pending;
    CheckControl flag;
    for (ListControl* l : {&low, &high, &pending}) l->SetItems({"a", "b", "c", "d"});
    QStringList numbers;
    for (int i = 0; i < 256; ++i) numbers << QString::number(i);
    whole.SetItems(numbers);
    FieldPage page;
    page.Bind(low, {0x30, 0x03}, WriteRule::AtOnce);
    page.Bind(high, {0x30, 0xC0}, WriteRule::AtOnce);
    page.Bind(flag, {0x30, 0x04}, WriteRule::AtOnce);
    page.Bind(pending, {0x32, 0x30}, WriteRule::ApplyFromZero);
    page.Bind(whole, {0x38, 0xFF}, WriteRule::AtOnce);
    board.Regs(0x48)[0x30] = 0xB7;
    board.Regs(0x48)[0x32] = 0x2F;
    board.Regs(0x48)[0x38] = 0x9C;

    page.SetUp(0x48);
    EXPECT_EQ(low.Code(), 3);
    EXPECT_EQ(high.Code(), 2);
    EXPECT_EQ(flag.Code(), 1);
    EXPECT_EQ(pending.Code(), 2);
    EXPECT_EQ(whole.Code(), 0x9C);
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 30", "R 48 30", "W 48 30 B7", "R 48 30", "W 48 30 B7", "R 48 30",
                                     "W 48 30 B7", "R 48 32", "R 48 38", "W 48 38 9C"}));

    // A second set-up finds the box already ticked: its handler does not run again.
    board.ClearLog();
    page.SetUp(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 30", "R 48 30", "W 48 30 B7", "R 48 30", "W 48 30 B7", "R 48 32",
                                     "R 48 38", "W 48 38 9C"}));
}

TEST_F(RegisterFieldTest, ChooseWritesAtOnceOnlyForItsFieldsAndIgnoresPositionsOutsideTheList) {
    ListControl now, later;
    now.SetItems({"a", "b", "c", "d"});
    later.SetItems({"a", "b"});
    FieldPage page;
    page.Bind(now, {0x30, 0x30}, WriteRule::AtOnce);
    page.Bind(later, {0x2C, 0x01}, WriteRule::ApplyKeepOthers);
    board.Regs(0x48)[0x30] = 0x08;
    page.Choose(0x48, now, 3);
    page.Choose(0x48, now, 4);
    page.Choose(0x48, later, 1);
    EXPECT_EQ(now.Code(), 3);
    EXPECT_EQ(later.Code(), 1);
    EXPECT_EQ(TraceOf(board), (Trace{"R 48 30", "W 48 30 38"}));
}

TEST_F(RegisterFieldTest, ApplyComposesFromZeroOrOverAFreshReadKeepingOtherBits) {
    ListControl a, b, c;
    CheckControl d;
    a.SetItems({"0", "1", "2", "3"});
    b.SetItems({"0", "1", "2", "3"});
    c.SetItems({"0", "1"});
    a.Select(2);
    b.Select(1);
    c.Select(1);
    d.Set(1);
    FieldPage page;
    page.Bind(a, {0x32, 0x30}, WriteRule::ApplyFromZero);
    page.Bind(b, {0x2C, 0x06}, WriteRule::ApplyKeepOthers);
    page.Bind(d, {0x32, 0x01}, WriteRule::ApplyFromZero);
    page.Bind(c, {0x2C, 0x01}, WriteRule::ApplyKeepOthers);
    board.Regs(0x48)[0x32] = 0xFF;
    board.Regs(0x48)[0x2C] = 0xFF;
    page.Apply(0x48);
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 32 21", "R 48 2C", "W 48 2C FB"}));
}

TEST_F(RegisterFieldTest, AListWithNothingChosenWritesNothing) {
    ListControl none, other;
    none.SetItems({"0", "1"});
    none.SelectNone();
    other.SetItems({"0", "1"});
    other.Select(1);
    FieldPage page;
    page.Bind(none, {0x32, 0x30}, WriteRule::ApplyFromZero);
    page.Bind(other, {0x2C, 0x01}, WriteRule::ApplyFromZero);
    page.Apply(0x48);
    WriteFieldNow(0x48, {0x33, 0x0C}, none.Code());
    EXPECT_EQ(TraceOf(board), (Trace{"W 48 2C 01"}));
}

TEST(LiveValueText, BlankBeforeThePositiveNumberMinusInItsPlace) {
    EXPECT_EQ(LiveValueText(0.25f, "A"), " .25A");
    EXPECT_EQ(LiveValueText(12.1f, "V"), " 12.1V");
    EXPECT_EQ(LiveValueText(-1.5f, "A"), "-1.5A");
    EXPECT_EQ(LiveValueText(-0.0f, "V"), " 0V");
}

}  // namespace
