#pragma once
// Chained arcs: a chain of circular arcs, each after the first continuing the
// one before it without a corner and ending at the pointer. Pure: the chain
// says what to draw (an ArcFigure); the board draws it.

#include <windows.h>

#include "shapes/arcs.h"
#include "shapes/point.h"

// The bound of one chain; the release that reaches it ends the chain as if
// another tool had been chosen.
inline constexpr int kMaxChainArcs = 1000;

// One piece of the chain.
struct ChainSegment {
    float radius = 0.0f;
    PointF centre;
    PointF end;    // see ChainState
    int turn = 0;  // 1 or -1: drawn as an arc; 0: drawn straight
};

// Between releases `previous` describes the last committed piece: its start
// is previous.end, its centre, radius and turn are previous's. current.end
// is the end of the chain so far.
struct ChainState {
    bool started = false;  // the first release (the straight guide) happened
    int pieces = 0;        // committed pieces
    ChainSegment previous;
    ChainSegment current;
};

// What ChainArc computes for one cursor position: the piece to draw and how
// it turns, and the circle it lies on (radius 0 when it is straight).
struct ChainPiece {
    ArcFigure figure;
    int turn = 0;
    PointF centre;
    float radius = 0.0f;
};

// The piece from the end of the chain to `cursor`. The first piece is the arc
// through the press point, the first release point and the cursor. Every
// later piece has its centre on the chain's normal at its end and on the
// perpendicular bisector of the end and the cursor, so it leaves the chain
// tangentially; a cursor on the tangent line gives a straight piece (turn 0).
// Circles larger than kMaxArcRadius are drawn straight too.
ChainPiece ChainArc(const ChainState& chain, POINT cursor);

// The first release: the chain starts at `press` and its first guide ends at
// `release`. Returns the straight guide to show (never committed).
ArcFigure StartChain(ChainState& chain, POINT press, POINT release);

// Every later release: the piece to `release` is fixed and the chain moves on
// to end there. Returns the piece to draw and commit.
ArcFigure AdvanceChain(ChainState& chain, POINT release);

// True once the chain holds kMaxChainArcs pieces.
bool ChainFull(const ChainState& chain);
