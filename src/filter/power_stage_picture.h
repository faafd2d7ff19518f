#pragma once
// The power-stage picture of the filter page: "PwrStg<n>.jpg" from the program's folder when
// it is there, else our own schematic of variant n (1 single LC stage, 2 with L2/C2, 3 with the
// C3/C4 feedback capacitors, 4 with both). The model inputs sit on it as child widgets. It is
// drawn for the design font and grows with the layout scale.
#include "shell/painted_layout.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

inline constexpr int kPowerPictureWidth = 15000, kPowerPictureHeight = 8400;  // twips

// The picture file of variant n in the given folder.
QString PowerStagePicturePath(const QString& folder, int n);

class PowerStagePicture : public QWidget, public PaintedLayout {
    Q_OBJECT
public:
    explicit PowerStagePicture(QWidget* parent = nullptr);
    // Loads the variant's file anew; a missing or unreadable file leaves our drawing.
    void SetPowerStageTopology(int n, const QString& folder);
    int Topology() const { return topology_; }
    bool ShowsFile() const { return !image_.isNull(); }

    // The schematic's texts and wires; nothing when a picture file is shown.
    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int topology_ = 0;
    QImage image_;
};

enum class ModelBox;
// Where a model input's caption and its text box sit on the picture, in its pixels. The box lies
// just below the caption; N2's box sits beside N1's under their shared caption.
QRect PowerStageLabelRect(ModelBox box);
QRect PowerStageBoxRect(ModelBox box);
// The stage check boxes' top-left corners, in the picture's pixels.
QPoint L2C2CheckPlace();
QPoint C3C4CheckPlace();
