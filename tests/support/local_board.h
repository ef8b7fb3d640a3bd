#pragma once
// A board without a window for driving one tool object: its own state, two
// canvases of one colour and its own settings (the program's defaults), tied
// together in a PointerContext. Nothing is shown and no mouse capture is
// taken; the pixels of the canvases are what the tool did.
//
//   LocalBoard b;
//   auto tool = MakeTool(ToolRectangle);
//   b.Drag(*tool, {10, 10}, {90, 60});
//   EXPECT_EQ(b.back.GetPixel(10, 30), b.Pen());

#include <windows.h>

#include <initializer_list>

#include "board/board_state.h"
#include "board/history.h"
#include "board/tools/board_tool.h"
#include "graphics/canvas.h"
#include "settings/settings.h"

class LocalBoard : public ToolSurface {
public:
    explicit LocalBoard(int width = 200, int height = 150, COLORREF background = 0xFFFFFF);
    LocalBoard(const LocalBoard&) = delete;
    LocalBoard& operator=(const LocalBoard&) = delete;

    BoardState state;
    Canvas board;  // what a window would show: previews
    Canvas back;   // the committed drawing
    Canvas layer;  // the curve layer, a copy of `back` to begin with
    SettingsRecord settings;
    PointerContext context;

    // Told before the committed drawing is written, when set.
    UndoHistory* history = nullptr;

    // The surface's moves, as the board makes them (shown only in the
    // context's window, when one is set).
    void RestoreArea(const RECT& area) override;
    void ShowArea(const RECT& area) override;
    void CommitArea(const RECT& area) override;
    void WritingCommitted(const RECT& area) override;

    COLORREF Background() const { return background_; }
    COLORREF Pen() const { return static_cast<COLORREF>(settings.penColor.load()); }

    // The gestures as the board's pointer handlers run them: the button goes
    // down at `from`, the pointer passes `path`, the button comes up at the
    // last point (at `from` when the path is empty).
    void Press(BoardTool& tool, POINT p);
    void MoveTo(BoardTool& tool, POINT p);
    void Release(BoardTool& tool, POINT p);
    void Drag(BoardTool& tool, POINT from, std::initializer_list<POINT> path);
    void Drag(BoardTool& tool, POINT from, POINT to) { Drag(tool, from, {to}); }

private:
    COLORREF background_;
};
