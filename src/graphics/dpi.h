#pragma once
// Dots per inch: how the program's own sizes follow the scale of the monitor
// a window is on. Sizes are designed at 96 DPI (100 %); at another DPI every
// length and every coordinate of a layout is scaled by dpi / 96 and rounded
// to the nearest pixel, so 96 DPI gives the designed sizes exactly and a
// scaled layout keeps its proportions (edges are scaled, not sizes, so
// neighbouring rectangles still meet).
//
// Pictures of the screen (the board, a region screenshot) are never scaled:
// they are the screen's own pixels at any DPI.

#include <windows.h>

constexpr int kBaseDpi = 96;

// A usable DPI: 0 or less (a failed query) gives 96; the rest is kept within
// 24..960 (25 % .. 1000 %).
int NormalizeDpi(int dpi);

// `value`, designed at 96 DPI, at `dpi`: value * dpi / 96 rounded to the
// nearest integer, halves away from zero.
int ScaleForDpi(int value, int dpi);
// Every edge of `rect` scaled.
RECT ScaleRectForDpi(const RECT& rect, int dpi);

// ---- the platform's answer (any thread) ----
// Each asks the newest interface the running Windows has, looked up at run
// time (older systems lack them): the window's own DPI, then its monitor's,
// then the DPI of a device context (the system DPI).

// The DPI of the monitor `window` is on.
int DpiOfWindow(HWND window);
// The DPI of the monitor that holds the screen point `p` (the nearest one).
int DpiAtPoint(POINT p);
// The system DPI (the primary monitor's when the program started).
int SystemDpi();
