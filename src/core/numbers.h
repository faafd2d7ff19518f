#pragma once
// Number and text conversions that behave the same whatever the user's locale.
#include <QString>
#include <cstdint>

// Value of the leading number of a text: leading blanks skipped, "&H" reads hex digits,
// reading stops at the first character that does not fit, no number gives 0.
double ParseNumber(const QString& text);

// Shortest decimal text: 7 significant digits for single precision, 15 for double;
// ".5" for 0.5, "1E+07" for ten million, no trailing zeros, no leading blank.
QString NumberText(float x);
QString NumberText(double x);
QString NumberText(int x);

// Upper-case hexadecimal digits without leading zeros (negative values as 32-bit two's complement).
QString HexText(int64_t x);
// "0x" and at least two upper-case hexadecimal digits.
QString HexString(int32_t value);
// Two upper-case hexadecimal digits for 0 to 255.
QString TwoDigitHex(int value);

// A live reading: a blank before a value of 0 or more, the minus sign in its place for a negative
// one, then the unit (" 12.1V", "-1.5A"); a value that is zero shows " 0", never "-0".
QString LiveValueText(float value, const QString& unit);

// Rounding at n decimals with halves to even.
double RoundHalfEven(double x, int n);
