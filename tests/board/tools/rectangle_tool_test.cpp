// The rectangle tool on its own: a tool object from the tool table driven with
// a local state, local canvases and local settings, without a window. (The
// pattern for testing a tool: the board's own handlers only pick the current
// tool's object and hand it the same calls.)

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "board/tools/board_tool.h"
#include "board/tools/drawing_tools.h"
#include "board/tools/tool_table.h"
#include "support/local_board.h"

namespace {

class RectangleToolTest : public ::testing::Test {
protected:
    LocalBoard b{200, 150};
    std::unique_ptr<BoardTool> tool = MakeTool(ToolRectangle);

    void Keys(std::initializer_list<WPARAM> keys) {
        for (WPARAM key : keys) tool->ArrowKey(b.context, key);
    }
};

}  // namespace

TEST_F(RectangleToolTest, TwoRowsAndOneColumnGiveEvenlySpacedInnerLines) {
    Keys({VK_UP, VK_UP, VK_RIGHT});
    b.Drag(*tool, {0, 0}, {{45, 30}, {90, 60}});
    const COLORREF pen = b.Pen();
    const COLORREF white = b.Background();
    for (int x : {5, 30, 70, 88}) {
        EXPECT_EQ(b.back.GetPixel(x, 20), pen) << x;
        EXPECT_EQ(b.back.GetPixel(x, 40), pen) << x;
        EXPECT_EQ(b.back.GetPixel(x, 19), white) << x;
        EXPECT_EQ(b.back.GetPixel(x, 41), white) << x;
    }
    for (int y : {5, 30, 55}) {
        EXPECT_EQ(b.back.GetPixel(45, y), pen) << y;
        EXPECT_EQ(b.back.GetPixel(44, y), white) << y;
        EXPECT_EQ(b.back.GetPixel(46, y), white) << y;
    }
    // The box itself (right and bottom edges excluded by the platform).
    EXPECT_EQ(b.back.GetPixel(0, 30), pen);
    EXPECT_EQ(b.back.GetPixel(89, 30), pen);
    EXPECT_EQ(b.back.GetPixel(30, 59), pen);
    // Nothing of the preview at the halfway point (45, 30) survived.
    EXPECT_EQ(b.back.GetPixel(22, 5), white);
    EXPECT_EQ(b.back.GetPixel(30, 10), white);
}

TEST_F(RectangleToolTest, TableCountsNeverGoBelowZeroAndOnlyArrowsCount) {
    Keys({VK_DOWN, VK_LEFT, VK_RETURN, 'R'});
    EXPECT_EQ(b.settings.tableRows, 0);
    EXPECT_EQ(b.settings.tableColumns, 0);
    Keys({VK_UP, VK_UP, VK_UP, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_LEFT});
    EXPECT_EQ(b.settings.tableRows, 2);
    EXPECT_EQ(b.settings.tableColumns, 1);
    // A new gesture, or the rectangle chosen again, keeps them.
    tool->ResetGesture();
    tool->Selected(b.context);
    EXPECT_EQ(b.settings.tableRows, 2);
}

TEST_F(RectangleToolTest, AnArrowDuringTheDragRedrawsThePreviewAtOnce) {
    b.Press(*tool, {10, 10});
    b.MoveTo(*tool, {110, 70});
    EXPECT_NE(b.board.GetPixel(60, 40), b.Pen());
    Keys({VK_UP});  // one row line, halfway down
    EXPECT_EQ(b.board.GetPixel(60, 40), b.Pen());
    EXPECT_EQ(b.back.GetPixel(60, 40), b.Background());  // still a preview
    Keys({VK_DOWN});
    EXPECT_NE(b.board.GetPixel(60, 40), b.Pen());
}

TEST_F(RectangleToolTest, SpaceHeldMovesTheWholeRectangleInsteadOfResizingIt) {
    b.Press(*tool, {0, 0});
    b.MoveTo(*tool, {10, 10});
    b.state.spaceHeld = true;
    b.MoveTo(*tool, {15, 15});
    b.state.spaceHeld = false;
    b.Release(*tool, {15, 15});
    // (5,5)-(15,15): same size, moved by the pointer's (+5,+5).
    EXPECT_EQ(b.back.GetPixel(5, 10), b.Pen());
    EXPECT_EQ(b.back.GetPixel(10, 5), b.Pen());
    EXPECT_EQ(b.back.GetPixel(14, 10), b.Pen());
    EXPECT_EQ(b.back.GetPixel(0, 5), b.Background());
    EXPECT_EQ(b.back.GetPixel(5, 0), b.Background());
}

TEST_F(RectangleToolTest, ReleaseWithoutAMoveAddsNothing) {
    b.Press(*tool, {30, 30});
    b.Release(*tool, {30, 30});
    for (int x = 25; x <= 35; ++x)
        for (int y = 25; y <= 35; ++y) ASSERT_EQ(b.back.GetPixel(x, y), b.Background()) << x << "," << y;
    EXPECT_FALSE(b.state.dragging);
}

TEST_F(RectangleToolTest, WithoutAWindowTheDragTakesNoCapture) {
    b.Press(*tool, {10, 10});
    EXPECT_TRUE(b.state.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    b.MoveTo(*tool, {50, 50});  // shows nothing, draws the preview all the same
    EXPECT_EQ(b.board.GetPixel(30, 10), b.Pen());
    b.Release(*tool, {50, 50});
    EXPECT_EQ(b.back.GetPixel(30, 10), b.Pen());
}
