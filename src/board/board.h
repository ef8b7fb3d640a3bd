#pragma once
// The drawing board: a borderless window on a thread of its own that shows a
// frozen picture (the screen, a picture file or the clipboard's picture) and
// lets the user draw over it. At most one board exists at a time.
//
// Threads: the board window, its state and its canvases belong to the board
// thread while a board exists. Operations called from another thread (the
// toolbox) hand their work to the board thread by sending it a private
// message, so every step still runs in the stated order, one at a time.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class Canvas;

// Private message by which the toolbox posts a setting change (wParam code
// 51-56, lParam value) to the board.
constexpr UINT BoardSettingMessage = 0x8075;
// Private message that runs a routine on the board thread (lParam points to
// the work; sent, never posted).
constexpr UINT kBoardRunMessage = 0x8076;

// The current board window, or null.
extern std::atomic<HWND> BoardWindow;

// True while the board window handle names a live window.
bool BoardExists();
// True on the thread that runs the board window.
bool OnBoardThread();

// Runs `work` on the board thread when a board exists and the caller is on
// another thread (waiting for it to finish); otherwise runs it here.
void RunOnBoardThread(const std::function<void()>& work);

// Processes the calling thread's pending messages.
void ProcessPendingMessages();
// Waits `milliseconds` while processing messages.
void WaitProcessingMessages(DWORD milliseconds);

// ---- board operations ----

// Makes a board from the primary screen; only re-highlights the previous
// palette cell when a board exists.
void CaptureToBoard();
// Asks for a picture file and makes (or refills) the board from it.
void OpenPictureBoard();
// The board from a picture file without asking (what OpenPictureBoard does
// once a file is chosen). False, with everything left as it was, when the
// file cannot be read, does not decode or is too large.
bool OpenPictureBoardFile(const std::string& path);
// Makes (or refills) the board from the clipboard's picture. False, with
// everything left as it was, when the clipboard holds no usable picture.
bool PasteClipboardBoard();
// Puts the board back to its starting picture.
void ClearBoard();
// Closes the board window and selects the pen again.
void CloseBoard();
// Puts BoardCanvas on the clipboard as a bitmap.
void CopyBoardToClipboard();
// Ends the program: menus, mouse hook, settings, exit code 0.
[[noreturn]] void ExitProgram();

// The clear of the board: back to the starting picture (the application of
// the transient clearing tool, on the board thread).
void ApplyClear();

// Prepares PictureCanvas for the curve tool or the eraser.
void PreparePictureCanvas();

// Canvas helpers of the drawing model (board thread).
// Copies all of `source` onto `dest` at (0,0) in one block copy; nothing when
// either is not created.
void CopyWholeCanvas(Canvas& dest, const Canvas& source);
void RestoreBoardCanvas();  // BackCanvas onto BoardCanvas
void CommitBoardCanvas();   // BoardCanvas onto BackCanvas
void ShowBoardCanvas();     // BoardCanvas into the board window, when it exists
void SendBoardPaint();      // WM_PAINT to the board window, when it exists

// Applies pen, brush and text settings to BoardCanvas and BackCanvas.
void ApplySettingsToCanvases();

// The open dialog's filter, '|'-separated.
extern const char* const kOpenPictureFilter;

// Window position that centres a board of `board` size on a screen of
// `screen` size (halves truncated toward zero; negative when larger).
POINT CenteredBoardPosition(SIZE screen, SIZE board);

// Test seam: waits up to `timeoutMs` (processing messages) until the board
// has finished its set-up; true when it has.
bool WaitForBoardReady(DWORD timeoutMs);
// Test seam: waits until no board window exists and its thread has ended.
bool WaitForBoardGone(DWORD timeoutMs);
