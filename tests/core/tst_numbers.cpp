#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(NumberText, SingleAndDoublePrecisionForms) {
    struct Case {
        double value;
        bool single;
        const char* text;
    } cases[] = {
        {0.5, true, ".5"},          {-0.5, true, "-.5"},        {1e7, true, "1E+07"},
        {1234567, true, "1234567"}, {12345678, true, "1.234568E+07"},
        {200, true, "200"},         {0, true, "0"},             {0.47, true, ".47"},
        {10, true, "10"},           {-12.05, true, "-12.05"},   {558.333, true, "558.333"},
        {1.0 / 3, true, ".3333333"}, {0.0001, true, ".0001"},    {0.00001, true, "1E-05"},
        {2.5e-7, true, "2.5E-07"},  {0.1, false, ".1"},         {1.0 / 3, false, ".333333333333333"},
        {1e15, false, "1E+15"},     {123456789012345.0, false, "123456789012345"},
        {1e7, false, "10000000"},   {4095, true, "4095"},       {2500.9375, true, "2500.938"},
    };
    for (const Case& c : cases) {
        const QString got = c.single ? NumberText(static_cast<float>(c.value)) : NumberText(c.value);
        EXPECT_EQ(got.toStdString(), c.text) << c.value << (c.single ? " single" : " double");
    }
}

TEST(ParseNumber, LeadingNumberOfText) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"12", 12},        {"  12.5abc", 12.5}, {"&H3D", 0x3D},     {"&h1f)", 0x1F},   {"&HXYZ", 0},
        {"1E3", 1000},     {"1.5e-2x", 0.015},  {"2E", 2},          {"-4.25", -4.25},  {"+7", 7},
        {".5", 0.5},       {"", 0},             {"abc", 0},         {"   ", 0},        {"-", 0},
        {"12 34", 12},     {"3.4.5", 3.4},      {"1e400", HUGE_VAL}, {"1e-400", 0},    {"&H", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(HexHelpers, TextForms) {
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(HexText(0x48), "48");
    EXPECT_EQ(HexText(5), "5");
    EXPECT_EQ(HexText(0xABC), "ABC");
    EXPECT_EQ(HexString(5), "0x05");
    EXPECT_EQ(HexString(0x3D), "0x3D");
    EXPECT_EQ(HexString(300), "0x12C");
    EXPECT_EQ(HexString(0), "0x00");
    EXPECT_EQ(TwoDigitHex(0), "00");
    EXPECT_EQ(TwoDigitHex(0x0A), "0A");
    EXPECT_EQ(TwoDigitHex(0xFF), "FF");
}

TEST(RoundHalfEven, HalvesGoToEven) {
    struct Case {
        double x;
        int n;
        double r;
    } cases[] = {
        {2.125, 2, 2.12}, {2.375, 2, 2.38}, {0.5, 0, 0},      {1.5, 0, 2},       {2.5, 0, 2},
        {-2.5, 0, -2},    {12.004, 2, 12},  {558.3333, 3, 558.333}, {50.19607843, 2, 50.2}, {-1.25, 1, -1.2},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(RoundHalfEven(c.x, c.n), c.r) << c.x << " at " << c.n;
}
