#pragma once
// Start-up: the steps from process start to the first window, in order.

#include <windows.h>

// Runs the start-up steps (screen size, eyedropper spectrum, settings, fixed values, menu captions, toolbox). Returns 0.
int StartRoutine();

// The main thread's message loop; returns the quit code.
int RunMessageLoop();

// ---- the individual steps (also used by the tests) ----

// ScreenSize from the primary screen.
void ReadScreenSize();
// PalettePicture drawn on a canvas of its own.
void BuildEyedropperSpectrum();
// cornerRadiusMax, polygonVertices, starVertices and the table lines: set on
// every start, never saved.
void SetUnsavedSettings();
// The 31 rows of the board menu's captions (the list is emptied first).
void FillMenuItemList();

