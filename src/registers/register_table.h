#pragma once
// The names of the chip's 132 registers, shown by the register map and used by the settings files.
#include "core/run_state.h"

// Rebuilds Shared().RegTable from scratch.
void BuildRegisterTable();
