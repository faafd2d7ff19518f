#include "registers/register_table.h"

#include <gtest/gtest.h>

TEST(RegisterTable, NamesAndAddresses) {
    ResetRunState();
    BuildRegisterTable();
    const auto& t = Shared().RegTable;
    ASSERT_EQ(t.size(), 132u);
    EXPECT_EQ(t[0x3D].Name, "3Dh - Manufacturers ID");
    EXPECT_EQ(t[0x3D].Address, 61);
    EXPECT_EQ(t[0].Name, "00h - Fault 1");
    EXPECT_EQ(t[0x83].Name, "83h - Reg 19");
    EXPECT_EQ(t[0x7A].Name, "7Ah - Reg 10");
    EXPECT_EQ(t[0x32].Name, "32h - VS1 Overvoltage Limit (OVP)");
    for (int i = 0; i < 132; ++i) EXPECT_EQ(t[static_cast<size_t>(i)].Address, i);
}

TEST(RegisterTable, RebuildStartsFromScratch) {
    ResetRunState();
    BuildRegisterTable();
    const auto once = Shared().RegTable;
    BuildRegisterTable();
    ASSERT_EQ(Shared().RegTable.size(), once.size());
    for (size_t i = 0; i < once.size(); ++i) EXPECT_EQ(Shared().RegTable[i].Name, once[i].Name);
}

TEST(RegisterTable, ReservedRegisters) {
    std::vector<int> reserved;
    for (int i = 0; i < 132; ++i)
        if (IsReservedRegister(i)) reserved.push_back(i);
    EXPECT_EQ(reserved, (std::vector<int>{0x1C, 0x36, 0x37, 0x5E, 0x5F}));
    EXPECT_FALSE(IsReservedRegister(-1));
    EXPECT_FALSE(IsReservedRegister(200));
}
