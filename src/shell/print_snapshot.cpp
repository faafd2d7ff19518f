#include "shell/print_snapshot.h"

#include "core/numbers.h"
#include "core/twips.h"
#include "link/platform.h"
#include "shell/file_dialogs.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPrinter>
#include <cmath>

namespace {

void ShowPrinterError() { MsgBox(QStringLiteral("Printer Error"), MsgButtons::OK, MsgIcon::Critical, kAppTitle); }

// The window as the user sees it: its frame when it sits in the main window.
QWidget* OuterWindow(QWidget* w) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) return sub;
    return w;
}

}  // namespace

SnapshotSize PrintedSnapshotSize(int pageWidthTwips, int windowWidthTwips, int windowHeightTwips) {
    if (pageWidthTwips < windowWidthTwips) {
        const double h = static_cast<double>(pageWidthTwips) / windowWidthTwips * windowHeightTwips;
        return {pageWidthTwips, static_cast<int>(RoundHalfEven(h, 0))};
    }
    return {windowWidthTwips, windowHeightTwips};
}

bool PrintWidgetSnapshot(QWidget* window) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // Let a note the caller has just shown be painted before the picture is taken.
    QPointer<QWidget> target = window;
    QApplication::processEvents();
    if (!target) {
        ShowPrinterError();
        return false;
    }
    QWidget* outer = OuterWindow(target);
    const QImage picture = outer->grab().toImage();
    if (picture.isNull()) {
        ShowPrinterError();
        return false;
    }
    clipboard->setImage(picture);
    // A screen pixel is 15 twips whatever the layout scale: the print keeps the window's size.
    const int windowWidth = static_cast<int>(outer->frameGeometry().width() * kBaseTwipsPerPixel);
    const int windowHeight = static_cast<int>(outer->frameGeometry().height() * kBaseTwipsPerPixel);

    std::unique_ptr<QPrinter> printer = OpenPrinter();
    if (!printer) {
        ShowPrinterError();
        return false;
    }
    printer->setDocName(target->windowTitle());
    QPainter painter;
    if (!painter.begin(printer.get())) {
        ShowPrinterError();
        return false;
    }
    const int pageWidth = static_cast<int>(std::lround(printer->pageRect(QPrinter::Point).width() * 20.0));
    const SnapshotSize size = PrintedSnapshotSize(pageWidth, windowWidth, windowHeight);
    const double pixelsPerTwip = printer->resolution() / 1440.0;
    // A lossy picture would blur the plot's one-pixel lines and colour their edges.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(QRectF(0, 0, size.Width * pixelsPerTwip, size.Height * pixelsPerTwip), picture);
    const bool ok = painter.end() && printer->printerState() != QPrinter::Error && SubmitPrintJob(*printer);
    if (!ok) ShowPrinterError();
    return ok;
}

void PrintWindowSnapshot(int16_t index) {
    frmMain* main = MainForm();
    PageWindow* page = main ? main->Form(PageKind::DigFilter, index) : nullptr;
    if (!page) {
        ShowPrinterError();
        return;
    }
    PrintWidgetSnapshot(page);
}
