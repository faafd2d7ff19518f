#include "pages/sense_pictures.h"

namespace {

constexpr int kCaptionHeight = 270, kListHeight = 315;
constexpr int kRows[3] = {690, 1290, 1890};  // VS1, VS2, VS3
constexpr int kOutputRow = 2520;
constexpr int kTrimLeft = 2100, kTrimWidth = 1140, kOutputTrimWidth = 1380;
constexpr TwipsRect kAdc{3600, 420, 660, 1740};
constexpr TwipsRect kTimes{4260, 2340, 360, 360};
constexpr int kValueLeft = 5700, kValueWidth = 1260;
// A caption stands just above the control it names.
constexpr int kCaptionAbove = kCaptionHeight + kListHeight / 2;

SenseScene Build() {
    SenseScene s;
    s.Width = 7620;
    s.Height = 2940;
    s.Chip = {840, 120, 6660, 2700};

    const int pinX = s.Chip.Left - 120;
    const char* const pins[3] = {"VS1", "VS2", "VS3"};
    const char* const trims[3] = {"cmbTrim0", "cmbTrim1", "cmbTrim2"};
    const char* const trimCaptions[3] = {"VS1 Trim", "VS2 Trim", "VS3 Trim"};
    const char* const values[3] = {"lblVS1Val", "lblVS2Val", "lblVS3Val"};
    const char* const valueCaptions[3] = {"VS1 Value", "VS2 Value", "VS3 Value"};
    const int adcRight = kAdc.Left + kAdc.Width;
    const int timesX = kTimes.Left + kTimes.Width / 2;

    s.Parts.push_back({SenseShape::Box, kAdc, "ADC"});
    s.Parts.push_back({SenseShape::Junction, kTimes, "\xD7"});
    s.Texts.push_back({s.Chip.Left + 120, s.Chip.Top + 210, "ZVC7140"});
    for (int i = 0; i < 3; ++i) {
        const int y = kRows[i];
        s.Parts.push_back({SenseShape::Pin, {pinX, y - 120, 240, 240}, ""});
        s.Texts.push_back({240, y + 55, pins[i]});
        s.Wires.push_back({{pinX + 240, y, kTrimLeft, y}, true, false});
        s.Wires.push_back({{kTrimLeft + kTrimWidth, y, kAdc.Left, y}, true, false});
        s.Wires.push_back({{adcRight, y, kValueLeft, y}, true, false});
        s.Captions.push_back({{kTrimLeft, y - kCaptionAbove, 1260, kCaptionHeight}, trimCaptions[i], false});
        s.Captions.push_back({{kValueLeft, y - kCaptionAbove, 1740, kCaptionHeight}, valueCaptions[i], false});
        s.Controls.push_back({trims[i], {kTrimLeft, y - kListHeight / 2, kTrimWidth, kListHeight}});
        s.Controls.push_back({values[i], {kValueLeft, y - kListHeight / 2, kValueWidth, kListHeight}});
    }
    // The output value is the VS3 reading times the output trim.
    s.Wires.push_back({{kTrimLeft + kOutputTrimWidth, kOutputRow, kTimes.Left, kOutputRow}, true, false});
    s.Wires.push_back({{timesX, kRows[2], timesX, kTimes.Top}, true, false});
    s.Wires.push_back({{kTimes.Left + kTimes.Width, kOutputRow, kValueLeft, kOutputRow}, true, false});
    s.Captions.push_back({{kTrimLeft, kOutputRow - kCaptionAbove, 1260, kCaptionHeight}, "O/P Trim", false});
    s.Captions.push_back({{kValueLeft, kOutputRow - kCaptionAbove, 1740, kCaptionHeight}, "O/P Voltage Value", false});
    s.Controls.push_back({"cmbVS3Trim", {kTrimLeft, kOutputRow - kListHeight / 2, kOutputTrimWidth, kListHeight}});
    s.Controls.push_back({"lblOutputVal", {kValueLeft, kOutputRow - kListHeight / 2, kValueWidth, kListHeight}});
    return s;
}

}  // namespace

const SenseScene& VoltageSenseScene() {
    static const SenseScene scene = Build();
    return scene;
}
