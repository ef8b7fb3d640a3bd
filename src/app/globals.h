#pragma once
// Process-wide objects shared by the subsystems. They live for the whole run.

#include <windows.h>

#include "graphics/canvas.h"

// The screen's size is the window layer's (window/screen.h), the eyedropper's
// spectrum the board's (board/palette_picture.h).
extern Canvas PaletteCanvas;  // the toolbox's tool palette

extern bool ToolboxLoaded;
