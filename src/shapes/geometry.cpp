#include "shapes/geometry.h"

#include <cmath>

PointF ToPointF(POINT p) {
    return PointF{static_cast<float>(p.x), static_cast<float>(p.y)};
}

POINT ToPixel(PointF p) {
    // Casting a real to an integer truncates toward zero, which is the rule.
    return POINT{static_cast<LONG>(p.x), static_cast<LONG>(p.y)};
}

double Distance(PointF a, PointF b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

double AngleOf(PointF from, PointF to, bool flip) {
    const double dx = static_cast<double>(to.x) - from.x;
    const double dy = static_cast<double>(to.y) - from.y;
    double a = 0.0;
    if (dx != 0.0 || dy != 0.0) {
        // dx == 0 gives +-infinity here and so +-90 degrees.
        a = std::atan(dy / dx) * 180.0 / kPi;
    }
    // (0/0 would be NaN; coincident points are defined to point along 0.)
    if (a < -kEpsilon) a += 180.0;
    if (dy < -kEpsilon) a += 180.0;
    if (std::fabs(a) <= kEpsilon) a = (dx < -kEpsilon) ? 180.0 : 0.0;
    if (flip) {
        a = std::fmod(360.0 - a, 360.0);
        if (a < 0.0) a += 360.0;  // never for a in [0, 360]; keeps the range promise
    }
    return a;
}

PointF PointOnCircle(PointF centre, double r, double a, bool flip) {
    const double t = a * kPi / 180.0;
    const double x = centre.x + r * std::cos(t);
    const double y = flip ? centre.y - r * std::sin(t) : centre.y + r * std::sin(t);
    return PointF{static_cast<float>(x), static_cast<float>(y)};
}

float Orientation(PointF p1, PointF p2, PointF p3, bool negate) {
    const double v = (static_cast<double>(p2.x) - p1.x) * (static_cast<double>(p3.y) - p2.y) -
                     (static_cast<double>(p2.y) - p1.y) * (static_cast<double>(p3.x) - p2.x);
    return static_cast<float>(negate ? -v : v);
}

float SideOf(PointF p, PointF q, PointF r) {
    const double v = (static_cast<double>(q.x) - r.x) * (static_cast<double>(p.y) - q.y) -
                     (static_cast<double>(p.x) - q.x) * (static_cast<double>(q.y) - r.y);
    return static_cast<float>(v);
}

bool CircleThroughPoints(PointF p1, PointF p2, PointF p3, PointF& centre, float& radius) {
    const double d12 = Distance(p1, p2);
    const double d13 = Distance(p1, p3);
    const double d23 = Distance(p2, p3);
    if (!(d12 > kEpsilon && d13 > kEpsilon && d23 > kEpsilon)) return false;
    if (!(d12 + d13 - d23 > kEpsilon && d12 + d23 - d13 > kEpsilon &&
          d13 + d23 - d12 > kEpsilon)) {
        return false;  // collinear
    }

    // The bisector slopes below divide by p2.y - p1.y and p3.y - p1.y; pick the
    // rotation of the roles in which neither is zero.
    bool accepted = false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (p1.y == p2.y || p1.y == p3.y) {
            const PointF first = p1;
            p1 = p2;
            p2 = p3;
            p3 = first;
            continue;
        }
        accepted = true;
        break;
    }
    if (!accepted) return false;

    const PointF m1{static_cast<float>((static_cast<double>(p1.x) + p2.x) / 2.0),
                    static_cast<float>((static_cast<double>(p1.y) + p2.y) / 2.0)};
    const PointF m2{static_cast<float>((static_cast<double>(p1.x) + p3.x) / 2.0),
                    static_cast<float>((static_cast<double>(p1.y) + p3.y) / 2.0)};
    const double k1 = -(static_cast<double>(p2.x) - p1.x) / (static_cast<double>(p2.y) - p1.y);
    const double k2 = -(static_cast<double>(p3.x) - p1.x) / (static_cast<double>(p3.y) - p1.y);
    if (std::fabs(k1 - k2) <= kEpsilon) return false;

    const double cx =
        (static_cast<double>(m2.y) - m1.y - k2 * m2.x + k1 * m1.x) / (k1 - k2);
    const double cy =
        m1.y + k1 * (static_cast<double>(m2.y) - m1.y - k2 * m2.x + k2 * m1.x) / (k1 - k2);
    const PointF c{static_cast<float>(cx), static_cast<float>(cy)};
    const double rx = static_cast<double>(c.x) - p1.x;
    const double ry = static_cast<double>(c.y) - p1.y;
    centre = c;
    radius = static_cast<float>(std::sqrt(rx * rx + ry * ry));
    return true;
}

bool LineIntersection(PointF p, PointF q, PointF r, PointF s, PointF& crossing) {
    const double a1 = static_cast<double>(q.y) - p.y;
    const double b1 = static_cast<double>(p.x) - q.x;
    const double a2 = static_cast<double>(s.y) - r.y;
    const double b2 = static_cast<double>(r.x) - s.x;
    const double det = a1 * b2 - a2 * b1;
    if (std::fabs(det) <= kEpsilon) return false;
    const double c1 = a1 * p.x + b1 * p.y;
    const double c2 = a2 * r.x + b2 * r.y;
    crossing = PointF{static_cast<float>((b2 * c1 - b1 * c2) / det),
                      static_cast<float>((a1 * c2 - a2 * c1) / det)};
    return true;
}
