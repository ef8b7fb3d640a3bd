#include "app/settings.h"
#include "board/tools/drawing_tools.h"
#include "board/shape_drawing.h"

ModifierRules PolygonTool::Rules() const {
    return ModifierRules{ShiftRule::SnapToAxes, false};
}

void PolygonTool::DrawPreview(PointerContext& c) {
    BoardState& s = c.state;
    const int n = star_ ? Settings.starVertices.load() : Settings.polygonVertices.load();
    DrawRegularPolygon(c.board, s.anchorPoint, s.currentPoint, n, star_, realVertices_,
                       s.polygonVertices);
}

void PolygonTool::Release(PointerContext& c, POINT p) {
    // The last preview is the shape; its vertex list is no longer needed.
    c.state.polygonVertices.clear();
    realVertices_.clear();
    DragShapeTool::Release(c, p);
}
