#include "board/pointer.h"

#include <cstdint>

#include "app/globals.h"
#include "app/settings.h"
#include "board/board_state.h"
#include "board/tools/board_tool.h"
#include "board/tools/move_board.h"

PointerContext BoardPointerContext(HWND window) {
    return PointerContext{window, Board, BoardCanvas, BackCanvas, Settings, PictureCanvas};
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
    PointerContext c = BoardPointerContext(window);
    const POINT p = PointFromLParam(lParam);
    if (BoardTool* tool = ToolFor(Board.currentTool)) {
        tool->Press(c, p);
        return;
    }
    // A tool whose pointer behaviour is not built: follow the button only.
    Board.currentPoint = p;
    Board.anchorPoint = p;
    c.BeginDrag();
}

void OnPointerMove(HWND window, WPARAM, LPARAM lParam) {
    if (BoardTool* tool = ToolFor(Board.currentTool)) {
        PointerContext c = BoardPointerContext(window);
        tool->Move(c, PointFromLParam(lParam));
    }
}

void OnLeftUp(HWND window, WPARAM, LPARAM lParam) {
    // A release only ends a gesture that began on the board. A button pressed
    // elsewhere (on the toolbox, say) and let go over the board must not draw:
    // the pen or the polyline would add a stroke from a stale point.
    if (!Board.dragging) return;
    Board.dragging = false;
    if (BoardTool* tool = ToolFor(Board.currentTool)) {
        PointerContext c = BoardPointerContext(window);
        tool->Release(c, PointFromLParam(lParam));
    }
    ReleaseCapture();
}

void OnWheel(HWND window, WPARAM wParam, LPARAM) {
    if (BoardTool* tool = ToolFor(Board.currentTool)) {
        PointerContext c = BoardPointerContext(window);
        tool->Wheel(c, WheelStep(wParam));
    }
}

void OnBoardMoved(HWND window, WPARAM, LPARAM lParam) {
    TrackBoardMove(window, lParam);
}
