#include "pages/frmVoltageSense.h"

#include "core/twips.h"
#include "pages/widgets/sense_picture.h"
#include "shell/live_text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmVoltageSense::frmVoltageSense() {
    setObjectName(QStringLiteral("frmVoltageSense"));
    setWindowTitle(QStringLiteral("Voltage Sense"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };

    auto row = [this](QGridLayout* grid, int r, const char* caption, const char* name, ListControl& list) {
        grid->addWidget(NewLabel(QString::fromLatin1(caption)), r, 0);
        grid->addWidget(views.Add(NewList(name), list), r, 1);
    };
    auto* frame1 = new QGroupBox(QStringLiteral("VS1 Settings"));
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* g1 = new QGridLayout(frame1);
    row(g1, 0, "VS1 OVP", "cmbOVP0", logic.cmbOVP[0]);
    row(g1, 1, "VS1 OV Debounce", "cmbVS1Debounce", logic.cmbVS1Debounce);
    row(g1, 2, "VS1 UVP", "cmbUVP", logic.cmbUVP);
    auto* frame2 = new QGroupBox(QStringLiteral("VS3 Settings"));
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* g2 = new QGridLayout(frame2);
    row(g2, 0, "VS3 OVP", "cmbOVP1", logic.cmbOVP[1]);
    row(g2, 1, "VS3 OV Debounce", "cmbVS3Debounce", logic.cmbVS3Debounce);

    // The trims and the live values sit on the drawing of the voltage-sense path.
    auto* picture = new SensePicture(VoltageSenseScene());
    for (int k = 0; k < 3; ++k) {
        const QByteArray name = "cmbTrim" + QByteArray::number(k);
        picture->Place(views.Add(NewList(name.constData()), logic.cmbTrim[static_cast<size_t>(k)]));
    }
    picture->Place(views.Add(NewList("cmbVS3Trim"), logic.cmbVS3Trim));
    auto value = [picture](const char* name) {
        LiveText* l = NewLiveLabel(name);
        picture->PlaceValue(l);
        return l;
    };
    lblVS1Val = value("lblVS1Val");
    lblVS2Val = value("lblVS2Val");
    lblVS3Val = value("lblVS3Val");
    lblOutputVal = value("lblOutputVal");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = NewButton("cmdOK", QStringLiteral("OK"));
    QPushButton* apply = NewButton("cmdApply", QStringLiteral("Apply"));
    QPushButton* close = NewButton("cmdClose", QStringLiteral("Close"));
    for (QPushButton* b : {ok, apply, close}) buttons->addWidget(b);
    connect(ok, &QPushButton::clicked, this, &frmVoltageSense::cmdOK_Click);
    connect(apply, &QPushButton::clicked, this, &frmVoltageSense::cmdApply_Click);
    connect(close, &QPushButton::clicked, this, &frmVoltageSense::cmdClose_Click);

    auto* limits = new QHBoxLayout;
    limits->addWidget(frame1, 1, Qt::AlignTop);
    limits->addWidget(frame2, 1, Qt::AlignTop);
    auto* page = new QVBoxLayout(this);
    const int margin = ScaledPixels(6);
    page->setContentsMargins(margin, margin, margin, margin);
    page->addWidget(picture, 0, Qt::AlignHCenter);
    page->addLayout(limits);
    page->addStretch();
    page->addLayout(buttons);
}

void frmVoltageSense::Form_Load() {
    SetFormSize(8115, 6780);
    CenterForm();
    views.FillAll();
}

void frmVoltageSense::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    views.ShowAll();
}

void frmVoltageSense::DisplayValues() {
    logic.DisplayValues(PageAddress());
    lblVS1Val->setText(logic.lblVS1Val);
    lblVS2Val->setText(logic.lblVS2Val);
    lblVS3Val->setText(logic.lblVS3Val);
    lblOutputVal->setText(logic.lblOutputVal);
}

void frmVoltageSense::Form_Unload() { logic.Form_Unload(PageAddress()); }

void frmVoltageSense::cmdApply_Click() { logic.cmdApply_Click(PageAddress()); }

void frmVoltageSense::cmdOK_Click() {
    cmdApply_Click();
    Unload();
}

void frmVoltageSense::cmdClose_Click() { Unload(); }
