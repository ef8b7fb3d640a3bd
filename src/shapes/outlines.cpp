#include "shapes/outlines.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "shapes/geometry.h"

ArrowHead ArrowHeadPoints(POINT tail, POINT tip, int arrowLength, int arrowAngle) {
    const PointF tailF = ToPointF(tail);
    const PointF tipF = ToPointF(tip);
    // The barbs point back along the shaft: the angle from the tip to the tail.
    const double theta = AngleOf(tipF, tailF, false);
    const float shaft = static_cast<float>(Distance(tailF, tipF));
    ArrowHead head;
    head.length = (shaft - arrowLength > kEpsilon) ? arrowLength : static_cast<int>(shaft);
    head.barb1 = ToPixel(PointOnCircle(tipF, head.length, theta + arrowAngle, false));
    head.barb2 = ToPixel(PointOnCircle(tipF, head.length, theta - arrowAngle, false));
    return head;
}

Segment TableRowLine(POINT corner, POINT cursor, int rows, int i) {
    const int span = std::abs(corner.y - cursor.y);
    const int top = std::min(corner.y, cursor.y);
    const int y = static_cast<int>(top + static_cast<double>(i) * span / (rows + 1));
    return Segment{POINT{corner.x, y}, POINT{cursor.x, y}};
}

Segment TableColumnLine(POINT corner, POINT cursor, int columns, int i) {
    const int span = std::abs(corner.x - cursor.x);
    const int left = std::min(corner.x, cursor.x);
    const int x = static_cast<int>(left + static_cast<double>(i) * span / (columns + 1));
    return Segment{POINT{x, corner.y}, POINT{x, cursor.y}};
}

CircleSpec CircleFromDrag(POINT anchor, POINT cursor, bool centred) {
    const double d = Distance(ToPointF(anchor), ToPointF(cursor));
    if (centred) return CircleSpec{static_cast<double>(anchor.x), static_cast<double>(anchor.y), d};
    return CircleSpec{(static_cast<double>(cursor.x) + anchor.x) / 2.0,
                      (static_cast<double>(cursor.y) + anchor.y) / 2.0, d / 2.0};
}

void RegularPolygonVertices(POINT centre, POINT firstVertex, int n, std::vector<PointF>& real,
                            std::vector<POINT>& pixels) {
    real.clear();
    pixels.clear();
    if (n <= 0) return;
    const PointF c = ToPointF(centre);
    const float r = static_cast<float>(Distance(c, ToPointF(firstVertex)));
    const float theta0 = static_cast<float>(AngleOf(c, ToPointF(firstVertex), true));
    real.reserve(static_cast<size_t>(n));
    pixels.reserve(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) {
        const double angle = (360.0 / n) * (i - 1) + theta0;
        const PointF v = PointOnCircle(c, r, angle, true);
        real.push_back(v);
        pixels.push_back(ToPixel(v));
    }
}
