#pragma once
// The evaluation board's USB library, loaded at run time from libUSBFunctions.so.
// Results: LoadFirmWare is negative when the board is absent; VendorIORequest is 0 on success.
#include <cstdint>

extern "C" {
using LoadFirmWareFn = int16_t (*)(uint8_t* path);
using VendorIORequestFn = int16_t (*)(int16_t request, int32_t value, int32_t index, int16_t direction,
                                      int16_t length, uint8_t* buffer);
}

inline constexpr const char* kBoardLibraryFile = "libUSBFunctions.so";
