#include "shapes/chain_arcs.h"

#include <cmath>

#include "shapes/geometry.h"

namespace {

// Any point of the bisector other than the midpoint fixes its line; a fixed
// distance keeps it well defined even when the previous piece is straight
// and has no radius.
constexpr double kBisectorReach = 100.0;
// Distance along the normal of a straight piece, for the same purpose.
constexpr double kNormalReach = 10.0;

ChainPiece Straight(PointF from, PointF to) {
    ChainPiece piece;
    piece.figure.kind = ArcFigure::Kind::Line;
    piece.figure.from = from;
    piece.figure.to = to;
    piece.turn = 0;
    return piece;
}

ChainPiece Arc(PointF centre, double radius, PointF from, PointF to, int turn) {
    ChainPiece piece;
    piece.figure.kind = ArcFigure::Kind::CenterArc;
    piece.figure.centre = centre;
    piece.figure.radius = radius;
    piece.figure.from = from;
    piece.figure.to = to;
    piece.turn = turn;
    piece.centre = centre;
    piece.radius = static_cast<float>(radius);
    return piece;
}

// The arc through the chain's start, the first release point and the cursor.
ChainPiece FirstArc(const ChainState& chain, PointF q) {
    const PointF s = chain.previous.end;
    const PointF e = chain.current.end;
    PointF centre;
    float radius = 0.0f;
    if (!CircleThroughPoints(s, e, q, centre, radius) || !(radius <= kMaxArcRadius))
        return Straight(s, q);
    if (Orientation(s, e, q, true) >= -kEpsilon) return Arc(centre, radius, s, q, 1);
    return Arc(centre, radius, q, s, -1);
}

ChainPiece NextArc(const ChainState& chain, PointF q) {
    const ChainSegment& p = chain.previous;
    const PointF e = chain.current.end;
    const PointF m{static_cast<float>((static_cast<double>(e.x) + q.x) / 2.0),
                   static_cast<float>((static_cast<double>(e.y) + q.y) / 2.0)};
    const double h = AngleOf(e, q, true);
    const PointF l = PointOnCircle(m, kBisectorReach, h + 90.0, true);

    PointF centre;
    int turn = 0;
    if (p.turn != 0) {
        // The normal at e is the radius of the previous arc; t lies along the
        // tangent at e.
        const double u = AngleOf(p.centre, e, true);
        const PointF t = PointOnCircle(e, p.radius, u + 90.0, true);
        if (!LineIntersection(p.centre, e, m, l, centre)) return Straight(e, q);
        const float s = SideOf(centre, e, t);
        if (std::fabs(s) <= kEpsilon) return Straight(e, q);
        turn = ((s < -kEpsilon && p.turn > 0) || (s > kEpsilon && p.turn < 0)) ? -1 : 1;
    } else {
        // The previous piece ran straight from p.end to e.
        const double u = AngleOf(e, p.end, true);
        const PointF normal = PointOnCircle(e, kNormalReach, u - 90.0, true);
        if (!LineIntersection(normal, e, m, l, centre)) return Straight(e, q);
        const float s = SideOf(q, p.end, e);
        if (std::fabs(s) <= kEpsilon) return Straight(e, q);
        turn = (s > kEpsilon) ? 1 : -1;
    }
    const double radius = Distance(centre, e);
    if (!(radius <= kMaxArcRadius)) return Straight(e, q);
    if (turn > 0) return Arc(centre, radius, e, q, 1);
    return Arc(centre, radius, q, e, -1);
}

}  // namespace

ChainPiece ChainArc(const ChainState& chain, POINT cursor) {
    const PointF q = ToPointF(cursor);
    if (chain.pieces == 0) return FirstArc(chain, q);
    return NextArc(chain, q);
}

ArcFigure StartChain(ChainState& chain, POINT press, POINT release) {
    chain = ChainState{};
    chain.started = true;
    chain.previous.end = ToPointF(press);
    chain.current.end = ToPointF(release);
    ArcFigure guide;
    guide.kind = ArcFigure::Kind::Line;
    guide.from = chain.previous.end;
    guide.to = chain.current.end;
    return guide;
}

ArcFigure AdvanceChain(ChainState& chain, POINT release) {
    const ChainPiece piece = ChainArc(chain, release);
    if (chain.pieces == 0) {
        // The first piece starts at the press point, which previous.end keeps.
        chain.previous.centre = piece.centre;
        chain.previous.radius = piece.radius;
        chain.previous.turn = piece.turn;
        chain.current.radius = piece.radius;
        chain.current.turn = piece.turn;
    } else {
        chain.current.centre = piece.centre;
        chain.current.radius = piece.radius;
        chain.current.turn = piece.turn;
        chain.previous = chain.current;  // its end field is this piece's start
    }
    chain.current.end = ToPointF(release);
    ++chain.pieces;
    return piece.figure;
}

bool ChainFull(const ChainState& chain) {
    return chain.pieces >= kMaxChainArcs;
}
