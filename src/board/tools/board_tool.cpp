#include "board/tools/board_tool.h"

#include <optional>

#include "board/areas.h"
#include "board/board.h"

std::atomic<bool> RedrawWholeBoard{false};

namespace {

SIZE SizeOf(const Canvas& canvas) { return SIZE{canvas.Width(), canvas.Height()}; }

}  // namespace

void PointerContext::Restore() {
    RECT& drawn = state.drawnArea;
    if (RedrawWholeBoard.load()) {
        CopyWholeCanvas(board, back);
        state.unshownArea = WholeArea(SizeOf(board));
    } else {
        CopyCanvasArea(board, back, drawn);
        state.unshownArea = AreaUnion(state.unshownArea, drawn);
    }
    drawn = RECT{};
}

void PointerContext::Show() {
    if (window != nullptr) {
        if (RedrawWholeBoard.load()) {
            board.ShowInWindow(window, std::nullopt, false);
        } else {
            ShowCanvasArea(window, board, state.unshownArea);
        }
    }
    state.unshownArea = RECT{};
}

void PointerContext::Commit() {
    const RECT area = RedrawWholeBoard.load() ? WholeArea(SizeOf(back)) : state.drawnArea;
    if (history != nullptr) history->BeforeWrite(SurfaceRows(area, back.Height()), back.Pixels());
    CopyCanvasArea(back, board, area);
    state.drawnArea = RECT{};
    state.backChanged = true;
}

void PointerContext::Drew(const RECT& area) {
    const RECT on = AreaClip(area, SizeOf(board));
    state.drawnArea = AreaUnion(state.drawnArea, on);
    state.unshownArea = AreaUnion(state.unshownArea, on);
}

void PointerContext::DrewEverything() { Drew(WholeArea(SizeOf(board))); }

void PointerContext::WritingBack(const RECT& area) {
    const RECT on = AreaClip(area, SizeOf(back));
    if (history != nullptr) history->BeforeWrite(SurfaceRows(on, back.Height()), back.Pixels());
    // The board canvas may now differ from the drawing there.
    state.drawnArea = AreaUnion(state.drawnArea, on);
    state.backChanged = true;
}

void PointerContext::BeginDrag() {
    if (window != nullptr) SetCapture(window);
    state.dragging = true;
}

void BoardTool::Press(PointerContext& c, POINT p) {
    c.state.previousPoint = p;
    c.state.pointerPoint = p;
    RecordPress(c.state, p);
    c.BeginDrag();
}

void BoardTool::Move(PointerContext& c, POINT p) {
    if (!c.state.dragging) {
        Hover(c, p);
        return;
    }
    Follow(c.state, p);
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
    // The raw pointer, not the snapped cursor: a Shift let go shows the
    // unsnapped shape at once.
    if (c.state.dragging || PreviewsWithoutButton()) Move(c, c.state.pointerPoint);
}

bool BoardTool::PreviewsWithoutButton() const { return false; }

bool BoardTool::ShapeOpen() const { return PreviewsWithoutButton(); }

void BoardTool::RecordPress(BoardState& s, POINT p) {
    s.currentPoint = p;
    s.anchorPoint = p;
}

void BoardTool::Follow(BoardState& s, POINT p) {
    s.previousPoint = s.pointerPoint;
    s.pointerPoint = p;
    s.currentPoint = p;
}

void BoardTool::Drag(PointerContext&) {}

void BoardTool::Hover(PointerContext&, POINT) {}

void DragShapeTool::Drag(PointerContext& c) {
    c.Restore();
    ApplyModifierStep(c.state, Rules());
    c.Drew(DrawPreview(c));
    c.Show();
}
