#include "board/shape_drawing.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "board/areas.h"
#include "shapes/geometry.h"

namespace {

int PenOf(Canvas& canvas) { return canvas.PenWidth(); }

// The box of a circle, as a pen of the canvas's width draws it. A circle too
// large for the coordinates (an arc through three nearly collinear points)
// is held to a range beyond any board.
RECT CircleArea(Canvas& canvas, double cx, double cy, double radius) {
    static constexpr double kFar = 1 << 24;
    auto held = [](double v) { return static_cast<LONG>(std::clamp(v, -kFar, kFar)); };
    const double r = std::abs(radius) + 1.0;
    return PenArea({POINT{held(cx - r), held(cy - r)}, POINT{held(cx + r), held(cy + r)}},
                   PenOf(canvas));
}

}  // namespace

RECT DrawLine(Canvas& canvas, POINT from, POINT to) {
    canvas.Line(from.x, from.y, to.x, to.y);
    return PenArea({from, to}, PenOf(canvas));
}

RECT DrawArrow(Canvas& canvas, POINT tail, POINT tip, int arrowLength, int arrowAngle) {
    canvas.Line(tail.x, tail.y, tip.x, tip.y);
    const ArrowHead head = ArrowHeadPoints(tail, tip, arrowLength, arrowAngle);
    canvas.Line(head.barb1.x, head.barb1.y, tip.x, tip.y);
    canvas.Line(head.barb2.x, head.barb2.y, tip.x, tip.y);
    return PenArea({tail, tip, head.barb1, head.barb2}, PenOf(canvas));
}

RECT DrawTableRectangle(Canvas& canvas, POINT corner, POINT cursor, int rows, int columns) {
    canvas.Rectangle(corner.x, corner.y, cursor.x, cursor.y);
    // The counts have no upper bound; once there are more lines than pixels
    // they fall on each other, and a line already drawn is not drawn again.
    LONG last = LONG_MIN;
    for (int i = 1; i <= rows; ++i) {
        const Segment s = TableRowLine(corner, cursor, rows, i);
        if (i > 1 && s.from.y == last) continue;
        last = s.from.y;
        canvas.Line(s.from.x, s.from.y, s.to.x, s.to.y);
    }
    for (int i = 1; i <= columns; ++i) {
        const Segment s = TableColumnLine(corner, cursor, columns, i);
        if (i > 1 && s.from.x == last) continue;
        last = s.from.x;
        canvas.Line(s.from.x, s.from.y, s.to.x, s.to.y);
    }
    // The table lines lie inside the box.
    return PenArea({corner, cursor}, PenOf(canvas));
}

RECT DrawRoundedBox(Canvas& canvas, POINT corner, POINT cursor, int cornerSize) {
    canvas.RoundRect(corner.x, corner.y, cursor.x, cursor.y, cornerSize, cornerSize);
    return PenArea({corner, cursor}, PenOf(canvas));
}

RECT DrawEllipseBox(Canvas& canvas, POINT corner, POINT cursor) {
    canvas.Ellipse(corner.x, corner.y, cursor.x, cursor.y);
    return PenArea({corner, cursor}, PenOf(canvas));
}

RECT DrawCircleFromDrag(Canvas& canvas, POINT anchor, POINT cursor, bool centred) {
    const CircleSpec c = CircleFromDrag(anchor, cursor, centred);
    canvas.Circle(c.cx, c.cy, c.radius);
    return CircleArea(canvas, c.cx, c.cy, c.radius);
}

RECT DrawRegularPolygon(Canvas& canvas, POINT centre, POINT firstVertex, int n, bool star,
                        std::vector<PointF>& real, std::vector<POINT>& pixels) {
    RegularPolygonVertices(centre, firstVertex, n, real, pixels);
    if (pixels.empty()) return RECT{};
    if (star) {
        canvas.StarPolygon(pixels);
    } else {
        canvas.Polygon(pixels);
    }
    return PenArea(pixels, PenOf(canvas));
}

RECT DrawCrosshair(Canvas& canvas, POINT p, int k, int penWidthAfter) {
    canvas.PenWidth(0);
    canvas.PenStyle(0);
    canvas.Line(p.x - k, p.y, p.x + k + 1, p.y);
    canvas.Line(p.x, p.y - k, p.x, p.y + k + 1);
    canvas.PenWidth(penWidthAfter);
    return PenArea({POINT{p.x - k, p.y - k}, POINT{p.x + k + 1, p.y + k + 1}}, 0);
}

RECT DrawArcFigure(Canvas& canvas, const ArcFigure& f) {
    switch (f.kind) {
    case ArcFigure::Kind::None:
        break;
    case ArcFigure::Kind::Line: {
        const POINT a = ToPixel(f.from), b = ToPixel(f.to);
        canvas.Line(a.x, a.y, b.x, b.y);
        return PenArea({a, b}, PenOf(canvas));
    }
    case ArcFigure::Kind::Pie: {
        const RECT box = CircleBox(f.centre, f.radius);
        canvas.PieAngles(box.left, box.top, box.right, box.bottom, f.startDeg, f.endDeg);
        return CircleArea(canvas, f.centre.x, f.centre.y, f.radius);
    }
    case ArcFigure::Kind::CircleArc:
        canvas.CircleArc(f.centre.x, f.centre.y, f.radius, f.startDeg, f.endDeg);
        return CircleArea(canvas, f.centre.x, f.centre.y, f.radius);
    case ArcFigure::Kind::CenterArc: {
        canvas.CenterArc(f.centre.x, f.centre.y, f.from.x, f.from.y, f.to.x, f.to.y);
        const double r = std::hypot(f.from.x - f.centre.x, f.from.y - f.centre.y);
        return CircleArea(canvas, f.centre.x, f.centre.y, r);
    }
    }
    return RECT{};
}

RECT DrawBezierPath(Canvas& canvas, POINT start, std::span<const POINT> points) {
    canvas.MoveTo(start.x, start.y);
    canvas.PolyBezierTo(points);
    // A cubic segment lies inside the hull of its control points.
    return AreaUnion(PenArea({start}, PenOf(canvas)), PenArea(points, PenOf(canvas)));
}

RECT DrawGuideLines(Canvas& canvas, const GuideLines& guide) {
    RECT area{};
    for (int i = 0; i < guide.count; ++i) {
        const GuideLines::Line& l = guide.lines[static_cast<size_t>(i)];
        canvas.Line(l.from.x, l.from.y, l.to.x, l.to.y);
        area = AreaUnion(area, PenArea({l.from, l.to}, PenOf(canvas)));
    }
    return area;
}

void UseDashedPen(Canvas& canvas) {
    canvas.PenWidth(0);
    canvas.PenStyle(1);
}
