// The filter page's Bode canvas offscreen, at 9, 11 and 14 pt: what the screen shows after drags and after every
// change of what the curves show is, to the pixel, what a repaint from scratch draws; a drag
// step repaints only part of the picture, and a move that changes nothing repaints nothing; a
// double click is one click.
#include "filter_chip.h"
#include "filter_page_support.h"
#include "fixture.h"

#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/filter_registry.h"
#include "filter/frmDigFilter.h"
#include "registers/session.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <cmath>
#include <functional>
#include <limits>

namespace {

// Records the regions the canvas is asked to paint.
class PaintLog : public QObject {
public:
    std::vector<QRegion> Regions;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) Regions.push_back(static_cast<QPaintEvent*>(e)->region());
        return false;
    }
};

// At the design font and at larger desktop fonts, where the layout scale is not 1.
class BodeCanvasTest : public FilterPageAtFont {
protected:
    void SetUp() override {
        FilterPageAtFont::SetUp();
        UseBoardWithChips({0x48});
        SetLoopModelDefaults();
        auto& r = board.Regs(0x48);
        PutFilterChip(r);
        ASSERT_NO_FATAL_FAILURE(OpenPage());
        for (const char* name :
             {"chkLCFilter", "chkLCFilterPhase", "chkFullLoop", "chkFullLoopPhase", "chkFB", "chkFBPhase", "chkShowLabels"})
            Child<QCheckBox>(name)->click();
        ASSERT_EQ(page->logic.Curves.size(), 7u);
        ASSERT_TRUE(page->logic.CaptionsVisible);
        Settle();
    }
    static void Settle() { QApplication::processEvents(); }

    void Mouse(QEvent::Type type, QPointF twips) { MouseAtTwips(canvas, type, twips); }
    void Click(QPointF twips) {
        Mouse(QEvent::MouseButtonPress, twips);
        Mouse(QEvent::MouseButtonRelease, twips);
    }
    // Moves one step and lets the canvas paint it, as the event loop would.
    void MoveTo(QPointF twips) {
        Mouse(QEvent::MouseMove, twips);
        Settle();
    }

    // The canvas as it stands in the window's backing store: the result of every partial paint.
    QImage OnScreen() {
        const QPoint at = canvas->mapTo(main, QPoint(0, 0));
        return main->screen()->grabWindow(main->winId(), at.x(), at.y(), canvas->width(), canvas->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The same state painted from scratch, the kept picture thrown away.
    QImage FromScratch() {
        canvas->InvalidateCache();
        QImage img = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
        Settle();
        return img;
    }
    static int DifferingPixels(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return a.width() * a.height() + 1;
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    }
    void ExpectScreenAsFromScratch(const char* when) {
        const QImage screen = OnScreen();
        ASSERT_FALSE(screen.isNull()) << when;
        const QImage fresh = FromScratch();
        EXPECT_EQ(DifferingPixels(screen, fresh), 0) << when;
    }

    QPointF PoleCentre() const {
        const MarkerShape& s = page->logic.Plot.Markers.shpPole;
        return {s.CentreX(), s.CentreY()};
    }
    QPointF ZeroCentre() const {
        const MarkerShape& s = page->logic.Plot.Markers.shpZero;
        return {s.CentreX(), s.CentreY()};
    }

};

// The curves' own rasteriser, black on white, so a pixel's darkness is its coverage.
QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
int Ink(const QImage& img, int x, int y) { return 255 - qRed(img.pixel(x, y)); }
int InkSum(const QImage& img) {
    int sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) sum += Ink(img, x, y);
    return sum;
}
QImage Curve(const std::vector<QPointF>& points, QSize size = {100, 60}) {
    QImage img = White(size.width(), size.height());
    DrawCurve(img, QRectF(QPointF(0, 0), size), points, 0x000000, kCurvePenWidth);
    return img;
}

TEST(DrawCurve, AStraightLineIsThePensWidthAndEndsSquare) {
    // A 2-pixel line on a pixel border inks two rows fully; centred on a row, that row and half of
    // each neighbour. Far ends are cut at the picture, not drawn as huge.
    struct Case {
        const char* name;
        std::vector<QPointF> points;
        std::vector<std::pair<int, int>> rowInk;  // row, ink at column 50
    };
    const std::vector<Case> cases = {
        {"on a border", {{10, 30}, {90, 30}}, {{28, 0}, {29, 255}, {30, 255}, {31, 0}}},
        {"on a row", {{10, 30.5}, {90, 30.5}}, {{28, 0}, {29, 128}, {30, 255}, {31, 128}, {32, 0}}},
        {"from far away", {{-1e6, 30}, {1e6, 30}}, {{28, 0}, {29, 255}, {30, 255}, {31, 0}}},
    };
    for (const Case& c : cases) {
        const QImage img = Curve(c.points);
        for (auto [row, ink] : c.rowInk) EXPECT_NEAR(Ink(img, 50, row), ink, 1) << c.name << " row " << row;
    }
    // Square ends: one pen half-width past each end point.
    const QImage line = Curve({{10, 30}, {90, 30}});
    EXPECT_EQ(Ink(line, 8, 30), 0);
    EXPECT_EQ(Ink(line, 9, 30), 255);
    EXPECT_EQ(Ink(line, 90, 30), 255);
    EXPECT_EQ(Ink(line, 91, 30), 0);
    EXPECT_EQ(Ink(Curve({{-1e6, 30}, {1e6, 30}}), 0, 30), 255);
    // A point that is not a number is left out, as a path leaves it out.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Curve({{10, 30}, {nan, 5}, {50, nan}, {90, 30}}), line);
    EXPECT_EQ(InkSum(Curve({{nan, nan}})), 0);
    // One point is a square of the pen's width.
    const QImage dot = Curve({{40, 20}, {40, 20}});
    EXPECT_EQ(InkSum(dot), 4 * 255);
    for (auto [x, y] : {std::pair{39, 19}, {40, 19}, {39, 20}, {40, 20}}) EXPECT_EQ(Ink(dot, x, y), 255);
}

TEST(DrawCurve, SegmentsMeetWithoutSeamsOrDoubleInk) {
    // A line drawn through many points on it inks what the line from end to end inks: no pixel
    // at a joint is blended twice, none is missed.
    const QPointF a(5.3, 7.1), b(93.8, 51.7);
    std::vector<QPointF> many;
    for (int i = 0; i <= 37; ++i) many.push_back(a + (b - a) * (i / 37.0));
    const QImage once = Curve({a, b}), split = Curve(many);
    int worst = 0;
    for (int y = 0; y < once.height(); ++y)
        for (int x = 0; x < once.width(); ++x) worst = std::max(worst, std::abs(Ink(once, x, y) - Ink(split, x, y)));
    EXPECT_LE(worst, 1);
    EXPECT_GT(InkSum(once), 0);
}

TEST(DrawCurve, LooksLikeTheStrokedPath) {
    // A curve of the plot's kind, steep and flat, against a stroker's outline filled: the same ink
    // in all, and no pixel far from it.
    std::vector<QPointF> points;
    for (int i = 0; i <= 200; ++i) {
        const double x = 5 + i * 0.95;
        points.emplace_back(x, 60 - 45 * std::tanh((x - 100) / 12) + 8 * std::sin(x / 9));
    }
    const QImage ours = Curve(points, {200, 130});
    QImage theirs = White(200, 130);
    {
        QPainter p(&theirs);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, kCurvePenWidth));
        QPainterPath path(points.front());
        for (const QPointF& pt : points) path.lineTo(pt);
        p.drawPath(path);
    }
    int worst = 0, differing = 0, inked = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const int d = std::abs(Ink(ours, x, y) - Ink(theirs, x, y));
            worst = std::max(worst, d);
            differing += d > 32;
            inked += Ink(theirs, x, y) > 0;
        }
    EXPECT_NEAR(InkSum(ours), InkSum(theirs), InkSum(theirs) * 0.03);
    EXPECT_LE(worst, 100);
    EXPECT_LT(differing, inked / 20) << inked;
}

TEST(DrawCurve, TakesAnyDoubleAndNeverInksOutsideTheClip) {
    // The sanitizer build turns any cast of a NaN or of a value beyond int into a failure; here
    // every such input must leave the picture outside its clip as it was, and draw what is sound.
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double big = std::numeric_limits<double>::max();
    constexpr double tiny = std::numeric_limits<double>::denorm_min();
    const QRectF box(8, 6, 48, 36);
    const std::vector<QPointF> line{{14, 12}, {50, 30}};
    struct Case {
        const char* name;
        QRectF clip;
        std::vector<QPointF> points;
        double width;
        QRect mayChange;                 // pixels the drawing may touch
        std::vector<QPoint> fullyInked;  // pixels it must cover
    };
    const QRect boxPixels(8, 6, 48, 36), none, all(0, 0, 64, 48);
    const std::vector<Case> cases = {
        {"clip left NaN", QRectF(nan, 6, 48, 36), line, 2, none, {}},
        {"clip width NaN", QRectF(8, 6, nan, 36), line, 2, none, {}},
        {"clip infinite both ways", QRectF(-inf, -inf, inf, inf), line, 2, none, {}},
        {"clip infinite to the right", QRectF(0, 0, inf, inf), line, 2, all, {{31, 20}}},
        {"clip far beyond the picture", QRectF(1e300, 1e300, big, big), line, 2, none, {}},
        {"clip huge around it", QRectF(-1e300, -1e300, big, big), line, 2, all, {{31, 20}}},
        {"width NaN", box, line, nan, none, {}},
        {"width negative", box, line, -3, none, {}},
        {"width infinite", box, line, inf, boxPixels, {{8, 6}, {55, 41}, {31, 20}}},
        {"width 2e7", box, line, 2e7, boxPixels, {{8, 6}, {55, 41}}},
        {"points not finite are left out", box, {{nan, 5}, {14, 12}, {inf, 20}, {50, 30}, {-inf, nan}}, 2, boxPixels,
         {{31, 20}}},
        {"difference overflows", box, {{-1e308, 20}, {1e308, 20}}, 2, boxPixels, {{8, 19}, {55, 20}}},
        {"corner to corner of double", box, {{-big, -big}, {big, big}}, 2, boxPixels, {}},
        {"spike to the edge of double and back", box, {{14, 12}, {big, 1e300}, {50, 30}}, 2, boxPixels, {}},
        {"far from the clip", box, {{-big, 1e12}, {-1e20, 3e9}, {big, -1e300}}, 2, boxPixels, {}},
        {"a dot far away", box, {{1e300, -1e300}}, 2, none, {}},
        // Only near 0 do steps of denormal size survive the sums.
        {"denormal steps", QRectF(0, 6, 40, 30), {{0, 0}, {2 * tiny, 0}, {0, tiny}}, 2, QRect(0, 6, 40, 30), {}},
        // Directions whose sum has a denormal x: the joint runs along the rows.
        {"denormal direction", QRectF(0, 6, 40, 30), {{0, 10}, {1e-310, 30}, {0, 40}}, 2, QRect(0, 6, 40, 30),
         {{0, 12}, {0, 25}, {0, 35}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img = White(64, 48);
        DrawCurve(img, c.clip, c.points, 0x000000, c.width);
        int changedOutside = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (!c.mayChange.contains(x, y)) changedOutside += Ink(img, x, y) != 0;
        EXPECT_EQ(changedOutside, 0);
        for (const QPoint& at : c.fullyInked) EXPECT_EQ(Ink(img, at.x(), at.y()), 255) << at.x() << "," << at.y();
    }
}

TEST_P(BodeCanvasTest, MidDragTheScreenIsWhatAFullRepaintDraws) {
    ExpectScreenAsFromScratch("opened");
    const auto& m = page->logic.Plot.Markers;

    // The pole, several steps up and to the right; the zero rides along.
    const QPointF pole = PoleCentre();
    Click(pole);
    ASSERT_TRUE(page->logic.Drag.Pole.Grabbed());
    for (int i = 1; i <= 5; ++i) MoveTo(pole + QPointF(90 * i, -42 * i));
    EXPECT_NEAR(m.shpPole.CentreX(), pole.x() + 450, 0.01);
    ExpectScreenAsFromScratch("pole mid-drag");
    Click(PoleCentre());
    EXPECT_FALSE(page->logic.Drag.Pole.Grabbed());
    Settle();
    ExpectScreenAsFromScratch("pole dropped");

    // The zero, left and back part of the way.
    const QPointF zero = ZeroCentre();
    Click(zero);
    ASSERT_TRUE(page->logic.Drag.Zero.Grabbed());
    for (double dx : {-150.0, -300.0, -450.0, -200.0}) MoveTo(zero + QPointF(dx, 0));
    EXPECT_NEAR(m.shpZero.CentreX(), zero.x() - 200, 0.01);
    ExpectScreenAsFromScratch("zero mid-drag");
    Click(ZeroCentre());
    Settle();

    // The integrator, grabbed on the line halfway to the zero, moved up and down.
    const PlotLine& ist = m.lnIstSlope;
    const QPointF onLine((ist.X1 + ist.X2) / 2, (ist.Y1 + ist.Y2) / 2);
    Click(onLine);
    ASSERT_TRUE(page->logic.Drag.LowGain.Grabbed());
    const float y1 = ist.Y1;
    for (double dy : {-60.0, -120.0, -180.0, -90.0}) MoveTo(onLine + QPointF(0, dy));
    EXPECT_NE(ist.Y1, y1);
    ExpectScreenAsFromScratch("integrator mid-drag");
}

TEST_P(BodeCanvasTest, ADragStepRepaintsPartOfThePictureAndANoOpMoveNothing) {
    PaintLog log;
    canvas->installEventFilter(&log);
    const QPointF pole = PoleCentre();
    MoveTo(pole);  // hovering changes only the pointer
    EXPECT_TRUE(log.Regions.empty());

    Click(pole);
    Settle();
    log.Regions.clear();
    MoveTo(pole + QPointF(150, -84));
    ASSERT_EQ(log.Regions.size(), 1u);
    const QRegion step = log.Regions[0];
    qint64 area = 0;
    for (const QRect& r : step) area += qint64(r.width()) * r.height();
    EXPECT_LT(area, qint64(canvas->width()) * canvas->height() / 3);
    // The old and the new place of the pole are both in it.
    EXPECT_TRUE(step.contains(QPoint(qRound(pole.x() / TwipsPerPixel()), qRound(pole.y() / TwipsPerPixel()))));
    EXPECT_TRUE(step.contains(
        QPoint(qRound((pole.x() + 150) / TwipsPerPixel()), qRound((pole.y() - 84) / TwipsPerPixel()))));

    // Outside the high-frequency gain range the move is refused: nothing changed, nothing painted.
    log.Regions.clear();
    MoveTo(QPointF(PoleCentre().x(), page->logic.Plot.Gains.HFY1 - 300));
    EXPECT_TRUE(log.Regions.empty());
    canvas->removeEventFilter(&log);
}

// Every path that changes what the curves' layer shows leaves the screen as a repaint from
// scratch would draw it.
TEST_P(BodeCanvasTest, EveryChangeOfTheCurvesReachesTheScreen) {
    auto typeInto = [this](const char* box, const QString& text) {
        auto* e = Child<QLineEdit>(box);
        e->setText(text);
        emit e->textEdited(text);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"model input", [&] { typeInto("txtVin", QStringLiteral("48")); }},
        {"second LC stage", [&] { Child<QCheckBox>("chkL2C2")->click(); }},
        {"DCM set", [&] { Child<QRadioButton>("optFilterMode(1)")->click(); }},
        {"CCM set", [&] { Child<QRadioButton>("optFilterMode(0)")->click(); }},
        {"frequency read-back",
         [&] {
             auto* f = Child<QComboBox>("cmbFreq");
             f->setCurrentIndex(8);
             emit f->activated(8);
         }},
        {"curve hidden", [&] { Child<QCheckBox>("chkFullLoop")->click(); }},
        {"filter marks hidden", [&] { Child<QCheckBox>("chkDigFilter")->click(); }},
        {"filter marks shown", [&] { Child<QCheckBox>("chkDigFilter")->click(); }},
        {"captions hidden", [&] { Child<QCheckBox>("chkShowLabels")->click(); }},
        {"drop",
         [&] {
             const QPointF pole = PoleCentre();
             Click(pole);
             MoveTo(pole + QPointF(200, 84));
             Click(PoleCentre());
         }},
        {"apply", [&] { Child<QPushButton>("cmdApply")->click(); }},
        {"smaller", [&] { canvas->resize(canvas->width() - 120, canvas->height() - 60); }},
        {"back to its size", [&] { canvas->resize(canvas->width() + 120, canvas->height() + 60); }},
    };
    for (const auto& [name, change] : changes) {
        change();
        Settle();
        EXPECT_TRUE(canvas->CacheIsCurrent()) << name;  // painted since, from the new state
        ExpectScreenAsFromScratch(name);
    }
}

TEST_P(BodeCanvasTest, ANewModelRedrawsTheKeptPictureAndNothingElseDoes) {
    EXPECT_TRUE(canvas->CacheIsCurrent());
    const QPointF pole = PoleCentre();
    Click(pole);
    MoveTo(pole + QPointF(150, -84));
    EXPECT_TRUE(canvas->CacheIsCurrent());  // a drag does not touch the curves
    Click(PoleCentre());
    EXPECT_FALSE(canvas->CacheIsCurrent());  // the drop redrew them
    Settle();
    EXPECT_TRUE(canvas->CacheIsCurrent());

    auto* vin = Child<QLineEdit>("txtVin");
    vin->setText(QStringLiteral("300"));
    emit vin->textEdited(vin->text());
    EXPECT_FALSE(canvas->CacheIsCurrent());
    Settle();
    EXPECT_TRUE(canvas->CacheIsCurrent());
}

TEST_P(BodeCanvasTest, ADoubleClickIsOneClick) {
    const QPointF pole = PoleCentre();
    const int redraws = page->logic.RedrawCount;
    // Press, release, double click, release on the pole: grabbed, not grabbed and dropped.
    Click(pole);
    Mouse(QEvent::MouseButtonDblClick, pole);
    Mouse(QEvent::MouseButtonRelease, pole);
    EXPECT_TRUE(page->logic.Drag.Pole.Grabbed());
    EXPECT_EQ(page->logic.RedrawCount, redraws);

    const QPointF to = pole + QPointF(150, -84);
    MoveTo(to);
    EXPECT_NEAR(page->logic.Plot.Markers.shpPole.CentreX(), to.x(), 0.01);
    // A double click where the carried pole now sits drops it once and does not pick it up again.
    Click(to);
    Mouse(QEvent::MouseButtonDblClick, to);
    Mouse(QEvent::MouseButtonRelease, to);
    EXPECT_FALSE(page->logic.Drag.Pole.Grabbed());
    EXPECT_EQ(page->logic.RedrawCount, redraws + 1);
    MoveTo(to + QPointF(300, 0));
    EXPECT_NEAR(page->logic.Plot.Markers.shpPole.CentreX(), to.x(), 0.01);
}

INSTANTIATE_TEST_SUITE_P(, BodeCanvasTest, ::testing::Values(9.0, 11.0, 14.0), PointsName);

}  // namespace
