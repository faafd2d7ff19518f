// Every window of the shell and of the simpler pages shows its texts whole at the common desktop
// fonts: nothing cut or covered, and painted captions clear of each other and of the drawing.
#include "fixture.h"
#include "font_size.h"
#include "../pages/painted_fit.h"

#include "core/twips.h"
#include "pages/page_registry.h"
#include "shell/block_diagram_layout.h"
#include "shell/block_diagram_picture.h"
#include "shell/frmDevice.h"
#include "shell/frmMain.h"
#include "shell/frmMultiDevice.h"
#include "shell/frmSplash.h"
#include "shell/qt_prompts.h"
#include "shell/shell_windows.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {

class WindowFonts : public RunFixture, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        font = std::make_unique<FontSize>(GetParam());
        RegisterShellWindows();
        RegisterConfigurationPages();
        EnterSimulation();
    }
    void TearDown() override {
        if (frmMain* m = MainForm()) {
            m->close();
            QApplication::processEvents();
        }
        SetMainForm(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        font.reset();
        RunFixture::TearDown();
    }
    // The main window as the chooser's OK opens it, with the first block diagram.
    frmMain* OpenMainWindow() {
        auto* chooser = new frmMultiDevice;
        chooser->show();
        QApplication::processEvents();
        EXPECT_EQ(CutTexts(chooser), QStringList()) << "chooser";
        chooser->cmdOK->click();
        frmMain* main = MainForm();
        if (!main) return nullptr;
        // Still readings, as wide as the pages show them.
        main->StopMasterTimer();
        DeviceRecord& d = Shared().Devices[0];
        d.OutputVoltage = d.ShareBusVoltage = d.OutputCurrent = d.InputCurrent = -123.456f;
        d.VS1Voltage = d.VS2Voltage = -123.456f;
        QApplication::processEvents();
        return main;
    }
    static QStringList Faults(const QWidget* w) {
        QApplication::processEvents();
        return CutTexts(w) + PaintedFaults(w);
    }
    std::unique_ptr<FontSize> font;
};

TEST_P(WindowFonts, SplashAndStartQuestion) {
    frmSplash splash;
    splash.show();
    splash.ShowProgress();
    splash.SetProgressWidth(54 * 76);
    splash.SetStatus(QStringLiteral("Searching for ZVC7140 on USB..."));
    EXPECT_EQ(Faults(&splash), QStringList());

    const std::unique_ptr<QMessageBox> box =
        MakeMessageBox(QStringLiteral("The ZVC7140 evaluation board has not been found.\r\nContinue in simulation mode?"),
                       MsgButtons::YesNo, MsgIcon::None, kAppTitle, nullptr);
    box->show();
    EXPECT_EQ(Faults(box.get()), QStringList());
}

TEST_P(WindowFonts, MainWindowAndBlockDiagram) {
    frmMain* main = OpenMainWindow();
    ASSERT_TRUE(main);
    auto* diagram = dynamic_cast<frmDevice*>(main->Form(PageKind::Device, 0));
    ASSERT_TRUE(diagram);
    diagram->DisplayValues();
    EXPECT_EQ(Faults(main), QStringList());
    // The red frame of each block keeps clear of the captions too.
    for (int block = 0; block < kBlockCount; ++block) {
        diagram->pctDevice->SetHighlight(block);
        EXPECT_EQ(PaintedFaults(diagram), QStringList()) << "block " << block;
    }
}

TEST_P(WindowFonts, Pages) {
    frmMain* main = OpenMainWindow();
    ASSERT_TRUE(main);
    for (PageKind kind : {PageKind::Share, PageKind::CurrentSense, PageKind::VoltageSense, PageKind::General, PageKind::OrFET}) {
        QPointer<PageWindow> page = main->OpenDevicePage(kind, 0);
        ASSERT_TRUE(page) << static_cast<int>(kind);
        page->DisplayValues();
        EXPECT_EQ(Faults(page), QStringList()) << page->windowTitle().toStdString();
        page->Unload();
    }
}

TEST_P(WindowFonts, Tools) {
    frmMain* main = OpenMainWindow();
    ASSERT_TRUE(main);
    for (ToolKind kind : {ToolKind::RegMap, ToolKind::Save, ToolKind::Spy}) {
        QPointer<PageWindow> tool = main->OpenTool(kind, true);
        ASSERT_TRUE(tool) << static_cast<int>(kind);
        EXPECT_EQ(Faults(tool), QStringList()) << tool->windowTitle().toStdString();
        // Each register's details, the longest names among them, show whole as well.
        if (auto* tree = tool->findChild<QTreeWidget*>(QStringLiteral("TreeView1"))) {
            QStringList cut;
            QTreeWidgetItem* root = tree->topLevelItem(0);
            for (int i = 0; root && i < root->childCount(); ++i) {
                emit tree->itemClicked(root->child(i), 0);
                cut << CutTexts(tool);
            }
            EXPECT_EQ(cut, QStringList());
        }
    }
}

std::string PointsName(const ::testing::TestParamInfo<double>& info) {
    return std::to_string(static_cast<int>(info.param)) + "pt";
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, WindowFonts, ::testing::Values(9.0, 10.0, 11.0, 12.0, 14.0), PointsName);

}  // namespace
