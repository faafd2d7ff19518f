#pragma once
// The OrFET control page without widgets: every field of register 0x30, each written the moment
// it changes by a read-modify-write that keeps bit 3 and the other fields.
#include "pages/register_field.h"

class OrFETLogic {
public:
    OrFETLogic();
    ListControl cmbReverseOff, cmbReverseOn, cmbFilter;
    CheckControl chkOrFETOffDisable;

    // Reads 0x30 once; each field shown writes 0x30 back as read (the box only when it changes).
    void SetupFormAfterLoad(int dev) { fields.SetUp(dev); }
    void Choose(int dev, ListControl& list, int index) { fields.Choose(dev, list, index); }
    void Choose(int dev, CheckControl& check, int value) { fields.Choose(dev, check, value); }

private:
    FieldPage fields;
};
