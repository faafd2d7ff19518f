#pragma once
#include <QString>
#include <cstdint>
#include <memory>

// The two operations of the board library; the program's only road to the chips.
class BoardApi {
public:
    virtual ~BoardApi() = default;
    virtual int16_t LoadFirmWare(uint8_t* path) = 0;
    virtual int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                    int16_t length, uint8_t* buffer) = 0;
};

// Binds libUSBFunctions.so in `folder`; null when the library or one of its symbols is missing.
std::unique_ptr<BoardApi> LoadBoardLibrary(const QString& folder);
