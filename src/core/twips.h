#pragma once
// Window geometry is kept in twips; 15 twips are one pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int TwipsToPixels(double twips) { return static_cast<int>(twips / kTwipsPerPixel + (twips >= 0 ? 0.5 : -0.5)); }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
