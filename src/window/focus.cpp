#include "window/focus.h"

void WithInputOf(HWND window, const std::function<void()>& work) {
    const DWORD self = GetCurrentThreadId();
    const DWORD owner = window != nullptr ? GetWindowThreadProcessId(window, nullptr) : 0;
    const bool attached = owner != 0 && owner != self && AttachThreadInput(self, owner, TRUE);
    work();
    if (attached) AttachThreadInput(self, owner, FALSE);
}

bool ForceFocus(HWND window) {
    if (window == nullptr) return false;
    bool moved = false;
    WithInputOf(window, [&] {
        const HWND previous = SetFocus(window);
        moved = previous != GetFocus();
    });
    return moved;
}
