#pragma once
// Edge docking of the toolbox: pushed out of view at a screen edge while the
// pointer is elsewhere, brought back when the pointer reaches that edge.
// DockingStep is the whole rule as a pure function; the hook client applies
// its answer to the window.

#include <windows.h>

#include <atomic>

struct DockingDecision {
    bool move = false;        // set the toolbox's left to newLeft (top and size stay)
    int newLeft = 0;
    bool changeTopmost = false;
    bool topmost = false;     // when changeTopmost: always on top or not
    bool docked = false;      // the docked flag afterwards
};

// One mouse event at screen point (x, y). `rect` is the toolbox rectangle,
// `docked` whether it is pushed out, `boardOpen` whether a board window exists.
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

// The mouse-hook client: applies DockingStep to the toolbox window.
void ToolboxDockingRoutine(UINT message, int x, int y);
