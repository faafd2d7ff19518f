#include "shell/block_diagram_layout.h"

namespace {

struct Block {
    TwipsRect Label;
    int X1, X2, Y1, Y2;  // the highlight frame
};

constexpr std::array<Block, kBlockCount> kBlocks = {{
    {{5400, 4080, 1455, 975}, 5380, 6840, 4100, 5040},   // PWM
    {{7920, 4200, 1215, 735}, 7900, 9160, 4160, 4940},   // digital filter
    {{5400, 5280, 1455, 735}, 5400, 6840, 5220, 6040},   // faults and limits
    {{10560, 5280, 855, 735}, 10500, 11400, 5300, 6000}, // share bus
    {{7080, 3240, 1815, 495}, 7040, 8930, 3220, 3740},   // current sense
    {{9960, 4200, 1215, 735}, 9940, 11200, 4140, 4980},  // voltage sense
    {{9240, 3240, 1815, 495}, 9200, 11080, 3240, 3760},  // OrFET
    {{2640, 6720, 1935, 375}, 2640, 4560, 6600, 7080},   // general settings
    {{8040, 5640, 1455, 375}, 8000, 9500, 5600, 6060},   // register map
    {{480, 5280, 2295, 255}, 360, 2760, 5280, 5520},     // the output voltage reading
}};

constexpr std::array<TwipsRect, 2> kDescribed = {{
    {2760, 4080, 2160, 975},  // ADC
    {5400, 6720, 1455, 735},  // EEPROM
}};

constexpr TwipsRect kChip{2550, 2800, 9150, 5150};

const DiagramBox kBoxes[] = {
    // The power stage the chip controls.
    {{1200, 750, 1900, 900}, "Primary Switches", false},
    {{3700, 750, 1500, 900}, "Transformer", false},
    {{5800, 750, 2000, 900}, "Synchronous Rectifiers", false},
    {{8400, 750, 1500, 900}, "Output Filter", false},
    {{10500, 750, 1200, 900}, "OrFET", false},
    // The chip's functional blocks; the clickable ones lie under their labels.
    {kBlocks[0].Label, "PWM Outputs", true},
    {kBlocks[1].Label, "Digital Filter", true},
    {kBlocks[2].Label, "Fault Monitor", true},
    {kBlocks[3].Label, "Share Bus", true},
    {kBlocks[4].Label, "Current Sense", true},
    {kBlocks[5].Label, "Voltage Sense", true},
    {kBlocks[6].Label, "OrFET Control", true},
    {kBlocks[7].Label, "  General Settings", true},
    {kBlocks[8].Label, "SMBus / Registers", true},
    {kDescribed[0], "ADC", true},
    {kDescribed[1], "EEPROM", true},
};

const DiagramWire kWires[] = {
    // Power path.
    {{700, 1200, 1200, 1200}, false},
    {{3100, 1200, 3700, 1200}, false},
    {{5200, 1200, 5800, 1200}, false},
    {{7800, 1200, 8400, 1200}, false},
    {{9900, 1200, 10500, 1200}, false},
    {{11700, 1200, 12250, 1200}, true},
    // Gate drives from the PWM block.
    {{6500, 4080, 6500, 1650}, true},
    {{5600, 4080, 5600, 2300}, false},
    {{5600, 2300, 2150, 2300}, false},
    {{2150, 2300, 2150, 1650}, true},
    // Sensing.
    {{7500, 1650, 7500, 3240}, true},
    {{12000, 1200, 12000, 4567}, false},
    {{12000, 4567, 11175, 4567}, true},
    // OrFET drive.
    {{11000, 3240, 11000, 1650}, true},
    // Control loop inside the chip.
    {{9960, 4567, 9135, 4567}, true},
    {{7920, 4567, 6855, 4567}, true},
    {{7080, 3487, 6127, 3487}, false},
    {{6127, 3487, 6127, 4080}, true},
    {{6127, 5280, 6127, 5055}, true},
    {{3840, 5055, 3840, 5647}, false},
    {{3840, 5647, 5400, 5647}, true},
    {{4575, 6907, 5400, 6907}, true},
    // Pins.
    {{11415, 5647, 11700, 5647}, false},
    {{8767, 6015, 8767, 7950}, false},
};

const DiagramText kTexts[] = {
    {250, 1260, "VIN"},
    {12300, 1260, "VOUT"},
    {2700, 3150, "ZVC7140"},
    {12100, 3000, "VS1-VS3"},
    {7600, 2700, "CS1, CS2"},
    {11750, 5700, "SHARE"},
    {8880, 7800, "SDA / SCL"},
};

}  // namespace

TwipsRect BlockRect(int index) {
    if (index < 0 || index >= kBlockCount) return {};
    return kBlocks[static_cast<size_t>(index)].Label;
}

std::array<TwipsLine, 4> BlockFrameLines(int index) {
    if (index < 0 || index >= kBlockCount) return {};
    const Block& b = kBlocks[static_cast<size_t>(index)];
    return {{{b.X1, b.Y1, b.X2, b.Y1}, {b.X1, b.Y2, b.X2, b.Y2}, {b.X1, b.Y1, b.X1, b.Y2}, {b.X2, b.Y1, b.X2, b.Y2}}};
}

int BlockAt(int x, int y) {
    for (int i = 0; i < kBlockCount; ++i)
        if (kBlocks[static_cast<size_t>(i)].Label.Contains(x, y)) return i;
    return -1;
}

TwipsRect ChipOutline() { return kChip; }
std::span<const DiagramBox> DiagramBoxes() { return kBoxes; }
std::span<const DiagramWire> DiagramWires() { return kWires; }
std::span<const DiagramText> DiagramTexts() { return kTexts; }

TwipsRect DescribedBlockRect(int which) {
    if (which < 0 || which > 1) return {};
    return kDescribed[static_cast<size_t>(which)];
}
