#pragma once
// The Bode plot picture of the filter page: draws the page logic's grid, curves, range marks,
// asymptotes and markers, and reports the mouse in twips of the picture.
#include <QWidget>

class DigFilterLogic;

inline constexpr int kPlotLeft = 120, kPlotTop = 960;          // twips, in its tab
inline constexpr int kPlotWidth = 12615, kPlotHeight = 7455;   // twips
inline constexpr int kCaptionHeight = 195;                      // marker captions, twips

class BodeCanvas : public QWidget {
    Q_OBJECT
public:
    explicit BodeCanvas(const DigFilterLogic& logic, QWidget* parent = nullptr);

signals:
    // Any button; twips inside the picture.
    void mousePressedAt(float X, float Y);
    void mouseMovedTo(float X, float Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const DigFilterLogic& logic_;
};
