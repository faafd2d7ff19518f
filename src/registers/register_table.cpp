#include "registers/register_table.h"

void BuildRegisterTable() { Shared().RegTable.clear(); }
