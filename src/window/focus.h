#pragma once
// Focus and activation across threads. A thread may only give the focus to,
// or activate, a window of its own input queue; for a window of another
// thread of the program the two queues are joined while it is done.

#include <windows.h>

#include <functional>

// Runs `work` with the calling thread's input joined to that of `window`'s
// thread (not joined when it is the same thread or the window is gone).
void WithInputOf(HWND window, const std::function<void()>& work);

// Gives `window` the keyboard focus, from any thread of the program. True
// when the focus moved.
bool ForceFocus(HWND window);
