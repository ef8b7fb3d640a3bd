#include "shapes/modifiers.h"

#include <gtest/gtest.h>

namespace {

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

struct SnapCase {
    POINT anchor;
    POINT cursor;
    POINT expected;
};

void PrintTo(const SnapCase& c, std::ostream* os) {
    *os << "(" << c.anchor.x << "," << c.anchor.y << ") -> (" << c.cursor.x << "," << c.cursor.y
        << ")";
}

// How a box, a line and a circle take the keys.
constexpr ModifierUse kBox{ShiftSnap::Square, true, true};
constexpr ModifierUse kLine{ShiftSnap::Axes, true, true};
constexpr ModifierUse kArrow{ShiftSnap::Axes, false, true};
constexpr ModifierUse kCircle{ShiftSnap::None, false, true};

}  // namespace

class SnapToAxesCases : public testing::TestWithParam<SnapCase> {};

TEST_P(SnapToAxesCases, CursorLandsOnTheNearestAxisOrDiagonal) {
    const SnapCase& c = GetParam();
    const POINT got = SnapToAxes(c.anchor, c.cursor);
    EXPECT_TRUE(Same(got, c.expected)) << got.x << "," << got.y;
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, SnapToAxesCases,
    testing::Values(SnapCase{{0, 0}, {10, 4}, {10, 0}},
                    // |dy| = |dx| / 2 still counts as horizontal ...
                    SnapCase{{0, 0}, {10, 5}, {10, 0}}, SnapCase{{0, 0}, {10, 6}, {8, 8}},
                    // ... and |dx| = |dy| / 2 as vertical.
                    SnapCase{{0, 0}, {5, 10}, {0, 10}}, SnapCase{{0, 0}, {-10, 6}, {-8, 8}},
                    SnapCase{{0, 0}, {-10, -12}, {-11, -11}},
                    SnapCase{{100, 100}, {90, 130}, {100, 130}},
                    SnapCase{{100, 100}, {40, 110}, {40, 100}},
                    SnapCase{{7, 7}, {7, 7}, {7, 7}}));

class SnapToDiagonalCases : public testing::TestWithParam<SnapCase> {};

TEST_P(SnapToDiagonalCases, BoxBecomesASquareOfTheMeanExtent) {
    const SnapCase& c = GetParam();
    const POINT got = SnapToDiagonal(c.anchor, c.cursor);
    EXPECT_TRUE(Same(got, c.expected)) << got.x << "," << got.y;
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, SnapToDiagonalCases,
    testing::Values(SnapCase{{0, 0}, {10, 20}, {15, 15}}, SnapCase{{0, 0}, {-10, -20}, {-15, -15}},
                    SnapCase{{0, 0}, {10, -20}, {15, -15}}, SnapCase{{0, 0}, {-10, 20}, {-15, 15}},
                    // A zero extent falls into the (-, +) quadrant.
                    SnapCase{{0, 0}, {0, 20}, {-10, 10}}, SnapCase{{0, 0}, {20, 0}, {-10, 10}},
                    SnapCase{{50, 50}, {61, 50}, {45, 55}}));

TEST(Modifiers, MirrorPointReflectsThroughTheCentre) {
    EXPECT_TRUE(Same(MirrorPoint({70, 60}, {50, 50}), POINT{30, 40}));
    EXPECT_TRUE(Same(MirrorPoint({-5, 3}, {0, 0}), POINT{5, -3}));
}

struct StepCase {
    const char* name;
    ModifierUse use;
    HeldKeys keys;
    POINT anchor;
    POINT previous;
    POINT pointer;
    ShapePoints expected;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class ModifierStepCases : public testing::TestWithParam<StepCase> {};

TEST_P(ModifierStepCases, GivesTheShapesPoints) {
    const StepCase& c = GetParam();
    const ShapePoints got = ApplyModifiers(c.anchor, c.previous, c.pointer, c.keys, c.use);
    EXPECT_TRUE(Same(got.anchor, c.expected.anchor)) << got.anchor.x << "," << got.anchor.y;
    EXPECT_TRUE(Same(got.corner, c.expected.corner)) << got.corner.x << "," << got.corner.y;
    EXPECT_TRUE(Same(got.cursor, c.expected.cursor)) << got.cursor.x << "," << got.cursor.y;
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, ModifierStepCases,
    testing::Values(
        StepCase{"no key: the corner is the anchor", kBox, {}, {50, 50}, {70, 60}, {70, 60},
                 {{50, 50}, {50, 50}, {70, 60}}},
        StepCase{"ctrl centres the box", kBox, {false, true, false}, {50, 50}, {70, 60}, {70, 60},
                 {{50, 50}, {30, 40}, {70, 60}}},
        StepCase{"shift squares the box", kBox, {true, false, false}, {0, 0}, {10, 20}, {10, 20},
                 {{0, 0}, {0, 0}, {15, 15}}},
        // Squared first, then mirrored: the square is centred on the anchor.
        StepCase{"shift and ctrl: the square is centred", kBox, {true, true, false}, {50, 50},
                 {60, 70}, {60, 70}, {{50, 50}, {35, 35}, {65, 65}}},
        StepCase{"shift snaps a line", kLine, {true, false, false}, {0, 0}, {10, 6}, {10, 6},
                 {{0, 0}, {0, 0}, {8, 8}}},
        StepCase{"ctrl draws a line through the anchor", kLine, {false, true, false}, {10, 10},
                 {20, 15}, {20, 15}, {{10, 10}, {0, 5}, {20, 15}}},
        StepCase{"ctrl leaves the arrow alone", kArrow, {false, true, false}, {10, 10}, {20, 15},
                 {20, 15}, {{10, 10}, {10, 10}, {20, 15}}},
        StepCase{"shift leaves the circle alone", kCircle, {true, false, false}, {0, 0}, {10, 3},
                 {10, 3}, {{0, 0}, {0, 0}, {10, 3}}},
        StepCase{"space moves the box with the pointer", kBox, {false, false, true}, {0, 0},
                 {10, 10}, {15, 15}, {{5, 5}, {5, 5}, {15, 15}}},
        StepCase{"space with shift snaps from the moved anchor", kBox, {true, false, true}, {0, 0},
                 {10, 20}, {15, 25}, {{5, 5}, {5, 5}, {20, 20}}},
        StepCase{"space moves nothing for a tool that takes no space",
                 ModifierUse{ShiftSnap::None, false, false}, {false, false, true}, {0, 0},
                 {10, 10}, {15, 15}, {{0, 0}, {0, 0}, {15, 15}}}));

// With Shift and Space held the shape follows the pointer exactly: moving the
// pointer away and back returns the anchor to where it was, however far the
// snap moved the cursor on the way.
TEST(Modifiers, ShapeMovedWithShiftHeldDoesNotDrift) {
    const HeldKeys keys{true, false, true};
    POINT anchor{100, 100};
    POINT pointer{130, 190};  // far from square: the snap moves the cursor a lot
    const POINT path[] = {{140, 195}, {150, 170}, {120, 160}, {135, 205}, {130, 190}};
    for (const POINT next : path) {
        const ShapePoints step = ApplyModifiers(anchor, pointer, next, keys, kBox);
        anchor = step.anchor;
        pointer = next;
    }
    EXPECT_TRUE(Same(anchor, POINT{100, 100})) << anchor.x << "," << anchor.y;
}

