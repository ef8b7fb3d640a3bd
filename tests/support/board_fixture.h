#pragma once
// Shared set-up for the board, keyboard, menu, hotkey and clipboard tests:
// the process-wide objects as start-up leaves them, a fresh board state per
// test, real board windows driven by real messages, and small picture helpers.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"
#include "graphics/canvas.h"
#include "support/helpers.h"

namespace board_test {

// The shared helpers (support/helpers.h), also under this namespace's name.
using ::ScreenPixel;
using ::WaitUntil;
using ::WriteBytes;

// A file in the tests' own temporary folder.
std::string TempPath(const std::string& name);

// A complete 32-bit BMP file image of one colour; `marker` (when not
// 0xFFFFFFFF) is put at pixel (0, 0) so orientation can be checked.
std::vector<std::uint8_t> SolidBmp(int width, int height, COLORREF color,
                                   COLORREF marker = 0xFFFFFFFF);

// Reading BMP file images made by the program (bottom-up, BI_RGB).
struct BmpInfo {
    bool ok = false;
    std::uint32_t fileSize = 0;
    std::uint32_t pixelOffset = 0;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::uint32_t imageSize = 0;
};
BmpInfo ReadBmpInfo(const std::vector<std::uint8_t>& bytes);
// Pixel (x, y) (top-left origin) of a 24- or 32-bit BMP file image.
COLORREF BmpPixel(const std::vector<std::uint8_t>& bytes, int x, int y);

// A visible, topmost popup window of one colour on the calling thread, so a
// screen capture has something known to find.
class ColorPatch {
public:
    ColorPatch(RECT rect, COLORREF color);
    ~ColorPatch();
    ColorPatch(const ColorPatch&) = delete;
    ColorPatch& operator=(const ColorPatch&) = delete;
    // Repaints it and waits until the screen shows the new colour.
    bool Recolor(COLORREF color);
    bool Shown() const;  // the screen shows it
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
    RECT rect_{};
    COLORREF color_ = 0;
};

// Messages to the board window (sent, after what is posted there already:
// they have been handled on return).
// A setting changed as the toolbox changes it, handled by the board on return.
void SetSetting(SettingCode code, int value);
LRESULT SendToBoard(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void KeyDown(WPARAM key);
void KeyUp(WPARAM key);
void PressKey(WPARAM key);  // down and up
// A left-button drag from `from` to `to` through the real pointer handlers.
void Drag(POINT from, POINT to);

// The program's board listener, but with the brush type the board announces
// handed to `chosen` instead of the toolbox (until the fixture's tear-down).
void CatchBrushTypes(void (*chosen)(int index));

// Every pixel of a canvas equals the other's.
bool SameCanvasPixels(Canvas& a, Canvas& b);

// ---- the live board, reached on its own thread ----

// Runs `work` with the live board on the board thread, after everything
// queued there already; a test failure when there is no board.
void OnBoard(const std::function<void(DrawingBoard&)>& work);
// The board's current tool (after what is queued), or the chosen tool when
// no board exists.
int CurrentTool();
// A copy of the board's state (after what is queued).
BoardState BoardStateNow();
// `holds` is true of both the board and the back canvas (after what is queued).
bool BothCanvases(const std::function<bool(Canvas&)>& holds);
// Makes `tool` current without the switch's actions (as a board keeps its
// tool when a setting changes, say).
void SetCurrentToolDirectly(int tool);
COLORREF BoardPixel(int x, int y);  // of the board canvas
COLORREF BackPixel(int x, int y);   // of the back canvas
SIZE LiveBoardSize();
// The board canvas shows exactly the committed drawing.
bool BoardMatchesBack();
bool PictureCanvasCreated();
// The starting picture as a BMP file image.
std::vector<std::uint8_t> StartPictureBytes();

// The fixture: start-up state once per process, a fresh state per test, and
// no board left behind.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // CaptureToBoard and the board window it made (checks that it did).
    HWND CaptureBoard();
    std::string configPath_;
};

}  // namespace board_test
