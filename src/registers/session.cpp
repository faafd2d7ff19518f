#include "registers/session.h"

#include "core/run_state.h"
#include "registers/readings.h"
#include "registers/register_table.h"

void BuildRunTables() {
    BuildRegisterTable();
    SetReadingScaleFactors();
}

void SetLoopModelDefaults() {
    LoopModelInputs& m = Shared().Devices[0].LoopModel;
    m.C[0] = 200;
    m.C[1] = 0;
    m.C[2] = 0;
    m.C[3] = 0;
    m.ESR[0] = 10;
    m.ESR[1] = 10000000;
    m.L[0] = 4;
    m.L[1] = 0;
    m.RL = 1;
    m.R3 = 1000;
    m.R4 = 1000;
    m.Vin = 400;
    m.N1 = 16;
    m.N2 = 1;
    m.Duty = 80;
    Shared().Devices[1].LoopModel = m;
}
