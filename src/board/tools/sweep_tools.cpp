#include "board/shape_drawing.h"
#include "board/tools/curve_tools.h"

RECT SweepTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawLine(c.board, s.anchorPoint, s.currentPoint);
}

void SweepTool::Move(PointerContext& c, POINT p) {
    if (arc_.phase == 0) {
        DragShapeTool::Move(c, p);  // the first drag; hovering leaves no trace
        return;
    }
    Follow(c.state, p);
    Sweep(c, p);
}

void SweepTool::Sweep(PointerContext& c, POINT p) {
    c.Restore();
    c.Drew(DrawArcFigure(c.board, SweepArc(arc_, kind_, p, c.state.shiftHeld)));
    c.Show();
}

void SweepTool::Release(PointerContext& c, POINT p) {
    BoardState& s = c.state;
    if (arc_.phase == 0) {
        c.Restore();  // the line goes; the two points it fixed stay
        c.Show();
        Follow(s, p);
        ApplyModifierStep(s, Rules());
        BeginSweep(arc_, kind_, s.anchorPoint, s.currentPoint);
        return;
    }
    // The arc fixed is the one for the release point.
    Follow(s, p);
    Sweep(c, p);
    EndSweep(arc_);
    c.Commit();
}

void SweepTool::Selected(PointerContext&) { ResetGesture(); }

void SweepTool::ResetGesture() { EndSweep(arc_); }

bool SweepTool::PreviewsWithoutButton() const { return arc_.phase != 0; }
