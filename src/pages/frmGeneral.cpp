#include "pages/frmGeneral.h"

#include "core/twips.h"

#include <cmath>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {
QRect Twips(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
constexpr int kFrameWidth = 2535, kListLeft = 360, kListWidth = 1935, kLabelLeft = 240, kFormWidth = 8640;
// Room kept right of a list (as laid out) and right of a caption, inside the frame.
constexpr int kListRightMargin = kFrameWidth - kListLeft - kListWidth, kLabelRightMargin = 120;

// How far each frame column moves right when the columns before it widen.
std::array<int, 3> ColumnShifts(const std::array<int, 3>& widenBy) {
    std::array<int, 3> shift{};
    for (size_t i = 1; i < 3; ++i) shift[i] = shift[i - 1] + widenBy[i - 1];
    return shift;
}
}  // namespace

frmGeneral::frmGeneral() {
    setObjectName(QStringLiteral("frmGeneral"));
    setWindowTitle(QStringLiteral("General Settings"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };

    auto frame = [this](int column, const char* caption, int left, int top, int height) {
        auto* f = new QGroupBox(QString::fromLatin1(caption), this);
        f->setGeometry(Twips(left, top, kFrameWidth, height));
        columns_[static_cast<size_t>(column)].frames.push_back(f);
        return f;
    };
    auto list = [this](int column, QGroupBox* f, const char* caption, const char* name, int top, ListControl& l) {
        Column& c = columns_[static_cast<size_t>(column)];
        if (caption) {
            QLabel* label = NewLabel(QString::fromLatin1(caption));
            label->setParent(f);
            label->setGeometry(Twips(kLabelLeft, top - 255, kFrameWidth - kLabelLeft - kLabelRightMargin, 240));
            c.labels.push_back(label);
        }
        QComboBox* box = views.Add(NewList(name), l);
        box->setParent(f);
        box->setGeometry(Twips(kListLeft, top, kListWidth, 315));
        c.lists.push_back(box);
    };
    QGroupBox* temperature = frame(0, "Temperature", 240, 240, 3135);
    list(0, temperature, "Linearization", "cmbLinearize", 720, logic.cmbLinearize);
    list(0, temperature, "Nominal Thermistor Value", "cmbThermistorVal", 1560, logic.cmbThermistorVal);
    list(0, temperature, "OTP Threshold", "cmbOTPThreshold", 2400, logic.cmbOTPThreshold);
    QGroupBox* polarity = frame(1, "Pin Polarity", 3000, 240, 3135);
    list(1, polarity, "PGOOD Polarity", "cmbPGOOD", 720, logic.cmbPGOOD);
    list(1, polarity, "Gate Polarity", "cmbGate", 1560, logic.cmbGate);
    list(1, polarity, "PSON Polarity", "cmbPSONPol", 2400, logic.cmbPSONPol);
    QGroupBox* pson = frame(2, "PSOn/Soft Start", 5760, 240, 2055);
    list(2, pson, "PS ON", "cmbPSON", 720, logic.cmbPSON);
    list(2, pson, "Soft Start", "cmbSoftStart", 1560, logic.cmbSoftStart);
    QGroupBox* sync = frame(2, "Sync Rect Off", 5760, 2520, 855);
    list(2, sync, nullptr, "cmbSyncRectOff", 360, logic.cmbSyncRectOff);

    auto button = [this](const char* name, const char* caption, int left) {
        QPushButton* b = NewButton(name, QString::fromLatin1(caption));
        b->setParent(this);
        b->setGeometry(Twips(left, 3600, 1455, 375));
        buttons_.push_back(b);
        return b;
    };
    connect(button("cmdOK", "OK", 3480), &QPushButton::clicked, this, &frmGeneral::cmdOK_Click);
    connect(button("cmdApply", "Apply", 5160), &QPushButton::clicked, this, &frmGeneral::cmdApply_Click);
    connect(button("cmdCancel", "Cancel", 6840), &QPushButton::clicked, this, &frmGeneral::cmdCancel_Click);
}

// The layout keeps its places in twips; where the font makes a caption or an item wider than its
// frame, that frame column widens and the columns and buttons to its right move over.
int frmGeneral::WidenForTexts() {
    std::array<int, 3> widen{}, listWidth{};
    for (size_t i = 0; i < 3; ++i) {
        int list = TwipsToPixels(kListWidth);
        for (QComboBox* box : columns_[i].lists) list = std::max(list, box->sizeHint().width());
        int need = TwipsToPixels(kListLeft + kListRightMargin) + list;
        for (QLabel* label : columns_[i].labels)
            need = std::max(need, TwipsToPixels(kLabelLeft + kLabelRightMargin) +
                                      label->fontMetrics().horizontalAdvance(label->text()));
        listWidth[i] = list;
        widen[i] = std::max(0, need - TwipsToPixels(kFrameWidth));
    }
    const std::array<int, 3> shift = ColumnShifts(widen);
    for (size_t i = 0; i < 3; ++i) {
        const Column& c = columns_[i];
        for (QGroupBox* f : c.frames) f->setGeometry(f->geometry().translated(shift[i], 0).adjusted(0, 0, widen[i], 0));
        for (QComboBox* box : c.lists) box->resize(listWidth[i], box->height());
        for (QLabel* label : c.labels) label->resize(label->width() + widen[i], label->height());
    }
    const int total = shift[2] + widen[2];
    for (QPushButton* b : buttons_) b->move(b->x() + total, b->y());
    return total;
}

void frmGeneral::Form_Load() {
    views.FillAll();
    SetFormSize(kFormWidth + static_cast<int>(std::ceil(PixelsToTwips(WidenForTexts()))), 4725);
    CenterForm();
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
