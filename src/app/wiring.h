#pragma once
class QString;

// Wires the real board library, message boxes and program end, and registers every window.
void WireProgram(const QString& programFolder);
void RegisterAllWindows();
