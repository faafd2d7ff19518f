#pragma once
// The power-stage picture of the filter page: "PwrStg<n>.jpg" from the program's folder when
// it is there, else our own schematic of variant n (1 single LC stage, 2 with L2/C2, 3 with the
// C3/C4 feedback capacitors, 4 with both). The model inputs sit on it as child widgets.
#include <QImage>
#include <QPoint>
#include <QWidget>

inline constexpr int kPowerPictureWidth = 15000, kPowerPictureHeight = 8400;  // twips

// The picture file of variant n in the given folder.
QString PowerStagePicturePath(const QString& folder, int n);

class PowerStagePicture : public QWidget {
    Q_OBJECT
public:
    explicit PowerStagePicture(QWidget* parent = nullptr);
    // Loads the variant's file anew; a missing or unreadable file leaves our drawing.
    void SetPowerStageTopology(int n, const QString& folder);
    int Topology() const { return topology_; }
    bool ShowsFile() const { return !image_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawSchematic(QPainter& p) const;
    int topology_ = 0;
    QImage image_;
};

enum class ModelBox;
// Where a model input sits on the picture, in pixels: its label's top-left corner; the text box
// lies just below. N2's box sits beside N1's under their shared label.
QPoint PowerStageInputPlace(ModelBox box);
inline constexpr int kInputBoxWidth = 64, kInputBoxHeight = 20, kInputLabelHeight = 18;
inline constexpr QPoint kL2C2CheckPlace{20, 470}, kC3C4CheckPlace{20, 500};
