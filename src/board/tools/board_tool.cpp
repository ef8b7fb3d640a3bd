#include "board/tools/board_tool.h"

#include <optional>

#include "board/board.h"
#include "board/tools/drawing_tools.h"

void PointerContext::Restore() { CopyWholeCanvas(board, back); }

void PointerContext::Show() {
    board.ShowInWindow(window, std::nullopt, false);
}

void PointerContext::Commit() { CopyWholeCanvas(back, board); }

void PointerContext::BeginDrag() {
    SetCapture(window);
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

void BoardTool::RecordPress(BoardState& s, POINT p) {
    s.currentPoint = p;
    s.anchorPoint = p;
}

void BoardTool::Drag(PointerContext&) {}

void BoardTool::Hover(PointerContext&, POINT) {}

ModifierRules DragShapeTool::Rules() const {
    return ModifierRules{};
}

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

BoardTool* ToolFor(ToolKind kind) {
    // One object per tool for the life of the program; only the board thread
    // drives them.
    static PenTool pen;
    static LineTool line;
    static PolylineTool polyline;
    static ArrowTool arrow;
    static RectangleTool rectangle;
    static RoundRectTool roundRect;
    static EllipseTool ellipse;
    static CircleTool circle;
    static PolygonTool polygon(false);
    static PolygonTool star(true);
    static MoveBoardTool moveBoard;
    switch (kind) {
        case ToolPen: return &pen;
        case ToolLine: return &line;
        case ToolPolyline: return &polyline;
        case ToolArrow: return &arrow;
        case ToolRectangle: return &rectangle;
        case ToolRoundRect: return &roundRect;
        case ToolEllipse: return &ellipse;
        case ToolCircle: return &circle;
        case ToolPolygon: return &polygon;
        case ToolStar: return &star;
        case ToolMoveBoard: return &moveBoard;
        default: return nullptr;
    }
}
