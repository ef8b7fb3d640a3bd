#include "board/tools/move_board.h"

#include "board/pointer.h"
#include "board/tools/drawing_tools.h"
#include "graphics/monitors.h"

namespace {

// The platform drag in progress (board thread only).
struct PlatformDrag {
    bool active = false;
    POINT remembered{};  // where the window goes when the drag ends
};
PlatformDrag Moving;

POINT WindowCorner(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{r.left, r.top};
}

}  // namespace

void TrackBoardMove(HWND window, LPARAM lParam) {
    if (!Moving.active) return;
    (void)window;
    Moving.remembered = PointFromLParam(lParam);
}

void MoveBoardTool::Press(PointerContext& c, POINT p) {
    RecordPress(c.state, p);
    const RECT desktop = VirtualScreenRect();
    if (c.window == nullptr || (c.board.Width() == desktop.right - desktop.left &&
                                c.board.Height() == desktop.bottom - desktop.top)) {
        c.BeginDrag();  // a desktop-sized board stays where it is
        return;
    }
    // Let the platform drag the whole window as if by its caption. The call
    // returns when the button is released; it is not a drag of our own.
    Moving.active = true;
    Moving.remembered = WindowCorner(c.window);
    SendMessageA(c.window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    Moving.active = false;
    const POINT now = WindowCorner(c.window);
    if (now.x != Moving.remembered.x || now.y != Moving.remembered.y) {
        SetWindowPos(c.window, nullptr, Moving.remembered.x, Moving.remembered.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

RECT MoveBoardTool::DrawPreview(PointerContext&) {
    // Nothing to draw: the board itself is what moves.
    return RECT{};
}
