#include "pages/sense_pictures.h"

namespace {

constexpr int kCaptionHeight = 270, kListHeight = 315;
constexpr int kCS1 = 1800, kCS2Minus = 4560, kCS2Plus = 5160, kCS2 = 4860;  // signal lines
constexpr int kGainLeft = 1800, kOffsetLeft = 3600, kListWidth = 1440;
constexpr TwipsRect kAmp1{2100, 1440, 840, 720};
constexpr TwipsRect kAmp2{2100, 4320, 840, 1080};
constexpr TwipsRect kOffset{4080, 4620, 480, 480};
constexpr TwipsRect kAdc{6240, 1200, 960, 4560};
constexpr TwipsRect kDigital{7680, 4620, 480, 480};
constexpr int kValueLeft = 8520, kValueWidth = 1320;
// The digital offset's list and caption keep a gap from the ADC's right edge.
constexpr int kDigitalListWidth = 1200, kDigitalLeft = kAdc.Left + kAdc.Width + 120;

int CentreX(const TwipsRect& r) { return r.Left + r.Width / 2; }

SenseScene Build() {
    SenseScene s;
    s.Width = 10140;
    s.Height = 7020;
    s.Chip = {1380, 240, 8640, 6600};

    const int pinX = s.Chip.Left - 120;
    s.Parts = {
        {SenseShape::Pin, {pinX, kCS1 - 120, 240, 240}, ""},
        {SenseShape::Pin, {pinX, kCS2Minus - 120, 240, 240}, ""},
        {SenseShape::Pin, {pinX, kCS2Plus - 120, 240, 240}, ""},
        {SenseShape::Amplifier, kAmp1, ""},
        {SenseShape::Amplifier, kAmp2, ""},
        {SenseShape::Junction, kOffset, "+"},
        {SenseShape::Box, kAdc, ""},
        {SenseShape::Junction, kDigital, "+"},
    };

    const int ampTip = kAmp1.Left + kAmp1.Width;
    const int gainX = CentreX(kAmp1), offsetX = CentreX(kOffset), digitalX = CentreX(kDigital);
    const int adcRight = kAdc.Left + kAdc.Width;
    s.Wires = {
        // CS1 into its amplifier, into the ADC, out to its value.
        {{pinX + 240, kCS1, kAmp1.Left, kCS1}, true, false},
        {{ampTip, kCS1, kAdc.Left, kCS1}, true, false},
        {{adcRight, kCS1, kValueLeft, kCS1}, true, false},
        // CS2- and CS2+ into the difference amplifier, the offset, the ADC, the digital offset.
        {{pinX + 240, kCS2Minus, kAmp2.Left, kCS2Minus}, true, false},
        {{pinX + 240, kCS2Plus, kAmp2.Left, kCS2Plus}, true, false},
        {{kAmp2.Left + kAmp2.Width, kCS2, kOffset.Left, kCS2}, true, false},
        {{kOffset.Left + kOffset.Width, kCS2, kAdc.Left, kCS2}, true, false},
        {{adcRight, kCS2, kDigital.Left, kCS2}, true, false},
        {{kDigital.Left + kDigital.Width, kCS2, kValueLeft, kCS2}, true, false},
        // What each setting acts on.
        {{gainX, 1050 + kListHeight, gainX, AmplifierEdgeY(kAmp1, gainX, true)}, true, true},
        {{gainX, 2280, gainX, AmplifierEdgeY(kAmp1, gainX, false)}, true, true},
        {{gainX, 3570 + kListHeight, gainX, AmplifierEdgeY(kAmp2, gainX, true)}, true, true},
        {{gainX, 5640, gainX, AmplifierEdgeY(kAmp2, gainX, false)}, true, true},
        {{offsetX, 3570 + kListHeight, offsetX, kOffset.Top}, true, true},
        {{offsetX, 5640, offsetX, kOffset.Top + kOffset.Height}, true, true},
        {{digitalX, 3870 + kListHeight, digitalX, kDigital.Top}, true, true},
        {{CentreX(kAdc), 6000, CentreX(kAdc), kAdc.Top + kAdc.Height}, true, true},
    };
    // The inputs of the difference amplifier.
    s.Texts = {{kAmp2.Left + 60, kCS2Minus + 55, "-"}, {kAmp2.Left + 50, kCS2Plus + 55, "+"}};

    s.Captions = {
        {{240, kCS1 - 135, 960, kCaptionHeight}, "CS1", false},
        {{240, kCS2Minus - 135, 960, kCaptionHeight}, "CS2-", false},
        {{240, kCS2Plus - 135, 960, kCaptionHeight}, "CS2+", false},
        {{kGainLeft, 780, 1740, kCaptionHeight}, "CS1 Gain Trim", false},
        {{kGainLeft, 2280, 1740, kCaptionHeight}, "CS1 Gain Polarity", false},
        {{kGainLeft, 3300, 1740, kCaptionHeight}, "CS2 Gain Trim", false},
        {{kGainLeft, 5640, 1740, kCaptionHeight}, "CS2 Gain Polarity", false},
        {{kOffsetLeft, 3300, 1800, kCaptionHeight}, "CS2 Offset Trim", false},
        {{kOffsetLeft, 5640, 1800, kCaptionHeight}, "CS2 Offset Polarity", false},
        {{kAdc.Left, kAdc.Top + kAdc.Height / 2 - 135, kAdc.Width, kCaptionHeight}, "ADC", true},
        {{5520, 6000, 2400, kCaptionHeight}, "Nominal Full Load Voltage", false},
        {{kDigitalLeft, 3600, 1800, kCaptionHeight}, "Digital Offset Trim", false},
        {{kValueLeft, 1350, kValueWidth, kCaptionHeight}, "CS1 Value", false},
        {{kValueLeft, 4410, kValueWidth, kCaptionHeight}, "CS2 Value", false},
    };
    s.Controls = {
        {"Label1", {s.Chip.Left + 120, s.Chip.Top + 90, 1500, 300}},
        {"cmbCS1GainTrim", {kGainLeft, 1050, kListWidth, kListHeight}},
        {"cmbCS1GainPol", {kGainLeft, 2550, kListWidth, kListHeight}},
        {"cmbCS2GainTrim", {kGainLeft, 3570, kListWidth, kListHeight}},
        {"cmbCS2GainPol", {kGainLeft, 5910, kListWidth, kListHeight}},
        {"chkHighSideSense", {kGainLeft - 300, 6390, 2880, 300}},
        {"cmbCS2OffsetTrim", {kOffsetLeft, 3570, kListWidth, kListHeight}},
        {"cmbCS2OffsetPol", {kOffsetLeft, 5910, kListWidth, kListHeight}},
        {"cmbFullVoltage", {CentreX(kAdc) - 600, 6270, 1200, kListHeight}},
        {"cmbDigitalTrim", {kDigitalLeft, 3870, kDigitalListWidth, kListHeight}},
        {"lblCS1Val", {kValueLeft, kCS1 - 158, kValueWidth, kListHeight}},
        {"lblCS2Val", {kValueLeft, kCS2 - 158, kValueWidth, kListHeight}},
    };
    return s;
}

}  // namespace

const SenseScene& CurrentSenseScene() {
    static const SenseScene scene = Build();
    return scene;
}
