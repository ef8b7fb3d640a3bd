// The region screenshot's selection window, driven with real mouse and key
// messages on its own thread, its work surface checked by pixels, and what
// it puts on the clipboard read back.

#include "capture/region_select.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "capture/clipboard.h"
#include "capture/region_geometry.h"
#include "support/board_fixture.h"

using namespace board_test;

namespace {

LPARAM At(int x, int y) {
    return static_cast<LPARAM>(static_cast<WORD>(static_cast<SHORT>(x))) |
           (static_cast<LPARAM>(static_cast<WORD>(static_cast<SHORT>(y))) << 16);
}

// One SelectScreenRegion on a thread of its own (it is modal), with a time
// limit so a failing test never waits for a user.
class RunningSelection {
public:
    explicit RunningSelection(RegionSelectOptions options) {
        options.timeLimitMs = 20000;
        // The real pointer stays put, so no real motion mixes with the
        // messages the test sends.
        SetCursorPos(5, 5);
        thread_ = std::thread([this, options] {
            result_.store(SelectScreenRegion(options));
            done_.store(true);
        });
        started_ = WaitUntil([] { return QueryRegionSelection(200).has_value(); }, 10000);
        // Let what showing the window stirs up (a first pointer move) pass.
        Sleep(300);
        QueryRegionSelection();
    }
    ~RunningSelection() {
        // Two cancels close it whatever it holds.
        for (int i = 0; i < 2 && !done_.load(); ++i) Send(WM_RBUTTONUP, 0, At(1, 1));
        thread_.join();
    }
    bool Started() const { return started_; }
    void Send(UINT message, WPARAM wParam, LPARAM lParam) {
        HWND window = RegionSelectionWindow();
        DWORD_PTR answer = 0;
        if (window != nullptr)
            SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
    }
    void Drag(POINT from, POINT to) {
        Send(WM_MOUSEMOVE, 0, At(from.x, from.y));
        Send(WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
        for (int step = 1; step <= 4; ++step) {
            Send(WM_MOUSEMOVE, MK_LBUTTON,
                 At(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4));
        }
        Send(WM_LBUTTONUP, 0, At(to.x, to.y));
    }
    void KeyUp(WPARAM key) { Send(WM_KEYUP, key, 0xC0000001); }
    RegionSelectionState State() {
        std::optional<RegionSelectionState> s = QueryRegionSelection();
        return s ? *s : RegionSelectionState{};
    }
    bool Running() { return QueryRegionSelection(500).has_value(); }
    // Waits for the window to close; its result.
    bool Result() {
        EXPECT_TRUE(WaitUntil([this] { return done_.load(); }, 10000));
        return result_.load();
    }

private:
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::atomic<bool> result_{false};
    bool started_ = false;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

SIZE Screen() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// The clipboard's picture: size and pixels.
std::vector<std::uint8_t> Clipboard() { return ReadClipboardPicture(); }

void PutTextOnClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 2);
    static_cast<char*>(GlobalLock(block))[0] = 'x';
    static_cast<char*>(GlobalLock(block))[1] = 0;
    GlobalUnlock(block);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

}  // namespace

TEST(RegionSelect, PressAndReleaseWithoutMovingSelectsNothingAndEnterDoesNothing) {
    PutTextOnClipboard();
    RunningSelection run({});
    ASSERT_TRUE(run.Started());
    EXPECT_TRUE(run.State().ownCursor);
    run.Send(WM_MOUSEMOVE, 0, At(300, 300));
    run.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(300, 300));
    run.Send(WM_LBUTTONUP, 0, At(300, 300));
    EXPECT_FALSE(run.State().regionSelected);
    run.KeyUp(VK_RETURN);
    EXPECT_TRUE(run.Running()) << "Enter without a region closed the window";
    run.KeyUp(VK_ESCAPE);
    EXPECT_FALSE(run.Result());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST(RegionSelect, ADragCommitsNormalisedAndEnterCopiesExactlyThosePixels) {
    ColorPatch patch(RECT{400, 300, 460, 340}, RGB(30, 160, 90));
    ASSERT_TRUE(patch.Shown());
    RunningSelection run({});
    ASSERT_TRUE(run.Started());
    // From bottom-right to top-left: the same rectangle as the other way.
    run.Drag({459, 339}, {400, 300});
    RegionSelectionState s = run.State();
    ASSERT_TRUE(s.regionSelected);
    EXPECT_TRUE(SameRect(s.region, RECT{400, 300, 459, 339}));
    // A press outside the region while one is selected does nothing.
    run.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(900, 900));
    EXPECT_FALSE(run.State().buttonDown);
    run.Send(WM_LBUTTONUP, 0, At(900, 900));
    // A double click outside it does not finish either.
    run.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(900, 900));
    ASSERT_TRUE(run.Running());

    run.KeyUp(VK_RETURN);
    EXPECT_TRUE(run.Result());
    const std::vector<std::uint8_t> bytes = Clipboard();
    const BmpInfo info = ReadBmpInfo(bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, 60);
    EXPECT_EQ(info.height, 40);
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 60; x += 3)
            ASSERT_EQ(BmpPixel(bytes, x, y), RGB(30, 160, 90)) << x << "," << y;
    EXPECT_EQ(BmpPixel(bytes, 59, 39), RGB(30, 160, 90));
}

TEST(RegionSelect, ARegionDraggedPastTheScreenCornerCopiesOnlyPixelsOnTheScreen) {
    const SIZE screen = Screen();
    ColorPatch patch(RECT{screen.cx - 40, screen.cy - 30, screen.cx, screen.cy}, RGB(200, 40, 40));
    ASSERT_TRUE(patch.Shown());
    RunningSelection run({});
    ASSERT_TRUE(run.Started());
    // The window holds the mouse while the button is down, so the pointer
    // may be reported beyond the screen's last pixel.
    run.Drag({screen.cx - 40, screen.cy - 30}, {screen.cx + 25, screen.cy + 25});
    RegionSelectionState s = run.State();
    ASSERT_TRUE(s.regionSelected);
    EXPECT_TRUE(SameRect(s.region, RECT{screen.cx - 40, screen.cy - 30, screen.cx + 25, screen.cy + 25}));
    run.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(screen.cx - 20, screen.cy - 15));
    EXPECT_TRUE(run.Result());
    const std::vector<std::uint8_t> bytes = Clipboard();
    const BmpInfo info = ReadBmpInfo(bytes);
    ASSERT_EQ(info.width, 40);  // no black column beyond the screen's edge
    ASSERT_EQ(info.height, 30);
    EXPECT_EQ(BmpPixel(bytes, 39, 29), RGB(200, 40, 40));
    EXPECT_EQ(BmpPixel(bytes, 39, 0), RGB(200, 40, 40));
    EXPECT_EQ(BmpPixel(bytes, 0, 29), RGB(200, 40, 40));
}

TEST(RegionSelect, ARegionMovedPastTheEdgeAndBackKeepsItsSize) {
    const SIZE screen = Screen();
    RunningSelection run({});
    ASSERT_TRUE(run.Started());
    run.Drag({300, 300}, {500, 450});  // 201 x 151
    run.Drag({400, 375}, {screen.cx - 50, 375});  // half of it off the screen
    run.Drag({screen.cx - 100, 375}, {400, 375});
    run.KeyUp(VK_RETURN);
    EXPECT_TRUE(run.Result());
    EXPECT_EQ(ReadBmpInfo(Clipboard()).width, 201);
}

TEST(RegionSelect, HandlesResizeTheMoveHandleMovesAndOffTheScreenSelectsNothing) {
    RunningSelection run({});
    ASSERT_TRUE(run.Started());
    run.Drag({200, 200}, {300, 260});
    ASSERT_TRUE(SameRect(run.State().region, RECT{200, 200, 300, 260}));
    // Over the left handle the pointer changes; the left edge dragged past
    // the right one is stored normalised on release.
    run.Send(WM_MOUSEMOVE, 0, At(201, 230));
    EXPECT_FALSE(run.State().ownCursor);
    run.Drag({201, 230}, {380, 230});
    RegionSelectionState s = run.State();
    EXPECT_TRUE(SameRect(s.region, RECT{300, 200, 380, 260}));
    EXPECT_FALSE(s.dragging);
    // Inside: moved as a whole.
    run.Drag({340, 230}, {440, 250});
    EXPECT_TRUE(SameRect(run.State().region, RECT{400, 220, 480, 280}));
    // Right button down and up: the region is dropped, the window stays.
    run.Send(WM_RBUTTONDOWN, MK_RBUTTON, At(440, 250));
    run.Send(WM_RBUTTONUP, 0, At(440, 250));
    EXPECT_FALSE(run.State().regionSelected);
    EXPECT_TRUE(run.State().ownCursor);
    ASSERT_TRUE(run.Running());
    // A region moved wholly off the screen selects nothing, never a negative size.
    run.Drag({100, 100}, {160, 140});
    run.Drag({130, 120}, {-200, 120});
    EXPECT_FALSE(run.State().regionSelected);
    run.KeyUp(VK_ESCAPE);
    EXPECT_FALSE(run.Result());
}

TEST(RegionSelect, TheRememberedRegionReopensSelected) {
    ForgetRememberedRegion();
    {
        RegionSelectOptions o;
        o.rememberRegion = true;
        RunningSelection run(o);
        ASSERT_TRUE(run.Started());
        run.Drag({50, 60}, {250, 160});
        run.KeyUp(VK_ESCAPE);  // drops the region
        run.KeyUp(VK_ESCAPE);  // closes
        EXPECT_FALSE(run.Result());
    }
    ASSERT_TRUE(RememberedRegion().has_value());
    {
        RegionSelectOptions o;
        o.rememberRegion = true;
        RunningSelection run(o);
        ASSERT_TRUE(run.Started());
        RegionSelectionState s = run.State();
        EXPECT_TRUE(s.regionSelected);
        EXPECT_TRUE(SameRect(s.region, RECT{50, 60, 250, 160}));
    }
    {
        RunningSelection run({});  // the left button's screenshot starts afresh
        ASSERT_TRUE(run.Started());
        EXPECT_FALSE(run.State().regionSelected);
    }
}

TEST(RegionSelect, OnlyOneSelectionRunsAtATime) {
    RunningSelection run({});
    ASSERT_TRUE(run.Started());
    EXPECT_FALSE(SelectScreenRegion({}));
    EXPECT_TRUE(run.Running());
}

TEST(RegionSurfaceCompose, OverlayMagnifierAndInfoBoxPixels) {
    RegionSurface surface;
    const COLORREF selection = RGB(10, 100, 200);
    const COLORREF frame = RGB(0x90, 0x00, 0xFF);
    ASSERT_TRUE(surface.Create(SIZE{600, 400}, selection, 0xFF0090, 255));
    // A grey frozen picture with one green pixel.
    RECT all{0, 0, 600, 400};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(surface.CaptureDc(), &all, grey);
    DeleteObject(grey);
    SetPixel(surface.CaptureDc(), 300, 350, RGB(0, 255, 0));

    RegionSurface::View view;
    view.start = POINT{100, 100};
    view.end = POINT{200, 150};
    view.regionSelected = false;  // still choosing: the magnifier shows
    EXPECT_TRUE(surface.Compose(view, POINT{300, 350}));
    HDC work = surface.WorkDc();
    EXPECT_EQ(GetPixel(work, 100, 140), selection);   // frame, left edge
    EXPECT_EQ(GetPixel(work, 200, 140), selection);   // frame, right edge included
    EXPECT_EQ(GetPixel(work, 201, 140), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(work, 150, 125), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(work, 152, 152), selection);   // bottom handle box
    // Near the bottom: the magnifier goes above the pointer, and shows the
    // green pixel enlarged four times around its middle.
    const RECT mag = MagnifierRect(POINT{300, 350}, surface.Size());
    EXPECT_EQ(mag.top, 190);
    EXPECT_EQ(GetPixel(work, mag.left, mag.top + 30), frame);
    EXPECT_EQ(GetPixel(work, mag.left + 60, mag.top + 60), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(work, mag.left + 63, mag.top + 63), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(work, mag.left + 20, mag.top + 20), RGB(128, 128, 128));
    // The information box carries red text (smoothed at its edges).
    const RECT info = InfoBoxRect(POINT{300, 350}, surface.Size(), true);
    int red = 0;
    for (int y = info.top + 1; y < info.bottom - 1; ++y) {
        for (int x = info.left + 1; x < info.right - 1; ++x) {
            const COLORREF c = GetPixel(work, x, y);
            if (GetRValue(c) > 150 && GetGValue(c) < 110 && GetBValue(c) < 110) ++red;
        }
    }
    EXPECT_GT(red, 30);
    // The capture surface is never drawn on.
    EXPECT_EQ(GetPixel(surface.CaptureDc(), 100, 125), RGB(128, 128, 128));

    // Moving the whole region: no magnifier.
    view.regionSelected = true;
    view.dragging = true;
    view.activeHandle = kHandleMove;
    surface.Compose(view, POINT{300, 350});
    EXPECT_EQ(GetPixel(work, mag.left + 60, mag.top + 60), RGB(128, 128, 128));
}

TEST(RegionSurfaceCompose, MagnifierAtTheScreenCornerShowsBlackBeyondIt) {
    RegionSurface surface;
    ASSERT_TRUE(surface.Create(SIZE{400, 300}, RGB(10, 100, 200), 0xFF0090, 255));
    RECT all{0, 0, 400, 300};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(surface.CaptureDc(), &all, white);
    DeleteObject(white);
    surface.Compose(RegionSurface::View{}, POINT{0, 0});
    const RECT mag = MagnifierRect(POINT{0, 0}, surface.Size());
    // The top-left quarter of the source square is off the surface.
    EXPECT_EQ(GetPixel(surface.WorkDc(), mag.left + 20, mag.top + 20), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(surface.WorkDc(), mag.left + 90, mag.top + 90), RGB(255, 255, 255));
}

TEST(RegionSurfaceCompose, At144DpiTheMagnifierIsLargerAndStillFramesThePointersPixel) {
    RegionSurface surface;
    const COLORREF frame = RGB(0x90, 0x00, 0xFF);
    ASSERT_TRUE(surface.Create(SIZE{600, 400}, RGB(10, 100, 200), 0xFF0090, 255, 144));
    RECT all{0, 0, 600, 400};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(surface.CaptureDc(), &all, grey);
    DeleteObject(grey);
    SetPixel(surface.CaptureDc(), 200, 100, RGB(0, 255, 0));
    surface.Compose(RegionSurface::View{}, POINT{200, 100});
    HDC work = surface.WorkDc();
    const RECT mag = MagnifierRect(POINT{200, 100}, surface.Size(), 144);
    ASSERT_EQ(mag.right - mag.left, 180);
    EXPECT_EQ(GetPixel(work, mag.left, mag.top + 100), frame);
    EXPECT_EQ(GetPixel(work, mag.right - 1, mag.top + 100), frame);
    // The pointer's pixel sits 22 source pixels in: 88..91 enlarged, framed
    // at 87 and 92.
    EXPECT_EQ(GetPixel(work, mag.left + 88, mag.top + 88), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(work, mag.left + 91, mag.top + 91), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(work, mag.left + 87, mag.top + 90), frame);
    EXPECT_EQ(GetPixel(work, mag.left + 92, mag.top + 90), frame);
    EXPECT_EQ(GetPixel(work, mag.left + 40, mag.top + 40), RGB(128, 128, 128));
}

TEST(RegionCursor, At144DpiTheCursorIs48PixelsWithItsHotSpotStillAtTheTip) {
    HCURSOR cursor = CreateSelectionCursor(144);
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(mask.bmWidth, 48);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyCursor(cursor);
}

TEST(RegionCursor, TheEmbeddedCursorIsA32By32ArrowWithItsHotSpotAtTheTip) {
    const std::span<const std::uint8_t> bytes = SelectionCursorFile();
    EXPECT_EQ(bytes.size(), 2238u);
    const std::optional<CursorFileImage> file = ParseCursorFile(bytes);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->width, 32);
    EXPECT_EQ(file->height, 32);
    EXPECT_EQ(file->hotspot.x, 0);
    EXPECT_EQ(file->hotspot.y, 0);
    HCURSOR cursor = CreateSelectionCursor();
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    // Drawn: black outline and yellow fill where the arrow is, nothing elsewhere.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 32, 32};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, blue);
    DeleteObject(blue);
    DrawIconEx(dc, 0, 0, cursor, 32, 32, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    const COLORREF inside = GetPixel(dc, 4, 12);
    EXPECT_GT(GetRValue(inside), 200);
    EXPECT_GT(GetGValue(inside), 180);
    EXPECT_LT(GetBValue(inside), 60);
    EXPECT_EQ(GetPixel(dc, 28, 4), RGB(0, 0, 255));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyCursor(cursor);
}

TEST(RegionCursor, MalformedCursorFilesAreRefused) {
    const std::span<const std::uint8_t> good = SelectionCursorFile();
    ASSERT_GT(good.size(), 22u);
    std::vector<std::uint8_t> bytes(good.begin(), good.end());
    EXPECT_FALSE(ParseCursorFile(std::span(bytes).first(21)).has_value());
    EXPECT_FALSE(ParseCursorFile(std::span(bytes).first(bytes.size() - 1)).has_value());
    std::vector<std::uint8_t> icon = bytes;
    icon[2] = 1;  // an icon file, not a cursor
    EXPECT_FALSE(ParseCursorFile(icon).has_value());
    std::vector<std::uint8_t> farOffset = bytes;
    farOffset[21] = 0x7F;
    EXPECT_FALSE(ParseCursorFile(farOffset).has_value());
}

TEST(RegionClipboard, ABitmapTheClipboardRefusesIsFreed) {
    // Another thread holds the clipboard open: the hand-over fails.
    std::atomic<bool> opened{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        opened.store(OpenClipboard(owner) != FALSE);
        while (!release.load()) Sleep(5);
        if (opened.load()) CloseClipboard();
        DestroyWindow(owner);
    });
    ASSERT_TRUE(WaitUntil([&] { return opened.load(); }, 5000));
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    BITMAP bm{};
    ASSERT_NE(GetObjectA(bitmap, sizeof(bm), &bm), 0);
    EXPECT_FALSE(HandBitmapToClipboard(nullptr, bitmap));
    EXPECT_EQ(GetObjectA(bitmap, sizeof(bm), &bm), 0) << "the refused bitmap was not freed";
    release.store(true);
    holder.join();
}
