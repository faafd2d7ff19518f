#include "registers/switching_frequency.h"

#include "core/numbers.h"

#include <algorithm>

const std::array<QString, kFrequencyCount>& SwitchingFrequencyTexts() {
    static const std::array<QString, kFrequencyCount> texts = {
        QStringLiteral("49kHz"),  QStringLiteral("74.5kHz"), QStringLiteral("98kHz"),  QStringLiteral("125kHz"),
        QStringLiteral("149kHz"), QStringLiteral("195kHz"),  QStringLiteral("250kHz"), QStringLiteral("298kHz"),
        QStringLiteral("390kHz"), QStringLiteral("500kHz"),  QStringLiteral("595kHz"), QStringLiteral("694kHz"),
    };
    return texts;
}

float SwitchingFrequencyOfCode(int code) {
    if (code < 0 || code >= kFrequencyCount) return 0;
    return static_cast<float>(ParseNumber(SwitchingFrequencyTexts()[static_cast<size_t>(code)]) * 1000);
}

int SwitchingFrequencyCode(const QString& text) {
    const auto& t = SwitchingFrequencyTexts();
    return static_cast<int>(std::find(t.begin(), t.end(), text) - t.begin());
}
