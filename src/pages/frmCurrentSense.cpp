#include "pages/frmCurrentSense.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

frmCurrentSense::frmCurrentSense() {
    setObjectName(QStringLiteral("frmCurrentSense"));
    setWindowTitle(QStringLiteral("Current Sense"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };
    views.onTick = [this](CheckControl& c, int v) { logic.Choose(PageAddress(), c, v); };

    auto* picture = new QFrame;
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(picture);
    auto add = [&](int row, int col, const char* caption, const char* name, ListControl& list) {
        grid->addWidget(NewLabel(QString::fromLatin1(caption)), row, col);
        grid->addWidget(views.Add(NewList(name), list), row + 1, col);
    };
    auto* chip = NewLabel(QStringLiteral("ZVC7140"), "Label1");
    chip->setAlignment(Qt::AlignCenter);
    grid->addWidget(chip, 0, 0, 1, 4);

    // The CS1 path, then the CS2 path, each from its input to its value.
    grid->addWidget(NewLabel(QStringLiteral("CS1")), 1, 0);
    add(2, 0, "CS1 Gain Trim", "cmbCS1GainTrim", logic.cmbCS1GainTrim);
    add(2, 1, "CS1 Gain Polarity", "cmbCS1GainPol", logic.cmbCS1GainPol);
    grid->addWidget(NewLabel(QStringLiteral("ADC")), 3, 2);
    grid->addWidget(NewLabel(QStringLiteral("CS1 Value")), 2, 3);
    lblCS1Val = NewLabel(QString(), "lblCS1Val");
    grid->addWidget(lblCS1Val, 3, 3);

    grid->addWidget(NewLabel(QStringLiteral("CS2-")), 4, 0);
    grid->addWidget(NewLabel(QStringLiteral("CS2+")), 4, 1);
    add(5, 0, "CS2 Gain Trim", "cmbCS2GainTrim", logic.cmbCS2GainTrim);
    add(5, 1, "CS2 Gain Polarity", "cmbCS2GainPol", logic.cmbCS2GainPol);
    add(5, 2, "Nominal Full Load Voltage", "cmbFullVoltage", logic.cmbFullVoltage);
    add(7, 0, "CS2 Offset Trim", "cmbCS2OffsetTrim", logic.cmbCS2OffsetTrim);
    add(7, 1, "CS2 Offset Polarity", "cmbCS2OffsetPol", logic.cmbCS2OffsetPol);
    add(7, 2, "Digital Offset Trim", "cmbDigitalTrim", logic.cmbDigitalTrim);
    grid->addWidget(NewLabel(QStringLiteral("ADC")), 6, 3);
    grid->addWidget(NewLabel(QStringLiteral("CS2 Value")), 7, 3);
    lblCS2Val = NewLabel(QString(), "lblCS2Val");
    grid->addWidget(lblCS2Val, 8, 3);
    grid->addWidget(views.Add(NewCheck("chkHighSideSense", QStringLiteral("High Side Current Sense")),
                              logic.chkHighSideSense),
                    9, 0, 1, 2);

    auto* page = new QVBoxLayout(this);
    page->addWidget(picture);
    page->addStretch();
}

void frmCurrentSense::Form_Load() {
    SetFormSize(10575, 7845);
    CenterForm();
    views.FillAll();
}

void frmCurrentSense::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    views.ShowAll();
}

void frmCurrentSense::DisplayValues() {
    logic.DisplayValues(PageAddress());
    lblCS1Val->setText(logic.lblCS1Val);
    lblCS2Val->setText(logic.lblCS2Val);
}

void frmCurrentSense::Form_Unload() { logic.Form_Unload(PageAddress()); }
