#pragma once
// A painted dial gauge: one needle, the value under the dial and two limit sliders (numbered 2
// and 3) that the user drags along the dial's rim, their values named under the value. The face
// (rim, ticks, numbers, sliders) is kept in a pixmap; a refresh repaints only what it changed.
#include "pages/widgets/gauge_math.h"
#include "shell/painted_layout.h"

#include <QPixmap>
#include <QStaticText>
#include <array>
#include <QWidget>

class Gauge : public QWidget, public PaintedLayout {
    Q_OBJECT
public:
    explicit Gauge(int index, QWidget* parent = nullptr);

    int Index() const { return index_; }
    void SetScale(GaugeScale scale);
    GaugeScale Scale() const { return scale_; }
    void SetNeedle(float value);
    float Needle() const { return needle_; }
    void SetCaption(const QString& text);
    QString Caption() const { return caption_; }
    // Sliders 2 and 3; a value set here raises no slider event. Other numbers are ignored.
    void SetSliderValue(int slider, double value);
    double SliderValue(int slider) const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

signals:
    // The user moved a slider (while dragging and at the drop).
    void SliderChange(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // Where the parts lie in widget pixels at the present size and font.
    struct Places {
        QRectF dial;
        QRectF value;      // the line of the value
        QRectF limits[2];  // the lines naming the lower and the upper limit
    };
    Places Layout() const;
    double TextBlockHeight() const;
    QFont ValueFont() const;
    QFont LimitFont() const;
    QFont NumberFont() const;  // in the dial's logical units
    QString LimitText(int line) const;
    // Logical dial units to widget pixels.
    QTransform DialTransform() const;
    QPointF ToLogical(QPointF p) const;
    QRect NeedleArea(double angle) const;
    QRect SliderArea(double value) const;
    void DrawFace();
    // What lies under the gauge depends on where it stands in its window and on the sizes around.
    struct BackdropKey {
        QSize size;
        qreal ratio;
        QPoint inWindow;
        QSize window, parent;
        bool operator==(const BackdropKey&) const = default;
    };
    BackdropKey BackdropNow() const;
    // The value (0) and the two limits (1, 2) as drawn: laid out once for each new text.
    struct ShownText {
        QString text;
        QRectF area, box;
        QFont font;
        QStaticText glyphs;
        bool valid = false;
    };
    const ShownText& TextOf(int k) const;
    void DrawBackdrop();
    void Relayout();

    int index_;
    GaugeScale scale_;
    float needle_ = 0;
    QString caption_;
    double slider2_ = 0, slider3_ = 100;
    int grabbed_ = 0;

    const Places& At() const;
    mutable Places places_;
    mutable QSize placesSize_;
    mutable qreal placesRatio_ = 1;
    mutable bool placesValid_ = false;
    QPixmap face_;  // the dial without its needle, at the device's pixel ratio
    bool faceDrawn_ = false;
    mutable std::array<ShownText, 3> texts_;
    QPixmap backdrop_;  // what the widgets under the gauge show there
    BackdropKey backdropKey_;
    bool backdropDrawn_ = false;
};
