#pragma once
// The geometry of the region screenshot, as pure functions over values: the
// selected rectangle and its eight handles, dragging a handle, where the
// magnifier, the information box and the label go, the label's text, and
// clipping a rectangle to the screen.
//
// Rectangles of a selection are inclusive: (left, top) and (right, bottom)
// are both pixels of the selection, so 0..100 is 101 pixels wide.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "graphics/dpi.h"

// Handle numbers: 0 none, 1 top-left, 2 top, 3 top-right, 4 left, 5 right,
// 6 bottom-left, 7 bottom, 8 bottom-right, 9 the whole region (move).
enum RegionHandle : int {
    kHandleNone = 0,
    kHandleTopLeft = 1,
    kHandleTop = 2,
    kHandleTopRight = 3,
    kHandleLeft = 4,
    kHandleRight = 5,
    kHandleBottomLeft = 6,
    kHandleBottom = 7,
    kHandleBottomRight = 8,
    kHandleMove = 9,
};

// The rectangle from one dragged corner to the other, sides swapped where
// inverted (left <= right, top <= bottom).
RECT NormalizeRegion(POINT start, POINT end);
// A rectangle of one pixel (nothing dragged out yet).
bool IsPointRegion(const RECT& region);

// The eight 5 x 5 handle squares, in handle order 1..8: corners and the
// middles of the edges, each (px - 2, py - 2, px + 3, py + 3).
std::array<RECT, 8> HandleBoxes(const RECT& region);

// What the pointer at `p` is over: the first handle box (1..8) holding it,
// else kHandleMove inside the region (its border included), else kHandleNone.
int HitTestRegion(const RECT& region, POINT p);

// The pointer shape for a hit (an IDC_ resource name); null for kHandleNone,
// which shows the program's own cursor.
LPCSTR HandleCursorName(int handle);

// The two dragged corners after dragging `handle` to `p`; `last` is the
// previous pointer position (only the move handle uses it).
struct DragCorners {
    POINT start;
    POINT end;
};
DragCorners DragHandle(int handle, DragCorners corners, POINT p, POINT last);

// The arrow keys while a region is chosen, for pixel-exact selections. An
// arrow (VK_LEFT..VK_DOWN) moves the region one pixel; with Shift, Right and
// Left make it one pixel wider and narrower and Down and Up one pixel taller
// and shorter, by moving its right or bottom edge. A step that would take it
// further past an edge of a `screen`-sized screen, or shrink it to less than
// a pixel or to a single point, leaves it as it is.
RECT NudgeRegion(const RECT& region, UINT key, bool shift, SIZE screen);
// Before a region is chosen an arrow moves the pointer by one pixel instead,
// never off the screen.
POINT NudgePointer(POINT pointer, UINT key, SIZE screen);

// The part of `region` on a screen of `screen` size, or nothing when no pixel
// of it is on the screen.
std::optional<RECT> ClipRegionToScreen(const RECT& region, SIZE screen);

// The magnifier, the information box and the label are drawn for a monitor
// of `dpi`: their sizes and distances (given here at 96 DPI) scale with it,
// while the picture under them stays in the screen's own pixels.

// The magnifier enlarges a square of 30 x 30 screen pixels four times.
constexpr int kMagnifierZoom = 4;
int MagnifierSourceSize(int dpi = kBaseDpi);
// The magnifier (120 x 120) for the pointer at (x, y): right of and below the
// pointer, or left of / above it where it would leave the screen.
RECT MagnifierRect(POINT pointer, SIZE screen, int dpi = kBaseDpi);
// The same flipping at the edges of `monitor`, the monitor under the pointer.
RECT MagnifierRectIn(POINT pointer, const RECT& monitor, int dpi = kBaseDpi);
// The information box (120 x 30): under the magnifier when that is shown,
// else next to the pointer by the same rules.
RECT InfoBoxRect(POINT pointer, SIZE screen, bool magnifierShown, int dpi = kBaseDpi);
RECT InfoBoxRectIn(POINT pointer, const RECT& monitor, bool magnifierShown, int dpi = kBaseDpi);
// Whether the magnifier is drawn: with no region selected, or while a handle
// (not the whole region) is dragged.
bool MagnifierShown(bool regionSelected, bool dragging, int activeHandle);

// The information box's two lines, GBK.
std::string InfoColorLine(COLORREF color);
std::string InfoPointLine(POINT pointer);
// The colour as text for the clipboard: "#RRGGBB", capital hexadecimal digits.
std::string ColorHexText(COLORREF color);

// The label (200 x 20) at the region's corner: above the region, or inside
// it at its top when there is no room above, and never off the screen.
RECT LabelRect(const RECT& region, SIZE screen, int dpi = kBaseDpi);
// The same kept on `monitor`, the monitor under the region's top-left corner.
RECT LabelRectIn(const RECT& region, const RECT& monitor, int dpi = kBaseDpi);
// Its text (GBK): the top-left corner and the size of the part of the
// region that is on the screen (0 x 0 when none is).
std::string LabelText(const RECT& region, SIZE screen);

// The capture delay to wait, in milliseconds: the setting, bounded to
// 0..kMaxCaptureDelayMs so a mistyped Config.ini cannot freeze the program.
constexpr int kMaxCaptureDelayMs = 5000;
int BoundedCaptureDelay(int setting);

// Where a picture window of `size` goes, centred on `mouse` and kept on a
// screen of `screen` size (its top-left corner wins when it is larger).
POINT PictureWindowPosition(POINT mouse, SIZE size, SIZE screen);
