#include "filter/power_stage_picture.h"

#include "core/twips.h"
#include "filter/dig_filter_logic.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kRail = 150, kGround = 380;

void Wire(QPainter& p, int x1, int y1, int x2, int y2) { p.drawLine(x1, y1, x2, y2); }

void Dot(QPainter& p, int x, int y) {
    p.setBrush(p.pen().color());
    p.drawEllipse(QPointF(x, y), 3, 3);
    p.setBrush(Qt::NoBrush);
}

// A vertical resistor between y1 and y2.
void Resistor(QPainter& p, int x, int y1, int y2) {
    QPainterPath path(QPointF(x, y1));
    const int zigs = 6;
    const double step = double(y2 - y1) / zigs;
    for (int i = 0; i < zigs; ++i) path.lineTo(x + (i % 2 ? -8 : 8), y1 + step * (i + 0.5));
    path.lineTo(x, y2);
    p.drawPath(path);
}

// A vertical capacitor whose plates sit around y, with leads to y1 and y2.
void Capacitor(QPainter& p, int x, int y1, int y, int y2) {
    Wire(p, x, y1, x, y - 4);
    Wire(p, x, y + 4, x, y2);
    p.drawLine(x - 15, y - 4, x + 15, y - 4);
    p.drawLine(x - 15, y + 4, x + 15, y + 4);
}

// A horizontal inductor from x1 to x2, its turns above the wire.
void Inductor(QPainter& p, int x1, int x2, int y) {
    const int turns = 4;
    const double w = double(x2 - x1) / turns;
    for (int i = 0; i < turns; ++i) p.drawArc(QRectF(x1 + i * w, y - w / 2, w, w), 0, 180 * 16);
}

// A vertical winding from y1 to y2, its turns facing right (or left).
void Winding(QPainter& p, int x, int y1, int y2, bool right) {
    const int turns = 4;
    const double h = double(y2 - y1) / turns;
    for (int i = 0; i < turns; ++i)
        p.drawArc(QRectF(x - h / 2, y1 + i * h, h, h), right ? -90 * 16 : 90 * 16, 180 * 16);
}

void Diode(QPainter& p, int x1, int x2, int y) {
    const QPointF tri[3] = {QPointF(x1, y - 10), QPointF(x1, y + 10), QPointF(x2, y)};
    p.drawPolygon(tri, 3);
    p.drawLine(x2, y - 10, x2, y + 10);
}

void Ground(QPainter& p, int x, int y) {
    Wire(p, x, y, x, y + 8);
    for (int i = 0; i < 3; ++i) p.drawLine(x - 12 + 4 * i, y + 8 + 4 * i, x + 12 - 4 * i, y + 8 + 4 * i);
}

void BoxPart(QPainter& p, const QRect& r, const QString& name) {
    p.drawRect(r);
    p.drawText(r, Qt::AlignCenter, name);
}

}  // namespace

QString PowerStagePicturePath(const QString& folder, int n) {
    return folder + QDir::separator() + QStringLiteral("PwrStg%1.jpg").arg(n);
}

QPoint PowerStageInputPlace(ModelBox box) {
    switch (box) {
    case ModelBox::N1: return {190, 60};
    case ModelBox::N2: return {242, 60};
    case ModelBox::L1: return {385, 95};
    case ModelBox::L2: return {545, 95};
    case ModelBox::ESR1: return {515, 180};
    case ModelBox::C1: return {515, 270};
    case ModelBox::ESR2: return {675, 180};
    case ModelBox::C2: return {675, 270};
    case ModelBox::R3: return {900, 165};
    case ModelBox::R4: return {900, 295};
    case ModelBox::Vin: return {20, 400};
    case ModelBox::Duty: return {110, 400};
    case ModelBox::RL: return {700, 400};
    case ModelBox::C3: return {785, 400};
    case ModelBox::C4: return {870, 400};
    case ModelBox::Count: break;
    }
    return {};
}

PowerStagePicture::PowerStagePicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pctPowerOptions"));
    resize(TwipsToPixels(kPowerPictureWidth), TwipsToPixels(kPowerPictureHeight));
}

void PowerStagePicture::SetPowerStageTopology(int n, const QString& folder) {
    topology_ = n;
    image_ = QImage();
    if (!folder.isEmpty()) image_.load(PowerStagePicturePath(folder, n));
    update();
}

void PowerStagePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!image_.isNull()) {
        p.drawImage(QPoint(0, 0), image_);
        return;
    }
    if (topology_ >= 1 && topology_ <= 4) DrawSchematic(p);
}

void PowerStagePicture::DrawSchematic(QPainter& p) const {
    const bool stageTwo = topology_ == 2 || topology_ == 4;
    const bool feedbackCaps = topology_ == 3 || topology_ == 4;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0, 0, 128), 2));

    // Primary: the input source, the primary winding and the switch.
    p.drawEllipse(QPointF(60, 265), 22, 22);
    p.drawText(QRectF(38, 243, 44, 22), Qt::AlignCenter, QStringLiteral("+"));
    p.drawText(QRectF(38, 265, 44, 22), Qt::AlignCenter, QStringLiteral("-"));
    Wire(p, 60, kRail, 60, 243);
    Wire(p, 60, 287, 60, kGround);
    Wire(p, 60, kRail, 200, kRail);
    Wire(p, 200, kRail, 200, 175);
    Winding(p, 200, 175, 285, true);
    Wire(p, 200, 285, 200, 300);
    BoxPart(p, QRect(185, 300, 30, 40), QStringLiteral("Q"));
    Wire(p, 200, 340, 200, kGround);
    Wire(p, 60, kGround, 200, kGround);
    Ground(p, 130, kGround);

    // The transformer's core and secondary.
    p.drawLine(220, 170, 220, 290);
    p.drawLine(230, 170, 230, 290);
    Winding(p, 250, 175, 285, false);
    Dot(p, 190, 180);
    Dot(p, 260, 180);
    Wire(p, 250, 175, 250, kRail);
    Wire(p, 250, 285, 250, kGround);

    // Rectifier, first LC stage.
    Wire(p, 250, kRail, 290, kRail);
    Diode(p, 290, 330, kRail);
    Wire(p, 330, kRail, 380, kRail);
    Inductor(p, 380, 460, kRail);
    Wire(p, 460, kRail, 500, kRail);
    Dot(p, 500, kRail);
    Wire(p, 500, kRail, 500, 180);
    Resistor(p, 500, 180, 250);
    Capacitor(p, 500, 250, 295, kGround);

    // The second LC stage, or a straight wire where there is none.
    if (stageTwo) {
        Wire(p, 500, kRail, 540, kRail);
        Inductor(p, 540, 620, kRail);
        Wire(p, 620, kRail, 660, kRail);
        Dot(p, 660, kRail);
        Wire(p, 660, kRail, 660, 180);
        Resistor(p, 660, 180, 250);
        Capacitor(p, 660, 250, 295, kGround);
    } else {
        Wire(p, 500, kRail, 660, kRail);
    }
    Wire(p, 660, kRail, 880, kRail);

    // The load.
    Dot(p, 760, kRail);
    Wire(p, 760, kRail, 760, 200);
    Resistor(p, 760, 200, 330);
    Wire(p, 760, 330, 760, kGround);

    // The feedback divider into the controller's ADC, with its capacitors across R3 and R4.
    Wire(p, 880, kRail, 880, 175);
    Resistor(p, 880, 175, 245);
    Wire(p, 880, 245, 880, 285);
    Resistor(p, 880, 285, 355);
    Wire(p, 880, 355, 880, kGround);
    Dot(p, 880, 265);
    Wire(p, 880, 265, 905, 265);
    BoxPart(p, QRect(905, 250, 80, 30), QStringLiteral("ADC"));
    if (feedbackCaps) {
        Wire(p, 880, 160, 830, 160);
        Capacitor(p, 830, 160, 212, 265);
        Wire(p, 830, 265, 880, 265);
        Capacitor(p, 830, 265, 318, 370);
        Wire(p, 830, 370, 880, 370);
    }
    Wire(p, 250, kGround, 880, kGround);
    Ground(p, 560, kGround);
}
