// Shapes, arcs, curves, stars and fills drawn through the canvas, checked by
// the pixels they leave.

#include <windows.h>

#include <array>
#include <cmath>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/canvas_draw_test_support.h"

using namespace canvas_test;

namespace {

// A canvas on white with a black pen and a solid red brush.
void MakeRedBrushCanvas(Canvas& c, int w, int h) {
    ASSERT_TRUE(c.Create(w, h, kWhite));
    c.PenColor(kBlack);
    c.BrushStyle(kBrushSolid);
    c.BrushColor(kRed);
}

// The vertices of a regular n-gon, the first one straight up.
std::vector<POINT> RegularPolygon(int n, double cx, double cy, double r) {
    std::vector<POINT> pts;
    for (int i = 0; i < n; ++i) {
        const double a = 3.14159265358979 / 2 + 2 * 3.14159265358979 * i / n;
        pts.push_back(POINT{static_cast<LONG>(std::lround(cx + r * std::cos(a))),
                            static_cast<LONG>(std::lround(cy - r * std::sin(a)))});
    }
    return pts;
}

// A regular star of n vertices drawn on a fresh red-brush canvas of
// side x side, centred, its tips 10 pixels in from the edges; its vertices.
std::vector<POINT> DrawRegularStar(Canvas& c, int n, int side) {
    MakeRedBrushCanvas(c, side, side);
    const auto pts = RegularPolygon(n, side / 2, side / 2, side / 2 - 10);
    c.StarPolygon(pts);
    return pts;
}

POINT Mid(POINT a, POINT b) { return POINT{(a.x + b.x) / 2, (a.y + b.y) / 2}; }
POINT Lerp(POINT a, POINT b, double t) {
    return POINT{static_cast<LONG>(std::lround(a.x + (b.x - a.x) * t)),
                 static_cast<LONG>(std::lround(a.y + (b.y - a.y) * t))};
}

}  // namespace

// ------------------------------------------------------------- StarWalk --

TEST(StarWalk, FiveVerticesMakeTheFivePointedStar) {
    EXPECT_EQ(StarWalk(5), (std::vector<std::vector<int>>{{0, 2, 4, 1, 3}}));
}

TEST(StarWalk, SixVerticesMakeTwoTriangles) {
    EXPECT_EQ(StarWalk(6), (std::vector<std::vector<int>>{{0, 2, 4}, {1, 3, 5}}));
}

TEST(StarWalk, EightVerticesMakeOneOctagramWithStepThree) {
    EXPECT_EQ(StarWalk(8), (std::vector<std::vector<int>>{{0, 3, 6, 1, 4, 7, 2, 5}}));
}

TEST(StarWalk, TenVerticesMakeTwoPentagrams) {
    EXPECT_EQ(StarWalk(10), (std::vector<std::vector<int>>{{0, 4, 8, 2, 6}, {1, 5, 9, 3, 7}}));
}

TEST(StarWalk, FourVerticesKeepTheQuadrilateral) {
    EXPECT_EQ(StarWalk(4), (std::vector<std::vector<int>>{{0, 1, 2, 3}}));
    EXPECT_EQ(StarWalk(3), (std::vector<std::vector<int>>{{0, 1, 2}}));
}

TEST(StarWalk, EveryVertexIsUsedOnceForAnyCount) {
    for (int n = 3; n <= 60; ++n) {
        const auto polygons = StarWalk(n);
        std::multiset<int> seen;
        for (const auto& p : polygons) seen.insert(p.begin(), p.end());
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(n)) << n;
        for (int v = 0; v < n; ++v) EXPECT_EQ(seen.count(v), 1u) << "n " << n << " vertex " << v;
        ASSERT_LE(polygons.size(), 2u) << n;
        if (polygons.size() == 2) {
            EXPECT_EQ(polygons[0].size(), polygons[1].size()) << n;
        }
    }
}

TEST(StarWalk, DegenerateCountsGiveNoRepeatedVertex) {
    EXPECT_TRUE(StarWalk(0).empty());
    EXPECT_TRUE(StarWalk(-3).empty());
    EXPECT_EQ(StarWalk(1), (std::vector<std::vector<int>>{{0}}));
    EXPECT_EQ(StarWalk(2), (std::vector<std::vector<int>>{{0, 1}}));
}

// ---------------------------------------------------- StarPolygon pixels --

TEST(CanvasDrawStar, FivePointedStarLeavesItsCentreOpenUnderAlternateFill) {
    Canvas c;
    MakeRedBrushCanvas(c, 200, 200);
    const auto pts = RegularPolygon(5, 100, 100, 90);
    EXPECT_EQ(c.PolyFillMode(), ALTERNATE);
    c.StarPolygon(pts);
    // A tip is filled, the inner pentagon is crossed twice and stays empty.
    const POINT tip = Lerp(POINT{100, 100}, pts[0], 0.8);
    EXPECT_EQ(c.GetPixel(tip.x, tip.y), kRed);
    EXPECT_EQ(c.GetPixel(100, 100), kWhite);
    // The pentagon's own edges are not drawn.
    const POINT edge = Mid(pts[0], pts[1]);
    EXPECT_EQ(c.GetPixel(edge.x, edge.y), kWhite);
    // The star's edge 1 -> 3 is.
    const POINT chord = Lerp(pts[0], pts[2], 0.15);
    EXPECT_TRUE(ColorNear(c, chord.x, chord.y, 1, kBlack));

    // Winding fill closes the centre.
    EXPECT_EQ(c.PolyFillMode(WINDING), ALTERNATE);
    c.StarPolygon(pts);
    EXPECT_EQ(c.GetPixel(100, 100), kRed);
}

TEST(CanvasDrawStar, SixVerticesDrawTwoTriangles) {
    Canvas c;
    const auto pts = DrawRegularStar(c, 6, 200);
    // Two separate triangles overlap in the middle: under alternate fill the
    // overlap stays open, the six tips are filled.
    EXPECT_EQ(c.GetPixel(100, 100), kWhite);
    for (const POINT& v : pts) {
        const POINT tip = Lerp(POINT{100, 100}, v, 0.8);
        EXPECT_EQ(c.GetPixel(tip.x, tip.y), kRed) << v.x << "," << v.y;
    }
    const POINT edge = Mid(pts[0], pts[1]);
    EXPECT_EQ(c.GetPixel(edge.x, edge.y), kWhite);
}

TEST(CanvasDrawStar, EightVerticesDrawOneOctagramWithStepThree) {
    Canvas c;
    const auto pts = DrawRegularStar(c, 8, 200);
    // {8/3}: the centre is wound three times (odd), so alternate fill paints
    // it; two squares {8/2} would leave it open.
    EXPECT_EQ(c.GetPixel(100, 100), kRed);
    const POINT chord = Lerp(pts[0], pts[3], 0.1);
    EXPECT_TRUE(ColorNear(c, chord.x, chord.y, 1, kBlack));
    const POINT square = Lerp(pts[0], pts[2], 0.5);  // a {8/2} edge, inside the fill
    EXPECT_FALSE(ColorNear(c, square.x, square.y, 0, kBlack));
    const POINT edge = Mid(pts[0], pts[1]);
    EXPECT_EQ(c.GetPixel(edge.x, edge.y), kWhite);
}

TEST(CanvasDrawStar, TenVerticesDrawTwoPentagrams) {
    Canvas c;
    const auto pts = DrawRegularStar(c, 10, 240);
    // Each pentagram winds its centre twice: four in all, even, so open.
    EXPECT_EQ(c.GetPixel(120, 120), kWhite);
    const POINT chord = Lerp(pts[0], pts[4], 0.1);  // vertex 1 -> 5
    EXPECT_TRUE(ColorNear(c, chord.x, chord.y, 1, kBlack));
    const POINT decagram = Lerp(pts[0], pts[3], 0.1);  // a {10/3} edge
    EXPECT_FALSE(ColorNear(c, decagram.x, decagram.y, 0, kBlack));
    for (int i : {0, 1, 5}) {
        const POINT tip = Lerp(POINT{120, 120}, pts[i], 0.85);
        EXPECT_EQ(c.GetPixel(tip.x, tip.y), kRed) << i;
    }
}

TEST(CanvasDrawStar, FourVerticesDrawTheQuadrilateral) {
    Canvas c;
    MakeRedBrushCanvas(c, 100, 100);
    const std::array<POINT, 4> square = {POINT{20, 20}, {80, 20}, {80, 80}, {20, 80}};
    c.StarPolygon(square);
    EXPECT_EQ(c.GetPixel(50, 50), kRed);  // no diagonals through the middle
    EXPECT_EQ(c.GetPixel(50, 20), kBlack);
    EXPECT_EQ(c.GetPixel(20, 50), kBlack);
    EXPECT_EQ(c.GetPixel(35, 35), kRed);
}

TEST(CanvasDrawStar, ACountSmallerThanThePointsUsesOnlyThatMany) {
    Canvas a, b;
    MakeRedBrushCanvas(a, 200, 200);
    MakeRedBrushCanvas(b, 200, 200);
    auto pts = RegularPolygon(5, 100, 100, 90);
    pts.push_back(POINT{0, 0});
    pts.push_back(POINT{199, 199});
    a.StarPolygon(pts, 5);
    b.StarPolygon(std::span<const POINT>(pts.data(), 5));
    EXPECT_EQ(Pixels(a), Pixels(b));
    EXPECT_EQ(a.GetPixel(100, 100), kWhite);
}

// --------------------------------------------------------- PolyBezierTo --

TEST(CanvasDrawCurves, PolyBezierToWithTwoPointsDrawsNothing) {
    Canvas c;
    MakeRedBrushCanvas(c, 60, 60);
    c.MoveTo(5, 5);
    const std::array<POINT, 2> two = {POINT{30, 5}, {50, 50}};
    EXPECT_EQ(c.PolyBezierTo(two), 2);
    EXPECT_EQ(CountInk(c, RECT{0, 0, 60, 60}), 0);
    EXPECT_EQ(c.CurrentPosition().x, 5);
    EXPECT_EQ(c.CurrentPosition().y, 5);
}

TEST(CanvasDrawCurves, PolyBezierToUsesWholeSegmentsOnly) {
    Canvas c;
    MakeRedBrushCanvas(c, 80, 80);
    c.MoveTo(10, 10);
    // Two straight segments along y = 10, then a stray seventh point.
    const std::array<POINT, 7> seven = {POINT{20, 10}, {30, 10}, {40, 10},
                                        {50, 10},      {60, 10}, {70, 10}, {70, 70}};
    EXPECT_NE(c.PolyBezierTo(seven), 0);
    EXPECT_EQ(c.CurrentPosition().x, 70);
    EXPECT_EQ(c.CurrentPosition().y, 10);
    EXPECT_EQ(c.GetPixel(45, 10), kBlack);
    EXPECT_EQ(c.GetPixel(65, 10), kBlack);
    EXPECT_EQ(CountInk(c, RECT{0, 12, 80, 80}), 0);  // nothing towards (70, 70)

    // A count of 4 allows one segment.
    Canvas d;
    MakeRedBrushCanvas(d, 80, 80);
    d.MoveTo(10, 10);
    EXPECT_NE(d.PolyBezierTo(seven, 4), 0);
    EXPECT_EQ(d.CurrentPosition().x, 40);
    EXPECT_EQ(d.GetPixel(30, 10), kBlack);
    EXPECT_EQ(d.GetPixel(50, 10), kWhite);
}

// ------------------------------------------------------- arcs and pies --

TEST(CanvasDrawArcs, PieAnglesPutsItsEndsAtTheComputedPoints) {
    Canvas c;
    MakeRedBrushCanvas(c, 120, 120);
    // Box (10,10)-(110,110): centre (60,60), radius 50. From 0 deg (110,60)
    // counter-clockwise to 90 deg (60,10): the top-right quarter.
    EXPECT_TRUE(c.PieAngles(10, 10, 110, 110, 0, 90));
    EXPECT_EQ(c.GetPixel(80, 40), kRed);
    EXPECT_EQ(c.GetPixel(40, 40), kWhite);
    EXPECT_EQ(c.GetPixel(80, 80), kWhite);
    EXPECT_TRUE(ColorNear(c, 90, 60, 1, kBlack));  // radius towards 0 deg
    EXPECT_TRUE(ColorNear(c, 60, 30, 1, kBlack));  // radius towards 90 deg

    Canvas d;
    MakeRedBrushCanvas(d, 120, 120);
    EXPECT_TRUE(d.PieAngles(10, 10, 110, 110, 90, 180));  // the top-left quarter
    EXPECT_EQ(d.GetPixel(40, 40), kRed);
    EXPECT_EQ(d.GetPixel(80, 40), kWhite);
    // 180 deg: sin(pi) with pi = 3.1415926535 is a hair above 0, so the end
    // point truncates to (10, 59); the radius still runs along row 59/60.
    EXPECT_TRUE(ColorNear(d, 30, 60, 1, kBlack));
    EXPECT_TRUE(ColorNear(d, 60, 30, 1, kBlack));
}

TEST(CanvasDrawArcs, CircleArcRunsCounterClockwiseBetweenItsAngles) {
    Canvas c;
    MakeRedBrushCanvas(c, 120, 120);
    EXPECT_TRUE(c.CircleArc(60, 60, 50, 90, 180));  // top-left quarter only
    EXPECT_TRUE(ColorNear(c, 25, 25, 2, kBlack));   // 135 deg
    EXPECT_FALSE(ColorNear(c, 95, 25, 3, kBlack));  // 45 deg
    EXPECT_FALSE(ColorNear(c, 25, 95, 3, kBlack));  // 225 deg
    EXPECT_FALSE(ColorNear(c, 95, 95, 3, kBlack));  // 315 deg
    // The ends: 90 deg at the top (60, 10), 180 deg at the left (10, 60).
    EXPECT_TRUE(ColorNear(c, 58, 10, 1, kBlack));
    EXPECT_TRUE(ColorNear(c, 10, 58, 1, kBlack));
    EXPECT_EQ(CountInk(c, RECT{62, 0, 120, 120}), 0);
    EXPECT_EQ(CountInk(c, RECT{0, 62, 120, 120}), 0);
}

TEST(CanvasDrawArcs, ArcAnglesAndCenterArcFollowTheSameEnds) {
    Canvas a, b;
    MakeRedBrushCanvas(a, 120, 120);
    MakeRedBrushCanvas(b, 120, 120);
    // 0 deg to 180 deg: the upper half of the circle.
    EXPECT_TRUE(a.ArcAngles(10, 10, 110, 110, 0, 180));
    // The same arc from its centre and two end points (180 deg truncates to
    // (10, 59), see above).
    EXPECT_TRUE(b.CenterArc(60, 60, 110, 60, 10, 59));
    EXPECT_EQ(Pixels(a), Pixels(b));
    EXPECT_TRUE(ColorNear(a, 60, 10, 1, kBlack));
    EXPECT_EQ(CountInk(a, RECT{0, 63, 120, 120}), 0);
}

TEST(CanvasDrawArcs, CircleTruncatesItsBox) {
    Canvas a, b;
    MakeRedBrushCanvas(a, 60, 60);
    MakeRedBrushCanvas(b, 60, 60);
    a.Circle(20.9, 30.9, 10.0);  // box (10.9, 20.9)-(30.9, 40.9) -> (10, 20)-(30, 40)
    b.Ellipse(10, 20, 30, 40);
    EXPECT_EQ(Pixels(a), Pixels(b));
}

// ---------------------------------------------------------------- fills --

TEST(CanvasDrawFill, FloodFillSurfaceFillsTheConnectedAreaOfThatColour) {
    Canvas c;
    MakeRedBrushCanvas(c, 60, 60);
    c.BrushStyle(kBrushHollow);
    c.Rectangle(10, 10, 40, 40);  // black outline only
    c.BrushStyle(kBrushSolid);
    c.BrushColor(kBlue);
    EXPECT_TRUE(c.FloodFillSurface(20, 20));
    EXPECT_EQ(c.GetPixel(20, 20), kBlue);
    EXPECT_EQ(c.GetPixel(38, 38), kBlue);
    EXPECT_EQ(c.GetPixel(10, 20), kBlack);
    EXPECT_EQ(c.GetPixel(5, 5), kWhite);
    EXPECT_FALSE(c.FloodFillSurface(100, 100));  // outside the surface
}

TEST(CanvasDrawFill, FloodFillSurfaceWithAHatchBrushHatches) {
    Canvas c;
    MakeRedBrushCanvas(c, 40, 40);
    c.BrushStyle(kBrushHorizontal);
    c.BrushColor(kBlue);
    EXPECT_TRUE(c.FloodFillSurface(5, 5));
    const int blue = CountColor(c, RECT{0, 0, 40, 40}, kBlue);
    EXPECT_GT(blue, 0);
    EXPECT_LT(blue, 40 * 40);  // lines, not a solid fill
}

TEST(CanvasDrawFill, FloodFillToBorderStopsAtTheBorderColour) {
    Canvas c;
    MakeRedBrushCanvas(c, 60, 60);
    c.BrushStyle(kBrushHollow);
    c.PenColor(kGreen);
    c.Rectangle(10, 10, 40, 40);
    c.PenColor(kBlack);
    c.Line(15, 25, 35, 25);  // inside the box: not a border colour
    c.BrushStyle(kBrushSolid);
    c.BrushColor(kBlue);
    EXPECT_TRUE(c.FloodFillToBorder(20, 20, kGreen));
    EXPECT_EQ(c.GetPixel(20, 20), kBlue);
    EXPECT_EQ(c.GetPixel(20, 25), kBlue);  // the black line inside got painted
    EXPECT_EQ(c.GetPixel(20, 30), kBlue);
    EXPECT_EQ(c.GetPixel(10, 25), kGreen);
    EXPECT_EQ(c.GetPixel(5, 25), kWhite);
    EXPECT_EQ(c.GetPixel(5, 5), kWhite);
}

// ------------------------------------------------------- simple shapes --

TEST(CanvasDrawShapes, LineEndsAtItsSecondPoint) {
    Canvas c;
    MakeRedBrushCanvas(c, 50, 50);
    EXPECT_TRUE(c.Line(5, 5, 40, 5));
    EXPECT_EQ(c.CurrentPosition().x, 40);
    EXPECT_EQ(c.CurrentPosition().y, 5);
    EXPECT_EQ(c.GetPixel(5, 5), kBlack);
    EXPECT_EQ(c.GetPixel(39, 5), kBlack);
    EXPECT_EQ(c.GetPixel(40, 5), kWhite);  // the end point is not drawn
    // PolylineTo goes on from there.
    const std::array<POINT, 3> pts = {POINT{40, 40}, {5, 40}, {5, 30}};
    EXPECT_TRUE(c.PolylineTo(pts, 2));  // only two of the three
    EXPECT_EQ(c.GetPixel(40, 20), kBlack);
    EXPECT_EQ(c.GetPixel(20, 40), kBlack);
    EXPECT_EQ(c.GetPixel(5, 35), kWhite);
    EXPECT_EQ(c.CurrentPosition().x, 5);
    EXPECT_EQ(c.CurrentPosition().y, 40);
}

TEST(CanvasDrawShapes, RectanglesAndFillsUseThePenAndBrush) {
    Canvas c;
    MakeRedBrushCanvas(c, 50, 50);
    EXPECT_TRUE(c.Rectangle(10, 10, 20, 20));
    EXPECT_EQ(c.GetPixel(10, 10), kBlack);
    EXPECT_EQ(c.GetPixel(15, 15), kRed);
    EXPECT_EQ(c.GetPixel(20, 20), kWhite);  // right and bottom excluded
    c.FillRect(30, 30, 40, 40);
    EXPECT_EQ(CountColor(c, RECT{30, 30, 40, 40}, kRed), 100);
    EXPECT_EQ(c.GetPixel(40, 40), kWhite);
    EXPECT_TRUE(c.RoundRect(0, 30, 20, 50, 8, 8));
    EXPECT_EQ(c.GetPixel(10, 40), kRed);
    EXPECT_EQ(c.GetPixel(0, 30), kWhite);  // rounded corner
    c.InvertRect(30, 30, 35, 35);
    EXPECT_EQ(c.GetPixel(32, 32), 0xFFFF00u);  // red inverted: cyan
    EXPECT_EQ(c.GetPixel(36, 36), kRed);
}

TEST(CanvasDrawShapes, ChordPieAndEllipseAsTheyAreGiven) {
    Canvas c;
    MakeRedBrushCanvas(c, 120, 60);
    EXPECT_TRUE(c.Ellipse(0, 0, 40, 40));
    EXPECT_EQ(c.GetPixel(20, 20), kRed);
    EXPECT_EQ(c.GetPixel(1, 1), kWhite);
    // Chord of the upper half: the flat side runs through the centre.
    EXPECT_TRUE(c.Chord(40, 0, 80, 40, 80, 20, 40, 20));
    EXPECT_EQ(c.GetPixel(60, 10), kRed);
    EXPECT_EQ(c.GetPixel(60, 30), kWhite);
    EXPECT_TRUE(c.Pie(80, 0, 120, 40, 120, 20, 100, 0));  // top-right quarter
    EXPECT_EQ(c.GetPixel(108, 12), kRed);
    EXPECT_EQ(c.GetPixel(92, 12), kWhite);
    EXPECT_TRUE(c.Arc(0, 40, 20, 60, 20, 50, 0, 50));
}

TEST(CanvasDrawShapes, PixelsAreSetAndRead) {
    Canvas c;
    MakeRedBrushCanvas(c, 10, 10);
    c.PenColor(kBlue);
    EXPECT_EQ(c.SetPixel(1, 1), kBlue);  // the pen colour by default
    EXPECT_EQ(c.GetPixel(1, 1), kBlue);
    EXPECT_EQ(c.SetPixel(2, 2, kGreen), kGreen);
    EXPECT_EQ(c.GetPixel(2, 2), kGreen);
    EXPECT_EQ(c.GetPixel(10, 0), CLR_INVALID);
    EXPECT_EQ(c.GetPixel(-1, 0), CLR_INVALID);
    // Outside the surface nothing is set, and no colour is claimed.
    EXPECT_EQ(c.SetPixel(50, 50, kGreen), CLR_INVALID);
    EXPECT_EQ(c.SetPixel(-1, 3, kGreen), CLR_INVALID);
    EXPECT_EQ(c.SetPixel(3, 10, kGreen), CLR_INVALID);
}

TEST(CanvasDrawShapes, PolygonUsesItsCountAndTheBrush) {
    Canvas c;
    MakeRedBrushCanvas(c, 60, 60);
    const std::array<POINT, 4> pts = {POINT{10, 10}, {50, 10}, {10, 50}, {59, 59}};
    c.Polygon(pts, 3);
    EXPECT_EQ(c.GetPixel(20, 20), kRed);
    EXPECT_EQ(c.GetPixel(45, 45), kWhite);  // the fourth point was left out
}

TEST(CanvasDrawShapes, PolyDrawUsesTheShorterOfPointsAndTypes) {
    Canvas c;
    MakeRedBrushCanvas(c, 60, 60);
    const std::array<POINT, 3> pts = {POINT{10, 10}, {50, 10}, {50, 50}};
    const std::array<BYTE, 2> types = {PT_MOVETO, PT_LINETO};
    EXPECT_TRUE(c.PolyDraw(pts, types));
    EXPECT_EQ(c.GetPixel(30, 10), kBlack);
    EXPECT_EQ(c.GetPixel(50, 30), kWhite);
    const std::array<BYTE, 3> all = {PT_MOVETO, PT_LINETO, PT_LINETO};
    EXPECT_TRUE(c.PolyDraw(pts, all, 2));  // the count is shorter still
    EXPECT_EQ(c.GetPixel(50, 30), kWhite);
    EXPECT_TRUE(c.PolyDraw(pts, all));
    EXPECT_EQ(c.GetPixel(50, 30), kBlack);
}

TEST(CanvasDrawShapes, PolyFillModeReturnsThePreviousMode) {
    Canvas c;
    MakeRedBrushCanvas(c, 10, 10);
    EXPECT_EQ(c.PolyFillMode(), ALTERNATE);
    EXPECT_EQ(c.PolyFillMode(WINDING), ALTERNATE);
    EXPECT_EQ(c.PolyFillMode(), WINDING);
    EXPECT_EQ(c.PolyFillMode(ALTERNATE), WINDING);
}

// --------------------------------------------------------- no surface --

TEST(CanvasDrawNotCreated, EveryDrawingOperationIsAQuietNoOp) {
    Canvas c;
    const std::array<POINT, 6> pts = {POINT{0, 0}, {5, 5}, {9, 0}, {3, 3}, {1, 8}, {7, 2}};
    const std::array<BYTE, 2> types = {PT_MOVETO, PT_LINETO};
    const std::array<COLORREF, 2> colours = {kRed, kBlue};
    c.FillRect(0, 0, 5, 5);
    EXPECT_FALSE(c.Rectangle(0, 0, 5, 5));
    EXPECT_FALSE(c.Line(0, 0, 5, 5));
    EXPECT_FALSE(c.PolylineTo(pts));
    EXPECT_EQ(c.GetPixel(0, 0), CLR_INVALID);
    EXPECT_EQ(c.SetPixel(0, 0, kRed), CLR_INVALID);
    EXPECT_FALSE(c.Chord(0, 0, 5, 5, 0, 0, 5, 5));
    EXPECT_FALSE(c.Pie(0, 0, 5, 5, 0, 0, 5, 5));
    EXPECT_FALSE(c.PieAngles(0, 0, 5, 5, 0, 90));
    EXPECT_FALSE(c.Circle(5, 5, 3));
    EXPECT_FALSE(c.Ellipse(0, 0, 5, 5));
    EXPECT_FALSE(c.CircleArc(5, 5, 3, 0, 90));
    EXPECT_FALSE(c.CenterArc(5, 5, 8, 5, 5, 2));
    EXPECT_FALSE(c.Arc(0, 0, 5, 5, 0, 0, 5, 5));
    EXPECT_FALSE(c.ArcAngles(0, 0, 5, 5, 0, 90));
    c.Polygon(pts);
    EXPECT_FALSE(c.RoundRect(0, 0, 5, 5, 2, 2));
    EXPECT_EQ(c.PolyBezierTo(pts), 0);
    c.InvertRect(0, 0, 5, 5);
    EXPECT_FALSE(c.MoveTo(1, 1));
    EXPECT_EQ(c.CurrentPosition().x, 0);
    EXPECT_FALSE(c.FloodFillToBorder(1, 1, kRed));
    EXPECT_FALSE(c.FloodFillSurface(1, 1));
    EXPECT_FALSE(c.PolyDraw(pts, types));
    c.GradientFill(0, 0, 5, 5, 3, colours);
    c.RadialGradient(0, 0, 5, 5, 1, kRed, kBlue);
    c.StarPolygon(pts);
    EXPECT_EQ(c.PolyFillMode(), 0);
    c.ShowInWindow(GetDesktopWindow(), std::nullopt, false);
    EXPECT_FALSE(c.IsCreated());
}
