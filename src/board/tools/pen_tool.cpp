#include "board/shape_drawing.h"
#include "board/tools/drawing_tools.h"

void PenTool::Drag(PointerContext& c) {
    BoardState& s = c.state;
    c.Drew(DrawLine(c.board, s.anchorPoint, s.currentPoint));
    s.anchorPoint = s.currentPoint;
    c.Show();
}

void PenTool::Release(PointerContext& c, POINT p) {
    BoardState& s = c.state;
    s.currentPoint = p;
    c.Drew(DrawLine(c.board, s.anchorPoint, p));
    s.anchorPoint = p;
    c.Show();
    c.Commit();
}
