#include "pages/current_sense_logic.h"

#include "core/numbers.h"
#include "core/run_state.h"

namespace {
QStringList Numbers(int last) {
    QStringList l;
    for (int i = 0; i <= last; ++i) l << NumberText(i);
    return l;
}
}  // namespace

CurrentSenseLogic::CurrentSenseLogic() {
    const QStringList polarity{"Positive", "Negative"};
    cmbCS1GainPol.SetItems(polarity);
    cmbCS2GainPol.SetItems(polarity);
    cmbCS2OffsetPol.SetItems(polarity);
    // Codes 2 and 3 share a text: the code is the position, so a chip's code 3 stays 3.
    cmbFullVoltage.SetItems({"100mV", "200mV", "400mV", "400mV"});
    cmbCS1GainTrim.SetItems(Numbers(127));
    cmbCS2GainTrim.SetItems(Numbers(31));
    cmbCS2OffsetTrim.SetItems(Numbers(63));
    cmbDigitalTrim.SetItems(Numbers(255));

    fields.Bind(cmbCS1GainTrim, {0x21, 0x7F}, WriteRule::AtOnce);
    fields.Bind(cmbCS1GainPol, {0x21, 0x80}, WriteRule::AtOnce);
    fields.Bind(cmbCS2GainTrim, {0x23, 0x1F}, WriteRule::AtOnce);
    fields.Bind(cmbCS2GainPol, {0x23, 0x20}, WriteRule::AtOnce);
    fields.Bind(cmbFullVoltage, {0x23, 0xC0}, WriteRule::AtOnce);
    fields.Bind(chkHighSideSense, {0x24, 0x80}, WriteRule::AtOnce);
    fields.Bind(cmbCS2OffsetPol, {0x24, 0x40}, WriteRule::AtOnce);
    fields.Bind(cmbCS2OffsetTrim, {0x24, 0x3F}, WriteRule::AtOnce);
    fields.Bind(cmbDigitalTrim, {0x25, 0xFF}, WriteRule::AtOnce);
}

void CurrentSenseLogic::SetupFormAfterLoad(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i >= 0) Shared().CurrentSenseFormOpen[static_cast<size_t>(i)] = true;
    fields.SetUp(dev);
}

void CurrentSenseLogic::DisplayValues(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i < 0) return;
    const DeviceRecord& r = Shared().Devices[static_cast<size_t>(i)];
    lblCS1Val = LiveValueText(static_cast<float>(RoundHalfEven(r.InputCurrent, 2)), QStringLiteral("A"));
    lblCS2Val = LiveValueText(static_cast<float>(RoundHalfEven(r.OutputCurrent, 2)), QStringLiteral("A"));
}

void CurrentSenseLogic::Form_Unload(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i >= 0) Shared().CurrentSenseFormOpen[static_cast<size_t>(i)] = false;
}
