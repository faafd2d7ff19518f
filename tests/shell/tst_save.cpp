#include "shell/frmSave.h"

#include "core/twips.h"
#include "fixture.h"
#include "registers/register_table.h"
#include "registers/session.h"
#include "shell/file_dialogs.h"
#include "shell/frmMain.h"
#include "shell/shell_windows.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class SaveWindow : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        UseBoardWithChips({0x48, 0x4A});
        BuildRegisterTable();
        SetLoopModelDefaults();
        RegisterShellWindows();
        main = std::make_unique<frmMain>();
        main->resize(1400, 900);
        main->show();
        main->StartMasterTimer();
        SetFileDialogHook([this](FileDialogKind kind, const QString& folder, const QString& filter) {
            dialogs.push_back({kind, folder, filter, main->MasterTimerRunning()});
            return chosen;
        });
    }
    void TearDown() override {
        SetFileDialogHook({});
        main.reset();
        RunFixture::TearDown();
    }
    frmSave* OpenFromMenu() {
        main->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        return qobject_cast<frmSave*>(main->Tool(ToolKind::Save));
    }

    struct Dialog {
        FileDialogKind kind;
        QString folder, filter;
        bool timerRunning;
    };
    QTemporaryDir dir;
    QString chosen;
    std::vector<Dialog> dialogs;
    std::unique_ptr<frmMain> main;
};

TEST_F(SaveWindow, OpensFromTheFileMenuAndTheToolbarAsOneWindow) {
    frmSave* w = OpenFromMenu();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Save/Recall Settings");
    const QSize frame = w->parentWidget()->frameGeometry().size();
    EXPECT_EQ(frame, QSize(TwipsToPixels(4290), TwipsToPixels(5205)));
    EXPECT_EQ(w->Frame2->title(), "File I/O");
    EXPECT_EQ(w->Label1->text(), "Select Device Address");
    EXPECT_EQ(w->Label2->text(), "Comment");
    EXPECT_EQ(w->cmdsave->text(), "Save  Current Configuration");
    EXPECT_EQ(w->cmdRecall->text(), "Recall Previous Configuration");
    EXPECT_EQ(w->cmdClose->text(), "Close");
    ASSERT_EQ(w->cmbDevAddr->count(), 2);
    EXPECT_EQ(w->cmbDevAddr->itemText(0), "48h");
    EXPECT_EQ(w->cmbDevAddr->itemText(1), "4Ah");
    EXPECT_EQ(w->cmbDevAddr->currentIndex(), 0);
    EXPECT_TRUE(w->txtComment->text().isEmpty());

    main->findChild<QAction*>(QStringLiteral("tbFile"))->trigger();
    EXPECT_EQ(main->Tool(ToolKind::Save), w);
    EXPECT_TRUE(board.AccessTrace().empty());  // opening reads nothing

    w->cmdClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->Tool(ToolKind::Save), nullptr);
}

TEST_F(SaveWindow, SaveAndRecallUseTheChosenDeviceAndRestartTheTimer) {
    frmSave* w = OpenFromMenu();
    ASSERT_TRUE(w);
    board.Regs(0x4A)[0x20] = 0x5C;
    w->cmbDevAddr->setCurrentIndex(1);
    w->txtComment->setText(QStringLiteral("  second chip "));
    chosen = dir.filePath(QStringLiteral("second.sav"));
    w->cmdsave->click();

    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].kind, FileDialogKind::Save);
    EXPECT_EQ(dialogs[0].folder, Plat().ProgramFolder);
    EXPECT_EQ(dialogs[0].filter, "Text Files (*.sav)");
    EXPECT_FALSE(dialogs[0].timerRunning);
    EXPECT_TRUE(main->MasterTimerRunning());
    const std::vector<QString> trace = board.AccessTrace();
    ASSERT_EQ(trace.size(), 110u);
    for (const QString& line : trace) EXPECT_TRUE(line.startsWith(QStringLiteral("R 4A "))) << line.toStdString();
    QFile f(chosen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    EXPECT_TRUE(file.contains("\r\nComment : second chip\r\n"));
    EXPECT_TRUE(file.contains("\r\n0x20\t0x5C\t // 20h - "));

    board.ClearLog();
    w->cmbDevAddr->setCurrentIndex(0);
    w->cmdRecall->click();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[1].kind, FileDialogKind::Open);
    EXPECT_EQ(dialogs[1].filter, "Text Files (*.sav)");
    EXPECT_TRUE(main->MasterTimerRunning());
    EXPECT_EQ(board.AccessTrace().size(), 110u);
    EXPECT_EQ(board.AccessTrace()[0], "W 48 00 00");
    EXPECT_EQ(board.Regs(0x48)[0x20], 0x5C);
    EXPECT_TRUE(prompts.Shown.empty());
}

TEST_F(SaveWindow, CancelsAndFailuresLeaveTheTimerRunning) {
    frmSave* w = OpenFromMenu();
    ASSERT_TRUE(w);
    chosen.clear();
    w->cmdRecall->click();
    EXPECT_TRUE(board.AccessTrace().empty());
    w->cmdsave->click();
    EXPECT_TRUE(main->MasterTimerRunning());

    chosen = dir.filePath(QStringLiteral("no/such/folder.sav"));
    w->cmdsave->click();
    EXPECT_TRUE(main->MasterTimerRunning());
    w->cmdRecall->click();
    EXPECT_TRUE(main->MasterTimerRunning());
    ASSERT_EQ(prompts.Shown.size(), 2u);
    EXPECT_EQ(prompts.Shown[0].title, kAppTitle);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    for (const QString& line : board.AccessTrace()) EXPECT_TRUE(line.startsWith(u'R'));
}

}  // namespace
