#pragma once
// RawWindow: makes one top-level window of class "MyWindowClass" (or a given
// class) on the calling thread, registers it in RawWindowList and runs the
// thread's message loop until the window's WM_DESTROY posts the quit message.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/handler_table.h"

using CreationRoutine = void (*)(HWND window);

// Where RawWindow puts a new window.
enum class WindowPosition {
    SystemDefault,  // the system's choice
    Centred,        // centred on the screen, or over the parent window
    AtPosition,     // at `position`; centred when no position is given
};

// Every field may be left out; the comments give the value used then.
struct RawWindowParams {
    std::optional<std::string> title;        // "白手起家，凭空创建窗口"
    std::optional<std::string> className;    // "MyWindowClass" (also when empty)
    std::optional<WindowPosition> positionMode;  // SystemDefault
    std::optional<POINT> position;
    std::optional<SIZE> size;                // 400 x 300
    std::optional<std::string> menuCaption;  // a menu bar with one pop-up of this caption
    std::optional<HWND> parent;
    std::optional<bool> show;                // true
    std::optional<COLORREF> background;      // the window paints this colour itself
    std::optional<int> opacity;              // layered, alpha = opacity & 0xFF
    std::optional<HFONT> font;
    bool dragByClientArea = false;
    std::optional<int> escCloses;            // exactly 1: releasing Esc closes it
    std::optional<bool> showInTaskbar;       // true: WS_EX_APPWINDOW, false: WS_EX_TOOLWINDOW
    std::optional<HRGN> region;              // handed over: the window owns it (deleted if refused)
    std::optional<DWORD> style;              // WS_OVERLAPPEDWINDOW-like 0x00CF0000
    std::optional<DWORD> exStyle;            // 0
    CreationRoutine onCreate = nullptr;      // after show/update, before the loop
    HandlerRoutine onCommand = nullptr;      // registered for WM_COMMAND
    std::optional<std::string> entryName;
};

struct RawWindowEntry {
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    HWND topAncestor = nullptr;
    int escCloses = 0;
    std::string name;
    COLORREF background = 0;
    HFONT font = nullptr;
};

// Creates the window and runs its loop; returns when the thread's loop ends,
// or at once (after the "创建窗口失败！" box) when the window cannot be made.
void RawWindow(const RawWindowParams& params = {});

// The window procedure of every window RawWindow makes (class "MyWindowClass").
LRESULT CALLBACK RawWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Snapshots of the shared lists (copies, taken under the lists' guard).
std::vector<RawWindowEntry> RawWindowListSnapshot();
std::optional<RawWindowEntry> FindRawWindow(HWND window);
bool IsColoredWindow(HWND window, COLORREF* color = nullptr);
std::vector<std::pair<HWND, COLORREF>> ColoredWindowListSnapshot();

// The routine registered for WM_KEYUP on windows made with escCloses == 1 (the
// Esc handler lives with the hotkey code; it is plugged in here at start-up so
// this file does not depend on it). Returns the previous routine.
HandlerRoutine SetEscCloseRoutine(HandlerRoutine routine);

// The one message box of the program goes through this routine so tests can
// replace it (a modal box would block a scripted run).
using MessageBoxRoutine = int (*)(HWND owner, const char* text, const char* caption, UINT flags);
// Returns the previous routine; nullptr restores MessageBoxA.
MessageBoxRoutine SetMessageBoxRoutine(MessageBoxRoutine routine);

// Position worked out for mode/position/size (pure; screen or parent rect given).
// SystemDefault gives CW_USEDEFAULT for x and y; Centred centres on `reference`
// (the screen, or the parent's window rectangle); AtPosition uses `position`.
struct WindowPlacement {
    WindowPosition mode;  // the one applied (AtPosition without a position is Centred)
    int x;
    int y;
};
WindowPlacement ComputeWindowPlacement(std::optional<WindowPosition> mode,
                                       std::optional<POINT> position, SIZE size,
                                       const RECT& reference);
