#pragma once
// Registers the main window's own pages and tools (block diagram, register map, monitor, save/recall).
void RegisterShellWindows();
