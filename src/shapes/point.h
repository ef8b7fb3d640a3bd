#pragma once
// A point of real coordinates: stored in single precision, computed in double.

struct PointF {
    float x = 0.0f;
    float y = 0.0f;
};
