#pragma once
// A painted status lamp: state 0 green, state 1 red. It repaints only when its state changes.
#include <QWidget>

class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);
    void SetState(int state);  // any non-zero value is 1
    int State() const { return state_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int state_ = 0;
};
