// The eyedropper's colour spectrum, checked by its pixels and as a BMP file.

#include <windows.h>

#include <gtest/gtest.h>

#include "board/palette_picture.h"
#include "graphics/canvas.h"
#include "graphics/canvas_draw_test_support.h"
#include "graphics/gdip_image.h"

using namespace canvas_test;

TEST(PalettePicture, IsAHundredSquareCompleteBmpFile) {
    Canvas c;
    const auto bmp = BuildPalettePicture(c);
    EXPECT_EQ(c.Width(), 100);
    EXPECT_EQ(c.Height(), 100);
    ASSERT_EQ(bmp.size(), 54u + 100u * 100u * 4u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(ReadU32(bmp, 2), bmp.size());
    EXPECT_EQ(ReadU32(bmp, 10), 54u);
    EXPECT_EQ(ReadU32(bmp, 18), 100u);
    EXPECT_EQ(ReadU32(bmp, 22), 100u);
    // The file holds exactly what the canvas shows.
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 100; x += 3) ASSERT_EQ(BmpPixel(bmp, x, y), c.GetPixel(x, y));

    GdipImage image;
    ASSERT_TRUE(image.LoadFromData(bmp));
    EXPECT_EQ(image.Width(), 100);
    EXPECT_EQ(image.Height(), 100);
}

TEST(PalettePicture, MiddleRowRunsRoundTheHueCircle) {
    Canvas c;
    ASSERT_FALSE(BuildPalettePicture(c).empty());
    // Each hue begins its sixth of the row (0, 16, 33, 50, 66, 83).
    EXPECT_EQ(c.GetPixel(0, 50), 0x0000FFu);   // red
    EXPECT_EQ(c.GetPixel(16, 50), 0x00FFFFu);  // yellow
    EXPECT_EQ(c.GetPixel(33, 50), 0x00FF00u);  // green
    EXPECT_EQ(c.GetPixel(50, 50), 0xFFFF00u);  // cyan
    EXPECT_EQ(c.GetPixel(66, 50), 0xFF0000u);  // blue
    EXPECT_EQ(c.GetPixel(83, 50), 0xFF00FFu);  // magenta
    EXPECT_TRUE(Near(c.GetPixel(99, 50), 0x0000FF, 20));  // back to red
    // In between, two channels mix while the third stays off.
    EXPECT_TRUE(Near(c.GetPixel(8, 50), RGB(255, 128, 0), 20));
    EXPECT_TRUE(Near(c.GetPixel(41, 50), RGB(0, 255, 128), 20));
    EXPECT_TRUE(Near(c.GetPixel(75, 50), RGB(128, 0, 255), 20));
}

TEST(PalettePicture, ShadesFromWhiteAtTheTopToBlackAtTheBottom) {
    Canvas c;
    ASSERT_FALSE(BuildPalettePicture(c).empty());
    for (int x = 0; x < 100; ++x) {
        EXPECT_TRUE(Near(c.GetPixel(x, 0), 0xFFFFFF, 8)) << x;
        EXPECT_TRUE(Near(c.GetPixel(x, 99), 0x000000, 8)) << x;
    }
    // Half way up a column the hue is paled, half way down it is darkened.
    const COLORREF pale = c.GetPixel(66, 25);  // blue column
    EXPECT_TRUE(Near(pale, RGB(128, 128, 255), 20)) << std::hex << pale;
    const COLORREF dark = c.GetPixel(66, 75);
    EXPECT_TRUE(Near(dark, RGB(0, 0, 128), 20)) << std::hex << dark;
    // The middle row itself is untouched by the shading.
    EXPECT_EQ(c.GetPixel(33, 50), 0x00FF00u);
}

TEST(PalettePicture, AReusedCanvasBecomesTheSpectrumToo) {
    Canvas c;
    ASSERT_TRUE(c.Create(300, 40, 0x123456));
    c.BrushColor(0x00FF00);
    c.FillRect(0, 0, 300, 40);
    const auto bmp = BuildPalettePicture(c);
    EXPECT_EQ(c.Width(), 100);
    EXPECT_EQ(c.Height(), 100);
    ASSERT_EQ(bmp.size(), 54u + 40000u);
    Canvas fresh;
    EXPECT_EQ(BuildPalettePicture(fresh), bmp);
}
