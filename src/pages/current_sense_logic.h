#pragma once
// The current sensing page without widgets: gain and offset trims, polarities, the nominal
// full-load voltage and the high-side option of 0x21, 0x23, 0x24 and 0x25, each written the moment
// it changes; and the live CS1 and CS2 currents.
#include "pages/register_field.h"

class CurrentSenseLogic {
public:
    CurrentSenseLogic();
    ListControl cmbCS1GainPol, cmbCS1GainTrim, cmbFullVoltage, cmbCS2GainPol, cmbCS2GainTrim, cmbCS2OffsetPol,
        cmbCS2OffsetTrim, cmbDigitalTrim;
    CheckControl chkHighSideSense;
    QString lblCS1Val, lblCS2Val;

    // Marks the page of the device open, then reads the four registers; every field shown writes
    // its register back as read.
    void SetupFormAfterLoad(int dev);
    void Choose(int dev, ListControl& list, int index) { fields.Choose(dev, list, index); }
    void Choose(int dev, CheckControl& check, int value) { fields.Choose(dev, check, value); }
    void DisplayValues(int dev);
    void Form_Unload(int dev);

private:
    FieldPage fields;
};
