#pragma once
// The step between reading the pointer and drawing a shape where the held
// modifier keys adjust the points: Shift snaps the cursor (to the axes and
// diagonals, or to a square box) and Ctrl mirrors the corner through the
// anchor so a box is centred on it. Each tool states which rules it takes;
// the pointer code runs this step on every preview and wherever a tool snaps
// its final point.

#include "board/board_state.h"

enum class ShiftRule {
    None,        // Shift changes nothing (pen, circle)
    SnapToAxes,  // lines: horizontal, vertical or diagonal from the anchor
    Square,      // boxes: the box anchor-cursor becomes a square
};

struct ModifierRules {
    ShiftRule shift = ShiftRule::None;
    bool ctrlMirrorsCorner = false;  // box shapes and the line
};

// Adjusts state.currentPoint for the held keys and sets state.cornerPoint.
//
// The Shift and Ctrl rules are not built yet: for now the cursor is used as
// it is and the corner is the anchor, which is what the shapes get when no
// modifier key is held.
void ApplyModifierStep(BoardState& state, ModifierRules rules);
