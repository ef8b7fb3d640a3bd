// Cost of recording one undo step on a 3840×2160 board, beside one
// whole-canvas copy.
//
// Two canvases of the board's size stand for the drawing and the preview.
// Each sample changes the committed drawing (a small shape, or the whole
// picture) and times what a commit adds for the history: keeping the pixels
// of the commit's rectangle before the write, and closing the step after it
// (which trims the rectangle to what changed). Beside it, in the same run:
// one block copy of the whole canvas (what a whole-canvas commit costs), a
// plain memory copy of the whole picture, and one undo; the ratios of the
// steps to the block copy are printed.
//
// Run (from the repository, after tools/build.sh):
//   . tools/winenv.sh; winenv_start build/wine-session
//   wine build/bench/drawboard_history_bench.exe > bench.txt; winenv_stop
// (write to a file: the persistent wineserver keeps a pipe open.)

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "board/history.h"
#include "graphics/canvas.h"
#include "timing.h"

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kSamples = 60;

// Median microseconds of `timed`, with `prepare` run untimed before each.
double Time(const std::function<void(int)>& prepare, const std::function<void()>& timed) {
    const double perUs = TicksPerMicrosecond();
    std::vector<double> samples;
    for (int i = 0; i < kSamples; ++i) {
        prepare(i);
        const LONGLONG start = Now();
        timed();
        samples.push_back(static_cast<double>(Now() - start) / perUs);
    }
    return Median(samples);
}

void Fill(Canvas& c, RECT r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(c.DeviceContext(), &r, brush);
    DeleteObject(brush);
}

}  // namespace

int main() {
    Canvas back;
    Canvas board;
    if (!back.Create(kWidth, kHeight, 0xFFFFFF) || !board.Create(kWidth, kHeight, 0xFFFFFF)) {
        std::printf("cannot make %dx%d canvases\n", kWidth, kHeight);
        return 1;
    }
    UndoHistory history;
    history.Start(kWidth, kHeight);

    auto noPrepare = [](int) {};
    const double blockCopy = Time(noPrepare, [&] {
        CopyAreaArgs args;
        args.srcDC = board.DeviceContext();
        back.CopyArea(args);
        GdiFlush();
    });

    std::vector<std::uint32_t> spare(static_cast<std::size_t>(kWidth) * kHeight);
    const double memoryCopy = Time(noPrepare, [&] {
        std::span<std::uint32_t> pixels = back.Pixels();
        std::memcpy(spare.data(), pixels.data(), pixels.size_bytes());
    });

    // One commit of `area`: the history keeps what it holds, the drawing is
    // written (not timed), the step is closed.
    const double perUs = TicksPerMicrosecond();
    auto commits = [&](const std::function<RECT(int)>& areaOf) {
        std::vector<double> samples;
        for (int i = 0; i < kSamples; ++i) {
            const RECT r = areaOf(i);
            const PixelRect rows{r.left, kHeight - r.bottom, r.right, kHeight - r.top};
            const LONGLONG t0 = Now();
            history.BeforeWrite(rows, back.Pixels());
            const LONGLONG t1 = Now();
            Fill(back, r, RGB(i * 4, 0, 255 - i));
            GdiFlush();
            const LONGLONG t2 = Now();
            history.Seal(back.Pixels());
            samples.push_back(static_cast<double>((t1 - t0) + (Now() - t2)) / perUs);
        }
        return Median(samples);
    };
    // A small shape: a 60×40 box (about a short stroke or a small rectangle)
    // somewhere new each time.
    const double smallStep = commits([](int i) {
        const int x = 100 + (i * 57) % (kWidth - 300), y = 100 + (i * 31) % (kHeight - 300);
        return RECT{x, y, x + 60, y + 40};
    });
    const double fullStep = commits([](int) { return RECT{0, 0, kWidth, kHeight}; });

    const double undoFull = Time(noPrepare, [&] {
        if (!history.Undo(back.Pixels())) history.Redo(back.Pixels());
    });

    std::printf("board %dx%d, medians of %d, microseconds\n", kWidth, kHeight, kSamples);
    std::printf("whole-canvas block copy        %10.0f\n", blockCopy);
    std::printf("whole-picture memory copy      %10.0f\n", memoryCopy);
    std::printf("record a step, small shape     %10.0f  (%.4f of the block copy)\n", smallStep,
                smallStep / blockCopy);
    std::printf("record a step, full-screen     %10.0f  (%.2f of the block copy)\n", fullStep,
                fullStep / blockCopy);
    std::printf("undo or redo, full-screen step %10.0f\n", undoFull);
    std::printf("history now: %zu steps, %zu bytes (cap %zu)\n", history.StepCount(),
                history.StepBytes(), history.Capacity());
    return 0;
}
