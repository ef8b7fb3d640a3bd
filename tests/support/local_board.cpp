#include "support/local_board.h"

#include <gtest/gtest.h>

#include "board/areas.h"
#include "board/board.h"

LocalBoard::LocalBoard(int width, int height, COLORREF background)
    : context{nullptr, state, board, back, settings, layer, *this}, background_(background) {
    EXPECT_TRUE(board.Create(width, height, background));
    EXPECT_TRUE(back.Create(width, height, background));
    EXPECT_TRUE(layer.Create(width, height, background));
    // The pen and brush a board starts with, from these settings.
    for (Canvas* c : {&board, &back}) {
        c->PenWidth(settings.penWidth.load());
        c->PenColor(static_cast<COLORREF>(settings.penColor.load()));
        c->BrushColor(static_cast<COLORREF>(settings.brushColor.load()));
        c->BrushStyle(settings.brushType.load());
    }
}

void LocalBoard::RestoreArea(const RECT& area) { CopyCanvasArea(board, back, area); }

void LocalBoard::ShowArea(const RECT& area) { ShowCanvasArea(context.window, board, area); }

void LocalBoard::CommitArea(const RECT& area) {
    WritingCommitted(area);
    CopyCanvasArea(back, board, area);
}

void LocalBoard::WritingCommitted(const RECT& area) {
    if (history != nullptr) history->BeforeWrite(SurfaceRows(area, back.Height()), back.Pixels());
}

void LocalBoard::Press(BoardTool& tool, POINT p) { tool.Press(context, p); }

void LocalBoard::MoveTo(BoardTool& tool, POINT p) { tool.Move(context, p); }

void LocalBoard::Release(BoardTool& tool, POINT p) {
    if (!state.dragging) return;  // as the board: only a press on it is released
    state.dragging = false;
    tool.Release(context, p);
}

void LocalBoard::Drag(BoardTool& tool, POINT from, std::initializer_list<POINT> path) {
    Press(tool, from);
    POINT last = from;
    for (POINT p : path) {
        MoveTo(tool, p);
        last = p;
    }
    Release(tool, last);
}
