#include "board/annotation_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kHighlighterMinWidth = 12;
constexpr int kMosaicMinBlock = 12;
constexpr int kMarkerMinDiameter = 24;

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

}  // namespace

int HighlighterWidth(int penWidth) { return std::max(kHighlighterMinWidth, 4 * penWidth); }

std::uint32_t PixelOfColor(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

std::uint32_t BlendHalf(std::uint32_t below, std::uint32_t pen) {
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const int mean = (Channel(below, shift) + Channel(pen, shift) + 1) / 2;
        out |= static_cast<std::uint32_t>(mean) << shift;
    }
    return out;
}

POINT SnapToAxis(POINT anchor, POINT cursor) {
    if (std::abs(cursor.x - anchor.x) >= std::abs(cursor.y - anchor.y))
        return POINT{cursor.x, anchor.y};
    return POINT{anchor.x, cursor.y};
}

int MosaicBlockSize(int penWidth) { return std::max(kMosaicMinBlock, 4 * penWidth); }

void Pixelate(std::span<std::uint32_t> area, int width, int height, int block) {
    if (width <= 0 || height <= 0 || block <= 0) return;
    if (area.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return;
    const auto at = [&](int x, int y) -> std::uint32_t& {
        return area[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)];
    };
    for (int top = 0; top < height; top += block) {
        const int bottom = std::min(top + block, height);
        for (int left = 0; left < width; left += block) {
            const int right = std::min(left + block, width);
            std::uint64_t sum[3] = {0, 0, 0};
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    for (int c = 0; c < 3; ++c) sum[c] += static_cast<std::uint64_t>(Channel(at(x, y), 8 * c));
            const std::uint64_t count = static_cast<std::uint64_t>(bottom - top) * (right - left);
            std::uint32_t mean = 0;
            for (int c = 0; c < 3; ++c)
                mean |= static_cast<std::uint32_t>((sum[c] + count / 2) / count) << (8 * c);
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x) at(x, y) = mean;
        }
    }
}

int MarkerDiameter(int penWidth) { return std::max(kMarkerMinDiameter, 6 * penWidth); }

COLORREF MarkerTextColor(COLORREF pen) {
    // Perceived lightness (ITU-R BT.601 weights), 0..255.
    const int light = (299 * GetRValue(pen) + 587 * GetGValue(pen) + 114 * GetBValue(pen)) / 1000;
    return light < 150 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

int MarkerNumbers::Next(std::size_t position) const {
    const auto kept = std::upper_bound(positions_.begin(), positions_.end(), position);
    return static_cast<int>(kept - positions_.begin()) + 1;
}

int MarkerNumbers::Take(std::size_t position) {
    // Markers beyond the history's position were undone: the change this
    // marker makes drops them for good.
    positions_.erase(std::upper_bound(positions_.begin(), positions_.end(), position),
                     positions_.end());
    positions_.push_back(position + 1);
    return static_cast<int>(positions_.size());
}

std::string QuickSaveFileName(const SYSTEMTIME& t, int n) {
    char name[64];
    std::snprintf(name, sizeof name, "画板_%04u%02u%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    std::string out = name;
    if (n > 1) {
        out += '_';
        out += std::to_string(n);
    }
    out += ".png";
    return out;
}
