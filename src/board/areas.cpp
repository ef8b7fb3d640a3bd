#include "board/areas.h"

#include <algorithm>
#include <climits>

bool AreaEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT AreaUnion(const RECT& a, const RECT& b) {
    if (AreaEmpty(a)) return AreaEmpty(b) ? RECT{} : b;
    if (AreaEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT AreaClip(const RECT& r, SIZE size) {
    const RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0),
                 std::min<LONG>(r.right, size.cx), std::min<LONG>(r.bottom, size.cy)};
    return AreaEmpty(c) ? RECT{} : c;
}

RECT AreaGrow(const RECT& r, int by) {
    if (AreaEmpty(r)) return RECT{};
    // Coordinates come from 16-bit pointer positions and bounded geometry;
    // clamping keeps a grown edge from wrapping all the same.
    auto grow = [](LONG v, LONG d) {
        const long long g = static_cast<long long>(v) + d;
        return static_cast<LONG>(std::clamp<long long>(g, LONG_MIN / 2, LONG_MAX / 2));
    };
    return RECT{grow(r.left, -by), grow(r.top, -by), grow(r.right, by), grow(r.bottom, by)};
}

bool AreaContains(const RECT& outer, const RECT& inner) {
    if (AreaEmpty(inner)) return true;
    return !AreaEmpty(outer) && inner.left >= outer.left && inner.top >= outer.top &&
           inner.right <= outer.right && inner.bottom <= outer.bottom;
}

std::int64_t AreaPixels(const RECT& r) {
    if (AreaEmpty(r)) return 0;
    return static_cast<std::int64_t>(r.right - r.left) * (r.bottom - r.top);
}

RECT WholeArea(SIZE size) { return AreaClip(RECT{0, 0, size.cx, size.cy}, size); }

RECT PenArea(std::span<const POINT> points, int penWidth) {
    if (points.empty()) return RECT{};
    RECT box{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const POINT& p : points) box = AreaUnion(box, RECT{p.x, p.y, p.x + 1, p.y + 1});
    // A wide pen reaches half its width beyond the path with round ends and
    // joins; a whole width plus two covers rounding and the one-pixel pen.
    return AreaGrow(box, std::max(penWidth, 1) + 2);
}

RECT PenArea(std::initializer_list<POINT> points, int penWidth) {
    return PenArea(std::span<const POINT>(points.begin(), points.size()), penWidth);
}

RECT SurfaceRect(const PixelRect& rows, int height) {
    if (rows.Empty()) return RECT{};
    return RECT{rows.left, height - rows.bottom, rows.right, height - rows.top};
}

PixelRect SurfaceRows(const RECT& r, int height) {
    if (AreaEmpty(r)) return PixelRect{};
    return PixelRect{r.left, height - r.bottom, r.right, height - r.top};
}
