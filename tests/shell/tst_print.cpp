#include "shell/print_snapshot.h"

#include "core/twips.h"
#include "fixture.h"
#include "shell/file_dialogs.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QDir>
#include <QtEndian>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

// Stands in for the filter window: its size and its "Printing..." note.
class FilterWindowStandIn : public PageWindow {
public:
    FilterWindowStandIn() {
        note = new QLabel(QStringLiteral("Printing..."), this);
        note->move(400, 300);
        note->hide();
    }
    void Form_Load() override { SetFormSize(15270, 10005); }
    QLabel* note;
};

QByteArray Inflate(const QByteArray& zlib, quint32 expectedSize) {
    QByteArray zipped(4, '\0');
    qToBigEndian<quint32>(expectedSize, zipped.data());
    return qUncompress(zipped + zlib);
}

// The dictionary and the data of every stream of a PDF, in file order.
struct PdfStream {
    QByteArray Dictionary, Data;
};
std::vector<PdfStream> Streams(const QByteArray& pdf) {
    std::vector<PdfStream> streams;
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream\n", at)) >= 0) {
        const qsizetype dict = pdf.lastIndexOf("<<", at);
        at += 7;
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0 || dict < 0) break;
        streams.push_back({pdf.mid(dict, at - dict), pdf.mid(at, end - at)});
        at = end + 9;  // past "endstream"
    }
    return streams;
}

// The size in points at which a one-page PDF draws its first image: the product of the
// scale factors of every "cm" before its "Do".
QSizeF DrawnImageSize(const QByteArray& pdf, int* pages) {
    *pages = static_cast<int>(pdf.count("/Type /Page\n"));
    for (const PdfStream& stream : Streams(pdf)) {
        if (stream.Dictionary.contains("/Subtype /Image") || !stream.Dictionary.contains("/FlateDecode")) continue;
        const QByteArray content = Inflate(stream.Data, 1u << 20);
        const qsizetype doAt = content.indexOf(" Do");
        if (doAt < 0) continue;
        static const QRegularExpression cm(QStringLiteral("(\\S+) (\\S+) (\\S+) (\\S+) (\\S+) (\\S+) cm"));
        double sx = 1, sy = 1;
        auto it = cm.globalMatch(QString::fromLatin1(content.left(doAt)));
        while (it.hasNext()) {
            const auto m = it.next();
            sx *= m.captured(1).toDouble();
            sy *= m.captured(4).toDouble();
        }
        return {sx, std::fabs(sy)};
    }
    return {};
}

// The first picture of a PDF as stored, or a null image when it is not stored losslessly.
QImage StoredPicture(const QByteArray& pdf) {
    for (const PdfStream& stream : Streams(pdf)) {
        const QByteArray& d = stream.Dictionary;
        if (!d.contains("/Subtype /Image")) continue;
        if (!d.contains("/Filter /FlateDecode") || !d.contains("/ColorSpace /DeviceRGB") ||
            !d.contains("/BitsPerComponent 8"))
            return {};
        static const QRegularExpression size(QStringLiteral("/Width (\\d+)\\s*/Height (\\d+)"));
        const auto m = size.match(QString::fromLatin1(d));
        if (!m.hasMatch()) return {};
        const int w = m.captured(1).toInt(), h = m.captured(2).toInt();
        const QByteArray rgb = Inflate(stream.Data, static_cast<quint32>(w * h * 3));
        if (rgb.size() != w * h * 3) return {};
        QImage image(w, h, QImage::Format_RGB888);
        for (int y = 0; y < h; ++y) std::memcpy(image.scanLine(y), rgb.constData() + y * w * 3, static_cast<size_t>(w) * 3);
        return image;
    }
    return {};
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Stands in for the print system: one default queue that keeps the jobs it is sent.
struct QueueStandIn {
    struct Job {
        QString Queue, Title;
        QByteArray Pdf;
        QString Path;
    };
    QString Name = QStringLiteral("office");
    QPageLayout Page;
    bool Accepts = true;
    std::vector<Job> Jobs;

    void Install() {
        SetPrintService({[this] { return PrintQueue{Name, Page}; },
                         [this](const QString& queue, const QString& path, const QString& title, const QPageLayout&) {
                             Jobs.push_back({queue, title, ReadFile(path), path});
                             return Accepts;
                         }});
    }
};

// A folder with room for this many bytes more in any file, as a full or nearly full disk has:
// a file is created, but what goes past the room is refused.
class FileRoom {
public:
    explicit FileRoom(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // the refusal, not the end of the test
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit room = old_;
        room.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &room);
    }
    ~FileRoom() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileRoom(const FileRoom&) = delete;
    FileRoom& operator=(const FileRoom&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// The temporary folder the print system's job files go to, for the test's length.
class TempFolder {
public:
    TempFolder() : old_(qgetenv("TMPDIR")) { qputenv("TMPDIR", dir_.path().toLocal8Bit()); }
    ~TempFolder() {
        if (old_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", old_);
    }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }
    bool IsValid() const { return dir_.isValid() && QDir::tempPath() == QDir(dir_.path()).canonicalPath(); }

private:
    QTemporaryDir dir_;
    QByteArray old_;
};

class PrintSnapshot : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        UseBoardWithChips({0x48});
        RegisterPageFactory(PageKind::DigFilter, [] { return new FilterWindowStandIn; });
        main = std::make_unique<frmMain>();
        main->resize(1400, 900);
        main->show();
        pdfPath = dir.filePath(QStringLiteral("print.pdf"));
    }
    void TearDown() override {
        SetPrinterHook({});
        SetPrintService({});
        main.reset();
        RegisterPageFactory(PageKind::DigFilter, {});
        RunFixture::TearDown();
    }
    // A PDF printer whose printable width is the given number of points (20 twips each).
    void PrintToPdf(double widthPoints, QString path = {}) {
        if (path.isEmpty()) path = pdfPath;
        SetPrinterHook([widthPoints, path] {
            auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(path);
            p->setPageSize(QPageSize(QSizeF(widthPoints, 600), QPageSize::Point));
            p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
            return p;
        });
    }
    QSizeF PrintedTwips(int* pages) {
        QFile f(pdfPath);
        if (!f.open(QIODevice::ReadOnly)) return {};
        const QSizeF pt = DrawnImageSize(f.readAll(), pages);
        return {pt.width() * 20, pt.height() * 20};
    }
    FilterWindowStandIn* OpenFilterWindow() {
        return static_cast<FilterWindowStandIn*>(main->OpenDevicePage(PageKind::DigFilter, 0));
    }

    QTemporaryDir dir;
    QString pdfPath;
    QueueStandIn queue;
    std::unique_ptr<frmMain> main;
};

TEST(PrintedSnapshotSize, FitsThePageWidthAndNeverEnlarges) {
    struct Case {
        int page, width, height;
        SnapshotSize printed;
    };
    const Case cases[] = {
        {11000, 15270, 10005, {11000, 7207}},  // 7207.4
        {20000, 15270, 10005, {15270, 10005}},
        {15270, 15270, 10005, {15270, 10005}},
        {3, 4, 6, {3, 4}},  // 4.5: halves to even
        {1, 4, 6, {1, 2}},  // 1.5
        {9000, 4500, 3000, {4500, 3000}},
    };
    for (const Case& c : cases) EXPECT_EQ(PrintedSnapshotSize(c.page, c.width, c.height), c.printed) << c.page;
}

TEST_F(PrintSnapshot, FilterWindowScaledToThePageWidth) {
    FilterWindowStandIn* page = OpenFilterWindow();
    ASSERT_TRUE(page);
    QWidget* frame = page->parentWidget();
    ASSERT_EQ(frame->frameGeometry().size(), QSize(1018, 667));  // 15270 x 10005 twips
    PrintToPdf(550);  // 11000 twips
    page->note->show();
    PrintWindowSnapshot(0);

    EXPECT_TRUE(prompts.Shown.empty());
    int pages = 0;
    const QSizeF printed = PrintedTwips(&pages);
    EXPECT_EQ(pages, 1);
    EXPECT_NEAR(printed.width(), 11000, 0.01);
    EXPECT_NEAR(printed.height(), 7207, 0.01);
    // The clipboard keeps the picture of the window as shown, its note included.
    const QImage withNote = QGuiApplication::clipboard()->image();
    EXPECT_EQ(withNote.size(), QSize(1018, 667));
    EXPECT_EQ(withNote, frame->grab().toImage().convertToFormat(withNote.format()));
    page->note->hide();
    PrintWindowSnapshot(0);
    EXPECT_NE(QGuiApplication::clipboard()->image(), withNote);
}

TEST_F(PrintSnapshot, NarrowWindowPrintsAtItsOwnSize) {
    QWidget w;
    w.resize(300, 200);  // 4500 x 3000 twips
    w.show();
    PrintToPdf(550);
    ASSERT_TRUE(PrintWidgetSnapshot(&w));
    int pages = 0;
    const QSizeF printed = PrintedTwips(&pages);
    EXPECT_EQ(pages, 1);
    EXPECT_NEAR(printed.width(), w.frameGeometry().width() * kBaseTwipsPerPixel, 0.01);
    EXPECT_NEAR(printed.height(), w.frameGeometry().height() * kBaseTwipsPerPixel, 0.01);
}

TEST_F(PrintSnapshot, DefaultQueuePrintsOnItsOwnPaperAsAJobNamedAfterTheWindow) {
    FilterWindowStandIn* page = OpenFilterWindow();
    ASSERT_TRUE(page);
    ASSERT_EQ(page->windowTitle(), QStringLiteral("Filter Settings (0x48)"));
    struct Case {
        const char* name;
        QPageSize::PageSizeId paper;
        double margin;  // points on every side
        const char* mediaBox;
        SnapshotSize printed;
    };
    const Case cases[] = {
        // Landscape: 792 - 2 x 18 points = 15120 twips, narrower than the window's 15270.
        {"Letter", QPageSize::Letter, 18, "/MediaBox [0 0 792.000000 612.000000]", {15120, 9907}},
        {"A5", QPageSize::A5, 0, "/MediaBox [0 0 595.000000 420.000000]", {11900, 7797}},
        {"A3", QPageSize::A3, 10, "/MediaBox [0 0 1191.000000 842.000000]", {15270, 10005}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        queue.Jobs.clear();
        queue.Page = QPageLayout(QPageSize(c.paper), QPageLayout::Portrait,
                                 QMarginsF(c.margin, c.margin, c.margin, c.margin), QPageLayout::Point);
        queue.Install();
        PrintWindowSnapshot(0);
        EXPECT_TRUE(prompts.Shown.empty());
        ASSERT_EQ(queue.Jobs.size(), 1u);
        const QueueStandIn::Job& job = queue.Jobs[0];
        EXPECT_EQ(job.Queue, "office");
        EXPECT_EQ(job.Title, "Filter Settings (0x48)");
        EXPECT_TRUE(job.Pdf.contains(c.mediaBox));
        int pages = 0;
        const QSizeF points = DrawnImageSize(job.Pdf, &pages);
        EXPECT_EQ(pages, 1);
        EXPECT_NEAR(points.width() * 20, c.printed.Width, 0.01);
        EXPECT_NEAR(points.height() * 20, c.printed.Height, 0.01);
        EXPECT_FALSE(QFile::exists(job.Path));  // the job's file is not left behind
    }
}

TEST_F(PrintSnapshot, PictureIsStoredLossless) {
    QWidget w;
    w.resize(300, 200);
    // Thin coloured lines on white are where a lossy picture shows its fringes.
    w.setStyleSheet(QStringLiteral("background: white"));
    auto* line = new QLabel(&w);
    line->setGeometry(10, 50, 280, 1);
    line->setStyleSheet(QStringLiteral("background: #00c000"));
    w.show();
    PrintToPdf(550);
    ASSERT_TRUE(PrintWidgetSnapshot(&w));
    const QImage stored = StoredPicture(ReadFile(pdfPath));
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(stored, QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888));
}

TEST_F(PrintSnapshot, NoPrinterOrAFailingOneShowsPrinterError) {
    FilterWindowStandIn* page = OpenFilterWindow();
    ASSERT_TRUE(page);
    const QRect before = page->parentWidget()->geometry();
    const QString title = page->windowTitle();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int device;
    };
    const Case cases[] = {
        {"no printer", [] { SetPrinterHook([] { return std::unique_ptr<QPrinter>(); }); }, 0},
        {"printer error", [this] { PrintToPdf(550, dir.filePath(QStringLiteral("missing/dir/print.pdf"))); }, 0},
        {"no filter window", [this] { PrintToPdf(550); }, 1},
        {"no default queue",
         [this] {
             SetPrinterHook({});
             queue.Name.clear();
             queue.Install();
         },
         0},
        {"queue refuses the job",
         [this] {
             queue.Name = QStringLiteral("office");
             queue.Accepts = false;
             queue.Install();
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Shown.clear();
        c.arrange();
        PrintWindowSnapshot(static_cast<int16_t>(c.device));
        ASSERT_EQ(prompts.Shown.size(), 1u);
        EXPECT_EQ(prompts.Shown[0].text, "Printer Error");
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(prompts.Shown[0].buttons, MsgButtons::OK);
        EXPECT_EQ(prompts.Shown[0].title, kAppTitle);
        EXPECT_EQ(page->parentWidget()->geometry(), before);
        EXPECT_EQ(page->windowTitle(), title);
        EXPECT_TRUE(page->isVisible());
    }
    EXPECT_FALSE(QFile::exists(pdfPath));
    ASSERT_EQ(queue.Jobs.size(), 1u);  // only the queue that refuses was sent a job
    EXPECT_FALSE(QFile::exists(queue.Jobs[0].Path));
}

TEST_F(PrintSnapshot, AJobThatCannotBeWrittenWholeIsAPrinterErrorAndSendsNothing) {
    FilterWindowStandIn* page = OpenFilterWindow();
    ASSERT_TRUE(page);
    TempFolder temp;
    ASSERT_TRUE(temp.IsValid());
    queue.Install();
    PrintWindowSnapshot(0);  // with room: a whole job, for its size
    ASSERT_EQ(queue.Jobs.size(), 1u);
    ASSERT_TRUE(prompts.Shown.empty());
    const auto whole = static_cast<rlim_t>(queue.Jobs[0].Pdf.size());
    ASSERT_GT(whole, 1000u);
    // A full folder (the file is made, nothing goes in), a nearly full one, and one that cuts
    // off no more than the end-of-file mark.
    for (rlim_t room : {rlim_t{0}, whole / 2, whole - 6}) {
        SCOPED_TRACE(room);
        queue.Jobs.clear();
        prompts.Shown.clear();
        {
            const FileRoom limit(room);
            PrintWindowSnapshot(0);
        }
        EXPECT_TRUE(queue.Jobs.empty());
        ASSERT_EQ(prompts.Shown.size(), 1u);
        EXPECT_EQ(prompts.Shown[0].text, "Printer Error");
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(temp.Files(), QStringList{});  // the job's file is removed as ever
        EXPECT_TRUE(page->isVisible());
    }
}

TEST_F(PrintSnapshot, OnlyAWholePdfCountsAsWritten) {
    FilterWindowStandIn* page = OpenFilterWindow();
    ASSERT_TRUE(page);
    PrintToPdf(550);
    PrintWindowSnapshot(0);
    const QByteArray pdf = ReadFile(pdfPath);
    ASSERT_TRUE(IsWholePdf(pdf));
    ASSERT_TRUE(pdf.endsWith("%%EOF\n"));
    // Cut anywhere short of its last line end, or with a piece lost inside, it is not.
    for (qsizetype cut = 0; cut < pdf.size() - 1; cut += cut < pdf.size() - 64 ? 61 : 1)
        EXPECT_FALSE(IsWholePdf(pdf.left(cut))) << cut;
    for (qsizetype at : {qsizetype{20}, pdf.size() / 3, pdf.size() * 2 / 3}) {
        QByteArray gap = pdf;
        gap.remove(at, 512);
        EXPECT_FALSE(IsWholePdf(gap)) << at;
    }
    EXPECT_FALSE(IsWholePdf(QByteArray()));
}

}  // namespace
