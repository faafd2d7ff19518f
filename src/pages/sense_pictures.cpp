#include "pages/sense_pictures.h"

#include <cstring>

TwipsRect SenseScene::ControlRect(const char* name) const {
    for (const SenseControl& c : Controls)
        if (std::strcmp(c.Name, name) == 0) return c.Rect;
    return {};
}

int AmplifierEdgeY(const TwipsRect& r, int x, bool upper) {
    // The triangle's edges run from its left corners to the tip at the middle of its right side.
    const int half = r.Height / 2;
    const int rise = r.Width > 0 ? (x - r.Left) * half / r.Width : 0;
    return upper ? r.Top + rise : r.Top + r.Height - rise;
}
