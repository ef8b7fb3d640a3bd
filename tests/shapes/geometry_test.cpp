#include "shapes/geometry.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

PointF P(float x, float y) { return PointF{x, y}; }

}  // namespace

// ---- AngleOf: screen orientation unflipped, mathematical orientation flipped ----

TEST(GeometryAngleOf, AxisDirections) {
    // The ten-digit pi puts 90 at 90.0000000026: near, not equal.
    EXPECT_NEAR(AngleOf(P(0, 0), P(10, 0), false), 0.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(10, 0), true), 0.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(0, 10), false), 90.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(0, 10), true), 270.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(-10, 0), false), 180.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(-10, 0), true), 180.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(0, -10), false), 270.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(0, -10), true), 90.0, 1e-6);
}

TEST(GeometryAngleOf, EqualPointsGiveZeroNotNaN) {
    EXPECT_EQ(AngleOf(P(3, 4), P(3, 4), false), 0.0);
    EXPECT_EQ(AngleOf(P(3, 4), P(3, 4), true), 0.0);
}

TEST(GeometryAngleOf, EachQuadrantOnScreenAndFlipped) {
    // Down-right on the screen is +45 in screen orientation, 315 mathematically.
    EXPECT_NEAR(AngleOf(P(0, 0), P(10, 10), false), 45.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(10, 10), true), 315.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(-10, 10), false), 135.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(-10, 10), true), 225.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(-10, -10), false), 225.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(-10, -10), true), 135.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(10, -10), false), 315.0, 1e-6);
    EXPECT_NEAR(AngleOf(P(0, 0), P(10, -10), true), 45.0, 1e-6);
}

TEST(GeometryAngleOf, AlwaysWithinZeroTo360AllAround) {
    for (int deg = 0; deg < 360; deg += 7) {
        const double t = deg * 3.141592653589793 / 180.0;
        const PointF to = P(static_cast<float>(100 * std::cos(t)),
                            static_cast<float>(100 * std::sin(t)));
        for (bool flip : {false, true}) {
            const double a = AngleOf(P(0, 0), to, flip);
            EXPECT_GE(a, 0.0) << deg;
            EXPECT_LT(a, 360.0) << deg;
        }
        // Screen orientation measures the same angle the point was made with.
        EXPECT_NEAR(AngleOf(P(0, 0), to, false), deg, 1e-3) << deg;
    }
}

TEST(GeometryAngleOf, UsesTheTenDigitPi) {
    // atan(1) * 180 / 3.1415926535 is a hair above 45; the full-precision pi
    // would give 45 exactly.
    const double expected = std::atan(1.0) * 180.0 / 3.1415926535;
    EXPECT_EQ(AngleOf(P(0, 0), P(5, 5), false), expected);
    EXPECT_NE(expected, 45.0);
}

// ---- PointOnCircle ----

TEST(GeometryPointOnCircle, FlipDecidesWhichWayIsUp) {
    const PointF up = PointOnCircle(P(100, 100), 50, 90, true);
    EXPECT_NEAR(up.x, 100.0f, 1e-4f);
    EXPECT_NEAR(up.y, 50.0f, 1e-4f);
    const PointF down = PointOnCircle(P(100, 100), 50, 90, false);
    EXPECT_NEAR(down.x, 100.0f, 1e-4f);
    EXPECT_NEAR(down.y, 150.0f, 1e-4f);
}

TEST(GeometryPointOnCircle, InvertsAngleOfWithTheSameFlag) {
    const PointF centre = P(40, -20);
    const PointF points[] = {P(73, 5), P(-12, 9), P(40, -90), P(-3, -44)};
    for (const PointF p : points) {
        for (bool flip : {false, true}) {
            const PointF back =
                PointOnCircle(centre, Distance(centre, p), AngleOf(centre, p, flip), flip);
            EXPECT_NEAR(back.x, p.x, 1e-3f);
            EXPECT_NEAR(back.y, p.y, 1e-3f);
        }
    }
}

// ---- Distance, Orientation, SideOf ----

TEST(GeometryDistance, PythagoreanAndSymmetric) {
    EXPECT_DOUBLE_EQ(Distance(P(0, 0), P(3, 4)), 5.0);
    EXPECT_DOUBLE_EQ(Distance(P(3, 4), P(0, 0)), 5.0);
    EXPECT_DOUBLE_EQ(Distance(P(-2, -2), P(-2, -2)), 0.0);
}

TEST(GeometryOrientation, NegatedIsPositiveForCounterClockwiseOnScreen) {
    // Right, then up on the screen (y decreasing): a left, counter-clockwise turn.
    EXPECT_GT(Orientation(P(0, 0), P(10, 0), P(10, -10), true), 0.0f);
    EXPECT_LT(Orientation(P(0, 0), P(10, 0), P(10, 10), true), 0.0f);
    EXPECT_FLOAT_EQ(Orientation(P(0, 0), P(10, 0), P(10, -10), true), 100.0f);
    EXPECT_FLOAT_EQ(Orientation(P(0, 0), P(10, 0), P(10, -10), false), -100.0f);
    EXPECT_FLOAT_EQ(Orientation(P(0, 0), P(5, 5), P(10, 10), true), 0.0f);
}

TEST(GeometrySideOf, SignTellsTheSideOfTheLineThroughQAndR) {
    // Line q-r along y = 0 from (10,0) to (20,0).
    EXPECT_FLOAT_EQ(SideOf(P(0, 5), P(10, 0), P(20, 0)), -50.0f);
    EXPECT_FLOAT_EQ(SideOf(P(0, -5), P(10, 0), P(20, 0)), 50.0f);
    EXPECT_FLOAT_EQ(SideOf(P(30, 0), P(10, 0), P(20, 0)), 0.0f);
}

// ---- CircleThroughPoints ----

TEST(GeometryCircleThroughPoints, RightTriangleNeedsTwoRotations) {
    PointF centre{};
    float radius = 0;
    ASSERT_TRUE(CircleThroughPoints(P(0, 0), P(10, 0), P(0, 10), centre, radius));
    EXPECT_FLOAT_EQ(centre.x, 5.0f);
    EXPECT_FLOAT_EQ(centre.y, 5.0f);
    EXPECT_FLOAT_EQ(radius, static_cast<float>(std::sqrt(50.0)));
}

TEST(GeometryCircleThroughPoints, AnyTriangleGivesEquidistantCentre) {
    const PointF a = P(13, -7), b = P(91, 40), c = P(-25, 66);
    PointF centre{};
    float radius = 0;
    ASSERT_TRUE(CircleThroughPoints(a, b, c, centre, radius));
    for (const PointF p : {a, b, c}) EXPECT_NEAR(Distance(centre, p), radius, 1e-2);
}

TEST(GeometryCircleThroughPoints, CollinearOrCoincidentFailsAndLeavesOutputs) {
    PointF centre = P(-1, -2);
    float radius = 42;
    EXPECT_FALSE(CircleThroughPoints(P(0, 0), P(5, 5), P(10, 10), centre, radius));
    EXPECT_FALSE(CircleThroughPoints(P(0, 0), P(0, 0), P(10, 3), centre, radius));
    EXPECT_FALSE(CircleThroughPoints(P(1, 1), P(1, 1), P(1, 1), centre, radius));
    EXPECT_EQ(centre.x, -1.0f);
    EXPECT_EQ(centre.y, -2.0f);
    EXPECT_EQ(radius, 42.0f);
}

// ---- LineIntersection ----

TEST(GeometryLineIntersection, CrossingOfTheLinesNotOnlyOfTheSegments) {
    PointF x{};
    ASSERT_TRUE(LineIntersection(P(0, 0), P(10, 10), P(0, 10), P(10, 0), x));
    EXPECT_FLOAT_EQ(x.x, 5.0f);
    EXPECT_FLOAT_EQ(x.y, 5.0f);
    ASSERT_TRUE(LineIntersection(P(0, 0), P(1, 0), P(5, 5), P(5, 6), x));
    EXPECT_FLOAT_EQ(x.x, 5.0f);
    EXPECT_FLOAT_EQ(x.y, 0.0f);
}

TEST(GeometryLineIntersection, ParallelLinesFailAndLeaveTheOutput) {
    PointF x = P(7, 8);
    EXPECT_FALSE(LineIntersection(P(0, 0), P(10, 0), P(0, 5), P(10, 5), x));
    EXPECT_FALSE(LineIntersection(P(0, 0), P(10, 10), P(5, 5), P(20, 20), x));  // same line
    EXPECT_EQ(x.x, 7.0f);
    EXPECT_EQ(x.y, 8.0f);
}

// ---- conversions ----

TEST(GeometryToPixel, TruncatesTowardZero) {
    const POINT a = ToPixel(P(-1.7f, 2.9f));
    EXPECT_EQ(a.x, -1);
    EXPECT_EQ(a.y, 2);
    const POINT b = ToPixel(P(56.99f, -0.5f));
    EXPECT_EQ(b.x, 56);
    EXPECT_EQ(b.y, 0);
}
