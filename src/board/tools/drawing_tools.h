#pragma once
// The tool types of the straight and closed shapes, the pen and the
// move-board tool. The tool table (tool_table.h) makes one object of each.

#include <vector>

#include "board/tools/board_tool.h"

// Freehand: every move adds the segment from the last point to the pointer,
// without restoring, so the segments add up to the stroke.
class PenTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Release(PointerContext& c, POINT p) override;

protected:
    void Drag(PointerContext& c) override;
};

class LineTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;

protected:
    RECT DrawPreview(PointerContext& c) override;  // corner -> cursor
};

// A chain of segments: each release fixes a vertex and the next segment starts
// there, until the tool is selected again.
class PolylineTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;
    void Release(PointerContext& c, POINT p) override;
    void Selected(PointerContext& c) override;  // the next click starts anew
    void ResetGesture() override;
    bool Started() const { return started_; }
    bool ShapeOpen() const override { return started_; }

protected:
    void RecordPress(BoardState& s, POINT p) override;
    RECT DrawPreview(PointerContext& c) override;  // last vertex -> cursor

private:
    bool started_ = false;  // the polyline has its first vertex
};

class ArrowTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;

protected:
    RECT DrawPreview(PointerContext& c) override;
};

// A box with evenly spaced inner table lines, counted with the arrow keys:
// Up/Down add or remove a row line, Right/Left a column line. The counts are
// the settings' (program-wide, unsaved): they stay as the user left them,
// across gestures and boards.
class RectangleTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;
    void ArrowKey(PointerContext& c, WPARAM key) override;

protected:
    RECT DrawPreview(PointerContext& c) override;  // box and table lines
};

class RoundRectTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;
    // Each wheel message or +/- key changes the corner size by one, within
    // 0..the settings' maximum.
    void Wheel(PointerContext& c, int step) override;
    void Adjust(PointerContext& c, int step) override;

protected:
    RECT DrawPreview(PointerContext& c) override;
};

class EllipseTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;

protected:
    RECT DrawPreview(PointerContext& c) override;
};

// A drag is a diameter; with Ctrl the anchor is the centre.
class CircleTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;

protected:
    RECT DrawPreview(PointerContext& c) override;
};

// Regular polygon (or star) centred on the anchor with a vertex at the cursor;
// +/- change its vertex count within 3..100.
class PolygonTool : public DragShapeTool {
public:
    PolygonTool(ModifierRules rules, bool star) : DragShapeTool(rules), star_(star) {}
    void Release(PointerContext& c, POINT p) override;
    void Adjust(PointerContext& c, int step) override;
    void Selected(PointerContext& c) override;  // fills by the winding rule
    void ResetGesture() override;
    // The vertices of the last preview (empty once the shape is released).
    const std::vector<POINT>& Vertices() const { return vertices_; }

protected:
    RECT DrawPreview(PointerContext& c) override;

private:
    bool star_;
    std::vector<PointF> realVertices_;  // scratch, reused by every preview
    std::vector<POINT> vertices_;
};

// Drags a board that is not screen-sized with the window itself; on a
// screen-sized board (or without a window) it draws nothing.
class MoveBoardTool : public DragShapeTool {
public:
    using DragShapeTool::DragShapeTool;
    void Press(PointerContext& c, POINT p) override;

protected:
    RECT DrawPreview(PointerContext& c) override;
};
