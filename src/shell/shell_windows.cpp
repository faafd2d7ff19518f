#include "shell/shell_windows.h"

#include "shell/frmDevice.h"
#include "shell/frmMain.h"
#include "shell/frmSpy.h"

void RegisterShellWindows() {
    RegisterPageFactory(PageKind::Device, [] { return new frmDevice; });
    RegisterToolFactory(ToolKind::Spy, [] { return new frmSpy; });
}
