#include "pages/orfet_logic.h"

OrFETLogic::OrFETLogic() {
    cmbReverseOff.SetItems({"0%", "5%", "10%", "20%"});
    cmbReverseOn.SetItems({"1%", "2%", "4%", "8%"});
    cmbFilter.SetItems({"50 nsecs", "100 nsecs", "200 nsecs", "400 nsecs"});
    fields.Bind(cmbReverseOff, {0x30, 0xC0}, WriteRule::AtOnce);
    fields.Bind(cmbReverseOn, {0x30, 0x30}, WriteRule::AtOnce);
    fields.Bind(cmbFilter, {0x30, 0x03}, WriteRule::AtOnce);
    fields.Bind(chkOrFETOffDisable, {0x30, 0x04}, WriteRule::AtOnce);
}
