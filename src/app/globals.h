#pragma once
// Process-wide objects shared by the subsystems. They live for the whole run.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "graphics/canvas.h"

// The board's size and canvases belong to the board object (board/board.h).
extern SIZE ScreenSize;   // primary screen, pixels

extern Canvas PaletteCanvas;  // the toolbox's tool palette

extern std::vector<std::uint8_t> PalettePicture;  // BMP file image of the colour spectrum

extern bool ToolboxLoaded;
