#pragma once
// Geometry of the block-diagram page in twips, relative to its picture: the ten clickable blocks,
// their highlight frames, the hit test, and the drawing of the chip's functional blocks.
// No widgets here; the picture widget only draws what these return.
#include <array>
#include <span>

struct TwipsRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Contains(int x, int y) const { return x >= Left && x < Left + Width && y >= Top && y < Top + Height; }
};

struct TwipsLine {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// The picture box on the page.
constexpr TwipsRect kPictureRect{0, 480, 13335, 8175};

constexpr int kBlockCount = 10;

// Clickable area of block `index` (0 to 9).
TwipsRect BlockRect(int index);
// The four lines of block `index`'s red frame: top, bottom, left, right.
std::array<TwipsLine, 4> BlockFrameLines(int index);
// The block under a point of the picture, or -1 for free picture area.
int BlockAt(int x, int y);

// What the picture shows, in drawing order.
struct DiagramBox {
    TwipsRect Rect;
    const char* Text;
    bool Functional;  // one of the chip's blocks (filled), else a part of the power stage
};
struct DiagramWire {
    TwipsLine Line;
    bool Arrow;  // arrow head at the second point
};
struct DiagramText {
    int X, Y;
    const char* Text;
};

// The chip's outline.
TwipsRect ChipOutline();
std::span<const DiagramBox> DiagramBoxes();
std::span<const DiagramWire> DiagramWires();
std::span<const DiagramText> DiagramTexts();

// The two described blocks that open nothing (tooltips only).
TwipsRect DescribedBlockRect(int which);  // 0: Label3, 1: lblVantrel
