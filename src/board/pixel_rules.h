#pragma once
// The rules of the tools that work on pixels rather than shapes (fill,
// eyedropper, eraser) and of the magnifier beside their crosshair, as
// functions of plain values: no window, no canvas.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// ---- magnifier ----

// Boards smaller than this in either direction have no room for it.
constexpr int kMagnifierMinBoardSide = 300;
// The square around the pointer that is enlarged, and how much.
constexpr int kMagnifierSourceSide = 30;
constexpr int kMagnifierZoom = 4;
constexpr int kMagnifierSide = kMagnifierSourceSide * kMagnifierZoom;

struct MagnifierLayout {
    // Where the enlargement is shown: 120 x 120, right of and below the
    // pointer, or left of / above it when it would not fit on the board.
    RECT square{};
    // The part of the 30 x 30 square around the pointer that lies on the
    // board (empty when none does), and where it lands inside `square`. The
    // rest of `square` has no board pixels to show.
    RECT source{};
    RECT target{};
};

// The magnifier for the pointer at `p` on a board of `board` size, or nothing
// on a board smaller than 300 x 300. It flips at the edges of `area` (the
// part of the board on the pointer's monitor), by default the whole board.
std::optional<MagnifierLayout> PlaceMagnifier(SIZE board, POINT p);
std::optional<MagnifierLayout> PlaceMagnifier(SIZE board, POINT p, const RECT& area);

// ---- eyedropper ----

// The 100 x 100 colour spectrum is shown twice as large, in the middle of
// the board (offsets truncated toward zero; negative on a small board).
constexpr int kSpectrumShownSide = 200;
constexpr int kSpectrumCellSide = 2;  // board pixels per spectrum pixel, each way

RECT SpectrumRect(SIZE board);
// The same in the middle of `area` of the board (the part of the board on
// the pointer's monitor).
RECT SpectrumRectIn(const RECT& area);
// The spectrum pixel shown at board point `p`, or nothing outside it.
std::optional<POINT> SpectrumCellAt(SIZE board, POINT p);

// Where a picked colour goes, chosen by the toolbox's settings page.
enum class ColorTarget { Pen, Brush, Text };
// Page 1 is the fill page, 2 the text page; anything else means the pen.
ColorTarget ColorTargetOfPage(int page);

// A colour read from a canvas, or nothing when the read gave no colour (the
// pointer is captured and may be outside the board: GetPixel answers
// CLR_INVALID there, which must never become a setting).
std::optional<COLORREF> PickedColor(COLORREF read);

// ---- eraser ----

// The eraser's half-size as used: at least 1 and at most `largest`; a largest
// size of 0 or less still gives a 1-pixel eraser.
int BoundEraserHalfSize(int halfSize, int largest);
// One wheel step (+1 or -1) applied to the half-size, then bounded.
int EraserHalfSizeAfterWheel(int halfSize, int step, int largest);
// The square erased at `p`: (p.x - s, p.y - s) to (p.x + s, p.y + s), 2s wide,
// with s already bounded (coordinates saturate instead of overflowing).
RECT EraserSquare(POINT p, int halfSize);

// ---- fill ----

// The fill paints with the brush, so a hollow brush would fill nothing:
// choosing the fill swaps it for the solid one, and the next primary action
// of a toolbox cell swaps back.
//
// The brush type choosing the fill switches to while `brushType` is in force,
// or nothing to keep it.
std::optional<int> FillSubstituteFor(int brushType);
// At the next primary action: the brush type to go back to, only while the
// fill's swap is in force (`substituted`) and the list still shows the
// substitute (`shownType`); a hatch the user chose meanwhile stays.
std::optional<int> FillBrushToRestore(bool substituted, int shownType);
// A primary action of a toolbox cell (`choosingFill` when it chooses the
// fill): the swap back to hollow, then, for the fill, the swap to solid, both
// worked out here from what is in force before either is applied. `choose`
// is the one brush type to ask the toolbox for (nothing when it shows it
// already); `substituted` whether the fill's swap is in force afterwards.
// So choosing the fill again while it is current never reads back a brush
// type the toolbox has not applied yet.
struct FillBrushChange {
    std::optional<int> choose;
    bool substituted = false;
};
FillBrushChange FillBrushForPrimaryAction(bool substituted, int shownType, bool choosingFill);

// The area a surface fill from `start` covers: `start` and every pixel joined
// to it, through left, right, upper and lower neighbours, by pixels of its
// colour (the low 24 bits of each value). `pixels` holds `width` * `height`
// values, row after row. One flag per pixel (1: inside) and the rectangle
// bounding the inside (columns [left, right), rows [top, bottom)); nothing
// inside when `start` is off the pixels or the sizes do not fit.
struct FloodArea {
    std::vector<std::uint8_t> inside;
    RECT bounds{};
};
FloodArea SurfaceFloodArea(std::span<const std::uint32_t> pixels, int width, int height,
                           POINT start);
