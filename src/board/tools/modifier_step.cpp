#include "board/tools/modifier_step.h"

void ApplyModifierStep(BoardState& state, ModifierRules rules) {
    (void)rules;
    state.cornerPoint = state.anchorPoint;
}
