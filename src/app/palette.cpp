#include "app/palette.h"

#include "app/globals.h"
#include "board/commands.h"
#include "window/owner_thread.h"

std::atomic<HWND> ToolboxWindow{nullptr};
std::atomic<HWND> PaletteWindow{nullptr};

namespace {

// The commands in palette order; what each cell shows (tooltip, picture)
// comes with the command's own description on the board side.
constexpr PaletteCommand kCellCommands[kPaletteCellCount] = {
    PaletteCommand::Capture,    PaletteCommand::Region,    PaletteCommand::Pen,
    PaletteCommand::Arrow,      PaletteCommand::Line,      PaletteCommand::Polyline,
    PaletteCommand::Rectangle,  PaletteCommand::Ellipse,   PaletteCommand::Circle,
    PaletteCommand::Pie,        PaletteCommand::Polygon,   PaletteCommand::Arc,
    PaletteCommand::Bezier,     PaletteCommand::Curve,     PaletteCommand::Text,
    PaletteCommand::Font,       PaletteCommand::Eyedropper, PaletteCommand::Fill,
    PaletteCommand::Eraser,     PaletteCommand::Clear,     PaletteCommand::Open,
    PaletteCommand::Save,       PaletteCommand::MoveBoard, PaletteCommand::Close,
    PaletteCommand::Help,
};

// Read from any thread (the board re-highlights cells), written on the
// palette's thread only.
std::atomic<int> g_selected{kInitialSelectedCell};
std::atomic<int> g_previous{0};
std::atomic<int> g_hover{0};
std::atomic<int> g_cellSize{PaletteCellSize(64)};
std::atomic<int> g_dpi{kBaseDpi};

// How long another thread waits for the palette to select a cell.
constexpr DWORD kPaletteCallTimeoutMs = 5000;

bool ValidCell(int n) { return n >= 1 && n <= kPaletteCellCount; }

// True when the caller must hand the work to the palette window's thread.
HWND ForeignPaletteWindow() {
    HWND palette = PaletteWindow.load();
    if (palette == nullptr || !IsWindow(palette)) return nullptr;
    if (GetWindowThreadProcessId(palette, nullptr) == GetCurrentThreadId()) return nullptr;
    return palette;
}

}  // namespace

int PaletteCellSize(int paletteWidth) { return (paletteWidth - 11) / 2; }

RECT PaletteCellRect(int n, int cellSize, int dpi) {
    if (!ValidCell(n)) return RECT{0, 0, 0, 0};
    const int column = (n - 1) % 2 + 1;
    const int row = (n + 1) / 2;
    RECT r;
    r.left = kPaletteGridOrigin + (column - 1) * (cellSize + 1);
    r.top = kPaletteGridOrigin + (row - 1) * (cellSize + 1);
    r.right = r.left + cellSize;
    r.bottom = r.top + cellSize;
    return ScaleRectForDpi(r, dpi);
}

int PaletteHeight(int cellSize, int dpi) {
    return ScaleForDpi(PaletteCellRect(kPaletteCellCount, cellSize).bottom + 6, dpi);
}

int PaletteCellAt(int x, int y, int cellSize, int dpi) {
    const int pitch = cellSize + 1;
    if (pitch <= 0) return 0;
    // Column c spans from the scaled edge c - 1 up to (not including) edge c;
    // rows likewise. At 96 DPI that is column = (x - 5) / pitch + 1.
    const auto edge = [&](int k) { return ScaleForDpi(kPaletteGridOrigin + k * pitch, dpi); };
    if (x < edge(0) || y < edge(0) || x >= edge(2)) return 0;
    const int column = x < edge(1) ? 1 : 2;
    constexpr int kRows = (kPaletteCellCount + 1) / 2;
    int row = 1;
    while (row <= kRows && y >= edge(row)) ++row;
    const int n = (row - 1) * 2 + column;
    return ValidCell(n) ? n : 0;
}

PaletteCommand PaletteCellCommand(int n) {
    return ValidCell(n) ? kCellCommands[n - 1] : PaletteCommand::None;
}

int PaletteCellOfCommand(PaletteCommand command) {
    if (command == PaletteCommand::None) return 0;
    for (int n = 1; n <= kPaletteCellCount; ++n)
        if (kCellCommands[n - 1] == command) return n;
    return 0;
}

const char* PaletteCellTip(int n) { return ValidCell(n) ? CellTipOf(kCellCommands[n - 1]) : ""; }

int PaletteCellIcon(int n) { return ValidCell(n) ? CellIconOf(kCellCommands[n - 1]) : 0; }

int PaletteCurrentCellSize() { return g_cellSize.load(); }
void SetPaletteCellSize(int cellSize) { g_cellSize.store(cellSize); }
int PaletteCurrentDpi() { return g_dpi.load(); }
void SetPaletteDpi(int dpi) { g_dpi.store(NormalizeDpi(dpi)); }

void DrawCellFrame(int n, COLORREF color) {
    if (!ValidCell(n) || !PaletteCanvas.IsCreated()) return;
    const RECT r = PaletteCellRect(n, g_cellSize.load(), g_dpi.load());
    const COLORREF oldColor = PaletteCanvas.PenColor(color);
    PaletteCanvas.Rectangle(r.left, r.top, r.right, r.bottom);
    PaletteCanvas.PenColor(oldColor);
}

void DrawSelectionFrame() { DrawCellFrame(g_selected.load(), kSelectionFrameColor); }

bool SelectCell(int n) {
    if (HWND palette = ForeignPaletteWindow()) {
        bool selected = false;
        CallOnOwner(palette, [n, &selected] { selected = SelectCell(n); }, kPaletteCallTimeoutMs);
        return selected;
    }
    if (!ValidCell(n)) return false;
    const int selected = g_selected.load();
    if (n == selected) return true;
    if (ValidCell(selected)) DrawCellFrame(selected, PaletteCanvas.BackgroundColor());
    g_previous.store(selected);
    g_selected.store(n);
    DrawCellFrame(n, kSelectionFrameColor);
    return true;
}

int SelectedCell() { return g_selected.load(); }
int PreviousSelectedCell() { return g_previous.load(); }
int HoverCell() { return g_hover.load(); }

void TrackHover(int n) {
    if (!ValidCell(n)) n = 0;
    const int hover = g_hover.load();
    const int selected = g_selected.load();
    if (ValidCell(hover) && hover != selected && hover != n)
        DrawCellFrame(hover, PaletteCanvas.BackgroundColor());
    if (ValidCell(n) && n != selected && hover != selected) DrawCellFrame(n, kHoverFrameColor);
    g_hover.store(n);
    RepaintPalette();
}

void RepaintPalette() {
    if (HWND palette = ForeignPaletteWindow()) {
        RunOnOwner(palette, [] { RepaintPalette(); });
        return;
    }
    HWND palette = PaletteWindow.load();
    if (palette == nullptr || !IsWindow(palette) || !PaletteCanvas.IsCreated()) return;
    PaletteCanvas.ShowInWindow(palette, std::nullopt, false);
}

void ResetPaletteState() {
    g_selected.store(kInitialSelectedCell);
    g_previous.store(0);
    g_hover.store(0);
}
