#pragma once
// The single road to the chips: one byte register read or written per call.
#include <cstdint>

// Value 0 to 255 of register RegAddr of the chip at DevAddr. An address outside 0 to 255 is
// refused before any request and reads as 0.
int16_t ReadRegister(int32_t DevAddr, int32_t RegAddr);

// Writes Data (above 255 sent as 255) to register RegAddr. A register address outside 0 to 255
// or a negative data value is refused before any request.
void WriteRegister(int32_t DevAddr, int32_t RegAddr, int32_t Data);
// As WriteRegister, and like the classic by-reference call leaves 255 in a caller's variable above 255.
void WriteRegisterVar(int32_t DevAddr, int32_t RegAddr, int32_t& Data);

// Fatal communication errors: the message, every window closed, the end of the program.
[[noreturn]] void ReportCommsError(int16_t code);
const char* CommsErrorText(int code);

// Busy wait on SystemTimer, ended early when the clock passes midnight.
void Delay(float Milliseconds);

void InitSimulatedRegisters();
