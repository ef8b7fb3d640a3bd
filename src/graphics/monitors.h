#pragma once
// The monitors of the desktop and the rules that place things on them.
//
// The desktop (the virtual screen) is every monitor together: its top-left
// corner is negative when a monitor lies left of or above the primary, which
// the system always puts at (0,0). Its bounding rectangle may hold gaps that
// no monitor covers. Everything the program shows beside the pointer (the
// magnifiers, the information box, the spectrum, a picture window) keeps to
// the monitor under the pointer, so that none of it lands in a gap or half on
// another monitor.
//
// The rules are pure functions over lists of monitor rectangles (right and
// bottom excluded); the two platform calls below read the lists.

#include <windows.h>

#include <span>
#include <vector>

// ---- pure rules ----

// The rectangle around all monitors; an empty rectangle for none.
RECT DesktopRect(std::span<const RECT> monitors);
// The monitor that holds `p`, else the nearest one (the first of equals);
// an empty rectangle when there is none.
RECT MonitorAt(std::span<const RECT> monitors, POINT p);
// The same monitors with (dx, dy) added to every edge.
std::vector<RECT> ShiftedMonitors(std::span<const RECT> monitors, int dx, int dy);
// Top-left corner of a `size` rectangle centred on `area` (halves truncated
// toward zero; left of / above `area` when larger than it).
POINT CentreIn(const RECT& area, SIZE size);

// Where a board window goes and where things beside its pointer keep to, in
// the board's own pixels. `board` is the board window on the desktop, `p` a
// point of the board: the part of the monitor under `p` that the board
// covers, or the whole board when that is nothing (or no monitor is known).
RECT AreaOnBoard(std::span<const RECT> monitors, const RECT& board, POINT p);

// Where a window of `size` goes, centred on `p` and kept on the monitor under
// `p` (its top-left corner wins when it is larger than that monitor).
POINT WindowPositionOnMonitor(std::span<const RECT> monitors, POINT p, SIZE size);

// Whether a window's strip [top, bottom) could be pushed out past a side
// edge of a monitor at `edgeX` without showing on another monitor: no
// monitor overlaps the strip between edgeX and edgeX - width (left side,
// `left` true) or between edgeX and edgeX + width (right side).
bool OuterEdge(std::span<const RECT> monitors, int edgeX, bool left, int top, int bottom,
               int width);
// Where the toolbox starts: at the desktop's outer left edge, the left of
// the left-most monitor (the first of equals), vertically centred on it.
POINT ToolboxHome(std::span<const RECT> monitors, SIZE toolbox);

// ---- the platform's answer (any thread) ----

// Every monitor's rectangle in screen coordinates, the primary first; the
// primary screen alone when the system lists none.
std::vector<RECT> MonitorRects();
// The virtual screen (SM_XVIRTUALSCREEN .. SM_CYVIRTUALSCREEN); the primary
// screen when the system gives no virtual screen.
RECT VirtualScreenRect();
