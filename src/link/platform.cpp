#include "link/platform.h"

#include <cstdio>
#include <cstdlib>

Platform& Plat() {
    static Platform platform;
    return platform;
}

MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    if (!Plat().Dialogs) return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::No
                                                                                                   : MsgResult::OK;
    return Plat().Dialogs->MsgBox(text, buttons, icon, title);
}

void EndProgram(int exitCode) {
    if (Plat().UnloadAllWindows) Plat().UnloadAllWindows();
    if (Plat().EndProgram) Plat().EndProgram(exitCode);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
