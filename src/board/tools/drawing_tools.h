#pragma once
// The tool types of the straight and closed shapes, the pen and the
// move-board tool. ToolFor (board_tool.h) hands out one object of each.

#include <vector>

#include "board/tools/board_tool.h"
#include "board/tools/modifier_step.h"

// Freehand: every move adds the segment from the last point to the pointer,
// without restoring, so the segments add up to the stroke.
class PenTool : public BoardTool {
public:
    void Release(PointerContext& c, POINT p) override;

protected:
    void Drag(PointerContext& c) override;
};

class LineTool : public DragShapeTool {
protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;  // corner -> cursor
};

// A chain of segments: each release fixes a vertex and the next segment starts
// there, until the tool is selected again (which clears polylineStarted).
class PolylineTool : public DragShapeTool {
public:
    void Release(PointerContext& c, POINT p) override;

protected:
    void RecordPress(BoardState& s, POINT p) override;
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;  // last vertex -> cursor
};

class ArrowTool : public DragShapeTool {
protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;
};

class RectangleTool : public DragShapeTool {
protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;  // box and table lines
};

class RoundRectTool : public DragShapeTool {
public:
    // Each wheel message changes the corner size by one, within 0..max.
    void Wheel(PointerContext& c, int step) override;

protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;
};

class EllipseTool : public DragShapeTool {
protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;
};

// A drag is a diameter; with Ctrl the anchor is the centre.
class CircleTool : public DragShapeTool {
protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;
};

// Regular polygon (or star) centred on the anchor with a vertex at the cursor.
class PolygonTool : public DragShapeTool {
public:
    explicit PolygonTool(bool star) : star_(star) {}
    void Release(PointerContext& c, POINT p) override;

protected:
    ModifierRules Rules() const override;
    void DrawPreview(PointerContext& c) override;

private:
    bool star_;
    std::vector<PointF> realVertices_;  // scratch, reused by every preview
};

// Drags a board that is not screen-sized with the window itself; on a
// screen-sized board it draws nothing.
class MoveBoardTool : public DragShapeTool {
public:
    void Press(PointerContext& c, POINT p) override;

protected:
    void DrawPreview(PointerContext& c) override;
};
