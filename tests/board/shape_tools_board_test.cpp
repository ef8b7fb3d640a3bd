// The pie, arcs, Bézier, curve and chained-arcs tools and the modifier keys on
// a real board window, driven by real messages; the pixels of the board's
// canvases are what the user gets.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/board_state.h"
#include "support/board_fixture.h"

namespace {

using board_test::SendToBoard;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kPen = 0xFF0000;  // the default pen colour

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x)), static_cast<WORD>(static_cast<SHORT>(p.y)));
}

// True when p or one of its 8 neighbours has the colour on the board's
// committed drawing, or on what it shows (read on the board thread).
bool NearOn(bool shown, POINT p, COLORREF color) {
    bool found = false;
    board_test::OnBoard([&](DrawingBoard& b) {
        const Canvas& c = shown ? b.Shown() : b.Committed();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (c.GetPixel(p.x + dx, p.y + dy) == color) found = true;
    });
    return found;
}
bool NearOnBack(POINT p, COLORREF color) { return NearOn(false, p, color); }

struct Step {
    enum Kind { Down, Move, Up, Hover, Select } kind;
    POINT p{};
    ToolKind tool = ToolPen;  // Select only
};

void Perform(const Step& s) {
    switch (s.kind) {
    case Step::Down:
        SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(s.p));
        break;
    case Step::Move:
        SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, At(s.p));
        break;
    case Step::Up:
        SendToBoard(WM_LBUTTONUP, 0, At(s.p));
        break;
    case Step::Hover:
        SendToBoard(WM_MOUSEMOVE, 0, At(s.p));
        break;
    case Step::Select:
        SelectTool(s.tool);
        break;
    }
}

Step D(int x, int y) { return {Step::Down, {x, y}}; }
Step M(int x, int y) { return {Step::Move, {x, y}}; }
Step U(int x, int y) { return {Step::Up, {x, y}}; }
Step H(int x, int y) { return {Step::Hover, {x, y}}; }

struct ToolCase {
    const char* name;
    ToolKind tool;
    std::vector<Step> steps;  // the last one makes the shape part of the drawing
    std::vector<POINT> on;    // pixels of its outline
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

class ShapeToolsOnBoard : public board_test::BoardTest {
protected:
    void OpenWhiteBoard() {
        const std::string path = board_test::TempPath("shape_tools_white.bmp");
        ASSERT_TRUE(board_test::WriteBytes(path, board_test::SolidBmp(400, 300, kWhite)));
        ASSERT_TRUE(OpenPictureBoardFile(path));
        ASSERT_TRUE(WaitForBoardReady(10000));
        ASSERT_EQ(board_test::BackPixel(200, 150), kWhite);
    }
};

class ShapeToolCases : public ShapeToolsOnBoard, public testing::WithParamInterface<ToolCase> {};

}  // namespace

TEST_P(ShapeToolCases, GestureCommitsItsOutlineAndNothingBefore) {
    const ToolCase& c = GetParam();
    OpenWhiteBoard();
    SelectTool(c.tool);
    for (size_t i = 0; i + 1 < c.steps.size(); ++i) Perform(c.steps[i]);
    for (const POINT p : c.on) EXPECT_FALSE(NearOnBack(p, kPen)) << "early " << p.x << "," << p.y;
    Perform(c.steps.back());
    for (const POINT p : c.on) EXPECT_TRUE(NearOnBack(p, kPen)) << p.x << "," << p.y;
    EXPECT_FALSE(NearOnBack({300, 60}, kPen));  // far from every outline
}

INSTANTIATE_TEST_SUITE_P(
    Board, ShapeToolCases,
    testing::Values(
        // Centre (100,150), radius 50, swept up to 90 degrees.
        ToolCase{"pie", ToolPie,
                 {D(100, 150), M(150, 150), U(150, 150), H(150, 140), H(145, 130), H(120, 104),
                  H(100, 100), D(100, 100), U(100, 100)},
                 {{135, 115}, {125, 150}, {100, 125}}},
        ToolCase{"radius arc", ToolRadiusArc,
                 {D(100, 150), M(150, 150), U(150, 150), H(150, 140), H(145, 130), H(120, 104),
                  H(100, 100), D(100, 100), U(100, 100)},
                 {{135, 115}, {105, 100}}},
        ToolCase{"three-point arc", ToolThreePointArc,
                 {D(50, 200), M(150, 200), U(150, 200), H(120, 170), H(100, 150), D(100, 150),
                  U(100, 150)},
                 {{100, 150}, {65, 165}, {135, 165}}},
        ToolCase{"Bézier", ToolBezier,
                 {D(20, 200), U(20, 200), D(60, 120), U(60, 120), D(140, 120), U(140, 120),
                  D(180, 200), M(180, 200), U(180, 200)},
                 {{100, 140}, {56, 155}}},
        // The curve reaches the drawing when another tool is chosen.
        ToolCase{"curve", ToolCurve,
                 {D(20, 200), U(20, 200), D(100, 140), M(100, 140), U(100, 140), D(180, 200),
                  M(180, 200), U(180, 200), Step{Step::Select, {}, ToolLine}},
                 {{100, 140}, {45, 170}}},
        ToolCase{"chained arcs", ToolChainedArcs,
                 {D(20, 200), M(60, 160), U(60, 160), D(100, 200), U(100, 200)},
                 {{60, 160}, {32, 172}}}));

// Choosing the curve again starts a new curve; the one drawn so far stays.
TEST_F(ShapeToolsOnBoard, ChoosingTheCurveAgainKeepsTheCurveSoFar) {
    OpenWhiteBoard();
    SelectTool(ToolCurve);
    for (const POINT p : {POINT{20, 200}, POINT{100, 140}}) {
        Perform(D(p.x, p.y));
        Perform(U(p.x, p.y));
    }
    SelectTool(ToolCurve);
    EXPECT_TRUE(NearOnBack({60, 170}, kPen));
    EXPECT_TRUE(NearOn(true, {60, 170}, kPen));
    // The next click is the first node of a new curve: no segment back to
    // the old one.
    Perform(D(300, 100));
    Perform(U(300, 100));
    SelectTool(ToolLine);
    EXPECT_FALSE(NearOnBack({200, 120}, kPen));
}

// Shift pressed in the middle of a drag squares the rectangle at once, and
// letting it go gives the plain box back, without waiting for the pointer.
TEST_F(ShapeToolsOnBoard, ShiftDuringARectangleDragSquaresItAtOnce) {
    OpenWhiteBoard();
    SelectTool(ToolRectangle);
    Perform(D(10, 10));
    Perform(M(110, 50));
    EXPECT_EQ(board_test::BoardPixel(109, 30), kPen);

    board_test::KeyDown(VK_SHIFT);  // 100 x 40 becomes the 70 x 70 square
    EXPECT_EQ(board_test::BoardPixel(10, 70), kPen);
    EXPECT_EQ(board_test::BoardPixel(79, 45), kPen);
    EXPECT_EQ(board_test::BoardPixel(109, 30), kWhite);

    board_test::KeyUp(VK_SHIFT);
    EXPECT_EQ(board_test::BoardPixel(109, 30), kPen);
    EXPECT_EQ(board_test::BoardPixel(10, 70), kWhite);

    board_test::KeyDown(VK_SHIFT);
    Perform(U(110, 50));
    board_test::KeyUp(VK_SHIFT);
    EXPECT_EQ(board_test::BackPixel(79, 45), kPen);
    EXPECT_EQ(board_test::BackPixel(109, 30), kWhite);
}
