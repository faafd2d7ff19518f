#include "shell/frmSave.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "link/platform.h"
#include "registers/settings_file.h"
#include "shell/file_dialogs.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kSettingsFilter = QStringLiteral("Text Files (*.sav)");

SettingsFileIO WindowIO(QWidget* parent) {
    SettingsFileIO io;
    io.StopMasterTimer = [] {
        if (frmMain* m = MainForm()) m->StopMasterTimer();
    };
    io.StartMasterTimer = [] {
        if (frmMain* m = MainForm()) m->StartMasterTimer();
    };
    io.ChooseSaveFile = [parent] {
        return AskFileName(parent, FileDialogKind::Save, Plat().ProgramFolder, kSettingsFilter);
    };
    io.ChooseOpenFile = [parent] {
        return AskFileName(parent, FileDialogKind::Open, Plat().ProgramFolder, kSettingsFilter);
    };
    return io;
}

}  // namespace

frmSave::frmSave() {
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("Save/Recall Settings"));

    Frame2 = new QGroupBox(QStringLiteral("File I/O"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Label1 = new QLabel(QStringLiteral("Select Device Address"), Frame2);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbDevAddr = new QComboBox(Frame2);
    cmbDevAddr->setObjectName(QStringLiteral("cmbDevAddr"));
    Label2 = new QLabel(QStringLiteral("Comment"), Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtComment = new QLineEdit(Frame2);
    txtComment->setObjectName(QStringLiteral("txtComment"));
    cmdsave = new QPushButton(QStringLiteral("Save  Current Configuration"), Frame2);
    cmdsave->setObjectName(QStringLiteral("cmdsave"));
    cmdRecall = new QPushButton(QStringLiteral("Recall Previous Configuration"), Frame2);
    cmdRecall->setObjectName(QStringLiteral("cmdRecall"));
    cmdClose = new QPushButton(QStringLiteral("Close"), Frame2);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* inner = new QVBoxLayout(Frame2);
    inner->addWidget(Label1);
    inner->addWidget(cmbDevAddr);
    inner->addSpacing(8);
    inner->addWidget(Label2);
    inner->addWidget(txtComment);
    inner->addStretch(1);
    inner->addWidget(cmdsave);
    inner->addWidget(cmdRecall);
    inner->addSpacing(8);
    inner->addWidget(cmdClose);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Frame2);

    connect(cmdsave, &QPushButton::clicked, this, &frmSave::cmdsave_Click);
    connect(cmdRecall, &QPushButton::clicked, this, &frmSave::cmdRecall_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSave::cmdClose_Click);
}

void frmSave::Form_Load() {
    SetFormSize(4290, 5205);
    CenterForm();
    cmbDevAddr->clear();
    const int count = std::min(Shared().DeviceCount, 2);
    for (int i = 0; i < count; ++i)
        cmbDevAddr->addItem(HexText(Shared().DeviceAddress[static_cast<size_t>(i)]) + QStringLiteral("h"));
    if (cmbDevAddr->count() > 0) cmbDevAddr->setCurrentIndex(0);
}

int frmSave::ChosenDevice() const { return DeviceAddressFromItem(cmbDevAddr->currentText()); }

void frmSave::cmdsave_Click() { SaveSettings(ChosenDevice(), txtComment->text(), WindowIO(this)); }

void frmSave::cmdRecall_Click() { RecallSettings(ChosenDevice(), WindowIO(this)); }

void frmSave::cmdClose_Click() { Unload(); }
