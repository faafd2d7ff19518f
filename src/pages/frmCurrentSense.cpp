#include "pages/frmCurrentSense.h"

#include "core/twips.h"
#include "pages/widgets/sense_picture.h"
#include "shell/live_text.h"

#include <QCheckBox>
#include <QLabel>
#include <utility>

frmCurrentSense::frmCurrentSense() {
    setObjectName(QStringLiteral("frmCurrentSense"));
    setWindowTitle(QStringLiteral("Current Sense"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };
    views.onTick = [this](CheckControl& c, int v) { logic.Choose(PageAddress(), c, v); };

    // The controls sit on the drawing of the current-sense path, each beside what it sets.
    auto* picture = new SensePicture(CurrentSenseScene(), this);
    picture->move(TwipsToPixels(90), TwipsToPixels(90));
    auto* chip = NewLabel(QStringLiteral("ZVC7140"), "Label1");
    QFont bold = chip->font();
    bold.setBold(true);
    chip->setFont(bold);
    chip->setStyleSheet(QStringLiteral("color: rgb(0, 0, 192);"));
    picture->Place(chip);
    const std::pair<const char*, ListControl*> lists[] = {
        {"cmbCS1GainTrim", &logic.cmbCS1GainTrim},     {"cmbCS1GainPol", &logic.cmbCS1GainPol},
        {"cmbCS2GainTrim", &logic.cmbCS2GainTrim},     {"cmbCS2GainPol", &logic.cmbCS2GainPol},
        {"cmbFullVoltage", &logic.cmbFullVoltage},     {"cmbCS2OffsetTrim", &logic.cmbCS2OffsetTrim},
        {"cmbCS2OffsetPol", &logic.cmbCS2OffsetPol},   {"cmbDigitalTrim", &logic.cmbDigitalTrim}};
    for (auto [name, list] : lists) picture->Place(views.Add(NewList(name), *list));
    picture->Place(views.Add(NewCheck("chkHighSideSense", QStringLiteral("High Side Current Sense")),
                             logic.chkHighSideSense));
    for (auto [slot, name] : {std::pair{&lblCS1Val, "lblCS1Val"}, std::pair{&lblCS2Val, "lblCS2Val"}}) {
        LiveText* v = NewLiveLabel(name);
        picture->PlaceValue(v);
        *slot = v;
    }
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
