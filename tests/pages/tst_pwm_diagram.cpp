#include "pages/pwm_diagram.h"

#include <gtest/gtest.h>

using namespace pwm;

namespace {

TEST(PWMDiagram, CountsAndPositionsMapTheFirstPeriodBothWays) {
    EXPECT_DOUBLE_EQ(kMidX, 4207.5);
    EXPECT_DOUBLE_EQ(kGridX, 2703.75);
    EXPECT_FLOAT_EQ(EdgeCountToX(0, 4081), 1200);
    EXPECT_FLOAT_EQ(EdgeCountToX(4081, 4081), 4207.5f);
    EXPECT_FLOAT_EQ(EdgeCountToX(400, 800), 2703.75f);
    EXPECT_EQ(XToEdgeCount(4207.5, 4081), 4081);
    EXPECT_EQ(XToEdgeCount(1200, 4081), 0);
    // Halves go to the even count: with P = 6015 a count is half a twip.
    EXPECT_EQ(XToEdgeCount(1200.75, 6015), 2);
    EXPECT_EQ(XToEdgeCount(1201.25, 6015), 2);
    EXPECT_EQ(XToEdgeCount(1201.75, 6015), 4);
    // Every count of every period comes back from its position.
    for (long p : {4081L, 2684L, 1025L, 400L, 288L, kFullScaleCounts})
        for (long c = 0; c <= p; ++c) ASSERT_EQ(XToEdgeCount(EdgeCountToX(c, p), p), c) << p << " " << c;
    // No period yet: everything stands at the start and nothing divides by zero.
    EXPECT_FLOAT_EQ(EdgeCountToX(2048, 0), 1200);
    EXPECT_EQ(XToEdgeCount(3000, 0), 0);

    // Without a period the diagram spans every count a register holds.
    EXPECT_EQ(DiagramScale(0), 4095);
    EXPECT_EQ(DiagramScale(288), 288);

    EXPECT_TRUE(InFirstPeriod(1200));
    EXPECT_TRUE(InFirstPeriod(4207.5));
    EXPECT_FALSE(InFirstPeriod(1199.9));
    EXPECT_FALSE(InFirstPeriod(4207.6));
}

TEST(PWMDiagram, WaveformOfBothEdgeOrdersInBothPeriods) {
    const Levels main = LevelsOf(0);
    const Levels aux = LevelsOf(6);
    EXPECT_EQ(main.high, 240);
    EXPECT_EQ(main.low, 840);
    EXPECT_EQ(aux.high, 120);
    EXPECT_EQ(aux.low, 720);

    // Rising before falling: low, high between the edges, low.
    Waveform w = BuildWaveform(2000, 3000, main);
    EXPECT_EQ(w[0], (Segment{1200, 840, 2000, 840}));
    EXPECT_EQ(w[1], (Segment{2000, 240, 2000, 840}));
    EXPECT_EQ(w[2], (Segment{2000, 240, 3000, 240}));
    EXPECT_EQ(w[3], (Segment{3000, 240, 3000, 840}));
    EXPECT_EQ(w[4], (Segment{3000, 840, 4207.5, 840}));
    for (int k = 0; k < 5; ++k) {
        EXPECT_DOUBLE_EQ(w[k + 5].x1, w[k].x1 + 3007.5) << k;
        EXPECT_DOUBLE_EQ(w[k + 5].x2, w[k].x2 + 3007.5) << k;
        EXPECT_EQ(w[k + 5].y1, w[k].y1);
        EXPECT_EQ(w[k + 5].y2, w[k].y2);
    }

    // Rising after falling: high, low between, high again.
    w = BuildWaveform(3500, 2500, aux);
    EXPECT_EQ(w[0], (Segment{1200, 120, 2500, 120}));
    EXPECT_EQ(w[2], (Segment{3500, 720, 2500, 720}));
    EXPECT_EQ(w[4], (Segment{3500, 120, 4207.5, 120}));
    EXPECT_EQ(w[5].y1, 120);
    EXPECT_EQ(w[7].y1, 720);
    EXPECT_EQ(w[9].y1, 120);
    EXPECT_EQ(w[1], (Segment{3500, 120, 3500, 720}));  // edges always span high to low

    // Both edges at one X: low with a high segment of no length.
    w = BuildWaveform(2600, 2600, main);
    EXPECT_EQ(w[0].y1, 840);
    EXPECT_EQ(w[2], (Segment{2600, 240, 2600, 240}));
    EXPECT_EQ(w[4].y1, 840);
}

TEST(PWMDiagram, ModulationArrowsAreCentredOnTheEdgeWithTheirOwnHeads) {
    EXPECT_EQ(ModulationArrow(0, 2000), (Arrow{Segment{1750, 605, 2250, 605}, Segment{1750, 600, 1900, 540},
                                               Segment{1750, 600, 1900, 640}, Segment{2255, 600, 2105, 540},
                                               Segment{2255, 605, 2105, 645}}));
    const Arrow falling = ModulationArrow(13, 4207.5);
    EXPECT_EQ(falling[0], (Segment{3957.5, 455, 4457.5, 455}));
    EXPECT_EQ(ModulationArrow(6, 0)[0].y1, 605);
    EXPECT_EQ(ModulationArrow(7, 0)[0].y1, 455);
}

TEST(PWMDiagram, HitTestIsStrictAndPrefersTheRisingEdge) {
    struct Case {
        double x, rising, falling;
        Edge hit;
    } cases[] = {
        {1901, 2000, 4000, Edge::Rising},  {1900, 2000, 4000, Edge::None},  {2099, 2000, 4000, Edge::Rising},
        {2100, 2000, 4000, Edge::None},    {3950, 2000, 4000, Edge::Falling}, {2050, 2000, 2100, Edge::Rising},
        {2150, 2000, 2100, Edge::Falling}, {3000, 2000, 4000, Edge::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTest(c.x, c.rising, c.falling), c.hit) << c.x;
        EXPECT_EQ(HoverPointer(c.x, c.rising, c.falling), c.hit == Edge::None ? Pointer::Default : Pointer::SizeWE);
    }
}

TEST(PWMDiagram, ClickGrabsClickDrops) {
    EdgeDrag drag;
    drag.MouseDown(3000, 2000, 4000);  // near nothing
    EXPECT_EQ(drag.State(), Edge::None);
    drag.MouseDown(3990, 2000, 4000);
    EXPECT_EQ(drag.State(), Edge::Falling);
    drag.MouseDown(2000, 2000, 4000);  // any click drops, even on the other edge
    EXPECT_EQ(drag.State(), Edge::None);
    drag.MouseDown(1950, 2000, 4000);
    EXPECT_EQ(drag.State(), Edge::Rising);
    drag.MouseDown(9000, 2000, 4000);
    EXPECT_EQ(drag.State(), Edge::None);

    // Green from the grab until a recolouring; a new grab is green again.
    drag.MouseDown(2000, 2000, 4000);
    EXPECT_TRUE(drag.Green());
    drag.Recoloured();
    EXPECT_FALSE(drag.Green());
    EXPECT_EQ(drag.State(), Edge::Rising);
    drag.MouseDown(2000, 2000, 4000);
    EXPECT_FALSE(drag.Green());
    drag.MouseDown(2000, 2000, 4000);
    EXPECT_TRUE(drag.Green());
}

TEST(PWMDiagram, ThePixelHoldingThePeriodEndStandsForIt) {
    EXPECT_EQ(MouseX(4200), kMidX);  // pixel 280, the last one inside the period
    EXPECT_EQ(MouseX(4207.5), kMidX);
    EXPECT_EQ(MouseX(4214.9), kMidX);
    EXPECT_EQ(MouseX(4215), 4215);  // pixel 281 lies past the end
    EXPECT_EQ(MouseX(4185), 4185);
    EXPECT_EQ(MouseX(1200), 1200);
}

TEST(PWMDiagram, NudgesMoveOneStepAndStopAtZeroAndThePeriod) {
    const float step = 0.005f;
    const float period49k = 20.4081631f;
    struct Case {
        const char* label;
        int edge, direction;
        float period;
        const char* result;  // nullptr: refused
        long count;
    } cases[] = {
        {"T1 = .005us", 1, -1, period49k, "T1 = 0us", 0},
        {"T1 = 0us", 1, -1, period49k, nullptr, 0},
        {"T2 = 2.500us", 2, +1, period49k, "T2 = 2.505us", 501},
        {"T2 = 2.505us", 2, -1, period49k, "T2 = 2.5us", 500},
        {"T4 = 20.400us", 4, +1, period49k, "T4 = 20.405us", 4081},
        {"T4 = 20.405us", 4, +1, period49k, nullptr, 0},
        {"T14 = 1.995us", 14, +1, 2.0f, "T14 = 2us", 400},
        {"T14 = 2us", 14, +1, 2.0f, nullptr, 0},
        {"T3 = 1us", 3, +1, 0.0f, nullptr, 0},  // no period known: nothing to move towards
    };
    for (const Case& c : cases) {
        const auto n = Nudge(QString::fromLatin1(c.label), c.edge, c.direction, step, c.period, 3);
        if (!c.result) {
            EXPECT_FALSE(n) << c.label;
            continue;
        }
        ASSERT_TRUE(n) << c.label;
        EXPECT_EQ(n->label, c.result);
        EXPECT_EQ(n->count, c.count) << c.label;
    }
    EXPECT_FALSE(Nudge("T1 = 1us", 1, -1, 0.0f, 2.0f, 3));
}

TEST(PWMDiagram, EdgeLabelsKeepTheirMarginToTheBorder) {
    // 8700 is the last X a label may reach: four pixels inside the one-pixel border at 8760.
    EXPECT_DOUBLE_EQ(kEdgeLabelMinX + kEdgeLabelRoom, 8700);
    EXPECT_DOUBLE_EQ(EdgeLabelLeft(1200), 7320);  // fits at its own place
    EXPECT_DOUBLE_EQ(EdgeLabelLeft(1380), 7320);
    EXPECT_DOUBLE_EQ(EdgeLabelLeft(1395), 7305);
    EXPECT_DOUBLE_EQ(EdgeLabelLeft(1440), 7260);
    EXPECT_DOUBLE_EQ(EdgeLabelLeft(1600), 7260);  // never over the end of the second period
}

TEST(PWMDiagram, SceneColoursFollowDisableAndGrab) {
    OutputView v;
    v.output = 4;
    v.risingX = EdgeCountToX(100, 400);
    v.fallingX = 3000.25;  // wherever the mouse left it, between counts
    v.risingLabel = "T9 = .500us";
    v.fallingLabel = "T10 = 1.500us";
    v.periodLabel = "2us";
    v.grabbed = Edge::Falling;
    v.grabGreen = true;
    Scene s = BuildScene(v);
    EXPECT_FALSE(s.buttonFace);
    // Four dotted lines, the baseline, then the ten waveform segments.
    ASSERT_EQ(s.lines.size(), 15u);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(s.lines[5 + k].rgb, k == 3 ? kGreen : kBlue) << k;
    EXPECT_DOUBLE_EQ(s.lines[5 + 1].at.x1, 1200 + 3007.5 / 4);
    EXPECT_DOUBLE_EQ(s.lines[5 + 3].at.x1, 3000.25);
    ASSERT_EQ(s.texts.size(), 4u);
    EXPECT_EQ(s.texts[2].rgb, kBlack);
    EXPECT_EQ(s.texts[3].rgb, kBlue);
    EXPECT_EQ(s.texts[3].text, "T10 = 1.500us");
    EXPECT_EQ(s.texts[3].x, 7320);
    EXPECT_EQ(s.texts[3].y, 480);

    // Recoloured while grabbed: the line takes the trace's colour, the label keeps the grab's.
    v.grabGreen = false;
    s = BuildScene(v);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(s.lines[5 + k].rgb, kBlue) << k;
    EXPECT_EQ(s.texts[3].rgb, kBlue);

    v.grabbed = Edge::None;
    v.disabled = true;
    v.modRising = true;
    v.modFalling = true;
    s = BuildScene(v);
    EXPECT_TRUE(s.buttonFace);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(s.lines[5 + k].rgb, kBlack);
    ASSERT_EQ(s.lines.size(), 25u);
    EXPECT_EQ(s.lines[15].at, ModulationArrow(4, s.lines[6].at.x1)[0]);
    EXPECT_EQ(s.lines[20].at, ModulationArrow(11, s.lines[8].at.x1)[0]);
    EXPECT_EQ(s.texts[2].rgb, kBlack);
    EXPECT_EQ(OutputColour(0), kRed);
    EXPECT_EQ(OutputColour(3), kRed);
    EXPECT_EQ(OutputColour(6), kBlue);
}

}  // namespace
