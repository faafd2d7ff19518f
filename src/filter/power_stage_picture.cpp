#include "filter/power_stage_picture.h"

#include "core/twips.h"
#include "filter/dig_filter_logic.h"
#include "shell/layout_font.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Draws the schematic in pixels of the design font, and keeps what it drew in the widget's own
// pixels: every stroke as lines (curves as short chords) and every text by its box. With no
// painter it only keeps them.
class Sketch {
public:
    Sketch(QPainter* p, const QFont& font) : p_(p), font_(font) {}

    void Line(double x1, double y1, double x2, double y2) {
        if (p_) p_->drawLine(QPointF(x1, y1), QPointF(x2, y2));
        Keep(QPointF(x1, y1), QPointF(x2, y2));
    }
    void Polyline(const QList<QPointF>& points) {
        if (p_) {
            QPainterPath path(points.front());
            for (const QPointF& at : points) path.lineTo(at);
            p_->drawPath(path);
        }
        for (qsizetype i = 1; i < points.size(); ++i) Keep(points[i - 1], points[i]);
    }
    void Polygon(const QList<QPointF>& points) {
        if (p_) p_->drawPolygon(points.data(), static_cast<int>(points.size()));
        for (qsizetype i = 0; i < points.size(); ++i) Keep(points[i], points[(i + 1) % points.size()]);
    }
    // An arc of the ellipse in the box, angles in degrees counter-clockwise from three o'clock.
    void Arc(const QRectF& box, double start, double span) {
        if (p_) p_->drawArc(box, static_cast<int>(start * 16), static_cast<int>(span * 16));
        KeepArc(box, start, span);
    }
    void Circle(QPointF centre, double radius) {
        const QRectF box(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
        if (p_) p_->drawEllipse(box);
        KeepArc(box, 0, 360);
    }
    void Dot(double x, double y) {
        if (!p_) return;
        p_->setBrush(p_->pen().color());
        p_->drawEllipse(QPointF(x, y), 3, 3);
        p_->setBrush(Qt::NoBrush);
    }
    // A text centred in the box, drawn at the widget's own font rather than scaled with the lines.
    void Text(const QRectF& box, const QString& text) {
        const QRectF r(box.topLeft() * LayoutScale(), box.size() * LayoutScale());
        if (p_) {
            p_->save();
            p_->resetTransform();
            p_->setFont(font_);
            p_->drawText(r, Qt::AlignCenter, text);
            p_->restore();
        }
        const QFontMetricsF fm(font_);
        const QSizeF size(fm.horizontalAdvance(text), fm.height());
        captions_.push_back({text, QRectF(r.center() - QPointF(size.width() / 2, size.height() / 2), size)});
    }

    QList<QLineF> Lines() const { return lines_; }
    QList<PaintedCaption> Captions() const { return captions_; }

private:
    static QPointF OnEllipse(const QRectF& box, double degrees) {
        const double a = degrees * std::numbers::pi / 180;
        return box.center() + QPointF(box.width() / 2 * std::cos(a), -box.height() / 2 * std::sin(a));
    }
    void Keep(QPointF a, QPointF b) { lines_.push_back(QLineF(a * LayoutScale(), b * LayoutScale())); }
    // A chord at most every 15 degrees: within a small part of a pixel of the curve at these sizes.
    void KeepArc(const QRectF& box, double start, double span) {
        const int chords = std::max(4, static_cast<int>(std::ceil(std::abs(span) / 15)));
        QPointF from = OnEllipse(box, start);
        for (int i = 1; i <= chords; ++i) {
            const QPointF to = OnEllipse(box, start + span * i / chords);
            Keep(from, to);
            from = to;
        }
    }

    QPainter* p_;
    QFont font_;
    QList<QLineF> lines_;
    QList<PaintedCaption> captions_;
};

constexpr int kRail = 150, kGround = 380;

// A vertical resistor between y1 and y2.
void Resistor(Sketch& s, int x, int y1, int y2) {
    QList<QPointF> zigzag{QPointF(x, y1)};
    const int zigs = 6;
    const double step = double(y2 - y1) / zigs;
    for (int i = 0; i < zigs; ++i) zigzag.push_back(QPointF(x + (i % 2 ? -8 : 8), y1 + step * (i + 0.5)));
    zigzag.push_back(QPointF(x, y2));
    s.Polyline(zigzag);
}

// A vertical capacitor whose plates sit around y, with leads to y1 and y2.
void Capacitor(Sketch& s, int x, int y1, int y, int y2) {
    s.Line(x, y1, x, y - 4);
    s.Line(x, y + 4, x, y2);
    s.Line(x - 15, y - 4, x + 15, y - 4);
    s.Line(x - 15, y + 4, x + 15, y + 4);
}

// A horizontal inductor from x1 to x2, its turns above the wire.
void Inductor(Sketch& s, int x1, int x2, int y) {
    const int turns = 4;
    const double w = double(x2 - x1) / turns;
    for (int i = 0; i < turns; ++i) s.Arc(QRectF(x1 + i * w, y - w / 2, w, w), 0, 180);
}

// A vertical winding from y1 to y2, its turns facing right (or left).
void Winding(Sketch& s, int x, int y1, int y2, bool right) {
    const int turns = 4;
    const double h = double(y2 - y1) / turns;
    for (int i = 0; i < turns; ++i) s.Arc(QRectF(x - h / 2, y1 + i * h, h, h), right ? -90 : 90, 180);
}

void Diode(Sketch& s, int x1, int x2, int y) {
    s.Polygon({QPointF(x1, y - 10), QPointF(x1, y + 10), QPointF(x2, y)});
    s.Line(x2, y - 10, x2, y + 10);
}

// An LC stage on the rail from left: the inductor, then at node the capacitor with its ESR to ground.
void LCStage(Sketch& s, int left, int node) {
    s.Line(left, kRail, node - 120, kRail);
    Inductor(s, node - 120, node - 40, kRail);
    s.Line(node - 40, kRail, node, kRail);
    s.Dot(node, kRail);
    s.Line(node, kRail, node, 180);
    Resistor(s, node, 180, 250);
    Capacitor(s, node, 250, 295, kGround);
}

void Ground(Sketch& s, int x, int y) {
    s.Line(x, y, x, y + 8);
    for (int i = 0; i < 3; ++i) s.Line(x - 12 + 4 * i, y + 8 + 4 * i, x + 12 - 4 * i, y + 8 + 4 * i);
}

void BoxPart(Sketch& s, const QRect& r, const QString& name) {
    const QRectF b(r);
    s.Polygon({b.topLeft(), b.topRight(), b.bottomRight(), b.bottomLeft()});
    s.Text(b, name);
}

// A model input's caption corner in design pixels.
QPoint InputPlace(ModelBox box) {
    switch (box) {
    case ModelBox::N1: return {190, 60};
    case ModelBox::N2: return {242, 60};
    case ModelBox::L1: return {385, 95};
    case ModelBox::L2: return {545, 95};
    case ModelBox::ESR1: return {521, 180};
    case ModelBox::C1: return {521, 270};
    case ModelBox::ESR2: return {681, 180};
    case ModelBox::C2: return {681, 270};
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

// Variant 1 to 4 of the schematic.
void DrawSchematic(Sketch& s, int topology) {
    const bool stageTwo = topology == 2 || topology == 4;
    const bool feedbackCaps = topology == 3 || topology == 4;

    // Primary: the input source, the primary winding and the switch.
    s.Circle(QPointF(60, 265), 22);
    s.Text(QRectF(38, 243, 44, 22), QStringLiteral("+"));
    s.Text(QRectF(38, 265, 44, 22), QStringLiteral("-"));
    s.Line(60, kRail, 60, 243);
    s.Line(60, 287, 60, kGround);
    s.Line(60, kRail, 200, kRail);
    s.Line(200, kRail, 200, 175);
    Winding(s, 200, 175, 285, true);
    s.Line(200, 285, 200, 300);
    BoxPart(s, QRect(185, 300, 30, 40), QStringLiteral("Q"));
    s.Line(200, 340, 200, kGround);
    s.Line(60, kGround, 200, kGround);
    Ground(s, 130, kGround);

    // The transformer's core and secondary.
    s.Line(220, 170, 220, 290);
    s.Line(230, 170, 230, 290);
    Winding(s, 250, 175, 285, false);
    s.Dot(190, 180);
    s.Dot(260, 180);
    s.Line(250, 175, 250, kRail);
    s.Line(250, 285, 250, kGround);

    // Rectifier, first LC stage.
    s.Line(250, kRail, 290, kRail);
    Diode(s, 290, 330, kRail);
    LCStage(s, 330, 500);

    // The second LC stage, or a straight wire where there is none.
    if (stageTwo) {
        LCStage(s, 500, 660);
    } else {
        s.Line(500, kRail, 660, kRail);
    }
    s.Line(660, kRail, 880, kRail);

    // The load.
    s.Dot(760, kRail);
    s.Line(760, kRail, 760, 200);
    Resistor(s, 760, 200, 330);
    s.Line(760, 330, 760, kGround);

    // The feedback divider into the controller's ADC, with its capacitors across R3 and R4.
    s.Line(880, kRail, 880, 175);
    Resistor(s, 880, 175, 245);
    s.Line(880, 245, 880, 285);
    Resistor(s, 880, 285, 355);
    s.Line(880, 355, 880, kGround);
    s.Dot(880, 265);
    s.Line(880, 265, 905, 265);
    BoxPart(s, QRect(905, 250, 80, 30), QStringLiteral("ADC"));
    if (feedbackCaps) {
        s.Line(880, 160, 830, 160);
        Capacitor(s, 830, 160, 212, 265);
        s.Line(830, 265, 880, 265);
        Capacitor(s, 830, 265, 318, 370);
        s.Line(830, 370, 880, 370);
    }
    s.Line(250, kGround, 880, kGround);
    Ground(s, 560, kGround);
}

constexpr int kLabelWidth = 90, kLabelHeight = 18, kBoxWidth = 64, kTurnsBoxWidth = 40, kBoxHeight = 20;

}  // namespace

QString PowerStagePicturePath(const QString& folder, int n) {
    return folder + QDir::separator() + QStringLiteral("PwrStg%1.jpg").arg(n);
}

QRect PowerStageLabelRect(ModelBox box) {
    const QPoint at = InputPlace(box);
    return ScaledRect(at.x(), at.y(), kLabelWidth, kLabelHeight);
}

QRect PowerStageBoxRect(ModelBox box) {
    const QPoint at = InputPlace(box);
    const bool turns = box == ModelBox::N1 || box == ModelBox::N2;
    const int left = at.x() - (box == ModelBox::N1 ? 10 : 0);
    return ScaledRect(left, at.y() + kLabelHeight, turns ? kTurnsBoxWidth : kBoxWidth, kBoxHeight);
}

QPoint L2C2CheckPlace() { return {ScaledPixels(20), ScaledPixels(470)}; }
QPoint C3C4CheckPlace() { return {ScaledPixels(20), ScaledPixels(500)}; }

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
        // The files are drawn for the design font: they grow with the inputs placed on them.
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(image_.size()) * LayoutScale()), image_);
        return;
    }
    if (topology_ < 1 || topology_ > 4) return;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(LayoutScale(), LayoutScale());
    p.setPen(QPen(QColor(0, 0, 128), 2));
    Sketch s(&p, font());
    DrawSchematic(s, topology_);
}

QList<PaintedCaption> PowerStagePicture::Captions() const {
    if (!image_.isNull() || topology_ < 1 || topology_ > 4) return {};
    Sketch s(nullptr, font());
    DrawSchematic(s, topology_);
    return s.Captions();
}

QList<QLineF> PowerStagePicture::Lines() const {
    if (!image_.isNull() || topology_ < 1 || topology_ > 4) return {};
    Sketch s(nullptr, font());
    DrawSchematic(s, topology_);
    return s.Lines();
}

