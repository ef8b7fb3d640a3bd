#include "app/docking.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kScreen = 1920;
constexpr int kW = 64;
constexpr int kTop = 303;
constexpr int kH = 473;

RECT At(int left) { return RECT{left, kTop, left + kW, kTop + kH}; }

// Applies a decision the way the toolbox does: only the left edge moves.
RECT Apply(const RECT& r, const DockingDecision& d) { return d.move ? At(d.newLeft) : r; }

TEST(Docking, DocksAtTheLeftEdgeWhenThePointerLeaves) {
    const DockingDecision d = DockingStep(At(0), false, false, 500, 500, kScreen);
    EXPECT_TRUE(d.move);
    EXPECT_EQ(d.newLeft, -kW);
    EXPECT_TRUE(d.changeTopmost);
    EXPECT_TRUE(d.topmost);
    EXPECT_TRUE(d.docked);
}

TEST(Docking, DocksAtTheRightEdgeWhenThePointerLeaves) {
    const DockingDecision d = DockingStep(At(kScreen - kW), false, false, 500, 500, kScreen);
    EXPECT_TRUE(d.move);
    EXPECT_EQ(d.newLeft, kScreen + 1);
    EXPECT_TRUE(d.topmost);
    EXPECT_TRUE(d.docked);
}

TEST(Docking, EdgeIsTheOutermostFewPixels) {
    // Left: up to 3 pixels in still counts as the edge.
    EXPECT_TRUE(DockingStep(At(3), false, false, 900, 10, kScreen).docked);
    EXPECT_FALSE(DockingStep(At(4), false, false, 900, 10, kScreen).move);
    // Right: less than 4 pixels of room to the edge.
    EXPECT_TRUE(DockingStep(At(kScreen - kW - 3), false, false, 900, 10, kScreen).docked);
    EXPECT_FALSE(DockingStep(At(kScreen - kW - 4), false, false, 900, 10, kScreen).move);
    // A toolbox hanging over the right edge still docks to the right.
    const DockingDecision over = DockingStep(At(kScreen - kW + 1), false, false, 9, 9, kScreen);
    EXPECT_EQ(over.newLeft, kScreen + 1);
}

TEST(Docking, NeverDocksFromTheMiddleOfTheScreen) {
    const RECT middle = At(800);
    for (POINT p : {POINT{0, 0}, POINT{799, 500}, POINT{1919, 1079}, POINT{900, kTop - 1},
                    POINT{0, kTop + 10}}) {
        const DockingDecision d = DockingStep(middle, false, false, p.x, p.y, kScreen);
        EXPECT_FALSE(d.move) << p.x << "," << p.y;
        EXPECT_FALSE(d.changeTopmost);
        EXPECT_FALSE(d.docked);
    }
}

TEST(Docking, StaysWhileThePointerIsOverIt) {
    EXPECT_FALSE(DockingStep(At(0), false, false, 10, kTop + 100, kScreen).move);
    EXPECT_FALSE(DockingStep(At(0), false, false, 0, kTop, kScreen).move);
    // The rectangle's right and bottom edges are outside it.
    EXPECT_TRUE(DockingStep(At(0), false, false, kW, kTop + 100, kScreen).move);
    EXPECT_TRUE(DockingStep(At(0), false, false, 10, kTop + kH, kScreen).move);
}

TEST(Docking, ComesBackAtTheLeftEdgeWithinItsHeight) {
    const RECT docked = At(-kW);
    for (int x : {0, 1, 2, 3}) {
        const DockingDecision d = DockingStep(docked, true, false, x, kTop + 200, kScreen);
        EXPECT_TRUE(d.move) << x;
        EXPECT_EQ(d.newLeft, 0);
        EXPECT_TRUE(d.changeTopmost);
        EXPECT_FALSE(d.topmost);
        EXPECT_FALSE(d.docked);
    }
    EXPECT_FALSE(DockingStep(docked, true, false, 4, kTop + 200, kScreen).move);
    // Within the height, both ends included; not above or below.
    EXPECT_TRUE(DockingStep(docked, true, false, 1, kTop, kScreen).move);
    EXPECT_TRUE(DockingStep(docked, true, false, 1, kTop + kH, kScreen).move);
    EXPECT_FALSE(DockingStep(docked, true, false, 1, kTop - 1, kScreen).move);
    const DockingDecision below = DockingStep(docked, true, false, 1, kTop + kH + 1, kScreen);
    EXPECT_FALSE(below.move);
    EXPECT_TRUE(below.docked);
}

TEST(Docking, ComesBackAtTheRightEdgeWithinItsHeight) {
    const RECT docked = At(kScreen + 1);
    for (int x : {kScreen - 2, kScreen - 1}) {
        const DockingDecision d = DockingStep(docked, true, false, x, kTop + 5, kScreen);
        EXPECT_TRUE(d.move) << x;
        EXPECT_EQ(d.newLeft, kScreen - kW + 1);
        EXPECT_FALSE(d.docked);
    }
    EXPECT_FALSE(DockingStep(docked, true, false, kScreen - 3, kTop + 5, kScreen).move);
    EXPECT_FALSE(DockingStep(docked, true, false, kScreen - 1, kTop - 1, kScreen).move);
}

TEST(Docking, WithABoardOpenItComesBackStillOnTop) {
    const DockingDecision d = DockingStep(At(-kW), true, true, 2, kTop + 10, kScreen);
    EXPECT_TRUE(d.move);
    EXPECT_EQ(d.newLeft, 0);
    EXPECT_FALSE(d.changeTopmost);  // the board keeps it floating
    EXPECT_FALSE(d.docked);
}

TEST(Docking, RoundTripAtEitherEdgeDoesNotBounce) {
    for (int start : {0, kScreen - kW}) {
        RECT r = At(start);
        bool docked = false;
        // The pointer leaves: out of view.
        DockingDecision d = DockingStep(r, docked, false, 960, 540, kScreen);
        r = Apply(r, d);
        docked = d.docked;
        ASSERT_TRUE(docked);
        EXPECT_TRUE(r.right <= 0 || r.left >= kScreen) << start;
        // The pointer moves along the same edge: back in view.
        const int edgeX = start == 0 ? 0 : kScreen - 1;
        d = DockingStep(r, docked, false, edgeX, kTop + 50, kScreen);
        r = Apply(r, d);
        docked = d.docked;
        ASSERT_FALSE(docked);
        // The pointer that brought it back lies on it: it must not leave again.
        d = DockingStep(r, docked, false, edgeX, kTop + 50, kScreen);
        EXPECT_FALSE(d.move) << start;
        EXPECT_FALSE(d.docked);
    }
}

TEST(Docking, OnSeveralMonitorsOnlyAnOuterEdgeAtItsHeight) {
    const std::vector<RECT> left{{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}},
        low{{0, 0, 1920, 1080}, {-1280, 600, 0, 1080}}, above{{0, 0, 1920, 1080}, {200, -900, 1800, 0}},
        right{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    struct Case {
        const std::vector<RECT>& monitors;
        int left, top;  // the toolbox's corner, whether docked, the pointer
        bool docked;
        POINT p;
        int newLeft;  // 1: stays
    } cases[] = {
        {left, 0, kTop, false, {960, 540}, 1},  // a monitor beyond the primary's edge
        {left, -1280, kTop, false, {960, 540}, -1280 - kW},
        {left, -1280 - kW, kTop, true, {-1279, 500}, -1280},
        {low, 0, 50, false, {960, 540}, -kW},  // the neighbour lies below its height
        {low, 0, 500, false, {960, 540}, 1},
        {above, 200, -600, false, {960, 540}, 200 - kW},
        {right, 1920 - kW, kTop, false, {9, 9}, 1},
        {right, 3201, kTop, true, {3199, 500}, 3200 - kW + 1},
    };
    for (const Case& c : cases) {
        const DockingDecision d = DockingStep(RECT{c.left, c.top, c.left + kW, c.top + kH}, c.docked,
                                              false, c.p.x, c.p.y, c.monitors);
        EXPECT_EQ(d.move ? d.newLeft : 1, c.newLeft) << c.left << "," << c.top;
    }
}

}  // namespace
