#pragma once
// Printing a picture of a window as shown, on the default printer without a dialog, as a job
// named after the window's caption.
#include <cstdint>

class QWidget;

struct SnapshotSize {
    int Width = 0;   // twips
    int Height = 0;  // twips
    bool operator==(const SnapshotSize&) const = default;
};

// The printed size: the window's own, or scaled down to the page width with its proportions kept.
SnapshotSize PrintedSnapshotSize(int pageWidthTwips, int windowWidthTwips, int windowHeightTwips);

// Prints the filter window of device 0 or 1; "Printer Error" when it cannot.
void PrintWindowSnapshot(int16_t index);
// Prints any window (with its frame inside the main window); false after "Printer Error".
// The picture is left on the clipboard.
bool PrintWidgetSnapshot(QWidget* window);
