#pragma once
// Moving a board that is smaller (or larger) than the screen: the move-board
// tool hands the drag to the platform, which moves the window as if it were
// dragged by a caption and reports every new position with WM_MOVE.

#include <windows.h>

// WM_MOVE of the board window. During a move-board drag it remembers the new
// client position (signed 16-bit x and y of lParam); when the drag ends the
// window is put at the last position remembered during the drag, so it stays
// where the pointer left it. Outside such a drag (the board being recentred
// for a new picture, say) it does nothing.
void TrackBoardMove(HWND window, LPARAM lParam);
