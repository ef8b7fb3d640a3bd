#pragma once
// Small pixel helpers for the canvas drawing tests.

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/canvas.h"

namespace canvas_test {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kBlue = 0xFF0000;

// Largest per-channel difference between two colours.
inline int ColorDistance(COLORREF a, COLORREF b) {
    const int dr = std::abs(int(GetRValue(a)) - int(GetRValue(b)));
    const int dg = std::abs(int(GetGValue(a)) - int(GetGValue(b)));
    const int db = std::abs(int(GetBValue(a)) - int(GetBValue(b)));
    return dr > dg ? (dr > db ? dr : db) : (dg > db ? dg : db);
}

inline bool Near(COLORREF a, COLORREF b, int tolerance) {
    return ColorDistance(a, b) <= tolerance;
}

// Pixels of `rect` (right/bottom exclusive) that have exactly `color`.
inline int CountColor(const Canvas& c, RECT rect, COLORREF color) {
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (c.GetPixel(x, y) == color) ++n;
    return n;
}

// Pixels of `rect` that differ from `background`.
inline int CountInk(const Canvas& c, RECT rect, COLORREF background = kWhite) {
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (c.GetPixel(x, y) != background) ++n;
    return n;
}

// Whether any pixel within `radius` of (x, y) has `color`.
inline bool ColorNear(const Canvas& c, int x, int y, int radius, COLORREF color) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (c.GetPixel(x + dx, y + dy) == color) return true;
    return false;
}

// Every pixel of the canvas, row by row, top row first.
inline std::vector<COLORREF> Pixels(const Canvas& c) {
    std::vector<COLORREF> out;
    out.reserve(static_cast<std::size_t>(c.Width()) * c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) out.push_back(c.GetPixel(x, y));
    return out;
}

inline std::uint32_t ReadU32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
inline std::uint16_t ReadU16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// The colour of pixel (x, y) of a 32-bit bottom-up BMP file image.
inline COLORREF BmpPixel(const std::vector<std::uint8_t>& bmp, int x, int y) {
    const int width = static_cast<int>(ReadU32(bmp, 18));
    const int height = static_cast<int>(ReadU32(bmp, 22));
    const std::size_t at = ReadU32(bmp, 10) +
                           (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
    return RGB(bmp[at + 2], bmp[at + 1], bmp[at]);
}

}  // namespace canvas_test
