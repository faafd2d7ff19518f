#include "shell/shell_windows.h"

#include "shell/frmDevice.h"
#include "shell/frmMain.h"
#include "shell/frmSave.h"

void RegisterShellWindows() {
    RegisterPageFactory(PageKind::Device, [] { return new frmDevice; });
    RegisterToolFactory(ToolKind::Save, [] { return new frmSave; });
}
