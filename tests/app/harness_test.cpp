#include <windows.h>

#include <gtest/gtest.h>

// The harness gives every test a real display: a window can be made and shown.
TEST(Harness, RealWindowsCanBeCreated) {
    HWND w = CreateWindowExA(0, "STATIC", "probe", WS_POPUP | WS_VISIBLE, 10, 10, 50, 40,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 50);
    // The window lies on the screen, whatever size the display has.
    EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), r.right);
    EXPECT_GE(GetSystemMetrics(SM_CYSCREEN), r.bottom);
    DestroyWindow(w);
}
