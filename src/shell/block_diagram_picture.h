#pragma once
// The block-diagram picture of the ZVC7140, painted from block_diagram_layout.h, with the red
// frame of the highlighted block. It reports which block the mouse is over and which was clicked.
#include "shell/painted_layout.h"

#include <QRectF>
#include <QWidget>

class QColor;
class QFont;
class QLabel;
class QPainter;
struct TwipsLine;
struct TwipsRect;

// Drawing helpers in twips, shared with the pages that draw in the block diagram's style.
QRectF ToRect(const TwipsRect& r);
QLineF ToLine(const TwipsLine& l);
// A filled arrow head at the line's end point.
void DrawArrowHead(QPainter& p, const TwipsLine& l, const QColor& colour);
// The diagram's text font, sized in twips so that texts grow with the picture.
QFont TwipsFont(const QWidget& w);
// A white picture in twips with the diagram's text size, and the chip's outline on it.
void StartTwipsPicture(QPainter& p, const QWidget& w);
void DrawChipOutline(QPainter& p, const TwipsRect& chip);
// A live value box on a picture: bordered, centred, dark red on white. It is opaque, so that a new
// value repaints the box alone and not the picture under it.
void StyleLiveValue(QLabel* value);

// What a twips picture shows a reader, gathered in twips and handed out in widget pixels.
class TwipsLayout {
public:
    explicit TwipsLayout(const QWidget& picture);
    // A text drawn from a baseline point, or laid out in a box with the painter's flags.
    void AddText(const QString& text, const QPointF& baseline);
    void AddText(const QString& text, const QRectF& box, int flags);
    void AddLine(const QLineF& l) { lines_ << l; }
    void AddOutline(const QRectF& r);
    void AddOutline(const QPolygonF& shape);
    // The texts of the picture's own labels (names and values placed on it), already in pixels.
    void AddLabels();
    QList<PaintedCaption> Captions() const;
    QList<QLineF> Lines() const;

private:
    const QWidget& picture_;
    QList<PaintedCaption> twipsCaptions_, pixelCaptions_;
    QList<QLineF> lines_;
};

class BlockDiagramPicture : public QWidget, public PaintedLayout {
    Q_OBJECT
public:
    explicit BlockDiagramPicture(QWidget* parent = nullptr);

    // -1 hides every frame.
    void SetHighlight(int index);
    int Highlight() const { return highlight_; }

    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

signals:
    void mouseMovedOver(int block);  // -1: free picture area
    void blockClicked(int block);
    void blockDoubleClicked(int block);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TwipsLayout Layout() const;
    static int BlockAtPixel(const QPoint& p);
    int highlight_ = -1;
    int pressed_ = -1;
    bool releaseAfterDoubleClick_ = false;
};
