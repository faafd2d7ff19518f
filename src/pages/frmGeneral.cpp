#include "pages/frmGeneral.h"

#include "core/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
QRect Twips(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
}  // namespace

frmGeneral::frmGeneral() {
    setObjectName(QStringLiteral("frmGeneral"));
    setWindowTitle(QStringLiteral("General Settings"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };

    auto frame = [this](const char* caption, int left, int top, int width, int height) {
        auto* f = new QGroupBox(QString::fromLatin1(caption), this);
        f->setGeometry(Twips(left, top, width, height));
        return f;
    };
    auto list = [this](QGroupBox* f, const char* caption, const char* name, int top, ListControl& l) {
        if (caption) {
            QLabel* label = NewLabel(QString::fromLatin1(caption));
            label->setParent(f);
            label->setGeometry(Twips(240, top - 255, 2280, 240));
        }
        QComboBox* box = views.Add(NewList(name), l);
        box->setParent(f);
        box->setGeometry(Twips(360, top, 1935, 315));
    };
    QGroupBox* temperature = frame("Temperature", 240, 240, 2535, 3135);
    list(temperature, "Linearization", "cmbLinearize", 720, logic.cmbLinearize);
    list(temperature, "Nominal Thermistor Value", "cmbThermistorVal", 1560, logic.cmbThermistorVal);
    list(temperature, "OTP Threshold", "cmbOTPThreshold", 2400, logic.cmbOTPThreshold);
    QGroupBox* polarity = frame("Pin Polarity", 3000, 240, 2535, 3135);
    list(polarity, "PGOOD Polarity", "cmbPGOOD", 720, logic.cmbPGOOD);
    list(polarity, "Gate Polarity", "cmbGate", 1560, logic.cmbGate);
    list(polarity, "PSON Polarity", "cmbPSONPol", 2400, logic.cmbPSONPol);
    QGroupBox* pson = frame("PSOn/Soft Start", 5760, 240, 2535, 2055);
    list(pson, "PS ON", "cmbPSON", 720, logic.cmbPSON);
    list(pson, "Soft Start", "cmbSoftStart", 1560, logic.cmbSoftStart);
    QGroupBox* sync = frame("Sync Rect Off", 5760, 2520, 2535, 855);
    list(sync, nullptr, "cmbSyncRectOff", 360, logic.cmbSyncRectOff);

    auto button = [this](const char* name, const char* caption, int left) {
        QPushButton* b = NewButton(name, QString::fromLatin1(caption));
        b->setParent(this);
        b->setGeometry(Twips(left, 3600, 1455, 375));
        return b;
    };
    connect(button("cmdOK", "OK", 3480), &QPushButton::clicked, this, &frmGeneral::cmdOK_Click);
    connect(button("cmdApply", "Apply", 5160), &QPushButton::clicked, this, &frmGeneral::cmdApply_Click);
    connect(button("cmdCancel", "Cancel", 6840), &QPushButton::clicked, this, &frmGeneral::cmdCancel_Click);
}

void frmGeneral::Form_Load() {
    SetFormSize(8640, 4725);
    CenterForm();
    views.FillAll();
}

void frmGeneral::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    views.ShowAll();
}

void frmGeneral::cmdApply_Click() { logic.cmdApply_Click(PageAddress()); }

void frmGeneral::cmdOK_Click() {
    cmdApply_Click();
    Unload();
}

void frmGeneral::cmdCancel_Click() { Unload(); }
