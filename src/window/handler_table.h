#pragma once
// Per-(window, message) handler routines for the windows that RawWindow makes.
// The table is shared by every window thread; it is guarded internally and the
// guard is never held while a routine runs (a routine may register handlers).

#include <windows.h>

#include <cstddef>

// A handler gets the window and either (wParam, lParam) or the two extra values.
// Its result is ignored; the message number is not passed.
using HandlerRoutine = void (*)(HWND window, WPARAM first, LPARAM second);

// Appends `routine` to the list for (window, message). Refused (false, nothing
// changes) when the window does not exist. directReturn / passExtra and, when
// passExtra is true, extra1 / extra2 overwrite the values of earlier registrations.
bool RegisterHandler(HWND window, UINT message, HandlerRoutine routine, bool directReturn = false,
                     bool passExtra = false, int extra1 = 0, int extra2 = 0);

// Calls the routines for (window, message) in registration order. Returns true
// when the message must be answered with 0 without default processing.
bool DispatchHandlers(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Forgets every registration of the window (called at WM_DESTROY).
void RemoveHandlers(HWND window);

// How many routines are registered for (window, message), and how many
// (window, message) keys the window has. For checks and tests.
std::size_t HandlerRoutineCount(HWND window, UINT message);
std::size_t HandlerKeyCount(HWND window);
