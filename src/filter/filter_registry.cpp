#include "filter/filter_registry.h"

#include "filter/frmDigFilter.h"
#include "shell/frmMain.h"

void RegisterFilterPages() { RegisterPageFactory(PageKind::DigFilter, [] { return new frmDigFilter; }); }
