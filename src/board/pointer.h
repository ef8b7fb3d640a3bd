#pragma once
// The board's left button, pointer and wheel handlers. Board set-up registers
// them for WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_MOUSEWHEEL and
// WM_MOVE. They decode the message and hand it to the current tool's object
// (board/tools/board_tool.h), which owns what the tool does.
//
// All of them run on the board thread. The keyboard re-runs the current tool's
// pointer move at the last pointer position when a key changes what the
// preview shows.

#include <windows.h>

#include "board/tools/board_tool.h"

class DrawingBoard;

// The context the board's tools act in: the board window, the board state,
// the board and back canvases, and the program's settings.
PointerContext BoardPointerContext(DrawingBoard& b);

void OnLeftDown(HWND window, WPARAM wParam, LPARAM lParam);
void OnPointerMove(HWND window, WPARAM wParam, LPARAM lParam);
void OnLeftUp(HWND window, WPARAM wParam, LPARAM lParam);
void OnWheel(HWND window, WPARAM wParam, LPARAM lParam);
void OnBoardMoved(HWND window, WPARAM wParam, LPARAM lParam);

// Client point of a mouse message: x the low and y the high 16 bits, each
// signed (so a captured pointer left of or above the window is negative).
POINT PointFromLParam(LPARAM lParam);
// One wheel message is one step: -1 when wParam, as a signed 32-bit value, is
// below 1 (a turn towards the user), else +1. The distance is not used.
int WheelStep(WPARAM wParam);
