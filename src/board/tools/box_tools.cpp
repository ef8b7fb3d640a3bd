#include <algorithm>

#include "app/settings.h"
#include "board/tools/drawing_tools.h"
#include "board/shape_drawing.h"

ModifierRules RectangleTool::Rules() const {
    return ModifierRules{ShiftRule::Square, true};
}

void RectangleTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    DrawTableRectangle(c.board, s.cornerPoint, s.currentPoint, s.tableRows, s.tableColumns);
}

ModifierRules RoundRectTool::Rules() const {
    return ModifierRules{ShiftRule::Square, true};
}

void RoundRectTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    DrawRoundedBox(c.board, s.cornerPoint, s.currentPoint, Settings.cornerRadius.load());
}

void RoundRectTool::Wheel(PointerContext& c, int step) {
    const int limit = Settings.cornerRadiusMax.load();
    const int radius = std::clamp(Settings.cornerRadius.load() + step, 0, std::max(limit, 0));
    Settings.cornerRadius.store(radius);
    // The preview shows the new corner at once, without waiting for a move.
    if (c.state.dragging) Move(c, c.state.currentPoint);
}

ModifierRules EllipseTool::Rules() const {
    return ModifierRules{ShiftRule::Square, true};
}

void EllipseTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    DrawEllipseBox(c.board, s.cornerPoint, s.currentPoint);
}

ModifierRules CircleTool::Rules() const {
    return ModifierRules{};  // Ctrl centres the circle itself; Shift does nothing
}

void CircleTool::DrawPreview(PointerContext& c) {
    const BoardState& s = c.state;
    DrawCircleFromDrag(c.board, s.anchorPoint, s.currentPoint, s.ctrlHeld);
}
