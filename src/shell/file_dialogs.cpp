#include "shell/file_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibrary>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QtDebug>
#include <utility>
#include <vector>

namespace {
FileDialogHook& DialogHook() {
    static FileDialogHook hook;
    return hook;
}
PrinterHook& PrintHook() {
    static PrinterHook hook;
    return hook;
}
PrintQueue CupsDefaultQueue() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return {};
    // A printer made for the queue knows the printable margins of its paper.
    QPrinter native(info, QPrinter::HighResolution);
    native.setPageSize(info.defaultPageSize());
    return {info.printerName(), native.pageLayout()};
}

// libcups is loaded at run time, as Qt's own print support does, so that building needs no
// CUPS headers.
struct CupsOption {
    char* name;
    char* value;
};
using CupsPrintFileFn = int (*)(const char* name, const char* filename, const char* title, int numOptions,
                                CupsOption* options);
using CupsLastErrorStringFn = const char* (*)();

bool CupsSubmit(const QString& queue, const QString& pdfPath, const QString& title, const QPageLayout& page) {
    static QLibrary cups(QStringLiteral("cups"), 2);
    static const auto printFile = reinterpret_cast<CupsPrintFileFn>(cups.resolve("cupsPrintFile"));
    static const auto lastError = reinterpret_cast<CupsLastErrorStringFn>(cups.resolve("cupsLastErrorString"));
    if (!printFile) {
        qWarning("Printing: %s", qPrintable(cups.errorString()));
        return false;
    }
    // The options Qt's own submission gives: the paper by its name and the orientation.
    QByteArray media = page.pageSize().key().toUtf8();
    QByteArray mediaName = "media", landscapeName = "landscape", empty;
    std::vector<CupsOption> options{{mediaName.data(), media.data()}};
    if (page.orientation() == QPageLayout::Landscape) options.push_back({landscapeName.data(), empty.data()});
    // A name with an instance ("queue/instance") is printed on the queue itself.
    const QByteArray name = queue.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const int job = printFile(name.constData(), QFile::encodeName(pdfPath).constData(), title.toUtf8().constData(),
                              static_cast<int>(options.size()), options.data());
    if (job <= 0) {
        qWarning("Printing on %s: %s", name.constData(), lastError ? lastError() : "refused");
        return false;
    }
    return true;
}

PrintService& Service() {
    static PrintService service{CupsDefaultQueue, CupsSubmit};
    return service;
}

// Renders the job into a PDF of its own, handed to the queue once it is complete. Qt's own
// submission throws away the queue's answer, so a refused job would be lost without a word.
class QueuePrinter : public QPrinter {
public:
    QueuePrinter(QString queue, const QPageLayout& page) : QPrinter(QPrinter::HighResolution), queue_(std::move(queue)) {
        file_.setFileTemplate(QDir::tempPath() + QStringLiteral("/zvc-print-XXXXXX.pdf"));
        if (!file_.open()) return;
        file_.close();
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(file_.fileName());
        setPageLayout(page);
    }
    bool Ready() const { return !outputFileName().isEmpty(); }
    bool Submit() { return Service().Submit(queue_, file_.fileName(), docName(), pageLayout()); }

private:
    QString queue_;
    QTemporaryFile file_;
};
}  // namespace

void SetFileDialogHook(FileDialogHook hook) { DialogHook() = std::move(hook); }

QString AskFileName(QWidget* parent, FileDialogKind kind, const QString& folder, const QString& filter) {
    if (DialogHook()) return DialogHook()(kind, folder, filter);
    // The name is used as chosen: no default suffix is added.
    return kind == FileDialogKind::Save ? QFileDialog::getSaveFileName(parent, QString(), folder, filter)
                                        : QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

void SetPrinterHook(PrinterHook hook) { PrintHook() = std::move(hook); }

void SetPrintService(PrintService service) {
    if (!service.DefaultQueue) service.DefaultQueue = CupsDefaultQueue;
    if (!service.Submit) service.Submit = CupsSubmit;
    Service() = std::move(service);
}

std::unique_ptr<QPrinter> OpenPrinter() {
    if (PrintHook()) return PrintHook()();
    const PrintQueue queue = Service().DefaultQueue();
    if (queue.Name.isEmpty()) return nullptr;
    auto printer = std::make_unique<QueuePrinter>(queue.Name, queue.Page);
    if (!printer->Ready()) return nullptr;
    // The filter window is wider than high: landscape in colour fits it best.
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setColorMode(QPrinter::Color);
    return printer;
}

namespace {

// The first offset from at that is no blank or line end.
qsizetype SkipBlanks(const QByteArray& data, qsizetype at) {
    while (at < data.size() && (data[at] == ' ' || data[at] == '\r' || data[at] == '\n')) ++at;
    return at;
}

// A whole number at the offset, and where it ends; nothing when there is none.
bool NumberAt(const QByteArray& data, qsizetype& at, qint64& value) {
    const qsizetype from = at;
    value = 0;
    while (at < data.size() && data[at] >= '0' && data[at] <= '9' && at - from < 18) value = value * 10 + (data[at++] - '0');
    return at > from;
}

}  // namespace

bool IsWholePdf(const QByteArray& pdf) {
    if (!pdf.startsWith("%PDF-")) return false;
    qsizetype end = pdf.size();
    while (end > 0 && (pdf[end - 1] == '\n' || pdf[end - 1] == '\r')) --end;
    if (!pdf.left(end).endsWith("%%EOF")) return false;
    const qsizetype startxref = pdf.lastIndexOf("startxref", end);
    if (startxref < 0) return false;
    qsizetype at = SkipBlanks(pdf, startxref + 9);
    qint64 table = 0;
    if (!NumberAt(pdf, at, table) || table <= 0 || table >= startxref) return false;
    if (pdf.mid(table, 4) != "xref") return false;
    // Each subsection: its first object number and count, then twenty bytes per object.
    at = SkipBlanks(pdf, table + 4);
    while (at < startxref && pdf.mid(at, 7) != "trailer") {
        qint64 first = 0, count = 0;
        if (!NumberAt(pdf, at, first) || pdf.mid(at, 1) != " " || !NumberAt(pdf, ++at, count)) return false;
        at = SkipBlanks(pdf, at);
        for (qint64 i = 0; i < count; ++i, at += 20) {
            if (at + 20 > startxref) return false;
            qsizetype field = at;
            qint64 offset = 0, generation = 0;
            if (!NumberAt(pdf, field, offset) || !NumberAt(pdf, ++field, generation)) return false;
            if (pdf[field + 1] != 'n') continue;  // a free entry
            const QByteArray object = QByteArray::number(first + i) + ' ' + QByteArray::number(generation) + " obj";
            if (offset <= 0 || offset >= table || pdf.mid(offset, object.size()) != object) return false;
        }
        at = SkipBlanks(pdf, at);
    }
    return at < startxref;
}

bool SubmitPrintJob(QPrinter& printer) {
    // Qt's PDF writer says nothing of a write that failed: a job file in a full folder would go
    // to the printer empty or cut off. Read it back before anything is sent.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        QFile job(printer.outputFileName());
        if (!job.open(QIODevice::ReadOnly) || !IsWholePdf(job.readAll())) return false;
    }
    if (auto* queued = dynamic_cast<QueuePrinter*>(&printer)) return queued->Submit();
    return true;
}
