// Preview cost of the drag shapes, driven through the real pointer handlers.
//
// For each board size a board-sized popup window is made with RawWindow and the
// board's pointer handlers are registered on it, exactly as board set-up does.
// A drag is pressed, then WM_MOUSEMOVE messages are sent to the window; each
// one runs a whole preview cycle (restore BoardCanvas from BackCanvas, draw the
// shape, show BoardCanvas in the window). Beside it the benchmark times:
//  - the floor: the two full-surface block copies every preview needs (the
//    restore and the copy into the window), timed on their own;
//  - the drawing call alone, for the same points;
//  - the bare cycle: restore, drawing call and show written out inline.
// What our code adds is the handler cycle minus the bare cycle for the same
// point (message dispatch, tool lookup, state updates); the goal keeps it
// under 25 % of the floor. These cycles take the whole-canvas path.
//
// Then, for a shape of ordinary size (the pointer circling 150 pixels from
// the anchor, with the pen, line, rectangle, ellipse and eraser), the same
// moves through the handlers on both paths: the whole canvas restored and
// shown at every move, and only what the last and the new preview touched.
// The two take turns in blocks within one run; the ratio of their medians is
// printed.
//
// Run (from the repository, after tools/build.sh):
//   . tools/winenv.sh; winenv_start build/wine-session
//   wine build/bench/drawboard_bench.exe > bench.txt; winenv_stop
// (write to a file: the persistent wineserver keeps a pipe open.)

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "window/screen.h"
#include "graphics/gdi_owners.h"
#include "settings/settings.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/pointer.h"
#include "board/shape_drawing.h"
#include "board/tools/board_tool.h"
#include "timing.h"

namespace {

constexpr int kSamples = 150;  // preview cycles per measurement

// The pointer path of one drag: a slow diagonal sweep, so every preview
// differs from the last and the shapes grow across the board.
POINT PathPoint(int i, SIZE board) {
    const int x = 20 + static_cast<int>(static_cast<long long>(board.cx - 40) * (i + 1) / (kSamples + 1));
    const int y = 20 + static_cast<int>(static_cast<long long>(board.cy - 40) * (i + 1) / (kSamples + 1));
    return POINT{x, y};
}

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

struct ToolCase {
    const char* name;
    ToolKind kind;
    std::function<void(Canvas& board, POINT anchor, POINT cursor)> drawOnly;
};

struct PathRow {
    double whole = 0;    // median move, whole-canvas path
    double changed = 0;  // median move, only what changed
};

struct Row {
    double floor = 0;  // restore + show
    double cycle = 0;  // one WM_MOUSEMOVE through the handlers
    double draw = 0;   // the drawing call alone
    double bare = 0;   // restore + draw + show written out inline
    double added = 0;  // median over samples of cycle - bare
};

SIZE CurrentSize;
double TicksUs = 1;
std::vector<ToolCase>* Cases = nullptr;
std::vector<Row> Results;
std::vector<PathRow> PathResults;
std::vector<ToolCase>* PathCases = nullptr;

// The pointer circling 150 pixels from the middle of the board.
POINT CirclePoint(int i, SIZE board) {
    const double a = i * 0.07;
    return POINT{board.cx / 2 + static_cast<LONG>(150 * std::cos(a)),
                 board.cy / 2 + static_cast<LONG>(150 * std::sin(a))};
}

// Moves of one tool's gesture on both paths, in blocks that take turns.
PathRow ComparePaths(DrawingBoard& b, ToolKind kind) {
    HWND window = b.Window();
    std::vector<double> samples[2];
    constexpr int kBlock = 15;
    for (int block = 0; block < 2 * kSamples / kBlock; ++block) {
        const bool whole = block % 2 == 0;
        RedrawWholeBoard = whole;
        SelectToolOnBoard(b, kind);
        const POINT anchor{CurrentSize.cx / 2, CurrentSize.cy / 2};
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(anchor));
        // The first move of a block still shows what the other path left.
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(CirclePoint(block * kBlock, CurrentSize)));
        for (int i = 1; i < kBlock; ++i) {
            const LONGLONG t0 = Now();
            SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON,
                         At(CirclePoint(block * kBlock + i, CurrentSize)));
            samples[whole ? 0 : 1].push_back((Now() - t0) / TicksUs);
        }
        SendMessageA(window, WM_LBUTTONUP, 0, At(anchor));
        UndoOnBoard(b, false);  // the board stays as it was for the next block
    }
    RedrawWholeBoard = false;
    return PathRow{Median(samples[0]), Median(samples[1])};
}

// Runs on the board thread, so the messages below go straight to the
// board's window procedure as the platform's would.
void RunOnBoard(DrawingBoard& b) {
    HWND window = b.Window();
    Canvas& BoardCanvas = b.Shown();
    const POINT anchor{20, 20};
    CopyAreaArgs restore;
    restore.srcDC = b.Committed().DeviceContext();
    for (const ToolCase& tc : *Cases) {
        std::vector<double> floor, draw, bare, cycle, added;
        // Floor: the restore and the copy into the window, the two block
        // copies every preview needs.
        for (int i = 0; i < kSamples; ++i) {
            const LONGLONG t0 = Now();
            BoardCanvas.CopyArea(restore);
            BoardCanvas.ShowInWindow(window, std::nullopt, false);
            floor.push_back((Now() - t0) / TicksUs);
        }
        // The drawing call alone, for the points the drag will pass.
        for (int i = 0; i < kSamples; ++i) {
            const POINT p = PathPoint(i, CurrentSize);
            const LONGLONG t0 = Now();
            tc.drawOnly(BoardCanvas, anchor, p);
            draw.push_back((Now() - t0) / TicksUs);
        }
        BoardCanvas.CopyArea(restore);

        // Whole preview cycles through the window's message handlers, each
        // paired with the bare cycle (restore, draw, show written out inline)
        // for the same point, so machine load hits both alike.
        b.state = BoardState{};
        b.state.currentTool = tc.kind;
        RedrawWholeBoard = true;
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(anchor));
        for (int i = 0; i < kSamples; ++i) {
            const POINT p = PathPoint(i, CurrentSize);
            LONGLONG t0 = Now();
            BoardCanvas.CopyArea(restore);
            tc.drawOnly(BoardCanvas, anchor, p);
            BoardCanvas.ShowInWindow(window, std::nullopt, false);
            const double bareUs = (Now() - t0) / TicksUs;
            t0 = Now();
            SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(p));
            const double cycleUs = (Now() - t0) / TicksUs;
            bare.push_back(bareUs);
            cycle.push_back(cycleUs);
            added.push_back(cycleUs - bareUs);
        }
        SendMessageA(window, WM_LBUTTONUP, 0, At(PathPoint(kSamples - 1, CurrentSize)));
        RedrawWholeBoard = false;
        Results.push_back(Row{Median(floor), Median(cycle), Median(draw), Median(bare),
                              Median(added)});
    }
    for (const ToolCase& tc : *PathCases) PathResults.push_back(ComparePaths(b, tc.kind));
}

void BenchSize(SIZE size, std::vector<ToolCase>& cases) {
    CurrentSize = size;
    // A busy picture to copy, as the board's starting picture.
    auto picture = std::make_unique<Canvas>();
    if (!picture->Create(size.cx, size.cy, 0xFFFFFF)) {
        std::printf("%ldx%ld: the canvases could not be made\n", size.cx, size.cy);
        return;
    }
    const COLORREF colours[] = {0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000};
    picture->GradientFill(0, 0, size.cx, size.cy, std::nullopt, colours);
    if (!MakeBoardFromPicture(std::move(picture), false) || !WaitForBoardReady(30000)) {
        std::printf("%ldx%ld: no board\n", size.cx, size.cy);
        return;
    }
    Cases = &cases;
    Results.clear();
    PathResults.clear();
    WithBoard(&RunOnBoard, 600000);
    CloseBoardAndWait(10000);

    for (size_t i = 0; i < Results.size() && i < cases.size(); ++i) {
        const Row& r = Results[i];
        std::printf("%4ldx%-4ld %-9s %9.1f %9.1f %8.1f %9.1f %8.1f %7.1f %%\n", size.cx,
                    size.cy, cases[i].name, r.cycle, r.floor, r.draw, r.bare, r.added,
                    100.0 * r.added / r.floor);
    }
    for (size_t i = 0; i < PathResults.size() && i < PathCases->size(); ++i) {
        const PathRow& r = PathResults[i];
        std::printf("%4ldx%-4ld %-9s move, whole canvas %9.1f  only what changed %8.1f  ratio %.3f\n",
                    size.cx, size.cy, (*PathCases)[i].name, r.whole, r.changed, r.changed / r.whole);
    }
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    GdiplusSession gdiplus;
    TicksUs = TicksPerMicrosecond();
    ScreenSize = SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};

    std::vector<ToolCase> cases = {
        {"line", ToolLine,
         [](Canvas& c, POINT a, POINT p) { c.Line(a.x, a.y, p.x, p.y); }},
        {"rectangle", ToolRectangle,
         [](Canvas& c, POINT a, POINT p) { DrawTableRectangle(c, a, p, 0, 0); }},
        {"ellipse", ToolEllipse,
         [](Canvas& c, POINT a, POINT p) { DrawEllipseBox(c, a, p); }},
    };
    std::vector<ToolCase> pathCases = cases;
    pathCases.insert(pathCases.begin(), ToolCase{"pen", ToolPen, {}});
    pathCases.push_back(ToolCase{"eraser", ToolEraser, {}});
    PathCases = &pathCases;
    std::printf("medians of %d preview cycles, microseconds\n"
                "cycle: one WM_MOUSEMOVE through the board's handlers (restore, draw, show)\n"
                "floor: the two full-surface block copies (restore + show)\n"
                "draw:  the drawing call alone\n"
                "bare:  restore + draw + show written out inline\n"
                "added: cycle - bare, paired per sample (what our code adds)\n\n"
                "board     tool          cycle     floor     draw      bare    added  added/floor\n",
                kSamples);
    BenchSize(SIZE{1920, 1080}, cases);
    BenchSize(SIZE{3840, 2160}, cases);
    return 0;
}
