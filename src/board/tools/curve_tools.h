#pragma once
// The tool types whose shape takes more than one gesture: the pie and the two
// arcs (a first drag, then a sweep), the Bézier chain, the smoothed curve and
// the chained arcs (one point per click). The tool table makes one object of
// each; the geometry is in shapes/arcs.h, shapes/curves.h and
// shapes/chain_arcs.h.

#include <vector>

#include "board/tools/board_tool.h"
#include "shapes/arcs.h"
#include "shapes/chain_arcs.h"
#include "shapes/curves.h"

// The first drag draws the radius (pie, radius arc) or the chord (three-point
// arc) as a line, snapped with Shift and moved with Space; its release fixes
// the two points and draws nothing. Then the arc follows the pointer, with or
// without the button, and the next release commits it.
class SweepTool : public DragShapeTool {
public:
    SweepTool(ModifierRules rules, ArcTool kind) : DragShapeTool(rules), kind_(kind) {}
    void Move(PointerContext& c, POINT p) override;
    void Release(PointerContext& c, POINT p) override;
    void Selected(PointerContext& c) override;
    void ResetGesture() override;
    bool PreviewsWithoutButton() const override;  // while sweeping
    const ArcState& Arc() const { return arc_; }

protected:
    RECT DrawPreview(PointerContext& c) override;  // the first drag's line

private:
    void Sweep(PointerContext& c, POINT p);
    ArcTool kind_;
    ArcState arc_;
};

// With Shift the end angle snaps to a multiple of 45 degrees.
class PieTool : public SweepTool {
public:
    explicit PieTool(ModifierRules rules) : SweepTool(rules, ArcTool::Pie) {}
};

class ThreePointArcTool : public SweepTool {
public:
    explicit ThreePointArcTool(ModifierRules rules) : SweepTool(rules, ArcTool::ThreePoint) {}
};

// With Shift the end angle snaps to a multiple of 45 degrees.
class RadiusArcTool : public SweepTool {
public:
    explicit RadiusArcTool(ModifierRules rules) : SweepTool(rules, ArcTool::Radius) {}
};

// The first release fixes the start; the releases after it are taken in
// threes (control, control, end point) and the whole path of finished cubic
// segments is drawn and committed at each. While the button is down a dashed
// guide shows the unfinished segment's control polygon.
class BezierTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Release(PointerContext& c, POINT p) override;
    void Selected(PointerContext& c) override;  // a new chain
    void ResetGesture() override;
    bool Started() const { return started_; }
    bool ShapeOpen() const override { return started_; }
    const std::vector<POINT>& Points() const { return points_; }

protected:
    void Drag(PointerContext& c) override;

private:
    bool started_ = false;
    POINT origin_{};
    std::vector<POINT> points_;  // the clicks after the origin
};

// A smooth curve through every click. It is drawn whole, from the committed
// drawing, at every release into the curve layer; previews draw over the
// layer. The curve becomes part of the drawing when another tool is chosen
// (or when it reaches its bound of nodes).
class CurveTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Release(PointerContext& c, POINT p) override;
    void Selected(PointerContext& c) override;  // a new curve
    void ResetGesture() override;
    LayerKind LayerNeeded() const override { return LayerKind::DrawingSoFar; }
    // What was drawn of the curve stays, also when the curve is chosen again
    // to start a new one; a setting change leaves the curve in progress.
    Leaving WhenLeft(bool) const override { return Leaving::Commit; }
    bool KeepsBoardOnSettingChange() const override { return true; }
    const std::vector<CurveNode>& Nodes() const { return nodes_; }
    bool ShapeOpen() const override { return !nodes_.empty(); }

protected:
    void Drag(PointerContext& c) override;

private:
    std::vector<CurveNode> nodes_;
    RECT layerArea_{};  // where the layer differs from the committed drawing
    bool layerFollows_ = false;  // the layer is the drawing outside layerArea_
    BezierPath path_;  // scratch for the whole curve, reused
};

// A chain of arcs, each continuing the one before it without a corner. The
// first drag gives a straight guide (shown, never committed); every later
// release commits the next arc, ending at the release point.
class ChainedArcsTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Release(PointerContext& c, POINT p) override;
    void Selected(PointerContext& c) override;  // a new chain
    void ResetGesture() override;
    const ChainState& Chain() const { return chain_; }
    bool ShapeOpen() const override { return chain_.started; }

protected:
    void RecordPress(BoardState& s, POINT p) override;
    void Drag(PointerContext& c) override;

private:
    ChainState chain_;
};
