#pragma once
// The board's part in typing: the board window's characters, focus, Ctrl+V,
// font changes, tool switches and its close reach the text tool object here.
// Board thread only (the caret belongs to it).

#include <windows.h>

#include "board/board_state.h"

class DrawingBoard;
class TextTool;

TextTool& BoardTextTool(DrawingBoard& b);

// WM_CHAR: one byte of a typed character.
void BoardTextChar(DrawingBoard& b, WPARAM code);
// WM_SETFOCUS.
void BoardTextFocus(DrawingBoard& b);
// Ctrl+V while typing: the clipboard's text into the text box.
void BoardTextPaste(DrawingBoard& b);
// The text colour or background changed while the tool is armed.
void BoardTextRetype(DrawingBoard& b);
// The text font setting changed: the board canvas takes it, the line (and
// caret) height follows, and an armed tool redraws what is typed.
void BoardTextFontChanged(DrawingBoard& b);
// A tool switch or the board's close: the typed text is kept, typing ends.
void BoardTextEnd(DrawingBoard& b);

// Whether a key may issue tool letters, digits and the other key commands.
// Never while text is typed; and, as for every tool, never with Shift or Ctrl
// held, so Ctrl+C only copies and Shift+letter types nothing else.
bool KeyCommandsAllowed(const BoardState& s);
