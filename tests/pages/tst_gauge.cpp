#include "fixture.h"

#include "pages/widgets/gauge.h"
#include "pages/widgets/gauge_math.h"
#include "pages/widgets/lamp.h"
#include "paint_counter.h"

#include <QMouseEvent>
#include <QCoreApplication>
#include <functional>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(GaugeMath, NeedleAngleSweepsTwoHundredSeventyDegreesAndRestsAtTheEndsOutsideTheScale) {
    const struct {
        GaugeScale scale;
        double value, angle;
    } cases[] = {
        {{0, 150}, 0, -135},    {{0, 150}, 75, 0},      {{0, 150}, 150, 135},  {{0, 150}, 50, -45},
        {{0, 150}, -10, -135},  {{0, 150}, 1e30, 135},  {{0, 150}, kInf, 135}, {{0, 150}, -kInf, -135},
        {{0, 150}, kNaN, -135}, {{-128, 127}, -0.5, 0}, {{0, 1}, 0.25, -67.5}, {{5, 5}, 5, -135},
        {{5, 5}, 9, -135},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ValueToAngle(c.value, c.scale), c.angle) << c.value;
    EXPECT_DOUBLE_EQ(AngleToValue(0, {0, 15}), 7.5);
    EXPECT_DOUBLE_EQ(AngleToValue(200, {0, 15}), 15);
    EXPECT_DOUBLE_EQ(AngleToValue(-200, {0, 15}), 0);
    EXPECT_NEAR(AngleToValue(ValueToAngle(12.3, {-128, 127}), {-128, 127}), 12.3, 1e-9);
}

TEST(GaugeMath, ValueUnderAPointFollowsTheRimAndTheGapBelowGoesToTheNearerEnd) {
    const GaugeScale scale{0, 100};
    EXPECT_DOUBLE_EQ(ValueAtOffset(0, -80, scale), 50);           // straight up
    EXPECT_DOUBLE_EQ(ValueAtOffset(80, 0, scale), 50 + 90 / 2.7);  // right: 90 degrees on
    EXPECT_DOUBLE_EQ(ValueAtOffset(-80, 0, scale), 50 - 90 / 2.7);
    EXPECT_DOUBLE_EQ(ValueAtOffset(10, 80, scale), 100);
    EXPECT_DOUBLE_EQ(ValueAtOffset(-10, 80, scale), 0);
    EXPECT_DOUBLE_EQ(ValueAtOffset(0, 0, scale), 0);
}

TEST(GaugeMath, ScaleTicksFallOnNiceStepsWithoutDrift) {
    const struct {
        double range;
        double step;
    } steps[] = {{150, 50}, {1, 0.2}, {50, 10}, {15, 5}, {3, 1}, {60, 20}, {255, 100}, {100, 20}, {7, 2}, {0, 1}};
    for (const auto& c : steps) EXPECT_DOUBLE_EQ(NiceStep(c.range, 5), c.step) << c.range;

    const std::vector<ScaleTick> ticks = ScaleTicks({0, 1});
    ASSERT_EQ(ticks.size(), 26u);
    EXPECT_EQ(ticks.front().value, 0);
    EXPECT_DOUBLE_EQ(ticks.front().angle, -135);
    EXPECT_DOUBLE_EQ(ticks.back().angle, 135);
    std::vector<double> majors;
    for (const ScaleTick& t : ticks)
        if (t.major) majors.push_back(t.value);
    const std::vector<double> expected{0, 0.2, 0.4, 0.6, 0.8, 1};
    ASSERT_EQ(majors.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(majors[i], expected[i], 1e-12);

    std::vector<double> temperature;
    for (const ScaleTick& t : ScaleTicks({-128, 127}))
        if (t.major) temperature.push_back(t.value);
    EXPECT_EQ(temperature, (std::vector<double>{-100, 0, 100}));
    EXPECT_TRUE(ScaleTicks({5, 5}).empty());
    EXPECT_TRUE(ScaleTicks({0, kInf}).empty());
}

TEST(GaugeMath, APressGrabsTheNearerSliderOnlyOnTheRim) {
    const double a2 = ValueToAngle(15, {0, 100}), a3 = ValueToAngle(65, {0, 100});
    auto at = [](double angle, double r) {
        const double rad = angle * M_PI / 180;
        return std::pair{std::sin(rad) * r, -std::cos(rad) * r};
    };
    auto [x2, y2] = at(a2, 88);
    EXPECT_EQ(SliderAt(x2, y2, a2, a3), 2);
    auto [x3, y3] = at(a3 + 5, 88);
    EXPECT_EQ(SliderAt(x3, y3, a2, a3), 3);
    auto [xi, yi] = at(a2, 30);  // inside the face
    EXPECT_EQ(SliderAt(xi, yi, a2, a3), 0);
    auto [xf, yf] = at(a2 + 40, 88);  // on the rim, far from both
    EXPECT_EQ(SliderAt(xf, yf, a2, a3), 0);
    auto [xs, ys] = at(0, 88);  // both sliders at the same place: slider 2 first
    EXPECT_EQ(SliderAt(xs, ys, 0, 0), 2);
}

class GaugeWidgetTest : public RunFixture {};

TEST_F(GaugeWidgetTest, OnlyAChangedPartRepaintsItsOwnAreaAndTheResultIsAWholeRepaint) {
    Gauge g(0);
    g.SetScale({0, 150});
    g.SetSliderValue(2, 20);
    g.SetSliderValue(3, 130);
    g.SetNeedle(75);
    g.SetCaption(QStringLiteral(" 75V"));
    g.resize(120, g.heightForWidth(120));
    g.show();
    PaintNow();
    PaintCounter paints;
    paints.Watch(&g);

    // The values it shows already, and needles that stay at an end of the scale.
    g.SetScale({0, 150});
    g.SetNeedle(75);
    g.SetCaption(QStringLiteral(" 75V"));
    g.SetSliderValue(2, 20);
    g.SetSliderValue(3, 130);
    g.SetSliderValue(5, 1);
    PaintNow();
    EXPECT_TRUE(paints.count.isEmpty());
    g.SetNeedle(200);
    PaintNow();
    paints.Clear();
    for (float past : {300.0f, 1e30f, std::numeric_limits<float>::infinity()}) g.SetNeedle(past);
    PaintNow();
    EXPECT_TRUE(paints.count.isEmpty());
    EXPECT_EQ(g.Needle(), std::numeric_limits<float>::infinity());  // stored all the same

    const QRect dial(0, 0, 120, 120);
    const QRect below(0, 120, 120, g.height() - 120);
    const struct {
        const char* what;
        std::function<void()> change;
        QRect within;
    } changes[] = {
        {"needle", [&] { g.SetNeedle(30); }, dial},
        {"needle back", [&] { g.SetNeedle(31); }, dial},
        {"caption", [&] { g.SetCaption(QStringLiteral(" 31V")); }, below},
        {"slider", [&] { g.SetSliderValue(2, 45); }, g.rect()},
        {"negative caption", [&] { g.SetCaption(QStringLiteral("-1.5V")); }, below},
    };
    for (const auto& c : changes) {
        paints.Clear();
        c.change();
        PaintNow();
        ASSERT_EQ(paints.count.value(&g), 1) << c.what;
        const QRegion area = paints.areas.value(&g);
        EXPECT_TRUE(c.within.contains(area.boundingRect())) << c.what;
        EXPECT_LT(Area(area), g.width() * g.height() / 3) << c.what;
        EXPECT_EQ(Shown(g), Whole(g)) << c.what;
    }
}

TEST_F(GaugeWidgetTest, DraggingASliderAlongTheRimMovesItAndRaisesTheEventWithTheGaugeIndex) {
    Gauge g(12);
    g.SetScale({0, 100});
    g.SetSliderValue(2, 15);
    g.SetSliderValue(3, 65);
    g.resize(100, 220);
    std::vector<int> spy;  // the indices the slider event carried
    QObject::connect(&g, &Gauge::SliderChange, [&spy](int k) { spy.push_back(k); });
    // The dial is the top square of the widget: 100 pixels for 200 logical units.
    auto point = [&](double value, double r) {
        const double rad = ValueToAngle(value, g.Scale()) * M_PI / 180;
        return QPointF(50 + std::sin(rad) * r / 2, 50 - std::cos(rad) * r / 2);
    };
    auto send = [&](QEvent::Type type, QPointF p) {
        QMouseEvent e(type, p, g.mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&g, &e);
    };
    send(QEvent::MouseButtonPress, point(15, 88));
    send(QEvent::MouseMove, point(30, 88));
    send(QEvent::MouseButtonRelease, point(50, 88));
    EXPECT_NEAR(g.SliderValue(2), 50, 1e-9);
    EXPECT_EQ(g.SliderValue(3), 65);
    ASSERT_GE(spy.size(), 2u);
    EXPECT_EQ(spy, std::vector<int>(spy.size(), 12));

    // A press on the face grabs nothing.
    spy.clear();
    send(QEvent::MouseButtonPress, QPointF(50, 50));
    send(QEvent::MouseMove, point(90, 88));
    send(QEvent::MouseButtonRelease, point(90, 88));
    EXPECT_TRUE(spy.empty());
    EXPECT_NEAR(g.SliderValue(2), 50, 1e-9);

    // Setting a slider from code raises no event; unknown slider numbers are ignored.
    g.SetSliderValue(3, 70);
    g.SetSliderValue(4, 1);
    EXPECT_TRUE(spy.empty());
    EXPECT_EQ(g.SliderValue(4), 0);
}

TEST_F(GaugeWidgetTest, PaintsAnyReadingAndLampsShowTheirState) {
    Gauge g(0);
    g.SetScale({0, 150});
    g.resize(60, 190);
    for (float v : {0.0f, 75.0f, -1e30f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        g.SetNeedle(v);
        g.SetCaption(QStringLiteral(" 75V"));
        EXPECT_FALSE(g.grab().isNull());
    }
    Gauge flat(1);
    flat.SetScale({3, 3});
    flat.resize(1, 1);
    EXPECT_FALSE(flat.grab().isNull());

    Lamp lamp;
    EXPECT_EQ(lamp.State(), 0);
    const QRgb green = lamp.grab().toImage().pixel(16, 8);
    lamp.SetState(5);
    EXPECT_EQ(lamp.State(), 1);
    const QRgb red = lamp.grab().toImage().pixel(16, 8);
    EXPECT_GT(qGreen(green), qRed(green));
    EXPECT_GT(qRed(red), qGreen(red));
}

}  // namespace
