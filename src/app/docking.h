#pragma once
// Edge docking of the toolbox: pushed out of view at a screen edge while the
// pointer is elsewhere, brought back when the pointer reaches that edge.
// DockingStep is the whole rule as a pure function; the hook client applies
// its answer to the window.

#include <windows.h>

#include <atomic>
#include <span>

struct DockingDecision {
    bool move = false;        // set the toolbox's left to newLeft (top and size stay)
    int newLeft = 0;
    bool changeTopmost = false;
    bool topmost = false;     // when changeTopmost: always on top or not
    bool docked = false;      // the docked flag afterwards
};

// One mouse event at screen point (x, y). `rect` is the toolbox rectangle,
// `docked` whether it is pushed out, `boardOpen` whether a board window exists,
// `monitors` the desktop's monitors. The toolbox docks at a monitor's left or
// right edge only where no other monitor lies beyond that edge at the
// toolbox's height: pushed out there, no part of it shows on a neighbour.
DockingDecision DockingStep(const RECT& rect, bool docked, bool boardOpen, int x, int y,
                            std::span<const RECT> monitors);
// The same on one screen `screenWidth` wide.
DockingDecision DockingStep(const RECT& rect, bool docked, bool boardOpen, int x, int y,
                            int screenWidth);

// The toolbox rectangle as last seen (refreshed whenever the toolbox moves or
// changes size) and the docked flag. Main thread.
extern RECT ToolboxRect;
extern std::atomic<bool> ToolboxDocked;
// True while the user drags the toolbox (its move loop runs). The pointer runs
// ahead of the window during a drag, so it is briefly outside the toolbox:
// docking waits until the drag ends.
extern std::atomic<bool> ToolboxBeingMoved;

// Where the pointer comes from. The low-level mouse hook runs on a thread of
// its own and only posts the pointer to the toolbox (kToolboxPointerMessage);
// the toolbox applies it on its own thread. While the toolbox is pushed out,
// a light poll of the cursor position (kDockingPollTimer, about ten times a
// second) does the same, so that it comes back even when the hook sees
// nothing (some systems report low-level mouse events only over the
// program's own windows, and the system drops a hook that is too slow).
constexpr UINT kToolboxPointerMessage = WM_APP + 0x320;  // wParam mouse message, lParam x, y
constexpr UINT_PTR kDockingPollTimer = 0x4443;
constexpr UINT kDockingPollMs = 100;

// The hook's client (hook thread): posts the pointer to the toolbox. Moves
// are coalesced: while one is waiting in the toolbox's queue, later ones
// only update the position it will read.
void PostPointerToToolbox(UINT message, int x, int y);
// Forgets a pointer message still on its way (the toolbox that would have
// read it is going away).
void ForgetPostedPointer();
// kToolboxPointerMessage at the toolbox (toolbox thread).
void OnToolboxPointerMessage(HWND toolbox, WPARAM wParam, LPARAM lParam);
// kDockingPollTimer at the toolbox (toolbox thread): applies the cursor position.
void PollDockingCursor(HWND toolbox);

// Applies DockingStep for the pointer at (x, y) to the toolbox window and
// starts or stops the poll to match. Toolbox thread.
void ToolboxDockingRoutine(UINT message, int x, int y);
