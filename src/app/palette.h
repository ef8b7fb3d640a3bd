#pragma once
// The toolbox's palette of 25 command cells: cell geometry (pure), the
// selection and hover state, and the framing drawn on PaletteCanvas.
// Selection state belongs to the main (toolbox) thread. SelectCell and
// RepaintPalette may be called from any thread: away from the palette
// window's thread they are handed to the palette window (window/owner_thread.h),
// so the state and the canvas are only ever touched by one thread.

#include <windows.h>

#include <atomic>

#include "board/command_ids.h"
#include "graphics/dpi.h"

constexpr int kPaletteCellCount = 25;
constexpr COLORREF kSelectionFrameColor = 0x8050FF;
constexpr COLORREF kHoverFrameColor = 0xFF8800;
constexpr COLORREF kPaletteOuterFrameColor = 0x808080;
constexpr COLORREF kPaletteInnerFrameColor = 0xC0C0C0;
constexpr COLORREF kToolboxBackgroundColor = 0xECECEC;
constexpr int kPaletteFramePenWidth = 2;
constexpr int kPaletteGridOrigin = 5;
constexpr int kInitialSelectedCell = 3;  // the pen cell

// Cell size S for a palette of the given width: (width - 11) / 2.
int PaletteCellSize(int paletteWidth);
// The cell geometry is designed at 96 DPI (cell size S, grid origin 5, pitch
// S + 1); at another DPI every edge is scaled (graphics/dpi.h), so at 144 DPI
// the 26-pixel cells become 39 pixels wide and start at 8 instead of 5.
// Rectangle of cell n (1..25) in palette coordinates; empty rect for others.
RECT PaletteCellRect(int n, int cellSize, int dpi = kBaseDpi);
// Palette height: bottom of cell 25 + 6.
int PaletteHeight(int cellSize, int dpi = kBaseDpi);
// The cell under (x, y), or 0 for none. A cell owns the gap to its right and
// below it.
int PaletteCellAt(int x, int y, int cellSize, int dpi = kBaseDpi);
// The command of cell n (capture, region, pen, ...), or None.
PaletteCommand PaletteCellCommand(int n);
// The cell that carries a command, or 0.
int PaletteCellOfCommand(PaletteCommand command);
// Tooltip text of cell n ("" for none). GBK.
const char* PaletteCellTip(int n);
// Resource id of the picture drawn in cell n, or 0.
int PaletteCellIcon(int n);

// The cell size the palette was built with (26 for the 64-pixel palette).
int PaletteCurrentCellSize();
void SetPaletteCellSize(int cellSize);
// The DPI the palette is drawn at (that of the toolbox's monitor).
int PaletteCurrentDpi();
void SetPaletteDpi(int dpi);

// Selection: SelectCell(n) frames n and remembers the previous selection.
bool SelectCell(int n);
int SelectedCell();
int PreviousSelectedCell();
int HoverCell();
// Hover tracking for a pointer over the palette (cell n or 0 for none).
void TrackHover(int n);
// Copies PaletteCanvas into the palette window (when it exists).
void RepaintPalette();
// Draws the frame of cell n in `color` on PaletteCanvas (when it is created).
void DrawCellFrame(int n, COLORREF color);
// Draws the selection frame of the selected cell (after PaletteCanvas is made).
void DrawSelectionFrame();
// Back to the state of a fresh start: selected 3, previous 0, no hover.
void ResetPaletteState();

// Window handles of the toolbox and its palette window (0 while absent).
extern std::atomic<HWND> ToolboxWindow;
extern std::atomic<HWND> PaletteWindow;
