#include "shell/file_dialogs.h"

#include <QFileDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
FileDialogHook& DialogHook() {
    static FileDialogHook hook;
    return hook;
}
PrinterHook& PrintHook() {
    static PrinterHook hook;
    return hook;
}
}  // namespace

void SetFileDialogHook(FileDialogHook hook) { DialogHook() = std::move(hook); }

QString AskFileName(QWidget* parent, FileDialogKind kind, const QString& folder, const QString& filter) {
    if (DialogHook()) return DialogHook()(kind, folder, filter);
    // The name is used as chosen: no default suffix is added.
    return kind == FileDialogKind::Save ? QFileDialog::getSaveFileName(parent, QString(), folder, filter)
                                        : QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

void SetPrinterHook(PrinterHook hook) { PrintHook() = std::move(hook); }

std::unique_ptr<QPrinter> OpenPrinter() {
    if (PrintHook()) return PrintHook()();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // The filter window is wider than high: landscape in colour fits it best.
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setColorMode(QPrinter::Color);
    return printer;
}
