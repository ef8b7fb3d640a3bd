#include "board/pointer.h"

#include <cstdint>

#include "board/board.h"
#include "board/board_state.h"
#include "board/tools/board_tool.h"
#include "board/tools/move_board.h"
#include "board/tools/tool_table.h"
#include "settings/settings.h"

PointerContext BoardPointerContext(DrawingBoard& b) {
    return PointerContext{b.Window(), b.state, b.Shown(), b.Committed(), Settings,
                          b.Layer(),  b,       std::nullopt, &b.History()};
}

POINT PointFromLParam(LPARAM lParam) {
    const auto bits = static_cast<std::uint32_t>(lParam);
    return POINT{static_cast<std::int16_t>(bits & 0xFFFF),
                 static_cast<std::int16_t>((bits >> 16) & 0xFFFF)};
}

int WheelStep(WPARAM wParam) {
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
    return value < 1 ? -1 : 1;
}

void OnLeftDown(HWND window, WPARAM, LPARAM lParam) {
    DrawingBoard* b = BoardOf(window);
    if (b == nullptr) return;
    PointerContext c = BoardPointerContext(*b);
    const POINT p = PointFromLParam(lParam);
    if (BoardTool* tool = b->tools.For(b->state.currentTool)) {
        tool->Press(c, p);
        return;
    }
    // A tool whose pointer behaviour is not built: follow the button only.
    b->state.currentPoint = p;
    b->state.anchorPoint = p;
    c.BeginDrag();
}

void OnPointerMove(HWND window, WPARAM, LPARAM lParam) {
    DrawingBoard* b = BoardOf(window);
    if (b == nullptr) return;
    if (BoardTool* tool = b->tools.For(b->state.currentTool)) {
        PointerContext c = BoardPointerContext(*b);
        tool->Move(c, PointFromLParam(lParam));
    }
}

void OnLeftUp(HWND window, WPARAM, LPARAM lParam) {
    DrawingBoard* b = BoardOf(window);
    if (b == nullptr) return;
    // A release only ends a gesture that began on the board. A button pressed
    // elsewhere (on the toolbox, say) and let go over the board must not draw:
    // the pen or the polyline would add a stroke from a stale point.
    if (!b->state.dragging) return;
    b->state.dragging = false;
    if (BoardTool* tool = b->tools.For(b->state.currentTool)) {
        PointerContext c = BoardPointerContext(*b);
        tool->Release(c, PointFromLParam(lParam));
    }
    ReleaseCapture();
}

void OnWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    DrawingBoard* b = BoardOf(window);
    if (b == nullptr) return;
    if (BoardTool* tool = b->tools.For(b->state.currentTool)) {
        PointerContext c = BoardPointerContext(*b);
        // The wheel's position is on the screen; the board is a popup whose
        // client area starts at its window's corner.
        RECT frame{};
        if (GetWindowRect(window, &frame)) {
            const POINT screen = PointFromLParam(lParam);
            c.wheelPoint = POINT{screen.x - frame.left, screen.y - frame.top};
        }
        tool->Wheel(c, WheelStep(wParam));
    }
}

void OnBoardMoved(HWND window, WPARAM, LPARAM lParam) {
    TrackBoardMove(window, lParam);
}
