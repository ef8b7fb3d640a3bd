#pragma once
// The tools and the board's state record. The record belongs to the board
// object (board/board.h) and so to the board thread: other threads change it
// only through messages to the board window, so handlers never see it
// half-changed.

#include <windows.h>

#include <atomic>
#include <vector>

#include "board/command_ids.h"
#include "shapes/point.h"

enum ToolKind : int {
    ToolPen = 0,
    ToolLine = 1,
    ToolPolyline = 2,
    ToolArrow = 3,
    ToolRectangle = 4,
    ToolRoundRect = 5,
    ToolEllipse = 6,
    ToolCircle = 7,
    ToolPie = 8,
    ToolPolygon = 9,
    ToolStar = 10,
    ToolThreePointArc = 11,
    ToolRadiusArc = 12,
    ToolBezier = 13,
    ToolCurve = 14,
    ToolChainedArcs = 15,
    ToolText = 16,
    ToolEyedropper = 17,
    ToolFill = 18,
    ToolEraser = 19,
    ToolClearing = 20,   // transient, only while a clear runs
    ToolHighlighter = 21,
    ToolMosaic = 22,
    ToolMarker = 23,
    ToolMoveBoard = 30,
};

// What every tool shares. A tool's own gesture state (the polyline's first
// vertex, ...) lives in its tool object (board/tools/tool_table.h).
struct BoardState {
    ToolKind currentTool = ToolPen;
    POINT currentPoint{};   // the shape's cursor (snapped with Shift)
    POINT previousPoint{};  // the raw pointer of the last redraw
    POINT pointerPoint{};   // the raw pointer, as the last message gave it
    POINT anchorPoint{};
    POINT cornerPoint{};
    bool dragging = false;
    bool spaceHeld = false;
    bool ctrlHeld = false;
    bool shiftHeld = false;
    bool textToolActive = false;
    bool typing = false;
    // Where the board canvas may differ from the committed drawing: what the
    // next restore copies back and the next commit writes (client pixels).
    RECT drawnArea{};
    // Where the board canvas has changed since the window last showed it.
    RECT unshownArea{};
};

class DrawingBoard;

// Every tool of the board forgets its gesture in progress (click chains start
// anew, a two-phase arc goes back to its first drag).
void ResetMultiPointState(DrawingBoard& b);

// ---- tool selection and board changes ----

// Makes `tool` current (any thread): it becomes the chosen tool, and the
// board, when one exists, is told to switch (at once on the board thread,
// posted from any other).
void SelectTool(ToolKind tool);

// The switch on the board: settles what the tool being left drew or shows
// (each tool says what: board/tools/board_tool.h), makes `tool` current,
// prepares its layer and selects it. Board thread.
void SelectToolOnBoard(DrawingBoard& b, ToolKind tool);

// The clear on the board: back to the starting picture, with the transient
// clearing kind current until the tool of before is chosen again. Board thread.
void ClearOnBoard(DrawingBoard& b);

// ---- settings ----
// One carrier: the shared settings record. A change is stored there and the
// board is told which setting changed; it reads the record.

// The record's field a setting code names.
std::atomic<int>& SettingOfCode(SettingCode code);
// Any thread: stores `value` and tells the board, when one exists (posted).
void ChangeSetting(SettingCode code, int value);
// The board's part: the canvases take the record's settings (the text being
// typed is redrawn in a new text colour or background). Board thread.
void ApplySettingChange(DrawingBoard& b, SettingCode setting);

// BoardSettingMessage (0x8075) of the board window: wParam the code of the
// setting that changed. lParam repeats the value for whoever watches the
// message; the board reads the record, which may hold a newer one.
void OnBoardSettingMessage(HWND board, WPARAM code, LPARAM);

// WM_KEYDOWN / WM_KEYUP of the board window.
void OnBoardKeyDown(HWND board, WPARAM key, LPARAM lParam);
void OnBoardKeyUp(HWND board, WPARAM key, LPARAM lParam);

// The board menu id a tool letter key issues (A three-point arc, ...), or None.
BoardMenuId MenuIdOfLetterKey(int key);

// Brush style 0-7 chosen by a digit key ('1'-'8', numeric pad 1-8), or -1.
int BrushStyleOfDigitKey(int key);

// The text background value that means "no background".
constexpr int kNoTextBackground = static_cast<int>(0xFF000000u);
