#pragma once
// The share bus page without widgets: offset and slope trims, bandwidth, voltage capture and
// enable; set-up reads the chip, Apply and OK write it.
#include "pages/register_field.h"

// Item text of bandwidth code k (0 to 31): 100 Hz to 5 kHz in 31 equal steps.
QString ShareBandwidthItem(int k);

class ShareLogic {
public:
    ShareLogic();
    ListControl cmbOffset, cmbSlope, cmbBandwidth, cmbCapture;
    CheckControl chkEnableShare;

    void SetupFormAfterLoad(int dev) { fields.SetUp(dev); }
    void Choose(int dev, ListControl& list, int index) { fields.Choose(dev, list, index); }
    void Choose(int dev, CheckControl& check, int value) { fields.Choose(dev, check, value); }
    // Writes 0x28, 0x29, then 0x2A composed from the controls; reads nothing.
    void cmdApply_Click(int dev) { fields.Apply(dev); }

private:
    FieldPage fields;
};
