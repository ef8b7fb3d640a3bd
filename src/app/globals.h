#pragma once
// Process-wide objects shared by the subsystems. They live for the whole run.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "graphics/canvas.h"

extern SIZE ScreenSize;   // primary screen, pixels
extern SIZE BoardSize;    // current board picture and board window size

extern Canvas BoardCanvas;    // what the board window shows; the tools draw on it
extern Canvas BackCanvas;     // the committed drawing of the board
extern Canvas PaletteCanvas;  // the toolbox's tool palette
extern Canvas PictureCanvas;  // decodes the board's starting picture

extern std::vector<std::uint8_t> PalettePicture;  // BMP file image of the colour spectrum
extern std::vector<std::uint8_t> BasePicture;     // BMP/picture file image the board started from

extern bool ToolboxLoaded;
