#pragma once
// The voltage sensing page without widgets: the output voltage setting and the three trims,
// written the moment they change; the overvoltage and undervoltage limits with their debounce
// delays, written by Apply; and the live sensed voltages.
#include "pages/register_field.h"

#include <array>

// Item i (0 to 255) of the output voltage setting, 65% to 125%.
QString OutputTrimItem(int i);

class VoltageSenseLogic {
public:
    VoltageSenseLogic();
    ListControl cmbVS3Trim, cmbVS1Debounce, cmbVS3Debounce, cmbUVP;
    std::array<ListControl, 2> cmbOVP;
    std::array<ListControl, 3> cmbTrim;
    QString lblVS1Val, lblVS2Val, lblVS3Val, lblOutputVal;

    // Marks the page of the device open, reads 0x31 to 0x34 and 0x38 to 0x3A, and writes 0x31 and
    // the three trims back as read.
    void SetupFormAfterLoad(int dev);
    void Choose(int dev, ListControl& list, int index) { fields.Choose(dev, list, index); }
    // Writes 0x32, 0x33 and 0x34 composed from the lists; reads nothing.
    void cmdApply_Click(int dev) { fields.Apply(dev); }
    void DisplayValues(int dev);
    void Form_Unload(int dev);

private:
    FieldPage fields;
};
