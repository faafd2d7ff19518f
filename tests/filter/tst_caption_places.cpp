// Where the Bode plot's moving captions go, with numbers alone: what counts as clear, and which
// place a caption takes when its own is taken.
#include "filter/caption_places.h"

#include <gtest/gtest.h>

namespace {

constexpr PlotBox kBounds{0, 0, 12000, 7000};

TEST(CaptionPlaces, AClearBoxKeepsItsDistanceFromEveryLineAndBox) {
    const PlotBox box{1000, 1000, 600, 165};
    const double c = kCaptionClearance;
    struct Case {
        const char* name;
        PlotObstacles o;
        bool clear;
    };
    const std::vector<Case> cases = {
        {"nothing near", {{}, {}, kBounds}, true},
        {"a line through it", {{{900, 1080, 1700, 1080}}, {}, kBounds}, false},
        {"a line just under it, within the clearance", {{{900, 1165 + c - 1, 1700, 1165 + c - 1}}, {}, kBounds}, false},
        {"a line further under it", {{{900, 1165 + c + 1, 1700, 1165 + c + 1}}, {}, kBounds}, true},
        {"a line ending inside it", {{{1200, 1080, 1200, 900}}, {}, kBounds}, false},
        {"a sloping line passing its corner", {{{1600 + c + 10, 900, 1700 + c + 10, 1000}}, {}, kBounds}, true},
        {"a box beside it, within the clearance", {{}, {{1600 + c - 1, 1000, 200, 165}}, kBounds}, false},
        {"a box beside it, further", {{}, {{1600 + c + 1, 1000, 200, 165}}, kBounds}, true},
        {"reaching out of the bounds", {{}, {}, {0, 0, 1500, 7000}}, false},
    };
    for (const Case& t : cases) EXPECT_EQ(IsClear(box, t.o), t.clear) << t.name;
}

TEST(CaptionPlaces, ACaptionKeepsItsOwnPlaceUnlessAMarkIsThere) {
    const MarkerShape zero{2600, 4100, 165, 165};
    const MarkerCaption caption{QStringLiteral("Zero (.57kHz)"), zero.CentreX(), zero.Top - kCaptionGap, true};
    const double w = 1200, h = 165;
    const std::vector<PlotBox> places = MarkerCaptionPlaces(caption, zero, w, h);
    ASSERT_FALSE(places.empty());
    // Its own place: centred over the marker, its text ending the designed label's height above.
    const PlotBox own = places.front();
    EXPECT_DOUBLE_EQ(own.Left, zero.CentreX() - w / 2);
    EXPECT_DOUBLE_EQ(own.Top, caption.Bottom - kCaptionHeight);
    EXPECT_DOUBLE_EQ(CaptionTop(caption.Bottom, 300), caption.Bottom - 300 - kCaptionTextGap);  // a taller text

    PlotObstacles o{{}, {}, kBounds};
    EXPECT_DOUBLE_EQ(FirstClear(places, o).Left, own.Left);
    // The rising line from the marker to the upper right runs through its own place: it moves
    // left of the marker's centre, still above it.
    o.Lines.push_back({zero.CentreX(), zero.CentreY(), zero.CentreX() + 3000, zero.CentreY() - 915});
    const PlotBox moved = FirstClear(places, o);
    EXPECT_TRUE(IsClear(moved, o));
    EXPECT_LE(moved.Right(), zero.CentreX() + zero.Width / 2);
    EXPECT_LT(moved.Bottom(), zero.Top);
    // Nowhere clear: its own place.
    o.Bounds = {0, 0, 100, 100};
    EXPECT_DOUBLE_EQ(FirstClear(places, o).Left, own.Left);
    EXPECT_DOUBLE_EQ(FirstClear(places, o).Top, own.Top);
}

TEST(CaptionPlaces, TheHFLabelStaysBesideItsLineWithinTheRange) {
    GainRanges g;
    g.HFX = 11615, g.HFY1 = 2352, g.HFY2 = 4368, g.HFLabelTop = g.HFY1 + 50;
    const std::vector<PlotBox> places = HFLabelPlaces(g, 1000, 165);
    ASSERT_GT(places.size(), 2u);
    EXPECT_DOUBLE_EQ(places.front().Top, g.HFLabelTop);
    for (const PlotBox& b : places) {
        EXPECT_LE(b.Right() + kCaptionClearance, g.HFX);
        EXPECT_LE(b.Bottom(), g.HFY2);
    }
    // A flat line just under its own place sends it further down.
    const PlotObstacles o{{{8000, g.HFLabelTop + 200, g.HFX, g.HFLabelTop + 200}}, {}, kBounds};
    EXPECT_GT(FirstClear(places, o).Top, g.HFLabelTop + 200);
}

}  // namespace
