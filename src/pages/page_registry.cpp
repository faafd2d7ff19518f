#include "pages/page_registry.h"

#include "shell/frmMain.h"

void RegisterConfigurationPages() {}
