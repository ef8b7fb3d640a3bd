#include "board/palette_picture.h"

#include <array>

#include "graphics/canvas.h"

std::vector<std::uint8_t> PalettePicture;

std::vector<std::uint8_t> BuildPalettePicture(Canvas& canvas) {
    constexpr int side = kPalettePictureSide;
    constexpr int middle = side / 2;
    constexpr COLORREF white = 0xFFFFFF;
    constexpr COLORREF black = 0x000000;
    if (canvas.IsCreated()) {
        // Start-up builds this on a fresh canvas; a reused one must not leave
        // its old picture or size in the spectrum.
        canvas.BackgroundColor(white);
        canvas.Resize(side, side);
        canvas.Clear();
    } else if (!canvas.Create(side, side, white)) {
        return {};
    }

    // The hue circle: red, yellow, green, cyan, blue, magenta and back to red.
    constexpr std::array<COLORREF, 7> hues = {0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00,
                                              0xFF0000, 0xFF00FF, 0x0000FF};
    canvas.GradientFill(0, middle, side, 1, std::nullopt, hues);

    for (int x = 0; x < side; ++x) {
        const COLORREF hue = canvas.GetPixel(x, middle);
        // Direction 5 reverses the pair: white at the top down to the hue.
        const std::array<COLORREF, 2> upper = {hue, white};
        canvas.GradientFill(x, 0, 1, middle, 5, upper);
        // From the hue on the middle row down to black at the bottom.
        const std::array<COLORREF, 2> lower = {hue, black};
        canvas.GradientFill(x, middle, 1, side - middle, 1, lower);
    }
    return canvas.ToBmpBytes();
}
