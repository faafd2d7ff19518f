#include "shell/shell_windows.h"

#include "shell/frmDevice.h"
#include "shell/frmMain.h"
#include "shell/frmRegMap.h"
#include "shell/frmSave.h"
#include "shell/frmSpy.h"

void RegisterShellWindows() {
    RegisterPageFactory(PageKind::Device, [] { return new frmDevice; });
    RegisterToolFactory(ToolKind::RegMap, [] { return new frmRegMap; });
    RegisterToolFactory(ToolKind::Save, [] { return new frmSave; });
    RegisterToolFactory(ToolKind::Spy, [] { return new frmSpy; });
}
