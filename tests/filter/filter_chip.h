#pragma once
// The chip image the filter tests start from: main frequency 98 kHz (AUX code 9), CCM/DCM
// threshold 5 %, and a sound CCM and DCM filter set.
#include <array>
#include <cstddef>
#include <cstdint>

inline void PutFilterChip(std::array<uint8_t, 256>& r) {
    r[0x5D] = 0x92;  // AUX code 9, main 98 kHz
    r[0x3C] = 0xF9;  // threshold 5 %, the rest belongs to the general page
    const uint8_t ccm[] = {3, 238, 150, 15}, dcm[] = {5, 230, 120, 20};
    for (size_t i = 0; i < 4; ++i) {
        r[0x60 + i] = ccm[i];
        r[0x64 + i] = dcm[i];
    }
}
