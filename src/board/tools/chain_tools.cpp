#include <span>

#include "board/areas.h"
#include "board/board.h"
#include "board/shape_drawing.h"
#include "board/tools/curve_tools.h"
#include "shapes/geometry.h"

namespace {

// The crosshair at the pointer; it also sets the pen back to the user's.
void Crosshair(PointerContext& c) {
    c.Drew(DrawCrosshair(c.board, c.state.currentPoint, c.settings.crossSize.load(),
                         c.settings.penWidth.load()));
}

}  // namespace

// ---- Bézier ----

void BezierTool::Drag(PointerContext& c) {
    c.Restore();
    UseDashedPen(c.board);
    c.Drew(DrawGuideLines(c.board, BezierGuide(origin_, started_, points_, c.state.currentPoint)));
    Crosshair(c);
    c.Show();
}

void BezierTool::Release(PointerContext& c, POINT p) {
    c.Restore();
    Follow(c.state, p);
    if (!started_) {
        origin_ = p;
        started_ = true;
    } else {
        points_.push_back(p);
        c.Drew(DrawBezierPath(c.board, origin_, points_));
    }
    c.Show();
    c.Commit();
    if (points_.size() >= static_cast<size_t>(kMaxBezierPoints)) ResetGesture();
}

void BezierTool::Selected(PointerContext&) { ResetGesture(); }

void BezierTool::ResetGesture() {
    started_ = false;
    points_.clear();
}

// ---- smoothed curve ----

void CurveTool::Drag(PointerContext& c) {
    // Without nodes there is no curve yet and the committed drawing is the
    // base (the layer may still hold a curve from before a clear).
    if (nodes_.empty() || !c.layer.IsCreated()) {
        c.Restore();
    } else if (RedrawWholeBoard.load()) {
        CopyWholeCanvas(c.board, c.layer);
        c.DrewEverything();
    } else {
        // The layer is the committed drawing plus the curve so far.
        c.Restore();
        CopyCanvasArea(c.board, c.layer, layerArea_);
        c.Drew(layerArea_);
    }
    const POINT p = c.state.currentPoint;
    if (!nodes_.empty()) {
        UseDashedPen(c.board);
        if (nodes_.size() == 1) {
            c.Drew(DrawLine(c.board, nodes_[0].anchor, p));
        } else {
            const CurvePreview preview = PreviewCurve(nodes_, p);
            c.Drew(DrawBezierPath(
                c.board, preview.start,
                std::span(preview.points.data(), static_cast<size_t>(preview.count))));
        }
    }
    Crosshair(c);
    c.Show();
}

void CurveTool::Release(PointerContext& c, POINT p) {
    c.Restore();  // earlier pieces may change shape: the whole curve is redrawn
    Follow(c.state, p);
    CommitCurve(nodes_, p, path_);
    if (nodes_.size() > 1) c.Drew(DrawBezierPath(c.board, path_.start, path_.points));
    c.Show();
    if (nodes_.size() >= static_cast<size_t>(kMaxCurveNodes)) {
        // As if another tool had been chosen: the curve is drawn for good and
        // the next click starts a new one.
        c.Commit();
        nodes_.clear();
    }
    // The layer takes the old curve away and the new one in; elsewhere it
    // is the committed drawing already.
    // (A new curve's layer is taken whole once: it was made when the tool
    // was chosen and may not follow the drawing since.)
    if (RedrawWholeBoard.load() || !layerFollows_) {
        CopyWholeCanvas(c.layer, c.board);
    } else {
        CopyCanvasArea(c.layer, c.board, AreaUnion(layerArea_, c.state.drawnArea));
    }
    layerFollows_ = true;
    layerArea_ = c.state.drawnArea;
}

void CurveTool::Selected(PointerContext&) { ResetGesture(); }

void CurveTool::ResetGesture() {
    nodes_.clear();
    layerArea_ = RECT{};
    layerFollows_ = false;
}

// ---- chained arcs ----

void ChainedArcsTool::RecordPress(BoardState& s, POINT p) {
    // Once the chain has begun its next piece starts at the chain's end.
    if (chain_.started) return;
    s.currentPoint = p;
    s.anchorPoint = p;
}

void ChainedArcsTool::Drag(PointerContext& c) {
    c.Restore();
    const BoardState& s = c.state;
    if (!chain_.started) {
        UseDashedPen(c.board);
        c.Drew(DrawLine(c.board, s.anchorPoint, s.currentPoint));
    } else {
        if (chain_.pieces == 0) {
            // The straight guide of the first drag stays until the first arc
            // takes its place.
            const POINT a = ToPixel(chain_.previous.end), b = ToPixel(chain_.current.end);
            c.Drew(DrawLine(c.board, a, b));
        }
        UseDashedPen(c.board);
        c.Drew(DrawArcFigure(c.board, ChainArc(chain_, s.currentPoint).figure));
    }
    Crosshair(c);
    c.Show();
}

void ChainedArcsTool::Release(PointerContext& c, POINT p) {
    BoardState& s = c.state;
    c.Restore();
    Follow(s, p);
    if (!chain_.started) {
        c.Drew(DrawArcFigure(c.board, StartChain(chain_, s.anchorPoint, p)));
        c.Show();  // shown, never committed
        return;
    }
    c.Drew(DrawArcFigure(c.board, AdvanceChain(chain_, p)));
    c.Show();
    c.Commit();
    s.anchorPoint = p;
    if (ChainFull(chain_)) ResetGesture();
}

void ChainedArcsTool::Selected(PointerContext&) { ResetGesture(); }

void ChainedArcsTool::ResetGesture() { chain_ = ChainState{}; }
