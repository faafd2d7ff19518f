// Every window and tab of the program, opened as a user opens it with two chips on the board,
// shows each text whole and keeps its painted captions readable, at the font sizes desktops
// commonly give (and, run again under a display scale, at the default font).
#include "fixture.h"
#include "../pages/text_fit.h"

#include "app/wiring.h"
#include "core/twips.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/frmMultiDevice.h"
#include "shell/frmSplash.h"
#include "shell/layout_font.h"
#include "shell/painted_layout.h"
#include "shell/qt_prompts.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <memory>

namespace {

// Does the segment pass through the inside of the box? Touching its edge is allowed.
bool Crosses(const QLineF& line, const QRectF& box) {
    const QRectF inner = box.adjusted(0.5, 0.5, -0.5, -0.5);
    if (inner.isEmpty()) return false;
    // Liang-Barsky clipping of the segment to the box.
    double t0 = 0, t1 = 1;
    const double dx = line.dx(), dy = line.dy();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.x1() - inner.left(), inner.right() - line.x1(), line.y1() - inner.top(),
                         inner.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

QString Where(const QWidget* w) { return ControlName(w) + QStringLiteral(": "); }

// Captions inside their picture, clear of each other and of the picture's lines.
QStringList UnreadableCaptions(const QWidget* root) {
    QStringList bad;
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        const auto* picture = dynamic_cast<const PaintedLayout*>(w);
        if (!picture || !w->isVisibleTo(root)) continue;
        const QRectF area = QRectF(w->rect()).adjusted(-0.5, -0.5, 0.5, 0.5);
        const QList<PaintedCaption> captions = picture->Captions();
        const QList<QLineF> lines = picture->Lines();
        for (qsizetype i = 0; i < captions.size(); ++i) {
            const PaintedCaption& c = captions[i];
            if (!area.contains(c.Box)) bad << Where(w) + c.Text + QStringLiteral(" leaves the picture");
            for (qsizetype j = i + 1; j < captions.size(); ++j)
                if (c.Box.adjusted(0.5, 0.5, -0.5, -0.5).intersects(captions[j].Box.adjusted(0.5, 0.5, -0.5, -0.5)))
                    bad << Where(w) + c.Text + QStringLiteral(" runs into ") + captions[j].Text;
            for (const QLineF& l : lines)
                if (Crosses(l, c.Box)) {
                    bad << Where(w) + QStringLiteral("a line crosses ") + c.Text;
                    break;
                }
        }
    }
    return bad;
}

// Tabs whose caption the tab bar cuts.
QStringList CutTabs(const QWidget* root) {
    QStringList cut;
    for (const QTabBar* bar : root->findChildren<QTabBar*>()) {
        if (!bar->isVisibleTo(root)) continue;
        for (int i = 0; i < bar->count(); ++i) {
            const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i).remove(u'&'));
            if (bar->tabRect(i).width() < needed + 8 || !bar->rect().contains(bar->tabRect(i)))
                cut << QStringLiteral("tab: ") + bar->tabText(i);
        }
    }
    return cut;
}

QStringList Faults(const QWidget* window) {
    QApplication::processEvents();
    return CutTexts(window) + CutTabs(window) + UnreadableCaptions(window);
}

QWidget* Outer(QWidget* page) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(page->parentWidget())) return sub;
    return page;
}

class WholeWindows : public RunFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        savedFont = QApplication::font();
        QFont f = savedFont;
        f.setPointSize(GetParam());
        QApplication::setFont(f);
        FollowApplicationFont();
        RegisterAllWindows();
    }
    void TearDown() override {
        delete main.data();
        delete chooser.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetMainForm(nullptr);
        QApplication::setFont(savedFont);
        FollowApplicationFont();
        RunFixture::TearDown();
    }
    // Two chips, as the chooser's OK leaves the program.
    void OpenMain() {
        UseBoardWithChips({0x48, 0x4A});
        SetReadingScaleFactors();
        chooser = new frmMultiDevice;
        chooser->show();
        faults += Faults(chooser).replaceInStrings(QRegularExpression(QStringLiteral("^")), QStringLiteral("chooser: "));
        chooser->cmdOK->click();
        main = MainForm();
        ASSERT_TRUE(main);
        QApplication::processEvents();
    }
    // Each tab in turn, or the window once.
    void Check(PageWindow* page, const QString& name) {
        ASSERT_TRUE(page) << qPrintable(name);
        QWidget* outer = Outer(page);
        auto note = [&](const QString& where, const QStringList& found) {
            for (const QString& f : found) faults << where + QStringLiteral(": ") + f;
        };
        const QList<QTabWidget*> tabs = page->findChildren<QTabWidget*>();
        if (tabs.isEmpty()) {
            note(name, Faults(outer));
            return;
        }
        for (int i = 0; i < tabs.first()->count(); ++i) {
            tabs.first()->setCurrentIndex(i);
            note(name + QStringLiteral(" / ") + tabs.first()->tabText(i), Faults(outer));
        }
    }

    QFont savedFont;
    QPointer<frmMultiDevice> chooser;
    QPointer<frmMain> main;
    QStringList faults;
};

TEST_P(WholeWindows, EveryWindowAndTab) {
    {
        frmSplash splash;
        splash.show();
        splash.ShowProgress();
        splash.SetProgressWidth(54 * 76);
        splash.SetStatus(QStringLiteral("Searching for ZVC7140 on USB..."));
        for (const QString& f : Faults(&splash)) faults << QStringLiteral("splash: ") + f;
    }
    {
        std::unique_ptr<QMessageBox> box =
            MakeMessageBox(QStringLiteral("The ZVC7140 evaluation board has not been found.\r\nContinue in simulation mode?"),
                           MsgButtons::YesNo, MsgIcon::None, kAppTitle, nullptr);
        box->show();
        for (const QString& f : Faults(box.get())) faults << QStringLiteral("message box: ") + f;
    }
    OpenMain();
    faults += Faults(main).replaceInStrings(QRegularExpression(QStringLiteral("^")), QStringLiteral("main window: "));
    const struct {
        PageKind kind;
        const char* name;
    } pages[] = {{PageKind::Device, "block diagram"}, {PageKind::PWM, "PWM"},
                 {PageKind::Limits, "readings"},      {PageKind::Share, "share bus"},
                 {PageKind::CurrentSense, "current sense"}, {PageKind::VoltageSense, "voltage sense"},
                 {PageKind::General, "general"},      {PageKind::OrFET, "OrFET"},
                 {PageKind::DigFilter, "filter"}};
    for (int device = 0; device < 2; ++device)
        for (const auto& pg : pages) {
            QPointer<PageWindow> page = main->OpenDevicePage(pg.kind, device);
            const QString name = QStringLiteral("%1 of chip %2").arg(QString::fromLatin1(pg.name)).arg(device + 1);
            Check(page, name);
            if (page && pg.kind != PageKind::Device) page->Unload();
            QApplication::processEvents();
        }
    for (const auto& [kind, name] : {std::pair{ToolKind::RegMap, "register map"}, std::pair{ToolKind::Save, "save and recall"},
                                     std::pair{ToolKind::Spy, "monitor"}}) {
        QPointer<PageWindow> w = main->OpenTool(kind, true);
        Check(w, QString::fromLatin1(name));
        if (w) w->Unload();
        QApplication::processEvents();
    }
    // A display scale enlarges the whole picture: the layout itself stays as drawn.
    if (GetParam() == 9) EXPECT_EQ(LayoutScale(), 1.0);
    EXPECT_EQ(faults, QStringList()) << "at " << GetParam() << " pt, layout scale " << LayoutScale()
                                     << ", pixel ratio " << qApp->devicePixelRatio();
}

INSTANTIATE_TEST_SUITE_P(Fonts, WholeWindows, ::testing::Values(9, 10, 11, 12, 14),
                         [](const ::testing::TestParamInfo<int>& i) { return std::to_string(i.param) + "pt"; });

}  // namespace
