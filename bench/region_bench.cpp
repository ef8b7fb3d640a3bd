// Cost of one recomposition of the region screenshot's selection window.
//
// Every pointer move while a region is chosen restores the whole work surface
// from the frozen screen, draws the rectangle with its handles and label, the
// magnifier and the information box, and copies the work surface to the
// window. The floor is the two whole-screen block copies that design needs
// (restore + show), timed on their own with the same surfaces. The window is
// stood in for by a third screen-compatible surface of the same size, so the
// 3840 x 2160 case runs on any display.
//
// Run (from the repository, after tools/build.sh):
//   . tools/winenv.sh; winenv_start build/wine-session
//   wine build/bench/drawboard_region_bench.exe > bench.txt; winenv_stop

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "capture/region_select.h"

namespace {

constexpr int kSamples = 100;

double g_ticksPerUs = 1.0;

LONGLONG Now() {
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Us(LONGLONG from, LONGLONG to) { return static_cast<double>(to - from) / g_ticksPerUs; }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// A frozen "screen" with some structure: coloured bands and a grid.
void PaintScreen(HDC dc, SIZE size) {
    for (int x = 0; x < size.cx; x += 64) {
        RECT band{x, 0, x + 64, size.cy};
        HBRUSH b = CreateSolidBrush(RGB((x / 64 * 37) & 0xFF, (x / 64 * 91) & 0xFF, 160));
        FillRect(dc, &band, b);
        DeleteObject(b);
    }
    for (int y = 0; y < size.cy; y += 48) PatBlt(dc, 0, y, size.cx, 1, BLACKNESS);
}

void BenchSize(SIZE size) {
    RegionSurface surface;
    if (!surface.Create(size, RGB(10, 100, 200), 0xFF0090, 255)) {
        std::printf("%ldx%ld: the surfaces could not be made\n", size.cx, size.cy);
        return;
    }
    HDC screen = GetDC(nullptr);
    HDC window = CreateCompatibleDC(screen);
    HBITMAP windowBitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(nullptr, screen);
    if (window == nullptr || windowBitmap == nullptr) {
        std::printf("%ldx%ld: the window stand-in could not be made\n", size.cx, size.cy);
        if (windowBitmap != nullptr) DeleteObject(windowBitmap);
        if (window != nullptr) DeleteDC(window);
        return;
    }
    HGDIOBJ old = SelectObject(window, windowBitmap);
    PaintScreen(surface.CaptureDc(), size);

    std::vector<double> cycle;
    std::vector<double> floor;
    RegionSurface::View view;
    view.start = POINT{size.cx / 5, size.cy / 5};
    for (int i = 0; i < kSamples; ++i) {
        // Choosing a region: rectangle, label, magnifier and box all drawn.
        const POINT p{size.cx / 4 + i * (size.cx / 2) / kSamples,
                      size.cy / 4 + i * (size.cy / 2) / kSamples};
        view.end = p;
        const LONGLONG a = Now();
        surface.Compose(view, p);
        surface.Present(window);
        const LONGLONG b = Now();
        cycle.push_back(Us(a, b));

        const LONGLONG c = Now();
        BitBlt(surface.WorkDc(), 0, 0, size.cx, size.cy, surface.CaptureDc(), 0, 0, SRCCOPY);
        BitBlt(window, 0, 0, size.cx, size.cy, surface.WorkDc(), 0, 0, SRCCOPY);
        const LONGLONG d = Now();
        floor.push_back(Us(c, d));
    }
    SelectObject(window, old);
    DeleteObject(windowBitmap);
    DeleteDC(window);

    const double mc = Median(cycle);
    const double mf = Median(floor);
    std::printf("%4ldx%-4ld %10.1f %10.1f %10.1f %8.1f %%\n", size.cx, size.cy, mc, mf, mc - mf,
                mf > 0 ? 100.0 * (mc - mf) / mf : 0.0);
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    g_ticksPerUs = static_cast<double>(f.QuadPart) / 1e6;
    std::printf("medians of %d recompositions of the selection window, microseconds\n"
                "cycle: restore, rectangle + handles + label, magnifier, information box, show\n"
                "floor: the two whole-screen block copies (restore + show)\n\n"
                "screen         cycle      floor      added  added/floor\n",
                kSamples);
    BenchSize(SIZE{1920, 1080});
    BenchSize(SIZE{3840, 2160});
    return 0;
}
