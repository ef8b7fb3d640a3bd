#pragma once
// The board thread's side of a board's life, for the board window
// (board_window.cpp): the window says when it is up and when its set-up is
// done. The thread itself, its start and the waits for it are board.h's.

#include <windows.h>

// The window is made: from here on other threads may hand the board work.
// Board thread.
void BoardWindowUp(HWND window);
// The set-up is done: waiters for a ready board go on. Board thread.
void BoardSetUpDone();
