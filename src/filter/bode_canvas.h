#pragma once
// The Bode plot picture of the filter page: draws the page logic's grid, curves, range marks,
// asymptotes and markers, and reports the mouse in twips of the picture.
//
// Two layers: what changes only with the model or the shown set (curves, grid, axis labels, the
// pole/zero and LF range marks) is drawn once into a kept pixmap; the moving layer (asymptotes,
// markers, the HF range mark over them, captions) is drawn over it on every paint. Refresh()
// repaints only where the moving layer was and now is, or everything when the kept layer is out
// of date.
#include "filter/bode_grid.h"
#include "filter/caption_places.h"
#include "filter/filter_markers.h"
#include "filter/loop_models.h"
#include "shell/painted_layout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <optional>
#include <vector>

class DigFilterLogic;

// Draws an antialiased polyline of the width, in device pixels, into an RGB32 picture, touching
// no pixel outside the clip. Takes any doubles: what is not finite is left out.
void DrawCurve(QImage& image, const QRectF& clip, const std::vector<QPointF>& points, uint32_t rgb, double width);

inline constexpr int kPlotLeft = 120, kPlotTop = 960;          // twips, in its tab
inline constexpr int kPlotWidth = 12615, kPlotHeight = 7455;   // twips

class BodeCanvas : public QWidget, public PaintedLayout {
    Q_OBJECT
public:
    explicit BodeCanvas(const DigFilterLogic& logic, QWidget* parent = nullptr);

    // Schedules a repaint of what changed in the logic since the last one; nothing when nothing did.
    void Refresh();
    // Drops the kept picture, so the next paint draws every layer afresh.
    void InvalidateCache();
    // The kept picture of the curves' layer is the one the current logic would draw.
    bool CacheIsCurrent() const;

    // Every text the plot shows and the marks they keep clear of, as the paint draws them.
    QList<PaintedCaption> Captions() const override;
    QList<QLineF> Lines() const override;

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
    // Everything the kept layer is drawn from.
    struct StillState {
        std::vector<BodeCurve> Curves;
        BodeGrid Grid;
        PoleZeroRange PoleZero;
        GainRanges Gains;
        bool MarksVisible = false;
        QSize Size;
        qreal PixelRatio = 0;
        QFont Font;
    };
    // Everything the moving layer is drawn from.
    struct MovingState {
        FilterMarkers Markers;
        GainRanges Gains;
        bool MarksVisible = false;
        bool CaptionsVisible = false;
    };

    // A painted text by its top-left corner, in twips.
    struct PlotText {
        QString Text;
        double Left = 0, Top = 0;
        QColor Color;
    };

    StillState CurrentStill() const;
    std::vector<PlotText> TickTexts() const;
    // The labels of the pole/zero and LF gain ranges.
    std::vector<PlotText> RangeTexts() const;
    // The range lines of the kept layer: pole/zero, then LF gain.
    std::vector<PlotLine> StillMarks() const;
    // The four asymptotes, then the HF gain range line.
    std::vector<PlotLine> MovingMarks(const MovingState& s) const;
    // The HF range label and the marker captions, each where it is clear of the rest; placed
    // anew only when what they step aside from changed.
    const std::vector<PlotText>& MovingTexts(const MovingState& s) const;
    std::vector<PlotText> PlaceMovingTexts(const MovingState& s) const;
    double TextWidth(const QString& text) const;  // twips
    double TextHeight() const;
    PlotBox BoxOf(const PlotText& t) const;
    PlotLine BottomLine() const;
    MovingState CurrentMoving() const;
    void DrawStillLayer();
    void PaintMovingLayer(QPainter& p) const;
    // The pixels the moving layer of this state may touch.
    QRegion MovingRegion(const MovingState& s) const;
    static bool SameMoving(const MovingState& s, const MovingState& t);

    const DigFilterLogic& logic_;
    QImage still_;
    StillState stillDrawn_;
    bool stillValid_ = false;
    MovingState movingScheduled_;  // the moving layer as last scheduled by Refresh()
    bool movingKnown_ = false;
    QRegion movingOnScreen_;       // where a moving layer may stand on screen
    // The last placed moving texts and what they were placed among.
    struct Placed {
        MovingState Moving;
        BodeGrid Grid;
        PoleZeroRange PoleZero;
        GainRanges Gains;
        QFont Font;
        std::vector<PlotText> Texts;
    };
    mutable std::optional<Placed> placed_;
};
