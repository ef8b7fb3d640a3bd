#pragma once
// The arithmetic of a picture window's wheel, as pure functions over values:
// its zoom (a scale of the picture's own size, kept about the pointer) and
// its opacity. The window shows the picture at the scale; what it copies and
// saves stays the picture itself.

#include <windows.h>

// Each wheel notch multiplies the scale by kZoomStep (a notch down divides),
// within kMinZoom..kMaxZoom of the picture's own size.
constexpr double kZoomStep = 1.1;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 10.0;
// A wheel notch is WHEEL_DELTA; finer wheels send parts of one.
constexpr int kWheelNotch = 120;

// The scale after `notches` notches (negative: down) from `scale`. Back at
// the picture's own size it is exactly 1, whatever rounding the steps left.
double ZoomScale(double scale, int notches);

// The size a picture of `picture` size is shown at `scale`: rounded, and at
// least one pixel each way.
SIZE ZoomedSize(SIZE picture, double scale);

// Where the window showing a picture of `picture` size goes when its scale
// becomes `scale`: `window` is its rectangle now (any size), `pointer` the
// screen point that keeps the same point of the picture under it.
RECT ZoomAbout(const RECT& window, SIZE picture, double scale, POINT pointer);

// The whole notches in `rest` plus `delta` (a wheel message's distance);
// what is left of a notch stays in `rest` for the next message.
int TakeWheelNotches(int& rest, int delta);

// Opacity in percent: kOpacityStep a notch, within kMinOpacity..100. At 100
// the window is an ordinary (not layered) window.
constexpr int kOpacityStep = 10;
constexpr int kMinOpacity = 20;
int StepOpacity(int percent, int notches);
// The layered window's alpha (0..255) for a percentage, rounded.
BYTE OpacityAlpha(int percent);
