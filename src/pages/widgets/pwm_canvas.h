#pragma once
// One output's picture of the PWM timing diagram: paints the scene the diagram maths return and
// hands mouse presses and moves on in twips. The grid and baseline are kept drawn in a pixmap; a
// new scene repaints only the area of what differs from the last one. Twips map to pixels through
// the layout scale; the texts take the widget's font and the pens grow with the scale.
#include "pages/pwm_diagram.h"
#include "shell/painted_layout.h"

#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <vector>

class PWMCanvas : public QWidget, public PaintedLayout {
    Q_OBJECT
public:
    explicit PWMCanvas(QWidget* parent = nullptr);
    void SetScene(pwm::Scene scene);
    const pwm::Scene& CurrentScene() const { return scene_; }

    // Each shown text's box and every line of the scene, as paintEvent places them.
    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

    // X in twips of the picture; any button, no release: click to grab, click to drop.
    std::function<void(double)> onMouseDown;
    std::function<void(double)> onMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The second click of a double click is no second press: it would drop what the first grabbed.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const QFont& FontOf(const pwm::SceneText& t) const;
    QPointF Baseline(const pwm::SceneText& t) const;  // where the text is drawn, in pixels
    QRectF TextBox(const pwm::SceneText& t) const;     // its advance and its ink, in pixels
    QRect Bounds(const pwm::SceneLine& l) const;
    QRect Bounds(const pwm::SceneText& t) const;
    void MeasureAll();   // the bounds of every item of the scene
    void Relayout();     // after a font change: label font, bounds, the whole picture
    void DrawStill();

    pwm::Scene scene_;
    std::vector<QRect> lineBounds_, textBounds_;
    QFont labelFont_;  // the edge labels', smaller than the widget's only where the widest would not fit
    double labelLeft_ = pwm::kEdgeLabelX;  // twips
    QPixmap still_;
    bool stillDrawn_ = false;
};
