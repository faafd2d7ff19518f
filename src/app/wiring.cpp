#include "app/wiring.h"

#include "filter/filter_registry.h"
#include "link/board_api.h"
#include "link/platform.h"
#include "pages/page_registry.h"
#include "shell/frmMain.h"
#include "shell/qt_prompts.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

void RegisterAllWindows() {
    RegisterShellWindows();
    RegisterConfigurationPages();
    RegisterFilterPages();
}

void WirePlatform(const QString& programFolder, BoardApi* board, Prompts* dialogs) {
    Platform& p = Plat();
    p.Board = board;
    p.Dialogs = dialogs;
    p.ProgramFolder = programFolder;
    p.StopMasterTimer = [] {
        if (frmMain* m = MainForm()) m->StopMasterTimer();
    };
    p.UnloadAllWindows = [] { QApplication::closeAllWindows(); };
    p.ProcessEvents = [] { QApplication::processEvents(); };
    p.EndProgram = [](int code) {
        std::fflush(nullptr);
        std::_Exit(code);
    };
    RegisterAllWindows();
}

void WireProgram(const QString& programFolder) {
    static std::unique_ptr<BoardApi> board;
    static QtPrompts prompts;
    board = LoadBoardLibrary(programFolder);
    WirePlatform(programFolder, board.get(), &prompts);
}
