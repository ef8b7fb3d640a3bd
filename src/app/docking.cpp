#include "app/docking.h"

#include "app/globals.h"
#include "app/palette.h"
#include "board/board.h"

RECT ToolboxRect{};
std::atomic<bool> ToolboxDocked{false};
std::atomic<bool> ToolboxBeingMoved{false};

DockingDecision DockingStep(const RECT& rect, bool docked, bool boardOpen, int x, int y,
                            int screenWidth) {
    DockingDecision d;
    d.docked = docked;
    const int width = rect.right - rect.left;
    if (docked) {
        if (x >= rect.left - 3 && x <= rect.right + 3 && y >= rect.top && y <= rect.bottom) {
            d.move = true;
            d.newLeft = rect.left > 3 ? screenWidth - width + 1 : 0;
            // While a board is open the toolbox keeps floating over it.
            if (!boardOpen) {
                d.changeTopmost = true;
                d.topmost = false;
            }
            d.docked = false;
        }
        return d;
    }
    const bool atEdge = rect.left <= 3 || screenWidth - rect.left - width < 4;
    if (!atEdge) return d;
    const POINT p{x, y};
    if (PtInRect(&rect, p)) return d;
    d.move = true;
    d.newLeft = rect.left > 3 ? screenWidth + 1 : -width;
    d.changeTopmost = true;
    d.topmost = true;
    d.docked = true;
    return d;
}

void ToolboxDockingRoutine(UINT, int x, int y) {
    HWND toolbox = ToolboxWindow.load();
    if (toolbox == nullptr || !IsWindow(toolbox) || ToolboxBeingMoved.load()) return;
    const DockingDecision d =
        DockingStep(ToolboxRect, ToolboxDocked.load(), BoardExists(), x, y, ScreenSize.cx);
    ToolboxDocked.store(d.docked);
    if (!d.move) return;
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
    HWND after = nullptr;
    if (d.changeTopmost)
        after = d.topmost ? HWND_TOPMOST : HWND_NOTOPMOST;
    else
        flags |= SWP_NOZORDER;
    SetWindowPos(toolbox, after, d.newLeft, ToolboxRect.top, 0, 0, flags);
}
