#include "shapes/curves.h"

#include <algorithm>

#include "shapes/geometry.h"

namespace {

struct RealNode {
    PointF anchor;
    PointF incoming;
    PointF outgoing;
};

PointF Middle(PointF a, PointF b) {
    return PointF{static_cast<float>((static_cast<double>(a.x) + b.x) / 2.0),
                  static_cast<float>((static_cast<double>(a.y) + b.y) / 2.0)};
}

PointF Minus(PointF a, PointF b) {
    return PointF{static_cast<float>(static_cast<double>(a.x) - b.x),
                  static_cast<float>(static_cast<double>(a.y) - b.y)};
}

bool SameStrictSide(float a, float b, float c) {
    return (a > kEpsilon && b > kEpsilon && c > kEpsilon) ||
           (a < -kEpsilon && b < -kEpsilon && c < -kEpsilon);
}

// Keeps the controls of the segment from node i-1 to node i (i >= 2, 0-based)
// from reaching past the crossing of the segment's end tangents.
void Clamp(RealNode& previous, RealNode& node) {
    PointF crossing;
    if (!LineIntersection(previous.anchor, previous.outgoing, node.anchor, node.incoming, crossing))
        return;
    const float s1 = SideOf(previous.outgoing, previous.anchor, node.anchor);
    const float s2 = SideOf(node.incoming, previous.anchor, node.anchor);
    const float s3 = SideOf(crossing, previous.anchor, node.anchor);
    if (!SameStrictSide(s1, s2, s3)) return;
    if (Distance(previous.anchor, crossing) - Distance(previous.anchor, previous.outgoing) <
        -kEpsilon)
        previous.outgoing = crossing;
    if (Distance(node.anchor, crossing) - Distance(node.anchor, node.incoming) < -kEpsilon)
        node.incoming = crossing;
}

void SmoothReal(std::span<RealNode> nodes, bool clamp) {
    const size_t n = nodes.size();
    if (n == 0) return;
    nodes[0].incoming = nodes[0].outgoing = nodes[0].anchor;
    if (n > 1) nodes[n - 1].incoming = nodes[n - 1].outgoing = nodes[n - 1].anchor;
    for (size_t i = 1; i + 1 < n; ++i) {
        const PointF before = Middle(nodes[i - 1].anchor, nodes[i].anchor);
        const PointF after = Middle(nodes[i].anchor, nodes[i + 1].anchor);
        const PointF offset = Minus(Middle(before, after), nodes[i].anchor);
        nodes[i].incoming = Minus(before, offset);
        nodes[i].outgoing = Minus(after, offset);
        if (clamp && i >= 2) Clamp(nodes[i - 1], nodes[i]);
    }
}

RealNode ToReal(const CurveNode& node) {
    return RealNode{ToPointF(node.anchor), ToPointF(node.incoming), ToPointF(node.outgoing)};
}

CurveNode ToPixels(const RealNode& node) {
    return CurveNode{ToPixel(node.anchor), ToPixel(node.incoming), ToPixel(node.outgoing)};
}

}  // namespace

GuideLines BezierGuide(POINT origin, bool started, std::span<const POINT> points, POINT cursor) {
    GuideLines guide;
    auto add = [&guide](POINT from, POINT to) { guide.lines[guide.count++] = {from, to}; };
    const int n = static_cast<int>(points.size());
    if (n == 0) {
        if (started) add(origin, cursor);
        return guide;
    }
    // 1-based, as the clicks are counted: f is the first point of the
    // unfinished segment.
    auto point = [&points](int k) { return points[static_cast<size_t>(k - 1)]; };
    const int f = 3 * (n / 3) + 1;
    if (f < 4) {
        add(origin, point(1));
    } else if (n % 3 != 0) {
        add(point(f - 1), point(f));
    }
    for (int i = f; i <= n - 1; ++i) add(point(i), point(i + 1));
    add(point(n), cursor);
    return guide;
}

void SmoothCurve(std::span<CurveNode> nodes, bool clamp) {
    std::vector<RealNode> real;
    real.reserve(nodes.size());
    for (const CurveNode& node : nodes) real.push_back(ToReal(node));
    SmoothReal(real, clamp);
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i] = ToPixels(real[i]);
}

void CurvePath(std::span<const CurveNode> nodes, BezierPath& path) {
    path.points.clear();
    if (nodes.empty()) return;
    path.start = nodes[0].anchor;
    for (size_t k = 1; k < nodes.size(); ++k) {
        path.points.push_back(nodes[k - 1].outgoing);
        path.points.push_back(nodes[k].incoming);
        path.points.push_back(nodes[k].anchor);
    }
}

void CommitCurve(std::vector<CurveNode>& nodes, POINT p, BezierPath& path) {
    nodes.push_back(CurveNode{p, POINT{0, 0}, POINT{0, 0}});
    if (nodes.size() > 1) SmoothCurve(nodes, true);
    CurvePath(nodes, path);
}

CurvePreview PreviewCurve(std::span<const CurveNode> nodes, POINT cursor) {
    CurvePreview preview;
    const size_t n = nodes.size();
    if (n < 2) return preview;
    // The last (up to) four nodes and the cursor; when the curve is longer the
    // first of them only shapes its neighbour's controls and is not drawn.
    std::array<RealNode, 5> tail{};
    const size_t taken = std::min<size_t>(n, 4);
    for (size_t i = 0; i < taken; ++i) tail[i] = ToReal(nodes[n - taken + i]);
    tail[taken] = RealNode{ToPointF(cursor), PointF{}, PointF{}};
    const std::span<RealNode> used(tail.data(), taken + 1);
    SmoothReal(used, false);

    std::array<CurveNode, 5> pixels{};
    for (size_t i = 0; i < used.size(); ++i) pixels[i] = ToPixels(used[i]);
    const size_t first = (n > 4) ? 1 : 0;
    preview.start = pixels[first].anchor;
    for (size_t k = first + 1; k < used.size(); ++k) {
        preview.points[static_cast<size_t>(preview.count++)] = pixels[k - 1].outgoing;
        preview.points[static_cast<size_t>(preview.count++)] = pixels[k].incoming;
        preview.points[static_cast<size_t>(preview.count++)] = pixels[k].anchor;
    }
    return preview;
}
