#include "graphics/dpi.h"

#include <windows.h>

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(Dpi, ScalingRoundsToTheNearestPixelAndKeeps96Exact) {
    struct Case {
        int value, dpi, scaled;
    } const cases[] = {
        {26, 96, 26},    {473, 96, 473},  // 100 %: the designed size
        {26, 144, 39},   {473, 144, 710},  // 150 %: 709.5 rounds up
        {5, 144, 8},     {-5, 144, -8},    // halves go away from zero
        {1, 120, 1},     {3, 120, 4},      // 125 %
        {64, 192, 128},  {0, 144, 0},      // 200 %
        {20, 72, 15},                      // below 100 % too
    };
    for (const Case& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.scaled) << c.value << "@" << c.dpi;
}

TEST(Dpi, AFailedOrAbsurdDpiGivesAUsableScale) {
    EXPECT_EQ(ScaleForDpi(64, 0), 64);  // a failed query reads as 96
    EXPECT_EQ(ScaleForDpi(64, -144), 64);
    EXPECT_EQ(NormalizeDpi(5), 24);
    EXPECT_EQ(NormalizeDpi(100000), 960);
    EXPECT_EQ(ScaleForDpi(INT_MAX, 960), INT_MAX);  // saturates, never wraps
    EXPECT_EQ(ScaleForDpi(INT_MIN, 960), INT_MIN);
}

TEST(Dpi, RectanglesScaleEdgeByEdgeSoNeighboursStillMeet) {
    const RECT left{5, 5, 31, 31}, right{31, 5, 58, 31};
    const RECT a = ScaleRectForDpi(left, 120), b = ScaleRectForDpi(right, 120);
    EXPECT_EQ(a.right, b.left);
    EXPECT_EQ(a.left, 6);
    EXPECT_EQ(b.right, 73);
}

TEST(Dpi, ThePlatformAnswersForAWindowAPointAndTheSystem) {
    // The test session runs at the system's DPI; every query agrees with it.
    HWND window = CreateWindowExA(0, "STATIC", "dpi", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const int system = SystemDpi();
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(system, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(DpiOfWindow(window), system);
    EXPECT_EQ(DpiAtPoint(POINT{10, 10}), system);
    DestroyWindow(window);
    EXPECT_EQ(DpiOfWindow(window), system);  // a window that is gone: the system's
    EXPECT_EQ(DpiOfWindow(nullptr), system);
}

}  // namespace
