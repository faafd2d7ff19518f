#pragma once
// The PWM edge registers, shared by the PWM page and the filter designer's frequency change.
#include <cstdint>

inline constexpr int32_t kSwitchingFrequencyRegister = 0x5D;  // main code bits 3:0, AUX code 7:4
inline constexpr int32_t kPinDisableRegister = 0x40;          // "PWM and SR Pin Disable"

// Output k (0 to 6, AUX last) holds its rising edge at 0x41 + 4k (count bits 11:4) and 0x42 + 4k
// (bits 3:0 in 7:4), its falling edge likewise at 0x43 + 4k and 0x44 + 4k.
inline constexpr int kPwmOutputs = 7;
inline constexpr int32_t EdgeRegister(int output) { return 0x41 + 4 * output; }
inline int EdgeCount(int high, int low) { return high * 16 + (low & 0xF0) / 16; }
// The two bytes of a count, the setting byte keeping its low nibble (modulation and sign).
inline int EdgeHighByte(int count) { return (count & 0xFF0) / 16; }
inline int EdgeLowByte(int count, int settingByte) { return (count & 15) * 16 | (settingByte & 15); }
