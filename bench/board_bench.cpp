// Times the board's own hand-overs against what they cannot do without:
//  - F9: from the capture request to the board shown, without the capture
//    delay. The desktop of the machine it runs on (every monitor) is
//    captured for real; a board of a size the desktop does not have is set up
//    from a canvas of that size (what the set-up does after the screen copy
//    is the same). A bare board follows each run, the ratio taken per run.
//    Beside it: when a picture board's pixels reached the screen (read back
//    from the display), and when the drawing's canvases, made after the
//    first frame, were ready for the first input.
//  - Esc: the clear of a 3840 x 2160 board, on the board's thread, against
//    three whole-canvas copies (two canvas copies and the show); the goal is
//    a ratio of at most 1.
//  - Opening a 3840 x 2160 PNG: read, decode, board up, against one decode
//    of the same file plus a bare board (a second decode would show as a
//    ratio near 1.7).
// Medians, milliseconds.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/pointer.h"
#include "capture/save.h"
#include "graphics/canvas.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdip_image.h"
#include "graphics/monitors.h"
#include "settings/settings.h"
#include "window/screen.h"

namespace {

constexpr int kRuns = 7;
constexpr DWORD kWaitMs = 60000;

double Ms() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerMs;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Waits, with a millisecond's resolution, until the board has been set up.
bool WaitReady() {
    const double deadline = Ms() + kWaitMs;
    while (!WaitForBoardReady(0)) {
        if (Ms() > deadline) return false;
        Sleep(1);
    }
    return true;
}

std::unique_ptr<Canvas> BusyPicture(SIZE size) {
    auto picture = std::make_unique<Canvas>();
    if (!picture->Create(size.cx, size.cy, 0xFFFFFF)) return nullptr;
    const COLORREF colours[] = {0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000};
    picture->GradientFill(0, 0, size.cx, size.cy, std::nullopt, colours);
    return picture;
}

// The floor of any board: a thread of its own that makes a borderless window
// of that size, shows it and copies a canvas into it (and, for a screen
// board, first copies the screen onto the canvas).
struct BareBoard {
    SIZE size;
    bool screen;
    Canvas* canvas;
    POINT at;  // the window's corner and, for a screen board, the copied desktop's
};

LRESULT CALLBACK BareProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

DWORD WINAPI BareBoardThread(LPVOID p) {
    auto* bare = static_cast<BareBoard*>(p);
    if (bare->screen) {
        HDC screen = GetDC(nullptr);
        BitBlt(bare->canvas->DeviceContext(), 0, 0, bare->size.cx, bare->size.cy, screen,
               bare->at.x, bare->at.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "DrawBoardBareBench", "bare", WS_POPUP, bare->at.x,
                             bare->at.y,
                             bare->size.cx, bare->size.cy, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (w == nullptr) return 1;
    ShowWindow(w, SW_SHOW);
    bare->canvas->ShowInWindow(w, std::nullopt, false);
    DestroyWindow(w);
    return 0;
}

double BareBoardMs(SIZE size, bool screen, POINT at = {}, int runs = kRuns) {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &BareProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DrawBoardBareBench";
        return RegisterClassExA(&wc) != 0;
    }();
    if (!registered) return 0;
    std::unique_ptr<Canvas> canvas = BusyPicture(size);
    if (!canvas) return 0;
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        BareBoard bare{size, screen, canvas.get(), at};
        const double t0 = Ms();
        HANDLE thread = CreateThread(nullptr, 0, &BareBoardThread, &bare, 0, nullptr);
        if (thread == nullptr) return 0;
        WaitForSingleObject(thread, kWaitMs);
        t.push_back(Ms() - t0);
        CloseHandle(thread);
    }
    return Median(t);
}

// Waits until the board has been set up and, for a picture board, until
// the screen at `at` no longer shows `before` (the display server's pixels,
// read back): the times from `t0`, 0 for what was not awaited or not seen.
struct Seen {
    double ready = 0;
    double onScreen = 0;
};
Seen WaitShown(double t0, const POINT* at, COLORREF before) {
    HDC screen = at != nullptr ? GetDC(nullptr) : nullptr;
    Seen seen;
    while (Ms() - t0 < kWaitMs && (seen.ready == 0 || (screen != nullptr && seen.onScreen == 0))) {
        if (seen.ready == 0 && WaitForBoardReady(0)) seen.ready = Ms() - t0;
        if (screen != nullptr && seen.onScreen == 0 && GetPixel(screen, at->x, at->y) != before)
            seen.onScreen = Ms() - t0;
        Sleep(1);
    }
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return seen;
}

void F9Row(const char* what, SIZE size, bool screen, POINT at = {}) {
    std::vector<double> t;
    std::vector<double> onScreen;  // its picture on the screen (a picture board)
    std::vector<double> drawing;   // until the drawing's canvases are made too
    std::vector<double> floor;     // a bare board after each, so both see the same load
    std::vector<double> ratio;
    POINT pointer{};
    GetCursorPos(&pointer);
    const RECT monitor = MonitorAt(MonitorRects(), pointer);
    const POINT middle{(monitor.left + monitor.right) / 2, (monitor.top + monitor.bottom) / 2};
    for (int i = 0; i < kRuns; ++i) {
        std::unique_ptr<Canvas> picture = screen ? nullptr : BusyPicture(size);
        HDC desktop = GetDC(nullptr);
        const COLORREF before = GetPixel(desktop, middle.x, middle.y);
        ReleaseDC(nullptr, desktop);
        const double t0 = Ms();
        if (screen) {
            CaptureToBoard();
        } else if (!MakeBoardFromPicture(std::move(picture), false)) {
            std::printf("%s: no board\n", what);
            return;
        }
        // The screen board shows what the screen showed: nothing to see change.
        const Seen seen = WaitShown(t0, screen ? nullptr : &middle, before);
        if (seen.ready == 0) {
            std::printf("%s: the board never came up\n", what);
            return;
        }
        t.push_back(seen.ready);
        if (!screen) onScreen.push_back(seen.onScreen);
        // Queued behind the board's own preparation, as the first input is.
        WithBoard([](DrawingBoard&) {}, kWaitMs);
        drawing.push_back(Ms() - t0);
        CloseBoardAndWait(10000);
        floor.push_back(BareBoardMs(size, screen, at, 1));
        ratio.push_back(floor.back() > 0 ? t.back() / floor.back() : 0);
    }
    std::printf("F9 to board shown %-24s %4ldx%-4ld %8.1f  floor %8.1f  ratio %5.2f"
                "  (on screen %.1f, drawing made %.1f)\n",
                what, size.cx, size.cy, Median(t), Median(floor), Median(ratio),
                Median(onScreen), Median(drawing));
}

void ClearRow(SIZE size) {
    if (!MakeBoardFromPicture(BusyPicture(size), false) || !WaitReady()) {
        std::printf("Esc: no board\n");
        return;
    }
    std::vector<double> clear;
    std::vector<double> copy;
    std::vector<double> show;
    std::vector<double> applied;
    std::vector<double> ratio;  // per run, so machine load hits both alike
    WithBoard(
        [&](DrawingBoard& b) {
            for (int i = 0; i < 3 * kRuns; ++i) {
                b.Shown().Line(0, 0, size.cx, size.cy);  // something to clear
                BoardPointerContext(b).Drew(RECT{0, 0, size.cx, size.cy});
                b.Commit();
                b.RecordChange();  // a step of its own, as a line drawn by hand is
                double t0 = Ms();
                SendMessageA(b.Window(), WM_KEYDOWN, VK_ESCAPE, 1);
                clear.push_back(Ms() - t0);
                t0 = Ms();
                b.ClearToStart();
                applied.push_back(Ms() - t0);
                t0 = Ms();
                b.Restore();
                copy.push_back(Ms() - t0);
                t0 = Ms();
                b.Show();
                show.push_back(Ms() - t0);
                ratio.push_back(clear.back() / (2 * copy.back() + show.back()));
            }
        },
        kWaitMs);
    CloseBoardAndWait(10000);
    // Three whole-canvas copies: the starting picture onto the board canvas,
    // that onto the committed drawing, and the board canvas into the window.
    const double floor = 2 * Median(copy) + Median(show);
    std::printf("Esc clear %-32s %4ldx%-4ld %8.1f  floor %8.1f  ratio %5.2f  (2 copies + show)\n",
                "", size.cx, size.cy, Median(clear), floor, Median(ratio));
    std::printf("  of which the clear itself %.1f, a copy %.1f, the show %.1f\n", Median(applied),
                Median(copy), Median(show));
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                                 sizeof(pmc)))
        return 0;
    // Wine leaves PrivateUsage at 0; its committed-memory count is the same figure.
    return pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
}

// What a board holds, in whole canvases of its size: once set up (the
// starting picture counted), while the eraser is chosen, after a stroke and
// its undo step, and once the pen is chosen again.
void MemoryRow(SIZE size) {
    const double canvas = 4.0 * size.cx * size.cy;
    const std::size_t before = PrivateBytes();
    if (!MakeBoardFromPicture(BusyPicture(size), false) || !WaitReady()) {
        std::printf("memory: no board\n");
        return;
    }
    auto now = [&] { return (static_cast<double>(PrivateBytes()) - before) / canvas; };
    const double shown = now();
    double setUp = 0, eraser = 0, stroke = 0, pen = 0;
    WithBoard(
        [&](DrawingBoard& b) {
            setUp = now();  // the drawing's canvases made
            SelectToolOnBoard(b, ToolEraser);
            eraser = now();
            SelectToolOnBoard(b, ToolPen);
            SendMessageA(b.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
            SendMessageA(b.Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 200));
            SendMessageA(b.Window(), WM_LBUTTONUP, 0, MAKELPARAM(300, 200));
            stroke = now();
            pen = now();
        },
        kWaitMs);
    CloseBoardAndWait(10000);
    std::printf("memory, in canvases of %ldx%ld: shown %.2f, set up %.2f, eraser chosen %.2f, "
                "after a stroke %.2f, pen again %.2f\n",
                size.cx, size.cy, shown, setUp, eraser, stroke, pen);
}

void OpenRow(SIZE size) {
    std::unique_ptr<Canvas> picture = BusyPicture(size);
    const std::vector<std::uint8_t> bmp = picture ? picture->ToBmpBytes() : std::vector<std::uint8_t>{};
    const auto png = EncodePicture(bmp, kEncodePng);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "drawboard_board_bench.png";
    if (!png) {
        std::printf("open: the PNG could not be made\n");
        return;
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    }
    std::vector<double> open;
    std::vector<double> decode;
    for (int i = 0; i < kRuns; ++i) {
        // One decode of the file's bytes onto a canvas: the least an open does.
        double t0 = Ms();
        {
            GdipImage image;
            Canvas canvas;
            if (image.LoadFromData(*png) && canvas.Create(image.Width(), image.Height(), 0xFFFFFF))
                canvas.DrawPicture(image.Handle(), 0, 0, image.Width(), image.Height());
        }
        decode.push_back(Ms() - t0);
        t0 = Ms();
        if (!OpenPictureBoardFile(path) || !WaitReady()) {
            std::printf("open: no board\n");
            DeleteFileA(path.c_str());
            return;
        }
        open.push_back(Ms() - t0);
        CloseBoardAndWait(10000);
    }
    DeleteFileA(path.c_str());
    const double floor = Median(decode) + BareBoardMs(size, false);
    std::printf("open a PNG, board shown %-18s %4ldx%-4ld %8.1f  floor %8.1f  ratio %5.2f  "
                "(one decode %.1f + bare board)\n",
                "", size.cx, size.cy, Median(open), floor, Median(open) / floor, Median(decode));
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    GdiplusSession gdiplus;
    ScreenSize = SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    // The boards save the settings when they close: not over the real ones.
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    SetConfigPath(std::string(folder) + "drawboard_board_bench.ini");
    Settings.captureDelay = 0;
    std::printf("medians of %d runs, milliseconds; floor: what any implementation must do\n"
                "(bare board: a thread that makes, shows and fills a window of that size)\n\n",
                kRuns);
    const RECT desktop = VirtualScreenRect();
    char what[64];
    std::snprintf(what, sizeof what, "(desktop, %d monitor%s)", static_cast<int>(MonitorRects().size()),
                  MonitorRects().size() == 1 ? "" : "s");
    F9Row(what, SIZE{desktop.right - desktop.left, desktop.bottom - desktop.top}, true,
          POINT{desktop.left, desktop.top});
    F9Row("(set up from a canvas)", SIZE{1920, 1080}, false);
    F9Row("(set up from a canvas)", SIZE{3840, 2160}, false);
    F9Row("(set up from a canvas)", SIZE{7680, 2160}, false);
    MemoryRow(SIZE{3840, 2160});
    ClearRow(SIZE{3840, 2160});
    OpenRow(SIZE{3840, 2160});
    return 0;
}
