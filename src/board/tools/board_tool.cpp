#include "board/tools/board_tool.h"

#include <optional>

#include "board/board.h"

void PointerContext::Restore() { CopyWholeCanvas(board, back); }

void PointerContext::Show() {
    if (window != nullptr) board.ShowInWindow(window, std::nullopt, false);
}

void PointerContext::Commit() { CopyWholeCanvas(back, board); }

void PointerContext::BeginDrag() {
    if (window != nullptr) SetCapture(window);
    state.dragging = true;
}

void BoardTool::Press(PointerContext& c, POINT p) {
    RecordPress(c.state, p);
    c.BeginDrag();
}

void BoardTool::Move(PointerContext& c, POINT p) {
    if (!c.state.dragging) {
        Hover(c, p);
        return;
    }
    c.state.previousPoint = c.state.currentPoint;
    c.state.currentPoint = p;
    Drag(c);
}

void BoardTool::Release(PointerContext& c, POINT) {
    c.Commit();
}

void BoardTool::Wheel(PointerContext&, int) {}

void BoardTool::Adjust(PointerContext&, int) {}

void BoardTool::ArrowKey(PointerContext&, WPARAM) {}

void BoardTool::Selected(PointerContext&) {}

void BoardTool::ResetGesture() {}

void BoardTool::Refresh(PointerContext& c) {
    if (c.state.dragging) Move(c, c.state.currentPoint);
}

void BoardTool::RecordPress(BoardState& s, POINT p) {
    s.currentPoint = p;
    s.anchorPoint = p;
}

void BoardTool::Drag(PointerContext&) {}

void BoardTool::Hover(PointerContext&, POINT) {}

void DragShapeTool::Drag(PointerContext& c) {
    BoardState& s = c.state;
    if (s.spaceHeld) {
        s.anchorPoint.x += s.currentPoint.x - s.previousPoint.x;
        s.anchorPoint.y += s.currentPoint.y - s.previousPoint.y;
    }
    c.Restore();
    ApplyModifierStep(s, Rules());
    DrawPreview(c);
    c.Show();
}
