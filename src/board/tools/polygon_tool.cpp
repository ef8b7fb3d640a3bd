#include <algorithm>

#include "board/tools/drawing_tools.h"
#include "board/shape_drawing.h"

namespace {

constexpr int kVertexMin = 3;
constexpr int kVertexMax = 100;
constexpr int kWindingFillMode = 2;  // WINDING: a star's points are filled too

}  // namespace

RECT PolygonTool::DrawPreview(PointerContext& c) {
    BoardState& s = c.state;
    const int n = star_ ? c.settings.starVertices.load() : c.settings.polygonVertices.load();
    // Set on every drawing, not only when the tool is chosen: a tool chosen
    // before the board existed never saw the board's canvas, and a star's
    // centre must be filled all the same.
    c.board.PolyFillMode(kWindingFillMode);
    return DrawRegularPolygon(c.board, s.anchorPoint, s.currentPoint, n, star_, realVertices_,
                       vertices_);
}

void PolygonTool::Release(PointerContext& c, POINT p) {
    // The last preview is the shape; its vertex list is no longer needed.
    ResetGesture();
    DragShapeTool::Release(c, p);
}

void PolygonTool::Adjust(PointerContext& c, int step) {
    std::atomic<int>& count = star_ ? c.settings.starVertices : c.settings.polygonVertices;
    count.store(std::clamp(count.load() + step, kVertexMin, kVertexMax));
    Refresh(c);  // even at a limit
}

void PolygonTool::Selected(PointerContext& c) { c.board.PolyFillMode(kWindingFillMode); }

void PolygonTool::ResetGesture() {
    vertices_.clear();
    realVertices_.clear();
}
