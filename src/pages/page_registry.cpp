#include "pages/page_registry.h"

#include "pages/frmShare.h"
#include "shell/frmMain.h"

void RegisterConfigurationPages() {
    RegisterPageFactory(PageKind::Share, [] { return new frmShare; });
}
