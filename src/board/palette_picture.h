#pragma once
// The eyedropper's colour spectrum: a 100 x 100 picture with the hue circle
// across its middle row, shading up to white and down to black.

#include <cstdint>
#include <vector>

class Canvas;

constexpr int kPalettePictureSide = 100;

// Draws the spectrum on `canvas` (created 100 x 100 on white for it; an
// already created canvas is resized to that and cleared white) and returns it
// as a complete BMP file image. Empty when the canvas cannot be made.
std::vector<std::uint8_t> BuildPalettePicture(Canvas& canvas);

// The spectrum the eyedropper shows, built once at start-up (BMP file image).
extern std::vector<std::uint8_t> PalettePicture;
