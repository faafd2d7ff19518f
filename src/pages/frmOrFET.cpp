#include "pages/frmOrFET.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

namespace {

// A sketch of the OrFET block: the switch between the converter and the bus, driven by its
// comparator.
class OrFETPicture : public QWidget {
public:
    OrFETPicture() {
        setObjectName(QStringLiteral("Picture1"));
        setMinimumSize(160, 120);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const int w = width(), h = height(), y = h / 3;
        p.drawLine(10, y, w / 2 - 20, y);
        p.drawLine(w / 2 + 20, y, w - 10, y);
        p.drawRect(w / 2 - 20, y - 10, 40, 20);
        p.drawText(QRect(w / 2 - 20, y - 10, 40, 20), Qt::AlignCenter, QStringLiteral("OrFET"));
        p.drawLine(w / 2, y + 10, w / 2, 2 * h / 3 - 15);
        QPolygon tri;
        tri << QPoint(w / 2 - 20, 2 * h / 3 + 15) << QPoint(w / 2 + 20, 2 * h / 3 + 15) << QPoint(w / 2, 2 * h / 3 - 15);
        p.drawPolygon(tri);
        p.drawText(QRect(0, y - 30, w / 2, 18), Qt::AlignCenter, QStringLiteral("Vout"));
        p.drawText(QRect(w / 2, y - 30, w / 2, 18), Qt::AlignCenter, QStringLiteral("Bus"));
    }
};

}  // namespace

frmOrFET::frmOrFET() {
    setObjectName(QStringLiteral("frmOrFET"));
    setWindowTitle(QStringLiteral("OrFET Control"));
    views.onChoose = [this](ListControl& l, int i) { logic.Choose(PageAddress(), l, i); };
    views.onTick = [this](CheckControl& c, int v) { logic.Choose(PageAddress(), c, v); };

    auto* frame = new QGroupBox(QStringLiteral("Reverse Voltage Settings"));
    frame->setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(frame);
    const std::tuple<const char*, const char*, ListControl*> lists[] = {
        {"cmbReverseOff", "Reverse Voltage Off Threshold", &logic.cmbReverseOff},
        {"cmbReverseOn", "Forward Voltage On Threshold", &logic.cmbReverseOn},
        {"cmbFilter", "Comparator Bandwidth", &logic.cmbFilter}};
    int row = 0;
    for (auto [name, caption, list] : lists) {
        grid->addWidget(NewLabel(QString::fromLatin1(caption)), row, 0);
        grid->addWidget(views.Add(NewList(name), *list), row++, 1);
    }
    grid->addWidget(views.Add(NewCheck("chkOrFETOffDisable", QStringLiteral("OrFET Off  Enabled")),
                              logic.chkOrFETOffDisable),
                    row++, 0, 1, 2);
    QCheckBox* reverseCurrent = NewCheck("chkReverseCurrent", QStringLiteral("Reverse Current"));
    reverseCurrent->setEnabled(false);
    grid->addWidget(reverseCurrent, row, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = NewButton("cmdOK", QStringLiteral("OK"));
    QPushButton* apply = NewButton("cmdApply", QStringLiteral("Apply"));
    QPushButton* close = NewButton("cmdClose", QStringLiteral("Close"));
    for (QPushButton* b : {ok, apply, close}) buttons->addWidget(b);
    connect(ok, &QPushButton::clicked, this, [this] { Unload(); });
    connect(close, &QPushButton::clicked, this, [this] { Unload(); });

    auto* page = new QVBoxLayout(this);
    page->addWidget(new OrFETPicture, 1);
    page->addWidget(frame);
    page->addLayout(buttons);
}

void frmOrFET::Form_Load() {
    SetFormSize(7440, 5850);
    CenterForm();
    views.FillAll();
}

void frmOrFET::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    views.ShowAll();
}
