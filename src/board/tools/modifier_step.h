#pragma once
// The step between reading the pointer and drawing a shape where the held
// modifier keys adjust the points: Space moves the anchor with the pointer,
// Shift snaps the cursor (to the axes and diagonals, or to a square box) and
// Ctrl mirrors the corner through the anchor so a box is centred on it. Each
// tool's row in the tool table states which of them it takes; the pointer code
// runs this step on every preview and wherever a tool fixes its final point.

#include "board/board_state.h"
#include "shapes/modifiers.h"

using ModifierRules = ModifierUse;

// From the raw pointer positions (state.previousPoint -> state.pointerPoint)
// and the held keys: moves state.anchorPoint (Space), sets state.currentPoint
// to the possibly snapped cursor and state.cornerPoint to the corner.
void ApplyModifierStep(BoardState& state, ModifierRules rules);
