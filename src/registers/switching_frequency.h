#pragma once
// The switching frequencies and the PWM edge registers, shared by the PWM page and the filter
// designer, which changes the frequency and moves the edges with it.
#include <QString>
#include <array>
#include <cstdint>

// The twelve switching frequencies; the list index is the code of register 0x5D bits 3:0 (and,
// for the AUX output, bits 7:4).
inline constexpr int kFrequencyCount = 12;
const std::array<QString, kFrequencyCount>& SwitchingFrequencyTexts();
// Hz of a code: ParseNumber(text) x 1000; 0 for a code with no entry.
float SwitchingFrequencyOfCode(int code);
// Index of the first list item equal to the text; the count (12) when none is.
int SwitchingFrequencyCode(const QString& text);

inline constexpr int32_t kSwitchingFrequencyRegister = 0x5D;  // main code bits 3:0, AUX code 7:4
inline constexpr int32_t kPinDisableRegister = 0x40;          // "PWM and SR Pin Disable"

// Output k (0 to 6, AUX last) holds its rising edge at 0x41 + 4k (count bits 11:4) and 0x42 + 4k
// (bits 3:0 in 7:4), its falling edge likewise at 0x43 + 4k and 0x44 + 4k.
inline constexpr int kPwmOutputs = 7;
inline constexpr int32_t EdgeRegister(int output) { return 0x41 + 4 * output; }
inline constexpr int kMaxEdgeCount = 4095;
inline int EdgeCount(int high, int low) { return high * 16 + (low & 0xF0) / 16; }
// The two bytes of a count, the setting byte keeping its low nibble (modulation and sign).
inline int EdgeHighByte(int count) { return (count & 0xFF0) / 16; }
inline int EdgeLowByte(int count, int settingByte) { return (count & 15) * 16 | (settingByte & 15); }
