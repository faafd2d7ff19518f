#pragma once
// The block-diagram picture of the ZVC7140, painted from block_diagram_layout.h, with the red
// frame of the highlighted block. It reports which block the mouse is over and which was clicked.
#include <QRectF>
#include <QWidget>

class QColor;
class QLabel;
class QPainter;
struct TwipsLine;
struct TwipsRect;

// Drawing helpers in twips, shared with the pages that draw in the block diagram's style.
QRectF ToRect(const TwipsRect& r);
// A filled arrow head at the line's end point.
void DrawArrowHead(QPainter& p, const TwipsLine& l, const QColor& colour);
// A white picture in twips with the diagram's text size, and the chip's outline on it.
void StartTwipsPicture(QPainter& p, const QWidget& w);
void DrawChipOutline(QPainter& p, const TwipsRect& chip);
// A live value box on a picture: bordered, centred, dark red on white. It is opaque, so that a new
// value repaints the box alone and not the picture under it.
void StyleLiveValue(QLabel* value);

class BlockDiagramPicture : public QWidget {
    Q_OBJECT
public:
    explicit BlockDiagramPicture(QWidget* parent = nullptr);

    // -1 hides every frame.
    void SetHighlight(int index);
    int Highlight() const { return highlight_; }

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
    static int BlockAtPixel(const QPoint& p);
    int highlight_ = -1;
    int pressed_ = -1;
    bool releaseAfterDoubleClick_ = false;
};
