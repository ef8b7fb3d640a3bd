#include "capture/region_geometry.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "graphics/monitors.h"

namespace {

constexpr int kMagnifierSource = 30;
constexpr int kMagnifierGap = 5;        // right of the pointer
constexpr int kMagnifierDrop = 20;      // below the pointer
constexpr int kMagnifierLeftShift = 125;
constexpr int kMagnifierRaise = 160;
constexpr int kMagnifierHeightRule = 155;
constexpr int kInfoWidth = 120;
constexpr int kInfoHeight = 30;
constexpr int kInfoRaise = 40;
constexpr int kInfoHeightRule = 35;
constexpr int kInfoBelowMagnifier = 119;
constexpr int kLabelWidth = 200;
constexpr int kLabelHeight = 20;
constexpr int kLabelRaise = 24;
constexpr int kLabelRoomAbove = 29;

int Px(int value, int dpi) { return ScaleForDpi(value, dpi); }

int MagnifierSize(int dpi) { return kMagnifierZoom * MagnifierSourceSize(dpi); }

RECT Whole(SIZE screen) { return RECT{0, 0, screen.cx, screen.cy}; }

int MagnifierLeft(POINT p, const RECT& area, int dpi) {
    return p.x + Px(kMagnifierGap, dpi) + MagnifierSize(dpi) + Px(kMagnifierGap, dpi) > area.right
               ? p.x - Px(kMagnifierLeftShift, dpi)
               : p.x + Px(kMagnifierGap, dpi);
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

RECT NormalizeRegion(POINT start, POINT end) {
    return RECT{std::min(start.x, end.x), std::min(start.y, end.y), std::max(start.x, end.x),
                std::max(start.y, end.y)};
}

bool IsPointRegion(const RECT& region) {
    return region.right == region.left && region.bottom == region.top;
}

std::array<RECT, 8> HandleBoxes(const RECT& r) {
    const LONG mx = (r.left + r.right) / 2;
    const LONG my = (r.top + r.bottom) / 2;
    const POINT centres[8] = {{r.left, r.top},    {mx, r.top},      {r.right, r.top},
                              {r.left, my},       {r.right, my},    {r.left, r.bottom},
                              {mx, r.bottom},     {r.right, r.bottom}};
    std::array<RECT, 8> boxes{};
    for (int i = 0; i < 8; ++i)
        boxes[i] = RECT{centres[i].x - 2, centres[i].y - 2, centres[i].x + 3, centres[i].y + 3};
    return boxes;
}

int HitTestRegion(const RECT& region, POINT p) {
    const std::array<RECT, 8> boxes = HandleBoxes(region);
    for (int i = 0; i < 8; ++i)
        if (Inside(boxes[i], p)) return i + 1;
    if (p.x >= region.left && p.x <= region.right && p.y >= region.top && p.y <= region.bottom)
        return kHandleMove;
    return kHandleNone;
}

LPCSTR HandleCursorName(int handle) {
    switch (handle) {
    case kHandleTopLeft:
    case kHandleBottomRight:
        return IDC_SIZENWSE;
    case kHandleTop:
    case kHandleBottom:
        return IDC_SIZENS;
    case kHandleTopRight:
    case kHandleBottomLeft:
        return IDC_SIZENESW;
    case kHandleLeft:
    case kHandleRight:
        return IDC_SIZEWE;
    case kHandleMove:
        return IDC_SIZEALL;
    default:
        return nullptr;
    }
}

DragCorners DragHandle(int handle, DragCorners c, POINT p, POINT last) {
    switch (handle) {
    case kHandleTopLeft: c.start = p; break;
    case kHandleTop: c.start.y = p.y; break;
    case kHandleTopRight: c.end.x = p.x; c.start.y = p.y; break;
    case kHandleLeft: c.start.x = p.x; break;
    case kHandleRight: c.end.x = p.x; break;
    case kHandleBottomLeft: c.start.x = p.x; c.end.y = p.y; break;
    case kHandleBottom: c.end.y = p.y; break;
    case kHandleBottomRight: c.end = p; break;
    case kHandleMove: {
        const LONG dx = p.x - last.x;
        const LONG dy = p.y - last.y;
        c.start.x += dx;
        c.start.y += dy;
        c.end.x += dx;
        c.end.y += dy;
        break;
    }
    default: break;
    }
    return c;
}

namespace {

// One pixel in the direction of an arrow key; nothing for other keys.
POINT ArrowStep(UINT key) {
    switch (key) {
    case VK_LEFT: return POINT{-1, 0};
    case VK_RIGHT: return POINT{1, 0};
    case VK_UP: return POINT{0, -1};
    case VK_DOWN: return POINT{0, 1};
    default: return POINT{0, 0};
    }
}

}  // namespace

RECT NudgeRegion(const RECT& region, UINT key, bool shift, SIZE screen) {
    const POINT step = ArrowStep(key);
    RECT moved = region;
    if (shift) {
        // The right and bottom edges move; the top-left corner stays put.
        moved.right += step.x;
        moved.bottom += step.y;
        const bool growsPastEdge = (step.x > 0 && region.right >= screen.cx - 1) ||
                                   (step.y > 0 && region.bottom >= screen.cy - 1);
        if (growsPastEdge || moved.right < moved.left || moved.bottom < moved.top ||
            IsPointRegion(moved))
            return region;
        return moved;
    }
    const bool movesPastEdge = (step.x < 0 && region.left <= 0) || (step.y < 0 && region.top <= 0) ||
                               (step.x > 0 && region.right >= screen.cx - 1) ||
                               (step.y > 0 && region.bottom >= screen.cy - 1);
    if (movesPastEdge) return region;
    return RECT{region.left + step.x, region.top + step.y, region.right + step.x,
                region.bottom + step.y};
}

POINT NudgePointer(POINT p, UINT key, SIZE screen) {
    const POINT step = ArrowStep(key);
    return POINT{std::clamp<LONG>(p.x + step.x, 0, std::max<LONG>(screen.cx - 1, 0)),
                 std::clamp<LONG>(p.y + step.y, 0, std::max<LONG>(screen.cy - 1, 0))};
}

std::optional<RECT> ClipRegionToScreen(const RECT& region, SIZE screen) {
    // The last pixel of the screen is width - 1: clamping to the width itself
    // would reach one column (and row) past the captured picture.
    const RECT r{std::max<LONG>(region.left, 0), std::max<LONG>(region.top, 0),
                 std::min<LONG>(region.right, screen.cx - 1),
                 std::min<LONG>(region.bottom, screen.cy - 1)};
    if (r.left > r.right || r.top > r.bottom) return std::nullopt;
    return r;
}

int MagnifierSourceSize(int dpi) { return Px(kMagnifierSource, dpi); }

RECT MagnifierRect(POINT p, SIZE screen, int dpi) { return MagnifierRectIn(p, Whole(screen), dpi); }

RECT MagnifierRectIn(POINT p, const RECT& area, int dpi) {
    const int left = MagnifierLeft(p, area, dpi);
    const int top = p.y + Px(kMagnifierDrop, dpi) + Px(kMagnifierHeightRule, dpi) > area.bottom
                        ? p.y - Px(kMagnifierRaise, dpi)
                        : p.y + Px(kMagnifierDrop, dpi);
    return RECT{left, top, left + MagnifierSize(dpi), top + MagnifierSize(dpi)};
}

RECT InfoBoxRect(POINT p, SIZE screen, bool magnifierShown, int dpi) {
    return InfoBoxRectIn(p, Whole(screen), magnifierShown, dpi);
}

RECT InfoBoxRectIn(POINT p, const RECT& area, bool magnifierShown, int dpi) {
    const int left = MagnifierLeft(p, area, dpi);
    int top = 0;
    if (magnifierShown) {
        top = MagnifierRectIn(p, area, dpi).top + Px(kInfoBelowMagnifier, dpi);
    } else {
        top = p.y + Px(kMagnifierDrop, dpi) + Px(kInfoHeightRule, dpi) > area.bottom
                  ? p.y - Px(kInfoRaise, dpi)
                  : p.y + Px(kMagnifierDrop, dpi);
    }
    return RECT{left, top, left + Px(kInfoWidth, dpi), top + Px(kInfoHeight, dpi)};
}

bool MagnifierShown(bool regionSelected, bool dragging, int activeHandle) {
    if (activeHandle == kHandleMove && dragging) return false;
    return !regionSelected || (dragging && activeHandle != kHandleNone);
}

std::string InfoColorLine(COLORREF color) {
    return "RGB：(" + std::to_string(GetRValue(color)) + "," + std::to_string(GetGValue(color)) +
           "," + std::to_string(GetBValue(color)) + ")";
}

std::string InfoPointLine(POINT p) {
    return "鼠标点：(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

std::string ColorHexText(COLORREF color) {
    char text[8];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

RECT LabelRect(const RECT& region, SIZE screen, int dpi) {
    return LabelRectIn(region, Whole(screen), dpi);
}

RECT LabelRectIn(const RECT& region, const RECT& area, int dpi) {
    const int width = Px(kLabelWidth, dpi);
    int x = region.left;
    if (x < area.left) x = area.left;
    if (region.left + width > area.right) x = area.right - width;
    int y = 0;
    if (region.top > area.top + Px(kLabelRoomAbove, dpi)) {
        y = region.top - Px(kLabelRaise, dpi);
    } else {
        y = region.top < area.top ? area.top : region.top + Px(2, dpi);
        // Inside the region: clear of its left edge and handles too.
        if (x == region.left) x += Px(2, dpi);
    }
    return RECT{x, y, x + width, y + Px(kLabelHeight, dpi)};
}

std::string LabelText(const RECT& region, SIZE screen) {
    const std::optional<RECT> on = ClipRegionToScreen(region, screen);
    const LONG left = on ? on->left : std::max<LONG>(region.left, 0);
    const LONG top = on ? on->top : std::max<LONG>(region.top, 0);
    const LONG width = on ? on->right - on->left + 1 : 0;
    const LONG height = on ? on->bottom - on->top + 1 : 0;
    return "顶点：(" + std::to_string(left) + "," + std::to_string(top) + ")  尺寸：" +
           std::to_string(width) + "x" + std::to_string(height);
}

int BoundedCaptureDelay(int setting) { return std::clamp(setting, 0, kMaxCaptureDelayMs); }

POINT PictureWindowPosition(POINT mouse, SIZE size, SIZE screen) {
    const RECT whole = Whole(screen);
    return WindowPositionOnMonitor(std::span<const RECT>(&whole, 1), mouse, size);
}
