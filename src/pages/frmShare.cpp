#include "pages/frmShare.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

frmShare::frmShare() {
    setObjectName(QStringLiteral("frmShare"));
    setWindowTitle(QStringLiteral("Analog Share Bus"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };
    views.onTick = [this](CheckControl& c, int v) { logic.Choose(PageAddress(), c, v); };

    auto* frame = new QGroupBox(QStringLiteral("Analog Share Bus Settings"));
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    const std::tuple<const char*, const char*, ListControl*> lists[] = {
        {"cmbOffset", "Share Bus Offset Trim", &logic.cmbOffset},
        {"cmbSlope", "Share Slope Trim", &logic.cmbSlope},
        {"cmbBandwidth", "Share Bus Bandwidth", &logic.cmbBandwidth},
        {"cmbCapture", "Share Bus Voltage Capture", &logic.cmbCapture}};
    int row = 0;
    for (auto [name, caption, list] : lists) {
        grid->addWidget(NewLabel(QString::fromLatin1(caption)), row, 0);
        grid->addWidget(views.Add(NewList(name), *list), row++, 1);
    }
    grid->addWidget(views.Add(NewCheck("chkEnableShare", QStringLiteral("Enable Analog Share Bus")),
                              logic.chkEnableShare),
                    row, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = NewButton("cmdOK", QStringLiteral("OK"));
    QPushButton* apply = NewButton("cmdApply", QStringLiteral("Apply"));
    QPushButton* cancel = NewButton("cmdCancel", QStringLiteral("Cancel"));
    for (QPushButton* b : {ok, apply, cancel}) buttons->addWidget(b);
    connect(ok, &QPushButton::clicked, this, &frmShare::cmdOK_Click);
    connect(apply, &QPushButton::clicked, this, &frmShare::cmdApply_Click);
    connect(cancel, &QPushButton::clicked, this, &frmShare::cmdCancel_Click);

    auto* page = new QVBoxLayout(this);
    page->addWidget(frame);
    page->addStretch();
    page->addLayout(buttons);
}

void frmShare::Form_Load() {
    SetFormSize(6720, 5205);
    CenterForm();
    views.FillAll();
}

void frmShare::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    views.ShowAll();
}

void frmShare::cmdApply_Click() { logic.cmdApply_Click(PageAddress()); }

void frmShare::cmdOK_Click() {
    cmdApply_Click();
    Unload();
}

void frmShare::cmdCancel_Click() { Unload(); }
