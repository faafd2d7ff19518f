// The filter page at the desktop fonts users have (9 to 14 pt) and at pixel ratios 1.5 and 2:
// every control shows its whole text with room between neighbouring texts, and the Bode plot's
// and the power stage's painted texts stay inside their picture, clear of each other and of the
// lines drawn there, also after the marks were dragged where a caption's own place is taken.
#include "filter_page_support.h"
#include "fixture.h"
#include "../pages/text_fit.h"

#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/filter_registry.h"
#include "filter/frmDigFilter.h"
#include "filter/power_stage_picture.h"
#include "registers/session.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>

namespace {

// Where a control's own text runs: a label's text as aligned, a check box or option button with
// its indicator. Push buttons and lists frame their text and are left to CutTexts.
std::optional<QRect> TextRun(const QWidget* w) {
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull()) return std::nullopt;
        const QRect area = l->contentsRect().translated(l->pos());
        const int width = QFontMetrics(l->font()).horizontalAdvance(l->text());
        int left = area.left();
        if (l->alignment() & Qt::AlignRight) left = area.right() + 1 - width;
        if (l->alignment() & Qt::AlignHCenter) left = area.center().x() - width / 2;
        return QRect(left, area.top(), width, area.height());
    }
    if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && !qobject_cast<const QPushButton*>(b))
        return QRect(b->pos(), QSize(b->sizeHint().width(), b->height()));
    return std::nullopt;
}

// Texts side by side in one row that run into each other or stand closer than a letter apart.
QStringList CrowdedTexts(const QWidget* root) {
    QStringList crowded;
    const int gap = ScaledPixels(6);
    for (const QWidget* parent : root->findChildren<QWidget*>() + QList<QWidget*>{const_cast<QWidget*>(root)}) {
        std::vector<std::pair<const QWidget*, QRect>> runs;
        for (const QObject* o : parent->children()) {
            const auto* w = qobject_cast<const QWidget*>(o);
            if (!w || !w->isVisibleTo(root)) continue;
            if (const auto run = TextRun(w)) runs.emplace_back(w, *run);
        }
        for (size_t i = 0; i < runs.size(); ++i)
            for (size_t j = i + 1; j < runs.size(); ++j) {
                const QRect &a = runs[i].second, &b = runs[j].second;
                if (a.bottom() < b.top() || b.bottom() < a.top()) continue;
                const int apart = std::max(a.left(), b.left()) - std::min(a.right(), b.right()) - 1;
                if (apart < gap)
                    crowded << QStringLiteral("%1 and %2, %3 px apart")
                                   .arg(ControlName(runs[i].first), ControlName(runs[j].first))
                                   .arg(apart);
            }
    }
    return crowded;
}

// The segment meets the box.
bool Meets(const QRectF& box, const QLineF& line) {
    if (box.contains(line.p1()) || box.contains(line.p2())) return true;
    const QLineF edges[4] = {{box.topLeft(), box.topRight()},
                             {box.topRight(), box.bottomRight()},
                             {box.bottomRight(), box.bottomLeft()},
                             {box.bottomLeft(), box.topLeft()}};
    for (const QLineF& e : edges)
        if (line.intersects(e, nullptr) == QLineF::BoundedIntersection) return true;
    return false;
}

// Painted texts outside the picture, on each other, or on or beside one of its lines (within half
// the widest pen and a pixel); and any of the extra boxes (child controls) on a line.
QStringList UnreadableTexts(const QWidget* picture, const PaintedLayout& layout,
                            const std::vector<std::pair<QString, QRectF>>& controls = {}) {
    QStringList bad;
    const QList<PaintedCaption> captions = layout.Captions();
    const QList<QLineF> lines = layout.Lines();
    const double margin = 1.5 * LayoutScale() + 1;
    auto onALine = [&](const QString& what, const QRectF& box) {
        const QRectF wide = box.adjusted(-margin, -margin, margin, margin);
        for (const QLineF& l : lines)
            if (Meets(wide, l)) {
                bad << QStringLiteral("%1 on the line (%2,%3)-(%4,%5)")
                           .arg(what)
                           .arg(l.x1(), 0, 'f', 0)
                           .arg(l.y1(), 0, 'f', 0)
                           .arg(l.x2(), 0, 'f', 0)
                           .arg(l.y2(), 0, 'f', 0);
                return;
            }
    };
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const PaintedCaption& c = captions[i];
        if (!QRectF(picture->rect()).contains(c.Box)) bad << c.Text + QStringLiteral(" outside the picture");
        for (qsizetype j = i + 1; j < captions.size(); ++j)
            if (c.Box.intersects(captions[j].Box)) bad << c.Text + QStringLiteral(" on ") + captions[j].Text;
        onALine(c.Text, c.Box);
    }
    for (const auto& [name, box] : controls) onALine(name, box);
    return bad;
}

class FilterLayoutTest : public FilterPageAtFont {
protected:
    void SetUp() override {
        FilterPageAtFont::SetUp();
        // The chip as simulation mode starts it, as the pictures show it: 49 kHz, low gain 29.63 dB.
        EnterSimulation();
        SetLoopModelDefaults();
        ASSERT_NO_FATAL_FAILURE(OpenPage());
        if (const QByteArray ratio = qgetenv("FILTER_LAYOUT_RATIO"); !ratio.isEmpty()) {
            EXPECT_EQ(canvas->devicePixelRatioF(), ratio.toDouble());
        }
    }
    void ShowTab(int i) {
        page->SSTab1->setCurrentIndex(i);
        QApplication::processEvents();
    }
    // Click to grab, move, click to drop.
    void Drag(QPointF from, QPointF to) {
        for (auto [type, at] : {std::pair{QEvent::MouseButtonPress, from}, {QEvent::MouseButtonRelease, from},
                                {QEvent::MouseMove, to}, {QEvent::MouseButtonPress, to}, {QEvent::MouseButtonRelease, to}})
            MouseAtTwips(canvas, type, at);
        QApplication::processEvents();
    }
    QStringList PlotFaults() { return UnreadableTexts(canvas, *canvas); }
};

TEST_P(FilterLayoutTest, EveryControlShowsItsWholeTextApartFromItsNeighbours) {
    Child<QCheckBox>("chkShowLabels")->click();
    Child<QCheckBox>("chkL2C2")->click();
    Child<QCheckBox>("chkC3C4")->click();  // every input of the power stage shown
    for (int tab = 0; tab < 2; ++tab) {
        ShowTab(tab);
        EXPECT_EQ(CutTexts(page), QStringList()) << "tab " << tab;
        EXPECT_EQ(CrowdedTexts(page), QStringList()) << "tab " << tab;
    }
    // The window and the plot grew with the font, the plot by the same scale as its twips.
    EXPECT_EQ(canvas->size(), QSize(TwipsToPixels(kPlotWidth), TwipsToPixels(kPlotHeight)));
    EXPECT_GE(page->width(), canvas->geometry().right());
}

TEST_P(FilterLayoutTest, PlotTextsStayClearOfEachOtherAndOfTheMarks) {
    EXPECT_EQ(PlotFaults(), QStringList()) << "opened";
    Child<QCheckBox>("chkShowLabels")->click();
    const FilterMarkers& m = page->logic.Plot.Markers;
    ASSERT_EQ(m.lblLowGainPos.Text, "Low Gain (29.63dB @ 1Hz)");
    EXPECT_EQ(PlotFaults(), QStringList()) << "with the values shown";

    const BodeGrid& g = page->logic.Plot.Grid;
    const float s = SlopeGeometryOf(g).s;
    auto dragIntegratorTo = [&](float y1) {
        const PlotLine& ist = m.lnIstSlope;
        const QPointF onLine((ist.X1 + ist.X2) / 2, (ist.Y1 + ist.Y2) / 2);
        Drag(onLine, onLine + QPointF(0, y1 - ist.Y1));
        ASSERT_NEAR(m.lnIstSlope.Y1, y1, 1);
    };

    // The integrator as high as the zero lets it, and the pole high up in its range at 15 kHz:
    // the pole's flat line runs through where the HF range label belongs.
    dragIntegratorTo(m.shpZero.CentreY() - s * (m.shpZero.CentreX() - g.X[0]) + 3);
    const QPointF high(FreqToX(g, 15000), GainToY(g, 21));
    Drag({m.shpPole.CentreX(), m.shpPole.CentreY()}, high);
    ASSERT_NEAR(m.shpPole.CentreY(), high.y(), 1);
    EXPECT_EQ(PlotFaults(), QStringList()) << "pole raised";

    // The integrator lowered almost to the zero's level: the flat line to the zero runs just
    // under its caption's own place.
    dragIntegratorTo(m.shpZero.CentreY() - 2);
    EXPECT_EQ(PlotFaults(), QStringList()) << "integrator lowered";
}

TEST_P(FilterLayoutTest, PowerStageTextsAndInputsStayOffItsWires) {
    ShowTab(0);
    PowerStagePicture* picture = page->pctPowerOptions;
    for (const char* box : {"chkL2C2", "chkC3C4"}) {
        Child<QCheckBox>(box)->click();
        std::vector<std::pair<QString, QRectF>> controls;
        for (const QWidget* w : picture->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(picture) || qobject_cast<const QAbstractButton*>(w)) continue;
            const auto run = TextRun(w);
            controls.emplace_back(ControlName(w), QRectF(run ? *run : w->geometry()));
        }
        EXPECT_FALSE(picture->Captions().isEmpty());
        EXPECT_EQ(UnreadableTexts(picture, *picture, controls), QStringList()) << "after " << box;
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, FilterLayoutTest, ::testing::Values(9.0, 10.0, 11.0, 12.0, 14.0), PointsName);

}  // namespace
