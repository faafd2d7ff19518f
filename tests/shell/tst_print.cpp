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
#include <QtEndian>

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

// The size in points at which a one-page PDF draws its first image: the product of the
// scale factors of every "cm" before its "Do".
QSizeF DrawnImageSize(const QByteArray& pdf, int* pages) {
    *pages = static_cast<int>(pdf.count("/Type /Page\n"));
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream\n", at)) >= 0) {
        at += 7;
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0) break;
        if (pdf[at] != '\x78') continue;  // not a zlib stream (a JPEG picture)
        QByteArray zipped(4, '\0');
        qToBigEndian<quint32>(1u << 20, zipped.data());
        const QByteArray content = qUncompress(zipped + pdf.mid(at, end - at));
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
    EXPECT_NEAR(printed.width(), PixelsToTwips(w.frameGeometry().width()), 0.01);
    EXPECT_NEAR(printed.height(), PixelsToTwips(w.frameGeometry().height()), 0.01);
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
}

}  // namespace
