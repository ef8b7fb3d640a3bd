#pragma once
// Input from outside the program's own message flow: the global F9 hotkey,
// the low-level mouse hook (toolbox docking) and the Esc key that closes the
// floating picture window.

#include <windows.h>

#include <atomic>

#include "graphics/gdi_owners.h"

// ---- F9 ----

// Registers F9 (no modifiers) for `owner` under `id` (the toolbox window's
// handle value is used as the id). The id is remembered: WM_HOTKEY messages
// with another id are not F9's. Returns RegisterHotKey's result.
bool RegisterF9(HWND owner, int id);
// The id the toolbox registers F9 under: its own window handle value.
int HotkeyIdOf(HWND toolbox);
// Unregisters what RegisterF9 registered (nothing when nothing is).
void UnregisterF9();

// WM_HOTKEY at the window that owns F9. Returns true when it was F9 (and
// acted on it): with a board open the board closes and the pen is selected
// again; otherwise the screen is captured into a new board. While a region
// screenshot is under way F9 does nothing.
bool HandleHotkeyMessage(HWND window, WPARAM id, LPARAM lParam);
// What F9 does, whoever received it.
void OnF9();

// ---- low-level mouse hook ----

// The hook's one client: (mouse message, x, y) in screen coordinates.
using MouseHookClient = void (*)(UINT message, int x, int y);

// Installs the hook for all threads (the hook procedure runs on the calling
// thread, which must run a message loop) and remembers `client`. Returns the
// hook handle, 0 on failure.
HHOOK InstallMouseHook(MouseHookClient client);
void RemoveMouseHook(HHOOK hook);
// The installed hook, 0 when none is.
extern std::atomic<HHOOK> MouseHook;
// Replaces the client the hook hands its events to and returns the previous
// one; nullptr cuts the hook's input off (the hook stays installed).
MouseHookClient SetMouseHookClient(MouseHookClient client);

// The hook on a thread of its own that does nothing but run it. The system
// removes a low-level hook, silently, whose procedure misses its time-out, so
// the thread must never wait on anything: its client only posts messages.
class MouseHookThread {
public:
    MouseHookThread() = default;
    ~MouseHookThread() { Stop(); }
    MouseHookThread(const MouseHookThread&) = delete;
    MouseHookThread& operator=(const MouseHookThread&) = delete;

    // Starts the thread and waits until the hook is installed there. False
    // (and no thread left) when the hook cannot be installed.
    bool Start(MouseHookClient client);
    // Removes the hook and ends the thread (nothing when none runs).
    void Stop();
    bool Running() const { return thread_.Valid(); }
    DWORD ThreadId() const { return threadId_; }

private:
    KernelHandle thread_;
    DWORD threadId_ = 0;
};

// The hook procedure.
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

// The last pointer position the hook reported, or the cursor position when it
// has reported none yet (the hook may only see the pointer over the
// program's own windows). Any thread.
POINT LastMousePoint();

// A coordinate as the client receives it: the low 16 bits of the point's
// coordinate as a signed value. Negative values are real places (a monitor
// left of or above the primary one) and stay as they are.
int HookCoordinate(LONG raw);

// ---- Esc ----

// WM_KEYUP of a window made with "Esc closes": releasing Esc closes the
// window when it is the active window, or the active window when that is the
// window's outermost ancestor.
void EscKeyHandler(HWND window, WPARAM key, LPARAM lParam);
