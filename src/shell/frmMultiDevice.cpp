#include "shell/frmMultiDevice.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "core/twips.h"
#include "link/platform.h"
#include "registers/session.h"
#include "shell/frmMain.h"
#include "shell/toolbar_icons.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

void StartMainSession(frmMain& main) {
    BuildRunTables();
    main.StartMasterTimer();
    SetLoopModelDefaults();
}

frmMultiDevice::frmMultiDevice()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmMultiDevice"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ZVC7140 Devices Found"));

    Label1 = new QLabel(QStringLiteral("The following devices have  been detected:"));
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* image1 = new QLabel;
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setPixmap(ToolbarIcon(QStringLiteral("Config")).pixmap(ScaledPixels(32), ScaledPixels(32)));
    lstDevices = new QListWidget;
    lstDevices->setObjectName(QStringLiteral("lstDevices"));
    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* top = new QHBoxLayout;
    top->addWidget(image1);
    top->addWidget(Label1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstDevices);
    layout->addLayout(buttons);

    const RunState& s = Shared();
    lstDevices->addItem(QStringLiteral("ZVC7140 at address 0x") + HexText(s.DeviceAddress[0]));
    if (s.DeviceCount == 2) lstDevices->addItem(QStringLiteral("ZVC7140 at address 0x") + HexText(s.DeviceAddress[1]));

    connect(cmdOK, &QPushButton::clicked, this, &frmMultiDevice::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMultiDevice::cmdCancel_Click);

    resize(ScaledPixels(360), ScaledPixels(220));
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
}

// Enter presses OK, the default button, as in a dialog; on a focused button it presses that one.
void frmMultiDevice::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        (focused ? focused : cmdOK)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMultiDevice::cmdOK_Click() {
    auto* main = new frmMain;
    SetMainForm(main);
    main->MDIForm_Load();
    main->SetChooser(this);
    StartMainSession(*main);
    main->DisableSecondDeviceUI();
    main->show();
    main->CentreOnFinalSize(main->OpenDevicePage(PageKind::Device, 0));
    close();
}

void frmMultiDevice::cmdCancel_Click() {
    close();
    EndProgram(0);
}
