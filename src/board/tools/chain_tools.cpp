#include <span>

#include "board/board.h"
#include "board/shape_drawing.h"
#include "board/tools/curve_tools.h"
#include "shapes/geometry.h"

namespace {

// The crosshair at the pointer; it also sets the pen back to the user's.
void Crosshair(PointerContext& c) {
    DrawCrosshair(c.board, c.state.currentPoint, c.settings.crossSize.load(),
                  c.settings.penWidth.load());
}

}  // namespace

// ---- Bézier ----

void BezierTool::Drag(PointerContext& c) {
    c.Restore();
    UseDashedPen(c.board);
    DrawGuideLines(c.board, BezierGuide(origin_, started_, points_, c.state.currentPoint));
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
        DrawBezierPath(c.board, origin_, points_);
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
    } else {
        CopyWholeCanvas(c.board, c.layer);
    }
    const POINT p = c.state.currentPoint;
    if (!nodes_.empty()) {
        UseDashedPen(c.board);
        if (nodes_.size() == 1) {
            c.board.Line(nodes_[0].anchor.x, nodes_[0].anchor.y, p.x, p.y);
        } else {
            const CurvePreview preview = PreviewCurve(nodes_, p);
            DrawBezierPath(c.board, preview.start,
                           std::span(preview.points.data(), static_cast<size_t>(preview.count)));
        }
    }
    Crosshair(c);
    c.Show();
}

void CurveTool::Release(PointerContext& c, POINT p) {
    c.Restore();  // earlier pieces may change shape: the whole curve is redrawn
    Follow(c.state, p);
    CommitCurve(nodes_, p, path_);
    if (nodes_.size() > 1) DrawBezierPath(c.board, path_.start, path_.points);
    c.Show();
    if (nodes_.size() >= static_cast<size_t>(kMaxCurveNodes)) {
        // As if another tool had been chosen: the curve is drawn for good and
        // the next click starts a new one.
        c.Commit();
        nodes_.clear();
    }
    CopyWholeCanvas(c.layer, c.board);
}

void CurveTool::Selected(PointerContext&) { ResetGesture(); }

void CurveTool::ResetGesture() { nodes_.clear(); }

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
        c.board.Line(s.anchorPoint.x, s.anchorPoint.y, s.currentPoint.x, s.currentPoint.y);
    } else {
        if (chain_.pieces == 0) {
            // The straight guide of the first drag stays until the first arc
            // takes its place.
            const POINT a = ToPixel(chain_.previous.end), b = ToPixel(chain_.current.end);
            c.board.Line(a.x, a.y, b.x, b.y);
        }
        UseDashedPen(c.board);
        DrawArcFigure(c.board, ChainArc(chain_, s.currentPoint).figure);
    }
    Crosshair(c);
    c.Show();
}

void ChainedArcsTool::Release(PointerContext& c, POINT p) {
    BoardState& s = c.state;
    c.Restore();
    Follow(s, p);
    if (!chain_.started) {
        DrawArcFigure(c.board, StartChain(chain_, s.anchorPoint, p));
        c.Show();  // shown, never committed
        return;
    }
    DrawArcFigure(c.board, AdvanceChain(chain_, p));
    c.Show();
    c.Commit();
    s.anchorPoint = p;
    if (ChainFull(chain_)) ResetGesture();
}

void ChainedArcsTool::Selected(PointerContext&) { ResetGesture(); }

void ChainedArcsTool::ResetGesture() { chain_ = ChainState{}; }
