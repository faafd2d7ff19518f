#pragma once
// Sets the layout scale from the application font, so windows grow with the user's font.
class QFont;
class QRect;

double LayoutScaleFor(const QFont& font);
// Call once at start, after the application font is known (and again when a test changes it).
void FollowApplicationFont();
// A place given in pixels of the design font, at the layout scale. Scaled by its edges, so that
// places touching in the design still touch and do not overlap.
QRect ScaledRect(int x, int y, int w, int h);
