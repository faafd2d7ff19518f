#pragma once
// One output's picture of the PWM timing diagram: paints the scene the diagram maths return and
// hands mouse presses and moves on in twips.
#include "pages/pwm_diagram.h"

#include <QWidget>
#include <functional>

class PWMCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PWMCanvas(QWidget* parent = nullptr);
    void SetScene(pwm::Scene scene);
    const pwm::Scene& CurrentScene() const { return scene_; }

    // X in twips of the picture; any button, no release: click to grab, click to drop.
    std::function<void(double)> onMouseDown;
    std::function<void(double)> onMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The second click of a double click is no second press: it would drop what the first grabbed.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    pwm::Scene scene_;
};
