#include "pages/share_logic.h"

#include "core/numbers.h"

QString ShareBandwidthItem(int k) {
    const float f = static_cast<float>(100 + RoundHalfEven(4900.0 / 31 * k, 2));
    if (f < 1000) return NumberText(f) + QStringLiteral("Hz");
    return NumberText(static_cast<float>(RoundHalfEven(f / 1000.0f, 3))) + QStringLiteral("kHz");
}

ShareLogic::ShareLogic() {
    QStringList numbers, bandwidths;
    for (int i = 0; i <= 255; ++i) numbers << NumberText(i);
    for (int k = 0; k <= 31; ++k) bandwidths << ShareBandwidthItem(k);
    cmbOffset.SetItems(numbers);
    cmbSlope.SetItems(numbers);
    cmbBandwidth.SetItems(bandwidths);
    cmbCapture.SetItems({"1%", "2%", "3%", "4%"});

    fields.Bind(cmbOffset, {0x28, 0xFF}, WriteRule::ApplyFromZero);
    fields.Bind(cmbSlope, {0x29, 0xFF}, WriteRule::ApplyFromZero);
    fields.Bind(cmbBandwidth, {0x2A, 0xF8}, WriteRule::ApplyFromZero);
    fields.Bind(cmbCapture, {0x2A, 0x06}, WriteRule::ApplyFromZero);
    fields.Bind(chkEnableShare, {0x2A, 0x01}, WriteRule::ApplyFromZero);
}
