#include "pages/frmShare.h"

#include "pages/widgets/page_controls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmShare::frmShare() {
    setObjectName(QStringLiteral("frmShare"));
    setWindowTitle(QStringLiteral("Analog Share Bus"));
    auto* frame = new QGroupBox(QStringLiteral("Analog Share Bus Settings"));
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    auto addList = [&](const char* name, const char* caption, int row) {
        auto* box = new NoWheelComboBox;
        box->setObjectName(QString::fromLatin1(name));
        grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    cmbOffset = addList("cmbOffset", "Share Bus Offset Trim", 0);
    cmbSlope = addList("cmbSlope", "Share Slope Trim", 1);
    cmbBandwidth = addList("cmbBandwidth", "Share Bus Bandwidth", 2);
    cmbCapture = addList("cmbCapture", "Share Bus Voltage Capture", 3);
    chkEnableShare = new QCheckBox(QStringLiteral("Enable Analog Share Bus"));
    chkEnableShare->setObjectName(QStringLiteral("chkEnableShare"));
    grid->addWidget(chkEnableShare, 4, 0, 1, 2);

    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdApply = new QPushButton(QStringLiteral("Apply"));
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdCancel);
    auto* page = new QVBoxLayout(this);
    page->addWidget(frame);
    page->addStretch();
    page->addLayout(buttons);

    const std::pair<QComboBox*, ListControl*> lists[] = {{cmbOffset, &logic.cmbOffset},
                                                         {cmbSlope, &logic.cmbSlope},
                                                         {cmbBandwidth, &logic.cmbBandwidth},
                                                         {cmbCapture, &logic.cmbCapture}};
    for (auto [box, list] : lists)
        connect(box, &QComboBox::activated, this, [this, list](int i) {
            logic.Choose(PageAddress(), *list, i);
            ShowState();
        });
    connect(chkEnableShare, &QCheckBox::clicked, this, [this](bool on) {
        logic.Choose(PageAddress(), logic.chkEnableShare, on ? 1 : 0);
        ShowState();
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmShare::cmdOK_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmShare::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmShare::cmdCancel_Click);
}

void frmShare::Form_Load() {
    SetFormSize(6720, 5205);
    CenterForm();
    FillList(cmbOffset, logic.cmbOffset);
    FillList(cmbSlope, logic.cmbSlope);
    FillList(cmbBandwidth, logic.cmbBandwidth);
    FillList(cmbCapture, logic.cmbCapture);
}

void frmShare::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    ShowState();
}

void frmShare::ShowState() {
    ShowList(cmbOffset, logic.cmbOffset);
    ShowList(cmbSlope, logic.cmbSlope);
    ShowList(cmbBandwidth, logic.cmbBandwidth);
    ShowList(cmbCapture, logic.cmbCapture);
    ShowCheck(chkEnableShare, logic.chkEnableShare);
}

void frmShare::cmdApply_Click() { logic.cmdApply_Click(PageAddress()); }

void frmShare::cmdOK_Click() {
    cmdApply_Click();
    Unload();
}

void frmShare::cmdCancel_Click() { Unload(); }
