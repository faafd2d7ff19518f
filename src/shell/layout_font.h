#pragma once
// Sets the layout scale from the application font, so windows grow with the user's font.
class QFont;

double LayoutScaleFor(const QFont& font);
// Call once at start, after the application font is known (and again when a test changes it).
void FollowApplicationFont();
