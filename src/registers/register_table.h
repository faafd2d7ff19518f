#pragma once
// The names of the chip's 132 registers, shown by the register map and written by the settings files.
#include "core/run_state.h"

inline constexpr int kRegisterCount = 132;
inline constexpr int RegCount = kRegisterCount - 1;  // last index of the table

// Replaces Shared().RegTable by a fresh table: "3Dh - Manufacturers ID" and its address.
void BuildRegisterTable();
// The five registers named "Reserved" (0x1C, 0x36, 0x37, 0x5E, 0x5F).
bool IsReservedRegister(int address);
