#pragma once
// A painted status lamp: state 0 green, state 1 red.
#include <QWidget>

class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);
    void SetState(int state);  // any non-zero value is 1
    int State() const { return state_; }
    QSize sizeHint() const override { return {33, 17}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int state_ = 0;
};
