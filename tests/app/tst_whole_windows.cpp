// Every window and tab of the program, opened as a user opens it with two chips on the board,
// shows each text whole and keeps its painted captions readable, at the font sizes desktops
// commonly give (and, run again under a display scale, at the default font).
#include "fixture.h"
#include "../pages/painted_fit.h"
#include "font_size.h"

#include "app/wiring.h"
#include "core/twips.h"
#include "registers/readings.h"
#include "shell/frmMain.h"
#include "shell/frmMultiDevice.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <memory>

namespace {

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
    return CutTexts(window) + CutTabs(window) + PaintedFaults(window);
}

QWidget* Outer(QWidget* page) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(page->parentWidget())) return sub;
    return page;
}

class WholeWindows : public RunFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        font = std::make_unique<FontSize>(GetParam());
        RegisterAllWindows();
    }
    void TearDown() override {
        delete main.data();
        delete chooser.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetMainForm(nullptr);
        font.reset();
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

    std::unique_ptr<FontSize> font;
    QPointer<frmMultiDevice> chooser;
    QPointer<frmMain> main;
    QStringList faults;
};

TEST_P(WholeWindows, EveryWindowAndTab) {
    // The splash and the start-up question come before the main window: the shell's own window
    // test checks them, with each block of the diagram.
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
    // The runs under a display scale really see it.
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        EXPECT_DOUBLE_EQ(qApp->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    EXPECT_EQ(faults, QStringList()) << "at " << GetParam() << " pt, layout scale " << LayoutScale()
                                     << ", pixel ratio " << qApp->devicePixelRatio();
}

INSTANTIATE_TEST_SUITE_P(Fonts, WholeWindows, ::testing::Values(9, 10, 11, 12, 14),
                         [](const ::testing::TestParamInfo<int>& i) { return std::to_string(i.param) + "pt"; });

}  // namespace
