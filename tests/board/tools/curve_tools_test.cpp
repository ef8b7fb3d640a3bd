// The pie, arcs, Bézier, curve and chained-arcs tools driven through a local
// PointerContext, without a window: what each gesture leaves on the preview
// canvas, the committed canvas and the curve layer.

#include <windows.h>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "board/tools/board_tool.h"
#include "board/tools/curve_tools.h"
#include "board/tools/tool_table.h"
#include "support/local_board.h"

namespace {

// p or one of its 8 neighbours has the colour.
bool Near(const Canvas& c, POINT p, COLORREF color) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (c.GetPixel(p.x + dx, p.y + dy) == color) return true;
    return false;
}

// Some pixel along the segment a-b has the colour (a dashed line has gaps).
bool AnyAlong(const Canvas& c, POINT a, POINT b, COLORREF color) {
    for (int i = 0; i <= 20; ++i) {
        const POINT p{a.x + (b.x - a.x) * i / 20, a.y + (b.y - a.y) * i / 20};
        if (Near(c, p, color)) return true;
    }
    return false;
}

// No pixel of the canvas differs from the background.
bool Untouched(const Canvas& c, COLORREF background) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.GetPixel(x, y) != background) return false;
    return true;
}

void Click(LocalBoard& b, BoardTool& tool, POINT p) {
    b.Press(tool, p);
    b.Release(tool, p);
}

struct SweepCase {
    const char* name;
    ToolKind tool;
    POINT press, release;        // the first drag
    std::vector<POINT> hovers;   // then the pointer without the button
    POINT click;                 // the click that fixes the arc
    std::vector<POINT> on, off;  // committed pixels after it
};

void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

class SweepToolCases : public testing::TestWithParam<SweepCase> {};

}  // namespace

TEST_P(SweepToolCases, ArcIsPreviewedWhileSweepingAndCommittedByTheNextClick) {
    const SweepCase& c = GetParam();
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(c.tool);
    const auto& sweep = static_cast<const SweepTool&>(*tool);

    b.Drag(*tool, c.press, {POINT{(c.press.x + c.release.x) / 2, c.press.y}, c.release});
    EXPECT_EQ(sweep.Arc().phase, 1);
    EXPECT_TRUE(Untouched(b.back, b.Background()));
    EXPECT_TRUE(Untouched(b.board, b.Background()));  // the first drag's line is gone

    for (const POINT p : c.hovers) b.MoveTo(*tool, p);
    b.MoveTo(*tool, c.click);
    for (const POINT p : c.on) EXPECT_TRUE(Near(b.board, p, b.Pen())) << "preview " << p.x << "," << p.y;
    EXPECT_TRUE(Untouched(b.back, b.Background()));

    Click(b, *tool, c.click);
    EXPECT_EQ(sweep.Arc().phase, 0);
    for (const POINT p : c.on) EXPECT_TRUE(Near(b.back, p, b.Pen())) << p.x << "," << p.y;
    for (const POINT p : c.off) EXPECT_FALSE(Near(b.back, p, b.Pen())) << p.x << "," << p.y;
}

// Centre (100,75), radius 50, swept counter-clockwise from 0 to 90 degrees:
// the arc passes (135,40); the pie adds its two radii.
INSTANTIATE_TEST_SUITE_P(
    CurveTools, SweepToolCases,
    testing::Values(
        SweepCase{"pie", ToolPie, {100, 75}, {150, 75}, {{150, 65}, {145, 55}, {120, 29}}, {100, 25},
                  {{135, 40}, {125, 75}, {100, 50}, {148, 75}}, {{75, 100}, {65, 40}, {135, 110}}},
        SweepCase{"radius arc", ToolRadiusArc, {100, 75}, {150, 75}, {{150, 65}, {145, 55}, {120, 29}},
                  {100, 25}, {{135, 40}, {148, 70}, {105, 25}}, {{125, 75}, {100, 50}, {75, 100}}},
        // Ends (50,100) and (150,100), through (100,50): the upper half of
        // the circle about (100,100); no chord.
        SweepCase{"three-point arc", ToolThreePointArc, {50, 100}, {150, 100}, {{120, 70}}, {100, 50},
                  {{100, 50}, {65, 65}, {135, 65}}, {{100, 100}, {65, 135}, {75, 100}}}));

TEST(CurveTools, FirstDragOfTheArcsSnapsWithShift) {
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(ToolRadiusArc);
    b.state.shiftHeld = true;
    b.Drag(*tool, {100, 75}, {150, 80});
    const ArcState& arc = static_cast<const SweepTool&>(*tool).Arc();
    EXPECT_FLOAT_EQ(arc.first.x, 150.0f);
    EXPECT_FLOAT_EQ(arc.first.y, 75.0f);
}

// Shift pressed while a pie is swept with the button up snaps it at once:
// the pointer at 22.3 degrees, the pie's edge goes to 0.
TEST(CurveTools, ShiftDuringASweepSnapsThePieAtOnce) {
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(ToolPie);
    b.Drag(*tool, {100, 75}, {100, 25});
    for (const POINT p : {POINT{120, 29}, POINT{145, 55}, POINT{150, 65}, POINT{200, 34}})
        b.MoveTo(*tool, p);
    EXPECT_FALSE(AnyAlong(b.board, {115, 75}, {145, 75}, b.Pen()));
    b.state.shiftHeld = true;
    tool->Refresh(b.context);
    EXPECT_TRUE(AnyAlong(b.board, {115, 75}, {145, 75}, b.Pen()));
    EXPECT_TRUE(Untouched(b.back, b.Background()));
}

TEST(CurveTools, BezierCommitsOnlyWholeSegmentsAndShowsItsGuideWhileDragging) {
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(ToolBezier);
    // Start (20,100), controls (60,20) and (140,20), end (180,100): the
    // segment's middle is (100,40).
    Click(b, *tool, {20, 100});
    Click(b, *tool, {60, 20});
    Click(b, *tool, {140, 20});
    EXPECT_TRUE(Untouched(b.back, b.Background()));
    b.Press(*tool, {180, 100});
    b.MoveTo(*tool, {180, 100});
    // The guide: the control polygon of the unfinished segment, to the pointer.
    EXPECT_TRUE(AnyAlong(b.board, {70, 20}, {130, 20}, b.Pen()));
    EXPECT_TRUE(AnyAlong(b.board, {145, 30}, {175, 90}, b.Pen()));
    EXPECT_FALSE(Near(b.board, {100, 40}, b.Pen()));
    b.Release(*tool, {180, 100});
    EXPECT_TRUE(Near(b.back, {100, 40}, b.Pen()));
    EXPECT_TRUE(Near(b.back, {20, 100}, b.Pen()));
    EXPECT_FALSE(Near(b.back, {100, 20}, b.Pen()));  // the guide is not committed
}

TEST(CurveTools, CurveIsDrawnIntoTheLayerAndPreviewedOverIt) {
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(ToolCurve);
    Click(b, *tool, {20, 100});
    Click(b, *tool, {100, 40});
    // Two nodes: the straight segment, in the layer, not yet in the drawing.
    EXPECT_TRUE(Near(b.layer, {60, 70}, b.Pen()));
    EXPECT_TRUE(Untouched(b.back, b.Background()));
    // A preview starts from the layer.
    b.Press(*tool, {180, 100});
    b.MoveTo(*tool, {180, 100});
    EXPECT_TRUE(Near(b.board, {20, 100}, b.Pen()));
    b.Release(*tool, {180, 100});
    // Three nodes: one smooth curve whose top is at the middle click.
    EXPECT_TRUE(Near(b.layer, {100, 40}, b.Pen()));
    EXPECT_FALSE(Near(b.layer, {60, 70}, b.Pen()));  // the straight piece bent
    EXPECT_TRUE(Untouched(b.back, b.Background()));
    EXPECT_EQ(static_cast<const CurveTool&>(*tool).Nodes().size(), 3u);
}

TEST(CurveTools, ChainedArcsCommitEachArcButNeverTheFirstGuide) {
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(ToolChainedArcs);
    b.Drag(*tool, {20, 100}, {60, 60});
    EXPECT_TRUE(Near(b.board, {40, 80}, b.Pen()));  // the guide is shown
    EXPECT_TRUE(Untouched(b.back, b.Background()));
    // The first arc: through (20,100), (60,60) and (100,100), centre (60,100).
    Click(b, *tool, {100, 100});
    EXPECT_TRUE(Near(b.back, {60, 60}, b.Pen()));
    EXPECT_TRUE(Near(b.back, {32, 72}, b.Pen()));
    EXPECT_FALSE(Near(b.back, {40, 80}, b.Pen()));
    // The next one leaves (100,100) going straight down, towards (140,140).
    Click(b, *tool, {140, 140});
    EXPECT_TRUE(Near(b.back, {140, 140}, b.Pen()));
    EXPECT_TRUE(Near(b.back, {102, 112}, b.Pen()));
}

TEST(CurveTools, ChainThatReachesItsBoundStartsAnew) {
    LocalBoard b(60, 60);
    std::unique_ptr<BoardTool> tool = MakeTool(ToolChainedArcs);
    const auto& chained = static_cast<const ChainedArcsTool&>(*tool);
    b.Drag(*tool, {10, 10}, {20, 20});
    for (int i = 0; i < kMaxChainArcs; ++i) {
        ASSERT_TRUE(chained.Chain().started) << i;
        Click(b, *tool, POINT{10 + (i % 4) * 10, 10 + (i % 3) * 15});
    }
    EXPECT_FALSE(chained.Chain().started);
    // The next drag begins a new chain where it is pressed.
    b.Drag(*tool, {50, 50}, {55, 40});
    EXPECT_TRUE(chained.Chain().started);
    EXPECT_FLOAT_EQ(chained.Chain().previous.end.x, 50.0f);
}

// The click that reaches the curve's bound ends it as choosing another tool
// would: the curve becomes part of the drawing and the next click starts anew.
TEST(CurveTools, CurveThatReachesItsBoundIsCommittedAndStartsAnew) {
    LocalBoard b(40, 40);
    std::unique_ptr<BoardTool> tool = MakeTool(ToolCurve);
    const auto& curve = static_cast<const CurveTool&>(*tool);
    for (int i = 0; i < kMaxCurveNodes - 1; ++i) Click(b, *tool, POINT{5 + (i % 2) * 30, 5 + (i % 3) * 15});
    EXPECT_EQ(curve.Nodes().size(), static_cast<size_t>(kMaxCurveNodes - 1));
    EXPECT_TRUE(Untouched(b.back, b.Background()));
    Click(b, *tool, {20, 20});
    EXPECT_TRUE(curve.Nodes().empty());
    EXPECT_FALSE(Untouched(b.back, b.Background()));
    Click(b, *tool, {30, 30});
    EXPECT_EQ(curve.Nodes().size(), 1u);
}

TEST(CurveTools, BezierThatReachesItsBoundStartsAnew) {
    LocalBoard b(40, 40);
    std::unique_ptr<BoardTool> tool = MakeTool(ToolBezier);
    const auto& bezier = static_cast<const BezierTool&>(*tool);
    Click(b, *tool, {5, 5});
    for (int i = 0; i < kMaxBezierPoints; ++i) {
        ASSERT_TRUE(bezier.Started()) << i;
        Click(b, *tool, POINT{5 + (i % 4) * 10, 5 + (i % 3) * 15});
    }
    EXPECT_FALSE(bezier.Started());
    EXPECT_TRUE(bezier.Points().empty());
}

// The board's canvas starts with the alternate fill rule; the star tool must
// not rely on having been chosen while a board existed.
TEST(CurveTools, StarCentreIsFilledWithoutTheToolBeingChosenOnTheBoard) {
    LocalBoard b;
    std::unique_ptr<BoardTool> tool = MakeTool(ToolStar);
    constexpr COLORREF kRed = 0x0000FF;
    b.board.BrushStyle(7);
    b.board.BrushColor(kRed);
    b.Drag(*tool, {100, 75}, {100, 25});
    EXPECT_EQ(b.back.GetPixel(100, 75), kRed);
    EXPECT_EQ(b.back.GetPixel(100, 40), kRed);  // and a point
}
