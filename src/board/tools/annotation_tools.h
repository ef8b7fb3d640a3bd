#pragma once
// The annotation tools: a see-through highlighter, a mosaic that hides what
// lies under a rectangle, and numbered markers for step-by-step
// instructions. The tool table (tool_table.cpp) makes one object of each.

#include <string>

#include "board/annotation_rules.h"
#include "board/tools/board_tool.h"

// A freehand stroke in the pen colour at half strength over the drawing, so
// what lies below stays readable. The stroke's shape is kept in a mask, and
// the board shows the committed drawing blended once wherever the mask is
// set: where the stroke crosses itself or lingers it blends once, a second
// stroke over it blends again. Shift keeps it horizontal or vertical through
// the press.
class HighlighterTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Press(PointerContext& c, POINT p) override;
    void Release(PointerContext& c, POINT p) override;

protected:
    void Drag(PointerContext& c) override;

private:
    // The pointer reached `to`: the stroke grows (or, with Shift, is drawn
    // again as one straight piece) and the board shows it.
    void Extend(PointerContext& c, POINT to);
    // Marks the segment in the mask and blends what it covers.
    void AddSegment(PointerContext& c, POINT from, POINT to);
    // The stroke so far taken away from the board and the mask.
    void Wipe(PointerContext& c);

    Canvas mask_;     // white where the stroke is; the board's size
    RECT touched_{};  // the part of the mask this stroke has marked
    POINT last_{};    // where the stroke has got to
};

// Drag a rectangle (a dashed outline while dragging); on release the area
// becomes blocks, each the average of the pixels under it.
class MosaicTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;
    void Release(PointerContext& c, POINT p) override;

protected:
    RECT DrawPreview(PointerContext& c) override;
};

// Each click puts down a disc of the pen colour with the next number in it.
// The disc follows the pointer until the button comes up. The numbers follow
// the undo history: an undone marker's number is given to the next one.
class MarkerTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Press(PointerContext& c, POINT p) override;
    void Release(PointerContext& c, POINT p) override;
    // The number the next marker gets.
    int NextNumber(const PointerContext& c) const;

protected:
    void Drag(PointerContext& c) override;

private:
    void Place(PointerContext& c, POINT p);
    std::size_t Position(const PointerContext& c) const;

    MarkerNumbers numbers_;
    int number_ = 0;  // of the marker under the button
};
