#pragma once
// Window geometry is kept in twips. At the font the windows were laid out for (the toolkit's
// 9 pt default at 96 dpi) 15 twips are one pixel; a larger user font makes a pixel fewer twips,
// so that the windows and the texts in them grow together, as dialog units follow their font.
constexpr double kBaseTwipsPerPixel = 15;

// The layout scale: pixels now per pixel of the design font, at least 1. Set once at start.
double LayoutScale();
void SetLayoutScale(double scale);
// The scale for a font whose line height and mean letter width (pixels) are given.
double LayoutScaleForFont(double lineHeight, double letterWidth);

inline double TwipsPerPixel() { return kBaseTwipsPerPixel / LayoutScale(); }
int TwipsToPixels(double twips);
double PixelsToTwips(double pixels);
// A length given in pixels of the design font, at the layout scale.
int ScaledPixels(double designPixels);
