#pragma once
// The tools and the board's state record. The record belongs to the board
// object (board/board.h) and so to the board thread: other threads change it
// only through messages to the board window, so handlers never see it
// half-changed.

#include <windows.h>

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
// vertex, the rectangle's table lines, ...) lives in its tool object
// (board/tools/tool_table.h).
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
    // Set by every commit: the committed drawing may have changed since the
    // undo history last looked at it.
    bool backChanged = false;
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

// The switch on the board: commits or restores what the curve / eraser leave
// behind, makes `tool` current and applies the switch. Board thread.
void SelectToolOnBoard(DrawingBoard& b, ToolKind tool);

// Applies a tool switch (code = the new ToolKind, toolSwitch true) or a
// setting change (codes 51-56 with their value) to the board canvases. Runs
// on the board thread.
void ApplyBoardChange(DrawingBoard& b, int code, int value, bool toolSwitch);

// BoardSettingMessage (0x8075) of the board window: wParam code, lParam value.
void OnBoardSettingMessage(HWND board, WPARAM code, LPARAM value);

// WM_KEYDOWN / WM_KEYUP of the board window.
void OnBoardKeyDown(HWND board, WPARAM key, LPARAM lParam);
void OnBoardKeyUp(HWND board, WPARAM key, LPARAM lParam);

// The board menu id a tool letter key issues (A three-point arc, ...), or None.
BoardMenuId MenuIdOfLetterKey(int key);

// Brush style 0-7 chosen by a digit key ('1'-'8', numeric pad 1-8), or -1.
int BrushStyleOfDigitKey(int key);

// The text background value that means "no background".
constexpr int kNoTextBackground = static_cast<int>(0xFF000000u);
