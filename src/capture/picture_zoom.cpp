#include "capture/picture_zoom.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds half up, also for negative screen coordinates.
LONG RoundToPixel(double value) { return static_cast<LONG>(std::floor(value + 0.5)); }

}  // namespace

double ZoomScale(double scale, int notches) {
    const double next = std::clamp(scale * std::pow(kZoomStep, notches), kMinZoom, kMaxZoom);
    // Up and down again by the same notches lands a hair off 1.0.
    return std::fabs(next - 1.0) < 1e-9 ? 1.0 : next;
}

SIZE ZoomedSize(SIZE picture, double scale) {
    return SIZE{std::max<LONG>(RoundToPixel(picture.cx * scale), 1),
                std::max<LONG>(RoundToPixel(picture.cy * scale), 1)};
}

RECT ZoomAbout(const RECT& window, SIZE picture, double scale, POINT pointer) {
    const SIZE now{std::max<LONG>(window.right - window.left, 1),
                   std::max<LONG>(window.bottom - window.top, 1)};
    const SIZE next = ZoomedSize(picture, scale);
    // The middle of the pointer's pixel, as a fraction of the picture, stays
    // where it is on the screen.
    const double fx = (pointer.x + 0.5 - window.left) / now.cx;
    const double fy = (pointer.y + 0.5 - window.top) / now.cy;
    const LONG left = RoundToPixel(pointer.x + 0.5 - fx * next.cx);
    const LONG top = RoundToPixel(pointer.y + 0.5 - fy * next.cy);
    return RECT{left, top, left + next.cx, top + next.cy};
}

int TakeWheelNotches(int& rest, int delta) {
    rest += delta;
    const int notches = rest / kWheelNotch;  // toward zero: a part stays a part
    rest -= notches * kWheelNotch;
    return notches;
}

int StepOpacity(int percent, int notches) {
    const long long next = static_cast<long long>(percent) + static_cast<long long>(notches) * kOpacityStep;
    return static_cast<int>(std::clamp<long long>(next, kMinOpacity, 100));
}

BYTE OpacityAlpha(int percent) {
    return static_cast<BYTE>((std::clamp(percent, 0, 100) * 255 + 50) / 100);
}
