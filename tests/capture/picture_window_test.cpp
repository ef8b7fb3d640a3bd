// Picture windows on their own threads: where they open, what they show and
// copy, closing one beside another, Esc, the menu's topmost commands, the
// close sweep, and the whole region-screenshot command ending in one.

#include "capture/picture_window.h"

#include <windows.h>

#include <atomic>
#include <span>
#include <thread>

#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "capture/clipboard.h"
#include "capture/region_select.h"
#include "capture/save.h"
#include "support/board_fixture.h"
#include "window/raw_window.h"

using namespace board_test;

namespace {

SIZE Screen() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

class PictureWindows : public ::testing::Test {
protected:
    void SetUp() override { previousEsc_ = SetEscCloseRoutine(&EscKeyHandler); }
    void TearDown() override {
        for (HWND window : ::PictureWindows()) Send(window, WM_CLOSE);
        EXPECT_TRUE(WaitUntil([] { return PictureWindowCount() == 0; }, 10000));
        SetEscCloseRoutine(previousEsc_);
    }
    // Opens a window for a one-colour picture and waits until it is set up.
    HWND Open(int width, int height, COLORREF color, POINT centre) {
        const std::size_t before = ::PictureWindows().size();
        EXPECT_TRUE(OpenPictureWindow(SolidBmp(width, height, color), centre));
        if (!WaitUntil([before] { return ::PictureWindows().size() > before; }, 10000)) return nullptr;
        return ::PictureWindows().back();
    }
    static RECT WindowRect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }
    // The picture the window's "复制到剪贴板" puts on the clipboard.
    static std::vector<std::uint8_t> CopyOf(HWND window) {
        Send(window, WM_COMMAND, kPictureCopyId);
        return ReadClipboardPicture();
    }
    HandlerRoutine previousEsc_ = nullptr;
};

}  // namespace

TEST_F(PictureWindows, OpenCentredOnTheMouseAndStayOnTheScreen) {
    const SIZE screen = Screen();
    struct Case {
        POINT mouse;
        RECT want;
    } cases[] = {
        {{0, 0}, {0, 0, 120, 80}},
        {{screen.cx - 1, screen.cy - 1}, {screen.cx - 120, screen.cy - 80, screen.cx, screen.cy}},
        {{500, 400}, {440, 360, 560, 440}},
    };
    for (const Case& c : cases) {
        HWND window = Open(120, 80, RGB(40, 90, 160), c.mouse);
        ASSERT_NE(window, nullptr);
        const RECT r = WindowRect(window);
        EXPECT_EQ(r.left, c.want.left);
        EXPECT_EQ(r.top, c.want.top);
        EXPECT_EQ(r.right, c.want.right);
        EXPECT_EQ(r.bottom, c.want.bottom);
    }
}

TEST_F(PictureWindows, ShowsItsPictureOnTheScreen) {
    HWND window = Open(90, 70, RGB(230, 120, 20), POINT{700, 500});
    ASSERT_NE(window, nullptr);
    Send(window, WM_COMMAND, kPictureTopmostId);
    const RECT r = WindowRect(window);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(r.left + 45, r.top + 35) == RGB(230, 120, 20); }, 5000));
    EXPECT_EQ(ScreenPixel(r.left, r.top), RGB(230, 120, 20));
    EXPECT_EQ(ScreenPixel(r.right - 1, r.bottom - 1), RGB(230, 120, 20));
}

TEST_F(PictureWindows, TwoWindowsCopyTheirOwnPicturesAndClosingOneLeavesTheOther) {
    // Both started before either is set up: each thread gets its own entry.
    ASSERT_TRUE(OpenPictureWindow(SolidBmp(50, 40, RGB(255, 0, 0)), POINT{300, 300}));
    ASSERT_TRUE(OpenPictureWindow(SolidBmp(30, 20, RGB(0, 0, 255)), POINT{900, 300}));
    ASSERT_TRUE(WaitUntil([] { return ::PictureWindows().size() == 2; }, 10000));
    const std::vector<HWND> windows = ::PictureWindows();

    for (HWND window : windows) {
        std::shared_ptr<PictureWindowEntry> e = FindPictureWindow(window);
        ASSERT_TRUE(e);
        const std::vector<std::uint8_t> copy = CopyOf(window);
        const BmpInfo info = ReadBmpInfo(copy);
        EXPECT_EQ(info.width, e->width);
        EXPECT_EQ(info.height, e->height);
        const COLORREF want = e->width == 50 ? RGB(255, 0, 0) : RGB(0, 0, 255);
        EXPECT_EQ(BmpPixel(copy, 0, 0), want);
        EXPECT_EQ(BmpPixel(copy, e->width - 1, e->height - 1), want);
        EXPECT_EQ(GetClipboardOwner(), window);
    }

    HWND red = FindPictureWindow(windows[0])->width == 50 ? windows[0] : windows[1];
    HWND blue = red == windows[0] ? windows[1] : windows[0];
    Send(red, WM_COMMAND, kPictureCloseId);
    ASSERT_TRUE(WaitUntil([] { return PictureWindowCount() == 1; }, 5000));
    EXPECT_FALSE(IsWindow(red));
    ASSERT_TRUE(FindPictureWindow(blue));
    const std::vector<std::uint8_t> copy = CopyOf(blue);
    EXPECT_EQ(ReadBmpInfo(copy).width, 30);
    EXPECT_EQ(BmpPixel(copy, 10, 10), RGB(0, 0, 255));
}

TEST_F(PictureWindows, SaveWritesTheWindowsOwnPicture) {
    static std::string path;
    path = TempPath("picture_window_save.bmp");
    DeleteFileA(path.c_str());
    const SaveUi saved = SavePictureUi;
    SavePictureUi.askFileName = [](HWND) { return path; };
    SavePictureUi.tellFailure = [](HWND, const std::string&) {};
    Open(30, 20, RGB(0, 0, 255), POINT{300, 300});
    HWND window = Open(50, 40, RGB(255, 0, 0), POINT{900, 300});
    ASSERT_NE(window, nullptr);
    Send(window, WM_COMMAND, kPictureSaveId);
    SavePictureUi = saved;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::vector<std::uint8_t> bytes(GetFileSize(file, nullptr));
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    const BmpInfo info = ReadBmpInfo(bytes);
    EXPECT_EQ(info.width, 50);
    EXPECT_EQ(info.height, 40);
    EXPECT_EQ(BmpPixel(bytes, 49, 39), RGB(255, 0, 0));
}

TEST_F(PictureWindows, EscClosesTheWindowAndTakesItsEntry) {
    HWND window = Open(40, 40, RGB(9, 9, 9), POINT{200, 200});
    ASSERT_NE(window, nullptr);
    Send(window, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(WaitUntil([] { return PictureWindowCount() == 0; }, 5000));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(PictureWindows, TopmostOnAndOff) {
    HWND window = Open(40, 40, RGB(9, 90, 9), POINT{200, 200});
    ASSERT_NE(window, nullptr);
    Send(window, WM_COMMAND, kPictureTopmostId);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Send(window, WM_COMMAND, kPictureNotTopmostId);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(PictureWindows, BytesWithoutAPictureOpenNothing) {
    EXPECT_FALSE(OpenPictureWindow({}, POINT{10, 10}));
    EXPECT_FALSE(OpenPictureWindow(std::vector<std::uint8_t>(60, 0x42), POINT{10, 10}));
    EXPECT_EQ(PictureWindowCount(), 0u);
}

TEST(PictureWindowSweep, TakesTheClosingAndDeadWindowsButNotOneBeingMade) {
    HWND live = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HWND closing = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    HWND dead = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(dead);
    auto entry = [](HWND window, bool creating) {
        auto e = std::make_shared<PictureWindowEntry>();
        e->window = window;
        e->creating = creating;
        return e;
    };
    std::vector<std::shared_ptr<PictureWindowEntry>> list = {
        entry(live, false), entry(dead, false), entry(nullptr, true), entry(closing, false)};
    const auto being = list[2];
    const auto removed = SweepClosedPictureWindows(list, closing);
    EXPECT_EQ(removed.size(), 2u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->window, live);
    EXPECT_EQ(list[1], being);
    DestroyWindow(live);
    DestroyWindow(closing);
}

namespace {

// TakeRegionScreenshot on a thread of its own (the selection is modal); its
// outcome: -1 while it runs, then 1 when a picture window opened, else 0.
std::thread RunRegionScreenshot(std::atomic<int>& outcome) {
    outcome.store(-1);
    return std::thread([&outcome] {
        outcome.store(TakeRegionScreenshot(false, [] { return POINT{600, 500}; }, 20000) ? 1 : 0);
    });
}

void SendToSelection(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = RegionSelectionWindow();
    if (window != nullptr) Send(window, message, wParam, lParam);
}

bool SelectionStarted() {
    if (!WaitUntil([] { return QueryRegionSelection(200).has_value(); }, 10000)) return false;
    // Let what showing the window stirs up (a first pointer move) pass.
    Sleep(300);
    return QueryRegionSelection().has_value();
}

// Selects (420, 220)-(469, 249), where the real pointer waits, and confirms it.
void ChooseTheRegionAndEnter() {
    SendToSelection(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(420, 220));
    SendToSelection(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(450, 240));
    SendToSelection(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(469, 249));
    SendToSelection(WM_LBUTTONUP, 0, MAKELPARAM(469, 249));
    SendToSelection(WM_KEYUP, VK_RETURN, 0xC0000001);
}

// The newest picture window shows a 50 x 30 picture of `color` only.
void ExpectNewestWindowShows(COLORREF color) {
    ASSERT_TRUE(WaitUntil([] { return !::PictureWindows().empty(); }, 10000));
    std::shared_ptr<PictureWindowEntry> e = FindPictureWindow(::PictureWindows().back());
    ASSERT_TRUE(e);
    EXPECT_EQ(e->width, 50);
    EXPECT_EQ(e->height, 30);
    // The surface's memory, not its DC: the window's own thread may be using
    // the DC (painting), and a DC in use by another thread answers nothing.
    const std::span<std::uint32_t> pixels = e->canvas.Pixels();
    ASSERT_EQ(pixels.size(), 50u * 30u);
    const std::uint32_t rgb = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (std::size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(pixels[i] & 0xFFFFFFu, rgb) << i;
}

}  // namespace

TEST(RegionScreenshot, CancelledAddsNoWindowAndAFinishedOneShowsThePicture) {
    const std::size_t before = PictureWindowCount();
    std::atomic<int> outcome{-1};
    // The real pointer waits where the drag below ends.
    SetCursorPos(469, 249);

    // Esc with no region: false, and no picture window.
    std::thread cancelled = RunRegionScreenshot(outcome);
    ASSERT_TRUE(SelectionStarted());
    SendToSelection(WM_KEYUP, VK_ESCAPE, 0xC0000001);
    ASSERT_TRUE(WaitUntil([&] { return outcome.load() >= 0; }, 10000));
    cancelled.join();
    EXPECT_EQ(outcome.load(), 0);
    EXPECT_EQ(PictureWindowCount(), before);

    // A region of a known patch, Enter: a window showing exactly that patch.
    ColorPatch patch(RECT{420, 220, 470, 250}, RGB(120, 20, 200));
    ASSERT_TRUE(patch.Shown());
    std::thread finished = RunRegionScreenshot(outcome);
    ASSERT_TRUE(SelectionStarted());
    ChooseTheRegionAndEnter();
    ASSERT_TRUE(WaitUntil([&] { return outcome.load() >= 0; }, 10000));
    finished.join();
    EXPECT_EQ(outcome.load(), 1);
    ExpectNewestWindowShows(RGB(120, 20, 200));
    ASSERT_FALSE(::PictureWindows().empty());
    HWND window = ::PictureWindows().back();
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 575);
    EXPECT_EQ(r.top, 485);
    Send(window, WM_CLOSE);
    EXPECT_TRUE(WaitUntil([before] { return PictureWindowCount() == before; }, 5000));
}

TEST(RegionScreenshot, AClipboardHeldElsewhereStillGivesAWindowOfExactlyTheChosenPixels) {
    const std::size_t before = PictureWindowCount();
    SetCursorPos(469, 249);
    ColorPatch patch(RECT{420, 220, 470, 250}, RGB(30, 140, 220));
    ASSERT_TRUE(patch.Shown());
    // The clipboard holds no picture, and another window keeps it open.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        held.store(OpenClipboard(owner) != FALSE);
        while (!release.load()) Sleep(5);
        if (held.load()) CloseClipboard();
        DestroyWindow(owner);
    });
    ASSERT_TRUE(WaitUntil([&] { return held.load(); }, 5000));

    std::atomic<int> outcome{-1};
    std::thread finished = RunRegionScreenshot(outcome);
    EXPECT_TRUE(SelectionStarted());
    ChooseTheRegionAndEnter();
    EXPECT_TRUE(WaitUntil([&] { return outcome.load() >= 0; }, 20000));
    release.store(true);
    holder.join();
    finished.join();
    EXPECT_EQ(outcome.load(), 1);
    ExpectNewestWindowShows(RGB(30, 140, 220));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));  // only the copy was lost
    for (HWND window : ::PictureWindows()) Send(window, WM_CLOSE);
    EXPECT_TRUE(WaitUntil([before] { return PictureWindowCount() == before; }, 5000));
}

TEST(LastMousePoint, IsWhereTheHookLastSawThePointerNotWhereTheCursorIs) {
    SetCursorPos(5, 5);
    MSLLHOOKSTRUCT data{};
    data.pt = POINT{321, 234};
    MouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&data));
    const POINT p = LastMousePoint();
    EXPECT_EQ(p.x, 321);
    EXPECT_EQ(p.y, 234);
}
