#include "pages/general_logic.h"

#include "core/numbers.h"

GeneralLogic::GeneralLogic() {
    const QStringList polarity{"Non-Inverted", "Inverted"};
    QStringList otp;
    for (int i = 0; i <= 15; ++i) otp << NumberText(i * 0.05) + QStringLiteral("V");
    cmbLinearize.SetItems({"Normal Mode", "Linearization Enabled"});
    cmbThermistorVal.SetItems({"10K", "100K"});
    cmbOTPThreshold.SetItems(otp);
    cmbPSON.SetItems({"Software PSON", "Hardware PSON"});
    cmbSoftStart.SetItems({"300us", "10ms", "20ms", "40ms"});
    cmbPGOOD.SetItems(polarity);
    cmbGate.SetItems(polarity);
    cmbPSONPol.SetItems(polarity);
    cmbSyncRectOff.SetItems({"0", "5%", "10%", "15%", "20%", "25%", "30%", "35%"});

    fields.Bind(cmbLinearize, {0x2B, 0x20}, WriteRule::ApplyFromZero);
    fields.Bind(cmbThermistorVal, {0x2B, 0x10}, WriteRule::ApplyFromZero);
    fields.Bind(cmbOTPThreshold, {0x2B, 0x0F}, WriteRule::ApplyFromZero);
    fields.Bind(cmbPSON, {0x2C, 0x01}, WriteRule::ApplyKeepOthers);
    fields.Bind(cmbSoftStart, {0x2C, 0x06}, WriteRule::ApplyKeepOthers);
    fields.Bind(cmbPGOOD, {0x2D, 0x04}, WriteRule::ApplyKeepOthers);
    fields.Bind(cmbGate, {0x2D, 0x02}, WriteRule::ApplyKeepOthers);
    fields.Bind(cmbPSONPol, {0x2D, 0x01}, WriteRule::ApplyKeepOthers);
    fields.Bind(cmbSyncRectOff, {0x3C, 0x07}, WriteRule::ApplyKeepOthers);
}
