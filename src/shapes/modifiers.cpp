#include "shapes/modifiers.h"

#include <cstdlib>

#include "shapes/geometry.h"

POINT SnapToAxes(POINT anchor, POINT cursor) {
    const int dx = cursor.x - anchor.x;
    const int dy = cursor.y - anchor.y;
    const double ax = std::abs(static_cast<double>(dx));
    const double ay = std::abs(static_cast<double>(dy));
    if (ax - 0.5 * ay > kEpsilon) {
        if (0.5 * ax - ay >= -kEpsilon) return POINT{cursor.x, anchor.y};
        return SnapToDiagonal(anchor, dx, dy);
    }
    return POINT{anchor.x, cursor.y};
}

POINT SnapToDiagonal(POINT anchor, POINT cursor) {
    return SnapToDiagonal(anchor, cursor.x - anchor.x, cursor.y - anchor.y);
}

POINT SnapToDiagonal(POINT anchor, int dx, int dy) {
    // Computed wide: pointer coordinates are 16-bit, but nothing here should
    // overflow whatever it is given.
    const long long d = (std::llabs(dx) + std::llabs(dy)) / 2;
    int sx = -1;
    int sy = 1;
    if (dx > 0 && dy > 0) {
        sx = 1;
    } else if (dx < 0 && dy < 0) {
        sy = -1;
    } else if (dx > 0 && dy < 0) {
        sx = 1;
        sy = -1;
    }
    return POINT{static_cast<LONG>(anchor.x + sx * d), static_cast<LONG>(anchor.y + sy * d)};
}

POINT MirrorPoint(POINT p, POINT q) {
    return POINT{q.x - (p.x - q.x), q.y - (p.y - q.y)};
}

ShapePoints ApplyModifiers(POINT anchor, POINT previousPointer, POINT pointer, HeldKeys keys,
                           ModifierUse use) {
    ShapePoints out;
    out.anchor = anchor;
    if (keys.space && use.spaceMoves) {
        out.anchor.x += pointer.x - previousPointer.x;
        out.anchor.y += pointer.y - previousPointer.y;
    }
    out.cursor = pointer;
    if (keys.shift) {
        if (use.shift == ShiftSnap::Axes) out.cursor = SnapToAxes(out.anchor, pointer);
        if (use.shift == ShiftSnap::Square) out.cursor = SnapToDiagonal(out.anchor, pointer);
    }
    out.corner = (keys.ctrl && use.ctrlMirrors) ? MirrorPoint(out.cursor, out.anchor) : out.anchor;
    return out;
}
