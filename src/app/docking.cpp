#include "app/docking.h"

#include "app/hotkey.h"
#include "app/palette.h"
#include "board/board.h"
#include "graphics/monitors.h"

RECT ToolboxRect{};
std::atomic<bool> ToolboxDocked{false};
std::atomic<bool> ToolboxBeingMoved{false};

namespace {

// The latest pointer from the hook and whether a message for it is waiting.
std::atomic<LPARAM> g_latestPointer{0};
std::atomic<bool> g_pointerPosted{false};

// A left press that began on the toolbox, not yet released (toolbox thread).
// The hook's pointer messages are posted, and a posted message is read before
// the input waiting in the same queue: the first moves of a quick drag of the
// title strip can arrive before the press has started the toolbox's move
// loop. Until the release, the pointer outside the toolbox is the drag's.
bool g_pressOnToolbox = false;

bool LeftButtonDown() {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

// Whether the pointer event belongs to a press held on the toolbox.
bool PressHeldOnToolbox(UINT message, int x, int y) {
    if (message == WM_LBUTTONDOWN)
        g_pressOnToolbox = PtInRect(&ToolboxRect, POINT{x, y}) != FALSE;
    else if (message == WM_LBUTTONUP)
        g_pressOnToolbox = false;
    // A release the hook never reported (over another program's window on
    // some systems) must not keep the toolbox from docking.
    else if (g_pressOnToolbox && !LeftButtonDown())
        g_pressOnToolbox = false;
    return g_pressOnToolbox;
}

LPARAM PackPoint(int x, int y) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
}

}  // namespace

void PostPointerToToolbox(UINT message, int x, int y) {
    HWND toolbox = ToolboxWindow.load();
    if (toolbox == nullptr) return;
    g_latestPointer.store(PackPoint(x, y));
    if (message == WM_MOUSEMOVE && g_pointerPosted.exchange(true)) return;
    if (!PostMessageA(toolbox, kToolboxPointerMessage, message, g_latestPointer.load()) &&
        message == WM_MOUSEMOVE) {
        g_pointerPosted.store(false);
    }
}

void ForgetPostedPointer() { g_pointerPosted.store(false); }

void OnToolboxPointerMessage(HWND, WPARAM wParam, LPARAM lParam) {
    const UINT message = static_cast<UINT>(wParam);
    if (message == WM_MOUSEMOVE) {
        g_pointerPosted.store(false);
        lParam = g_latestPointer.load();  // the newest position, not the one posted
    }
    ToolboxDockingRoutine(message, static_cast<short>(LOWORD(lParam)),
                          static_cast<short>(HIWORD(lParam)));
}

void PollDockingCursor(HWND toolbox) {
    if (!ToolboxDocked.load()) {
        KillTimer(toolbox, kDockingPollTimer);
        return;
    }
    POINT p{};
    if (!GetCursorPos(&p)) return;
    ToolboxDockingRoutine(WM_MOUSEMOVE, HookCoordinate(p.x), HookCoordinate(p.y));
}

DockingDecision DockingStep(const RECT& rect, bool docked, bool boardOpen, int x, int y,
                            std::span<const RECT> monitors) {
    DockingDecision d;
    d.docked = docked;
    const int width = rect.right - rect.left;
    if (docked) {
        if (x >= rect.left - 3 && x <= rect.right + 3 && y >= rect.top && y <= rect.bottom) {
            d.move = true;
            // Pushed out at a left edge, a monitor begins where the toolbox ends.
            const bool leftEdge = !OuterEdge(monitors, rect.right, false, rect.top, rect.bottom, 1);
            d.newLeft = leftEdge ? rect.right : rect.left - width;
            // While a board is open the toolbox keeps floating over it.
            if (!boardOpen) {
                d.changeTopmost = true;
                d.topmost = false;
            }
            d.docked = false;
        }
        return d;
    }
    if (PtInRect(&rect, POINT{x, y})) return d;
    for (const RECT& m : monitors) {
        if (m.top >= rect.bottom || m.bottom <= rect.top) continue;  // not at its height
        if (rect.left <= m.left + 3 && rect.right > m.left &&
            OuterEdge(monitors, m.left, true, rect.top, rect.bottom, width)) {
            d.newLeft = m.left - width;
        } else if (m.right - rect.left - width < 4 && rect.left < m.right &&
                   OuterEdge(monitors, m.right, false, rect.top, rect.bottom, width + 1)) {
            d.newLeft = m.right + 1;
        } else {
            continue;
        }
        d.move = true;
        d.changeTopmost = true;
        d.topmost = true;
        d.docked = true;
        return d;
    }
    return d;
}

DockingDecision DockingStep(const RECT& rect, bool docked, bool boardOpen, int x, int y,
                            int screenWidth) {
    const RECT screen{0, -(1 << 29), screenWidth, 1 << 29};
    return DockingStep(rect, docked, boardOpen, x, y, std::span<const RECT>(&screen, 1));
}

void ToolboxDockingRoutine(UINT message, int x, int y) {
    HWND toolbox = ToolboxWindow.load();
    // A toolbox not shown yet stays where it was put: pushed out of view before
    // its first showing, it would never be drawn at all until the edge is touched.
    if (toolbox == nullptr || !IsWindow(toolbox) || !IsWindowVisible(toolbox)) return;
    if (PressHeldOnToolbox(message, x, y) || ToolboxBeingMoved.load()) return;
    const std::vector<RECT> monitors = MonitorRects();
    const DockingDecision d =
        DockingStep(ToolboxRect, ToolboxDocked.load(), BoardExists(), x, y, monitors);
    ToolboxDocked.store(d.docked);
    if (!d.move) return;
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
    HWND after = nullptr;
    if (d.changeTopmost)
        after = d.topmost ? HWND_TOPMOST : HWND_NOTOPMOST;
    else
        flags |= SWP_NOZORDER;
    SetWindowPos(toolbox, after, d.newLeft, ToolboxRect.top, 0, 0, flags);
    // Pushed out: watch the cursor too. Back: the hook alone will do.
    if (d.docked)
        SetTimer(toolbox, kDockingPollTimer, kDockingPollMs, nullptr);
    else
        KillTimer(toolbox, kDockingPollTimer);
}
