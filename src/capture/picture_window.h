#pragma once
// Picture windows: a region screenshot ends in a small borderless window
// that shows the captured rectangle at its own size, opens centred on the
// mouse and stays until closed. Each has its own Canvas and its own thread;
// any number can be open. The right button opens its menu (topmost on or
// off, copy to the clipboard, save to a file, back to its own size, close);
// the left button drags it; Esc closes it. The wheel zooms it about the
// pointer and Ctrl+wheel fades it; copying and saving always give the
// picture's own pixels at its own size.
//
// PictureWindowList is shared by the toolbox's thread and the windows'
// threads and guarded by one lock. Each window's entry is handed to its own
// thread when the thread starts, so two screenshots in quick succession each
// show their own picture.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/canvas.h"

struct PictureWindowEntry {
    HWND window = nullptr;             // set during the window's set-up
    std::vector<std::uint8_t> picture;  // BMP (or picture) file bytes
    int width = 0;
    int height = 0;
    Canvas canvas;
    POINT centre{};                    // the mouse point the window opens on
    bool creating = true;              // until its set-up has run
    // How the window shows it (its own thread's): the scale of the picture's
    // own size, the opacity in percent and the part of a wheel notch not yet
    // acted on.
    double scale = 1.0;
    int opacity = 100;
    int wheelRest = 0;
};

// Menu ids of the picture-window menu.
constexpr int kPictureTopmostId = 131;
constexpr int kPictureNotTopmostId = 132;
constexpr int kPictureCopyId = 133;
constexpr int kPictureSaveId = 134;
constexpr int kPictureCloseId = 135;
constexpr int kPictureActualSizeId = 136;  // "原始大小": back to the picture's own size

// Adds an entry for `picture` and starts its window's thread. False (nothing
// added) when the bytes state no picture size.
bool OpenPictureWindow(std::vector<std::uint8_t> picture, POINT centre);

// The region-screenshot command after the toolbox has stepped aside (on a
// thread that does nothing else: the selection is modal): runs the selection
// and, when a region was chosen, shows its pixels in a new picture window
// centred on `mousePoint()`, whether or not the clipboard took a copy. True
// when one opened.
bool TakeRegionScreenshot(bool rememberRegion, POINT (*mousePoint)(), DWORD timeLimitMs = 0);

// Snapshots of the list (any thread).
std::size_t PictureWindowCount();
// The windows whose set-up has run, oldest first.
std::vector<HWND> PictureWindows();
// The entry of a window (shared: it stays valid while held), or null.
std::shared_ptr<PictureWindowEntry> FindPictureWindow(HWND window);

// The close rule, applied to `list` under the list's lock: takes out the
// entry of the `closing` window and every entry whose window has gone
// without closing, newest first; an entry whose window is still being made
// stays. Returns what it took out.
std::vector<std::shared_ptr<PictureWindowEntry>> SweepClosedPictureWindows(
    std::vector<std::shared_ptr<PictureWindowEntry>>& list, HWND closing);

// The window's menu commands (WM_COMMAND; wParam is the item id).
void PictureWindowCommand(HWND window, WPARAM id, LPARAM unused);
