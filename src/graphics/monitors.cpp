#include "graphics/monitors.h"

#include <algorithm>
#include <cstdint>

namespace {

bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

std::int64_t Gap(LONG v, LONG low, LONG high) {  // distance of v from [low, high)
    if (v < low) return static_cast<std::int64_t>(low) - v;
    if (v >= high) return static_cast<std::int64_t>(v) - high + 1;
    return 0;
}

// The monitors overlapping columns [left, right) of rows [top, bottom).
bool AnyMonitorOver(std::span<const RECT> monitors, const RECT& strip) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const RECT& m) {
        return m.left < strip.right && m.right > strip.left && m.top < strip.bottom &&
               m.bottom > strip.top;
    });
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    auto& rects = *reinterpret_cast<std::vector<RECT>*>(list);
    // The primary first: it is the one at (0,0).
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        rects.insert(rects.begin(), info.rcMonitor);
    else
        rects.push_back(info.rcMonitor);
    return TRUE;
}

}  // namespace

RECT DesktopRect(std::span<const RECT> monitors) {
    if (monitors.empty()) return RECT{};
    RECT r = monitors.front();
    for (const RECT& m : monitors) {
        r.left = std::min(r.left, m.left);
        r.top = std::min(r.top, m.top);
        r.right = std::max(r.right, m.right);
        r.bottom = std::max(r.bottom, m.bottom);
    }
    return r;
}

RECT MonitorAt(std::span<const RECT> monitors, POINT p) {
    RECT best{};
    std::int64_t bestDistance = -1;
    for (const RECT& m : monitors) {
        const std::int64_t dx = Gap(p.x, m.left, m.right);
        const std::int64_t dy = Gap(p.y, m.top, m.bottom);
        const std::int64_t distance = dx * dx + dy * dy;
        if (bestDistance < 0 || distance < bestDistance) {
            best = m;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<RECT> ShiftedMonitors(std::span<const RECT> monitors, int dx, int dy) {
    std::vector<RECT> out(monitors.begin(), monitors.end());
    for (RECT& m : out) OffsetRect(&m, dx, dy);
    return out;
}

POINT CentreIn(const RECT& area, SIZE size) {
    return POINT{area.left + (area.right - area.left - size.cx) / 2,
                 area.top + (area.bottom - area.top - size.cy) / 2};
}

RECT AreaOnBoard(std::span<const RECT> monitors, const RECT& board, POINT p) {
    const RECT whole{0, 0, board.right - board.left, board.bottom - board.top};
    const RECT monitor = MonitorAt(monitors, POINT{board.left + p.x, board.top + p.y});
    RECT area{std::max(monitor.left, board.left), std::max(monitor.top, board.top),
              std::min(monitor.right, board.right), std::min(monitor.bottom, board.bottom)};
    if (IsEmpty(area)) return whole;
    OffsetRect(&area, -board.left, -board.top);
    return area;
}

POINT WindowPositionOnMonitor(std::span<const RECT> monitors, POINT p, SIZE size) {
    const RECT m = MonitorAt(monitors, p);
    LONG x = std::min<LONG>(p.x - size.cx / 2, m.right - size.cx);
    LONG y = std::min<LONG>(p.y - size.cy / 2, m.bottom - size.cy);
    return POINT{std::max(x, m.left), std::max(y, m.top)};
}

bool OuterEdge(std::span<const RECT> monitors, int edgeX, bool left, int top, int bottom,
               int width) {
    const RECT strip = left ? RECT{edgeX - width, top, edgeX, bottom}
                            : RECT{edgeX, top, edgeX + width, bottom};
    return !AnyMonitorOver(monitors, strip);
}

POINT ToolboxHome(std::span<const RECT> monitors, SIZE toolbox) {
    if (monitors.empty()) return POINT{};
    const RECT* home = &monitors.front();
    for (const RECT& m : monitors)
        if (m.left < home->left) home = &m;
    return POINT{home->left, home->top + (home->bottom - home->top - toolbox.cy) / 2};
}

std::vector<RECT> MonitorRects() {
    std::vector<RECT> rects;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&rects));
    if (rects.empty())
        rects.push_back(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return rects;
}

RECT VirtualScreenRect() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0)
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return RECT{x, y, x + w, y + h};
}
