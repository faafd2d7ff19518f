#pragma once
// Paints a sensing page's drawing (sense_pictures.h) in the style of the block diagram and holds
// the captions and controls that sit on it, each at its place in the scene.
#include "pages/sense_pictures.h"
#include "shell/painted_layout.h"

#include <QWidget>

class LiveText;
class TwipsLayout;

class SensePicture : public QWidget, public PaintedLayout {
public:
    explicit SensePicture(const SenseScene& scene, QWidget* parent = nullptr);

    // Puts the control on the drawing at the scene's place for its object name.
    void Place(QWidget* control);
    // Places a live value as the drawing shows it: bordered, centred, dark red, of fixed size.
    void PlaceValue(LiveText* value);

    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TwipsLayout Layout() const;
    const SenseScene& scene_;
};
