#include <algorithm>

#include "board/tools/drawing_tools.h"
#include "board/shape_drawing.h"

RECT RectangleTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawTableRectangle(c.board, s.cornerPoint, s.currentPoint, c.settings.tableRows.load(),
                              c.settings.tableColumns.load());
}

void RectangleTool::ArrowKey(PointerContext& c, WPARAM key) {
    std::atomic<int>& count =
        (key == VK_UP || key == VK_DOWN) ? c.settings.tableRows : c.settings.tableColumns;
    switch (key) {
    case VK_UP:
    case VK_RIGHT:
        ++count;
        break;
    case VK_DOWN:
    case VK_LEFT:
        if (count.load() <= 0) return;  // nothing changed, nothing to redraw
        --count;
        break;
    default:
        return;
    }
    Refresh(c);
}

RECT RoundRectTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawRoundedBox(c.board, s.cornerPoint, s.currentPoint, c.settings.cornerRadius.load());
}

void RoundRectTool::Wheel(PointerContext& c, int step) {
    const int limit = std::max(c.settings.cornerRadiusMax.load(), 0);
    c.settings.cornerRadius.store(std::clamp(c.settings.cornerRadius.load() + step, 0, limit));
    // The preview shows the new corner at once, without waiting for a move
    // (even at a limit).
    Refresh(c);
}

void RoundRectTool::Adjust(PointerContext& c, int step) { Wheel(c, step); }

RECT EllipseTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawEllipseBox(c.board, s.cornerPoint, s.currentPoint);
}

RECT CircleTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    return DrawCircleFromDrag(c.board, s.anchorPoint, s.currentPoint, s.ctrlHeld);
}
