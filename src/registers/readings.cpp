#include "registers/readings.h"

void SetReadingScaleFactors() {
    ScaleFactors& f = Shared().DefaultScaleFactors;
    f.InputVoltageScale = 670;
    f.InputCurrentScale = 0.4f;
    f.VS1Scale = 14.2f;
    f.VS2Scale = 14.2f;
    f.OutputVoltageScale = 14.1f;
    f.OutputCurrentScale = 2.4f;
}

void PollReadings() {}
