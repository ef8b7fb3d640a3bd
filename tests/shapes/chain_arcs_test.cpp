#include "shapes/chain_arcs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "shapes/geometry.h"

namespace {

struct Vec {
    double x = 0.0;
    double y = 0.0;
};

Vec Unit(Vec v) {
    const double len = std::hypot(v.x, v.y);
    return Vec{v.x / len, v.y / len};
}

// Screen direction of travel along a piece at point p: along a line from its
// `from` to its `to`; along an arc counter-clockwise on the screen when the
// chain runs the way the arc is drawn (turn 1), clockwise otherwise.
Vec TravelAt(const ArcFigure& f, int turn, PointF p) {
    if (f.kind == ArcFigure::Kind::Line)
        return Unit(Vec{double(f.to.x) - f.from.x, double(f.to.y) - f.from.y});
    const double dx = double(p.x) - f.centre.x, dy = double(p.y) - f.centre.y;
    const Vec ccw = Unit(Vec{dy, -dx});  // counter-clockwise as seen on the screen
    return turn > 0 ? ccw : Vec{-ccw.x, -ccw.y};
}

double AngleBetween(Vec a, Vec b) {
    return std::acos(std::clamp(a.x * b.x + a.y * b.y, -1.0, 1.0)) * 180.0 / 3.141592653589793;
}

// Both ends of the piece are the expected points (in either drawing order).
bool Joins(const ArcFigure& f, PointF a, PointF b) {
    auto close = [](PointF p, PointF q) { return Distance(p, q) < 0.01; };
    return (close(f.from, a) && close(f.to, b)) || (close(f.from, b) && close(f.to, a));
}

struct Piece {
    ArcFigure figure;
    int turn;
    PointF start;
    PointF end;
};

// Press at clicks[0], release at clicks[1] (the guide), then one release per
// further click; the pieces committed, in order.
std::vector<Piece> DrawChain(const std::vector<POINT>& clicks) {
    ChainState chain;
    StartChain(chain, clicks[0], clicks[1]);
    std::vector<Piece> pieces;
    PointF start = ToPointF(clicks[0]);
    for (size_t i = 2; i < clicks.size(); ++i) {
        const ArcFigure f = AdvanceChain(chain, clicks[i]);
        pieces.push_back(Piece{f, chain.previous.turn, start, ToPointF(clicks[i])});
        start = ToPointF(clicks[i]);
    }
    return pieces;
}

struct ChainCase {
    const char* name;
    std::vector<POINT> clicks;
    std::vector<int> turns;
};

void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.name; }

}  // namespace

TEST(ChainArcs, FirstArcRunsFromThePressThroughTheFirstReleaseToTheCursor) {
    ChainState chain;
    StartChain(chain, {100, 0}, {80, 60});
    const ChainPiece piece = ChainArc(chain, {0, 100});
    ASSERT_EQ(piece.figure.kind, ArcFigure::Kind::CenterArc);
    EXPECT_NEAR(piece.centre.x, 0.0, 1e-3);
    EXPECT_NEAR(piece.centre.y, 0.0, 1e-3);
    EXPECT_NEAR(piece.radius, 100.0, 1e-3);
    EXPECT_TRUE(Joins(piece.figure, {100, 0}, {0, 100}));
    // On the screen (y down) the chain turns clockwise from (100,0) to (0,100).
    EXPECT_EQ(piece.turn, -1);
    // A cursor on the line of the first two points: straight.
    EXPECT_EQ(ChainArc(chain, {120, -60}).figure.kind, ArcFigure::Kind::Line);
    // The preview leaves the chain as it was.
    EXPECT_EQ(chain.pieces, 0);
    EXPECT_FLOAT_EQ(chain.previous.radius, 0.0f);
}

class ChainJointCases : public testing::TestWithParam<ChainCase> {};

// Every piece runs from the end of the chain to its release point, and at
// every joint the direction of travel carries on unchanged: no corner.
TEST_P(ChainJointCases, PiecesMeetWithoutAKink) {
    const ChainCase& c = GetParam();
    const std::vector<Piece> pieces = DrawChain(c.clicks);
    ASSERT_EQ(pieces.size(), c.turns.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        EXPECT_EQ(p.turn, c.turns[i]) << "piece " << i;
        EXPECT_TRUE(Joins(p.figure, p.start, p.end)) << "piece " << i;
        if (p.figure.kind == ArcFigure::Kind::CenterArc) {
            EXPECT_NEAR(Distance(p.figure.centre, p.start), Distance(p.figure.centre, p.end), 0.01)
                << "piece " << i;
        }
        if (i == 0) continue;
        const Piece& before = pieces[i - 1];
        const double kink =
            AngleBetween(TravelAt(before.figure, before.turn, before.end), TravelAt(p.figure, p.turn, p.start));
        EXPECT_LT(kink, 0.05) << "joint before piece " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ChainArcs, ChainJointCases,
    testing::Values(
        ChainCase{"s-curve", {{100, 100}, {150, 80}, {200, 100}, {300, 150}, {350, 300}}, {-1, 1, -1}},
        ChainCase{"spiral", {{300, 300}, {350, 250}, {400, 300}, {300, 400}, {200, 300}, {300, 150}},
                  {-1, -1, -1, -1}},
        // The cursor on the tangent at the joint: a straight piece, and the
        // arc after it leaves that straight piece tangentially.
        ChainCase{"straight on the tangent", {{100, 0}, {80, 60}, {0, 100}, {-50, 100}, {-100, 150}},
                  {-1, 0, 1}},
        // A straight first piece (three points on a line) starts the chain
        // as well; the next piece continues it.
        ChainCase{"straight start", {{0, 0}, {50, 0}, {100, 0}, {200, 50}}, {0, -1}},
        ChainCase{"straight then both ways", {{0, 0}, {50, 0}, {100, 0}, {200, -50}, {260, 40}},
                  {0, 1, -1}}));

TEST(ChainArcs, NearlyStraightPieceIsDrawnStraight) {
    // After a straight start, a cursor 1 pixel off the line 20000 pixels away:
    // a circle of radius about 2e8, drawn as the line.
    const std::vector<Piece> pieces = DrawChain({{0, 0}, {50, 0}, {100, 0}, {20100, 1}});
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].figure.kind, ArcFigure::Kind::Line);
    EXPECT_EQ(pieces[1].turn, 0);
}
