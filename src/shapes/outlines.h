#pragma once
// Outlines of the straight and closed shapes: pure point computations. The
// routines that draw them onto a canvas live with the board's tools.

#include <windows.h>

#include <vector>

#include "shapes/point.h"

// ---- arrow ----

struct ArrowHead {
    int length = 0;   // barb length actually used
    POINT barb1{};    // end of the barb at +angle from the shaft (truncated)
    POINT barb2{};    // end of the barb at -angle from the shaft
};
// Barbs of length `arrowLength`, or the shaft length truncated when the shaft
// is shorter, so a head never reaches past the tail. Both barbs end at `tip`.
ArrowHead ArrowHeadPoints(POINT tail, POINT tip, int arrowLength, int arrowAngle);

// ---- rectangle with table lines ----

struct Segment {
    POINT from{};
    POINT to{};
};
// The i-th (1-based) of `rows` interior horizontal lines of the box
// corner-cursor; they split its height into rows + 1 equal bands. Each runs
// from corner.x to cursor.x.
Segment TableRowLine(POINT corner, POINT cursor, int rows, int i);
// The i-th (1-based) of `columns` interior vertical lines, corner.y to cursor.y.
Segment TableColumnLine(POINT corner, POINT cursor, int columns, int i);

// ---- circle ----

struct CircleSpec {
    double cx = 0.0;
    double cy = 0.0;
    double radius = 0.0;
};
// Without centred the drag is a diameter; with centred the anchor is the
// centre and the cursor lies on the circle.
CircleSpec CircleFromDrag(POINT anchor, POINT cursor, bool centred);

// ---- regular polygon and star ----

// n vertices around `centre`, the first on `firstVertex`, the others following
// counter-clockwise on the screen. Both lists are refilled (storage reused).
void RegularPolygonVertices(POINT centre, POINT firstVertex, int n, std::vector<PointF>& real,
                            std::vector<POINT>& pixels);
