#pragma once
// Per-device readings and their scale factors.
#include "core/run_state.h"

void SetReadingScaleFactors();

// One poll step of the reading registers for every device in use.
void PollReadings();
