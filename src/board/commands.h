#pragma once
// The palette commands: what a toolbox cell, a board menu item, a tool key or
// F9 asks the board to do. Command numbers are those of the palette cells
// (1..23, 98, 99); the left button runs a cell's primary action, the right
// button its secondary one.
//
// Commands may be issued from the toolbox thread or from the board thread.
// Everything that touches a live board's canvases or state is carried out on
// the board thread (see RunOnBoardThread in board.h).

#include <windows.h>

#include "board/board_state.h"

// Runs command `command` as a left (primary) or right (secondary) click.
void RunCellCommand(int command, bool rightButton);

// The tool a cell command selects, or -1 when the command selects none.
int PrimaryToolOfCommand(int command);
int SecondaryToolOfCommand(int command);  // cells 5, 9, 10, 12
// The cell command whose action selects `tool` (and whether it is the right
// button's), or 0 for tools no cell selects.
struct ToolCell {
    int command = 0;
    bool right = false;
};
ToolCell CellOfTool(int tool);
// True for the tools a cell's right button selects (rounded rectangle, star,
// radius arc, chained arcs).
bool IsSecondaryTool(int tool);

// Seams for behaviour that lives outside the board: the toolbox, saving,
// the region screenshot and the text tool plug their routines in here when
// they start. A routine left unset makes its command do nothing visible.
struct BoardCommandSeams {
    // Command 20: save the board to a file.
    void (*saveBoard)() = nullptr;
    // Command 98: region screenshot; `second` for the right-button variant.
    void (*regionScreenshot)(bool second) = nullptr;
    // Command 14: the font dialog of the text settings.
    void (*fontDialog)() = nullptr;
    // Command 23: the help window "说明".
    void (*showHelp)() = nullptr;
    // Sets the toolbox's brush-type list to `index` and applies it (digit
    // keys, the fill tool's brush substitution).
    void (*chooseBrushType)(int index) = nullptr;
    // The help window follows the board's always-on-top state.
    void (*helpWindowTopmost)(bool topmost) = nullptr;

    // Text tool: WM_CHAR and WM_SETFOCUS of the board window.
    void (*textChar)(HWND board, WPARAM, LPARAM) = nullptr;
    void (*textSetFocus)(HWND board, WPARAM, LPARAM) = nullptr;
    // Ctrl+V while typing: paste clipboard text into the typed text.
    void (*textPaste)() = nullptr;
    // Redraw the typed text (text colour or background changed).
    void (*textRetype)() = nullptr;
    // The text tool was armed: work out the caret height for the canvas font.
    void (*textArmed)() = nullptr;
    // Text input ends with the board: drop the typed text and the caret.
    void (*textEnd)() = nullptr;
};
extern BoardCommandSeams CommandSeams;

// Sets the toolbox's brush-type list through the seam. False (nothing
// happens) when no toolbox has plugged it in.
bool ChooseBrushType(int index);
