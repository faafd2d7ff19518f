#pragma once
// Per-device readings and fault flags, polled from the chips into Shared().Devices.
#include "core/run_state.h"

#include <cstdint>

void SetReadingScaleFactors();

// One poll step for every device in use: the group of PollPhase, then the phase moves on.
void PollReadings();

// Reads and decodes the fault registers 0 to 3, 0x10 and 0x11 of the chip at DevAddr.
void ReadFaultFlags(int32_t DevAddr);

// The fixed readings that simulation mode shows, written into both records.
void SetSimulatedReadings();

// The greatest 12-bit reading code: both bytes 0xFF.
inline constexpr float kFullScaleCode = 4095.9375f;
// A reading as the poll stores it: the code times factor / 3000, rounded to three decimals, in
// single precision.
float ScaledReading(float code, float factor);
// What the poll stores for a power: the product of two stored readings in single precision,
// rounded to `digits` decimals.
float PowerReading(float a, float b, int digits);

// Name of fault bit `index` = 8 * register + bit (0 to 31); any other index gives "".
QString GetFlagName(int index);
