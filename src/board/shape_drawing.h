#pragma once
// Thin routines that draw the shape outlines onto a Canvas with its current pen
// and brush. They neither restore nor show anything; the board does that.
// Each answers the rectangle it may have drawn in (client pixels, not clipped
// to the canvas), so the board restores and shows only that.

#include <windows.h>

#include <span>
#include <vector>

#include "graphics/canvas.h"
#include "shapes/arcs.h"
#include "shapes/curves.h"
#include "shapes/outlines.h"

// One line with the current pen.
RECT DrawLine(Canvas& canvas, POINT from, POINT to);
RECT DrawArrow(Canvas& canvas, POINT tail, POINT tip, int arrowLength, int arrowAngle);
// The box and then its interior table lines, all with the current pen.
RECT DrawTableRectangle(Canvas& canvas, POINT corner, POINT cursor, int rows, int columns);
// `cornerSize` is the width and height of the corner ellipse.
RECT DrawRoundedBox(Canvas& canvas, POINT corner, POINT cursor, int cornerSize);
RECT DrawEllipseBox(Canvas& canvas, POINT corner, POINT cursor);
RECT DrawCircleFromDrag(Canvas& canvas, POINT anchor, POINT cursor, bool centred);
// Regular polygon (star false) or the star joining every k-th vertex (star
// true). The vertex lists are caller storage, refilled on every call.
RECT DrawRegularPolygon(Canvas& canvas, POINT centre, POINT firstVertex, int n, bool star,
                        std::vector<PointF>& real, std::vector<POINT>& pixels);
// One-pixel solid cross of half-size k at p in the pen colour; the pen width is
// set back to `penWidthAfter` (the user's pen width) afterwards.
RECT DrawCrosshair(Canvas& canvas, POINT p, int k, int penWidthAfter);

// An arc tool's figure (a line, pie or arc) with the current pen and brush;
// nothing for an empty figure.
RECT DrawArcFigure(Canvas& canvas, const ArcFigure& figure);
// MoveTo(start), then the whole cubic segments of `points`.
RECT DrawBezierPath(Canvas& canvas, POINT start, std::span<const POINT> points);
// Each guide line with the current pen.
RECT DrawGuideLines(Canvas& canvas, const GuideLines& guide);
// The one-pixel dashed pen of the guides and previews; the crosshair drawn
// after them sets the pen back.
void UseDashedPen(Canvas& canvas);
