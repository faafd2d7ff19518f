#include "pages/voltage_sense_logic.h"

#include "core/numbers.h"
#include "core/run_state.h"

QString OutputTrimItem(int i) { return NumberText(RoundHalfEven(60.0 / 255 * i, 3) + 65) + QStringLiteral("%"); }

VoltageSenseLogic::VoltageSenseLogic() {
    QStringList ovp, uvp, output, numbers;
    for (int k = 0; k <= 15; ++k) {
        ovp << NumberText(k + 105) + QStringLiteral("%");
        uvp << NumberText(k + 80) + QStringLiteral("%");
    }
    for (int i = 0; i <= 255; ++i) {
        output << OutputTrimItem(i);
        numbers << NumberText(i);
    }
    const QStringList debounce{"100us Delay", "200us Delay", "300us Delay", "400us Delay"};
    cmbOVP[0].SetItems(ovp);
    cmbOVP[1].SetItems(ovp);
    cmbUVP.SetItems(uvp);
    cmbVS3Trim.SetItems(output);
    for (ListControl& t : cmbTrim) t.SetItems(numbers);
    cmbVS1Debounce.SetItems(debounce);
    cmbVS3Debounce.SetItems(debounce);

    // Bits 3:2 of 0x32 and 0x33 and bits 7:4 of 0x34 belong to no list: Apply writes them 0.
    fields.Bind(cmbVS3Trim, {0x31, 0xFF}, WriteRule::AtOnce);
    fields.Bind(cmbOVP[0], {0x32, 0xF0}, WriteRule::ApplyFromZero);
    fields.Bind(cmbVS1Debounce, {0x32, 0x03}, WriteRule::ApplyFromZero);
    fields.Bind(cmbOVP[1], {0x33, 0xF0}, WriteRule::ApplyFromZero);
    fields.Bind(cmbVS3Debounce, {0x33, 0x03}, WriteRule::ApplyFromZero);
    fields.Bind(cmbUVP, {0x34, 0x0F}, WriteRule::ApplyFromZero);
    for (int k = 0; k < 3; ++k) fields.Bind(cmbTrim[static_cast<size_t>(k)], {0x38 + k, 0xFF}, WriteRule::AtOnce);
}

void VoltageSenseLogic::SetupFormAfterLoad(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i >= 0) Shared().VoltageSenseFormOpen[static_cast<size_t>(i)] = true;
    fields.SetUp(dev);
}

void VoltageSenseLogic::DisplayValues(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i < 0) return;
    const DeviceRecord& r = Shared().Devices[static_cast<size_t>(i)];
    auto volts = [](double v) { return LiveValueText(static_cast<float>(v), QStringLiteral("V")); };
    lblVS1Val = volts(RoundHalfEven(r.VS1Voltage, 2));
    lblVS2Val = volts(RoundHalfEven(r.VS2Voltage, 2));
    lblVS3Val = volts(RoundHalfEven(r.OutputVoltage, 2));
    const QString text = cmbVS3Trim.Text();
    const float p = static_cast<float>(ParseNumber(text.left(text.indexOf(u'%')))) / 100;
    lblOutputVal = volts(RoundHalfEven(p * r.OutputVoltage, 2));
}

void VoltageSenseLogic::Form_Unload(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i >= 0) Shared().VoltageSenseFormOpen[static_cast<size_t>(i)] = false;
}
