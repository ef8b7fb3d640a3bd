#pragma once
// Rectangle arithmetic for redrawing only what changed: where a preview drew,
// what must be restored from the committed drawing and shown again, and which
// rows of a surface a commit writes. Plain values: no window, no canvas.
//
// Rectangles are RECTs with right and bottom exclusive; an empty one (right
// <= left or bottom <= top) stands for nothing.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <span>

#include "board/history.h"

bool AreaEmpty(const RECT& r);
// The smallest rectangle holding both; an empty operand adds nothing.
RECT AreaUnion(const RECT& a, const RECT& b);
// The part of `r` on a surface of `size` (empty when none is).
RECT AreaClip(const RECT& r, SIZE size);
// `r` grown by `by` on every side (nothing stays nothing).
RECT AreaGrow(const RECT& r, int by);
// True when `inner` lies inside `outer` (nothing lies inside anything).
bool AreaContains(const RECT& outer, const RECT& inner);
std::int64_t AreaPixels(const RECT& r);
// The whole of a surface of `size`.
RECT WholeArea(SIZE size);

// The pixels a pen of `penWidth` can touch when it draws through `points`
// (lines, outlines, Bézier control points, boxes given by two corners): their
// bounding box, grown by the pen's reach and a pixel for rounding. A width of
// 0 or 1 is the one-pixel pen.
RECT PenArea(std::span<const POINT> points, int penWidth);
RECT PenArea(std::initializer_list<POINT> points, int penWidth);

// The rows of a bottom-up surface of `height` (as it lies in memory) that
// hold the top-down rectangle `r`.
PixelRect SurfaceRows(const RECT& r, int height);
// The top-down rectangle of `rows` of such a surface.
RECT SurfaceRect(const PixelRect& rows, int height);
