#pragma once
// The Bézier chain and the smoothed curve: pure point computations. The board
// draws what they return with MoveTo / PolyBezierTo / Line.

#include <windows.h>

#include <array>
#include <span>
#include <vector>

// Click chains are bounded so that a long session of clicks can never make a
// redraw (which walks the whole chain at every click) slow, or run out of
// memory. The click that reaches the bound ends the chain as if another tool
// had been chosen.
inline constexpr int kMaxBezierPoints = 3000;  // points after the origin: 1000 segments
inline constexpr int kMaxCurveNodes = 1000;

// ---- Bézier chain ----

// The dashed guide shown while a Bézier chain is built: the control polygon
// of the unfinished segment, ending at the cursor. `points` are the clicks
// after the origin (taken in threes: control, control, end point).
struct GuideLines {
    struct Line {
        POINT from{};
        POINT to{};
    };
    std::array<Line, 3> lines{};
    int count = 0;
};
GuideLines BezierGuide(POINT origin, bool started, std::span<const POINT> points, POINT cursor);

// ---- smoothed curve ----

// One click of the curve: the point it passes through and the two Bézier
// control points on either side of it.
struct CurveNode {
    POINT anchor{};
    POINT incoming{};
    POINT outgoing{};
};

// Recomputes every node's control points from the anchors: the end nodes get
// their controls on their anchors, every interior node gets controls along
// the line of its neighbours' chord midpoints, shifted so that their middle
// lies on the anchor. With clamp, a segment's two controls are pulled back to
// the crossing of its end tangents when they reach past it, so the segment
// neither overshoots nor loops.
void SmoothCurve(std::span<CurveNode> nodes, bool clamp);

// A path for MoveTo(start) + PolyBezierTo(points).
struct BezierPath {
    POINT start{};
    std::vector<POINT> points;
};

// A release of the curve tool: appends a node at p and smooths the whole curve
// (clamped); `path` is refilled with the curve through every node.
void CommitCurve(std::vector<CurveNode>& nodes, POINT p, BezierPath& path);

// The same path without changing the nodes.
void CurvePath(std::span<const CurveNode> nodes, BezierPath& path);

// The preview for the pointer at `cursor` with two or more nodes: the tail of
// the curve, its last committed segments included (they bend once the cursor
// makes the last node an interior one), smoothed without clamping. Fixed
// storage: previews do not allocate.
struct CurvePreview {
    POINT start{};
    std::array<POINT, 12> points{};
    int count = 0;
};
CurvePreview PreviewCurve(std::span<const CurveNode> nodes, POINT cursor);
