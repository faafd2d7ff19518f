#pragma once
// The general settings page without widgets: temperature sensing, power-supply-on source and soft
// start, pin polarities and the synchronous-rectifier turn-off threshold; set-up reads the chip,
// Apply and OK write it.
#include "pages/register_field.h"

class GeneralLogic {
public:
    GeneralLogic();
    ListControl cmbLinearize, cmbThermistorVal, cmbOTPThreshold, cmbPSON, cmbSoftStart, cmbPGOOD, cmbGate,
        cmbPSONPol, cmbSyncRectOff;

    void SetupFormAfterLoad(int dev) { fields.SetUp(dev); }
    void Choose(int dev, ListControl& list, int index) { fields.Choose(dev, list, index); }
    // Writes 0x2B whole (bits 7:6 as 0), then 0x2C, 0x2D and 0x3C each over a fresh read that
    // keeps bits 7:3.
    void cmdApply_Click(int dev) { fields.Apply(dev); }

private:
    FieldPage fields;
};
