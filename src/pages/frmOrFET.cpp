#include "pages/frmOrFET.h"

#include "core/twips.h"
#include "shell/painted_layout.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <tuple>

namespace {

// A sketch of the OrFET block: the switch between the converter and the bus, driven by its
// comparator. Drawn in pixels of the design font, grown by the layout scale.
class OrFETPicture : public QWidget, public PaintedLayout {
public:
    OrFETPicture() {
        setObjectName(QStringLiteral("Picture1"));
        setMinimumSize(ScaledPixels(160), ScaledPixels(120));
    }

    QList<PaintedCaption> Captions() const override {
        const Sketch s = Layout();
        const QFontMetricsF fm(font());
        QList<PaintedCaption> out;
        for (const auto& [text, box] : s.texts) out << PaintedCaption{text, fm.boundingRect(box, Qt::AlignCenter, text)};
        return out;
    }
    QList<QLineF> Lines() const override {
        const Sketch s = Layout();
        return s.wires + EdgesOf(QPolygonF(s.fet)) + EdgesOf(s.comparator);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const Sketch s = Layout();
        for (const QLineF& l : s.wires) p.drawLine(l);
        p.drawRect(s.fet);
        p.drawPolygon(s.comparator);
        for (const auto& [text, box] : s.texts) p.drawText(box, Qt::AlignCenter, text);
    }

private:
    struct Sketch {
        QList<QLineF> wires;
        QRectF fet;
        QPolygonF comparator;
        QList<std::pair<QString, QRectF>> texts;
    };
    Sketch Layout() const {
        const double k = LayoutScale(), w = width(), h = height(), y = std::floor(h / 3), mid = std::floor(w / 2);
        const double half = 20 * k, top = std::floor(2 * h / 3);
        Sketch s;
        s.fet = QRectF(mid - half, y - 10 * k, 2 * half, 20 * k);
        s.wires = {QLineF(10 * k, y, mid - half, y), QLineF(mid + half, y, w - 10 * k, y),
                   QLineF(mid, y + 10 * k, mid, top - 15 * k)};
        s.comparator = QPolygonF({QPointF(mid - half, top + 15 * k), QPointF(mid + half, top + 15 * k), QPointF(mid, top - 15 * k)});
        s.texts = {{QStringLiteral("OrFET"), s.fet},
                   {QStringLiteral("Vout"), QRectF(0, y - 30 * k, mid, 18 * k)},
                   {QStringLiteral("Bus"), QRectF(mid, y - 30 * k, mid, 18 * k)}};
        return s;
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
