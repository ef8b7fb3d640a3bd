#pragma once
// The arithmetic of the annotation tools (highlighter, mosaic, numbered
// markers) and of the quick save's file names. Pure: values in, values out.
//
// Pixels here are 32-bit values as a canvas's surface holds them
// (0x00RRGGBB); colours from the settings are COLORREF (0x00BBGGRR).

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// ---- highlighter ----

// The stroke's width: 12 pixels, or four times the pen width when wider.
int HighlighterWidth(int penWidth);
// A COLORREF as a surface pixel (0x00RRGGBB).
std::uint32_t PixelOfColor(COLORREF color);
// What lies below with `pen` (a surface pixel) laid over it at half strength:
// each channel the mean of the two, rounded up. The alpha byte is left 0,
// as GDI leaves it on what it draws.
std::uint32_t BlendHalf(std::uint32_t below, std::uint32_t pen);
// Shift keeps a stroke horizontal or vertical through `anchor`: whichever
// axis the pointer has moved further along.
POINT SnapToAxis(POINT anchor, POINT cursor);

// ---- mosaic ----

// The block side: 12 pixels, or four times the pen width when larger.
int MosaicBlockSize(int penWidth);
// Turns `area` (width * height pixels, top row first) into blocks of
// `block` x `block` counted from its top-left pixel; each block becomes the
// average of the pixels under it (each channel rounded to nearest), partial
// blocks at the right and bottom edges the average of what they cover.
void Pixelate(std::span<std::uint32_t> area, int width, int height, int block);

// ---- numbered markers ----

// The disc's diameter: 24 pixels, or six times the pen width when larger.
int MarkerDiameter(int penWidth);
// The number's colour on a disc of `pen`: white on a dark colour, black on
// a light one.
COLORREF MarkerTextColor(COLORREF pen);

// The numbers the markers of one drawing have taken. Each marker is one
// change of the drawing; it remembers the position the undo history reaches
// once that change is recorded. Undoing changes lowers the history's position
// below a marker's, and the marker's number is free again; a new change after
// an undo drops what could have been redone, the markers among it too.
class MarkerNumbers {
public:
    // The number for a marker placed now, with the history at `position`
    // (its steps done, counted from the start of the drawing). Remembers it.
    int Take(std::size_t position);
    // The number Take would give, without taking it.
    int Next(std::size_t position) const;
    // The position the newest marker's change reaches (0: no marker).
    std::size_t Newest() const { return positions_.empty() ? 0 : positions_.back(); }

private:
    std::vector<std::size_t> positions_;  // one per marker, ascending
};

// ---- quick save ----

// "画板_YYYYMMDD_HHMMSS.png" for the `n`th save within that second (n = 1
// has no suffix; then "_2", "_3", ...). GBK.
std::string QuickSaveFileName(const SYSTEMTIME& time, int n);
