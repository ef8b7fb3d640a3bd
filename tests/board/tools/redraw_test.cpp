// Previews that redraw only what changed give the pixels of the whole-canvas
// path. Every tool of the tool table replays one script on two local boards,
// one on each path, each shown in a window of its own; after every step the
// preview canvas, the committed drawing and the window's pixels must be the
// same, and so must every undo of the steps the commits made.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "board/areas.h"
#include "board/tools/text_tool.h"
#include "board/tools/tool_table.h"
#include "support/local_board.h"

namespace {

constexpr int kW = 220, kH = 160;

// Coloured boxes, so that a restore or an erase from the wrong place shows.
void Paint(Canvas& c, int seed) {
    for (int i = 0; i < 12; ++i) {
        const RECT r{(i * 37 + seed) % kW, (i * 23 + seed) % kH, (i * 37 + seed) % kW + 40, (i * 23 + seed) % kH + 30};
        HBRUSH brush = CreateSolidBrush(RGB(i * 20, 255 - seed, i * 9 + seed));
        FillRect(c.DeviceContext(), &r, brush);
        DeleteObject(brush);
    }
}

std::vector<std::uint32_t> Shown(HWND window) {
    Canvas copy;
    copy.Create(kW, kH, 0);
    HDC dc = GetDC(window);
    BitBlt(copy.DeviceContext(), 0, 0, kW, kH, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    const auto pixels = copy.Pixels();
    return {pixels.begin(), pixels.end()};
}

bool Same(Canvas& a, Canvas& b) { return std::ranges::equal(a.Pixels(), b.Pixels()); }

struct Path {
    LocalBoard b{kW, kH, 0xFFFFFF};
    UndoHistory history;
    std::unique_ptr<BoardTool> tool;
    HWND window = nullptr;

    Path(ToolKind kind, int x) : tool(MakeTool(kind)) {
        // A wide pen and a hatched brush: a preview's margin that is too
        // narrow, or a fill's area, shows.
        b.settings.penWidth = 9;
        b.settings.brushType = 5;
        for (Canvas* canvas : {&b.board, &b.back}) {
            canvas->PenWidth(9);
            canvas->BrushStyle(5);
        }
        Paint(b.back, 0);
        Paint(b.board, 0);
        Paint(b.layer, 90);  // the eraser's starting picture differs
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "RedrawTestWindow", "", WS_POPUP | WS_VISIBLE, x, 0,
                                 kW, kH, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        // The platform's own drag of the move-board tool would wait for a real
        // button; the text caret blinks into the window on its own.
        if (kind != ToolMoveBoard && kind != ToolText) b.context.window = window;
        b.history = &history;
        history.Start(kW, kH);
        b.board.ShowInWindow(window, std::nullopt, false);
    }
    ~Path() { DestroyWindow(window); }
};

enum Act { Down, Move, Up, Hover, Wheel, Plus, Arrow, Shift, Type, Commit };
struct Step {
    Act act;
    POINT p{};
};

void Play(Path& path, const Step& s) {
    PointerContext& c = path.b.context;
    BoardTool& tool = *path.tool;
    switch (s.act) {
    case Down: path.b.Press(tool, s.p); break;
    case Move: case Hover: path.b.MoveTo(tool, s.p); break;
    case Up: path.b.Release(tool, s.p); break;
    case Wheel: tool.Wheel(c, 1); break;
    case Plus: tool.Adjust(c, 1); break;
    case Arrow: tool.ArrowKey(c, VK_UP); break;
    case Shift: c.state.shiftHeld = !c.state.shiftHeld; tool.Refresh(c); break;
    case Type:
        if (auto* text = dynamic_cast<TextTool*>(&tool))
            for (unsigned char ch : {'A', 'b', '\b', 'c'}) text->Char(c, ch);
        break;
    case Commit: c.Commit(); break;  // what a switch to another tool keeps
    }
    if (!c.state.dragging && !c.state.typing && !tool.ShapeOpen()) path.history.Seal(path.b.back.Pixels());
}

TEST(RedrawAreas, UnionClipGrowAndRows) {
    auto same = [](RECT x, RECT y) { return EqualRect(&x, &y) != FALSE; };
    const RECT none{}, a{10, 20, 30, 40}, b{25, 5, 50, 35};
    EXPECT_TRUE(same(AreaUnion(a, b), RECT{10, 5, 50, 40}));
    EXPECT_TRUE(same(AreaUnion(none, a), a)) << "nothing adds nothing";
    EXPECT_TRUE(AreaEmpty(AreaClip(RECT{-9, -9, -1, 5}, SIZE{100, 80})));
    EXPECT_TRUE(same(AreaClip(RECT{-9, 70, 120, 90}, SIZE{100, 80}), RECT{0, 70, 100, 80}));
    EXPECT_TRUE(AreaEmpty(AreaGrow(none, 5)));
    EXPECT_TRUE(AreaContains(AreaGrow(a, 1), a) && !AreaContains(a, b) && AreaContains(a, none));
    // A pen of width 9 from (10,10) to (20,10) reaches 4 pixels around the path.
    EXPECT_TRUE(AreaContains(PenArea({POINT{10, 10}, POINT{20, 10}}, 9), RECT{6, 6, 25, 15}));
    EXPECT_EQ(SurfaceRows(RECT{1, 2, 5, 10}, 100), (PixelRect{1, 90, 5, 98})) << "bottom row first";
    EXPECT_EQ(AreaPixels(a), 400);
}

TEST(Redraw, OnlyWhatChangedGivesThePixelsOfTheWholeCanvasForEveryTool) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RedrawTestWindow";
    RegisterClassA(&wc);
    const std::vector<Step> script = {
        {Down, {30, 40}}, {Move, {60, 70}},  {Shift},           {Move, {150, 120}}, {Shift},
        {Arrow},          {Plus},            {Wheel},           {Up, {150, 120}},   {Hover, {100, 50}},
        {Hover, {180, 140}}, {Wheel},        {Down, {100, 50}}, {Move, {-20, 170}}, {Move, {120, 30}},
        {Up, {120, 30}},  {Hover, {60, 100}}, {Down, {60, 100}}, {Up, {60, 100}},   {Type},
        {Hover, {210, 10}}, {Down, {200, 20}}, {Move, {10, 150}}, {Up, {10, 150}},  {Commit},
    };
    int toolsWithSteps = 0;
    for (const ToolDescription& row : ToolDescriptions()) {
        SCOPED_TRACE(row.name);
        Path whole(row.kind, 0), changed(row.kind, kW + 20);
        for (Path* p : {&whole, &changed}) p->tool->Selected(p->b.context);
        for (std::size_t i = 0; i < script.size(); ++i) {
            SCOPED_TRACE(i);
            RedrawWholeBoard = true;
            Play(whole, script[i]);
            RedrawWholeBoard = false;
            Play(changed, script[i]);
            ASSERT_TRUE(Same(whole.b.board, changed.b.board));
            ASSERT_TRUE(Same(whole.b.back, changed.b.back));
            ASSERT_EQ(Shown(whole.window), Shown(changed.window));
        }
        for (Path* p : {&whole, &changed}) p->history.Seal(p->b.back.Pixels());
        toolsWithSteps += changed.history.CanUndo() ? 1 : 0;
        while (whole.history.Undo(whole.b.back.Pixels())) {
            ASSERT_TRUE(changed.history.Undo(changed.b.back.Pixels()));
            ASSERT_TRUE(Same(whole.b.back, changed.b.back));
        }
        EXPECT_FALSE(changed.history.CanUndo());
    }
    EXPECT_GE(toolsWithSteps, 12) << "the script draws with most tools";
}

}  // namespace
