#include "shapes/curves.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "shapes/geometry.h"

namespace {

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

std::vector<CurveNode> Nodes(std::initializer_list<POINT> anchors) {
    std::vector<CurveNode> nodes;
    for (const POINT p : anchors) nodes.push_back(CurveNode{p, {}, {}});
    return nodes;
}

}  // namespace

// ---- Bézier guide ----

struct GuideCase {
    int clicks;  // points after the origin
    bool started;
    std::vector<std::pair<int, int>> lines;  // point numbers; 0 the origin, -1 the cursor
};

void PrintTo(const GuideCase& c, std::ostream* os) { *os << c.clicks << " clicks"; }

class BezierGuideCases : public testing::TestWithParam<GuideCase> {};

TEST_P(BezierGuideCases, ShowsTheControlPolygonOfTheUnfinishedSegment) {
    const GuideCase& c = GetParam();
    const POINT origin{0, 0}, cursor{999, 999};
    std::vector<POINT> points;
    for (int k = 1; k <= c.clicks; ++k) points.push_back(POINT{10 * k, k});
    auto at = [&](int k) { return k == 0 ? origin : k == -1 ? cursor : points[k - 1]; };

    const GuideLines guide = BezierGuide(origin, c.started, points, cursor);
    ASSERT_EQ(guide.count, static_cast<int>(c.lines.size()));
    for (int i = 0; i < guide.count; ++i) {
        EXPECT_TRUE(Same(guide.lines[i].from, at(c.lines[i].first))) << "line " << i;
        EXPECT_TRUE(Same(guide.lines[i].to, at(c.lines[i].second))) << "line " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Curves, BezierGuideCases,
    testing::Values(GuideCase{0, false, {}}, GuideCase{0, true, {{0, -1}}},
                    GuideCase{1, true, {{0, 1}, {1, -1}}},
                    GuideCase{2, true, {{0, 1}, {1, 2}, {2, -1}}},
                    // A finished segment: the guide starts again at its end point.
                    GuideCase{3, true, {{3, -1}}}, GuideCase{4, true, {{3, 4}, {4, -1}}},
                    GuideCase{5, true, {{3, 4}, {4, 5}, {5, -1}}},
                    GuideCase{6, true, {{6, -1}}}, GuideCase{8, true, {{6, 7}, {7, 8}, {8, -1}}}));

// ---- smoothed curve ----

TEST(Curves, TwoNodesMakeAStraightSegment) {
    std::vector<CurveNode> nodes;
    BezierPath path;
    CommitCurve(nodes, {10, 20}, path);
    EXPECT_TRUE(path.points.empty());
    CommitCurve(nodes, {110, 70}, path);
    EXPECT_TRUE(Same(path.start, POINT{10, 20}));
    ASSERT_EQ(path.points.size(), 3u);
    // Both controls on the anchors: a cubic with collinear controls is the chord.
    EXPECT_TRUE(Same(path.points[0], POINT{10, 20}));
    EXPECT_TRUE(Same(path.points[1], POINT{110, 70}));
    EXPECT_TRUE(Same(path.points[2], POINT{110, 70}));
}

// A sharp corner between long legs: unclamped, the controls of the short
// segment reach past the crossing of its end tangents (the segment loops);
// clamped, both are pulled back to that crossing.
TEST(Curves, ClampKeepsASegmentsControlsShortOfItsTangentsCrossing) {
    const std::initializer_list<POINT> anchors{{0, 0}, {100, 0}, {110, 10}, {110, 110}, {0, 120}};
    std::vector<CurveNode> loose = Nodes(anchors);
    std::vector<CurveNode> clamped = Nodes(anchors);
    SmoothCurve(loose, false);
    SmoothCurve(clamped, true);

    PointF crossing;
    ASSERT_TRUE(LineIntersection(ToPointF(loose[1].anchor), ToPointF(loose[1].outgoing),
                                 ToPointF(loose[2].anchor), ToPointF(loose[2].incoming), crossing));
    const POINT x = ToPixel(crossing);
    EXPECT_GT(Distance(ToPointF(loose[1].anchor), ToPointF(loose[1].outgoing)),
              Distance(ToPointF(loose[1].anchor), crossing));
    EXPECT_NEAR(clamped[1].outgoing.x, x.x, 1);
    EXPECT_NEAR(clamped[1].outgoing.y, x.y, 1);
    EXPECT_NEAR(clamped[2].incoming.x, x.x, 1);
    EXPECT_NEAR(clamped[2].incoming.y, x.y, 1);
    // The curve still passes through its clicks.
    for (size_t i = 0; i < clamped.size(); ++i) EXPECT_TRUE(Same(clamped[i].anchor, loose[i].anchor));
}

TEST(Curves, PreviewOfTwoNodesBendsThroughTheCursor) {
    const std::vector<CurveNode> nodes = Nodes({{0, 0}, {100, 100}});
    const CurvePreview preview = PreviewCurve(nodes, {200, 0});
    EXPECT_TRUE(Same(preview.start, POINT{0, 0}));
    ASSERT_EQ(preview.count, 6);
    const POINT expected[] = {{0, 0}, {50, 100}, {100, 100}, {150, 100}, {200, 0}, {200, 0}};
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(Same(preview.points[i], expected[i])) << i;
}

// A long curve previews only its tail: three segments before the cursor's,
// starting one node later than the nodes used for smoothing.
TEST(Curves, PreviewOfALongCurveDrawsOnlyItsTail) {
    std::vector<CurveNode> nodes;
    BezierPath path;
    for (int k = 0; k < 7; ++k) CommitCurve(nodes, POINT{40 * k, (k % 2) * 50}, path);
    const CurvePreview preview = PreviewCurve(nodes, {300, 100});
    EXPECT_TRUE(Same(preview.start, nodes[4].anchor));
    ASSERT_EQ(preview.count, 9);
    EXPECT_TRUE(Same(preview.points[2], nodes[5].anchor));
    EXPECT_TRUE(Same(preview.points[5], nodes[6].anchor));
    EXPECT_TRUE(Same(preview.points[8], POINT{300, 100}));
    // Fewer than two nodes: nothing.
    EXPECT_EQ(PreviewCurve(std::span(nodes).first(1), {5, 5}).count, 0);
}

