#include "shell/block_diagram_picture.h"

#include "core/twips.h"
#include "shell/block_diagram_layout.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

QRectF ToRect(const TwipsRect& r) { return QRectF(r.Left, r.Top, r.Width, r.Height); }

QLineF ToLine(const TwipsLine& l) { return QLineF(l.X1, l.Y1, l.X2, l.Y2); }

void DrawArrowHead(QPainter& p, const TwipsLine& l, const QColor& colour) {
    const double dx = l.X2 - l.X1, dy = l.Y2 - l.Y1;
    const double len = std::hypot(dx, dy);
    if (len <= 0) return;
    const double ux = dx / len, uy = dy / len, size = 110;
    QPainterPath head;
    head.moveTo(l.X2, l.Y2);
    head.lineTo(l.X2 - ux * size - uy * size * 0.5, l.Y2 - uy * size + ux * size * 0.5);
    head.lineTo(l.X2 - ux * size + uy * size * 0.5, l.Y2 - uy * size - ux * size * 0.5);
    head.closeSubpath();
    p.fillPath(head, colour);
}

QFont TwipsFont(const QWidget& w) {
    QFont f = w.font();
    f.setPixelSize(150);
    return f;
}

void StartTwipsPicture(QPainter& p, const QWidget& w) {
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(w.rect(), Qt::white);
    p.scale(1.0 / TwipsPerPixel(), 1.0 / TwipsPerPixel());
    p.setFont(TwipsFont(w));
}

void DrawChipOutline(QPainter& p, const TwipsRect& chip) {
    p.setPen(QPen(QColor(40, 40, 90), 30));
    p.setBrush(QColor(244, 246, 252));
    p.drawRoundedRect(ToRect(chip), 90, 90);
}

void StyleLiveValue(QLabel* value) {
    value->setAlignment(Qt::AlignCenter);
    value->setFrameShape(QFrame::Box);
    // Colours from the palette, not a style sheet: a style sheet's background leaves the box transparent.
    QPalette p = value->palette();
    p.setColor(QPalette::WindowText, QColor(192, 0, 0));
    p.setColor(QPalette::Window, Qt::white);
    value->setPalette(p);
    value->setAutoFillBackground(true);
}

TwipsLayout::TwipsLayout(const QWidget& picture) : picture_(picture) {}

void TwipsLayout::AddText(const QString& text, const QPointF& baseline) {
    const QFontMetricsF fm(TwipsFont(picture_));
    twipsCaptions_ << PaintedCaption{text, QRectF(baseline.x(), baseline.y() - fm.ascent(), fm.horizontalAdvance(text), fm.height())};
}

void TwipsLayout::AddText(const QString& text, const QRectF& box, int flags) {
    twipsCaptions_ << PaintedCaption{text, QFontMetricsF(TwipsFont(picture_)).boundingRect(box, flags, text)};
}

void TwipsLayout::AddOutline(const QRectF& r) { AddOutline(QPolygonF(r)); }

void TwipsLayout::AddOutline(const QPolygonF& shape) { lines_ << EdgesOf(shape); }

void TwipsLayout::AddLabels() {
    for (const QLabel* l : picture_.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (l->text().isEmpty() || !l->isVisibleTo(&picture_)) continue;
        const int flags = static_cast<int>(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
        const QRectF area = QRectF(l->contentsRect().translated(l->pos())).adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        pixelCaptions_ << PaintedCaption{l->text(), QFontMetricsF(l->font()).boundingRect(area, flags, l->text())};
    }
}

QList<PaintedCaption> TwipsLayout::Captions() const {
    const double k = 1.0 / TwipsPerPixel();
    QList<PaintedCaption> out = pixelCaptions_;
    for (const PaintedCaption& c : twipsCaptions_)
        out << PaintedCaption{c.Text, QRectF(c.Box.topLeft() * k, c.Box.size() * k)};
    return out;
}

QList<QLineF> TwipsLayout::Lines() const {
    const double k = 1.0 / TwipsPerPixel();
    QList<QLineF> out;
    for (const QLineF& l : lines_) out << QLineF(l.p1() * k, l.p2() * k);
    return out;
}

namespace {
// Where a block's name is laid out inside its box.
QRectF BoxTextArea(const DiagramBox& b) { return ToRect(b.Rect).adjusted(40, 20, -40, -20); }
constexpr int kBoxTextFlags = Qt::AlignCenter | Qt::TextWordWrap;
}  // namespace

BlockDiagramPicture::BlockDiagramPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pctDevice"));
    setMouseTracking(true);
    setFixedSize(TwipsToPixels(kPictureRect.Width), TwipsToPixels(kPictureRect.Height));
}

void BlockDiagramPicture::SetHighlight(int index) {
    if (index < -1 || index >= kBlockCount) index = -1;
    if (index == highlight_) return;
    highlight_ = index;
    update();
}

int BlockDiagramPicture::BlockAtPixel(const QPoint& p) { return BlockAt(static_cast<int>(PixelsToTwips(p.x())), static_cast<int>(PixelsToTwips(p.y()))); }

void BlockDiagramPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    StartTwipsPicture(p, *this);
    DrawChipOutline(p, ChipOutline());

    for (const DiagramBox& b : DiagramBoxes()) {
        if (b.Functional) {
            p.setPen(QPen(QColor(0, 0, 150), 20));
            p.setBrush(QColor(214, 226, 250));
        } else {
            p.setPen(QPen(QColor(70, 70, 70), 20));
            p.setBrush(QColor(236, 236, 236));
        }
        const QRectF r = ToRect(b.Rect);
        p.drawRect(r);
        p.setPen(b.Functional ? QColor(0, 0, 120) : QColor(40, 40, 40));
        p.drawText(BoxTextArea(b), kBoxTextFlags, QString::fromLatin1(b.Text));
    }

    p.setPen(QPen(QColor(60, 60, 60), 20));
    for (const DiagramWire& w : DiagramWires()) {
        p.drawLine(w.Line.X1, w.Line.Y1, w.Line.X2, w.Line.Y2);
        if (w.Arrow) DrawArrowHead(p, w.Line, p.pen().color());
    }

    p.setPen(QColor(20, 20, 20));
    for (const DiagramText& t : DiagramTexts()) p.drawText(QPointF(t.X, t.Y), QString::fromLatin1(t.Text));

    if (highlight_ >= 0) {
        QPen red(QColor(255, 0, 0), 3);
        red.setCosmetic(true);  // three pixels wide at any scale
        p.setPen(red);
        for (const TwipsLine& l : BlockFrameLines(highlight_)) p.drawLine(l.X1, l.Y1, l.X2, l.Y2);
    }
}

TwipsLayout BlockDiagramPicture::Layout() const {
    TwipsLayout layout(*this);
    layout.AddOutline(ToRect(ChipOutline()));
    for (const DiagramBox& b : DiagramBoxes()) {
        layout.AddOutline(ToRect(b.Rect));
        layout.AddText(QString::fromLatin1(b.Text), BoxTextArea(b), kBoxTextFlags);
    }
    for (const DiagramWire& w : DiagramWires()) layout.AddLine(ToLine(w.Line));
    for (const DiagramText& t : DiagramTexts()) layout.AddText(QString::fromLatin1(t.Text), QPointF(t.X, t.Y));
    if (highlight_ >= 0)
        for (const TwipsLine& l : BlockFrameLines(highlight_)) layout.AddLine(ToLine(l));
    layout.AddLabels();
    return layout;
}

QList<PaintedCaption> BlockDiagramPicture::Captions() const { return Layout().Captions(); }

QList<QLineF> BlockDiagramPicture::Lines() const { return Layout().Lines(); }

void BlockDiagramPicture::mouseMoveEvent(QMouseEvent* event) {
    const int b = BlockAtPixel(event->position().toPoint());
    setCursor(Qt::ArrowCursor);
    emit mouseMovedOver(b);
}

void BlockDiagramPicture::mousePressEvent(QMouseEvent* event) {
    // A press starts a new click, even when a page opened by a double click took its release.
    releaseAfterDoubleClick_ = false;
    pressed_ = BlockAtPixel(event->position().toPoint());
}

void BlockDiagramPicture::mouseReleaseEvent(QMouseEvent* event) {
    // The release that ends a double click is not a further click.
    if (releaseAfterDoubleClick_) {
        releaseAfterDoubleClick_ = false;
        return;
    }
    const int b = BlockAtPixel(event->position().toPoint());
    const int pressed = pressed_;
    pressed_ = -1;
    if (b >= 0 && b == pressed) emit blockClicked(b);
}

void BlockDiagramPicture::mouseDoubleClickEvent(QMouseEvent* event) {
    releaseAfterDoubleClick_ = true;
    const int b = BlockAtPixel(event->position().toPoint());
    if (b >= 0) emit blockDoubleClicked(b);
}
