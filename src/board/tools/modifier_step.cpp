#include "board/tools/modifier_step.h"

void ApplyModifierStep(BoardState& state, ModifierRules rules) {
    const HeldKeys keys{state.shiftHeld, state.ctrlHeld, state.spaceHeld};
    const ShapePoints points =
        ApplyModifiers(state.anchorPoint, state.previousPoint, state.pointerPoint, keys, rules);
    state.anchorPoint = points.anchor;
    state.cornerPoint = points.corner;
    state.currentPoint = points.cursor;
    // The move is used up: a redraw at the same pointer moves nothing more.
    state.previousPoint = state.pointerPoint;
}
