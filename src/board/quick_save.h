#pragma once
// Ctrl+S on the board: the board is written at once, without a dialog, as a
// PNG named by the date and time into the quick-save folder (the setting
// 全局 / 快速保存目录, or the user's Pictures folder's "画板", made when
// needed). The write is atomic and a failure is told once, as the save
// dialog's save does. The saved name shows on the window for a moment, in a
// small window of its own over the board: never in the picture.

#include <windows.h>

#include <string>

class DrawingBoard;

// The folder quick saves go to (GBK, no final backslash).
std::string QuickSaveFolder();
// The first name for `time` that is not taken in `folder`: the plain one,
// then "_2", "_3", ... The full path.
std::string FreeQuickSavePath(const std::string& folder, const SYSTEMTIME& time);
// Saves the board now (board thread). The path written, or empty on failure.
std::string QuickSaveBoard(DrawingBoard& b);
// The name shown on the board after a quick save (null when none is shown).
HWND QuickSaveNotice();
