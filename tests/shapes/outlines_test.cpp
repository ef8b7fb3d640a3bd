#include "shapes/outlines.h"

#include <cmath>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "board/shape_drawing.h"
#include "shapes/geometry.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kRed = 0x0000FF;

double Length(POINT a, POINT b) {
    return std::hypot(double(b.x - a.x), double(b.y - a.y));
}

// Direction of b seen from a in degrees, screen orientation.
double Direction(POINT a, POINT b) {
    return std::atan2(double(b.y - a.y), double(b.x - a.x)) * 180.0 / 3.141592653589793;
}

double AngleBetween(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

// A white canvas with a one-pixel black pen and a hollow brush.
struct WhiteCanvas {
    Canvas canvas;
    explicit WhiteCanvas(int w = 240, int h = 240) {
        canvas.Create(w, h, kWhite);
        canvas.PenWidth(0);
        canvas.PenStyle(0);
        canvas.PenColor(kBlack);
        canvas.BrushStyle(0);
    }
    // True when p or one of its 8 neighbours has the colour (one-pixel lines
    // may be rasterised a pixel to either side of the exact point).
    bool Near(POINT p, COLORREF color) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (canvas.GetPixel(p.x + dx, p.y + dy) == color) return true;
        return false;
    }
};

POINT Mid(POINT a, POINT b) { return POINT{(a.x + b.x) / 2, (a.y + b.y) / 2}; }

}  // namespace

// ---- arrow head ----

TEST(OutlineArrow, ShortShaftGetsBarbsAsLongAsTheShaft) {
    const POINT tail{100, 100}, tip{112, 100};
    const ArrowHead head = ArrowHeadPoints(tail, tip, 20, 20);
    EXPECT_EQ(head.length, 12);
    EXPECT_NEAR(Length(head.barb1, tip), 12.0, 1.5);
    EXPECT_NEAR(Length(head.barb2, tip), 12.0, 1.5);
    // The head never reaches past the tail.
    EXPECT_GE(head.barb1.x, tail.x);
    EXPECT_GE(head.barb2.x, tail.x);
}

TEST(OutlineArrow, LongShaftGetsBarbsOfTheArrowLength) {
    const POINT tail{0, 0}, tip{60, 80};  // 100 pixels
    const ArrowHead head = ArrowHeadPoints(tail, tip, 20, 20);
    EXPECT_EQ(head.length, 20);
    EXPECT_NEAR(Length(head.barb1, tip), 20.0, 1.5);
    EXPECT_NEAR(Length(head.barb2, tip), 20.0, 1.5);
}

TEST(OutlineArrow, ShaftEqualToTheArrowLengthUsesTheShaft) {
    const ArrowHead exact = ArrowHeadPoints(POINT{0, 0}, POINT{20, 0}, 20, 20);
    EXPECT_EQ(exact.length, 20);
    // sqrt(117) = 10.8 pixels truncates to 10.
    const ArrowHead fraction = ArrowHeadPoints(POINT{0, 0}, POINT{9, 6}, 20, 20);
    EXPECT_EQ(fraction.length, 10);
}

TEST(OutlineArrow, BarbsOpenAtTheArrowAngleOnEitherSideOfTheShaft) {
    const POINT tail{30, 250}, tip{230, 50};
    const ArrowHead head = ArrowHeadPoints(tail, tip, 100, 30);
    const double back = Direction(tip, tail);
    EXPECT_NEAR(AngleBetween(Direction(tip, head.barb1), back), 30.0, 1.0);
    EXPECT_NEAR(AngleBetween(Direction(tip, head.barb2), back), 30.0, 1.0);
    EXPECT_NEAR(AngleBetween(Direction(tip, head.barb1), Direction(tip, head.barb2)), 60.0, 1.5);
}

TEST(OutlineArrow, ZeroLengthDragPutsBothBarbsOnTheTip) {
    const ArrowHead head = ArrowHeadPoints(POINT{50, 50}, POINT{50, 50}, 20, 20);
    EXPECT_EQ(head.length, 0);
    EXPECT_EQ(head.barb1.x, 50);
    EXPECT_EQ(head.barb1.y, 50);
    EXPECT_EQ(head.barb2.x, 50);
    EXPECT_EQ(head.barb2.y, 50);
}

TEST(OutlineArrow, DrawsTheShaftAndTwoOpenBarbs) {
    WhiteCanvas w;
    DrawArrow(w.canvas, POINT{20, 100}, POINT{120, 100}, 20, 20);
    EXPECT_EQ(w.canvas.GetPixel(60, 100), kBlack);  // shaft
    // Barb ends: 120 + 20cos200 = 101.2, 100 -+ 20sin20 = 93.2 / 106.8.
    EXPECT_TRUE(w.Near(POINT{101, 93}, kBlack));
    EXPECT_TRUE(w.Near(POINT{101, 106}, kBlack));
    // Two strokes, not a filled triangle: inside the head stays white.
    EXPECT_EQ(w.canvas.GetPixel(106, 97), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(106, 103), kWhite);
}

// ---- rectangle with table lines ----

TEST(OutlineTable, TwoRowsSplitTheHeightIntoThirds) {
    const POINT corner{0, 0}, cursor{90, 30};
    const Segment r1 = TableRowLine(corner, cursor, 2, 1);
    const Segment r2 = TableRowLine(corner, cursor, 2, 2);
    EXPECT_EQ(r1.from.y, 10);
    EXPECT_EQ(r2.from.y, 20);
    EXPECT_EQ(r1.from.x, 0);
    EXPECT_EQ(r1.to.x, 90);
    EXPECT_EQ(r2.to.y, 20);
}

TEST(OutlineTable, DraggedUpwardsTheLinesStillCountFromTheTop) {
    const POINT corner{90, 60}, cursor{0, 0};
    EXPECT_EQ(TableRowLine(corner, cursor, 2, 1).from.y, 20);
    EXPECT_EQ(TableRowLine(corner, cursor, 2, 2).from.y, 40);
    EXPECT_EQ(TableColumnLine(corner, cursor, 1, 1).from.x, 45);
    // Lines run from the corner's side to the cursor's side.
    EXPECT_EQ(TableRowLine(corner, cursor, 2, 1).from.x, 90);
    EXPECT_EQ(TableRowLine(corner, cursor, 2, 1).to.x, 0);
    EXPECT_EQ(TableColumnLine(corner, cursor, 1, 1).from.y, 60);
}

TEST(OutlineTable, FractionalPositionsTruncateTowardZero) {
    // Height 10 in 4 bands: 2.5, 5, 7.5 -> 2, 5, 7.
    EXPECT_EQ(TableRowLine(POINT{0, 0}, POINT{50, 10}, 3, 1).from.y, 2);
    EXPECT_EQ(TableRowLine(POINT{0, 0}, POINT{50, 10}, 3, 3).from.y, 7);
    // Above the window edge: -10 + 9/2 = -5.5 -> -5 (toward zero, not -6).
    EXPECT_EQ(TableRowLine(POINT{0, -10}, POINT{50, -1}, 1, 1).from.y, -5);
}

TEST(OutlineTable, DrawsBoxAndEvenlySpacedInnerLines) {
    WhiteCanvas w;
    DrawTableRectangle(w.canvas, POINT{10, 10}, POINT{100, 70}, 2, 1);
    // Rows at 10 + 60/3 = 30 and 50; the column at 10 + 90/2 = 55.
    for (int y : {30, 50}) {
        EXPECT_EQ(w.canvas.GetPixel(40, y), kBlack) << y;
        EXPECT_EQ(w.canvas.GetPixel(40, y - 1), kWhite) << y;
        EXPECT_EQ(w.canvas.GetPixel(40, y + 1), kWhite) << y;
    }
    EXPECT_EQ(w.canvas.GetPixel(55, 40), kBlack);
    EXPECT_EQ(w.canvas.GetPixel(54, 40), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(56, 40), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(10, 40), kBlack);  // the box
    EXPECT_EQ(w.canvas.GetPixel(30, 20), kWhite);  // a hollow cell
}

TEST(OutlineTable, HugeCountsStillFillTheBoxWithoutGaps) {
    // More lines than pixels: every row of the inside ends up drawn.
    WhiteCanvas w;
    DrawTableRectangle(w.canvas, POINT{10, 10}, POINT{60, 30}, 100000, 0);
    for (int y = 11; y < 29; ++y) EXPECT_EQ(w.canvas.GetPixel(30, y), kBlack) << y;
}

// ---- circle ----

TEST(OutlineCircle, DragIsADiameterWithAnUnroundedCentre) {
    const CircleSpec c = CircleFromDrag(POINT{0, 0}, POINT{3, 0}, false);
    EXPECT_DOUBLE_EQ(c.cx, 1.5);
    EXPECT_DOUBLE_EQ(c.cy, 0.0);
    EXPECT_DOUBLE_EQ(c.radius, 1.5);
}

TEST(OutlineCircle, CentredOnTheAnchorThroughTheCursor) {
    const CircleSpec c = CircleFromDrag(POINT{10, 10}, POINT{13, 14}, true);
    EXPECT_DOUBLE_EQ(c.cx, 10.0);
    EXPECT_DOUBLE_EQ(c.cy, 10.0);
    EXPECT_DOUBLE_EQ(c.radius, 5.0);
}

TEST(OutlineCircle, EmptyDragGivesRadiusZero) {
    EXPECT_DOUBLE_EQ(CircleFromDrag(POINT{0, 0}, POINT{0, 0}, false).radius, 0.0);
    EXPECT_DOUBLE_EQ(CircleFromDrag(POINT{0, 0}, POINT{0, 0}, true).radius, 0.0);
}

// ---- regular polygon and star ----

TEST(OutlinePolygon, HexagonVerticesEverySixtyDegreesCounterClockwise) {
    std::vector<PointF> real;
    std::vector<POINT> px;
    RegularPolygonVertices(POINT{100, 100}, POINT{150, 100}, 6, real, px);
    ASSERT_EQ(px.size(), 6u);
    ASSERT_EQ(real.size(), 6u);
    const POINT expected[6] = {{150, 100}, {125, 56}, {75, 56}, {50, 100}, {75, 143}, {125, 143}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(px[i].x, expected[i].x) << i;
        EXPECT_EQ(px[i].y, expected[i].y) << i;
        EXPECT_NEAR(Distance(PointF{100, 100}, real[i]), 50.0, 1e-3) << i;
    }
    // y = 100 - 50 sin 60 = 56.70..., kept unrounded in the real list.
    EXPECT_NEAR(real[1].y, 56.699f, 1e-3f);
}

TEST(OutlinePolygon, FirstVertexFollowsTheCursorWhereverItIs) {
    std::vector<PointF> real;
    std::vector<POINT> px;
    RegularPolygonVertices(POINT{100, 100}, POINT{70, 140}, 5, real, px);
    ASSERT_EQ(px.size(), 5u);
    EXPECT_NEAR(real[0].x, 70.0f, 1e-3f);
    EXPECT_NEAR(real[0].y, 140.0f, 1e-3f);
    for (const PointF& v : real) EXPECT_NEAR(Distance(PointF{100, 100}, v), 50.0, 1e-3);
}

TEST(OutlinePolygon, ListsAreRefilledNotAppended) {
    std::vector<PointF> real;
    std::vector<POINT> px;
    RegularPolygonVertices(POINT{0, 0}, POINT{10, 0}, 7, real, px);
    RegularPolygonVertices(POINT{0, 0}, POINT{10, 0}, 3, real, px);
    EXPECT_EQ(real.size(), 3u);
    EXPECT_EQ(px.size(), 3u);
}

TEST(OutlineStar, FivePointsDrawOnePentagramFilledByWinding) {
    WhiteCanvas w;
    w.canvas.BrushStyle(7);
    w.canvas.BrushColor(kRed);
    w.canvas.PolyFillMode(2);
    std::vector<PointF> real;
    std::vector<POINT> px;
    DrawRegularPolygon(w.canvas, POINT{120, 120}, POINT{120, 20}, 5, true, real, px);
    ASSERT_EQ(px.size(), 5u);
    EXPECT_TRUE(w.Near(Mid(px[0], px[2]), kBlack));     // a star edge
    EXPECT_TRUE(w.Near(Mid(px[0], px[3]), kBlack));
    EXPECT_FALSE(w.Near(Mid(px[0], px[1]), kBlack));    // no polygon side
    EXPECT_EQ(w.canvas.GetPixel(120, 120), kRed);       // the centre, by winding
}

TEST(OutlineStar, SixPointsDrawTwoTriangles) {
    WhiteCanvas w;
    std::vector<PointF> real;
    std::vector<POINT> px;
    DrawRegularPolygon(w.canvas, POINT{120, 120}, POINT{220, 120}, 6, true, real, px);
    ASSERT_EQ(px.size(), 6u);
    // Triangle 0-2-4 and triangle 1-3-5.
    for (auto [a, b] : {std::pair{0, 2}, {2, 4}, {4, 0}, {1, 3}, {3, 5}, {5, 1}})
        EXPECT_TRUE(w.Near(Mid(px[a], px[b]), kBlack)) << a << "-" << b;
    // Neither the hexagon's sides nor its diameters.
    EXPECT_FALSE(w.Near(Mid(px[0], px[1]), kBlack));
    EXPECT_FALSE(w.Near(Mid(px[2], px[3]), kBlack));
    EXPECT_EQ(w.canvas.GetPixel(120, 120), kWhite);
}

TEST(OutlinePolygon, DrawsTheClosedPolygonThroughItsVertices) {
    WhiteCanvas w;
    std::vector<PointF> real;
    std::vector<POINT> px;
    DrawRegularPolygon(w.canvas, POINT{120, 120}, POINT{220, 120}, 6, false, real, px);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(w.Near(Mid(px[i], px[(i + 1) % 6]), kBlack)) << i;
    EXPECT_FALSE(w.Near(Mid(px[0], px[2]), kBlack));
}

// ---- crosshair ----

TEST(OutlineCrosshair, OnePixelSolidCrossAndThePenWidthComesBack) {
    WhiteCanvas w;
    w.canvas.PenWidth(5);
    w.canvas.PenStyle(1);  // a dashed guide pen left over must not dash the cross
    DrawCrosshair(w.canvas, POINT{50, 60}, 10, 5);
    for (int x = 40; x <= 60; ++x) EXPECT_EQ(w.canvas.GetPixel(x, 60), kBlack) << x;
    for (int y = 50; y <= 70; ++y) EXPECT_EQ(w.canvas.GetPixel(50, y), kBlack) << y;
    EXPECT_EQ(w.canvas.GetPixel(39, 60), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(61, 60), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(50, 49), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(50, 71), kWhite);
    EXPECT_EQ(w.canvas.GetPixel(45, 59), kWhite);  // one pixel thick
    EXPECT_EQ(w.canvas.GetPixel(45, 61), kWhite);
    EXPECT_EQ(w.canvas.PenWidth(), 5);
}
