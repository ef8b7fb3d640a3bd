#include "board/pixel_rules.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "graphics/canvas.h"
#include "graphics/monitors.h"

namespace {

// The magnifier sits this far right of / below the pointer, and this far
// left of / above it when the near side would leave the board.
constexpr int kMagnifierGap = 20;
constexpr int kMagnifierFarGap = kMagnifierGap + kMagnifierSide;
// It goes to the far side when the near one would end less than 5 pixels
// from the board's edge.
constexpr int kMagnifierReach = kMagnifierGap + kMagnifierSide + 5;

int MagnifierOrigin(int pointer, int areaEnd) {
    return pointer + kMagnifierReach > areaEnd ? pointer - kMagnifierFarGap
                                               : pointer + kMagnifierGap;
}

int Saturate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

std::optional<MagnifierLayout> PlaceMagnifier(SIZE board, POINT p) {
    return PlaceMagnifier(board, p, RECT{0, 0, board.cx, board.cy});
}

std::optional<MagnifierLayout> PlaceMagnifier(SIZE board, POINT p, const RECT& area) {
    if (board.cx < kMagnifierMinBoardSide || board.cy < kMagnifierMinBoardSide) return std::nullopt;
    MagnifierLayout m;
    const int x = MagnifierOrigin(p.x, area.right);
    const int y = MagnifierOrigin(p.y, area.bottom);
    m.square = RECT{x, y, x + kMagnifierSide, y + kMagnifierSide};

    const int half = kMagnifierSourceSide / 2;
    const RECT whole{p.x - half, p.y - half, p.x + half, p.y + half};
    const RECT clipped{std::max<LONG>(whole.left, 0), std::max<LONG>(whole.top, 0),
                       std::min<LONG>(whole.right, board.cx), std::min<LONG>(whole.bottom, board.cy)};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return m;  // none on the board
    m.source = clipped;
    m.target = RECT{x + (clipped.left - whole.left) * kMagnifierZoom,
                    y + (clipped.top - whole.top) * kMagnifierZoom,
                    x + (clipped.right - whole.left) * kMagnifierZoom,
                    y + (clipped.bottom - whole.top) * kMagnifierZoom};
    return m;
}

RECT SpectrumRect(SIZE board) { return SpectrumRectIn(RECT{0, 0, board.cx, board.cy}); }

RECT SpectrumRectIn(const RECT& area) {
    const POINT at = CentreIn(area, SIZE{kSpectrumShownSide, kSpectrumShownSide});
    return RECT{at.x, at.y, at.x + kSpectrumShownSide, at.y + kSpectrumShownSide};
}

std::optional<POINT> SpectrumCellAt(SIZE board, POINT p) {
    const RECT r = SpectrumRect(board);
    if (p.x < r.left || p.x >= r.right || p.y < r.top || p.y >= r.bottom) return std::nullopt;
    return POINT{(p.x - r.left) / kSpectrumCellSide, (p.y - r.top) / kSpectrumCellSide};
}

ColorTarget ColorTargetOfPage(int page) {
    switch (page) {
    case 1: return ColorTarget::Brush;
    case 2: return ColorTarget::Text;
    default: return ColorTarget::Pen;
    }
}

std::optional<COLORREF> PickedColor(COLORREF read) {
    // A plain colour is 0x00BBGGRR; CLR_INVALID and anything else with a high
    // byte set is not one.
    if ((read & 0xFF000000u) != 0) return std::nullopt;
    return read;
}

int BoundEraserHalfSize(int halfSize, int largest) {
    return std::max(1, std::min(std::max(halfSize, 1), largest));
}

int EraserHalfSizeAfterWheel(int halfSize, int step, int largest) {
    const int bounded = BoundEraserHalfSize(halfSize, largest);
    return BoundEraserHalfSize(Saturate(std::int64_t{bounded} + step), largest);
}

RECT EraserSquare(POINT p, int halfSize) {
    return RECT{Saturate(std::int64_t{p.x} - halfSize), Saturate(std::int64_t{p.y} - halfSize),
                Saturate(std::int64_t{p.x} + halfSize), Saturate(std::int64_t{p.y} + halfSize)};
}

std::optional<int> FillSubstituteFor(int brushType) {
    if (brushType == kBrushHollow) return kBrushSolid;
    return std::nullopt;
}

std::optional<int> FillBrushToRestore(bool substituted, int shownType) {
    // The list may not show the swap yet (the toolbox takes it from its own
    // queue): hollow then is asked for again after it, which is harmless.
    if (substituted && (shownType == kBrushSolid || shownType == kBrushHollow))
        return kBrushHollow;
    return std::nullopt;
}

FillBrushChange FillBrushForPrimaryAction(bool substituted, int shownType, bool choosingFill) {
    int type = shownType;
    if (const std::optional<int> hollow = FillBrushToRestore(substituted, shownType)) type = *hollow;
    const std::optional<int> solid = choosingFill ? FillSubstituteFor(type) : std::nullopt;
    if (solid) type = *solid;
    FillBrushChange change;
    if (type != shownType) change.choose = type;
    change.substituted = solid.has_value();
    return change;
}

FloodArea SurfaceFloodArea(std::span<const std::uint32_t> pixels, int width, int height,
                           POINT start) {
    FloodArea area;
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) ||
        start.x < 0 || start.y < 0 || start.x >= width || start.y >= height)
        return area;
    auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    };
    const std::uint32_t target = pixels[at(start.x, start.y)] & 0x00FFFFFFu;
    area.inside.assign(pixels.size(), 0);
    auto open = [&](int x, int y) {
        const std::size_t i = at(x, y);
        return area.inside[i] == 0 && (pixels[i] & 0x00FFFFFFu) == target;
    };
    area.bounds = RECT{start.x, start.y, start.x + 1, start.y + 1};
    // Runs of a row at a time, with seeds kept on a stack of our own: the
    // depth of an area never reaches the call stack.
    std::vector<POINT> seeds{start};
    while (!seeds.empty()) {
        const POINT s = seeds.back();
        seeds.pop_back();
        if (!open(s.x, s.y)) continue;
        int left = s.x, right = s.x;
        while (left > 0 && open(left - 1, s.y)) --left;
        while (right + 1 < width && open(right + 1, s.y)) ++right;
        std::fill(area.inside.begin() + static_cast<std::ptrdiff_t>(at(left, s.y)),
                  area.inside.begin() + static_cast<std::ptrdiff_t>(at(right, s.y)) + 1,
                  std::uint8_t{1});
        area.bounds.left = std::min<LONG>(area.bounds.left, left);
        area.bounds.right = std::max<LONG>(area.bounds.right, right + 1);
        area.bounds.top = std::min<LONG>(area.bounds.top, s.y);
        area.bounds.bottom = std::max<LONG>(area.bounds.bottom, s.y + 1);
        for (const int y : {s.y - 1, s.y + 1}) {
            if (y < 0 || y >= height) continue;
            for (int x = left; x <= right; ++x)
                if (open(x, y) && (x == left || !open(x - 1, y))) seeds.push_back(POINT{x, y});
        }
    }
    return area;
}
