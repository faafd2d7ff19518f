#pragma once
// The file dialogs and the printer: QFileDialog and the system's default printer in the
// program, a chosen path and a PDF or failing printer or a stand-in print system in tests.
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

enum class FileDialogKind { Open, Save };

// Returns the chosen file name, or an empty text for a cancel.
using FileDialogHook = std::function<QString(FileDialogKind kind, const QString& folder, const QString& filter)>;
void SetFileDialogHook(FileDialogHook hook);  // empty: the real dialogs
QString AskFileName(QWidget* parent, FileDialogKind kind, const QString& folder, const QString& filter);

// The printer to print on without a dialog, or null when none is available.
using PrinterHook = std::function<std::unique_ptr<QPrinter>()>;
void SetPrinterHook(PrinterHook hook);  // empty: the system's default printer
std::unique_ptr<QPrinter> OpenPrinter();
// Hands what was printed on an OpenPrinter printer to the print system once its painter has
// ended; false when the job was not taken, or when its PDF was not written whole (a full
// folder), in which case nothing is sent.
bool SubmitPrintJob(QPrinter& printer);

// A PDF as its writer finished it: its header, its cross-reference table with every object
// where the table says, and its end-of-file mark. An empty or cut-off file is not.
bool IsWholePdf(const QByteArray& pdf);

// The print system behind the default printer: CUPS in the program, a stand-in in tests.
struct PrintQueue {
    QString Name;      // empty: there is no default printer
    QPageLayout Page;  // the queue's own paper and its printable margins
};
struct PrintService {
    std::function<PrintQueue()> DefaultQueue;
    // Sends a finished PDF as one job; false when the queue refuses it.
    std::function<bool(const QString& queue, const QString& pdfPath, const QString& title, const QPageLayout& page)>
        Submit;
};
void SetPrintService(PrintService service);  // empty: CUPS
