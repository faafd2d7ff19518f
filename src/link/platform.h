#pragma once
// The seams between the program's logic and what surrounds it: the board library, message
// boxes, the windows and the end of the program. The program wires the real ones; tests theirs.
#include "core/run_state.h"
#include "link/board_api.h"
#include "link/prompts.h"

#include <QString>
#include <functional>

struct Platform {
    BoardApi* Board = nullptr;  // null: no board library, so the board counts as not found
    Prompts* Dialogs = nullptr;
    QString ProgramFolder;
    std::function<void()> StopMasterTimer;
    std::function<void()> UnloadAllWindows;
    std::function<void()> ProcessEvents;
    // Ends the program; must not return.
    std::function<void(int exitCode)> EndProgram;
};

Platform& Plat();

MsgResult MsgBox(const QString& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
                 const QString& title = kAppTitle);

// Closes every window (their unload handling runs) and ends the program.
[[noreturn]] void EndProgram(int exitCode);
