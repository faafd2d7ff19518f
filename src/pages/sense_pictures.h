#pragma once
// The drawings of the two sensing pages in twips, relative to their picture: the parts of each
// signal path, the wires between them, the captions, and the places of the controls that sit
// on the drawing. No widgets here; widgets/sense_picture.h paints a scene and hosts its controls.
#include "shell/block_diagram_layout.h"

#include <vector>

enum class SenseShape {
    Pin,        // an input of the chip, on its outline
    Box,        // a block such as the ADC
    Amplifier,  // a triangle pointing right
    Junction,   // a circle where a value is added or multiplied in
};

struct SensePart {
    SenseShape Shape;
    TwipsRect Rect;
    const char* Text;  // drawn inside, may be empty
};
struct SenseWire {
    TwipsLine Line;
    bool Arrow;    // arrow head at the second point
    bool Setting;  // a dashed line from a control to the part it sets
};
struct SenseText {
    int X, Y;  // baseline start
    const char* Text;
};
// A caption names what the control below or beside it sets.
struct SenseCaption {
    TwipsRect Rect;
    const char* Text;
    bool Centred;
};
struct SenseControl {
    const char* Name;  // the control's object name
    TwipsRect Rect;
};

struct SenseScene {
    int Width = 0, Height = 0;
    TwipsRect Chip;
    std::vector<SensePart> Parts;
    std::vector<SenseWire> Wires;
    std::vector<SenseText> Texts;
    std::vector<SenseCaption> Captions;
    std::vector<SenseControl> Controls;

    // The place of a control, or an empty rectangle for a name the scene does not know.
    TwipsRect ControlRect(const char* name) const;
};

// CS1, and CS2- with CS2+, through gain, polarity and offset into the ADC, out to the two values.
const SenseScene& CurrentSenseScene();
// VS1 to VS3 through their trims into the ADC, and VS3 times the output trim to the output value.
const SenseScene& VoltageSenseScene();

// The point where a vertical line at x meets the upper (or lower) edge of an amplifier drawn in r.
int AmplifierEdgeY(const TwipsRect& r, int x, bool upper);
