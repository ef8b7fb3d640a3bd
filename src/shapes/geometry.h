#pragma once
// Plane geometry shared by every drawing tool. Pure functions of values.
//
// Numeric rules, the same everywhere in the shape code so that a shape drawn
// twice from the same points lands on the same pixels:
//  - real points are stored in single precision (PointF), every computation is
//    carried out in double precision;
//  - a computed coordinate becomes a pixel by truncation toward zero (never
//    rounding), see ToPixel;
//  - comparisons of reals against zero use kEpsilon;
//  - degrees are converted with the ten-digit kPi.

#include <windows.h>

#include "shapes/point.h"

inline constexpr double kEpsilon = 1e-7;
inline constexpr double kPi = 3.1415926535;

// Integer pixel <-> real point.
PointF ToPointF(POINT p);
// Truncates each coordinate toward zero.
POINT ToPixel(PointF p);

// sqrt((b.x - a.x)^2 + (b.y - a.y)^2).
double Distance(PointF a, PointF b);

// Direction of `to` seen from `from`, in degrees. Without flip the angle is in
// screen orientation (y down, so angles grow clockwise on screen); with flip it
// is expressed with y pointing up, 0 <= angle < 360. Equal points give 0.
double AngleOf(PointF from, PointF to, bool flip);

// The point at distance r from centre in direction a (degrees). Pair the flip
// flag with the one AngleOf was called with.
PointF PointOnCircle(PointF centre, double r, double a, bool flip);

// (p2 - p1) x (p3 - p2) in screen coordinates; with negate set a positive
// value means a counter-clockwise turn p1 -> p2 -> p3 as seen on the screen.
float Orientation(PointF p1, PointF p2, PointF p3, bool negate);

// (q.x - r.x)(p.y - q.y) - (p.x - q.x)(q.y - r.y).
float SideOf(PointF p, PointF q, PointF r);

// The circle through three points. Fails (false, outputs untouched) for
// coincident or collinear points and for arrangements whose bisectors are
// parallel.
bool CircleThroughPoints(PointF p1, PointF p2, PointF p3, PointF& centre, float& radius);

// Crossing of line p-q with line r-s. Fails (false, output untouched) when the
// lines are parallel.
bool LineIntersection(PointF p, PointF q, PointF r, PointF s, PointF& crossing);
