#include "filter/filter_registry.h"

#include "shell/frmMain.h"

void RegisterFilterPages() {}
