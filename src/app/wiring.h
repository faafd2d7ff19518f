#pragma once
class QString;
class BoardApi;
class Prompts;

// Wires the real board library, message boxes and program end, and registers every window.
void WireProgram(const QString& programFolder);
// The same with a board (null: none) and dialogs of the caller's own.
void WirePlatform(const QString& programFolder, BoardApi* board, Prompts* dialogs);
void RegisterAllWindows();
