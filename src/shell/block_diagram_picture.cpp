#include "shell/block_diagram_picture.h"

#include "core/twips.h"
#include "shell/block_diagram_layout.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

QRectF ToRect(const TwipsRect& r) { return QRectF(r.Left, r.Top, r.Width, r.Height); }

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

void StartTwipsPicture(QPainter& p, const QWidget& w) {
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(w.rect(), Qt::white);
    p.scale(1.0 / TwipsPerPixel(), 1.0 / TwipsPerPixel());
    QFont f = w.font();
    f.setPixelSize(150);
    p.setFont(f);
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
        p.drawText(r.adjusted(40, 20, -40, -20), Qt::AlignCenter | Qt::TextWordWrap, QString::fromLatin1(b.Text));
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
