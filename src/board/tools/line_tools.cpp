#include "board/tools/drawing_tools.h"
#include "board/shape_drawing.h"

RECT LineTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawLine(c.board, s.cornerPoint, s.currentPoint);
}

void PolylineTool::Selected(PointerContext&) { started_ = false; }

void PolylineTool::ResetGesture() { started_ = false; }

void PolylineTool::RecordPress(BoardState& s, POINT p) {
    // Later presses of the same polyline keep the anchor at the last vertex.
    if (started_) return;
    s.currentPoint = p;
    s.anchorPoint = p;
    started_ = true;
}

RECT PolylineTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawLine(c.board, s.anchorPoint, s.currentPoint);
}

void PolylineTool::Release(PointerContext& c, POINT p) {
    BoardState& s = c.state;
    c.Restore();  // the rubber band goes; the segment is drawn for good below
    Follow(s, p);
    ApplyModifierStep(s, Rules());
    c.Drew(DrawLine(c.board, s.anchorPoint, s.currentPoint));
    s.anchorPoint = s.currentPoint;  // the next segment starts here
    c.Show();
    c.Commit();
}

RECT ArrowTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawArrow(c.board, s.anchorPoint, s.currentPoint, c.settings.arrowLength.load(),
              c.settings.arrowAngle.load());
}
