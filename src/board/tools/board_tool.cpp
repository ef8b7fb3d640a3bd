#include "board/tools/board_tool.h"

#include <optional>

#include "board/areas.h"
#include "board/board.h"

std::atomic<bool> RedrawWholeBoard{false};

namespace {

RECT WholeOf(const Canvas& canvas) { return WholeArea(SIZE{canvas.Width(), canvas.Height()}); }

}  // namespace

void PointerContext::Restore() {
    RECT& drawn = state.drawnArea;
    if (RedrawWholeBoard.load()) {
        surface.RestoreArea(WholeOf(board));
        state.unshownArea = WholeOf(board);
    } else {
        surface.RestoreArea(drawn);
        state.unshownArea = AreaUnion(state.unshownArea, drawn);
    }
    drawn = RECT{};
}

void PointerContext::Show() {
    surface.ShowArea(RedrawWholeBoard.load() ? WholeOf(board) : state.unshownArea);
    state.unshownArea = RECT{};
}

void PointerContext::Commit() {
    surface.CommitArea(RedrawWholeBoard.load() ? WholeOf(back) : state.drawnArea);
    state.drawnArea = RECT{};
}

void PointerContext::Drew(const RECT& area) {
    const RECT on = AreaClip(area, SIZE{board.Width(), board.Height()});
    state.drawnArea = AreaUnion(state.drawnArea, on);
    state.unshownArea = AreaUnion(state.unshownArea, on);
}

void PointerContext::DrewEverything() { Drew(WholeOf(board)); }

void PointerContext::WritingBack(const RECT& area) {
    const RECT on = AreaClip(area, SIZE{back.Width(), back.Height()});
    surface.WritingCommitted(on);
    // The board canvas may now differ from the drawing there.
    state.drawnArea = AreaUnion(state.drawnArea, on);
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

LayerKind BoardTool::LayerNeeded() const { return LayerKind::None; }

Leaving BoardTool::WhenLeft(bool) const { return Leaving::Keep; }

BoardMark BoardTool::Mark() const { return BoardMark::None; }

bool BoardTool::ShowsOnSelection() const { return false; }

bool BoardTool::KeepsBoardOnSettingChange() const { return false; }

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
