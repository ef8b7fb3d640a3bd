// The pointer handlers on a real board window: real messages (sent, or real
// input through SendInput where the platform's capture or window dragging is
// what matters) and real pixels of the board canvases and the screen.

#include "board/pointer.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/board_state.h"
#include "board/tools/drawing_tools.h"
#include "settings/settings.h"
#include "support/board_fixture.h"
#include "window/screen.h"

namespace {

using board_test::SendToBoard;
using board_test::WaitUntil;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kPen = 0xFF0000;  // the default pen colour (blue)

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

void Down(int x, int y) { SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y)); }
void MoveTo(int x, int y) { SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, At(x, y)); }
void Hover(int x, int y) { SendToBoard(WM_MOUSEMOVE, 0, At(x, y)); }
void Up(int x, int y) { SendToBoard(WM_LBUTTONUP, 0, At(x, y)); }
void Click(int x, int y) {
    Down(x, y);
    Up(x, y);
}
void Wheel(int delta) {
    SendToBoard(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta))), 0);
}

enum class Layer { Shown, Back };

// True when p or one of its 8 neighbours has the colour on the board's
// canvas (the shown one or the committed one).
bool NearColor(Layer layer, int x, int y, COLORREF color) {
    bool found = false;
    board_test::OnBoard([&](DrawingBoard& b) {
        const Canvas& c = layer == Layer::Back ? b.Committed() : b.Shown();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (c.GetPixel(x + dx, y + dy) == color) found = true;
    });
    return found;
}

POINT ClientOrigin() {
    POINT p{0, 0};
    ClientToScreen(BoardWindow.load(), &p);
    return p;
}

// Real input: the platform decides which window gets it.
void CursorTo(int screenX, int screenY) { SetCursorPos(screenX, screenY); }
void Button(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
}

POINT BoardPoint(const char* which) {
    POINT p{};
    board_test::OnBoard([&p, which](DrawingBoard& b) {
        p = std::string(which) == "current" ? b.state.currentPoint : b.state.anchorPoint;
    });
    return p;
}

bool ActivateBoard() {
    HWND board = BoardWindow.load();
    SetForegroundWindow(board);
    return WaitUntil([board] { return GetForegroundWindow() == board; });
}

bool BoardDragging() {
    bool d = false;
    board_test::OnBoard([&d](DrawingBoard& b) { d = b.state.dragging; });
    return d;
}

class PointerTest : public board_test::BoardTest {
protected:
    // A white board of the given size from a picture file, centred on the
    // screen, with the default one-pixel blue pen and a hollow brush.
    void OpenWhiteBoard(int width = 400, int height = 300) {
        const std::string path = board_test::TempPath("pointer_white.bmp");
        ASSERT_TRUE(board_test::WriteBytes(path, board_test::SolidBmp(width, height, kWhite)));
        ASSERT_TRUE(OpenPictureBoardFile(path));
        ASSERT_TRUE(WaitForBoardReady(10000));
        ASSERT_EQ(board_test::LiveBoardSize().cx, width);
        ASSERT_EQ(board_test::BackPixel(width / 2, height / 2), kWhite);
    }

    void TearDown() override {
        Button(false);  // never leave the button down for the next test
        board_test::BoardTest::TearDown();
    }
};

}  // namespace

// ---- previews and commit ----

TEST_F(PointerTest, PreviewReachesOnlyTheWindowUntilTheReleaseCommitsIt) {
    OpenWhiteBoard();
    SelectTool(ToolLine);
    Down(10, 10);
    MoveTo(100, 10);
    EXPECT_EQ(board_test::BoardPixel(50, 10), kPen);
    EXPECT_EQ(board_test::BackPixel(50, 10), kWhite);
    const POINT o = ClientOrigin();
    // The user sees it (the platform puts the window on the screen a moment later).
    auto screenShows = [&](int x, int y, COLORREF c) {
        return WaitUntil([&] { return board_test::ScreenPixel(o.x + x, o.y + y) == c; }, 3000);
    };
    EXPECT_TRUE(screenShows(50, 10, kPen));

    // The next preview replaces the last one instead of adding to it.
    MoveTo(10, 100);
    EXPECT_EQ(board_test::BoardPixel(50, 10), kWhite);
    EXPECT_EQ(board_test::BoardPixel(10, 50), kPen);
    EXPECT_EQ(board_test::BackPixel(10, 50), kWhite);
    EXPECT_TRUE(screenShows(50, 10, kWhite));
    EXPECT_TRUE(screenShows(10, 50, kPen));

    Up(10, 100);
    EXPECT_EQ(board_test::BackPixel(10, 50), kPen);
    EXPECT_EQ(board_test::BackPixel(50, 10), kWhite);
    EXPECT_FALSE(BoardDragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PointerTest, HoveringWithoutTheButtonLeavesNoTrace) {
    OpenWhiteBoard();
    SelectTool(ToolEllipse);
    Hover(50, 50);
    Hover(150, 120);
    EXPECT_TRUE(board_test::BoardMatchesBack());
    EXPECT_EQ(board_test::BackPixel(50, 85), kWhite);
}

TEST_F(PointerTest, ReleaseThatNoPressOnTheBoardBeganDrawsNothing) {
    // A button pressed elsewhere and let go over the board must not draw a
    // pen stroke from the last point it knew.
    OpenWhiteBoard();
    SelectTool(ToolPen);
    Down(10, 10);
    Up(10, 10);
    Up(200, 10);
    EXPECT_EQ(board_test::BackPixel(100, 10), kWhite);
    EXPECT_EQ(board_test::BoardPixel(100, 10), kWhite);
}

// ---- pen ----

TEST_F(PointerTest, RealPointerPenStrokeFollowsOutsideTheWindowAndCommitsOnRelease) {
    OpenWhiteBoard();
    SelectTool(ToolPen);
    // The board is the active window, as its set-up leaves it: the platform
    // honours a capture for the window in the foreground.
    ASSERT_TRUE(ActivateBoard());
    const POINT o = ClientOrigin();
    // A pointer warp can be coalesced away when the machine is busy; nudge the
    // pointer again (one pixel off, then back) until the board has seen it.
    auto reach = [&](int x, int y) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (attempt > 0) CursorTo(o.x + x + 1, o.y + y);
            CursorTo(o.x + x, o.y + y);
            if (WaitUntil([&] {
                    const POINT p = BoardPoint("current");
                    return p.x == x && p.y == y;
                }, 1000))
                return true;
        }
        return false;
    };
    CursorTo(o.x + 50, o.y + 50);
    WaitUntil([&] {
        POINT c{};
        GetCursorPos(&c);
        return c.x == o.x + 50 && c.y == o.y + 50;
    });
    Button(true);
    ASSERT_TRUE(WaitUntil([] { return BoardDragging(); }));
    // Out of the board to the left, then back in lower down.
    ASSERT_TRUE(reach(-100, 50));
    ASSERT_TRUE(reach(50, 150));
    Button(false);
    ASSERT_TRUE(WaitUntil([] { return !BoardDragging(); }));

    // The stroke went through the point outside: (50,50) -> (-100,50) -> (50,150).
    EXPECT_EQ(board_test::BackPixel(20, 50), kPen);
    EXPECT_TRUE(NearColor(Layer::Back, 20, 130, kPen));  // on (-100,50)-(50,150)
    EXPECT_TRUE(NearColor(Layer::Back, 2, 118, kPen));
    EXPECT_EQ(board_test::BackPixel(50, 100), kWhite);    // not the short cut inside
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---- polyline ----

TEST_F(PointerTest, ThreeClicksOfThePolylineDrawTwoSegments) {
    OpenWhiteBoard();
    SelectTool(ToolPolyline);
    Click(20, 20);
    Click(120, 20);
    Click(120, 120);
    EXPECT_EQ(board_test::BackPixel(70, 20), kPen);
    EXPECT_EQ(board_test::BackPixel(120, 70), kPen);
    EXPECT_FALSE(NearColor(Layer::Back, 70, 70, kPen));  // not closed

    // Coming back to the tool starts a new polyline, not joined to the old.
    SelectTool(ToolLine);
    SelectTool(ToolPolyline);
    Click(20, 200);
    Click(120, 200);
    EXPECT_EQ(board_test::BackPixel(70, 200), kPen);
    EXPECT_FALSE(NearColor(Layer::Back, 70, 160, kPen));
}

TEST_F(PointerTest, PolylineRubberBandFollowsFromTheLastVertex) {
    OpenWhiteBoard();
    SelectTool(ToolPolyline);
    Click(20, 20);
    Down(120, 20);
    MoveTo(120, 120);
    EXPECT_EQ(board_test::BoardPixel(70, 70), kPen);  // 20,20 -> 120,120
    EXPECT_EQ(board_test::BackPixel(70, 70), kWhite);
    Up(120, 120);
    EXPECT_EQ(board_test::BackPixel(70, 70), kPen);
}

// ---- wheel ----

TEST_F(PointerTest, WheelWithTheEllipseDoesNothing) {
    OpenWhiteBoard();
    SelectTool(ToolEllipse);
    Settings.cornerRadius = 15;
    Down(10, 10);
    MoveTo(110, 90);
    Wheel(120);
    Wheel(-120);
    Wheel(-120);
    EXPECT_EQ(Settings.cornerRadius.load(), 15);
    Up(110, 90);
    EXPECT_EQ(Settings.cornerRadius.load(), 15);
    EXPECT_TRUE(board_test::BoardMatchesBack());
}

TEST_F(PointerTest, WheelChangesTheCornerByOneStepPerMessageWithinLimits) {
    OpenWhiteBoard();
    SelectTool(ToolRoundRect);
    Settings.cornerRadius = 15;
    Wheel(120);
    EXPECT_EQ(Settings.cornerRadius.load(), 16);
    Wheel(480);  // a fast turn is still one message, one step
    EXPECT_EQ(Settings.cornerRadius.load(), 17);
    Wheel(-120);
    Wheel(-960);
    EXPECT_EQ(Settings.cornerRadius.load(), 15);

    Settings.cornerRadius = 499;
    Wheel(120);
    Wheel(120);
    EXPECT_EQ(Settings.cornerRadius.load(), 500);
    Settings.cornerRadius = 1;
    Wheel(-120);
    Wheel(-120);
    EXPECT_EQ(Settings.cornerRadius.load(), 0);
}

TEST_F(PointerTest, WheelDuringARoundedRectangleDragRedrawsAtOnce) {
    OpenWhiteBoard();
    SelectTool(ToolRoundRect);
    Settings.cornerRadius = 0;
    Down(10, 10);
    MoveTo(150, 150);
    EXPECT_EQ(board_test::BoardPixel(10, 10), kPen);  // square corner
    for (int i = 0; i < 80; ++i) Wheel(120);
    EXPECT_EQ(Settings.cornerRadius.load(), 80);
    // No pointer move since: the preview was redrawn with the round corner.
    EXPECT_EQ(board_test::BoardPixel(10, 10), kWhite);
    EXPECT_EQ(board_test::BoardPixel(80, 10), kPen);
    Up(150, 150);
    EXPECT_EQ(board_test::BackPixel(10, 10), kWhite);
    EXPECT_EQ(board_test::BackPixel(80, 10), kPen);
}

// ---- closed shapes on the board ----

TEST_F(PointerTest, PolygonIsCentredOnThePressWithAVertexAtTheRelease) {
    OpenWhiteBoard();
    SelectTool(ToolPolygon);
    Settings.polygonVertices = 6;
    board_test::Drag(POINT{100, 100}, POINT{150, 100});
    // Hexagon (150,100) (125,56) (75,56) (50,100) (75,143) (125,143).
    EXPECT_TRUE(NearColor(Layer::Back, 100, 56, kPen));   // top side
    EXPECT_TRUE(NearColor(Layer::Back, 100, 143, kPen));  // bottom side
    EXPECT_TRUE(NearColor(Layer::Back, 137, 78, kPen));   // upper right side
    EXPECT_EQ(board_test::BackPixel(100, 100), kWhite);    // hollow brush
    bool emptied = false;
    board_test::OnBoard([&emptied](DrawingBoard& b) {
        emptied = static_cast<PolygonTool*>(b.tools.For(ToolPolygon))->Vertices().empty();
    });
    EXPECT_TRUE(emptied);
}

TEST_F(PointerTest, CircleDragIsADiameter) {
    OpenWhiteBoard();
    SelectTool(ToolCircle);
    board_test::Drag(POINT{100, 100}, POINT{200, 100});
    // Centre (150,100), radius 50.
    EXPECT_TRUE(NearColor(Layer::Back, 150, 50, kPen));
    EXPECT_TRUE(NearColor(Layer::Back, 150, 149, kPen));
    EXPECT_EQ(board_test::BackPixel(150, 100), kWhite);
    EXPECT_EQ(board_test::BackPixel(150, 40), kWhite);
}

TEST_F(PointerTest, CircleWithCtrlIsCentredOnThePress) {
    OpenWhiteBoard();
    SelectTool(ToolCircle);
    Down(150, 150);
    MoveTo(200, 150);
    EXPECT_TRUE(NearColor(Layer::Shown, 175, 125, kPen));  // the diameter circle
    board_test::KeyDown(VK_CONTROL);                       // redraws at once
    EXPECT_FALSE(NearColor(Layer::Shown, 175, 125, kPen));
    Up(200, 150);
    board_test::KeyUp(VK_CONTROL);
    // Centre (150,150), radius 50.
    EXPECT_TRUE(NearColor(Layer::Back, 150, 100, kPen));
    EXPECT_TRUE(NearColor(Layer::Back, 100, 150, kPen));
    EXPECT_FALSE(NearColor(Layer::Back, 175, 125, kPen));
}

TEST_F(PointerTest, ArrowHasItsHeadAtTheRelease) {
    OpenWhiteBoard();
    SelectTool(ToolArrow);
    Settings.arrowLength = 20;
    Settings.arrowAngle = 20;
    board_test::Drag(POINT{20, 100}, POINT{120, 100});
    EXPECT_EQ(board_test::BackPixel(60, 100), kPen);
    EXPECT_TRUE(NearColor(Layer::Back, 101, 93, kPen));
    EXPECT_TRUE(NearColor(Layer::Back, 101, 106, kPen));
    EXPECT_FALSE(NearColor(Layer::Back, 39, 93, kPen));  // no head at the tail
}

// ---- moving a board that is not screen-sized ----

TEST_F(PointerTest, RealPointerMoveBoardToolDragsASmallBoard) {
    OpenWhiteBoard(400, 300);
    SelectTool(ToolMoveBoard);
    RECT before{};
    GetWindowRect(BoardWindow.load(), &before);
    CursorTo(before.left + 100, before.top + 100);
    WaitUntil([&] {
        POINT c{};
        GetCursorPos(&c);
        return c.x == before.left + 100;
    });
    Button(true);
    for (int i = 1; i <= 4; ++i) {
        CursorTo(before.left + 100 + 10 * i, before.top + 100 + 8 * i);
        Sleep(30);  // real input at a human pace; the platform's loop follows it
    }
    Button(false);
    RECT after{};
    const bool moved = WaitUntil([&] {
        GetWindowRect(BoardWindow.load(), &after);
        return after.left == before.left + 40 && after.top == before.top + 32;
    });
    EXPECT_TRUE(moved) << after.left - before.left << "," << after.top - before.top;
    EXPECT_EQ(after.right - after.left, 400);
    // Nothing was drawn and no drag of our own is left behind.
    EXPECT_FALSE(BoardDragging());
    EXPECT_TRUE(board_test::BoardMatchesBack());
}

TEST_F(PointerTest, RecentringTheBoardIsNotUndoneByTheMoveTracking) {
    OpenWhiteBoard(400, 300);
    SelectTool(ToolMoveBoard);
    // A new picture of another size recentres the reused board window.
    const std::string path = board_test::TempPath("pointer_small.bmp");
    ASSERT_TRUE(board_test::WriteBytes(path, board_test::SolidBmp(200, 100, kWhite)));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    RECT r{};
    ASSERT_TRUE(WaitUntil([&] {
        GetWindowRect(BoardWindow.load(), &r);
        return r.right - r.left == 200;
    }));
    ProcessPendingMessages();
    GetWindowRect(BoardWindow.load(), &r);
    EXPECT_EQ(r.left, (ScreenSize.cx - 200) / 2);
    EXPECT_EQ(r.top, (ScreenSize.cy - 100) / 2);
}

// ---- message decoding ----

TEST(PointerMessage, CoordinatesAreSigned16BitHalves) {
    const POINT p = PointFromLParam(MAKELPARAM(static_cast<WORD>(-100), 50));
    EXPECT_EQ(p.x, -100);
    EXPECT_EQ(p.y, 50);
    const POINT q = PointFromLParam(MAKELPARAM(1919, static_cast<WORD>(-1)));
    EXPECT_EQ(q.x, 1919);
    EXPECT_EQ(q.y, -1);
}

TEST(PointerMessage, WheelStepIsTheSignOfTheWholeWParam) {
    EXPECT_EQ(WheelStep(MAKEWPARAM(0, 120)), 1);
    EXPECT_EQ(WheelStep(MAKEWPARAM(MK_SHIFT, 480)), 1);
    EXPECT_EQ(WheelStep(MAKEWPARAM(0, static_cast<WORD>(-120))), -1);
    EXPECT_EQ(WheelStep(MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-960))), -1);
    EXPECT_EQ(WheelStep(0), -1);  // below 1
}
