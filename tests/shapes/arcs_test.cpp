#include "shapes/arcs.h"

#include <cmath>

#include <gtest/gtest.h>

#include "shapes/geometry.h"

namespace {

// Degrees of the screen direction centre -> p, counter-clockwise on the
// screen, 0..360.
double ScreenAngle(PointF centre, PointF p) {
    double a = std::atan2(-(static_cast<double>(p.y) - centre.y),
                          static_cast<double>(p.x) - centre.x) *
               180.0 / 3.141592653589793;
    return a < 0 ? a + 360.0 : a;
}

double Normalised(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// True when the arc drawn counter-clockwise from angle `start` to `end`
// passes the direction `a`.
bool SweepCovers(double start, double end, double a) {
    const double span = Normalised(end - start);
    return Normalised(a - start) <= span + 1e-6;
}

// Does the figure (an arc about its centre, drawn counter-clockwise) pass
// through p?
bool ArcPasses(const ArcFigure& f, PointF p) {
    const double start = ScreenAngle(f.centre, f.from);
    const double end = ScreenAngle(f.centre, f.to);
    return SweepCovers(start, end, ScreenAngle(f.centre, p));
}

// A sweep about (100,100) that begins at (150,100), 0 degrees.
ArcState RadiusSweep(ArcTool tool, POINT release = {150, 100}) {
    ArcState arc;
    BeginSweep(arc, tool, {100, 100}, release);
    return arc;
}

}  // namespace

// The first moves only learn the direction; the arc appears once three
// distinct points on the circle are known, turning the way they turn.
TEST(ArcSweep, RadiusArcLearnsItsDirectionFromTheFirstMoves) {
    ArcState arc = RadiusSweep(ArcTool::Radius);
    for (const POINT p : {POINT{150, 90}, POINT{145, 80}, POINT{120, 54}}) {
        EXPECT_EQ(SweepArc(arc, ArcTool::Radius, p, false).kind, ArcFigure::Kind::None)
            << p.x << "," << p.y;
    }
    EXPECT_EQ(arc.directionSamples.size(), 3u);
    const ArcFigure up = SweepArc(arc, ArcTool::Radius, {100, 50}, false);
    ASSERT_EQ(up.kind, ArcFigure::Kind::CircleArc);
    EXPECT_NEAR(up.radius, 50.0, 1e-4);
    EXPECT_NEAR(up.startDeg, 0.0, 1e-4);
    EXPECT_NEAR(up.endDeg, 90.0, 1e-4);
    // Further on the direction holds: at 300 degrees the arc covers 0..300.
    const ArcFigure around = SweepArc(arc, ArcTool::Radius, {125, 143}, false);
    EXPECT_NEAR(around.startDeg, 0.0, 1e-4);
    EXPECT_NEAR(around.endDeg, 300.0, 0.2);
    EXPECT_EQ(arc.directionSamples.size(), 3u);
}

TEST(ArcSweep, ComingBackToTheStartLetsTheNextMovementChooseAgain) {
    ArcState arc = RadiusSweep(ArcTool::Radius);
    for (const POINT p : {POINT{150, 90}, POINT{145, 80}, POINT{120, 54}})
        SweepArc(arc, ArcTool::Radius, p, false);
    // Within one degree of the start: nothing drawn, direction forgotten.
    EXPECT_EQ(SweepArc(arc, ArcTool::Radius, {200, 101}, false).kind, ArcFigure::Kind::None);
    EXPECT_TRUE(arc.directionSamples.empty());
    // Moving down now gives the clockwise arc: drawn from the cursor's 270
    // degrees counter-clockwise up to the start.
    for (const POINT p : {POINT{150, 110}, POINT{145, 120}, POINT{120, 146}})
        EXPECT_EQ(SweepArc(arc, ArcTool::Radius, p, false).kind, ArcFigure::Kind::None);
    const ArcFigure down = SweepArc(arc, ArcTool::Radius, {100, 150}, false);
    ASSERT_EQ(down.kind, ArcFigure::Kind::CircleArc);
    EXPECT_NEAR(Normalised(down.startDeg), 270.0, 1e-4);
    EXPECT_NEAR(Normalised(down.endDeg), 0.0, 1e-4);
}

// The start at 359.7 degrees and the pointer back at 0: less than a degree
// apart across the zero direction, which counts as back at the start too.
TEST(ArcSweep, ReturnAcrossZeroDegreesAlsoResetsTheDirection) {
    ArcState arc;
    BeginSweep(arc, ArcTool::Pie, {100, 100}, {300, 101});
    for (const POINT p : {POINT{300, 60}, POINT{250, 20}, POINT{200, 0}})
        SweepArc(arc, ArcTool::Pie, p, false);
    ASSERT_EQ(arc.directionSamples.size(), 3u);
    EXPECT_EQ(SweepArc(arc, ArcTool::Pie, {300, 100}, false).kind, ArcFigure::Kind::None);
    EXPECT_TRUE(arc.directionSamples.empty());
}

struct SnapCase {
    double angle;
    double snapped;
};

class PieSnapCases : public testing::TestWithParam<SnapCase> {};

TEST_P(PieSnapCases, AngleGoesToTheNearestMultipleOf45) {
    EXPECT_DOUBLE_EQ(SnapAngleTo45(GetParam().angle), GetParam().snapped);
}

INSTANTIATE_TEST_SUITE_P(ArcSweep, PieSnapCases,
                         testing::Values(SnapCase{22.4, 0.0}, SnapCase{22.5, 45.0},
                                         SnapCase{67.4, 45.0}, SnapCase{337.6, 360.0},
                                         SnapCase{-22.5, -45.0}, SnapCase{0.0, 0.0}));

// The pie swept clockwise from 90 degrees with Shift held: the cursor's angle
// (not the start) snaps, 22.4 degrees to 0 and 22.6 to 45.
TEST(ArcSweep, PieWithShiftSnapsTheEndAngle) {
    struct Case {
        POINT cursor;
        double snapped;
    };
    for (const Case c : {Case{{1100, -312}, 0.0}, Case{{1100, -316}, 45.0}}) {
        ArcState arc;
        BeginSweep(arc, ArcTool::Pie, {100, 100}, {100, 50});
        for (const POINT p : {POINT{120, 54}, POINT{145, 80}, POINT{150, 90}})
            SweepArc(arc, ArcTool::Pie, p, true);
        const double raw = AngleOf({100, 100}, ToPointF(c.cursor), true);
        ASSERT_NEAR(raw, c.snapped == 0.0 ? 22.4 : 22.6, 0.05);
        const ArcFigure pie = SweepArc(arc, ArcTool::Pie, c.cursor, true);
        ASSERT_EQ(pie.kind, ArcFigure::Kind::Pie);
        EXPECT_NEAR(Normalised(pie.startDeg), c.snapped, 1e-4);
        EXPECT_NEAR(pie.endDeg, 90.0, 1e-4);
        EXPECT_NEAR(pie.radius, 50.0, 1e-4);
    }
}

struct ThreePointCase {
    const char* name;
    POINT end1;
    POINT end2;
    POINT cursor;
    bool straight;
};

void PrintTo(const ThreePointCase& c, std::ostream* os) { *os << c.name; }

class ThreePointArcCases : public testing::TestWithParam<ThreePointCase> {};

TEST_P(ThreePointArcCases, ArcRunsFromEndToEndThroughTheCursor) {
    const ThreePointCase& c = GetParam();
    ArcState arc;
    BeginSweep(arc, ArcTool::ThreePoint, c.end1, c.end2);
    const ArcFigure f = SweepArc(arc, ArcTool::ThreePoint, c.cursor, false);
    const PointF e1 = ToPointF(c.end1), e2 = ToPointF(c.end2), q = ToPointF(c.cursor);
    if (c.straight) {
        ASSERT_EQ(f.kind, ArcFigure::Kind::Line);
        EXPECT_FLOAT_EQ(f.from.x, e1.x);
        EXPECT_FLOAT_EQ(f.to.x, e2.x);
        return;
    }
    ASSERT_EQ(f.kind, ArcFigure::Kind::CenterArc);
    // Both ends and the cursor on the circle, and the cursor on the drawn part.
    for (const PointF p : {e1, e2, q}) EXPECT_NEAR(Distance(f.centre, p), f.radius, 1e-3 * f.radius);
    const bool endsMatch = (f.from.x == e1.x && f.to.x == e2.x) || (f.from.x == e2.x && f.to.x == e1.x);
    EXPECT_TRUE(endsMatch);
    EXPECT_TRUE(ArcPasses(f, q));
}

INSTANTIATE_TEST_SUITE_P(
    ArcSweep, ThreePointArcCases,
    testing::Values(ThreePointCase{"upper half", {-10, 0}, {10, 0}, {0, -10}, false},
                    ThreePointCase{"lower half", {-10, 0}, {10, 0}, {0, 10}, false},
                    ThreePointCase{"long way round", {100, 100}, {120, 100}, {110, 180}, false},
                    ThreePointCase{"cursor on the chord", {-10, 0}, {10, 0}, {0, 0}, true},
                    ThreePointCase{"cursor on the chord's line", {-10, 0}, {10, 0}, {30, 0}, true},
                    ThreePointCase{"cursor on an end", {-10, 0}, {10, 0}, {10, 0}, true},
                    // Radius about 5e5: still an arc.
                    ThreePointCase{"flat but sane", {-10000, 0}, {10000, 0}, {0, 100}, false},
                    // Radius about 5e7: the chord, not a box near the 32-bit limit.
                    ThreePointCase{"nearly collinear", {-10000, 0}, {10000, 0}, {0, 1}, true}));

