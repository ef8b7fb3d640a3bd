#pragma once
// Where the toolbox's page controls go and how high the toolbox becomes.
// Pure: positions follow from the page, the brush type, the palette and the
// DPI of the monitor the toolbox is on. The sizes below are the 96-DPI
// design; a layout at another DPI is the 96-DPI layout with every edge scaled.

#include <windows.h>

#include "graphics/dpi.h"

// Template sizes of the toolbox's controls (left, top, width, height).
constexpr int kToolboxWidth = 64;
constexpr int kToolboxTemplateHeight = 393;
constexpr int kTitleStripHeight = 20;
constexpr int kCloseZoneWidth = 16;  // rightmost pixels of the title strip
constexpr RECT kTitleStripRect{0, 0, 64, 20};
constexpr RECT kPaletteTemplateRect{0, 20, 64, 20 + 156};
constexpr int kRadioLefts[3] = {2, 22, 42};
constexpr int kRadioWidth = 20;
constexpr int kRadioHeight = 36;
constexpr int kPenEditLeft = 4, kPenEditWidth = 40, kPenEditHeight = 20;
constexpr int kBrushListLeft = 0, kBrushListWidth = 64, kBrushListHeight = 20;
constexpr int kPickerLeft = 6, kPickerWidth = 52, kPickerHeight = 20;

enum ToolboxPageKind : int { kPagePen = 0, kPageFill = 1, kPageText = 2 };

// Colour picker 2 accompanies the fill page only for the hatch styles.
bool FillPageShowsBackColor(int brushType);

struct PlacedControl {
    bool visible = false;
    RECT rect{};  // left, top, right, bottom in toolbox client coordinates
};

struct ToolboxLayout {
    int toolboxWidth = 0;
    RECT titleStrip{};
    RECT palette{};
    RECT radios[3]{};
    int radioTop = 0;
    PlacedControl penEdit;     // the edit box together with its spinner
    PlacedControl brushList;   // closed height of the drop-down list
    PlacedControl picker1;
    PlacedControl picker2;
    int toolboxHeight = 0;
};

// Radio buttons sit 2 pixels below the palette; a placed control sits 4
// pixels below the one above it; the toolbox ends 6 pixels below the last
// visible page control. A page outside 0..2 is laid out as the pen page.
// `paletteTop` and `paletteHeight` are 96-DPI values; every rectangle and
// size of the result is in pixels at `dpi`.
ToolboxLayout ComputeToolboxLayout(int page, int brushType, int paletteTop, int paletteHeight,
                                   int dpi = kBaseDpi);
