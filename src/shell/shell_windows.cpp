#include "shell/shell_windows.h"

#include "shell/frmDevice.h"
#include "shell/frmMain.h"

void RegisterShellWindows() {
    RegisterPageFactory(PageKind::Device, [] { return new frmDevice; });
}
