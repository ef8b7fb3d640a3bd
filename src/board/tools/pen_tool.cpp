#include "board/tools/drawing_tools.h"

void PenTool::Drag(PointerContext& c) {
    BoardState& s = c.state;
    c.board.Line(s.anchorPoint.x, s.anchorPoint.y, s.currentPoint.x, s.currentPoint.y);
    s.anchorPoint = s.currentPoint;
    c.Show();
}

void PenTool::Release(PointerContext& c, POINT p) {
    BoardState& s = c.state;
    s.currentPoint = p;
    c.board.Line(s.anchorPoint.x, s.anchorPoint.y, p.x, p.y);
    s.anchorPoint = p;
    c.Show();
    c.Commit();
}
