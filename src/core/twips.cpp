#include "core/twips.h"

#include <algorithm>
#include <cmath>

namespace {
double scale = 1;
// The design font's line height and mean letter width (a to z, A to Z), in pixels.
constexpr double kDesignLineHeight = 13.97, kDesignLetterWidth = 7.405;
}  // namespace

double LayoutScale() { return scale; }

void SetLayoutScale(double s) { scale = std::isfinite(s) ? std::clamp(s, 1.0, 8.0) : 1.0; }

double LayoutScaleForFont(double lineHeight, double letterWidth) {
    const double s = std::max(lineHeight / kDesignLineHeight, letterWidth / kDesignLetterWidth);
    // Within hinting noise of the design font the windows stay exactly as they were drawn.
    return std::isfinite(s) && s > 1.02 ? s : 1.0;
}

int TwipsToPixels(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel())); }

double PixelsToTwips(double pixels) { return pixels * TwipsPerPixel(); }

int ScaledPixels(double designPixels) { return static_cast<int>(std::lround(designPixels * scale)); }
