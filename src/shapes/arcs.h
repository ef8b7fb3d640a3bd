#pragma once
// The pie, three-point arc and radius arc: a first drag fixes two points, then
// the arc is swept with the pointer until the next release. Pure: the sweep
// says what to draw (an ArcFigure); the board draws it.

#include <windows.h>

#include <vector>

#include "shapes/point.h"

// Circles above this radius are drawn as their straight chord. Three nearly
// collinear points give enormous radii; the arc's box would then sit near the
// limits of the platform's 32-bit coordinates (or beyond them) while the arc
// itself differs from the chord by a few pixels at most: a chord of 4000
// pixels on a circle of this radius bulges by 2 pixels.
inline constexpr double kMaxArcRadius = 1e6;

// One thing to draw for an arc tool, in board pixels (reals are truncated
// when drawn).
struct ArcFigure {
    enum class Kind {
        None,       // nothing (an empty sweep, or the direction not known yet)
        Line,       // from -> to
        Pie,        // the pie of the circle (centre, radius), startDeg to endDeg
        CircleArc,  // the arc of the circle (centre, radius), startDeg to endDeg
        CenterArc,  // the arc about centre from `from` to `to`
    };
    Kind kind = Kind::None;
    PointF centre;
    double radius = 0.0;
    // Degrees, counter-clockwise on the screen from the positive x axis; the
    // platform draws from start to end counter-clockwise.
    double startDeg = 0.0;
    double endDeg = 0.0;
    PointF from;
    PointF to;
};

// The bounding box of a circle, each side truncated, as the pie is drawn in.
RECT CircleBox(PointF centre, double radius);

enum class ArcTool { Pie, ThreePoint, Radius };

// State shared by the pie, three-point arc and radius arc tools between the
// first drag and the sweep.
struct ArcState {
    int phase = 0;  // 0: waiting for / in the first drag; 1: sweeping
    PointF centre;
    float radius = 0.0f;
    PointF first;
    PointF second;
    float startAngle = 0.0f;  // degrees
    float endAngle = 0.0f;
    // The first three distinct points on the circle after the sweep began
    // (never more): they tell which way the user is turning.
    std::vector<PointF> directionSamples;
};

// The release of the first drag (anchor -> release point): the pie and the
// radius arc take the anchor as centre and the release point on the circle;
// the three-point arc takes them as the two ends. Phase becomes 1.
void BeginSweep(ArcState& arc, ArcTool tool, POINT anchor, POINT release);

// The arc for the pointer at `cursor` in phase 1. For the pie and the radius
// arc the direction of the sweep is learnt from the first three distinct
// points on the circle and holds until the pointer comes back within one
// degree of the start angle; with `shift` the end angle snaps to a multiple
// of 45 degrees. The three-point arc runs from one end to the other through
// the cursor, or is the straight chord when the cursor is on the chord's line
// or the circle is larger than kMaxArcRadius.
ArcFigure SweepArc(ArcState& arc, ArcTool tool, POINT cursor, bool shift);

// The release that ends the sweep: the direction is forgotten, phase 0.
void EndSweep(ArcState& arc);

// a rounded to the nearest multiple of 45 degrees, halves away from zero.
double SnapAngleTo45(double a);
