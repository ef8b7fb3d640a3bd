#pragma once
// The modifier keys of a shape under construction, as functions of values:
// Shift snaps lines to the axes and diagonals or squares a box, Ctrl mirrors
// the corner through the anchor so the box is centred on it, Space moves the
// whole shape with the pointer.

#include <windows.h>

// Moves the cursor onto the horizontal, vertical or 45-degree line through the
// anchor. The sectors meet at slopes 1/2 and 2: |dy| <= |dx| / 2 goes
// horizontal, |dx| <= |dy| / 2 vertical, the rest diagonal.
POINT SnapToAxes(POINT anchor, POINT cursor);

// Moves the cursor onto a diagonal through the anchor at the mean of the two
// extents, making the box anchor-cursor a square. A zero extent counts as the
// (-, +) quadrant.
POINT SnapToDiagonal(POINT anchor, POINT cursor);
// The same with the extents already known (dx = cursor.x - anchor.x, ...).
POINT SnapToDiagonal(POINT anchor, int dx, int dy);

// The reflection of p through q.
POINT MirrorPoint(POINT p, POINT q);

// What Shift does to a tool's cursor.
enum class ShiftSnap {
    None,    // pen, circle, and the sweep of the arcs
    Axes,    // lines, polygon and star, the first drag of the arcs
    Square,  // rectangle, rounded rectangle, ellipse
};

// Which modifiers a tool takes.
struct ModifierUse {
    ShiftSnap shift = ShiftSnap::None;
    bool ctrlMirrors = false;  // Ctrl: the corner is the cursor mirrored through the anchor
    bool spaceMoves = false;   // Space: the anchor follows the pointer
};

struct HeldKeys {
    bool shift = false;
    bool ctrl = false;
    bool space = false;
};

// The points a shape is drawn from: the box (or line) runs corner -> cursor.
struct ShapePoints {
    POINT anchor{};
    POINT corner{};
    POINT cursor{};
};

// One modifier step, run on every redraw of a shape under construction.
// `previousPointer` and `pointer` are the raw pointer positions of the last
// and of this redraw (equal when a key change, not a move, causes the
// redraw). In order:
//  1. Space moves the anchor by pointer - previousPointer. The delta comes from
//     the raw positions, never from a snapped cursor, so a shape moved with
//     Shift held does not drift by the snap offset on every move.
//  2. Shift snaps the cursor (from the possibly moved anchor).
//  3. Ctrl mirrors the snapped cursor through the anchor to make the corner;
//     otherwise the corner is the anchor. So a square is made first and then
//     centred.
ShapePoints ApplyModifiers(POINT anchor, POINT previousPointer, POINT pointer, HeldKeys keys,
                           ModifierUse use);
