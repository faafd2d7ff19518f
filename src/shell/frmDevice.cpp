#include "shell/frmDevice.h"

#include "core/run_state.h"

frmDevice::frmDevice() { setObjectName(QStringLiteral("frmDevice")); }

void frmDevice::Form_Load() {
    SetFormSize(13200, 9195);
    CenterForm();
}

void frmDevice::SetupFormAfterLoad() {
    const int a = PageAddress();
    if (a == Shared().DeviceAddress[0])
        Shared().DeviceFormOpen[0] = true;
    else if (a == Shared().DeviceAddress[1])
        Shared().DeviceFormOpen[1] = true;
}

void frmDevice::Form_Unload() {
    const int a = PageAddress();
    if (a == Shared().DeviceAddress[0])
        Shared().DeviceFormOpen[0] = false;
    else if (a == Shared().DeviceAddress[1])
        Shared().DeviceFormOpen[1] = false;
}

void frmDevice::DisplayValues() {}
