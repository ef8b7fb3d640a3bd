#include "shapes/arcs.h"

#include <algorithm>
#include <cmath>

#include "shapes/geometry.h"

namespace {

ArcFigure LineFigure(PointF from, PointF to) {
    ArcFigure f;
    f.kind = ArcFigure::Kind::Line;
    f.from = from;
    f.to = to;
    return f;
}

// Angular distance between two directions, 0..180.
double AngleApart(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

ArcFigure SweepAroundCentre(ArcState& arc, ArcTool tool, POINT cursor, bool shift) {
    const PointF q = ToPointF(cursor);
    arc.radius = static_cast<float>(Distance(arc.centre, arc.first));
    arc.startAngle = static_cast<float>(AngleOf(arc.centre, arc.first, true));
    arc.endAngle = static_cast<float>(AngleOf(arc.centre, q, true));
    const double a0 = arc.startAngle;

    // Back within a degree of the start (from either side, across 0 as well):
    // nothing to draw, and the next movement chooses the direction afresh.
    if (AngleApart(arc.endAngle, a0) - 1.0 < -kEpsilon) {
        arc.directionSamples.clear();
        return ArcFigure{};
    }

    if (arc.directionSamples.size() < 3) {
        if (arc.directionSamples.empty()) {
            arc.directionSamples.push_back(arc.first);
        } else {
            const PointF onCircle = PointOnCircle(arc.centre, arc.radius, arc.endAngle, true);
            arc.second = onCircle;
            const PointF last = arc.directionSamples.back();
            if (onCircle.x != last.x || onCircle.y != last.y)
                arc.directionSamples.push_back(onCircle);
        }
        return ArcFigure{};
    }

    if (shift) arc.endAngle = static_cast<float>(SnapAngleTo45(arc.endAngle));
    const std::vector<PointF>& s = arc.directionSamples;
    const bool counterClockwise = Orientation(s[0], s[1], s[2], true) >= -kEpsilon;

    double start = a0;
    double end = arc.endAngle;
    if (counterClockwise) {
        if (end < start) end += 360.0;
    } else {
        if (start > end) end -= 360.0;
        std::swap(start, end);  // drawn counter-clockwise from the cursor back to the start
    }
    arc.endAngle = static_cast<float>(counterClockwise ? end : start);

    ArcFigure f;
    f.kind = (tool == ArcTool::Pie) ? ArcFigure::Kind::Pie : ArcFigure::Kind::CircleArc;
    f.centre = arc.centre;
    f.radius = arc.radius;
    f.startDeg = start;
    f.endDeg = end;
    return f;
}

ArcFigure SweepThroughCursor(ArcState& arc, POINT cursor) {
    const PointF q = ToPointF(cursor);
    PointF centre;
    float radius = 0.0f;
    // !(r <= max) also sends a non-finite radius to the chord.
    if (!CircleThroughPoints(arc.first, q, arc.second, centre, radius) ||
        !(radius <= kMaxArcRadius)) {
        return LineFigure(arc.first, arc.second);
    }
    arc.centre = centre;
    arc.radius = radius;
    ArcFigure f;
    f.kind = ArcFigure::Kind::CenterArc;
    f.centre = centre;
    f.radius = radius;
    if (Orientation(arc.first, q, arc.second, true) >= -kEpsilon) {
        f.from = arc.first;
        f.to = arc.second;
    } else {
        f.from = arc.second;
        f.to = arc.first;
    }
    return f;
}

}  // namespace

RECT CircleBox(PointF centre, double radius) {
    return RECT{static_cast<LONG>(centre.x - radius), static_cast<LONG>(centre.y - radius),
                static_cast<LONG>(centre.x + radius), static_cast<LONG>(centre.y + radius)};
}

double SnapAngleTo45(double a) {
    return 45.0 * std::round(a / 45.0);
}

void BeginSweep(ArcState& arc, ArcTool tool, POINT anchor, POINT release) {
    if (tool == ArcTool::ThreePoint) {
        arc.first = ToPointF(anchor);
        arc.second = ToPointF(release);
    } else {
        arc.centre = ToPointF(anchor);
        arc.first = ToPointF(release);
    }
    arc.directionSamples.clear();
    arc.phase = 1;
}

ArcFigure SweepArc(ArcState& arc, ArcTool tool, POINT cursor, bool shift) {
    if (tool == ArcTool::ThreePoint) return SweepThroughCursor(arc, cursor);
    return SweepAroundCentre(arc, tool, cursor, shift);
}

void EndSweep(ArcState& arc) {
    arc.directionSamples.clear();
    arc.phase = 0;
}
